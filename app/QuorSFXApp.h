// The launcher's application object: start-up (common controls, COM, user
// interface language, command line, temporary root, free-space check, the
// progress dialog) and exit (removal of the temporary root, exit code).
#pragma once

#include "afxwin.h"

#include <cstdint>

#include "LocalizedStrings.h"
#include "OzuWinApp.h"
#include "UserInterfaceLocalization.h"
#include "SfxOptions.h"

class CQuorSFXDlg;

// Exit codes besides 0, 100, 101 and the installation program's own.
constexpr int kExitNotEnoughSpace = 100;
constexpr int kExitNoTempPath = 101;
constexpr int kExitUserCancelled = 1602;   // ERROR_INSTALL_USEREXIT
constexpr int kExitFailed = 1603;          // ERROR_INSTALL_FAILURE
constexpr int kExitRebootRequired = 3010;  // ERROR_SUCCESS_REBOOT_REQUIRED

class CQuorSFXApp : public COzuWinApp {
public:
    CQuorSFXApp();
    ~CQuorSFXApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    BOOL PrepareTempRoot();
    BOOL ResolveTempRoot(BOOL bShowMessage);
    BOOL CheckDiskSpace(BOOL bShowMessage);
    void RemoveTempRoot();

    // The installation program, started without waiting while "/CLEANUP" was
    // given: the temporary root is removed only after it has ended.
    void KeepSetupProcess(HANDLE hProcess);

    CQuorSFXDlg* m_pDialog = nullptr;
    int m_nExitCode = 0;
    CString m_strTempRoot;
    CSfxOptions m_options;

private:
    HANDLE m_hSetupProcess = nullptr;

    DECLARE_MESSAGE_MAP()
};

// The text of string-table id nID in the user's language.
CString LoadLauncherString(UINT nID);

extern CQuorSFXApp theApp;
