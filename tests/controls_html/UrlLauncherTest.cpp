// The URL launcher against associations written into the test prefix's
// HKEY_CLASSES_ROOT: ".htm" and the http, https, ftp and mailto schemes all
// point at urlrecorder.exe, so nothing here can reach a real browser.
#include "UrlLauncher.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <winternl.h>

#include <string>
#include <vector>

namespace
{
// What the launcher started: the verb and file of a shell start, or a command line.
std::vector<std::wstring> g_launches;

HINSTANCE RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_launches.push_back(std::wstring(verb) + L" " + file);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

// The command as WinExec reads it: in the system's ANSI code page.
UINT RecordWinExec(LPCSTR command, UINT)
{
    wchar_t wide[2200] = {};
    ::MultiByteToWideChar(CP_ACP, 0, command, -1, wide, 2199);
    g_launches.push_back(wide);
    return 33;
}

void SetDefault(const std::wstring& subkey, const std::wstring& value, DWORD type = REG_SZ)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                                nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(hKey, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
}

class UrlLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t exe[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring dir(exe);
        dir.resize(dir.rfind(L'\\'));
        for (const wchar_t* scheme : {L"http", L"https", L"ftp", L"mailto", L"QuorTestPage"})
            SetDefault(std::wstring(scheme) + L"\\shell\\open\\command", L"\"" + dir + L"\\urlrecorder.exe\" \"%1\"");
        SetDefault(L".htm", L"QuorTestPage");
        g_launches.clear();
        g_pfnUrlShellExecute = &RecordShellExecute;
        g_pfnUrlWinExec = &RecordWinExec;
    }
    void TearDown() override
    {
        SetDefault(L".htm", L"QuorTestPage");
        g_pfnUrlShellExecute = m_pfnShellExecute;
        g_pfnUrlWinExec = m_pfnWinExec;
    }
    // The command GotoURL hands to WinExec, or "(none)" when it starts nothing.
    std::wstring Command(const std::wstring& url)
    {
        g_launches.clear();
        HINSTANCE result = GotoURL(url.c_str(), SW_HIDE, FALSE);
        EXPECT_EQ(result == nullptr, g_launches.empty());
        return g_launches.empty() ? L"(none)" : g_launches.back();
    }
    const UrlShellExecuteFn m_pfnShellExecute = g_pfnUrlShellExecute;
    const UrlWinExecFn m_pfnWinExec = g_pfnUrlWinExec;
};
}

TEST_F(UrlLauncherTest, BrowserCommandTakesTheUrlInPlaceOfItsPlaceholder)
{
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"\"C:\\b\\web.exe\" -nohome \"%1\" -x");
    EXPECT_EQ(Command(L"http://example.invalid/a b"), L"\"C:\\b\\web.exe\" -nohome  \"http://example.invalid/a b\"");
    EXPECT_EQ(Command(L"\"C:\\docs\\read me.htm\""), L"\"C:\\b\\web.exe\" -nohome  \"C:\\docs\\read me.htm\"");
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"web.exe %1");
    EXPECT_EQ(Command(L"ftp://h/"), L"web.exe  \"ftp://h/\"");
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"web.exe");
    EXPECT_EQ(Command(L"ftp://h/"), L"web.exe \"ftp://h/\"");
}

// Shell commands are often stored as expandable strings: started expanded.
TEST_F(UrlLauncherTest, ExpandableBrowserCommandStartsExpanded)
{
    ::SetEnvironmentVariableW(L"QUOR_TEST_BROWSER_DIR", L"C:\\b");
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"\"%QUOR_TEST_BROWSER_DIR%\\web.exe\" \"%1\"", REG_EXPAND_SZ);
    EXPECT_EQ(Command(L"http://h/"), L"\"C:\\b\\web.exe\"  \"http://h/\"");
}

TEST_F(UrlLauncherTest, UrlsThatCouldBreakOutOfTheirQuotesAreRefused)
{
    EXPECT_EQ(Command(L"http://h/\" & calc.exe"), L"(none)");
    EXPECT_EQ(Command(L"\"http://h/\" \"x\""), L"(none)");
    EXPECT_EQ(Command(L"http://h/\ncalc"), L"(none)");
    EXPECT_EQ(Command(L"\"   \""), L"(none)") << "blanks only";
    EXPECT_EQ(Command(L"http://h/\x4E00"), L"(none)") << "no exact ANSI form";
    EXPECT_EQ(Command(std::wstring(1100, L'a')), L"(none)") << "longer than the command buffer";
    SetDefault(L"QuorTestPage\\shell\\open\\command", std::wstring(1040, L'w'));
    EXPECT_EQ(Command(L"http://h/"), L"(none)") << "a command filling the buffer is refused, not cut";
}

// Quotes do not keep a browser from reading "--switch" as one of its options.
TEST_F(UrlLauncherTest, TargetsThatBeginWithADashStartNothing)
{
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"web.exe");
    for (const wchar_t* url : {L"\"--user-data-dir=S:\\x\"", L"--disable-web-security", L"\"  --kiosk\"", L"-x"})
        EXPECT_EQ(Command(url), L"(none)") << url;
    EXPECT_EQ(Command(L"http://example.com/a-b"), L"web.exe \"http://example.com/a-b\"");
    ASSERT_EQ(::RegDeleteKeyW(HKEY_CLASSES_ROOT, L".htm"), ERROR_SUCCESS);
    g_launches.clear();
    EXPECT_EQ(GotoURL(L"\" --kiosk\"", SW_SHOW, FALSE), nullptr) << "the explore fallback";
    EXPECT_TRUE(g_launches.empty());
}

TEST_F(UrlLauncherTest, BrowserReadsTheUrlEndingInABackslashIntact)
{
    // The last argument as the browser splits its command line.
    for (const std::wstring url : {L"http://h/dir\\", L"C:\\Program Files\\Docs\\", L"\\\\srv\\a b\\\\"})
    {
        int argc = 0;
        LPWSTR* argv = ::CommandLineToArgvW(Command(L"\"" + url + L"\"").c_str(), &argc);
        ASSERT_NE(argv, nullptr);
        EXPECT_EQ(argv[argc - 1], url);
        ::LocalFree(argv);
    }
}

TEST_F(UrlLauncherTest, CommandIsCheckedInTheCodePageWinExecReadsItIn)
{
    // A Japanese thread locale on a system whose ANSI code page is 1252.
    ASSERT_EQ(::GetACP(), 1252u);
    const LCID lcidBefore = ::GetThreadLocale();
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT));
    const std::wstring japanese = Command(L"C:\\\x8868");
    const std::wstring latin = Command(L"http://h/caf\xE9");
    ::SetThreadLocale(lcidBefore);
    EXPECT_EQ(japanese, L"(none)") << "no form in code page 1252";
    EXPECT_NE(latin.find(L" \"http://h/caf\xE9\""), std::wstring::npos) << latin;
}

TEST_F(UrlLauncherTest, MissingAssociationGoesToTheExploreVerbWithTheSameRefusals)
{
    ASSERT_EQ(::RegDeleteKeyW(HKEY_CLASSES_ROOT, L".htm"), ERROR_SUCCESS);
    EXPECT_NE(GotoURL(L"http://h/p", SW_SHOW, FALSE), nullptr);
    for (const wchar_t* url : {L"", L"\"a\" \"b\"", L"http://h/\ncalc", L"   "})
        EXPECT_EQ(GotoURL(url, SW_SHOW, FALSE), nullptr) << url;
    EXPECT_EQ(g_launches, std::vector<std::wstring>{L"explore http://h/p"});
}

TEST_F(UrlLauncherTest, GetRegKeyRefusesAValueThatFillsTheBuffer)
{
    // Eight characters stored without a terminator, written through ntdll:
    // Wine's RegSetValueExW would add one.
    typedef LONG(NTAPI * NtSetValueKeyFn)(HANDLE, PUNICODE_STRING, ULONG, ULONG, PVOID, ULONG);
    const auto pfnNtSetValueKey =
        reinterpret_cast<NtSetValueKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey"));
    ASSERT_NE(pfnNtSetValueKey, nullptr);
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"QuorTestEight", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                                nullptr), ERROR_SUCCESS);
    UNICODE_STRING defaultValue = {};
    wchar_t eight[] = L"12345678";
    EXPECT_EQ(pfnNtSetValueKey(hKey, &defaultValue, 0, REG_SZ, eight, 8 * sizeof(wchar_t)), 0);
    ::RegCloseKey(hKey);

    wchar_t out[10];
    wmemset(out, L'x', 10);
    EXPECT_EQ(GetRegKey(HKEY_CLASSES_ROOT, L"QuorTestEight", out, 8), ERROR_MORE_DATA);
    EXPECT_EQ(out[0], L'\0');
    EXPECT_EQ(GetRegKey(HKEY_CLASSES_ROOT, L"QuorTestEight", out, 9), ERROR_SUCCESS);
    EXPECT_STREQ(out, L"12345678");
}

TEST_F(UrlLauncherTest, OpenUrlMakesMailLinksOnlyOfPlainAddresses)
{
    for (const wchar_t* url : {L"someone@example.invalid", L"mailto:a@b.invalid", L"MAILTO:a@b", L"http://u@h/"})
        GotoURL(url, SW_SHOW, TRUE);
    EXPECT_EQ(g_launches, (std::vector<std::wstring>{L"open mailto:someone@example.invalid",
                                                     L"open mailto:a@b.invalid", L"open mailto:MAILTO:a@b",
                                                     L"open http://u@h/"}));
}

TEST_F(UrlLauncherTest, LinkTargetsAreExistingPathsOrWebAddresses)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    EXPECT_TRUE(IsLinkTarget(temp));
    EXPECT_TRUE(IsLinkTarget(L"HTTP://h/"));
    EXPECT_FALSE(IsLinkTarget(L"mailto:x@y"));
    EXPECT_FALSE(IsLinkTarget(L"C:\\no\\such\\help.chm"));
}

TEST_F(UrlLauncherTest, RecorderRegisteredForPagesReceivesTheQuotedUrl)
{
    g_pfnUrlWinExec = m_pfnWinExec;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring record = std::wstring(temp) + L"quor-url-record.txt";
    ::DeleteFileW(record.c_str());
    ::SetEnvironmentVariableW(L"QUOR_URL_RECORD", record.c_str());

    EXPECT_GT(reinterpret_cast<INT_PTR>(GotoURL(L"http://example.invalid/page?a=1", SW_HIDE, FALSE)), 31);
    wchar_t line[512] = {};
    for (int i = 0; i < 200 && line[0] == L'\0'; ++i)
    {
        ::Sleep(100);
        HANDLE h = ::CreateFileW(record.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        if (h == INVALID_HANDLE_VALUE)
            continue;
        ::ReadFile(h, line, sizeof(line) - sizeof(wchar_t), &read, nullptr);
        ::CloseHandle(h);
    }
    EXPECT_NE(std::wstring(line).find(L"urlrecorder.exe\"  \"http://example.invalid/page?a=1\""), std::wstring::npos);
}
