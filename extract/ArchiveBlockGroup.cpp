#include "ArchiveBlockGroup.h"

#include "ArchiveFileEntry.h"

namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

void CArchiveBlockGroup::Parse(const uint8_t* record) {
    uint8_t n = record[0];
    m_nMembers = n;
    m_nRunLength = ReadU32(record + 1);
    m_nConsumed = 0;
    m_pMemberIndex.assign(n, 0);
    m_pMemberDestination.assign(n, 0);
    m_pMemberBlockPosition.assign(n, 0);
    m_ppMemberFile.assign(n, nullptr);
    for (uint32_t j = 0; j < n; ++j) {
        const uint8_t* member = record + kHeaderSize + kMemberSize * j;
        m_pMemberIndex[j] = ReadU16(member);
        m_pMemberBlockPosition[j] = static_cast<uint16_t>(ReadU16(member + 2) & 0x7FFF);
        m_pMemberDestination[j] = ReadU32(member + 4);
    }
}

bool CArchiveBlockGroup::Distribute(uint32_t available, uint32_t spoolOffset, uint32_t& taken) {
    taken = 0;
    if (m_nConsumed == m_nRunLength) return true;
    uint32_t left = m_nRunLength - m_nConsumed;
    uint32_t k = left < available ? left : available;
    for (int32_t j = 0; j < m_nMembers; ++j) {
        CArchiveFileEntry* file = m_ppMemberFile[j];
        if (MemberBlocked(j)) {
            file->SetRunningPosition(m_pMemberDestination[j], m_pMemberBlockPosition[j]);
            uint32_t moved = 0;
            if (!file->AddBlockedFragment(k, spoolOffset, moved)) return false;
            m_pMemberDestination[j] += moved;
            m_pMemberBlockPosition[j] =
                static_cast<uint16_t>((m_pMemberBlockPosition[j] + k) % CArchiveFileEntry::kBlockSize);
        } else {
            // A plain member's block position is ignored.
            if (!file->AddFragment(m_pMemberDestination[j], k, spoolOffset)) return false;
            m_pMemberDestination[j] += k;
            file->SetRunningPosition(m_pMemberDestination[j], 0);
        }
    }
    m_nConsumed += k;
    taken = k;
    return true;
}
