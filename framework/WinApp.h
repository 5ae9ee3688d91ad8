// CWinApp and the process-wide module state.
//
// The program defines exactly one global object of a class derived from
// CWinApp; its constructor makes it the module state's current application.
// The entry point (wWinMain of the separate object library
// quor_framework_main, linked with -municode) runs AfxWinMain:
// AfxWinInit -> InitInstance -> Run (message loop; ends when the main window
// m_pMainWnd is destroyed, or at once when there is none) -> ExitInstance,
// whose result is the process exit code. When InitInstance returns FALSE,
// ExitInstance follows at once.
//
// Message boxes: AfxMessageBox -> the application's virtual DoMessageBox ->
// AfxShowMessageBox, which calls the installed presenter (::MessageBoxW by
// default). Tests install a presenter with AfxSetMessageBoxPresenter to see
// the boxes instead of showing them.
#pragma once

#include "WinThread.h"

class CWinApp;

struct AFX_MODULE_STATE
{
    CWinApp* m_pCurrentWinApp;             // the application object, or null
    HINSTANCE m_hCurrentInstanceHandle;    // the program's module
    HINSTANCE m_hCurrentResourceHandle;    // where dialogs, menus and strings are loaded from
    LPCWSTR m_lpszCurrentAppName;
};

AFX_MODULE_STATE* AfxGetModuleState();
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module (resource module first, then the program) holding the resource; null when neither.
HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);
// The module holding string nID (a non-empty entry); null when neither holds it.
HINSTANCE AfxFindStringResourceHandle(UINT nID);
CWnd* AfxGetMainWnd();

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Set by AfxWinInit. The three name strings are heap copies (_wcsdup) that
    // the object releases with free(); replace them the same way.
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;             // the command line behind the program's name
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszAppName = nullptr;           // string 0xE000 (AFX_IDS_APP_TITLE), else m_pszExeName
    LPCWSTR m_pszExeName = nullptr;           // program file name without its extension
    LPCWSTR m_pszHelpFilePath = nullptr;      // program path with the extension ".HLP"

    BOOL InitInstance() override { return TRUE; }
    int Run() override;
    int ExitInstance() override;

    // Shows a message box for the application (caption m_pszAppName, owner
    // the main window's last active popup); returns the box's result.
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // Help request: WinHelpInternal.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    // Windows Help (::WinHelpW) with m_pszHelpFilePath for the main window.
    virtual void WinHelpInternal(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // Fills the name strings that are still null from the program's module.
    void SetCurrentHandles();

    DECLARE_MESSAGE_MAP()
};

constexpr UINT AFX_IDS_APP_TITLE = 0xE000;

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

// --- Message boxes
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// String nIDPrompt of the string table; the help id defaults to nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

typedef int (*AFX_MESSAGEBOX_PRESENTER)(HWND hWndOwner, LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType);
// Installs the function that shows message boxes (null: ::MessageBoxW again);
// returns the previous one. Process-wide.
AFX_MESSAGEBOX_PRESENTER AfxSetMessageBoxPresenter(AFX_MESSAGEBOX_PRESENTER pfnPresenter);
int AfxShowMessageBox(HWND hWndOwner, LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType);
