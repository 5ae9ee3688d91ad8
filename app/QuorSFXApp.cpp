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

// Why a temporary root is refused at start, before anything is written. In
// English: the dictionary carries the texts of the dialog and of the
// extraction, not these.
const wchar_t kRootNotFullText[] =
    L"The folder \"%s\" cannot take the installation files: it must be a full path, such as C:\\Setup or "
    L"\\\\server\\share\\Setup.";
const wchar_t kRootAmbiguousText[] =
    L"The folder \"%s\" cannot take the installation files: Windows reads its path in more than one way "
    L"(a folder name in it ends in dots or blanks). Give the folder without them.";
const wchar_t kRootNotRemovableText[] =
    L"The folder \"%s\" cannot be removed after the installation (/CLEANUP): it is a drive or share root, or not "
    L"a plain folder path. Give a folder below it.";

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
    if (!ResolveTempRoot(!m_options.m_bQuiet)) return TRUE;
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

BOOL CQuorSFXApp::ResolveTempRoot(BOOL bShowMessage) {
    // The root becomes one full path here, once: the free-space check, the
    // extraction, the start of the installation program and the removal at
    // exit all take this string and resolve nothing again.
    const CString given = m_strTempRoot;
    std::wstring full;
    const wchar_t* refusal = nullptr;
    switch (ResolveFullFolder(given.GetStdString(), full)) {
    case FullFolderFault::NotFull: refusal = kRootNotFullText; break;
    case FullFolderFault::Ambiguous: refusal = kRootAmbiguousText; break;
    case FullFolderFault::None:
        m_strTempRoot = full;
        // The folder the files go to must read as itself too.
        if (!IsResolvedFullPath(GetExtractionFolder())) refusal = kRootAmbiguousText;
        else if (m_options.m_bCleanup && SafeRemovalTarget(full).empty()) refusal = kRootNotRemovableText;
        break;
    }
    if (!refusal) return TRUE;

    // Nothing was written; the removal at exit finds no root to remove.
    m_strTempRoot.Empty();
    m_nExitCode = kExitFailed;
    if (bShowMessage) {
        CString text;
        text.Format(refusal, given.GetString());
        AfxMessageBox(text, MB_ICONERROR);
    }
    return FALSE;
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
