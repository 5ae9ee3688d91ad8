// The road from the started dialog to the started installation program: the
// worker thread that runs the extraction and pauses before the launch, and
// the launch itself.
#pragma once

#include "afxwin.h"

// Worker procedure; pParam is the progress dialog (CQuorSFXDlg*). Posts
// WM_EXTRACT_DONE after a good extraction and the pause, WM_EXTRACT_FAILED
// after the error box, nothing after Cancel. Returns 0.
UINT __cdecl ExtractionWorkerThread(LPVOID pParam);

// The five-second pause before the launch, polling the cancel flag every
// 100 ms: 1 when it ran out, 0 when it was cut short.
int WaitBeforeLaunch();

// Starts the installation program at path with the pass-on arguments (plus
// " /w /s /v/qn" when quiet) and, when quiet or wait, waits for it and puts
// its exit code in exitCode. The dialog (may be null) hides itself. When
// keepProcess is given and the program is not waited for, it receives the
// process handle (else the handle is closed). False when it did not start.
bool RunSetupProgram(CWnd* pDialog, const CString& path, const CString& arguments, BOOL bQuiet, BOOL bWait,
                     DWORD& exitCode, HANDLE* keepProcess = nullptr);
