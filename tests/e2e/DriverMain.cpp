// e2edriver: runs a launcher and reports what happened, for the demo and for
// looking at a run by hand.
//
//   e2edriver [--timeout MS] [--env NAME=VALUE]... [--cwd DIR] [--capture FILE.bmp]
//             PROGRAM [ARGS...]
//
// Prints the dialog's caption and progress while it is visible, the caption
// and text of every message box (each is closed with OK), saves a picture of
// the dialog once it shows progress when --capture is given, and finally
// prints "exit code: N" (the full 32-bit code). Exits 0 when the program ran
// to its end, 2 when it could not be started, 3 when it was stopped at the
// timeout.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "LauncherDriver.h"

int wmain(int argc, wchar_t** argv) {
    DWORD timeout = 120000;
    std::vector<std::wstring> env;
    std::wstring cwd, capture;
    int i = 1;
    for (; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--timeout" && i + 1 < argc) timeout = wcstoul(argv[++i], nullptr, 10);
        else if (a == L"--env" && i + 1 < argc) env.emplace_back(argv[++i]);
        else if (a == L"--cwd" && i + 1 < argc) cwd = argv[++i];
        else if (a == L"--capture" && i + 1 < argc) capture = argv[++i];
        else break;
    }
    if (i >= argc) {
        fwprintf(stderr, L"usage: e2edriver [--timeout MS] [--env N=V]... [--cwd DIR] [--capture FILE.bmp] PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring args;
    for (int j = i + 1; j < argc; ++j) args += (args.empty() ? L"" : L" ") + e2e::QuoteArgument(argv[j]);

    e2e::LauncherRun run;
    if (!run.Start(argv[i], args, env, cwd)) {
        fwprintf(stderr, L"e2edriver: cannot start %ls (error %lu)\n", argv[i], GetLastError());
        return 2;
    }
    const ULONGLONG end = GetTickCount64() + timeout;
    bool captured = capture.empty();
    std::wstring lastCaption;
    while (run.Running() && GetTickCount64() < end) {
        e2e::DialogState s = run.ReadDialog();
        // A dialog being destroyed answers with an empty caption: not a state worth printing.
        if (s.hwnd && s.visible && !s.caption.empty() && s.caption != lastCaption) {
            wprintf(L"dialog: %ls (progress %d of %d)\n", s.caption.c_str(), s.progressPos, s.progressHigh);
            fflush(stdout);
            lastCaption = s.caption;
        }
        // The picture is taken when the bar has moved, after the next paint.
        if (!captured && s.hwnd && s.visible && s.progressPos > 0) {
            Sleep(300);
            if (e2e::CaptureWindow(s.hwnd, capture)) {
                wprintf(L"dialog picture: %ls\n", capture.c_str());
                captured = true;
            }
        }
        for (const e2e::MessageBoxInfo& box : run.MessageBoxes()) {
            wprintf(L"message box [%ls]: %ls\n", box.caption.c_str(), box.text.c_str());
            fflush(stdout);
            e2e::LauncherRun::CloseMessageBox(box);
            Sleep(200);
        }
        Sleep(50);
    }
    if (!run.WaitForExit(0)) {
        fwprintf(stderr, L"e2edriver: %ls did not end in time\n", argv[i]);
        return 3;
    }
    wprintf(L"exit code: %lu\n", run.ExitCode());
    return 0;
}
