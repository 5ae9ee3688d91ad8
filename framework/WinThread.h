// CWinThread: a thread of the process, and AfxBeginThread for workers.
//
// A worker started by AfxBeginThread runs pfnThreadProc(pParam) and ends
// with its result. With m_bAutoDelete TRUE (the default) the thread object
// deletes itself, closing m_hThread, when the procedure returns; an owner that
// must wait on m_hThread keeps the object instead:
//
//   CWinThread* p = AfxBeginThread(Proc, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
//   p->m_bAutoDelete = FALSE;     // before the thread can end
//   p->ResumeThread();
//   ... WaitForSingleObject(p->m_hThread, ...);
//   delete p;                     // closes the handle
//
// m_bAutoDelete must be cleared before the thread can end (hence
// CREATE_SUSPENDED); clearing it on a running thread is a race.
#pragma once

#include "CmdTarget.h"

class CWnd;

typedef UINT (__cdecl *AFX_THREADPROC)(LPVOID pParam);

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread() = default;
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;                  // closes m_hThread

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    DWORD ResumeThread();
    DWORD SuspendThread();
    BOOL SetThreadPriority(int nPriority);
    int GetThreadPriority() const;
    operator HANDLE() const { return m_hThread; }

    virtual CWnd* GetMainWnd();              // m_pMainWnd, else the application's
    virtual BOOL InitInstance() { return FALSE; }
    // The message loop: PumpMessage until WM_QUIT, idle work in between;
    // returns ExitInstance().
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Takes one message (waiting for it) and dispatches it after
    // PreTranslateMessage; FALSE for WM_QUIT.
    virtual BOOL PumpMessage();
    // Idle work between messages (deletes the thread's temporary window and
    // menu objects); FALSE when there is no more idle work.
    virtual BOOL OnIdle(LONG lCount);
    virtual int ExitInstance();              // the WM_QUIT code
    virtual void Delete();                   // deletes the object when m_bAutoDelete

    CWnd* m_pMainWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
    MSG m_msgCur = {};
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The calling thread's object: its CWinThread, else the application.
CWinThread* AfxGetThread();
// Deletes the calling thread's temporary window and menu objects.
void AfxDeleteTempMaps();
