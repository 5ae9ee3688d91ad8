#include "LongPath.h"

#include <windows.h>

namespace {

const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.compare(0, wcslen(prefix), prefix) == 0; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// "\\server\share" from a path whose server name begins at `at` (behind "\\"
// or "\\?\UNC\"); empty when the server or the share is missing.
std::wstring ShareOf(const std::wstring& path, size_t at) {
    size_t serverEnd = at;
    while (serverEnd < path.size() && !IsSeparator(path[serverEnd])) ++serverEnd;
    if (serverEnd == at || serverEnd + 1 >= path.size()) return std::wstring();
    size_t shareEnd = serverEnd + 1;
    while (shareEnd < path.size() && !IsSeparator(path[shareEnd])) ++shareEnd;
    if (shareEnd == serverEnd + 1) return std::wstring();
    return L"\\\\" + path.substr(at, shareEnd - at);
}

// Where the folders below the volume begin: after "\\?\C:\" or after the
// share's '\' of "\\?\UNC\server\share\". npos when there is no such part.
size_t FirstFolderPosition(const std::wstring& path) {
    const size_t prefix = wcslen(kLongPrefix);
    if (StartsWith(path, kLongUncPrefix)) {
        size_t server = path.find(L'\\', wcslen(kLongUncPrefix));
        if (server == std::wstring::npos) return std::wstring::npos;
        size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? std::wstring::npos : share + 1;
    }
    if (StartsWith(path, kLongPrefix) && path.size() > prefix + 2 && IsDriveLetter(path[prefix]) &&
        path[prefix + 1] == L':' && path[prefix + 2] == L'\\')
        return prefix + 3;
    return std::wstring::npos;
}

// The platform's full form of a path (one pass of its path rules); empty when
// the call fails.
std::wstring FullPathName(const std::wstring& path) {
    std::wstring full(path.size() + MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    if (n == 0 || n >= full.size()) return std::wstring();
    full.resize(n);
    return full;
}

// "X:\" or "X:/" at the start.
bool HasDriveRoot(const std::wstring& path) {
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

// An absolute path in one of the forms the launcher takes: a drive and its
// root, a share with its server and share name, or the long form of either.
bool IsFullForm(const std::wstring& path) {
    if (StartsWith(path, kLongUncPrefix)) return !VolumeOf(path).empty();
    if (StartsWith(path, kLongPrefix)) return HasDriveRoot(path.substr(wcslen(kLongPrefix)));
    if (HasDriveRoot(path)) return true;
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !VolumeOf(path).empty();
}

}  // namespace

std::wstring VolumeOf(const std::wstring& path) {
    const size_t prefix = wcslen(kLongPrefix);
    if (StartsWith(path, kLongUncPrefix)) return ShareOf(path, wcslen(kLongUncPrefix));
    if (StartsWith(path, kLongPrefix))
        return path.size() > prefix + 1 && IsDriveLetter(path[prefix]) && path[prefix + 1] == L':'
                   ? path.substr(prefix, 2)
                   : std::wstring();
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') return path.substr(0, 2);
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // Other device forms ("\\.\", "//?/") name no share.
        const bool device = path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3]);
        return device ? std::wstring() : ShareOf(path, 2);
    }
    return std::wstring();
}

FullFolderFault ResolveFullFolder(const std::wstring& given, std::wstring& full) {
    full.clear();
    if (!IsFullForm(given)) return FullFolderFault::NotFull;
    const std::wstring folder = IsSeparator(given.back()) ? given : given + L"\\";
    // The long form is taken literally by the platform: it is its own full form.
    std::wstring resolved = StartsWith(folder, kLongPrefix) ? folder : FullPathName(folder);
    if (resolved.empty() || !IsResolvedFullPath(resolved)) return FullFolderFault::Ambiguous;
    if (resolved.back() != L'\\') resolved += L'\\';
    full = resolved;
    return FullFolderFault::None;
}

bool IsResolvedFullPath(const std::wstring& path) {
    if (!IsFullForm(path)) return false;
    if (StartsWith(path, kLongPrefix)) return true;
    return FullPathName(path) == path;
}

std::wstring ToLongPath(const std::wstring& path) {
    if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\")) return path;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return kLongPrefix + path;
    if (StartsWith(path, L"\\\\") && !VolumeOf(path).empty()) return kLongUncPrefix + path.substr(2);
    return path;
}

void CreateFolderChain(const std::wstring& longFolder) {
    std::wstring folder = longFolder;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    // Usually the folder is there already, or only its last level is missing.
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return;
    size_t start = FirstFolderPosition(folder);
    if (start == std::wstring::npos) return;
    for (size_t slash = folder.find(L'\\', start); slash != std::wstring::npos; slash = folder.find(L'\\', slash + 1))
        CreateDirectoryW(folder.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}
