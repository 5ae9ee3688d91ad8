#include "MemberNameTree.h"

bool CMemberNameTree::Add(const std::wstring& foldedName) {
    uint32_t folder = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = foldedName.find(L'\\', start);
        const bool last = end == std::wstring::npos;
        std::wstring component = foldedName.substr(start, last ? std::wstring::npos : end - start);
        auto found = m_nodes.find({folder, component});
        if (last) {
            if (found != m_nodes.end()) return false;  // the same file again, or a folder of that name
            m_nodes.emplace(std::make_pair(folder, std::move(component)), Node{m_nextId++, true});
            return true;
        }
        if (found == m_nodes.end())
            found = m_nodes.emplace(std::make_pair(folder, std::move(component)), Node{m_nextId++, false}).first;
        else if (found->second.file)
            return false;  // a file stands where this name needs a folder
        folder = found->second.id;
        start = end + 1;
    }
}
