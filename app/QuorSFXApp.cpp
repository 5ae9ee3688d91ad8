#include "QuorSFXApp.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>

#include "ArchiveParser.h"
#include "ExtractionHost.h"
#include "ExtractionTypes.h"
#include "FreeSpaceCheck.h"
#include "Language.h"
#include "LongPath.h"
#include "QuorSFXDlg.h"
#include "StampBlock.h"
#include "SystemLibrary.h"
#include "TempRootRemoval.h"
#include "resource.h"

namespace {

// Before anything else of the program runs (global objects included): DLLs
// are loaded from the system folder only, never from beside a downloaded
// launcher.
__attribute__((constructor(101))) void RestrictDllLoadingEarly() { RestrictDllSearchPath(); }

// Seams of the extraction engine.
bool AppTempRoot(std::wstring& root) {
    root = theApp.m_strTempRoot.GetStdString();
    return true;
}

std::wstring AppText(UINT id) { return LoadLauncherString(id).GetStdString(); }

}  // namespace

CQuorSFXApp theApp;

BEGIN_MESSAGE_MAP(CQuorSFXApp, CWinApp)
END_MESSAGE_MAP()

CString LoadLauncherString(UINT nID) {
    CString text;
    LoadLocalizedString(text, nID);
    return text;
}

CQuorSFXApp::CQuorSFXApp() : COzuWinApp(LOCALIZATION_DICTIONARY) {
    if (g_pUserInterfaceLocalization) g_pUserInterfaceLocalization->SetDictionaryResourceId(IDR_DICTIONARY);
}

CQuorSFXApp::~CQuorSFXApp() {
    if (m_hSetupProcess) CloseHandle(m_hSetupProcess);
}

BOOL CQuorSFXApp::InitInstance() {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    SystemLibrary::InitCommonControlsEx(&icc);
    CWinApp::InitInstance();
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    if (g_pUserInterfaceLocalization) {
        const CLanguage language = CLanguage::FromSystemDefaultLangId(FALSE);
        g_pUserInterfaceLocalization->SetLanguage(language);
        g_pUserInterfaceLocalization->ChangeLanguage(language, std::wstring());
    }

    CSfxOptions::Parse(m_options, m_lpCmdLine);

    SetExtractionTempRootFunction(AppTempRoot);
    SetExtractionTextFunction(AppText);

    if (!PrepareTempRoot()) {
        m_nExitCode = kExitNoTempPath;
        return TRUE;
    }
    if (!CheckDiskSpace(!m_options.m_bQuiet)) return TRUE;

    m_pDialog = new CQuorSFXDlg();
    m_pMainWnd = m_pDialog;
    m_pDialog->m_hModule = m_hInstance;
    m_pDialog->m_strSetupArguments = m_options.GetArguments();
    m_pDialog->m_bQuiet = m_options.m_bQuiet;
    m_pDialog->m_bNoLaunch = m_options.m_bNoLaunch;
    m_pDialog->m_bWait = m_options.m_bWait;
    if (!m_pDialog->Create(IDD_SFX_DIALOG, nullptr)) {
        // No window, no message loop: the run failed.
        if (!m_pDialog->GetSafeHwnd()) delete m_pDialog;
        m_pDialog = nullptr;
        m_pMainWnd = nullptr;
        m_nExitCode = kExitFailed;
        return TRUE;
    }
    m_pDialog->ShowWindow(m_options.m_bQuiet ? SW_HIDE : SW_SHOW);
    m_pDialog->UpdateWindow();
    m_pDialog->RepaintLabels();
    return TRUE;
}

BOOL CQuorSFXApp::PrepareTempRoot() {
    m_strTempRoot = m_options.GetUnpackFolder();
    if (m_strTempRoot.IsEmpty()) {
        wchar_t path[MAX_PATH] = {};
        const DWORD n = GetTempPathW(MAX_PATH, path);
        if (n == 0 || n > MAX_PATH) return FALSE;
        m_strTempRoot = CString(path) + L"QuorInstallFiles\\";
    }
    if (m_strTempRoot[m_strTempRoot.GetLength() - 1] != L'\\') m_strTempRoot += L'\\';
    return TRUE;
}

BOOL CQuorSFXApp::CheckDiskSpace(BOOL bShowMessage) {
    // The drive, or the share of a root on a share; the message names it (an
    // empty name for a root that has neither).
    const std::wstring drive = VolumeOf(m_strTempRoot.GetStdString());
    const uint64_t needed = GetStampRequiredFreeBytes();
    if (HasEnoughFreeSpace(drive, needed)) return TRUE;

    m_nExitCode = kExitNotEnoughSpace;
    if (bShowMessage) {
        CString text;
        text.Format(LoadLauncherString(IDS_DISK_SPACE), drive.c_str(),
                    static_cast<double>(needed) * (1.0 / 1024) * (1.0 / 1024));
        AfxMessageBox(text, MB_ICONERROR);
    }
    return FALSE;
}

void CQuorSFXApp::KeepSetupProcess(HANDLE hProcess) {
    if (m_hSetupProcess) CloseHandle(m_hSetupProcess);
    m_hSetupProcess = hProcess;
}

void CQuorSFXApp::RemoveTempRoot() {
    // The started program runs from the folder: let it finish first.
    if (m_hSetupProcess) {
        WaitForSingleObject(m_hSetupProcess, INFINITE);
        CloseHandle(m_hSetupProcess);
        m_hSetupProcess = nullptr;
    }
    // A process cannot remove its own current directory.
    wchar_t system[MAX_PATH] = {};
    if (GetSystemDirectoryW(system, MAX_PATH)) SetCurrentDirectoryW(system);
    RemoveTempRootTree(m_strTempRoot.GetStdString());
}

int CQuorSFXApp::ExitInstance() {
    if (m_options.m_bCleanup) RemoveTempRoot();
    CWinApp::ExitInstance();
    CoUninitialize();
    if (g_pArchiveParser) {
        DestroyArchiveParser(g_pArchiveParser);
        g_pArchiveParser = nullptr;
    }
    return m_nExitCode;
}
