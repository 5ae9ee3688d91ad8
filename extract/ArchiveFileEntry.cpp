#include "ArchiveFileEntry.h"

#include "ExtractionHost.h"
#include "LongPath.h"
#include "MemberName.h"

namespace {

// Large stdio buffers: the spool is written in 64 KiB chunks and read back
// mostly sequentially; member files are written front to back.
constexpr size_t kStreamBuffer = 256 * 1024;

// The text of string 142 with the path in place of its %s ("%%" is a percent
// sign). Only %s is filled in: a translated text cannot ask for more arguments.
std::wstring FormatWithPath(const std::wstring& format, const std::wstring& path) {
    std::wstring text;
    bool filled = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            if (format[i + 1] == L'%') {
                text += L'%';
                ++i;
                continue;
            }
            if (format[i + 1] == L's' && !filled) {
                text += path;
                filled = true;
                ++i;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}

}  // namespace

CArchiveFileEntry::~CArchiveFileEntry() {
    if (m_pFile) fclose(m_pFile);
}

bool CArchiveFileEntry::SetName(const char* bytes, size_t length) {
    std::wstring wide;
    if (!ConvertMemberName(bytes, length, wide)) return false;
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    m_pszName.assign(bytes, length);
    m_wideName = wide;
    return true;
}

bool CArchiveFileEntry::AddFragment(uint64_t destinationOffset, uint32_t length, uint32_t spoolOffset) {
    if (destinationOffset + length >= kFileLimit) return false;
    m_fragments.emplace(static_cast<uint32_t>(destinationOffset), ArchiveFragment{length, spoolOffset});
    return true;
}

bool CArchiveFileEntry::AddBlockedFragment(uint32_t count, uint32_t spoolOffset, uint32_t& moved) {
    // In 64 bits: a gap or a piece must not wrap a destination near 4 GiB to the file's start.
    const uint64_t start = m_nDestinationOffset;
    uint64_t destination = start;
    while (count > 0) {
        uint32_t position = m_nBlockPosition % kBlockSize;
        uint32_t room = kBlockSize - position;
        // A block begins: its first 8 bytes are left to other fragments.
        if (position == 0) destination += kBlockGap;
        uint32_t piece = room < count ? room : count;
        if (!AddFragment(destination, piece, spoolOffset)) return false;
        spoolOffset += piece;
        destination += piece;
        m_nDestinationOffset = static_cast<uint32_t>(destination);
        m_nBlockPosition += piece;
        count -= piece;
    }
    moved = static_cast<uint32_t>(destination - start);
    return true;
}

bool CArchiveFileEntry::FragmentsContiguous() const {
    uint64_t expected = 0;
    for (const auto& fragment : m_fragments) {
        if (fragment.first != expected) return false;
        expected += fragment.second.length;
    }
    return true;
}

ExtractionResult CArchiveFileEntry::OpenOutput() {
    std::wstring folder = GetExtractionFolder();
    std::wstring path = folder + m_wideName;  // as the user sees it
    if (!folder.empty()) {
        // The member's folders and file may lie past MAX_PATH: work on the long form.
        std::wstring longPath = ToLongPath(folder) + m_wideName;
        size_t slash = longPath.rfind(L'\\');
        // An existing folder is no failure; a folder that cannot be made shows in the open.
        CreateFolderChain(longPath.substr(0, slash));
        FILE* file = nullptr;
        if (_wfopen_s(&file, longPath.c_str(), L"wb+") == 0 && file) {
            setvbuf(file, nullptr, _IOFBF, kStreamBuffer);
            m_pFile = file;
            m_outputPath = longPath;
            return SZ_OK;
        }
    }
    // No folder (no application) is treated as an open failure: a relative
    // path would land in the working folder.
    std::wstring text = FormatWithPath(LoadExtractionText(IDS_CANNOT_OPEN_OUTPUT), path);
    std::wstring caption = LoadExtractionText(IDS_EXTRACTION_FAILED);
    ShowExtractionMessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    return EXTRACT_OPEN_OUTPUT_FAILED;
}

ExtractionResult CArchiveFileEntry::WriteFromTemp(SpoolReader& spool) {
    if (!m_pFile) {
        ExtractionResult opened = OpenOutput();
        if (opened != SZ_OK) return opened;
    }
    if (spool.buffer.empty()) spool.buffer.resize(kStreamBuffer);
    for (const auto& item : m_fragments) {
        const ArchiveFragment& fragment = item.second;
        if (fragment.length == 0) continue;
        if (!spool.file) {
            DiscardOutput();
            return SZ_ERROR_READ;
        }
        // Consecutive fragments need no repositioning (which would drop the stdio buffer).
        if (spool.position != static_cast<int64_t>(fragment.spoolOffset)) {
            fpos_t position = static_cast<fpos_t>(fragment.spoolOffset);
            if (fsetpos(spool.file, &position) != 0) {
                spool.position = -1;
                DiscardOutput();
                return SZ_ERROR_READ;
            }
            spool.position = fragment.spoolOffset;
        }
        uint32_t left = fragment.length;
        while (left > 0) {
            size_t piece = left < spool.buffer.size() ? left : spool.buffer.size();
            size_t got = fread(spool.buffer.data(), 1, piece, spool.file);
            spool.position += static_cast<int64_t>(got);
            if (got != piece) {
                spool.position = -1;
                DiscardOutput();
                return SZ_ERROR_READ;
            }
            if (fwrite(spool.buffer.data(), 1, piece, m_pFile) != piece) {
                DiscardOutput();
                return SZ_ERROR_WRITE;
            }
            left -= static_cast<uint32_t>(piece);
        }
    }
    ExtractionResult closed = CloseOutput();
    if (closed != SZ_OK) DeleteFileW(m_outputPath.c_str());
    return closed;
}

ExtractionResult CArchiveFileEntry::CloseOutput() {
    if (!m_pFile) return SZ_OK;
    bool flushed = fflush(m_pFile) == 0;
    bool closed = fclose(m_pFile) == 0;
    m_pFile = nullptr;
    return flushed && closed ? SZ_OK : SZ_ERROR_WRITE;
}

void CArchiveFileEntry::DiscardOutput() {
    if (m_pFile) fclose(m_pFile);
    m_pFile = nullptr;
    if (!m_outputPath.empty()) DeleteFileW(m_outputPath.c_str());
}
