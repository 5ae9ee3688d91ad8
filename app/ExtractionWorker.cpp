#include "ExtractionWorker.h"

#include <shellapi.h>

#include <string>

#include "ExtractionTypes.h"
#include "PayloadDecoder.h"
#include "QuorSFXApp.h"
#include "QuorSFXDlg.h"
#include "StampBlock.h"
#include "resource.h"

namespace {

constexpr DWORD kPauseMs = 5000;
constexpr DWORD kPollMs = 100;
const wchar_t kQuietSwitches[] = L" /w /s /v/qn";

// The engine's narrow error text (thread ANSI code page) as wide text. A
// failure without a text still tells the user something.
CString ErrorText(const char* text) {
    CString out;
    const int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (n > 1) {
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, &wide[0], n);
        wide.resize(static_cast<size_t>(n - 1));
        out = wide;
    }
    if (out.IsEmpty()) out = L"\nError: Can not read input file\n";
    return out;
}

void ShowErrorBox(HWND owner, const CString& text) {
    AfxShowMessageBox(owner, text, LoadLauncherString(IDS_EXTRACTION_FAILED), MB_ICONERROR);
}

}  // namespace

UINT __cdecl ExtractionWorkerThread(LPVOID pParam) {
    CQuorSFXDlg* pDialog = static_cast<CQuorSFXDlg*>(pParam);
    const HWND hDialog = pDialog->GetSafeHwnd();

    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(pDialog->m_hModule, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) {
        AfxShowMessageBox(hDialog, LoadLauncherString(IDS_OPEN_FILE_FAILED),
                          LoadLauncherString(IDS_EXTRACTION_FAILED), MB_ICONERROR);
        PostMessageW(hDialog, WM_EXTRACT_FAILED, 0, 0);
        return 0;
    }

    char errorText[kExtractionErrorTextSize] = {};
    const int result = DecodePayloadFile(path, GetStampPayloadOffset(), errorText, hDialog);
    if (result == EXTRACT_CANCELLED) return 0;
    if (result != 0) {
        ShowErrorBox(hDialog, ErrorText(errorText));
        PostMessageW(hDialog, WM_EXTRACT_FAILED, 0, 0);
        return 0;
    }
    if (WaitBeforeLaunch() == 1) PostMessageW(hDialog, WM_EXTRACT_DONE, 0, 0);
    return 0;
}

int WaitBeforeLaunch() {
    // Elapsed time by unsigned difference: correct across the counter's wrap.
    const DWORD start = GetTickCount();
    CWinThread* pThread = AfxGetThread();
    for (;;) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && pThread && !pThread->PumpMessage()) return 0;
        if (g_bCancelExtraction.load(std::memory_order_relaxed)) return 0;
        Sleep(kPollMs);
        if (GetTickCount() - start >= kPauseMs) return 1;
    }
}

bool RunSetupProgram(CWnd* pDialog, const CString& path, const CString& arguments, BOOL bQuiet, BOOL bWait,
                     DWORD& exitCode, HANDLE* keepProcess) {
    CString parameters = arguments;
    if (bQuiet) parameters += kQuietSwitches;

    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof(sei);
    // No shell error box: a program that cannot be started ends the run quietly.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = pDialog ? pDialog->GetSafeHwnd() : nullptr;
    sei.lpFile = path;
    sei.lpParameters = parameters;
    sei.nShow = SW_SHOW;
    const BOOL started = ShellExecuteExW(&sei);
    if (pDialog) pDialog->ShowWindow(SW_HIDE);
    if (!started) return false;

    if (sei.hProcess) {
        if (bQuiet || bWait) {
            WaitForSingleObject(sei.hProcess, INFINITE);
            DWORD code = 0;
            if (GetExitCodeProcess(sei.hProcess, &code)) exitCode = code;
            CloseHandle(sei.hProcess);
        } else if (keepProcess) {
            *keepProcess = sei.hProcess;
        } else {
            CloseHandle(sei.hProcess);
        }
    }
    return true;
}
