// Whole runs of "/CLEANUP": the temporary root goes however the run ends,
// also when the launcher was started from inside it, and on a share.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstring>

#include "E2eFixture.h"

using namespace e2e;
using quortest::FileExists;
using quortest::FolderExists;

namespace {

void WriteText(const std::wstring& path, const char* text) {
    ASSERT_TRUE(quortest::WriteFileBytes(path, std::vector<uint8_t>(text, text + strlen(text))));
}

// Every run starts with its current folder inside the root it is to remove
// (a person who started it from there), and the root holds a file of an
// earlier run: neither the way the run ends nor the launcher's own current
// folder may keep the folder.
class CleanupEnd : public WholeRun {
protected:
    void SetUp() override {
        WholeRun::SetUp();
        ASSERT_TRUE(CreateDirectoryW(Root().c_str(), nullptr));
        WriteText(Root() + L"earlier.txt", "e");
        WriteText(Box() + L"neighbour.txt", "keep");
    }
    void TearDown() override {
        EXPECT_TRUE(FileExists(Box() + L"neighbour.txt"));
        WholeRun::TearDown();
    }
    std::wstring Root() const { return Box() + L"root\\"; }
    std::wstring Switches(const std::wstring& more) const { return L"/CLEANUP /UFPATH=" + Root() + L" " + more; }
};

TEST_F(CleanupEnd, TooLittleFreeSpace) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-huge"), Switches(L"/q"), Environment(), Root()));
    ASSERT_TRUE(run.WaitForExit(30000));
    EXPECT_EQ(100u, run.ExitCode());
    EXPECT_FALSE(FolderExists(Root()));
}

TEST_F(CleanupEnd, CancelledAfterTheFilesAreOut) {
    const std::wstring extracted = Root() + L"QUOR" + kOkBuildId + L"\\";
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), Switches(L"/w"), Environment(), Root()));
    ASSERT_TRUE(WaitForVisibleDialog(run).hwnd);
    ASSERT_TRUE(run.WaitUntil([&] { return FileExists(extracted + L"setup.exe") &&
                                           !FileExists(extracted + L"temp.htar"); }, 20000));
    run.PressCancel();
    ASSERT_TRUE(run.WaitForExit(20000));
    EXPECT_EQ(1602u, run.ExitCode());
    EXPECT_FALSE(FileExists(RecordPath()));  // nothing was started
    EXPECT_FALSE(FolderExists(Root()));
}

// The spool file cannot be made (a folder holds its name): two boxes, 1603.
TEST_F(CleanupEnd, FailedExtraction) {
    const std::wstring spool = Root() + L"QUOR" + kOkBuildId + L"\\temp.htar\\";
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, spool.c_str(), nullptr));
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), Switches(L"/w"), Environment(), Root()));
    const std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    EXPECT_EQ(2u, boxes.size());
    EXPECT_FALSE(FolderExists(Root()));
}

// The installation program ran from the folder and asks for a restart.
TEST_F(CleanupEnd, ProgramAsksForARestart) {
    EXPECT_EQ(3010u, RunToEnd(Launcher(L"quor-ok"), Switches(L"/w"), Environment(3010), 60000, Root()));
    EXPECT_TRUE(FileExists(RecordPath()));
    EXPECT_FALSE(FolderExists(Root()));
}

// Runs in test_e2e_cleanup, whose prefix maps the share \\quorsrv\sandbox to
// the sandbox drive S: (QUOR_E2E_SHARE, ending with '\').
class ShareRoot : public WholeRun {
protected:
    void SetUp() override {
        WholeRun::SetUp();
        wchar_t share[MAX_PATH] = {};
        const DWORD n = GetEnvironmentVariableW(L"QUOR_E2E_SHARE", share, MAX_PATH);
        ASSERT_TRUE(n > 0 && n < MAX_PATH) << "runs in test_e2e_cleanup";
        m_share = share;
    }
    // S:\x\ as the share shows it.
    std::wstring OnShare(const std::wstring& path) const { return m_share + path.substr(3); }

    std::wstring m_share;
};

// The free space of the share counts: the files go there, the program runs
// from there, and the folder is removed there. The long form of the share
// takes the files as well (its removal is refused, as for every such path).
TEST_F(ShareRoot, ExtractsStartsAndRemovesOnAShare) {
    const std::wstring root = Box() + L"root\\";
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/q /CLEANUP /UFPATH=" + OnShare(root), Environment()));
    Record r;
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    EXPECT_EQ(Utf8(OnShare(root) + L"QUOR" + kOkBuildId), First(r, "current folder"));
    EXPECT_EQ(4u, r.count("file"));  // setup.exe, readme.txt, docs\guide.txt, data\blob.bin
    EXPECT_FALSE(FolderExists(root));

    const std::wstring longForm = L"\\\\?\\UNC\\" + OnShare(root).substr(2);
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/u /UFPATH=" + longForm, Environment()));
    EXPECT_TRUE(FileExists(root + L"QUOR" + kOkBuildId + L"\\data\\blob.bin"));
}

// A share whose free space cannot be read ends the run before anything is
// written, with the message that names the share.
TEST_F(ShareRoot, UnreadableShareEndsWithTheFreeSpaceMessage) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/UFPATH=\\\\nosuchsrv\\share\\dir\\ /w", Environment()));
    const std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 30000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(100u, run.ExitCode());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0, boxes[0].text.rfind(L"There is insufficient hard disk space left on drive \\\\nosuchsrv\\share to start", 0))
        << Utf8(boxes[0].text);
    EXPECT_FALSE(FileExists(RecordPath()));
}

}  // namespace
