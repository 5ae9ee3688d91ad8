// The free-space check against a drive of a chosen size.
#include <gtest/gtest.h>

#include "FreeSpaceCheck.h"

namespace {

// Drive Q: with 3 Mi free clusters of 4 KiB: 12 GiB, more than 32 bits hold.
BOOL WINAPI TwelveGiBFree(LPCWSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector, LPDWORD freeClusters,
                          LPDWORD totalClusters) {
    if (lstrcmpW(root, L"Q:\\") != 0) return FALSE;
    *sectorsPerCluster = 8;
    *bytesPerSector = 512;
    *freeClusters = 3u << 20;
    *totalClusters = 4u << 20;
    return TRUE;
}

TEST(FreeSpaceCheck, OneByteToSparePassesExactlyTheFreeBytesDoNot) {
    SetDiskFreeSpaceFunction(TwelveGiBFree);
    const uint64_t freeBytes = 12ull << 30;
    EXPECT_TRUE(HasEnoughFreeSpace(L"Q:", freeBytes - 1));
    EXPECT_FALSE(HasEnoughFreeSpace(L"Q:", freeBytes));
    SetDiskFreeSpaceFunction(nullptr);
}

}  // namespace
