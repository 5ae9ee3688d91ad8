#include "WinApp.h"
#include "ThreadState.h"
#include "Wnd.h"

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <string>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {

// Zero-initialized before any constructor runs, so the application object's
// constructor can register itself whatever the order of static construction.
AFX_MODULE_STATE g_moduleState;

std::atomic<AFX_MESSAGEBOX_PRESENTER> g_pfnMessageBoxPresenter{nullptr};

std::wstring GetModulePath(HMODULE hModule)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(hModule, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

// Module (resource module first, then the program) for which pred holds.
template <class Pred>
HINSTANCE FindInModules(Pred pred)
{
    HINSTANCE hResource = g_moduleState.m_hCurrentResourceHandle;
    HINSTANCE hInstance = g_moduleState.m_hCurrentInstanceHandle;
    if (hInstance == nullptr)
        hInstance = ::GetModuleHandleW(nullptr);
    if (hResource != nullptr && pred(hResource))
        return hResource;
    if (hInstance != hResource && pred(hInstance))
        return hInstance;
    return nullptr;
}

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() { return &g_moduleState; }
CWinApp* AfxGetApp() { return g_moduleState.m_pCurrentWinApp; }
HINSTANCE AfxGetInstanceHandle() { return g_moduleState.m_hCurrentInstanceHandle; }
HINSTANCE AfxGetResourceHandle() { return g_moduleState.m_hCurrentResourceHandle; }
void AfxSetResourceHandle(HINSTANCE hInstResource) { g_moduleState.m_hCurrentResourceHandle = hInstResource; }

HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType)
{
    return FindInModules([&](HINSTANCE h) { return ::FindResourceW(h, lpszName, lpszType) != nullptr; });
}

HINSTANCE AfxFindStringResourceHandle(UINT nID)
{
    return FindInModules([&](HINSTANCE h) { return AfxGetStringResourceImage(h, nID, nullptr) != nullptr; });
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

// ---------------------------------------------------------------------------

CWinApp::CWinApp(LPCWSTR lpszAppName)
{
    if (lpszAppName != nullptr)
        m_pszAppName = _wcsdup(lpszAppName);
    m_nThreadID = ::GetCurrentThreadId();
    g_moduleState.m_pCurrentWinApp = this;
    g_moduleState.m_lpszCurrentAppName = m_pszAppName;
}

CWinApp::~CWinApp()
{
    if (g_moduleState.m_pCurrentWinApp == this) {
        g_moduleState.m_pCurrentWinApp = nullptr;
        g_moduleState.m_lpszCurrentAppName = nullptr;
    }
    free(const_cast<LPWSTR>(m_pszAppName));
    free(const_cast<LPWSTR>(m_pszExeName));
    free(const_cast<LPWSTR>(m_pszHelpFilePath));
    m_pszAppName = m_pszExeName = m_pszHelpFilePath = nullptr;
}

void CWinApp::SetCurrentHandles()
{
    const std::wstring path = GetModulePath(m_hInstance);
    const size_t slash = path.find_last_of(L"\\/");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const size_t dot = path.rfind(L'.');
    const bool hasExtension = dot != std::wstring::npos && dot >= nameStart;

    if (m_pszExeName == nullptr && !path.empty()) {
        std::wstring exeName = path.substr(nameStart, hasExtension ? dot - nameStart : std::wstring::npos);
        m_pszExeName = _wcsdup(exeName.c_str());
    }
    if (m_pszAppName == nullptr) {
        CString title;
        if (title.LoadString(AFX_IDS_APP_TITLE))
            m_pszAppName = _wcsdup(title);
        else if (m_pszExeName != nullptr)
            m_pszAppName = _wcsdup(m_pszExeName);
    }
    g_moduleState.m_lpszCurrentAppName = m_pszAppName;
    if (m_pszHelpFilePath == nullptr && !path.empty()) {
        std::wstring help = hasExtension ? path.substr(0, dot) : path;
        help += L".HLP";
        m_pszHelpFilePath = _wcsdup(help.c_str());
    }
}

int CWinApp::Run()
{
    // Without a main window nothing could ever end the loop.
    if (m_pMainWnd == nullptr)
        ::PostQuitMessage(0);
    return CWinThread::Run();
}

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    HWND hWndOwner = nullptr;
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr && ::IsWindow(m_pMainWnd->m_hWnd)) {
        HWND hWndTop = ::GetAncestor(m_pMainWnd->m_hWnd, GA_ROOT);
        hWndOwner = ::GetLastActivePopup(hWndTop ? hWndTop : m_pMainWnd->m_hWnd);
    }
    return AfxShowMessageBox(hWndOwner, lpszPrompt, m_pszAppName, nType);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    WinHelpInternal(dwData, nCmd);
}

void CWinApp::WinHelpInternal(DWORD_PTR dwData, UINT nCmd)
{
    CWnd* pMainWnd = GetMainWnd();
    ::WinHelpW(pMainWnd ? pMainWnd->m_hWnd : nullptr, m_pszHelpFilePath, nCmd, dwData);
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow)
{
    g_moduleState.m_hCurrentInstanceHandle = hInstance;
    if (g_moduleState.m_hCurrentResourceHandle == nullptr)
        g_moduleState.m_hCurrentResourceHandle = hInstance;
    CWinApp* pApp = g_moduleState.m_pCurrentWinApp;
    if (pApp != nullptr) {
        pApp->m_hInstance = hInstance;
        pApp->m_lpCmdLine = lpCmdLine;
        pApp->m_nCmdShow = nCmdShow;
        pApp->m_nThreadID = ::GetCurrentThreadId();
        pApp->SetCurrentHandles();
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow))
        return -1;
    int nReturnCode;
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd != nullptr)
            pApp->m_pMainWnd->DestroyWindow();
        nReturnCode = pApp->ExitInstance();
    } else {
        nReturnCode = pApp->Run();
    }
    AfxDeleteTempMaps();
    return nReturnCode;
}

// ---------------------------------------------------------------------------
// Message boxes

AFX_MESSAGEBOX_PRESENTER AfxSetMessageBoxPresenter(AFX_MESSAGEBOX_PRESENTER pfnPresenter)
{
    return g_pfnMessageBoxPresenter.exchange(pfnPresenter);
}

int AfxShowMessageBox(HWND hWndOwner, LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType)
{
    AFX_MESSAGEBOX_PRESENTER pfn = g_pfnMessageBoxPresenter.load();
    if (pfn != nullptr)
        return pfn(hWndOwner, lpszText, lpszCaption, nType);
    return ::MessageBoxW(hWndOwner, lpszText, lpszCaption, nType);
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return AfxShowMessageBox(nullptr, lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString prompt;
    prompt.LoadString(nIDPrompt);
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    return AfxMessageBox(prompt, nType, nIDHelp);
}
