#include "ArchiveParser.h"

#include <cstring>
#include <new>

#include "ExtractionHost.h"
#include "LongPath.h"
#include "MemberName.h"

CArchiveParser* g_pArchiveParser = nullptr;

namespace {

const char kSpoolName[] = "temp.htar";

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// The data phase shows 0..249, the copy-out 250..499; 500 is the dialog's own end.
constexpr int32_t kLastDataProgress = 249;

}  // namespace

CArchiveParser::CArchiveParser(HWND progressWindow) : m_pProgressDialog(progressWindow) {}

uint32_t CArchiveParser::Write(const void* data, uint32_t length) {
    if (length == 0 || m_nFailure != SZ_OK) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t position = 0;
    try {
        while (position < length) {
            const uint8_t* rest = bytes + position;
            uint32_t available = length - position;
            uint32_t used = 0;
            switch (m_nState) {
            case PARSE_HEADER: used = ReadHeader(rest, available); break;
            case PARSE_NAMES: used = ReadFileName(rest, available); break;
            case PARSE_GROUP_TABLE: used = ReadGroupTableHeader(rest, available); break;
            case PARSE_GROUP_RECORDS: used = ReadGroupRecord(rest, available); break;
            case PARSE_DATA: used = WriteData(rest, available); break;
            }
            if (m_nFailure != SZ_OK) return 0;
            position += used;
        }
    } catch (const std::bad_alloc&) {
        m_nFailure = SZ_ERROR_MEM;
        return 0;
    }
    return length;
}

uint32_t CArchiveParser::Fail(ExtractionResult code) {
    if (m_nFailure == SZ_OK) m_nFailure = code;
    return 0;
}

bool CArchiveParser::TakeItem(const uint8_t* data, uint32_t available, uint32_t size, const uint8_t*& item,
                              uint32_t& consumed) {
    if (m_nCarryLength + available < size) {
        memcpy(m_carry + m_nCarryLength, data, available);
        m_nCarryLength += available;
        consumed = available;
        return false;
    }
    if (m_nCarryLength > 0) {
        uint32_t missing = size - m_nCarryLength;
        memcpy(m_carry + m_nCarryLength, data, missing);
        m_nCarryLength = 0;
        item = m_carry;
        consumed = missing;
        return true;
    }
    item = data;
    consumed = size;
    return true;
}

void CArchiveParser::PostProgress(int32_t progress) {
    if (progress <= m_nLastProgress) return;
    m_nLastProgress = progress;
    if (m_pProgressDialog) PostMessageW(m_pProgressDialog, WM_EXTRACT_PROGRESS, static_cast<WPARAM>(progress), 0);
}

uint32_t CArchiveParser::ReadHeader(const uint8_t* data, uint32_t available) {
    const uint8_t* item = nullptr;
    uint32_t consumed = 0;
    if (!TakeItem(data, available, kHeaderSize, item, consumed)) return consumed;
    uint32_t count = ReadU16(item + 4);
    m_pFiles.reset(new CArchiveFileEntry[count]);
    m_nFileCount = count;
    m_nState = PARSE_NAMES;
    return consumed;
}

uint32_t CArchiveParser::ReadFileName(const uint8_t* data, uint32_t available) {
    if (m_nNamesRead == m_nFileCount) {
        m_nState = PARSE_GROUP_TABLE;
        return 0;
    }
    const uint8_t* nul = static_cast<const uint8_t*>(memchr(data, 0, available));
    if (!nul) {
        // With its NUL still to come the name would pass the limit.
        if (m_nCarryLength + available + 1 > kMaxMemberNameBytes) return Fail(SZ_ERROR_DATA);
        memcpy(m_carry + m_nCarryLength, data, available);
        m_nCarryLength += available;
        return available;
    }
    uint32_t i = static_cast<uint32_t>(nul - data);
    if (m_nCarryLength + i + 1 > kMaxMemberNameBytes) return Fail(SZ_ERROR_DATA);
    const char* name = reinterpret_cast<const char*>(data);
    if (m_nCarryLength > 0) {
        memcpy(m_carry + m_nCarryLength, data, i);
        name = reinterpret_cast<const char*>(m_carry);
    }
    CArchiveFileEntry& entry = m_pFiles[m_nNamesRead];
    // A name that could reach outside the extraction folder makes the whole
    // archive invalid, before anything of it is written.
    if (!entry.SetName(name, m_nCarryLength + i) || !IsSafeMemberName(entry.WideName()))
        return Fail(SZ_ERROR_DATA);
    // Two names that meet on disk (equal but for case or separator, or made
    // equal by the code-page conversion) would write one file over the other;
    // a file named as another name's folder would stop that name's file from
    // being made, halfway through the extraction.
    std::wstring key = entry.WideName();
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    if (!m_names.Add(key)) return Fail(SZ_ERROR_DATA);
    m_nCarryLength = 0;
    ++m_nNamesRead;
    return i + 1;
}

uint32_t CArchiveParser::ReadGroupTableHeader(const uint8_t* data, uint32_t available) {
    const uint8_t* item = nullptr;
    uint32_t consumed = 0;
    if (!TakeItem(data, available, kGroupTableHeaderSize, item, consumed)) return consumed;
    m_nDataLength = ReadU32(item + 4);
    m_nGroupCount = ReadU32(item + 8);
    m_pGroups.reserve(m_nGroupCount < 4096 ? m_nGroupCount : 4096);
    m_nState = PARSE_GROUP_RECORDS;
    return consumed;
}

uint32_t CArchiveParser::ReadGroupRecord(const uint8_t* data, uint32_t available) {
    if (m_nRecordsRead == m_nGroupCount) {
        m_pSpool.reset(new CArchiveFileEntry);
        m_pSpool->SetName(kSpoolName, sizeof(kSpoolName) - 1);
        m_nState = PARSE_DATA;
        return 0;
    }
    uint8_t memberCount = m_nCarryLength > 0 ? m_carry[0] : data[0];
    const uint8_t* record = nullptr;
    uint32_t consumed = 0;
    if (!TakeItem(data, available, CArchiveBlockGroup::RecordSize(memberCount), record, consumed)) return consumed;
    CArchiveBlockGroup group;
    group.Parse(record);
    for (int32_t j = 0; j < group.MemberCount(); ++j) {
        uint32_t index = group.MemberFileIndex(j);
        if (index >= m_nFileCount) return Fail(SZ_ERROR_DATA);  // names no file
        group.SetMemberFile(j, &m_pFiles[index]);
    }
    m_pGroups.push_back(std::move(group));
    ++m_nRecordsRead;
    return consumed;
}

uint32_t CArchiveParser::WriteData(const uint8_t* data, uint32_t available) {
    if (m_nDataLength > 0) {
        double progress = static_cast<double>(m_nDataAssigned) / static_cast<double>(m_nDataLength) * 500.0 * 0.5;
        PostProgress(progress >= kLastDataProgress ? kLastDataProgress : static_cast<int32_t>(progress));
    }
    // Spool offsets are 32-bit: a data area of 4 GiB or more is not this format.
    if (m_nDataSpooled + available > 0xFFFFFFFFull) return Fail(SZ_ERROR_DATA);

    uint32_t used = 0;
    while (used < available && m_nCurrentGroup < m_pGroups.size()) {
        uint32_t took = 0;
        if (!m_pGroups[m_nCurrentGroup].Distribute(available - used, m_nDataAssigned, took))
            return Fail(SZ_ERROR_DATA);
        if (took == 0) {
            ++m_nCurrentGroup;
            continue;
        }
        m_nDataAssigned += took;
        used += took;
    }

    if (!m_pSpool->File() && m_pSpool->OpenOutput() != SZ_OK) return Fail(SZ_ERROR_WRITE);
    if (fwrite(data, 1, available, m_pSpool->File()) != available) return Fail(SZ_ERROR_WRITE);
    m_nDataSpooled += available;
    return available;
}

bool CArchiveParser::StreamComplete() const {
    if (m_nState == PARSE_HEADER) return m_nCarryLength == 0;  // an empty stream: nothing to extract
    if (m_nState == PARSE_NAMES || m_nState == PARSE_GROUP_TABLE) return false;
    if (m_nRecordsRead != m_nGroupCount) return false;
    for (const CArchiveBlockGroup& group : m_pGroups)
        if (!group.Complete()) return false;
    return true;
}

void CArchiveParser::DiscardSpool() {
    if (m_pSpool) m_pSpool->CloseOutput();
    const std::wstring& folder = GetExtractionFolder();
    if (!folder.empty()) DeleteFileW((ToLongPath(folder) + L"temp.htar").c_str());
}

ExtractionResult CArchiveParser::Finish() {
    try {
        if (m_nFailure != SZ_OK) {
            DiscardSpool();
            return m_nFailure;
        }
        // Check everything before the first member file is written.
        bool valid = StreamComplete();
        for (uint32_t i = 0; valid && i < m_nFileCount; ++i) valid = m_pFiles[i].FragmentsContiguous();
        if (!valid) {
            DiscardSpool();
            return SZ_ERROR_DATA;
        }
        SpoolReader spool;
        spool.file = m_pSpool ? m_pSpool->File() : nullptr;
        // Whatever of the spool is still buffered must reach the disk before it is read back.
        if (spool.file && fflush(spool.file) != 0) {
            DiscardSpool();
            return SZ_ERROR_WRITE;
        }
        for (uint32_t i = 0; i < m_nFileCount; ++i) {
            if (g_bCancelExtraction.load(std::memory_order_relaxed)) {
                DiscardSpool();
                return EXTRACT_CANCELLED;
            }
            PostProgress(static_cast<int32_t>(static_cast<double>(i) / static_cast<double>(m_nFileCount) * 500.0 * 0.5 +
                                              250.0));
            ExtractionResult result = m_pFiles[i].WriteFromTemp(spool);
            if (result != SZ_OK) {
                DiscardSpool();
                return result;
            }
        }
        DiscardSpool();
        return SZ_OK;
    } catch (const std::bad_alloc&) {
        DiscardSpool();
        return SZ_ERROR_MEM;
    }
}

ExtractionResult FinishPayloadArchive() {
    if (!g_pArchiveParser) {
        g_pArchiveParser = new (std::nothrow) CArchiveParser(nullptr);
        if (!g_pArchiveParser) return SZ_ERROR_MEM;
    }
    return g_pArchiveParser->Finish();
}

void DestroyArchiveParser(CArchiveParser* parser) { delete parser; }
