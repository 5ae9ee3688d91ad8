#include "FreeSpaceCheck.h"

namespace {

DiskFreeSpaceFunction g_diskFreeSpace = nullptr;  // GetDiskFreeSpaceW

}  // namespace

void SetDiskFreeSpaceFunction(DiskFreeSpaceFunction function) {
    g_diskFreeSpace = function;
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
