#include "WinThread.h"
#include "Menu.h"
#include "ThreadState.h"
#include "WinApp.h"
#include "Wnd.h"

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

unsigned __stdcall ThreadEntry(void* pParam)
{
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    AfxGetThreadState().m_pCurrentThread = pThread;
    UINT result;
    try {
        if (pThread->m_pfnThreadProc != nullptr)
            result = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
        else if (pThread->InitInstance())
            result = static_cast<UINT>(pThread->Run());
        else
            result = static_cast<UINT>(pThread->ExitInstance());
    } catch (...) {
        // No exception may leave the thread.
        result = static_cast<UINT>(-1);
    }
    AfxDeleteTempMaps();
    AfxGetThreadState().m_pCurrentThread = nullptr;
    pThread->Delete();  // closes the handle when the object deletes itself
    return result;
}

}  // namespace

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
    AFX_THREAD_STATE& state = AfxGetThreadState();
    if (state.m_pCurrentThread == this)
        state.m_pCurrentThread = nullptr;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread != nullptr)
        return FALSE;
    unsigned id = 0;
    uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this,
                                      dwCreateFlags & CREATE_SUSPENDED, &id);
    if (handle == 0)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = id;
    return TRUE;
}

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }
DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }
BOOL CWinThread::SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
int CWinThread::GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

int CWinThread::Run()
{
    for (;;) {
        MSG msg;
        LONG lIdleCount = 0;
        while (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                break;
        }
        if (!PumpMessage())
            return ExitInstance();
    }
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = GetMainWnd();
    return CWnd::WalkPreTranslateTree(pMainWnd ? pMainWnd->m_hWnd : nullptr, pMsg);
}

BOOL CWinThread::PumpMessage()
{
    BOOL got = ::GetMessageW(&m_msgCur, nullptr, 0, 0);
    if (got == 0)
        return FALSE;  // WM_QUIT
    if (got == -1)
        return TRUE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount == 0)
        AfxDeleteTempMaps();
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pfnThreadProc == nullptr)
        return nullptr;
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    // Created suspended so that the priority is set before it runs, and so
    // that the caller can clear m_bAutoDelete when it asked for CREATE_SUSPENDED.
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AfxGetThread()
{
    CWinThread* pThread = AfxGetThreadState().m_pCurrentThread;
    return pThread != nullptr ? pThread : AfxGetApp();
}

void AfxDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
}
