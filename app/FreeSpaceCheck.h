// The free-space check of the drive (or share) of the temporary root, before
// anything is extracted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// True when the drive ("C:") or share ("\\server\share") has more than
// bytesNeeded free bytes (equal is not enough). An empty drive, or free space
// that cannot be read, is false.
bool HasEnoughFreeSpace(const std::wstring& drive, uint64_t bytesNeeded);

// How the check reads a drive's free space, in the form of GetDiskFreeSpaceW.
// Tests install one that reports a drive of a chosen size; nullptr restores
// GetDiskFreeSpaceW.
typedef BOOL(WINAPI* DiskFreeSpaceFunction)(LPCWSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                                            LPDWORD freeClusters, LPDWORD totalClusters);
void SetDiskFreeSpaceFunction(DiskFreeSpaceFunction function);
