// Command-line grammar of the launcher.
#include <gtest/gtest.h>

#include <string>

#include "SfxOptions.h"

namespace {

CSfxOptions Parsed(const std::wstring& line) {
    CSfxOptions o;
    CSfxOptions::Parse(o, line.c_str());
    return o;
}

void ExpectNoSwitches(const CSfxOptions& o) {
    EXPECT_EQ(0, o.m_bQuiet);
    EXPECT_EQ(0, o.m_bWait);
    EXPECT_EQ(0, o.m_bNoLaunch);
    EXPECT_EQ(0, o.m_bCleanup);
}

TEST(SfxOptions, EmptyLineLeavesEverythingAsConstructed) {
    CSfxOptions o = Parsed(L"");
    ExpectNoSwitches(o);
    EXPECT_EQ(L"", o.GetArguments());
    EXPECT_EQ(L"", o.GetUnpackFolder());
    CSfxOptions n;
    CSfxOptions::Parse(n, nullptr);
    EXPECT_EQ(L"", n.GetArguments());
}

TEST(SfxOptions, SwitchesSetTheirFlagsAndStayOff) {
    CSfxOptions o = Parsed(L"/q /w");
    EXPECT_EQ(1, o.m_bQuiet);
    EXPECT_EQ(1, o.m_bWait);
    EXPECT_EQ(0, o.m_bNoLaunch);
    EXPECT_EQ(0, o.m_bCleanup);
    EXPECT_EQ(L"", o.GetArguments());

    o = Parsed(L"/u\t/CLEANUP /u /u");
    EXPECT_EQ(1, o.m_bNoLaunch);
    EXPECT_EQ(1, o.m_bCleanup);
    EXPECT_EQ(0, o.m_bQuiet);
    EXPECT_EQ(L"", o.GetArguments());
}

TEST(SfxOptions, SwitchesAreCaseSensitiveAndOtherwisePassedOn) {
    CSfxOptions o = Parsed(L"/Q /W /U /cleanup /ufpath=X /qq /CLEANUPLOG=x q");
    ExpectNoSwitches(o);
    EXPECT_EQ(L"", o.GetUnpackFolder());
    EXPECT_EQ(L" /Q /W /U /cleanup /ufpath=X /qq /CLEANUPLOG=x q", o.GetArguments());
}

TEST(SfxOptions, QuotedStretchKeepsBlanksAndQuotes) {
    CSfxOptions o = Parsed(L"A=1 B=\"x y\"");
    EXPECT_EQ(L" A=1 B=\"x y\"", o.GetArguments());
    o = Parsed(L"B=\"x\ty\"\t/q");
    EXPECT_EQ(L" B=\"x\ty\"", o.GetArguments());
    EXPECT_EQ(1, o.m_bQuiet);
}

TEST(SfxOptions, LeadingQuoteOpensNoQuotedStretch) {
    CSfxOptions o = Parsed(L"\"a b\"");
    EXPECT_EQ(L" \"a b\"", o.GetArguments());
    // The closing quote of b" opens a stretch that runs to the end.
    o = Parsed(L"\"a b\" c d");
    EXPECT_EQ(L" \"a b\" c d", o.GetArguments());
}

TEST(SfxOptions, BackslashEscapesQuoteOutsideUnpackToken) {
    // DIR="C:\x\" /q: the last quote is ordinary, so the token runs on to the end.
    CSfxOptions o = Parsed(L"DIR=\"C:\\x\\\" /q");
    EXPECT_EQ(0, o.m_bQuiet);
    EXPECT_EQ(L" DIR=\"C:\\x\\\" /q", o.GetArguments());
    // ...and up to the next unescaped quote only.
    o = Parsed(L"DIR=\"C:\\x\\\" /q\" /w");
    EXPECT_EQ(0, o.m_bQuiet);
    EXPECT_EQ(1, o.m_bWait);
    EXPECT_EQ(L" DIR=\"C:\\x\\\" /q\"", o.GetArguments());
}

TEST(SfxOptions, UnpackFolderLosesItsQuotesAndKeepsBlanks) {
    CSfxOptions o = Parsed(L"/UFPATH=\"C:\\My Folder\\\" /q");
    EXPECT_EQ(L"C:\\My Folder\\", o.GetUnpackFolder());
    EXPECT_EQ(1, o.m_bQuiet);
    EXPECT_EQ(L"", o.GetArguments());

    o = Parsed(L"/UFPATH=\"\"\"D:\\Out\"\"");
    EXPECT_EQ(L"D:\\Out", o.GetUnpackFolder());
}

// The quote behind the folder's last backslash closes the /UFPATH token
// wherever that token stands, so the switches behind it count; the other
// tokens keep the backslash's escape.
TEST(SfxOptions, QuotedUnpackFolderEndingInABackslashIsFollowedByMoreSwitches) {
    CSfxOptions o = Parsed(L"/q /UFPATH=\"C:\\My Folder\\\"\t/CLEANUP /w A=\"x y\"");
    EXPECT_EQ(L"C:\\My Folder\\", o.GetUnpackFolder());
    EXPECT_EQ(1, o.m_bQuiet);
    EXPECT_EQ(1, o.m_bCleanup);
    EXPECT_EQ(1, o.m_bWait);
    EXPECT_EQ(L" A=\"x y\"", o.GetArguments());

    o = Parsed(L"/UFPATH=\"C:\\My Folder\\\" /u DIR=\"C:\\x\\\" /w");
    EXPECT_EQ(L"C:\\My Folder\\", o.GetUnpackFolder());
    EXPECT_EQ(1, o.m_bNoLaunch);
    EXPECT_EQ(0, o.m_bWait);
    EXPECT_EQ(L" DIR=\"C:\\x\\\" /w", o.GetArguments());
}

TEST(SfxOptions, LastUnpackFolderWinsEvenWhenEmpty) {
    CSfxOptions o = Parsed(L"/UFPATH=C:\\a /UFPATH=D:\\b");
    EXPECT_EQ(L"D:\\b", o.GetUnpackFolder());
    o = Parsed(L"/UFPATH=C:\\a /UFPATH=");
    EXPECT_EQ(L"", o.GetUnpackFolder());
    EXPECT_EQ(L"", o.GetArguments());
}

TEST(SfxOptions, QuotedUnpackTokenIsPassedOn) {
    CSfxOptions o = Parsed(L"\"/UFPATH=C:\\x\"");
    EXPECT_EQ(L"", o.GetUnpackFolder());
    EXPECT_EQ(L" \"/UFPATH=C:\\x\"", o.GetArguments());
}

TEST(SfxOptions, LongTokensArePassedOnWhole) {
    const std::wstring longToken = L"X=" + std::wstring(1998, L'y');
    CSfxOptions o = Parsed(longToken + L" /w tail");
    EXPECT_EQ(L" " + longToken + L" tail", o.GetArguments());
    EXPECT_EQ(1, o.m_bWait);
}

TEST(SfxOptions, TrailingBlanksGiveOneEmptyToken) {
    EXPECT_EQ(L" a ", Parsed(L"a  \t ").GetArguments());
    EXPECT_EQ(L" ", Parsed(L"   ").GetArguments());
    EXPECT_EQ(L" ", Parsed(L"/q ").GetArguments());
    EXPECT_EQ(L" a", Parsed(L"  a").GetArguments());
}

}  // namespace
