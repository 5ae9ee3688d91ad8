#include "TempRootRemoval.h"

#include <windows.h>

#include <algorithm>

#include "LongPath.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Length of the root part of an absolute path in its ordinary form: "X:\" (3)
// or "\\server\share\" (up to and including the separator after the share);
// 0 when the path is not absolute in one of these two forms.
size_t RootLength(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0) return 0;  // a long form: its root is longer than its volume
    const std::wstring volume = VolumeOf(path);
    if (volume.empty()) return 0;
    if (volume.size() == 2) return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 0;  // "X:" of "X:\"
    return std::min(volume.size() + 1, path.size());
}

// Owns a find handle.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : m_h(h) {}
    ~FindHandle() {
        if (m_h != INVALID_HANDLE_VALUE) FindClose(m_h);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// How long a removal keeps trying when something is still held open, and the
// pause between its passes. A console program's console host, or a virus
// scanner reading a new file, lets go a moment after the program has ended.
constexpr ULONGLONG kRetryForMs = 3000;
constexpr DWORD kRetryPauseMs = 50;

// What one pass over the tree left behind.
struct RemovalPass {
    unsigned failures = 0;
    bool worthRetrying = false;  // a failure that another process's open handle explains

    // Records a deletion that failed with GetLastError(). Held open (sharing
    // violation, lock) or opened without delete sharing (access denied) ends
    // when the holder closes; so does "not empty" for a folder whose contents
    // all went, as deleted files that someone still holds open stay listed
    // until then. "Not empty" because something inside failed says nothing new.
    void Failed(bool contentsGone) {
        const DWORD error = GetLastError();
        ++failures;
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
            (error == ERROR_DIR_NOT_EMPTY && contentsGone))
            worthRetrying = true;
    }
};

void DeletePlainFile(const std::wstring& path, DWORD attributes, RemovalPass& pass) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!DeleteFileW(path.c_str())) pass.Failed(false);
}

void RemoveDirectoryEntry(const std::wstring& path, DWORD attributes, RemovalPass& pass, bool contentsGone = true) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!RemoveDirectoryW(path.c_str())) pass.Failed(contentsGone);
}

// Removes the contents of `dir` (no trailing backslash) and then `dir`.
void RemoveTree(const std::wstring& dir, DWORD dirAttributes, RemovalPass& pass) {
    const unsigned failuresBefore = pass.failures;
    {
        WIN32_FIND_DATAW data;
        FindHandle find(FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, 0));
        if (find.Valid()) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = dir + L"\\" + name;
                const DWORD attr = data.dwFileAttributes;
                if (attr & FILE_ATTRIBUTE_REPARSE_POINT) {
                    // A junction or symbolic link: remove the link itself only.
                    if (attr & FILE_ATTRIBUTE_DIRECTORY)
                        RemoveDirectoryEntry(path, attr, pass);
                    else
                        DeletePlainFile(path, attr, pass);
                } else if (attr & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path, attr, pass);
                } else {
                    DeletePlainFile(path, attr, pass);
                }
            } while (FindNextFileW(find.Get(), &data));
        }
    }
    RemoveDirectoryEntry(dir, dirAttributes, pass, pass.failures == failuresBefore);
}

}  // namespace

std::wstring SafeRemovalTarget(const std::wstring& root) {
    if (root.empty()) return std::wstring();
    if (root.find_first_of(L"\"*?<>|") != std::wstring::npos) return std::wstring();
    if (root.compare(0, 4, L"\\\\?\\") == 0 || root.compare(0, 4, L"\\\\.\\") == 0 ||
        root.compare(0, 4, L"//?/") == 0 || root.compare(0, 4, L"//./") == 0)
        return std::wstring();
    if (RootLength(root) == 0) return std::wstring();

    // The root is judged exactly as it will be removed: it must already be
    // the one full path of the run (as the start-up resolved it), read as a
    // folder with its separator, as the extraction wrote below it. A path
    // that the platform would read as another (".", "..", a name ending in
    // dots) is refused, never resolved here into something else.
    const std::wstring folder = IsSeparator(root.back()) ? root : root + L"\\";
    if (!IsResolvedFullPath(folder)) return std::wstring();
    std::wstring full = folder;
    while (!full.empty() && IsSeparator(full.back())) full.pop_back();

    const size_t rootLength = RootLength(full + L"\\");
    if (rootLength == 0 || full.size() + 1 <= rootLength) return std::wstring();
    if (full.find_first_not_of(L"\\/. ", rootLength) == std::wstring::npos) return std::wstring();
    return full;
}

RemovalResult RemoveTempRootTree(const std::wstring& root) {
    const std::wstring safe = SafeRemovalTarget(root);
    if (safe.empty()) return RemovalResult::Refused;
    // The extracted tree may reach past MAX_PATH: remove it through the long
    // form of that very string (a name's trailing blank stays).
    const std::wstring target = ToLongPath(safe);
    const ULONGLONG deadline = GetTickCount64() + kRetryForMs;
    for (;;) {
        const DWORD attr = GetFileAttributesW(target.c_str());
        if (attr == INVALID_FILE_ATTRIBUTES) return RemovalResult::Removed;  // nothing (left) there
        if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) return RemovalResult::Refused;
        RemovalPass pass;
        if (attr & FILE_ATTRIBUTE_REPARSE_POINT)  // the root itself is a link: never enter it
            RemoveDirectoryEntry(target, attr, pass);
        else
            RemoveTree(target, attr, pass);
        if (pass.failures == 0) return RemovalResult::Removed;
        // What is held open is tried again on the next pass; anything else gives up now.
        if (!pass.worthRetrying || GetTickCount64() >= deadline) return RemovalResult::Incomplete;
        Sleep(kRetryPauseMs);
    }
}
