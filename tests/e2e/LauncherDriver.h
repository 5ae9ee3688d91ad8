// Drives a packed launcher from outside, as a person would: starts it with a
// chosen command line and environment, watches its windows (the progress
// dialog and message boxes), presses Cancel, closes boxes, captures the
// dialog into a BMP file and reads the full exit code.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct DialogState {
    HWND hwnd = nullptr;
    bool visible = false;
    std::wstring caption;
    int progressPos = -1;
    int progressLow = -1;
    int progressHigh = -1;
    std::wstring heading;  // control 1005
    std::wstring text;     // control 1006
    std::wstring button;   // IDCANCEL
};

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;  // static 0xFFFF
};

// Text of a window of another process (WM_GETTEXT is marshalled).
std::wstring WindowText(HWND hwnd);

class LauncherRun {
public:
    LauncherRun() = default;
    ~LauncherRun();  // terminates a program that is still running
    LauncherRun(const LauncherRun&) = delete;
    LauncherRun& operator=(const LauncherRun&) = delete;

    // program: the launcher; arguments: the text behind its quoted name;
    // environment: NAME=VALUE pairs set or replaced; folder: its current
    // folder (empty: this process's). Returns once the program first waits
    // for input, or, with waitForIdle false, at once (a UI thread kept busy
    // by the extraction's progress may not wait for input before it ends).
    bool Start(const std::wstring& program, const std::wstring& arguments,
               const std::vector<std::wstring>& environment = {}, const std::wstring& folder = L"",
               bool waitForIdle = true);

    // Waits for the end; false when it did not end in time.
    bool WaitForExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const { return m_exitCode; }
    DWORD ProcessId() const { return m_pi.dwProcessId; }

    // Top-level windows of the program.
    std::vector<HWND> Windows() const;
    // The progress dialog (a dialog with control 1000), or null.
    HWND Dialog() const;
    DialogState ReadDialog() const;
    std::vector<MessageBoxInfo> MessageBoxes() const;

    // Polls every 20 ms until `done` is true or the time is up; also stops
    // when the program has ended (then `done` is asked once more).
    bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) const;
    // Waits for a message box and returns it (hwnd null when none came).
    MessageBoxInfo WaitForMessageBox(DWORD timeoutMs) const;

    void PressCancel() const;
    static void CloseMessageBox(const MessageBoxInfo& box);

    // Stops every thread of the program but its first (the UI thread), and
    // returns once they stand still: the extraction worker is held where it
    // is while the dialog still answers. StepOtherThreads lets them run for
    // a moment and stops them again; ResumeOtherThreads lets them go on (so
    // does the destructor). False when no thread was stopped.
    bool SuspendOtherThreads();
    void StepOtherThreads(DWORD microseconds);
    void ResumeOtherThreads();

private:
    PROCESS_INFORMATION m_pi = {};
    DWORD m_exitCode = STILL_ACTIVE;
    std::vector<HANDLE> m_suspended;
};

// Copies what the window's client area shows (BitBlt from the window's DC)
// into a 24-bit BMP.
bool CaptureWindow(HWND hwnd, const std::wstring& bmpPath);
// The window's pixels as 0x00RRGGBB values, row by row from the top.
bool CaptureWindowPixels(HWND hwnd, int& width, int& height, std::vector<DWORD>& pixels);

// argv-style quoting of one argument.
std::wstring QuoteArgument(const std::wstring& arg);

}  // namespace e2e
