// One group record of the archive: a run of data-area bytes and the member
// files (plain or blocked) that each receive the whole run.
#pragma once

#include <cstdint>
#include <vector>

class CArchiveFileEntry;

class CArchiveBlockGroup {
public:
    static constexpr uint16_t kBlockedFlag = 0x8000;
    static constexpr uint16_t kIndexMask = 0x7FFF;
    static constexpr uint32_t kHeaderSize = 5;
    static constexpr uint32_t kMemberSize = 8;

    // Size of a record whose first byte is memberCount.
    static uint32_t RecordSize(uint8_t memberCount) { return kHeaderSize + kMemberSize * memberCount; }

    // Fills the group from one complete record (RecordSize(record[0]) bytes).
    // Member files start unresolved (null). May throw std::bad_alloc.
    void Parse(const uint8_t* record);

    int32_t MemberCount() const { return m_nMembers; }
    uint16_t MemberFileIndex(int32_t member) const { return m_pMemberIndex[member] & kIndexMask; }
    bool MemberBlocked(int32_t member) const { return (m_pMemberIndex[member] & kBlockedFlag) != 0; }
    void SetMemberFile(int32_t member, CArchiveFileEntry* file) { m_ppMemberFile[member] = file; }
    uint32_t RunLength() const { return m_nRunLength; }
    uint32_t Consumed() const { return m_nConsumed; }
    bool Complete() const { return m_nConsumed == m_nRunLength; }

    // Gives the next bytes of the run (available bytes of the chunk, lying at
    // spoolOffset in the spool) to every member; taken receives the bytes
    // taken, 0 when the run is complete. False when a member's fragment would
    // reach 4 GiB (a damaged archive). Every member must have its file set.
    bool Distribute(uint32_t available, uint32_t spoolOffset, uint32_t& taken);

private:
    int32_t m_nMembers = 0;
    std::vector<uint16_t> m_pMemberIndex;
    // Each member's running destination and block position. Kept per member,
    // so two members naming one file each continue from their own place.
    std::vector<uint32_t> m_pMemberDestination;
    std::vector<uint16_t> m_pMemberBlockPosition;
    std::vector<CArchiveFileEntry*> m_ppMemberFile;
    uint32_t m_nRunLength = 0;
    uint32_t m_nConsumed = 0;
};
