// The search for a help file of a language: candidate order, folder handling,
// the plain name and the wildcard steps.
#include "LocalizedHelpFile.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>

namespace {

class HelpFileSearch : public ::testing::Test {
protected:
    HelpFileSearch() : m_box(L"langhelp") {}

    void Create(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names) ASSERT_TRUE(quortest::WriteFileBytes(m_box.Path() + name, {'x'}));
    }

    // Searches the sandbox folder with the launcher's stems "App_" and "Setup_".
    std::wstring Find(const wchar_t* code, const wchar_t* stem1 = L"App_", const wchar_t* stem2 = L"Setup_")
    {
        std::wstring out = L"<none>";
        CLanguage language = CLanguage::FromCode3(code, FALSE);
        const BOOL found = FindLocalizedHelpFile(&out, m_box.Path().c_str(), stem1, stem2, language, L"App");
        if (!found) return out == L"<none>" ? L"<not found>" : L"<changed on failure>";
        return out.substr(0, m_box.Path().size()) == m_box.Path() ? out.substr(m_box.Path().size()) : out;
    }

    quortest::ScopedSandbox m_box;
};

}  // namespace

TEST_F(HelpFileSearch, CultureNamesBeforeCodesAndShlpBeforeChm)
{
    Create({L"App_DEU.shlp", L"App_en-US.shlp", L"Setup_de-DE.chm"});
    EXPECT_EQ(L"Setup_de-DE.chm", Find(L"DEU"));
    Create({L"Setup_de-DE.shlp"});
    EXPECT_EQ(L"Setup_de-DE.shlp", Find(L"DEU"));
    Create({L"App_de-DE.shlp"});
    EXPECT_EQ(L"App_de-DE.shlp", Find(L"DEU"));
}

TEST_F(HelpFileSearch, FallbackThenDefaultThenCodes)
{
    Create({L"App_FRC.chm", L"App_ENU.chm", L"App_fr-FR.chm", L"App_en-US.chm"});
    EXPECT_EQ(L"App_fr-FR.chm", Find(L"FRC"));   // fallback culture before the default
    EXPECT_EQ(L"App_en-US.chm", Find(L"ITA"));   // default culture before any code
    Create({L"Setup_it-IT.chm"});
    EXPECT_EQ(L"Setup_it-IT.chm", Find(L"ITA"));
}

TEST_F(HelpFileSearch, CodesWhenNoCultureNameMatches)
{
    Create({L"App_ENU.chm", L"Setup_DEU.chm"});
    EXPECT_EQ(L"Setup_DEU.chm", Find(L"DEU"));
    EXPECT_EQ(L"App_ENU.chm", Find(L"ITA"));
}

TEST_F(HelpFileSearch, PlainNameThenFirstShlpThenFirstChm)
{
    Create({L"other.chm"});
    EXPECT_EQ(L"other.chm", Find(L"DEU"));
    Create({L"zz.shlp"});
    EXPECT_EQ(L"zz.shlp", Find(L"DEU"));
    Create({L"App"});
    EXPECT_EQ(L"App", Find(L"DEU"));
}

TEST_F(HelpFileSearch, FoldersAndAnEmptyPlainNameNeverCount)
{
    ASSERT_TRUE(CreateDirectoryW((m_box.Path() + L"App").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((m_box.Path() + L"App_de-DE.chm").c_str(), nullptr));
    EXPECT_EQ(L"<not found>", Find(L"DEU"));
    std::wstring out = L"<none>";
    EXPECT_FALSE(FindLocalizedHelpFile(&out, m_box.Path().c_str(), L"App_", L"Setup_",
                                       CLanguage::FromCode3(L"DEU", FALSE), L""));
    EXPECT_EQ(L"<none>", out);
}

TEST_F(HelpFileSearch, NothingFoundLeavesTheOutputAlone)
{
    Create({L"readme.txt", L"App_de-DE.hlp"});
    EXPECT_EQ(L"<not found>", Find(L"DEU"));
    EXPECT_FALSE(FindLocalizedHelpFile(nullptr, m_box.Path().c_str(), L"App_", L"Setup_", CLanguage(), L"App"));
}

TEST_F(HelpFileSearch, NeutralLanguageProbesTheBareStems)
{
    Create({L"App_en-US.chm", L"App.chm"});
    EXPECT_EQ(L"App.chm", Find(L"", L"App", L"Setup"));
}

TEST_F(HelpFileSearch, FolderWithoutBackslashAndEmptyFolder)
{
    Create({L"App_de-DE.chm"});
    std::wstring folder = m_box.Path();
    folder.pop_back();
    std::wstring out;
    ASSERT_TRUE(FindLocalizedHelpFile(&out, folder.c_str(), L"App_", L"Setup_", CLanguage::FromCode3(L"DEU", FALSE), L"App"));
    EXPECT_EQ(m_box.Path() + L"App_de-DE.chm", out);

    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(m_box.Path().c_str()));
    out.clear();
    const BOOL found = FindLocalizedHelpFile(&out, L"", L"App_", L"Setup_", CLanguage::FromCode3(L"DEU", FALSE), L"App");
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(found);
    EXPECT_EQ(L"App_de-DE.chm", out);
}
