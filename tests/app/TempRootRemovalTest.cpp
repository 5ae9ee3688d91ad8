// Removal of the temporary root: which paths may go, and that the removal
// stays inside the folder (links are removed, never followed).
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <utility>
#include <vector>

#include "LongPath.h"
#include "TempRootRemoval.h"
#include "TestSandbox.h"

using quortest::ElapsedBoundMs;
using quortest::FileExists;
using quortest::FolderExists;
using quortest::ScopedSandbox;
using quortest::WriteFileBytes;

namespace {

TEST(SafeRemovalTarget, RefusesRootsThatAreNotPlainFolders) {
    const wchar_t* refused[] = {
        L"", L"x", L"x\\y\\", L"C:x", L"C:", L"\\x\\", L"/x",        // empty, relative, drive-relative
        L"C:\\", L"C:/", L"c:\\\\", L"C:\\.", L"C:\\x\\..", L"C:\\x\\..\\", L"C:\\...\\", L"C:\\ .\\",
        L"\\\\srv\\share", L"\\\\srv\\share\\", L"\\\\srv\\", L"\\\\srv", L"\\\\srv\\share\\a\\..\\",
        L"\\\\?\\C:\\x", L"\\\\.\\C:\\x", L"//?/C:/x",                 // namespace and device paths
        L"C:\\a\"b\\", L"C:\\x\\*", L"C:\\x?", L"C:\\x|y",            // quotes and wildcards
        L"C:\\a\\b\\..\\", L"C:/a/", L"C:\\a\\\\b\\",                  // not resolved into one full form
    };
    for (const wchar_t* root : refused)
        EXPECT_EQ(L"", SafeRemovalTarget(root)) << quortest::Narrow(root);
}

TEST(SafeRemovalTarget, AcceptsAbsoluteFoldersBelowARoot) {
    EXPECT_EQ(L"C:\\Temp\\QuorInstallFiles", SafeRemovalTarget(L"C:\\Temp\\QuorInstallFiles\\"));
    EXPECT_EQ(L"C:\\a\\%TEMP%", SafeRemovalTarget(L"C:\\a\\%TEMP%\\"));
    EXPECT_EQ(L"\\\\srv\\share\\dir", SafeRemovalTarget(L"\\\\srv\\share\\dir\\"));
}

void WriteText(const std::wstring& path, const char* text) {
    ASSERT_TRUE(WriteFileBytes(path, std::vector<uint8_t>(text, text + strlen(text))));
}

TEST(RemoveTempRootTree, RemovesNestedFoldersAndReadOnlyFiles) {
    ScopedSandbox box(L"rm-tree");
    const std::wstring root = box.Path() + L"QuorInstallFiles\\";
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"QUOR1\\").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"QUOR1\\sub").c_str(), nullptr));
    WriteText(root + L"QUOR1\\setup.exe", "x");
    WriteText(root + L"QUOR1\\sub\\ro.txt", "y");
    ASSERT_TRUE(SetFileAttributesW((root + L"QUOR1\\sub\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((root + L"QUOR1\\sub").c_str(), FILE_ATTRIBUTE_READONLY));
    WriteText(box.Path() + L"neighbour.txt", "keep");

    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(root));
    EXPECT_FALSE(FolderExists(root));
    EXPECT_TRUE(FileExists(box.Path() + L"neighbour.txt"));
    // A root that is already gone is not an error.
    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(root));
}

TEST(RemoveTempRootTree, RemovesATreeReachingPastMaxPath) {
    ScopedSandbox box(L"rm-long");
    const std::wstring root = box.Path() + L"QuorInstallFiles\\";
    // Folders created through the long form, as the extraction creates them.
    std::wstring deep = L"\\\\?\\" + root;
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    for (int i = 0; i < 8; ++i) {
        deep += std::wstring(60, static_cast<wchar_t>(L'a' + i)) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_GT(deep.size(), 500u);
    ASSERT_TRUE(WriteFileBytes(deep + L"file.txt", {1, 2, 3}));
    WriteText(box.Path() + L"neighbour.txt", "keep");

    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(root));
    EXPECT_FALSE(FolderExists(root));
    EXPECT_TRUE(FileExists(box.Path() + L"neighbour.txt"));
}

// "/UFPATH=...\out ": the extraction writes below the folder as given, its
// trailing blank kept ("\\?\...\out \QUOR1\"); the removal takes that folder.
TEST(RemoveTempRootTree, RootEndingInABlankIsTheFolderTheFilesWentTo) {
    ScopedSandbox box(L"rm-blank");
    const std::wstring written = ToLongPath(box.Path() + L"out \\QUOR1\\");
    CreateFolderChain(written);
    ASSERT_TRUE(WriteFileBytes(written + L"setup.exe", {1}));
    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(box.Path() + L"out \\"));
    EXPECT_FALSE(FolderExists(L"\\\\?\\" + box.Path() + L"out "));
}

// A root that the platform's path rules read differently on each pass
// ("out.." as "out." and then "out") is refused as given: the folders beside
// and above it stay, whatever they hold.
TEST(RemoveTempRootTree, RootsThatReadAsAnotherFolderRemoveNothing) {
    ScopedSandbox box(L"rm-dots");
    const std::wstring kept[] = {box.Path() + L"keep.txt", box.Path() + L"out\\keep.txt",
                                 box.Path() + L"x\\out\\keep.txt"};
    CreateFolderChain(ToLongPath(box.Path() + L"x\\out\\"));
    CreateFolderChain(ToLongPath(box.Path() + L"out\\"));
    for (const std::wstring& file : kept) WriteText(file, "k");
    for (const wchar_t* root : {L"out..\\", L"x\\...\\", L"x..\\out\\"})
        EXPECT_EQ(RemovalResult::Refused, RemoveTempRootTree(box.Path() + root)) << quortest::Narrow(root);
    for (const std::wstring& file : kept) EXPECT_TRUE(FileExists(file)) << quortest::Narrow(file);
}

TEST(RemoveTempRootTree, PercentAndFilesAsRootAreTakenLiterally) {
    ScopedSandbox box(L"rm-percent");
    const std::wstring percent = box.Path() + L"%CD%\\";
    ASSERT_TRUE(CreateDirectoryW(percent.c_str(), nullptr));
    WriteText(percent + L"a.txt", "a");
    WriteText(box.Path() + L"keep.txt", "k");
    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(percent));
    EXPECT_FALSE(FolderExists(percent));
    EXPECT_TRUE(FileExists(box.Path() + L"keep.txt"));

    // A file named as the root is not a folder: nothing is removed.
    EXPECT_EQ(RemovalResult::Refused, RemoveTempRootTree(box.Path() + L"keep.txt\\"));
    EXPECT_TRUE(FileExists(box.Path() + L"keep.txt"));
}

TEST(RemoveTempRootTree, FileInUseMakesItIncomplete) {
    ScopedSandbox box(L"rm-busy");
    const std::wstring root = box.Path() + L"root\\";
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    WriteText(root + L"busy.bin", "b");
    HANDLE h = CreateFileW((root + L"busy.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(RemovalResult::Incomplete, RemoveTempRootTree(root));
    EXPECT_LT(GetTickCount64() - start, ElapsedBoundMs(10000));  // it gives up after a bounded time
    CloseHandle(h);
    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(root));
}

DWORD CALLBACK CloseAfterAMoment(LPVOID handle) {
    Sleep(400);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

// A console host that ran the installation program keeps the folder open as
// its current folder for a moment after the program has ended.
TEST(RemoveTempRootTree, FolderHeldForAMomentIsRemovedOnceReleased) {
    ScopedSandbox box(L"rm-held");
    const std::wstring root = box.Path() + L"root\\";
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"QUOR1").c_str(), nullptr));
    WriteText(root + L"QUOR1\\setup.exe", "x");
    HANDLE held = CreateFileW((root + L"QUOR1").c_str(), FILE_TRAVERSE | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    HANDLE closer = CreateThread(nullptr, 0, CloseAfterAMoment, held, 0, nullptr);
    ASSERT_NE(nullptr, closer);
    EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(root));
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    EXPECT_FALSE(FolderExists(root));
}

// Ways in which another process holds a file of the tree for a moment.
enum class Hold {
    OpenWithoutDeleteSharing,  // a scanner reading it: sharing violation
    ImageMapped,               // a program's image still mapped: access denied
    DeletedButOpen,            // deleted while open: listed, so its folder is not empty
};

// One hold on `path`; Release() lets go, from any thread.
class FileHold {
public:
    FileHold(Hold kind, const std::wstring& path) {
        const DWORD share = kind == Hold::OpenWithoutDeleteSharing ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_DELETE;
        m_file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_EXECUTE, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (m_file == INVALID_HANDLE_VALUE || kind != Hold::ImageMapped) return;
        HANDLE mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
        if (mapping) m_view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        if (mapping) CloseHandle(mapping);
        // The view alone holds the file, as a running program does.
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    ~FileHold() { Release(); }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    bool Held() const { return m_file != INVALID_HANDLE_VALUE || m_view != nullptr; }
    void Release() {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
        if (m_view) UnmapViewOfFile(m_view);
        m_file = INVALID_HANDLE_VALUE;
        m_view = nullptr;
    }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    void* m_view = nullptr;
};

DWORD CALLBACK ReleaseAfterAMoment(LPVOID hold) {
    Sleep(400);
    static_cast<FileHold*>(hold)->Release();
    return 0;
}

// Each kind of hold on its own tree: every one of them is waited for, and
// the whole tree goes once it is released.
TEST(RemoveTempRootTree, FileHeldForAMomentIsRemovedOnceReleased) {
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, self, MAX_PATH + 1));
    const std::pair<Hold, const char*> holds[] = {{Hold::OpenWithoutDeleteSharing, "open without delete sharing"},
                                                  {Hold::ImageMapped, "image mapped"},
                                                  {Hold::DeletedButOpen, "deleted but open"}};
    for (const auto& [kind, name] : holds) {
        SCOPED_TRACE(name);
        ScopedSandbox box(L"rm-hold");
        const std::wstring root = box.Path() + L"root\\";
        ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((root + L"QUOR1").c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(self, (root + L"QUOR1\\setup.exe").c_str(), FALSE));
        FileHold hold(kind, root + L"QUOR1\\setup.exe");
        ASSERT_TRUE(hold.Held());
        HANDLE releaser = CreateThread(nullptr, 0, ReleaseAfterAMoment, &hold, 0, nullptr);
        ASSERT_NE(nullptr, releaser);
        EXPECT_EQ(RemovalResult::Removed, RemoveTempRootTree(root));
        WaitForSingleObject(releaser, INFINITE);
        CloseHandle(releaser);
        EXPECT_FALSE(FolderExists(root));
    }
}

// Makes `link` a junction to the folder `target` (both absolute).
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const std::wstring substitute = L"\\??\\" + target;
    const USHORT subBytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
    const USHORT printBytes = static_cast<USHORT>(target.size() * sizeof(wchar_t));
    // REPARSE_DATA_BUFFER for a mount point, laid out by hand.
    std::vector<BYTE> buf(8 + 8 + subBytes + 2 + printBytes + 2, 0);
    auto put16 = [&](size_t at, USHORT v) { memcpy(&buf[at], &v, 2); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(&buf[0], &tag, 4);
    put16(4, static_cast<USHORT>(buf.size() - 8));
    put16(8, 0);
    put16(10, subBytes);
    put16(12, static_cast<USHORT>(subBytes + 2));
    put16(14, printBytes);
    memcpy(&buf[16], substitute.data(), subBytes);
    memcpy(&buf[16 + subBytes + 2], target.data(), printBytes);
    DWORD got = 0;
    BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buf.data(), static_cast<DWORD>(buf.size()), nullptr, 0,
                              &got, nullptr);
    CloseHandle(h);
    return ok != FALSE;
}

bool IsLink(const std::wstring& path) {
    const DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Links made with the system's own calls where it can (Windows), else the
// tree that the test's fixture made on the host (Wine cannot make links
// itself, but shows host symbolic links to folders as reparse points).
std::wstring PreparedLinkTree() {
    wchar_t buf[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUOR_HOST_LINK_TREE", buf, MAX_PATH) == 0) return std::wstring();
    return buf;
}

TEST(RemoveTempRootTree, LinksInsideAreRemovedNotFollowed) {
    ScopedSandbox box(L"rm-links");
    std::wstring base = box.Path();
    std::wstring outside = base + L"outside\\";
    std::wstring root = base + L"root\\";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    WriteText(outside + L"precious.txt", "p");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    bool linked = MakeJunction(root + L"junction", base + L"outside") && IsLink(root + L"junction");
    linked = (CreateSymbolicLinkW((root + L"dirlink").c_str(), (base + L"outside").c_str(),
                                  SYMBOLIC_LINK_FLAG_DIRECTORY) && IsLink(root + L"dirlink")) || linked;
    if (!linked) {
        base = PreparedLinkTree();
        ASSERT_FALSE(base.empty()) << "no way to make a link here (set QUOR_HOST_LINK_TREE)";
        outside = base + L"outside\\";
        root = base + L"root\\";
        ASSERT_TRUE(IsLink(root + L"dirlink"));
        ASSERT_TRUE(FileExists(outside + L"precious.txt"));
    }
    WriteText(root + L"own.txt", "o");

    const RemovalResult result = RemoveTempRootTree(root);
    EXPECT_TRUE(FileExists(outside + L"precious.txt"));
    EXPECT_FALSE(FileExists(root + L"own.txt"));
    // Windows removes the link itself, and with it the whole root; Wine
    // cannot remove a host link from inside (it would act on the target) and
    // reports the removal as incomplete.
    EXPECT_NE(RemovalResult::Refused, result);
    if (linked) {
        EXPECT_EQ(RemovalResult::Removed, result);
        EXPECT_FALSE(FolderExists(root));
    }
}

TEST(RemoveTempRootTree, RootThatIsALinkIsRemovedAsALink) {
    ScopedSandbox box(L"rm-rootlink");
    const std::wstring outside = box.Path() + L"outside\\";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    WriteText(outside + L"precious.txt", "p");
    std::wstring base = box.Path();
    if (!(MakeJunction(base + L"rootlink", base + L"outside") && IsLink(base + L"rootlink"))) {
        base = PreparedLinkTree();
        ASSERT_FALSE(base.empty()) << "no way to make a link here (set QUOR_HOST_LINK_TREE)";
        ASSERT_TRUE(IsLink(base + L"rootlink"));
    }
    EXPECT_NE(RemovalResult::Refused, RemoveTempRootTree(base + L"rootlink\\"));
    EXPECT_TRUE(FileExists(base + L"outside\\precious.txt"));
}

}  // namespace
