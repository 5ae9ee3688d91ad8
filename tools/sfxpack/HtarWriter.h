// Writer of the archive stream that the launcher extracts: a header with the
// file count, the member names, the group table and the data area. Files of
// identical content share one group (the content is stored once and placed
// into every member); every member is placed plainly (its run goes to
// destination 0 as one contiguous stretch). Empty files need no group: a file
// that no group names is created empty.
//
// Use: AddFile() for every file, Plan() once, then Read() the stream front to
// back. Only the names and the group table are held in memory; the data area
// is read from the source files while the stream is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace sfxpack {

// Member indices carry the file index in 15 bits.
constexpr std::size_t kMaxMemberFiles = 32768;
// A group record counts its members in one byte.
constexpr std::size_t kMaxGroupMembers = 255;
// Run lengths, destination offsets and the data area length are 32-bit.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull;

class CHtarWriter {
public:
    struct Member {
        std::string name;              // code page 1252, folders separated by '\'
        std::filesystem::path source;  // where the content is read from
        uint64_t size = 0;
    };
    struct Group {
        std::vector<uint16_t> files;  // file indices of the members
        uint32_t runLength = 0;
    };

    void AddFile(std::string name, std::filesystem::path source, uint64_t size);

    // Sorts the members by name, checks names and the format's limits, finds
    // files of identical content and lays out the stream. Returns false with
    // a message when the files cannot form a valid archive.
    bool Plan(std::string& error);

    // Valid after Plan().
    const std::vector<Member>& Members() const { return m_members; }
    const std::vector<Group>& Groups() const { return m_groups; }
    uint32_t DataAreaSize() const { return m_dataSize; }
    uint64_t FileBytes() const { return m_fileBytes; }
    uint64_t StreamSize() const { return m_head.size() + static_cast<uint64_t>(m_dataSize); }

    // Copies up to size bytes of the stream into buffer and sets size to the
    // count copied (0 at the end). Returns false with a message when a source
    // file cannot be read or no longer has the size it had when planned.
    bool Read(void* buffer, std::size_t& size, std::string& error);

private:
    bool CheckNames(std::string& error) const;
    bool FormGroups(std::string& error);
    void BuildHead();
    bool OpenGroup(std::string& error);

    std::vector<Member> m_members;
    std::vector<Group> m_groups;
    std::vector<uint8_t> m_head;  // header, names, group table header and records
    uint32_t m_dataSize = 0;
    uint64_t m_fileBytes = 0;
    bool m_planned = false;

    // Reading position.
    std::size_t m_headPos = 0;
    std::size_t m_group = 0;
    bool m_groupOpen = false;
    uint32_t m_groupLeft = 0;
    std::ifstream m_in;
};

}  // namespace sfxpack
