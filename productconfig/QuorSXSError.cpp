#include "QuorSXSError.h"

#include <strsafe.h>

#include <vector>

namespace {

// Per thread, so that what() on one thread cannot overwrite the text another
// thread is reading.
thread_local char SxsErrorTextBuffer[1024];

// The wide message as narrow text in the ANSI code page.
std::string ToAnsi(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int cb = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (cb <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(cb), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0], cb, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring CQuorSXSError::GetMessageText() const
{
    std::wstring text;
    wchar_t* buffer = nullptr;
    // Inserts are ignored: a message with %1 and no arguments must not be
    // expanded from garbage. The width mask drops the system's line breaks.
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                  nullptr, m_dwErrorCode, LANG_USER_DEFAULT,
                                  reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    struct LocalBuffer {
        wchar_t* p;
        ~LocalBuffer() { if (p) LocalFree(p); }
    } guard{buffer};
    if (length != 0 && buffer != nullptr)
        text.assign(buffer);
    return text;
}

const char* CQuorSXSError::what() const noexcept
{
    SxsErrorTextBuffer[0] = '\0';
    std::string message;
    try {
        message = ToAnsi(GetMessageText());
    } catch (...) {
        // Out of memory: render the numbers without the text.
        message.clear();
    }
    // A text too long for the buffer is cut and terminated; that is fine for a diagnostic.
    StringCchPrintfA(SxsErrorTextBuffer, sizeof(SxsErrorTextBuffer), "CQuorSXSError 0x%.8X -> 0x%.8X [ %s ]",
                     static_cast<unsigned>(m_dwErrorCode), static_cast<unsigned>(m_dwOrigin), message.c_str());
    return SxsErrorTextBuffer;
}

HRESULT SxsCodeToHResult(int32_t code) noexcept
{
    if (code <= 0)
        return static_cast<HRESULT>(code);
    return static_cast<HRESULT>(0x80070000u | (static_cast<uint32_t>(code) & 0xFFFFu));
}

uint32_t LastErrorOr(uint32_t fallback) noexcept
{
    DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}
