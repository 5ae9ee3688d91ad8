// The names of one archive as the folders and files they make on disk, to
// find names that meet there: the same file twice, or a file where another
// name needs a folder ("a" beside "A\b.txt", in either order). Pure: the
// caller folds case first, as the file system compares names.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

class CMemberNameTree {
public:
    // Adds a case-folded name with '\' between its folders. False when it
    // meets a name added before: a file or folder of that name exists, or
    // one of its folders is a file.
    bool Add(const std::wstring& foldedName);

private:
    struct Node {
        uint32_t id;
        bool file;
    };
    // One entry per folder or file, keyed by its folder's id and its own
    // name: memory grows with the names' length, not with their depth
    // squared, whatever an archive holds.
    std::map<std::pair<uint32_t, std::wstring>, Node> m_nodes;
    uint32_t m_nextId = 1;  // 0 is the extraction folder
};
