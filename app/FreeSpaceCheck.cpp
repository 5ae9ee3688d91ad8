#include "FreeSpaceCheck.h"

#include <cwchar>

namespace {

DiskFreeSpaceFunction g_diskFreeSpace = nullptr;  // GetDiskFreeSpaceW

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

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

}  // namespace

void SetDiskFreeSpaceFunction(DiskFreeSpaceFunction function) {
    g_diskFreeSpace = function;
}

std::wstring FreeSpaceRootOf(const std::wstring& root) {
    // The long forms the extraction accepts as they are.
    if (StartsWith(root, L"\\\\?\\UNC\\")) return ShareOf(root, 8);
    if (StartsWith(root, L"\\\\?\\")) return root.size() >= 6 && root[5] == L':' ? root.substr(4, 2) : std::wstring();
    if (root.size() >= 2 && root[1] == L':') return root.substr(0, 2);  // the drive, as _wsplitpath_s takes it
    if (root.size() >= 2 && IsSeparator(root[0]) && IsSeparator(root[1])) {
        // Other device forms ("\\.\", "//?/") name no share.
        const bool device = root.size() >= 4 && (root[2] == L'?' || root[2] == L'.') && IsSeparator(root[3]);
        return device ? std::wstring() : ShareOf(root, 2);
    }
    return std::wstring();
}

bool HasEnoughFreeSpace(const std::wstring& drive, uint64_t bytesNeeded) {
    if (drive.empty()) return false;
    // The result is not looked at: a failed call leaves the zeros, no free space.
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    const DiskFreeSpaceFunction query = g_diskFreeSpace ? g_diskFreeSpace : GetDiskFreeSpaceW;
    query((drive + L"\\").c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
    const uint32_t clusterBytes = sectorsPerCluster * bytesPerSector;
    const uint64_t freeBytes = static_cast<uint64_t>(clusterBytes) * freeClusters;
    return bytesNeeded < freeBytes;
}
