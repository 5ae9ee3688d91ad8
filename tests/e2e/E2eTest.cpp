// Whole runs of the packed launcher: switches, exit codes, the dialog, the
// boxes of failed extractions, Cancel, the removal of the temporary root and
// the translated dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "E2eFixture.h"
#include "ExtractionTypes.h"
#include "TempRootRemoval.h"

using namespace e2e;
using quortest::ElapsedBoundMs;
using quortest::FileExists;
using quortest::FolderExists;

namespace {


std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The arguments the stand-in received, without the blanks around them.
std::string Arguments(const Record& r) {
    std::string a = First(r, "arguments");  // "[...]"
    if (a.size() < 2) return "<none>";
    return Trimmed(a.substr(1, a.size() - 2));
}

bool HasFile(const Record& r, const std::string& name) {
    auto range = r.equal_range("file");
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == name) return true;
    return false;
}

void WriteText(const std::wstring& path, const char* text) {
    ASSERT_TRUE(quortest::WriteFileBytes(path, std::vector<uint8_t>(text, text + strlen(text))));
}

// Sets HKLM "SOFTWARE\Quor\Setup\Reboot" "RebootNeeded" for its lifetime, in
// this program's registry view: the launcher under test is of the same
// architecture, so a 32-bit run writes and reads the 32-bit view (WOW6432Node).
class RebootNeeded {
public:
    RebootNeeded() {
        HKEY key = nullptr;
        m_ok = RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quor\\Setup\\Reboot", 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (m_ok) {
            DWORD one = 1;
            m_ok = RegSetValueExW(key, L"RebootNeeded", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                                  sizeof(one)) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
    }
    ~RebootNeeded() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quor"); }
    bool Ok() const { return m_ok; }

private:
    bool m_ok = false;
};

// ---------------------------------------------------------------- runs

class Runs : public WholeRun {};

TEST_F(Runs, NoSwitchesShowsTheDialogExtractsAndStartsSetup) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"", Environment(7)));
    DialogState s = WaitForVisibleDialog(run);
    ASSERT_TRUE(s.hwnd) << "no visible dialog";
    EXPECT_EQ(0, s.caption.rfind(L"Extracting ", 0)) << Utf8(s.caption);
    EXPECT_EQ(L'%', s.caption.back()) << Utf8(s.caption);
    EXPECT_EQ(0, s.progressLow);
    EXPECT_EQ(500, s.progressHigh);
    // The labels paint their own texts; their window texts stay the template's.
    EXPECT_EQ(L"Welcome", s.heading);
    EXPECT_EQ(L"The Quor Installation Wizard...", s.text);
    EXPECT_EQ(L"Cancel", s.button);

    // The stored splash picture (a sky with a yellow sun) fills the picture
    // area, with the labels' black text drawn over it.
    // Under load the first paint can lag behind visibility: look again for a
    // while before judging.
    int w = 0, h = 0;
    std::vector<DWORD> pixels;
    run.WaitUntil([&] {
        return CaptureWindowPixels(s.hwnd, w, h, pixels) && CountPixelsNear(pixels, 0xFFD54A, 24) > 100u &&
               CountPixelsNear(pixels, 0x000000, 40) > 200u;
    }, 4000);
    EXPECT_GT(CountPixelsNear(pixels, 0xFFD54A, 24), 100u);
    EXPECT_GT(CountPixelsNear(pixels, 0x000000, 40), 200u);

    ASSERT_TRUE(run.WaitForExit(60000));
    EXPECT_EQ(0u, run.ExitCode());  // not waited for: the program's own 7 does not count
    // The stand-in was started; it may still be writing its record.
    Record r;
    run.WaitUntil([&] { return ReadRecord(RecordPath(), r) && !First(r, "current folder").empty(); }, 10000);
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    EXPECT_EQ(Utf8(DefaultFolder(kOkBuildId)), First(r, "current folder") + "\\");
    EXPECT_EQ("", Arguments(r));
    EXPECT_TRUE(HasFile(r, "readme.txt"));
    EXPECT_TRUE(HasFile(r, "docs\\guide.txt"));
    EXPECT_TRUE(HasFile(r, "data\\blob.bin"));
    EXPECT_FALSE(HasFile(r, "temp.htar"));
}

// The built-in bitmap shows (the emblem's orange arrow), not the stored
// splash (no sun). Under load the first paint can lag behind visibility:
// look again for a while before judging.
void ExpectBuiltInBitmap(LauncherRun& run, HWND dialog) {
    int w = 0, h = 0;
    std::vector<DWORD> pixels;
    run.WaitUntil([&] {
        return CaptureWindowPixels(dialog, w, h, pixels) && CountPixelsNear(pixels, 0xF5A623, 24) > 30u;
    }, 4000);
    EXPECT_GT(CountPixelsNear(pixels, 0xF5A623, 24), 30u);
    EXPECT_LT(CountPixelsNear(pixels, 0xFFD54A, 10), 10u);
}

TEST_F(Runs, BuiltInBitmapShowsWithoutStoredSplash) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-nosplash"), L"/u", Environment()));
    DialogState s = WaitForVisibleDialog(run);
    ASSERT_TRUE(s.hwnd);
    ExpectBuiltInBitmap(run, s.hwnd);
    ASSERT_TRUE(run.WaitForExit(60000));
    EXPECT_EQ(0u, run.ExitCode());
}

// A stored splash range that does not lie before the stream: never read, the
// built-in bitmap shows.
TEST_F(Runs, SplashRangeBeyondTheStreamShowsTheBuiltInBitmap) {
    std::vector<uint8_t> exe;
    ASSERT_TRUE(quortest::ReadFileBytes(Launcher(L"quor-ok"), exe));
    const char marker[] = "KORVALIS5:";
    auto at = std::search(exe.begin(), exe.end(), marker, marker + 10);
    ASSERT_NE(exe.end(), at);
    const uint32_t beyond = 0x7FFFFF00u;
    memcpy(&*(at + 10), &beyond, 4);
    const std::wstring patched = Box() + L"patched.exe";
    ASSERT_TRUE(quortest::WriteFileBytes(patched, exe));

    LauncherRun run;
    ASSERT_TRUE(run.Start(patched, L"/u", Environment()));
    DialogState s = WaitForVisibleDialog(run);
    ASSERT_TRUE(s.hwnd);
    ExpectBuiltInBitmap(run, s.hwnd);
    ASSERT_TRUE(run.WaitForExit(60000));
    EXPECT_EQ(0u, run.ExitCode());
}

TEST_F(Runs, QuietShowsNothingAndReturnsTheProgramsCode) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/q", Environment(4242)));
    bool sawVisible = false;
    run.WaitUntil([&] {
        for (HWND h : run.Windows())
            if (IsWindowVisible(h)) sawVisible = true;
        return false;
    }, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_FALSE(sawVisible);
    EXPECT_EQ(4242u, run.ExitCode());
    Record r;
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    EXPECT_EQ("/w /s /v/qn", Arguments(r));
    const std::string tail = First(r, "arguments");
    EXPECT_NE(std::string::npos, tail.find(" /w /s /v/qn]")) << tail;
}

TEST_F(Runs, WaitReturnsTheProgramsCodeOr3010WhenARestartIsPending) {
    EXPECT_EQ(1603u, RunToEnd(Launcher(L"quor-ok"), L"/w", Environment(1603)));
    EXPECT_EQ(3010u, RunToEnd(Launcher(L"quor-ok"), L"/w", Environment(3010)));
    RebootNeeded reboot;
    ASSERT_TRUE(reboot.Ok());
    EXPECT_EQ(3010u, RunToEnd(Launcher(L"quor-ok"), L"/w", Environment(1603)));
    EXPECT_EQ(3010u, RunToEnd(Launcher(L"quor-ok"), L"/w", Environment(0)));
}

TEST_F(Runs, UnpackOnlyStartsNothing) {
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/u /w", Environment(55)));
    EXPECT_TRUE(FileExists(DefaultFolder(kOkBuildId) + L"setup.exe"));
    EXPECT_TRUE(FileExists(DefaultFolder(kOkBuildId) + L"docs\\guide.txt"));
    EXPECT_FALSE(FileExists(DefaultFolder(kOkBuildId) + L"temp.htar"));
    Sleep(500);
    EXPECT_FALSE(FileExists(RecordPath()));
}

TEST_F(Runs, PassOnTokensArriveWithTheirQuotes) {
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/w A=1 B=\"x y\" \"c d\" /Q", Environment()));
    Record r;
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    // "c opens no quoted stretch, d" opens one that runs to the end: /Q is passed on.
    EXPECT_EQ("A=1 B=\"x y\" \"c d\" /Q", Arguments(r));

    // A long token is passed on whole.
    const std::wstring longToken = L"LONG=" + std::wstring(1500, L'z');
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), longToken + L" /w", Environment()));
    Record r2;
    ASSERT_TRUE(ReadRecord(RecordPath(), r2));
    EXPECT_EQ(Utf8(longToken), Arguments(r2));
}

TEST_F(Runs, UnpackFolderWithBlanksAndQuotes) {
    const std::wstring folder = Box() + L"My Folder\\";
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/UFPATH=\"" + folder + L"\" /w", Environment()));
    Record r;
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    EXPECT_EQ(Utf8(folder + L"QUOR" + kOkBuildId), First(r, "current folder"));
    EXPECT_TRUE(FileExists(folder + L"QUOR" + kOkBuildId + L"\\readme.txt"));
    EXPECT_FALSE(FolderExists(Temp() + L"QuorInstallFiles"));
}

// "%QV%" in the unpack folder is a name, not a variable: the program started
// is the one extracted there, never one in the folder the variable names.
TEST_F(Runs, PercentInTheUnpackFolderStartsTheExtractedProgram) {
    const std::wstring named = Box() + L"out\\QUOR" + kOkBuildId + L"\\";
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, named.c_str(), nullptr));
    WriteText(named + L"setup.exe", "not a program");  // started, it would fail the run with 1603
    const std::wstring folder = Box() + L"%QV%\\";
    EXPECT_EQ(7u, RunToEnd(Launcher(L"quor-ok"), L"/w /UFPATH=" + folder, Environment(7, {L"QV=out"})));
    Record r;
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    EXPECT_EQ(Utf8(folder + L"QUOR" + kOkBuildId), First(r, "current folder"));
}

// Without a trailing backslash the folder is still the root: the files go
// below it, not beside it under a longer name.
TEST_F(Runs, UnpackFolderWithoutTrailingBackslash) {
    const std::wstring folder = Box() + L"out";
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/UFPATH=" + folder + L" /u", Environment()));
    EXPECT_TRUE(FileExists(folder + L"\\QUOR" + kOkBuildId + L"\\readme.txt"));
    EXPECT_FALSE(FolderExists(folder + L"QUOR" + kOkBuildId));
}

// Under /w the installation program is started with its window shown, and
// the launcher, which waits for it, shows nothing meanwhile.
TEST_F(Runs, WaitStartsTheProgramShownAndHidesTheDialogWhileItRuns) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/w", Environment(21, {L"QUOR_DUMMY_SLEEP_MS=5000"})));
    const HWND dialog = WaitForVisibleDialog(run).hwnd;
    ASSERT_TRUE(dialog);
    // The program has started once its record is there; the dialog hides
    // right after the start and stays hidden while the program runs.
    ASSERT_TRUE(run.WaitUntil([&] { return FileExists(RecordPath()); }, 30000));
    EXPECT_TRUE(run.WaitUntil([&] { return !IsWindowVisible(dialog); }, ElapsedBoundMs(1000)))
        << "the dialog stayed while the program ran";
    EXPECT_TRUE(run.Running());
    bool sawVisible = false;
    run.WaitUntil([&] {
        for (HWND h : run.Windows()) sawVisible = sawVisible || IsWindowVisible(h);
        return false;
    }, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_FALSE(sawVisible);
    EXPECT_EQ(21u, run.ExitCode());
    Record r;
    ASSERT_TRUE(ReadRecord(RecordPath(), r));
    EXPECT_EQ(std::to_string(SW_SHOW), First(r, "show command"));
}

// A picture of the window once it has stopped changing (two captures in a
// row alike), so that pending paints are in.
bool CaptureSettled(HWND hwnd, int& width, int& height, std::vector<DWORD>& pixels) {
    std::vector<DWORD> previous;
    for (int i = 0; i < 50; ++i) {
        Sleep(150);
        if (!CaptureWindowPixels(hwnd, width, height, pixels)) return false;
        if (pixels == previous) return true;
        previous = pixels;
    }
    return false;
}

// What a label painted in its rectangle of the dialog: the pixels that differ
// from the splash alone (its ink), their box, those that are no blend of the
// splash with the text colour, and the stretches of columns with ink.
struct Ink {
    int count = 0;
    int left = 1 << 30, right = -1;  // inclusive
    int notText = 0;
    int columnRuns = 0;
};

Ink InkIn(const RECT& r, int width, const std::vector<DWORD>& painted, const std::vector<DWORD>& splash, DWORD text) {
    auto between = [](DWORD p, DWORD a, DWORD b) {
        for (int shift : {0, 8, 16}) {
            const DWORD c = (p >> shift) & 0xFF, x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
            if (c < std::min(x, y) || c > std::max(x, y)) return false;
        }
        return true;
    };
    Ink ink;
    bool inRun = false;
    for (int x = r.left; x < r.right; ++x) {
        bool column = false;
        for (int y = r.top; y < r.bottom; ++y) {
            const size_t at = static_cast<size_t>(y) * width + x;
            if (painted[at] == splash[at]) continue;
            column = true;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            if (!between(painted[at], splash[at], text)) ++ink.notText;
        }
        if (column && !inRun) ++ink.columnRuns;
        inRun = column;
    }
    return ink;
}

// The dialog as painted against the splash alone (the same dialog with its
// labels hidden). Each label's ink lies centred in its rectangle; each of its
// pixels is the text colour or a blend of it with the splash, which shows
// around and between the letters (no background band); and each label paints
// its own text: "Welcome" in no more stretches of columns than its 7 letters,
// the text line's sentence in no fewer than its 12 words. The worker is held
// meanwhile, so that the run cannot end.
TEST_F(Runs, LabelsPaintTheirOwnTextsCentredOverTheSplash) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/u", Environment()));
    const HWND dialog = WaitForVisibleDialog(run).hwnd;
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(run.WaitUntil([&] { return FileExists(DefaultFolder(kOkBuildId) + L"setup.exe") &&
                                           !FileExists(DefaultFolder(kOkBuildId) + L"temp.htar"); }, 20000));
    ASSERT_TRUE(run.SuspendOtherThreads());
    int w = 0, h = 0;
    std::vector<DWORD> painted, splash;
    ASSERT_TRUE(CaptureSettled(dialog, w, h, painted));
    const HWND labels[] = {GetDlgItem(dialog, 1005), GetDlgItem(dialog, 1006)};
    RECT rects[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(labels[i] && GetWindowRect(labels[i], &rects[i]));
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rects[i]), 2);
        ShowWindow(labels[i], SW_HIDE);
    }
    // Repainted whole, as when it was first shown: a part of the picture
    // alone is stretched a little differently.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ASSERT_TRUE(CaptureSettled(dialog, w, h, splash));
    run.ResumeOtherThreads();

    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const DWORD textRgb = (GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text);
    Ink ink[2];
    for (int i = 0; i < 2; ++i) {
        ink[i] = InkIn(rects[i], w, painted, splash, textRgb);
        ASSERT_GT(ink[i].count, 100) << "label " << i << " paints no text";
        EXPECT_EQ(0, ink[i].notText) << "label " << i << " paints a background";
        EXPECT_NEAR(ink[i].left - rects[i].left, rects[i].right - 1 - ink[i].right, 3)
            << "label " << i << " is not centred";
    }
    EXPECT_LE(ink[0].columnRuns, 7);
    EXPECT_GE(ink[1].columnRuns, 12);
    ASSERT_TRUE(run.WaitForExit(30000));
    EXPECT_EQ(0u, run.ExitCode());
}

// Progress 0, 250 and 499 read as whole percentages. Sent during the pause
// before the launch, when the engine posts no more progress of its own.
TEST_F(Runs, CaptionShowsWholePercentages) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/u", Environment()));
    ASSERT_TRUE(WaitForVisibleDialog(run).hwnd);
    ASSERT_TRUE(run.WaitUntil([&] { return FileExists(DefaultFolder(kOkBuildId) + L"setup.exe") &&
                                           !FileExists(DefaultFolder(kOkBuildId) + L"temp.htar"); }, 20000));
    Sleep(300);
    const std::pair<int, const wchar_t*> expected[] = {
        {0, L"Extracting 0 %"}, {250, L"Extracting 50 %"}, {499, L"Extracting 99 %"}};
    for (const auto& e : expected) {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(run.Dialog(), WM_EXTRACT_PROGRESS, WPARAM(e.first), 0, SMTO_ABORTIFHUNG, 5000,
                                        &ignored));
        const DialogState s = run.ReadDialog();
        EXPECT_EQ(e.second, s.caption) << Utf8(s.caption);
        EXPECT_EQ(e.first, s.progressPos);
    }
    ASSERT_TRUE(run.WaitForExit(30000));
    EXPECT_EQ(0u, run.ExitCode());
}

TEST_F(Runs, MissingSetupProgramFailsQuietly) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-nosetup"), L"/w", Environment()));
    bool sawBox = false;
    run.WaitUntil([&] {
        sawBox = sawBox || !run.MessageBoxes().empty();
        return false;
    }, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_FALSE(sawBox);
    EXPECT_EQ(1603u, run.ExitCode());
    EXPECT_TRUE(FileExists(DefaultFolder(kNoSetupBuildId) + L"setup.exe"));
}

// ---------------------------------------------------------------- cancel and failures

class Failures : public WholeRun {};

TEST_F(Failures, CancelDuringThePauseStartsNothing) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/w", Environment()));
    ASSERT_TRUE(WaitForVisibleDialog(run).hwnd);
    // The files are out once setup.exe (the last member) is complete; the pause follows.
    ASSERT_TRUE(run.WaitUntil([&] { return FileExists(DefaultFolder(kOkBuildId) + L"setup.exe") &&
                                           !FileExists(DefaultFolder(kOkBuildId) + L"temp.htar"); }, 20000));
    Sleep(1000);
    const HWND dialog = run.Dialog();
    ASSERT_TRUE(dialog);
    const ULONGLONG pressed = GetTickCount64();
    run.PressCancel();
    // The pause ends at the press, not when its 5 s have passed: the dialog
    // goes at once. (Under Xvfb, with no window manager, Wine then waits 2 s
    // for the hidden window's unmapping before it destroys the window.)
    run.WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000);
    EXPECT_LT(GetTickCount64() - pressed, ElapsedBoundMs(1000)) << "the dialog stayed after Cancel";
    run.WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    const ULONGLONG destroyed = GetTickCount64();
    ASSERT_TRUE(run.WaitForExit(10000)) << "Cancel did not end the run";
    EXPECT_LT(GetTickCount64() - destroyed, ElapsedBoundMs(1000)) << "the run went on after the dialog";
    EXPECT_EQ(1602u, run.ExitCode());
    Sleep(500);
    EXPECT_FALSE(FileExists(RecordPath()));
}

// Cancel while the payload is still being decoded (a payload that takes
// seconds), with no box open: the run ends at once with 1602, nothing was
// written out or started, and the spool is gone.
TEST_F(Failures, CancelWhileDecodingEndsAtOnce) {
    const std::wstring folder = DefaultFolder(kSlowBuildId);
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-slow"), L"/w", Environment(), L"", false));
    DialogState s;
    ASSERT_TRUE(run.WaitUntil([&] {
        s = run.ReadDialog();
        return s.visible && FileExists(folder + L"temp.htar");
    }, 20000)) << "the spool never appeared";
    // The worker is held while the dialog takes Cancel: under emulation the
    // dialog works through queued progress messages first, and decoding
    // could otherwise end before Cancel is taken.
    ASSERT_TRUE(run.SuspendOtherThreads());
    ASSERT_LT(s.progressPos, 250) << "decoding was over before Cancel";
    const ULONGLONG pressed = GetTickCount64();
    run.PressCancel();
    const bool taken = run.WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(s.hwnd, IDCANCEL)); }, 10000);
    run.ResumeOtherThreads();
    ASSERT_TRUE(taken) << "the dialog did not take Cancel";
    bool sawBox = false;
    run.WaitUntil([&] {
        sawBox = sawBox || !run.MessageBoxes().empty();
        return !run.Running();
    }, 10000);
    ASSERT_TRUE(run.WaitForExit(1000)) << "Cancel did not end the run";
    EXPECT_LT(GetTickCount64() - pressed, ElapsedBoundMs(3000));
    EXPECT_EQ(1602u, run.ExitCode());
    EXPECT_FALSE(sawBox);
    EXPECT_FALSE(FileExists(folder + L"temp.htar"));
    EXPECT_FALSE(FileExists(folder + L"setup.exe"));   // the last member: copy-out never began
    EXPECT_FALSE(FileExists(folder + L"readme.txt"));
    Sleep(500);
    EXPECT_FALSE(FileExists(RecordPath()));
}

TEST_F(Failures, CancelWhileTheOutputFileBoxIsOpen) {
    // A folder where a member file must go: opening it for writing fails.
    const std::wstring folder = DefaultFolder(kOkBuildId);
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, (folder + L"readme.txt").c_str(), nullptr));
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/w", Environment()));
    MessageBoxInfo first = run.WaitForMessageBox(30000);
    ASSERT_TRUE(first.hwnd) << "no box for the output file";
    EXPECT_EQ(L"Extraction failed", first.caption);
    EXPECT_NE(std::wstring::npos, first.text.find(L"readme.txt")) << Utf8(first.text);
    EXPECT_EQ(0, first.text.rfind(L"Unable to open the output file ", 0)) << Utf8(first.text);

    run.PressCancel();
    Sleep(500);
    LauncherRun::CloseMessageBox(first);
    ASSERT_TRUE(run.WaitUntil([&] { return !IsWindow(first.hwnd); }, 5000));
    MessageBoxInfo second = run.WaitForMessageBox(10000);
    ASSERT_TRUE(second.hwnd) << "no error box after the output-file box";
    EXPECT_EQ(L"Extraction failed", second.caption);
    EXPECT_NE(std::wstring::npos, second.text.find(L"Error")) << Utf8(second.text);
    LauncherRun::CloseMessageBox(second);
    ASSERT_TRUE(run.WaitForExit(10000)) << "the run did not end after Cancel";
    EXPECT_EQ(1602u, run.ExitCode());
    EXPECT_FALSE(FileExists(RecordPath()));
}

// Cancel while the files are written out of the spool. The members go out
// in name order, noise.bin (16 MiB), readme.txt, setup.exe, each after a look
// at the cancel flag. The worker is held (its thread stopped) while noise.bin
// is there and readme.txt is not, so that Cancel surely comes in this phase
// with the look before setup.exe still ahead, and goes on once the dialog has
// taken Cancel. The run ends quietly with 1602: no box, the spool removed,
// the last member never written, nothing started.
TEST_F(Failures, CancelWhileWritingTheFilesEndsQuietly) {
    const std::wstring folder = DefaultFolder(kSlowBuildId);
    auto spooled = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        return GetFileAttributesExW((folder + L"temp.htar").c_str(), GetFileExInfoStandard, &data) &&
               data.nFileSizeLow >= (12u << 20);
    };
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-slow"), L"/w", Environment(), L"", false));
    // The run goes on freely until most of noise.bin is in the spool; from
    // there the worker runs only in slices of a fraction of a millisecond,
    // with the files looked at between them, so that the copy-out of
    // noise.bin cannot pass by unseen.
    ASSERT_TRUE(run.WaitUntil(spooled, 60000)) << "the spool did not grow";
    ASSERT_TRUE(run.SuspendOtherThreads());
    bool held = false;
    const ULONGLONG end = GetTickCount64() + 120000;
    while (GetTickCount64() < end && !FileExists(folder + L"readme.txt")) {
        if ((held = FileExists(folder + L"noise.bin"))) break;
        run.StepOtherThreads(200);
    }
    ASSERT_TRUE(held) << "the copy-out went by unseen";
    // The dialog, shown meanwhile, takes Cancel (its button greys, then the
    // flag is set) while the worker stands still.
    const HWND dialog = WaitForVisibleDialog(run).hwnd;
    ASSERT_TRUE(dialog);
    run.PressCancel();
    const bool taken = run.WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)); }, 10000);
    Sleep(static_cast<DWORD>(ElapsedBoundMs(100)));
    run.ResumeOtherThreads();
    ASSERT_TRUE(taken) << "the dialog did not take Cancel";
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 30000);
    ASSERT_TRUE(run.WaitForExit(1000)) << "Cancel did not end the run";
    EXPECT_EQ(1602u, run.ExitCode());
    for (const auto& b : boxes) ADD_FAILURE() << "a box after Cancel: " << Utf8(b.text);
    EXPECT_FALSE(FileExists(folder + L"temp.htar"));
    EXPECT_FALSE(FileExists(folder + L"setup.exe"));
    std::vector<uint8_t> noise;
    EXPECT_TRUE(quortest::ReadFileBytes(folder + L"noise.bin", noise));
    EXPECT_EQ(16u << 20, noise.size()) << "a member left half-written";
    Sleep(500);
    EXPECT_FALSE(FileExists(RecordPath()));
}

TEST_F(Failures, DamagedPayloadShowsTheErrorAndFails) {
    std::vector<uint8_t> exe;
    ASSERT_TRUE(quortest::ReadFileBytes(Launcher(L"quor-ok"), exe));
    const char marker[] = "KORVALIS2:";
    auto at = std::search(exe.begin(), exe.end(), marker, marker + 10);
    ASSERT_NE(exe.end(), at);
    uint32_t payload = 0;
    memcpy(&payload, &*(at + 10), 4);
    ASSERT_LT(payload + 4096u, exe.size());
    for (size_t i = payload + 40; i < payload + 4096 && i < exe.size(); i += 7) exe[i] ^= 0x5A;
    const std::wstring damaged = Box() + L"damaged.exe";
    ASSERT_TRUE(quortest::WriteFileBytes(damaged, exe));

    LauncherRun run;
    ASSERT_TRUE(run.Start(damaged, L"/w", Environment()));
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(L"Extraction failed", boxes.back().caption);
    EXPECT_NE(std::wstring::npos, boxes.back().text.find(L"Error: ")) << Utf8(boxes.back().text);
    EXPECT_FALSE(FileExists(RecordPath()));
}

TEST_F(Failures, UnwritableExtractionFolder) {
    WriteText(Box() + L"file.txt", "a file, not a folder");
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/UFPATH=" + Box() + L"file.txt\\sub\\ /w", Environment()));
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(0, boxes[0].text.rfind(L"Unable to open the output file ", 0)) << Utf8(boxes[0].text);
    EXPECT_NE(std::wstring::npos, boxes[1].text.find(L"Can not write output file")) << Utf8(boxes[1].text);
    for (const auto& b : boxes) EXPECT_EQ(L"Extraction failed", b.caption);
}

TEST_F(Failures, SpoolFileThatIsAFolder) {
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, (DefaultFolder(kOkBuildId) + L"temp.htar").c_str(), nullptr));
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/w", Environment()));
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(std::wstring::npos, boxes[0].text.find(L"temp.htar")) << Utf8(boxes[0].text);
    EXPECT_NE(std::wstring::npos, boxes[1].text.find(L"Can not write output file")) << Utf8(boxes[1].text);
}

// The free-space message (string 138) for the drive of a path and the bytes required.
std::wstring FreeSpaceText(const std::wstring& path, double requiredBytes) {
    wchar_t text[400];
    _snwprintf(text, 400,
               L"There is insufficient hard disk space left on drive %ls to start the installation process. "
               L"Please free up %.2f MB hard disk space and restart the installation.",
               path.substr(0, 2).c_str(), requiredBytes / 1024 / 1024);
    return text;
}

TEST_F(Failures, TooLittleFreeSpace) {
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-huge"), L"", Environment()));
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 30000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(100u, run.ExitCode());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(FreeSpaceText(Box(), 900000000000000000.0), boxes[0].text);
    EXPECT_EQ(L"quor-huge", boxes[0].caption);
    EXPECT_FALSE(FolderExists(Temp() + L"QuorInstallFiles"));

    // Quiet: the same code, no window at all.
    LauncherRun quiet;
    ASSERT_TRUE(quiet.Start(Launcher(L"quor-huge"), L"/q", Environment()));
    bool sawWindow = false;
    quiet.WaitUntil([&] {
        for (HWND h : quiet.Windows()) sawWindow = sawWindow || IsWindowVisible(h);
        return false;
    }, 30000);
    ASSERT_TRUE(quiet.WaitForExit(1000));
    EXPECT_EQ(100u, quiet.ExitCode());
    EXPECT_FALSE(sawWindow);
}

TEST_F(Failures, TemporaryPathTooLong) {
    const std::wstring longTemp = Box() + std::wstring(270, L'x');
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"", Environment(0, {L"TMP=" + longTemp, L"TEMP=" + longTemp})));
    bool sawWindow = false;
    run.WaitUntil([&] {
        for (HWND h : run.Windows()) sawWindow = sawWindow || IsWindowVisible(h);
        return false;
    }, 30000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(101u, run.ExitCode());
    EXPECT_FALSE(sawWindow);
}

// ---------------------------------------------------------------- /CLEANUP

class Cleanup : public WholeRun {};

TEST_F(Cleanup, RemovesTheGivenFolderAfterTheRun) {
    const std::wstring root = Box() + L"root\\";
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/UFPATH=" + root + L" /CLEANUP /w", Environment()));
    EXPECT_TRUE(FileExists(RecordPath()));  // the program ran from the folder first
    EXPECT_FALSE(FolderExists(root));
    EXPECT_TRUE(FolderExists(Box()));
}

// Under /q nothing is shown, so the removal follows the end of the (console)
// installation program at once, while its console host may still hold the
// extraction folder as its current folder for a moment.
TEST_F(Cleanup, RemovesTheFolderRightAfterAQuietConsoleProgram) {
    const std::wstring root = Box() + L"root\\";
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/q /CLEANUP /UFPATH=" + root, Environment()));
    EXPECT_TRUE(FileExists(RecordPath()));
    EXPECT_FALSE(FolderExists(root + L"QUOR" + kOkBuildId));
    EXPECT_FALSE(FolderExists(root));
}

TEST_F(Cleanup, RemovesTheDefaultRootOnly) {
    WriteText(Temp() + L"other.txt", "keep");
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/CLEANUP /u", Environment()));
    EXPECT_FALSE(FolderExists(Temp() + L"QuorInstallFiles"));
    EXPECT_TRUE(FileExists(Temp() + L"other.txt"));
}

TEST_F(Cleanup, WaitsForAProgramStartedWithoutWaiting) {
    const std::wstring root = Box() + L"root\\";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/UFPATH=" + root + L" /CLEANUP",
                           Environment(9, {L"QUOR_DUMMY_SLEEP_MS=4000"})));
    EXPECT_GE(GetTickCount64() - start, 9000u);  // the pause and the program's 4 s
    EXPECT_TRUE(FileExists(RecordPath()));
    EXPECT_FALSE(FolderExists(root));
}

TEST_F(Cleanup, HostileRootsRemoveNothingOutside) {
    // A "%" in the path is taken literally.
    const std::wstring victim = Box() + L"victim\\";
    ASSERT_TRUE(CreateDirectoryW(victim.c_str(), nullptr));
    WriteText(victim + L"keep.txt", "k");
    const std::wstring percent = Box() + L"%QUORVICTIM%\\";
    EXPECT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/UFPATH=" + percent + L" /CLEANUP /u",
                           Environment(0, {L"QUORVICTIM=victim"})));
    EXPECT_TRUE(FileExists(victim + L"keep.txt"));
    EXPECT_FALSE(FolderExists(percent));

    // The drive root (S:\ holds this very test program) is no root the
    // removal takes: refused, with a message, before anything is written.
    const std::wstring drive = Box().substr(0, 3);
    const std::wstring extracted = drive + L"QUOR" + kOkBuildId + L"\\";
    RemoveTempRootTree(extracted);  // nothing of an earlier run may pass for this one's
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/UFPATH=" + drive + L" /CLEANUP /u", Environment()));
    const std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 30000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0, boxes[0].text.rfind(L"The folder \"" + drive + L"\" cannot be removed after the installation", 0))
        << Utf8(boxes[0].text);
    EXPECT_TRUE(FileExists(Launcher(L"quor-ok")));
    EXPECT_FALSE(FolderExists(extracted));
    EXPECT_TRUE(FileExists(victim + L"keep.txt"));
    RemoveTempRootTree(extracted);
}

// A relative root is refused before anything is written (1603, after a
// message that asks for a full path), and the removal at exit touches
// nothing. A removal that took the root as given would reach "quorrel" under
// the launcher's current folder, or under the system folder it moves to
// before removing.
TEST_F(Failures, RelativeRootIsRefusedAndNeverRemoved) {
    const std::wstring cwd = Box() + L"cwd\\";
    wchar_t system[MAX_PATH] = {};
    ASSERT_NE(0u, GetSystemDirectoryW(system, MAX_PATH));
    const std::wstring planted[] = {cwd + L"quorrel\\", std::wstring(system) + L"\\quorrel\\"};
    for (const std::wstring& folder : planted) {
        ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr)) << Utf8(folder);
        WriteText(folder + L"keep.txt", "k");
    }
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/UFPATH=quorrel\\ /CLEANUP /u", Environment(), cwd));
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0, boxes[0].text.rfind(L"The folder \"quorrel\\\" cannot take the installation files: it must be a full path", 0))
        << Utf8(boxes[0].text);
    for (const std::wstring& folder : planted) {
        EXPECT_TRUE(FileExists(folder + L"keep.txt")) << Utf8(folder);
        EXPECT_FALSE(FolderExists(folder + L"QUOR" + kOkBuildId)) << Utf8(folder);
    }
    RemoveTempRootTree(planted[1]);
}

// A quote inside the path: the extraction fails (boxes) and nothing is
// removed, neither the quote-less reading of the root nor its parts. The
// switches come first: a quote opens a stretch that runs to the end.
TEST_F(Failures, QuotedRootIsNeverRemoved) {
    const std::wstring planted[] = {Box(), Box() + L"ab\\", Box() + L"a\\", Box() + L"b\\"};
    for (const std::wstring& folder : planted) {
        SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);  // Box() is there already
        WriteText(folder + L"keep.txt", "k");
    }
    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/CLEANUP /u /UFPATH=" + Box() + L"a\"b\\", Environment(), Box()));
    RunAnsweringBoxes(run, 60000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    for (const std::wstring& folder : planted) EXPECT_TRUE(FileExists(folder + L"keep.txt")) << Utf8(folder);
}

// ---------------------------------------------------------------- small drives

// Run through test_e2e_small_drives (run-small-drives.sh), which mounts two
// small tmpfs drives: QUOR_E2E_SPACE_DRIVE, a drive letter of its own whose
// free space nothing else changes, and QUOR_E2E_FULL_FOLDER, a folder with
// room for the spool of quor-ok but not for the spool and its members.
std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(value) : std::wstring();
}

// A copy of quor-ok in the box that asks for `bytes` of free space.
std::wstring WithRequiredFreeBytes(const std::wstring& box, uint64_t bytes) {
    std::vector<uint8_t> exe;
    if (!quortest::ReadFileBytes(Launcher(L"quor-ok"), exe)) return std::wstring();
    const char marker[] = "KORVALIS4:";
    auto at = std::search(exe.begin(), exe.end(), marker, marker + 10);
    if (at == exe.end()) return std::wstring();
    memcpy(&*(at + 10), &bytes, sizeof(bytes));
    const std::wstring path = box + L"required-" + std::to_wstring(bytes) + L".exe";
    return quortest::WriteFileBytes(path, exe) ? path : std::wstring();
}

class SmallDrive : public WholeRun {
protected:
    void SetUp() override {
        WholeRun::SetUp();
        m_space = EnvironmentValue(L"QUOR_E2E_SPACE_DRIVE");
        m_full = EnvironmentValue(L"QUOR_E2E_FULL_FOLDER");
        ASSERT_FALSE(m_space.empty() || m_full.empty()) << "runs in test_e2e_small_drives";
    }
    std::wstring m_space;  // "T:\"
    std::wstring m_full;   // ends with '\'
};

TEST_F(SmallDrive, ExactlyTheRequiredFreeSpaceIsNotEnough) {
    const std::wstring temp = m_space + L"temp";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceW(m_space.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters));
    const uint64_t freeBytes = uint64_t(sectorsPerCluster * bytesPerSector) * freeClusters;
    ASSERT_GT(freeBytes, 0u);
    const auto env = Environment(0, {L"TMP=" + temp, L"TEMP=" + temp});

    LauncherRun run;
    ASSERT_TRUE(run.Start(WithRequiredFreeBytes(Box(), freeBytes), L"", env));
    std::vector<MessageBoxInfo> boxes = RunAnsweringBoxes(run, 30000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(100u, run.ExitCode());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(FreeSpaceText(m_space, double(freeBytes)), boxes[0].text);

    // Nothing required: the check passes and the run goes on.
    EXPECT_EQ(0u, RunToEnd(WithRequiredFreeBytes(Box(), 0), L"/u", env));
    EXPECT_TRUE(FileExists(temp + L"\\QuorInstallFiles\\QUOR" + kOkBuildId + L"\\readme.txt"));
    RemoveTempRootTree(temp);
}

// The spool fits, the members after it do not: the write-failure box, 1603,
// and neither the spool nor a half-written member stays behind.
TEST_F(SmallDrive, DiskFullWhileWritingTheMembers) {
    const std::wstring reference = Box() + L"reference\\";
    ASSERT_EQ(0u, RunToEnd(Launcher(L"quor-ok"), L"/UFPATH=" + reference + L" /u", Environment()));

    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/UFPATH=" + m_full + L" /u", Environment()));
    MessageBoxInfo box = run.WaitForMessageBox(60000);
    ASSERT_TRUE(box.hwnd) << "no box for the full disk";
    // The copy-out has begun (progress 250 and up) when the spool was complete;
    // the dialog may still be catching up with the posted progress.
    int progress = -1;
    run.WaitUntil([&] { return (progress = run.ReadDialog().progressPos) >= 250; }, 5000);
    EXPECT_GE(progress, 250) << "the spool itself did not fit";
    EXPECT_EQ(L"Extraction failed", box.caption);
    EXPECT_NE(std::wstring::npos, box.text.find(L"Can not write output file")) << Utf8(box.text);
    LauncherRun::CloseMessageBox(box);
    ASSERT_TRUE(run.WaitUntil([&] { return !IsWindow(box.hwnd); }, 5000));
    std::vector<MessageBoxInfo> more = RunAnsweringBoxes(run, 30000);
    ASSERT_TRUE(run.WaitForExit(1000));
    EXPECT_EQ(1603u, run.ExitCode());
    for (const auto& b : more) ADD_FAILURE() << "a further box: " << Utf8(b.text);

    const std::wstring folder = m_full + L"QUOR" + kOkBuildId + L"\\";
    EXPECT_FALSE(FileExists(folder + L"temp.htar"));
    int complete = 0;
    for (const wchar_t* member : {L"readme.txt", L"docs\\guide.txt", L"data\\blob.bin", L"setup.exe"}) {
        std::vector<uint8_t> expected, written;
        ASSERT_TRUE(quortest::ReadFileBytes(reference + L"QUOR" + kOkBuildId + L"\\" + member, expected));
        if (!quortest::ReadFileBytes(folder + member, written)) continue;  // never written, or removed
        EXPECT_EQ(expected.size(), written.size()) << Utf8(member) << " is half-written";
        ++complete;
    }
    EXPECT_LT(complete, 4);
    RemoveTempRootTree(folder);
}

// ---------------------------------------------------------------- language

// The translation of an English text for a 3-letter language from the
// dictionary source copied beside the tests.
std::wstring Translation(const std::string& english, const std::string& code) {
    std::vector<uint8_t> bytes;
    if (!quortest::ReadFileBytes(E2eFolder() + L"dictionary.txt", bytes)) return std::wstring();
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    bool inKey = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') inKey = line == "[" + english + "]";
        else if (inKey && line.rfind(code + " = ", 0) == 0) return Wide(line.substr(code.size() + 3));
    }
    return std::wstring();
}

// The texts of the program's string table, by id.
BOOL CALLBACK CollectStringBlock(HMODULE program, LPCWSTR type, LPWSTR name, LONG_PTR texts) {
    HRSRC found = FindResourceW(program, name, type);
    const uint16_t* at = static_cast<const uint16_t*>(LockResource(LoadResource(program, found)));
    const uint16_t* end = at + SizeofResource(program, found) / sizeof(uint16_t);
    const UINT firstId = (static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)) - 1) * 16;
    for (UINT i = 0; i < 16 && at && at < end && *at <= end - at - 1; at += 1 + *at, ++i)
        if (*at) (*reinterpret_cast<std::map<UINT, std::wstring>*>(texts))[firstId + i].assign(at + 1, at + 1 + *at);
    return TRUE;
}

// Every text of the string table that the program shows is translated
// through the dictionary, which finds it only under a key of the same text.
TEST(Texts, EveryStringTableTextShownTranslatedIsADictionaryKey) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(quortest::ReadFileBytes(E2eFolder() + L"dictionary.txt", bytes));
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::set<std::wstring> keys;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line[0] == '[' && line.back() == ']') keys.insert(Wide(line.substr(1, line.size() - 2)));
    }
    HMODULE program = LoadLibraryExW(Launcher(L"quor-ok").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    std::map<UINT, std::wstring> texts;
    EnumResourceNamesW(program, RT_STRING, CollectStringBlock, reinterpret_cast<LONG_PTR>(&texts));
    FreeLibrary(program);
    texts.erase(2500);   // the failed help start: shown with the system's text, untranslated
    EXPECT_GE(texts.size(), 10u);
    for (const auto& text : texts) EXPECT_EQ(1u, keys.count(text.second)) << "string " << text.first;
}

class Localized : public WholeRun {};

TEST_F(Localized, DialogIsInTheUsersLanguage) {
    char lang[16] = {};
    GetEnvironmentVariableA("QUOR_E2E_LANGUAGE", lang, sizeof(lang));
    const std::string code = std::string(lang) == "de" ? "DEU" : std::string(lang) == "ja" ? "JPN" : "";
    ASSERT_FALSE(code.empty()) << "runs in test_e2e_de / test_e2e_ja (QUOR_E2E_LANGUAGE)";
    const std::wstring welcome = Translation("Welcome", code);
    const std::wstring wizard = Translation("The Quor Installation Wizard...", code);
    const std::wstring cancel = Translation("Cancel", code);
    const std::wstring extracting = Translation("Extracting %d %%", code);
    ASSERT_FALSE(welcome.empty() || wizard.empty() || cancel.empty() || extracting.empty());
    ASSERT_NE(L"Welcome", welcome);

    LauncherRun run;
    ASSERT_TRUE(run.Start(Launcher(L"quor-ok"), L"/u", Environment()));
    DialogState s = WaitForVisibleDialog(run);
    ASSERT_TRUE(s.hwnd);
    EXPECT_EQ(welcome, s.heading);
    EXPECT_EQ(wizard, s.text);
    EXPECT_EQ(cancel, s.button);
    const std::wstring prefix = extracting.substr(0, extracting.find(L"%d"));
    EXPECT_EQ(0, s.caption.rfind(prefix, 0)) << Utf8(s.caption);
    ASSERT_TRUE(run.WaitForExit(60000));
    EXPECT_EQ(0u, run.ExitCode());
}

// A window whose text grew after its length was read: its length answer is
// the one from before.
LRESULT CALLBACK GrownCaptionProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETTEXTLENGTH) return 1;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(Driver, TextThatGrewAfterItsLengthWasReadIsReadWhole) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = GrownCaptionProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorGrownCaption";
    RegisterClassW(&wc);
    const std::wstring caption = L"Extracting 4 % (progress 20 of 500)";
    HWND hwnd = CreateWindowW(wc.lpszClassName, caption.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(caption, WindowText(hwnd));
    DestroyWindow(hwnd);
}

}  // namespace
