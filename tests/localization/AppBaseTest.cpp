#include "LocalizationTestApp.h"
#include "LocalizedStrings.h"
#include "ResourceFileLocalization.h"
#include "localization_test_ids.h"
#include "LocalizationDictionary.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

namespace {

TEST(SetUILanguage, DictionaryKindSwitchesOrRefuses)
{
    CTestApp app(LOCALIZATION_DICTIONARY);
    EXPECT_EQ(2, GetLocalizationType());
    EXPECT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    EXPECT_EQ(L"de-DE", app.GetUILanguage());
    EXPECT_GT(GetLocalizationDictionary()->GetCount(), 0u);

    // A text that names no language: refused, the current language stays,
    // the translation table is left empty.
    EXPECT_EQ(2u, app.SetUILanguage(L"XYZ", L""));
    EXPECT_EQ(L"de-DE", app.GetUILanguage());
    EXPECT_EQ(0u, GetLocalizationDictionary()->GetCount());

    EXPECT_EQ(0u, app.SetUILanguage(L"fr-FR", L""));
    EXPECT_EQ(L"fr-FR", app.GetUILanguage());
    EXPECT_EQ(0u, app.SetUILanguage(L"", L""));   // neutral
    EXPECT_EQ(L"", app.GetUILanguage());
    EXPECT_EQ(0u, GetLocalizationDictionary()->GetCount());
}

TEST(SetUILanguage, MissingDictionaryResourceIsRetried)
{
    CTestApp app(LOCALIZATION_DICTIONARY);
    g_pUserInterfaceLocalization->SetDictionaryResourceId(999);
    EXPECT_EQ(2u, app.SetUILanguage(L"DEU", L""));
    EXPECT_EQ(2u, app.SetUILanguage(L"DEU", L""));
    g_pUserInterfaceLocalization->SetDictionaryResourceId(137);
    EXPECT_EQ(0u, app.SetUILanguage(L"DEU", L""));
}

TEST(SetUILanguage, KindZeroAndMissingStrategy)
{
    {
        CTestApp app(LOCALIZATION_NONE);
        EXPECT_EQ(6u, app.SetUILanguage(L"DEU", L""));
        EXPECT_EQ(6u, app.SetUILanguage(L"", L""));
    }
    CTestApp app(LOCALIZATION_DICTIONARY);
    DeleteLocalizationStrategy();
    EXPECT_EQ(nullptr, g_pUserInterfaceLocalization);
    EXPECT_EQ(5u, app.SetUILanguage(L"DEU", L""));
    EXPECT_EQ(L"", app.GetUILanguage());
    EXPECT_EQ(0x80004005u, GetDictionaryResourceId());
}

TEST(Strategies, FactoryAndInstallation)
{
    COzuUserInterfaceLocalization* p = nullptr;
    EXPECT_FALSE(CreateLocalizationStrategy(2, nullptr));
    EXPECT_TRUE(CreateLocalizationStrategy(1, &p));
    EXPECT_NE(nullptr, dynamic_cast<CResourceFileLocalization*>(p));
    EXPECT_TRUE(p->GetLanguage().IsNeutral());
    EXPECT_EQ(0u, p->GetDictionaryResourceIdValue());
    delete p;

    CTestApp app(LOCALIZATION_DICTIONARY);
    EXPECT_TRUE(InstallLocalizationStrategy(0));
    EXPECT_EQ(0, GetLocalizationType());
    EXPECT_NE(nullptr, dynamic_cast<CNonLocalized*>(g_pUserInterfaceLocalization));
    CLanguage neutral;
    neutral.SetNeutral();
    EXPECT_TRUE(g_pUserInterfaceLocalization->SetLanguage(neutral));
    EXPECT_FALSE(g_pUserInterfaceLocalization->SetLanguage(CLanguage::FromCode3(L"DEU", FALSE)));

    // An unknown kind installs a CNonLocalized and keeps the previous kind.
    EXPECT_TRUE(InstallLocalizationStrategy(2));
    EXPECT_FALSE(InstallLocalizationStrategy(7));
    EXPECT_EQ(2, GetLocalizationType());
    EXPECT_NE(nullptr, dynamic_cast<CNonLocalized*>(g_pUserInterfaceLocalization));
    EXPECT_TRUE(InstallLocalizationStrategy(2));
}

struct CapturedBox
{
    std::wstring text;
    int count = 0;
} g_box;

int CaptureBox(HWND, LPCWSTR lpszText, LPCWSTR, UINT)
{
    g_box.text = lpszText ? lpszText : L"";
    ++g_box.count;
    return IDOK;
}

TEST(MessageBoxHook, PromptsAreTranslated)
{
    CTestApp app(LOCALIZATION_DICTIONARY);
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    AFX_MESSAGEBOX_PRESENTER previous = AfxSetMessageBoxPresenter(CaptureBox);
    g_box = CapturedBox();
    AfxMessageBox(L"&Cancel", MB_OK);                 // known only without its '&'
    EXPECT_EQ(L"Abbrechen", g_box.text);
    AfxMessageBox(L"Not a dictionary text", MB_OK);
    EXPECT_EQ(L"Not a dictionary text", g_box.text);
    AfxMessageBox(IDS_WELCOME_TEXT);                   // from the string table, then translated
    EXPECT_EQ(L"Willkommen", g_box.text);
    EXPECT_EQ(3, g_box.count);
    AfxSetMessageBoxPresenter(previous);
}

TEST(LoadLocalizedString, WithAndWithoutStrategy)
{
    CTestApp app(LOCALIZATION_DICTIONARY);
    CString text(L"before");
    EXPECT_FALSE(LoadLocalizedString(text, 4711));      // no such string: unchanged
    EXPECT_TRUE(text == L"before");

    ASSERT_EQ(0u, app.SetUILanguage(L"", L""));       // neutral: empty table
    EXPECT_TRUE(LoadLocalizedString(text, IDS_WELCOME_TEXT));
    EXPECT_TRUE(text == L"Welcome");
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    EXPECT_TRUE(LoadLocalizedString(text, IDS_WELCOME_TEXT));
    EXPECT_TRUE(text == L"Willkommen");
    EXPECT_TRUE(LoadLocalizedString(text, IDS_ONLY_IN_PROGRAM));
    EXPECT_TRUE(text == L"Program's own text");

    DeleteLocalizationStrategy();
    text = L"before";
    EXPECT_FALSE(LoadLocalizedString(text, IDS_WELCOME_TEXT));
    EXPECT_TRUE(text == L"Welcome");                   // delivered, though untranslated
}

TEST(LoadLocalizedString, KindZeroUsesTheStringAsLoaded)
{
    CTestApp app(LOCALIZATION_NONE);
    CString text;
    EXPECT_TRUE(LoadLocalizedString(text, IDS_WELCOME_TEXT));
    EXPECT_TRUE(text == L"Welcome");
}

TEST(HelpFile, LanguageHelpFileBecomesTheApplicationsHelp)
{
    quortest::ScopedSandbox box(L"helpfile");
    const std::wstring expected = box.Path() + L"test_localization_de-DE.chm";

    CTestApp app(LOCALIZATION_DICTIONARY);
    const std::wstring before = app.m_pszHelpFilePath;
    EXPECT_EQ(0u, app.SetUILanguage(L"fr-FR", box.Path()));   // no help file at all: unchanged
    EXPECT_EQ(before, app.m_pszHelpFilePath);

    ASSERT_TRUE(quortest::WriteFileBytes(expected, {'x'}));
    EXPECT_EQ(0u, app.SetUILanguage(L"DEU", box.Path()));
    EXPECT_EQ(expected, app.m_pszHelpFilePath);
    EXPECT_EQ(2u, app.SetUILanguage(L"XYZ", box.Path()));
    EXPECT_EQ(expected, app.m_pszHelpFilePath);
}

// The stems lose their blanks, and the neutral language adds no "_": the
// decoys are what a stem with a blank or a "_" too many would find instead.
TEST(HelpFile, StemsLoseTheirBlanksAndTheNeutralLanguageGetsNoUnderscore)
{
    quortest::ScopedSandbox box(L"helpstem");
    for (const wchar_t* name : {L"decoy.shlp", L"MyApp_de-DE.chm", L"MyApp.chm", L"MyApp_.chm"})
        ASSERT_TRUE(quortest::WriteFileBytes(box.Path() + name, {'x'}));

    CTestApp app(LOCALIZATION_DICTIONARY);
    free(const_cast<LPWSTR>(app.m_pszAppName));
    app.m_pszAppName = _wcsdup(L"My App");
    AfxGetModuleState()->m_lpszCurrentAppName = app.m_pszAppName;
    EXPECT_EQ(0u, app.SetUILanguage(L"DEU", box.Path()));
    EXPECT_EQ(box.Path() + L"MyApp_de-DE.chm", app.m_pszHelpFilePath);
    EXPECT_EQ(0u, app.SetUILanguage(L"", box.Path()));
    EXPECT_EQ(box.Path() + L"MyApp.chm", app.m_pszHelpFilePath);
}

TEST(HelpFile, NullApplicationNamesAreTolerated)
{
    COzuWinApp app(LOCALIZATION_DICTIONARY);   // never initialized: no names
    AfxSetResourceHandle(::GetModuleHandleW(nullptr));
    g_pUserInterfaceLocalization->SetDictionaryResourceId(137);
    EXPECT_EQ(nullptr, app.m_pszAppName);
    EXPECT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    // Reaches the help hook without a crash: no help file, so the help
    // reports the missing file in a box (seen here, not shown).
    AFX_MESSAGEBOX_PRESENTER previous = AfxSetMessageBoxPresenter(CaptureBox);
    g_box = CapturedBox();
    app.WinHelp(0, HELP_CONTENTS);
    AfxSetMessageBoxPresenter(previous);
    EXPECT_EQ(1, g_box.count);
}

TEST(ModuleDirectory, EndsWithABackslash)
{
    CString dir = GetModuleDirectory();
    ASSERT_GT(dir.GetLength(), 2);
    EXPECT_EQ(L'\\', dir[dir.GetLength() - 1]);
    EXPECT_EQ(quortest::ProgramFolder(), std::wstring(dir.GetString()));
}

}  // namespace
