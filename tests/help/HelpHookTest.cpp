// The application base's help hook: what reaches InvokeHelp. This program
// defines InvokeHelp itself, so the request is recorded, not carried out.
#include "OzuWinApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct HelpCall
{
    int count = 0;
    COzuWinApp* pApp = nullptr;
    std::wstring helpFile, culture, missingFileText = L"<unset>";
    DWORD_PTR data = 0;
    UINT command = 0;
    int productLine = 0;
} g_call;

TEST(HelpHook, PassesTheHelpFileTheRequestTheInterfaceCultureAndProductLineOne)
{
    COzuWinApp app(LOCALIZATION_DICTIONARY);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    g_pUserInterfaceLocalization->SetDictionaryResourceId(137);
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    free(const_cast<LPWSTR>(app.m_pszHelpFilePath));
    app.m_pszHelpFilePath = _wcsdup(L"C:\\Help\\Guide_en-US.chm");

    app.WinHelp(42, HELP_CONTEXT);
    ASSERT_EQ(1, g_call.count);
    EXPECT_EQ(&app, g_call.pApp);
    EXPECT_EQ(L"C:\\Help\\Guide_en-US.chm", g_call.helpFile);
    EXPECT_EQ(42u, g_call.data);
    EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), g_call.command);
    EXPECT_EQ(L"de-DE", g_call.culture);
    EXPECT_EQ(1, g_call.productLine);
    EXPECT_EQ(L"", g_call.missingFileText);
}

}  // namespace

void COzuWinApp::InvokeHelp(COzuWinApp* pApp, CString strHelpFile, DWORD_PTR dwData, UINT nCmd,
                            CString strCulture, int nProductLine, CString strMissingFileText)
{
    g_call = {g_call.count + 1, pApp, strHelpFile.GetString(), strCulture.GetString(),
              strMissingFileText.GetString(), dwData, nCmd, nProductLine};
}
