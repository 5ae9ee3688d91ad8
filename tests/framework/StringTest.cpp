#include "afxwin.h"
#include "framework_test_ids.h"

#include <gtest/gtest.h>

namespace {

std::string Narrow(const CString& s)
{
    std::string out;
    for (int i = 0; i < s.GetLength(); ++i)
        out += static_cast<char>(s[i] < 128 ? s[i] : '?');
    return out;
}

TEST(CStringFormat, UsesTheRuntimeRulesForWideStrings)
{
    CString s;
    s.Format(L"%s", L"C:");
    EXPECT_EQ("C:", Narrow(s));  // MinGW's C99 printf would read a narrow string and print "C"
    s.Format(L"%.2f MB", 991.8515);
    EXPECT_EQ("991.85 MB", Narrow(s));
    s.Format(L"Extracting %d %%", 42);
    EXPECT_EQ("Extracting 42 %", Narrow(s));
    s.Format(L"%S|%s", "narrow", L"wide");
    EXPECT_EQ("narrow|wide", Narrow(s));
}

TEST(CStringFormat, LongOutputAndAppend)
{
    std::wstring big(5000, L'x');
    CString s;
    s.Format(L"[%s]", big.c_str());
    EXPECT_EQ(5002, s.GetLength());
    EXPECT_EQ(L']', s[5001]);
    s = L"a";
    s.AppendFormat(L"%d-%d", 1, 2);
    EXPECT_EQ("a1-2", Narrow(s));
}

TEST(CStringFormat, FromStringTableAndFormatMessage)
{
    CString s;
    s.Format(IDS_TEST_FORMAT, L"D:", 1.5);
    EXPECT_EQ("Drive D: needs 1.50 MB", Narrow(s));
    s.FormatMessage(L"%2 before %1", L"one", L"two");
    EXPECT_EQ("two before one", Narrow(s));
}

TEST(CStringBasics, SearchAndExtract)
{
    CString s(L"C:\\Temp\\Setup.new.exe");
    EXPECT_EQ(7, s.Find(L'\\', 3));
    EXPECT_EQ(7, s.ReverseFind(L'\\'));
    EXPECT_EQ(-1, s.Find(L"zip"));
    EXPECT_EQ(-1, s.Find(L'C', 100));
    EXPECT_EQ("Setup.new.exe", Narrow(s.Mid(8)));
    EXPECT_EQ("Setup", Narrow(s.Mid(8, 5)));
    EXPECT_EQ("", Narrow(s.Mid(100)));
    EXPECT_EQ("C:", Narrow(s.Left(2)));
    EXPECT_EQ("exe", Narrow(s.Right(3)));
    EXPECT_EQ(s, s.Left(1000));
    EXPECT_EQ(s, s.Right(1000));
}

TEST(CStringBasics, ModifyAndCompare)
{
    CString s(L"a&b&&c");
    EXPECT_EQ(3, s.Remove(L'&'));
    EXPECT_EQ("abc", Narrow(s));
    s = L"one two one";
    EXPECT_EQ(2, s.Replace(L"one", L"three"));
    EXPECT_EQ("three two three", Narrow(s));
    EXPECT_EQ(0, s.Replace(L"", L"x"));
    s = L"  pad \t";
    s.Trim();
    EXPECT_EQ("pad", Narrow(s));
    EXPECT_TRUE(s == L"pad");
    EXPECT_TRUE(L"pad" == s);
    EXPECT_EQ(0, s.CompareNoCase(L"PAD"));
    EXPECT_NE(0, s.Compare(L"PAD"));
    CString joined = CString(L"a") + L"b" + L'c';
    EXPECT_EQ("abc", Narrow(joined));
}

TEST(CStringBasics, BufferAccess)
{
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(5, s.GetLength());
    p = s.GetBuffer(0);
    p[0] = L'j';
    s.ReleaseBuffer(2);
    EXPECT_EQ("je", Narrow(s));
}

TEST(CStringResources, LoadStringFindsTheProgramsTable)
{
    CString s(L"unchanged");
    EXPECT_TRUE(s.LoadString(IDS_TEST_PROMPT));
    EXPECT_EQ("Prompt from the string table", Narrow(s));
    s = L"unchanged";
    EXPECT_FALSE(s.LoadString(4242));
    EXPECT_EQ("unchanged", Narrow(s));
    int len = -1;
    EXPECT_EQ(nullptr, AfxGetStringResourceImage(::GetModuleHandleW(nullptr), IDS_TEST_PROMPT + 1 + 2, &len));
    EXPECT_EQ(0, len);
}

}  // namespace
