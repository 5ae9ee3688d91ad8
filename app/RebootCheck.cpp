#include "RebootCheck.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Owns an open registry key.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (m_key) RegCloseKey(m_key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool Open(HKEY root, const wchar_t* path) {
        return RegOpenKeyExW(root, path, 0, KEY_READ, &m_key) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

const wchar_t kRebootKey[] = L"SOFTWARE\\Quor\\Setup\\Reboot";
const wchar_t kRebootValue[] = L"RebootNeeded";
const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

// Entries carry a four-character prefix ("\??\") before the path; a
// destination that replaces an existing file has the flag "!" in front of it.
constexpr size_t kEntryPrefix = 4;
constexpr wchar_t kReplaceFlag = L'!';

// The longest path the system reports (with its NUL).
constexpr DWORD kMaxTempPathChars = 32768;

TempPathFunction g_tempPath = nullptr;  // GetTempPathW

// The user's temporary path as the system reports it, of any length. A path
// longer than the buffer is reported by the size it needs, with the buffer
// left unfilled: the query is repeated with that size (the path may change
// between the calls). False when it cannot be read or is empty.
bool ReadTempPath(std::wstring& path) {
    const TempPathFunction query = g_tempPath ? g_tempPath : GetTempPathW;
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD n = query(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0 || n > kMaxTempPathChars) return false;
        if (n < buffer.size()) {
            // An empty path would contain every entry.
            path.assign(buffer.data(), wcsnlen(buffer.data(), n));
            return !path.empty();
        }
        buffer.assign(n + 1, L'\0');
    }
    return false;
}

bool StartsWithNoCase(const wchar_t* text, size_t textChars, const wchar_t* prefix, size_t prefixChars) {
    if (textChars < prefixChars) return false;
    return _wcsnicmp(text, prefix, prefixChars) == 0;
}

}  // namespace

bool PendingRenamesOutside(const wchar_t* data, size_t chars, const wchar_t* tempPath) {
    const size_t tempChars = std::wcslen(tempPath);
    size_t pos = 0;
    while (pos < chars) {
        size_t len = 0;
        while (pos + len < chars && data[pos + len] != L'\0') ++len;
        if (len >= kEntryPrefix) {
            const size_t pathAt = std::min(len, kEntryPrefix + (data[pos] == kReplaceFlag ? 1 : 0));
            if (!StartsWithNoCase(data + pos + pathAt, len - pathAt, tempPath, tempChars)) return true;
        }
        pos += len + 1;
    }
    return false;
}

bool IsRebootPendingUnder(HKEY root) {
    {
        RegKey reboot;
        if (reboot.Open(root, kRebootKey) &&
            RegQueryValueExW(reboot.Get(), kRebootValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            return true;
    }

    RegKey session;
    if (!session.Open(root, kSessionManagerKey)) return false;

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(session.Get(), kPendingRenames, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ || size == 0)
        return false;

    std::wstring tempPath;
    if (!ReadTempPath(tempPath)) return true;

    // Room for the reported size plus a terminator of our own. When the value
    // grew between the two queries (ERROR_MORE_DATA) or its type changed, the
    // read counts as failed: pending.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD readType = 0;
    DWORD readSize = size;
    if (RegQueryValueExW(session.Get(), kPendingRenames, nullptr, &readType,
                         reinterpret_cast<BYTE*>(buffer.data()), &readSize) != ERROR_SUCCESS ||
        readType != REG_MULTI_SZ || readSize > size)
        return true;

    return PendingRenamesOutside(buffer.data(), readSize / sizeof(wchar_t), tempPath.c_str());
}

bool IsRebootPending() { return IsRebootPendingUnder(HKEY_LOCAL_MACHINE); }

void SetTempPathFunction(TempPathFunction function) { g_tempPath = function; }
