// The archive stream parser: takes the decoded stream in chunks of any size,
// parses the names and the group table, hands the data area to the groups
// and spools it to "temp.htar"; the copy-out then writes every member file.
//
// Stream layout (little-endian, no alignment):
//   header        u32 (bytes up to the group table, unused), u16 N
//   N names       NUL-terminated, ANSI code page, '\' between folders
//   table header  u32 (bytes up to the data area, unused), u32 D, u32 G
//   G records     u8 n, u32 run length, n x { u16 index (bit 15: blocked),
//                 u16 block position, u32 destination }
//   data area     D bytes: the runs of the groups in record order
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveBlockGroup.h"
#include "ArchiveFileEntry.h"
#include "ExtractionTypes.h"
#include "MemberNameTree.h"

enum ParserState : int32_t {
    PARSE_HEADER = 1,
    PARSE_NAMES = 2,
    PARSE_GROUP_TABLE = 3,
    PARSE_GROUP_RECORDS = 4,
    PARSE_DATA = 5,
};

class CArchiveParser {
public:
    static constexpr uint32_t kCarrySize = 4096;
    static constexpr uint32_t kHeaderSize = 6;
    static constexpr uint32_t kGroupTableHeaderSize = 12;

    // progressWindow receives WM_EXTRACT_PROGRESS; null posts nothing.
    explicit CArchiveParser(HWND progressWindow);
    CArchiveParser(const CArchiveParser&) = delete;
    CArchiveParser& operator=(const CArchiveParser&) = delete;

    // Takes one chunk of the stream. Returns its length, or 0 when the chunk
    // was not taken (see FailureCode). An empty chunk does nothing.
    uint32_t Write(const void* data, uint32_t length);
    // Why the last refused chunk was refused: SZ_ERROR_WRITE (spool),
    // SZ_ERROR_DATA (invalid archive) or SZ_ERROR_MEM.
    ExtractionResult FailureCode() const { return m_nFailure != SZ_OK ? m_nFailure : SZ_ERROR_WRITE; }

    // The copy-out: checks that the stream was complete and every file's
    // fragments fit, then writes every member file and deletes the spool.
    // 0, 13, or the failure's code (1, 2, 8, 9, 35).
    ExtractionResult Finish();

    // Closes the spool file if it is open and deletes it.
    void DiscardSpool();

    ParserState State() const { return m_nState; }
    uint32_t FileCount() const { return m_nFileCount; }
    uint32_t NamesRead() const { return m_nNamesRead; }
    const CArchiveFileEntry& FileEntry(uint32_t index) const { return m_pFiles[index]; }
    uint32_t GroupCount() const { return m_nGroupCount; }
    uint32_t RecordsRead() const { return m_nRecordsRead; }
    uint32_t DataLength() const { return m_nDataLength; }
    int32_t LastProgress() const { return m_nLastProgress; }
    const CArchiveFileEntry* SpoolEntry() const { return m_pSpool.get(); }

private:
    uint32_t ReadHeader(const uint8_t* data, uint32_t available);
    uint32_t ReadFileName(const uint8_t* data, uint32_t available);
    uint32_t ReadGroupTableHeader(const uint8_t* data, uint32_t available);
    uint32_t ReadGroupRecord(const uint8_t* data, uint32_t available);
    uint32_t WriteData(const uint8_t* data, uint32_t available);

    // Collects a fixed-size item across chunks. True when item points at the
    // whole item; consumed is what was taken from data either way.
    bool TakeItem(const uint8_t* data, uint32_t available, uint32_t size, const uint8_t*& item, uint32_t& consumed);
    void PostProgress(int32_t progress);
    uint32_t Fail(ExtractionResult code);
    bool StreamComplete() const;

    HWND m_pProgressDialog;
    ParserState m_nState = PARSE_HEADER;
    uint8_t m_carry[kCarrySize];
    uint32_t m_nCarryLength = 0;
    uint32_t m_nFileCount = 0;
    uint32_t m_nNamesRead = 0;
    std::unique_ptr<CArchiveFileEntry[]> m_pFiles;
    CMemberNameTree m_names;  // the names read so far, upper case
    uint32_t m_nGroupCount = 0;
    uint32_t m_nRecordsRead = 0;
    // Grows as records arrive, so a damaged count cannot claim memory the
    // stream does not back with records.
    std::vector<CArchiveBlockGroup> m_pGroups;
    uint32_t m_nDataLength = 0;
    std::unique_ptr<CArchiveFileEntry> m_pSpool;
    uint32_t m_nCurrentGroup = 0;
    uint32_t m_nDataAssigned = 0;
    uint64_t m_nDataSpooled = 0;
    int32_t m_nLastProgress = 0;
    ExtractionResult m_nFailure = SZ_OK;
};

// The one parser of the process: created by the decode loop, released at exit.
extern CArchiveParser* g_pArchiveParser;

// Runs the copy-out on g_pArchiveParser, creating an empty parser (no window)
// first when there is none.
ExtractionResult FinishPayloadArchive();

// Releases a parser; files still open are closed. The caller resets
// g_pArchiveParser.
void DestroyArchiveParser(CArchiveParser* parser);
