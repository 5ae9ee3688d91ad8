#include "LocalizationTestApp.h"
#include "LocalizedStrings.h"
#include "ResourceFileLocalization.h"
#include "localization_test_ids.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

namespace {

CLanguage Lang(const wchar_t* code)
{
    return CLanguage::FromString(code, FALSE);
}

std::wstring ProgramText()
{
    CString text;
    LoadLocalizedString(text, IDS_ONLY_IN_PROGRAM);
    return text.GetString();
}

class SatelliteTest : public ::testing::Test
{
protected:
    CResourceFileLocalization* Strategy()
    {
        return dynamic_cast<CResourceFileLocalization*>(g_pUserInterfaceLocalization);
    }
    CTestApp app{LOCALIZATION_RESOURCE_FILES};
    HINSTANCE hProgram = ::GetModuleHandleW(nullptr);
};

TEST_F(SatelliteTest, FirstCandidateWinsAndBecomesTheResourceModule)
{
    ASSERT_NE(nullptr, Strategy());
    EXPECT_EQ(L"Program's own text", ProgramText());
    EXPECT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    HMODULE hSatellite = Strategy()->GetSatelliteModule();
    ASSERT_NE(nullptr, hSatellite);
    EXPECT_EQ(hSatellite, AfxGetResourceHandle());
    EXPECT_EQ(L"Satellite de-DE", ProgramText());          // not the -DEU one
    // Strings the satellite lacks still come from the program.
    CString text;
    EXPECT_TRUE(LoadLocalizedString(text, IDS_WELCOME_TEXT));
    EXPECT_TRUE(text == L"Welcome");

    // Neutral: the program's resources again; the satellite stays held.
    EXPECT_EQ(0u, app.SetUILanguage(L"", L""));
    EXPECT_EQ(hProgram, AfxGetResourceHandle());
    EXPECT_EQ(hSatellite, Strategy()->GetSatelliteModule());
    EXPECT_EQ(L"Program's own text", ProgramText());
}

TEST_F(SatelliteTest, MismatchingVersionFallsBackToTheSecondCandidate)
{
    EXPECT_EQ(0u, app.SetUILanguage(L"fr-FR", L""));
    EXPECT_EQ(L"Satellite FRA", ProgramText());
    EXPECT_TRUE(g_pUserInterfaceLocalization->IsLanguageAvailable(Lang(L"FRA")));
}

TEST_F(SatelliteTest, RefusedLanguageChangesNothing)
{
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    HMODULE hSatellite = Strategy()->GetSatelliteModule();
    EXPECT_EQ(2u, app.SetUILanguage(L"ITA", L""));         // only a satellite of another version
    EXPECT_EQ(2u, app.SetUILanguage(L"JPN", L""));         // no satellite at all
    EXPECT_EQ(L"de-DE", app.GetUILanguage());
    EXPECT_EQ(hSatellite, AfxGetResourceHandle());
    EXPECT_EQ(hSatellite, Strategy()->GetSatelliteModule());
    EXPECT_FALSE(g_pUserInterfaceLocalization->IsLanguageAvailable(Lang(L"ITA")));
    EXPECT_TRUE(g_pUserInterfaceLocalization->IsLanguageAvailable(Lang(L"DEU")));
}

// Only a satellite of the program's own version is taken: one older than the
// program (by its build, though its revision is higher) is passed over for
// the second candidate, and one without version information is refused.
TEST_F(SatelliteTest, OlderAndUnversionedSatellitesAreNotLoaded)
{
    EXPECT_EQ(0u, app.SetUILanguage(L"es-ES", L""));
    EXPECT_EQ(L"Satellite ESN", ProgramText());
    HMODULE hSatellite = Strategy()->GetSatelliteModule();
    EXPECT_FALSE(g_pUserInterfaceLocalization->IsLanguageAvailable(Lang(L"SVE")));
    EXPECT_EQ(2u, app.SetUILanguage(L"sv-SE", L""));
    EXPECT_EQ(L"es-ES", app.GetUILanguage());
    EXPECT_EQ(hSatellite, AfxGetResourceHandle());
}

TEST_F(SatelliteTest, SatelliteCodeNeverRuns)
{
    // Its entry point would end this program with exit code 99.
    EXPECT_TRUE(g_pUserInterfaceLocalization->IsLanguageAvailable(Lang(L"NLD")));
    EXPECT_EQ(0u, app.SetUILanguage(L"nl-NL", L""));
    EXPECT_EQ(L"Satellite with code", ProgramText());
}

TEST_F(SatelliteTest, InvalidLanguage)
{
    CLanguage invalid = Lang(L"not a language");
    ASSERT_FALSE(invalid.IsValid());
    ASSERT_FALSE(invalid.IsNeutral());
    // Not looked for, although a file with an empty language part exists...
    EXPECT_FALSE(g_pUserInterfaceLocalization->IsLanguageAvailable(invalid));
    // ...which SetLanguage, not testing validity, does load.
    EXPECT_TRUE(g_pUserInterfaceLocalization->SetLanguage(invalid));
    EXPECT_EQ(L"Satellite without language", ProgramText());
}

TEST_F(SatelliteTest, ReplacingTheStrategyRestoresTheProgramsResources)
{
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    ASSERT_NE(hProgram, AfxGetResourceHandle());
    EXPECT_TRUE(InstallLocalizationStrategy(LOCALIZATION_DICTIONARY));   // deletes the satellite strategy
    EXPECT_EQ(hProgram, AfxGetResourceHandle());
    EXPECT_EQ(L"Program's own text", ProgramText());

    EXPECT_TRUE(InstallLocalizationStrategy(LOCALIZATION_RESOURCE_FILES));
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    DeleteLocalizationStrategy();
    EXPECT_EQ(hProgram, AfxGetResourceHandle());
}

TEST_F(SatelliteTest, NoApplicationLoadsNothing)
{
    CResourceFileLocalization strategy;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    CWinApp* saved = state->m_pCurrentWinApp;
    state->m_pCurrentWinApp = nullptr;
    EXPECT_EQ(nullptr, strategy.LoadLanguageModule(Lang(L"DEU")));
    EXPECT_FALSE(strategy.SetLanguage(Lang(L"DEU")));
    state->m_pCurrentWinApp = saved;
    HMODULE h = strategy.LoadLanguageModule(Lang(L"DEU"));
    EXPECT_NE(nullptr, h);
    ::FreeLibrary(h);
}

// A program file Setup.new.exe takes "Setup" as its base: a copy of this
// program under that name, beside the German satellite named Setup_de-DE.NLS
// and nothing else, passes the first satellite test.
TEST(SatelliteName, ProgramNameWithTwoDotsUsesTheTextBeforeTheFirstDot)
{
    quortest::ScopedSandbox box(L"satname");
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    const std::wstring program = box.Path() + L"Setup.new.exe";
    ASSERT_TRUE(::CopyFileW(self, program.c_str(), TRUE));
    ASSERT_TRUE(::CopyFileW((quortest::ProgramFolder() + L"test_localization_de-DE.NLS").c_str(),
                            (box.Path() + L"Setup_de-DE.NLS").c_str(), TRUE));

    std::wstring command = L"\"" + program +
        L"\" --gtest_filter=SatelliteTest.FirstCandidateWinsAndBecomesTheResourceModule"
        L" --gtest_output=xml:\"" + box.Path() + L"child.xml\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 box.Path().c_str(), &si, &pi));
    const DWORD waited = ::WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0xFFFFFFFFu;
    if (waited == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    else
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, code) << "Setup.new.exe did not load Setup_de-DE.NLS";
    // The child ran that test (a filter that matches nothing would pass too).
    std::vector<uint8_t> xml;
    ASSERT_TRUE(quortest::ReadFileBytes(box.Path() + L"child.xml", xml));
    EXPECT_NE(std::string::npos,
              std::string(xml.begin(), xml.end()).find("name=\"FirstCandidateWinsAndBecomesTheResourceModule\""));
}

}  // namespace
