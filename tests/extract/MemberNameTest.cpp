// Which member names may be written below the extraction folder.
#include <gtest/gtest.h>

#include <windows.h>

#include "MemberName.h"
#include "MemberNameCases.h"

namespace {

TEST(MemberNameTest, RefusesNamesThatLeaveTheFolderOrAliasOthers) {
    const wchar_t* const refused[] = {
        L"", L"\\abs.txt", L"/abs.txt", L"C:\\x.txt", L"C:x.txt", L"a:b", L"file.txt:stream",
        L"..", L"..\\up.txt", L"../up.txt", L"a\\..\\..\\up.txt", L"a/../up.txt", L"a\\..", L".", L".\\x",
        L"a\\.\\b", L"a\\\\b", L"a\\", L"a/", L"\\\\server\\share\\x", L"tab\there", L"bell\x07", L"del\x7f", L"c1\x0085",
        L"CON", L"con.txt", L"dir\\NUL", L"Aux.log", L"prn", L"COM1", L"lpt9.txt", L"conin$", L"CONOUT$",
        L"com\x00b9", L"nul .txt", L"temp.htar", L"TEMP.HTAR", L"Temp.Htar", L"trailing.", L"trailing ",
        L"dir.\\x", L"... ", L"...",
    };
    for (const wchar_t* name : refused) EXPECT_FALSE(IsSafeMemberName(name)) << "accepted: " << testing::PrintToString(std::wstring(name));
}

TEST(MemberNameTest, AcceptsOrdinaryRelativeNames) {
    const wchar_t* const accepted[] = {
        L"setup.exe", L"a\\b\\c.txt", L"a/b.txt", L".hidden", L"..name", L"dir\\temp.htar", L"temp.htar.txt",
        L"CONFIG.SYS", L"COM10", L"com0", L"lpt", L"nul2.txt", L"x\\aux1", L"\x00e9t\x00e9.txt", L"a b\\c d.txt",
    };
    for (const wchar_t* name : accepted) EXPECT_TRUE(IsSafeMemberName(name)) << "refused: " << testing::PrintToString(std::wstring(name));
}

// The table the packing tool's check runs too (tests/pack), as a code page
// 1252 machine converts its names, with either separator between folders.
TEST(MemberNameTest, HoldsTheRuleTheLauncherAndThePackingToolShare) {
    for (const quortest::MemberNameCase& c : quortest::MemberNameCases()) {
        const int length = static_cast<int>(c.name.size());
        std::wstring wide(c.name.size(), L'\0');
        if (length > 0) {
            ASSERT_EQ(length, MultiByteToWideChar(1252, 0, c.name.data(), length, &wide[0], length));
        }
        EXPECT_EQ(c.safe, IsSafeMemberName(wide)) << testing::PrintToString(c.name);
        for (wchar_t& ch : wide)
            if (ch == L'\\') ch = L'/';
        EXPECT_EQ(c.safe, IsSafeMemberName(wide)) << testing::PrintToString(c.name) << " with '/'";
    }
}

TEST(MemberNameTest, ConvertsFromTheAnsiCodePageAndBoundsTheLength) {
    std::wstring wide;
    ASSERT_TRUE(ConvertMemberName("abc", 3, wide));
    EXPECT_EQ(wide, L"abc");
    std::string tooLong(kMaxMemberNameBytes, 'a');
    EXPECT_FALSE(ConvertMemberName(tooLong.data(), tooLong.size(), wide));
    EXPECT_TRUE(ConvertMemberName(tooLong.data(), tooLong.size() - 1, wide));  // 4,096 bytes with its NUL
    EXPECT_EQ(wide.size(), tooLong.size() - 1);
}

}  // namespace
