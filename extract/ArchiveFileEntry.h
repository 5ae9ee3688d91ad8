// One output file of the archive (or the spool file "temp.htar"): the
// fragments it is made of, and the copy-out that writes it from the spool.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ExtractionTypes.h"

// One piece of an output file, kept under its destination offset.
struct ArchiveFragment {
    uint32_t length;
    uint32_t spoolOffset;
};

// The spool stream as the copy-out reads it: the stream, where it stands
// (-1: unknown, the next read must position it first) and the copy buffer.
struct SpoolReader {
    FILE* file = nullptr;
    int64_t position = -1;
    std::vector<unsigned char> buffer;
};

class CArchiveFileEntry {
public:
    static constexpr uint32_t kBlockSize = 32768;
    static constexpr uint32_t kBlockGap = 8;
    // Member files are below 4 GiB: no fragment may reach this offset.
    static constexpr uint64_t kFileLimit = 0x100000000ull;

    CArchiveFileEntry() = default;
    ~CArchiveFileEntry();  // closes a stream still open (nothing is left open at exit)
    CArchiveFileEntry(const CArchiveFileEntry&) = delete;
    CArchiveFileEntry& operator=(const CArchiveFileEntry&) = delete;

    // Stores the name (ANSI code-page bytes without the NUL) and its wide form.
    // False when the bytes do not convert.
    bool SetName(const char* bytes, size_t length);
    const std::string& Name() const { return m_pszName; }
    const std::wstring& WideName() const { return m_wideName; }

    // Records a fragment; a destination offset already present keeps its first
    // fragment. False, recording nothing, when the fragment would reach 4 GiB.
    bool AddFragment(uint64_t destinationOffset, uint32_t length, uint32_t spoolOffset);
    // Records a blocked member's next count bytes at the running destination
    // offset, leaving 8 bytes in front of every 32 KiB block begun; moved
    // receives how far the running destination offset moved. False when a
    // piece would reach 4 GiB: no file of the format is laid out so.
    bool AddBlockedFragment(uint32_t count, uint32_t spoolOffset, uint32_t& moved);

    // True when the fragments cover the file from offset 0 without gap or overlap.
    bool FragmentsContiguous() const;

    // Creates the file's folders and opens it ("wb+"). 0, or 35 after the message box.
    ExtractionResult OpenOutput();
    // Writes the file from its fragments in the spool and closes it. 0, the
    // result of OpenOutput, SZ_ERROR_READ or SZ_ERROR_WRITE; on failure the
    // partly written file is closed and removed.
    ExtractionResult WriteFromTemp(SpoolReader& spool);
    // Flushes and closes the stream: 0, or SZ_ERROR_WRITE when either fails.
    ExtractionResult CloseOutput();
    // Closes the stream, ignoring errors, and deletes the file it was opened on.
    void DiscardOutput();

    FILE* File() const { return m_pFile; }
    const std::wstring& OutputPath() const { return m_outputPath; }

    uint32_t BlockPosition() const { return m_nBlockPosition; }
    uint32_t DestinationOffset() const { return m_nDestinationOffset; }
    void SetRunningPosition(uint32_t destinationOffset, uint32_t blockPosition) {
        m_nDestinationOffset = destinationOffset;
        m_nBlockPosition = blockPosition;
    }
    const std::map<uint32_t, ArchiveFragment>& Fragments() const { return m_fragments; }

private:
    std::string m_pszName;
    std::wstring m_wideName;    // with '\' as the only separator
    FILE* m_pFile = nullptr;
    std::wstring m_outputPath;  // the path m_pFile was opened on (long form)
    uint32_t m_nBlockPosition = 0;
    uint32_t m_nDestinationOffset = 0;
    std::map<uint32_t, ArchiveFragment> m_fragments;
};
