#include "OzuWinApp.h"
#include "LocalizationDictionary.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(COzuWinApp, CWinApp)

COzuWinApp::COzuWinApp(LocalizationType kind) : CWinApp(nullptr)
{
    InstallLocalizationStrategy(kind);
}

COzuWinApp::~COzuWinApp()
{
    DeleteLocalizationStrategy();
    free(m_pReservedBlock);
    m_pReservedBlock = nullptr;
}

uint32_t COzuWinApp::SetUILanguage(std::wstring language, std::wstring helpFolder)
{
    if (!IsLocalizationInstalled())
        return 6;
    if (g_pUserInterfaceLocalization == nullptr)
        return 5;
    const CLanguage lang = CLanguage::FromString(language.c_str(), FALSE);
    return g_pUserInterfaceLocalization->ChangeLanguage(lang, std::move(helpFolder)) ? 0 : 2;
}

std::wstring COzuWinApp::GetUILanguage()
{
    if (g_pUserInterfaceLocalization == nullptr)
        return std::wstring();
    return g_pUserInterfaceLocalization->GetLanguage().GetCultureName();
}

int COzuWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    std::wstring translation;
    if (lpszPrompt != nullptr && GetLocalizationDictionary()->Translate(lpszPrompt, translation))
        return CWinApp::DoMessageBox(translation.c_str(), nType, nIDPrompt);
    return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
}

void COzuWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (g_pUserInterfaceLocalization == nullptr)
        return;
    InvokeHelp(this, CString(m_pszHelpFilePath), dwData, nCmd,
               CString(g_pUserInterfaceLocalization->GetLanguage().GetCultureName()), 1, CString());
}
