// The free-space check against a drive of a chosen size, and what it reads
// the free space of.
#include <gtest/gtest.h>

#include <string>

#include "FreeSpaceCheck.h"
#include "LongPath.h"

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

// The share \\srv\share with room, asked for as its root "\\srv\share\".
std::wstring g_askedRoot;
BOOL WINAPI ShareWithRoom(LPCWSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector, LPDWORD freeClusters,
                          LPDWORD totalClusters) {
    g_askedRoot = root;
    if (lstrcmpiW(root, L"\\\\srv\\share\\") != 0) return FALSE;
    *sectorsPerCluster = 1;
    *bytesPerSector = 4096;
    *freeClusters = 1000;
    *totalClusters = 2000;
    return TRUE;
}

// A root on a share is measured on its share, in both of the forms the
// extraction writes to; a root with neither drive nor share is never enough.
TEST(FreeSpaceCheck, RootOnAShareIsMeasuredOnItsShare) {
    EXPECT_EQ(L"C:", VolumeOf(L"C:\\Temp\\QuorInstallFiles\\"));
    EXPECT_EQ(L"D:", VolumeOf(L"\\\\?\\D:\\Out\\"));
    SetDiskFreeSpaceFunction(ShareWithRoom);
    for (const wchar_t* root : {L"\\\\srv\\share\\dir\\", L"\\\\?\\UNC\\srv\\share\\dir\\", L"\\\\srv\\share\\"}) {
        const std::wstring measured = VolumeOf(root);
        EXPECT_EQ(L"\\\\srv\\share", measured);
        g_askedRoot.clear();
        EXPECT_TRUE(HasEnoughFreeSpace(measured, 4096 * 1000 - 1));
        EXPECT_EQ(L"\\\\srv\\share\\", g_askedRoot);
    }
    for (const wchar_t* root : {L"quorrel\\", L"\\x\\", L"\\\\srv\\", L"\\\\srv\\\\dir\\", L"\\\\.\\C:\\x\\"}) {
        EXPECT_EQ(L"", VolumeOf(root));
        g_askedRoot.clear();
        EXPECT_FALSE(HasEnoughFreeSpace(VolumeOf(root), 0));
        EXPECT_EQ(L"", g_askedRoot);
    }
    SetDiskFreeSpaceFunction(nullptr);
}

// A failed query leaves nothing to count: not even 0 bytes fit.
BOOL WINAPI Unreadable(LPCWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD) { return FALSE; }

TEST(FreeSpaceCheck, FreeSpaceThatCannotBeReadIsNeverEnough) {
    SetDiskFreeSpaceFunction(Unreadable);
    EXPECT_FALSE(HasEnoughFreeSpace(L"C:", 0));
    SetDiskFreeSpaceFunction(nullptr);

    // The system's own answer for a drive letter that names no drive.
    const DWORD drives = GetLogicalDrives();
    int unused = 25;
    while (unused >= 0 && (drives & (1u << unused))) --unused;
    ASSERT_GE(unused, 0);
    const std::wstring drive = {static_cast<wchar_t>(L'A' + unused), L':'};
    EXPECT_FALSE(HasEnoughFreeSpace(drive, 0));
}

}  // namespace
