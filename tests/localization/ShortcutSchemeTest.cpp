// The three mnemonic schemes on ControlInfo records alone (no windows).
#include "ShortcutFixer_Chinese.h"

#include <gtest/gtest.h>

namespace {

using Info = CShortcutFixer::ControlInfo;
using Outcome = std::pair<std::wstring, std::wstring>;   // text, shortcut

// One record through the scheme's assignment, as the pipeline hands it over:
// the working text already stripped of old marks.
Outcome Assign(CShortcutFixer& scheme, const std::wstring& working, const std::wstring& initial,
               std::set<std::wstring> used = {})
{
    Info info;
    info.m_strText = working;
    info.m_strInitialText = initial;
    std::vector<Info*> records{ &info };
    scheme.AssignShortcuts(records, used);
    return { info.m_strText, info.GetShortcut() };
}

using Stripped = std::pair<int, std::wstring>;   // marks removed, text left

Stripped Strip(CShortcutFixer& scheme, std::wstring text)
{
    const int removed = scheme.StripMnemonics(text);
    return { removed, text };
}

TEST(ShortcutScheme, LatinMarksACharacterOfTheTextPreferringALaterWordStart)
{
    CShortcutFixer latin;
    EXPECT_EQ(Assign(latin, L"Set Security", L"Set Security"), Outcome(L"Set &Security", L"s"));
    EXPECT_EQ(Assign(latin, L"Print/Preview", L"Print/Preview"), Outcome(L"Print/&Preview", L"p"));
    EXPECT_EQ(Assign(latin, L"Save As", L"Save As"), Outcome(L"&Save As", L"s"));
    EXPECT_EQ(Assign(latin, L"Save && Exit", L"Save && Exit"), Outcome(L"&Save && Exit", L"s"));
    // A used first letter passes to the next free one; digits count; other scripts do not.
    EXPECT_EQ(Assign(latin, L"Save", L"Save", { L"s" }), Outcome(L"S&ave", L"a"));
    EXPECT_EQ(Assign(latin, L"2024", L"2024"), Outcome(L"&2024", L"2"));
    EXPECT_EQ(Assign(latin, L"\x00E9t\x00E9", L"", { L"t" }), Outcome(L"\x00E9t\x00E9", L""));
}

TEST(ShortcutScheme, AsianAndChineseAppendABracketGroupOrKeepTheirOwn)
{
    CShortcutFixer_Asia asian;
    CShortcutFixer_Chinese chinese;
    EXPECT_EQ(Assign(asian, L"Open...", L"Open..."), Outcome(L"Open(&A)...", L"a"));
    EXPECT_EQ(Assign(asian, L"Save", L"Save(&S)"), Outcome(L"Save(&S)", L"s"));
    EXPECT_EQ(Assign(asian, L"Options (all)", L"Options (all)"), Outcome(L"Options (all)(&A)", L"a"));
    EXPECT_EQ(Assign(asian, L"...", L"..."), Outcome(L"...", L""));
    EXPECT_EQ(Assign(chinese, L"File", L"File(&F)"), Outcome(L"File[&A]", L"a"));
    EXPECT_EQ(Assign(chinese, L"File", L"File[&F]"), Outcome(L"File[&F]", L"f"));
    // A kept group's letter already used: the next free letter, never a digit.
    EXPECT_EQ(Assign(asian, L"Save", L"Save(&S)", { L"s", L"a" }), Outcome(L"Save(&B)", L"b"));
    EXPECT_EQ(Assign(asian, L"2024", L"2024"), Outcome(L"2024(&A)", L"a"));
    // Only ')' closes a bracket for the insertion point.
    EXPECT_EQ(Assign(chinese, L"List [all]", L"List [all]"), Outcome(L"List [all[&A]]", L"a"));
}

TEST(ShortcutScheme, AllTwentySixLettersUsedLeaveTheTextWithoutAGroup)
{
    CShortcutFixer_Asia asian;
    std::set<std::wstring> used;
    for (wchar_t c = L'a'; c <= L'z'; ++c)
        used.insert(std::wstring(1, c));
    EXPECT_EQ(Assign(asian, L"Save", L"Save", used), Outcome(L"Save", L""));
    EXPECT_EQ(asian.GetFreeLetter(used), L"");
    EXPECT_EQ(used.size(), 26u);
    used.erase(L"q");
    EXPECT_EQ(asian.GetFreeLetter(used), L"Q");
    EXPECT_EQ(used.count(L"q"), 1u);
    used.erase(L"z");
    EXPECT_EQ(Assign(asian, L"Save", L"Save", used), Outcome(L"Save(&Z)", L"z"));
}

TEST(ShortcutScheme, StrippingKeepsDoubledAmpersandsAndCountsAGroupOnce)
{
    CShortcutFixer latin;
    CShortcutFixer_Asia asian;
    CShortcutFixer_Chinese chinese;
    EXPECT_EQ(Strip(latin, L"&Save && E&xit&"), Stripped(3, L"Save && Exit"));
    EXPECT_EQ(Strip(latin, L"&&&x"), Stripped(1, L"&&x"));
    EXPECT_EQ(Strip(asian, L"((&A)) && &Go (&&)"), Stripped(2, L"() && Go (&&)"));
    // Chinese: Asian groups go, own groups go, and only then single marks.
    EXPECT_EQ(Strip(chinese, L"File(&F)[&G] &x[(&Y)]"), Stripped(4, L"File x[]"));
    std::wstring text = L"(&A)";
    EXPECT_EQ(CShortcutFixer_Asia::StripBracketMnemonics(text, L"(", true), 0);
    EXPECT_EQ(text, L"(&A)");
}

TEST(ShortcutScheme, StrippingAGroupGoesOnWithTheCharacterThatFollowedIt)
{
    CShortcutFixer_Asia asian;
    EXPECT_EQ(Strip(asian, L"(&A)&B"), Stripped(2, L"B"));
}

TEST(ShortcutScheme, BracketSchemesTakeAnAmpersandAtTheStartAsASingleMark)
{
    // Nothing stands in front of it, so it opens no group.
    CShortcutFixer_Asia asian;
    CShortcutFixer_Chinese chinese;
    EXPECT_EQ(Strip(asian, L"&A)x"), Stripped(1, L"A)x"));
    EXPECT_EQ(Strip(chinese, L"&A]x"), Stripped(1, L"A]x"));
    EXPECT_EQ(Assign(asian, L"Open", L"&O)pen"), Outcome(L"Open(&A)", L"a"));
}

}  // namespace
