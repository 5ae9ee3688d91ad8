// A program built on the layer's entry point, run by the application tests.
// Its exit code tells what happened: 3042 for a normal run with a main window,
// 7 without a main window, 9 when InitInstance failed, 1..6 for faults.
#include "afxwin.h"

namespace {

const UINT WM_PROBE_CLOSE = WM_APP + 5;

class CProbeWnd : public CWnd
{
public:
    bool preTranslated = false;
    bool handled = false;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_PROBE_CLOSE)
            preTranslated = true;
        return FALSE;
    }

protected:
    afx_msg LRESULT OnProbeClose(WPARAM, LPARAM)
    {
        handled = true;
        DestroyWindow();
        return 0;
    }
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_MESSAGE(WM_PROBE_CLOSE, &CProbeWnd::OnProbeClose)
END_MESSAGE_MAP()

bool g_preTranslated = false;
bool g_handled = false;

void CProbeWnd::PostNcDestroy()
{
    g_preTranslated = preTranslated;
    g_handled = handled;
    delete this;
}

class CProbeApp : public CWinApp
{
public:
    int m_nExitCode = 1;
    bool m_bWindowMode = false;

    BOOL InitInstance() override
    {
        if (m_lpCmdLine == nullptr || m_hInstance != ::GetModuleHandleW(nullptr))
            return TRUE;  // exit code stays 1
        if (m_pszExeName == nullptr || wcscmp(m_pszExeName, L"framework_app_probe") != 0) {
            m_nExitCode = 2;
            return TRUE;
        }
        if (wcscmp(m_lpCmdLine, L"fail") == 0) {
            m_nExitCode = 9;
            return FALSE;
        }
        if (wcscmp(m_lpCmdLine, L"nowindow") == 0) {
            m_nExitCode = 7;
            return TRUE;
        }
        if (wcscmp(m_lpCmdLine, L"window") != 0) {
            m_nExitCode = 3;
            return TRUE;
        }
        CProbeWnd* pWnd = new CProbeWnd;
        if (!pWnd->CreateEx(0, nullptr, L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) {
            delete pWnd;
            m_nExitCode = 4;
            return TRUE;
        }
        m_pMainWnd = pWnd;
        m_bWindowMode = true;
        pWnd->PostMessage(WM_PROBE_CLOSE);
        return TRUE;
    }

    int ExitInstance() override
    {
        CWinApp::ExitInstance();
        if (!m_bWindowMode)
            return m_nExitCode;
        if (m_pMainWnd != nullptr)
            return 5;  // the destroyed main window must have been cleared
        return g_preTranslated && g_handled ? 3042 : 6;
    }
};

CProbeApp theApp;

}  // namespace
