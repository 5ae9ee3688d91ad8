// The sandbox helpers guard every other test's file work: a folder outside
// the sandbox root must never be removed.
#include "TestSandbox.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace quortest;

TEST(TestSandbox, FolderIsCreatedWrittenAndRemoved) {
    std::wstring folder = MakeSandboxFolder(L"support");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    ASSERT_TRUE(WriteFileBytes(folder + L"a.bin", {1, 2, 3}));
    CreateDirectoryW((folder + L"sub").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + L"sub\\b.bin", {}));
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(folder + L"a.bin", back));
    EXPECT_EQ(back, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(RemoveSandboxFolder(folder));
    EXPECT_FALSE(FolderExists(folder));
}

TEST(TestSandbox, RefusesPathsOutsideTheRoot) {
    EXPECT_FALSE(RemoveSandboxFolder(L"C:\\windows\\"));
    EXPECT_FALSE(RemoveSandboxFolder(SandboxRoot()));
    EXPECT_FALSE(RemoveSandboxFolder(SandboxRoot() + L"..\\"));
    EXPECT_TRUE(FolderExists(L"C:\\windows"));
}

TEST(TestSandbox, HostRootIsNotMapped) {
    // The private prefix maps no drive to the host's root folder.
    EXPECT_FALSE(FolderExists(L"Z:\\"));
    EXPECT_TRUE(FolderExists(L"S:\\"));
}
