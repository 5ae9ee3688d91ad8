// COzuWinApp: the application base of the localization library. Construction
// installs a localization strategy for the process; message boxes of the
// class library are translated through the dictionary; help requests go to
// the language-aware help (InvokeHelp).
#pragma once

#include "UserInterfaceLocalization.h"

class COzuWinApp : public CWinApp
{
    DECLARE_DYNAMIC(COzuWinApp)
public:
    explicit COzuWinApp(LocalizationType kind);
    ~COzuWinApp() override;

    // 0 switched; 2 the strategy refused the language; 5 no strategy
    // installed; 6 the localization kind is 0. The text is a 3-letter code or
    // a culture name ("" is the neutral language).
    virtual uint32_t SetUILanguage(std::wstring language, std::wstring helpFolder);
    // Culture name of the current language ("" for neutral or no strategy).
    virtual std::wstring GetUILanguage();

    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;

    // Language-aware help for a request (defined with the help subsystem).
    static void InvokeHelp(COzuWinApp* pApp, CString strHelpFile, DWORD_PTR dwData, UINT nCmd,
                           CString strCulture, int nProductLine, CString strMissingFileText);

private:
    int32_t m_nReserved = 0;      // kept for layout; nothing reads it
    void* m_pReservedBlock = nullptr;  // C runtime heap block, released with free()
};
