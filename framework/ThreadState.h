// Per-thread state of the class-library layer (internal to framework/).
#pragma once

#include <windows.h>

class CWnd;
class CWinThread;

struct AFX_THREAD_STATE
{
    MSG m_lastSentMsg = {};              // the message AfxWndProc is handling (Default())
    CWnd* m_pWndInit = nullptr;          // window object waiting for its window (AfxHookWindowCreate)
    const wchar_t* m_pszClassInit = nullptr;  // only a window of this class is taken (null: any)
    HHOOK m_hHookCbt = nullptr;
    CWinThread* m_pCurrentThread = nullptr;
};

AFX_THREAD_STATE& AfxGetThreadState();
