// Shared setup of the whole-run tests: the packed launchers, a sandbox folder
// per test with its own temporary folder, and what the stand-in installation
// program recorded.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "LauncherDriver.h"
#include "TestSandbox.h"

namespace e2e {

// Build ids the launchers were packed with (tests/e2e/CMakeLists.txt).
extern const wchar_t kOkBuildId[];
extern const wchar_t kNoSplashBuildId[];
extern const wchar_t kHugeBuildId[];
extern const wchar_t kNoSetupBuildId[];
extern const wchar_t kSlowBuildId[];  // quor-slow: a payload that takes seconds to decode

// S:\bin\e2e\<name>.exe
std::wstring Launcher(const std::wstring& name);
std::wstring E2eFolder();

// What the stand-in installation program wrote (key -> values in order).
using Record = std::multimap<std::string, std::string>;
bool ReadRecord(const std::wstring& path, Record& record);
std::string First(const Record& record, const std::string& key);

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

class WholeRun : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The sandbox folder of this test (ends with '\').
    const std::wstring& Box() const { return m_box; }
    // The Windows temporary folder the launcher sees (TMP and TEMP).
    std::wstring Temp() const { return m_box + L"temp\\"; }
    std::wstring RecordPath() const { return m_box + L"record.txt"; }
    // Default extraction folder for a build id.
    std::wstring DefaultFolder(const wchar_t* buildId) const {
        return Temp() + L"QuorInstallFiles\\QUOR" + buildId + L"\\";
    }

    // TMP, TEMP, the record file and the stand-in's exit code; extra pairs added.
    std::vector<std::wstring> Environment(DWORD setupExitCode = 0,
                                          const std::vector<std::wstring>& extra = {}) const;

    // Starts the launcher, closes nothing, waits for its end (at most
    // timeoutMs); a failure to end fails the test.
    DWORD RunToEnd(const std::wstring& launcher, const std::wstring& args,
                   const std::vector<std::wstring>& env, DWORD timeoutMs = 60000, const std::wstring& cwd = L"");

    // Waits until the dialog is visible and shows a caption; its state.
    DialogState WaitForVisibleDialog(LauncherRun& run, DWORD timeoutMs = 20000);

private:
    std::wstring m_box;
};

// Lets the started launcher run on, answering every message box, until the
// time is up; the boxes in the order they came.
std::vector<MessageBoxInfo> RunAnsweringBoxes(LauncherRun& run, DWORD timeoutMs);

// Pixels of a captured window close to an RGB colour (each channel +-tolerance).
size_t CountPixelsNear(const std::vector<DWORD>& pixels, DWORD rgb, int tolerance);

}  // namespace e2e
