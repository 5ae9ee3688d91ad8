// The URL launcher against associations written into the test prefix's
// HKEY_CLASSES_ROOT: ".htm" and the http, https, ftp and mailto schemes all
// point at urlrecorder.exe, so nothing here can reach a real browser.
#include "UrlLauncher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Launch
{
    std::wstring verb, file;
    std::string command;
};
std::vector<Launch> g_launches;

HINSTANCE RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_launches.push_back(Launch{verb ? verb : L"", file ? file : L"", std::string()});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

UINT RecordWinExec(LPCSTR command, UINT)
{
    g_launches.push_back(Launch{std::wstring(), std::wstring(), command});
    return 33;
}

void SetDefault(const std::wstring& subkey, const std::wstring& value)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                                nullptr), ERROR_SUCCESS) << subkey.c_str();
    ::RegSetValueExW(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
}

std::wstring RecorderCommand()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return L"\"" + dir.substr(0, dir.rfind(L'\\')) + L"\\urlrecorder.exe\" \"%1\"";
}

class UrlLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const wchar_t* scheme : {L"http", L"https", L"ftp", L"mailto", L"QuorTestPage"})
            SetDefault(std::wstring(scheme) + L"\\shell\\open\\command", RecorderCommand());
        SetDefault(L".htm", L"QuorTestPage");
        g_launches.clear();
        m_pfnShellExecute = g_pfnUrlShellExecute;
        m_pfnWinExec = g_pfnUrlWinExec;
        g_pfnUrlShellExecute = &RecordShellExecute;
        g_pfnUrlWinExec = &RecordWinExec;
    }
    void TearDown() override
    {
        SetDefault(L".htm", L"QuorTestPage");
        g_pfnUrlShellExecute = m_pfnShellExecute;
        g_pfnUrlWinExec = m_pfnWinExec;
    }
    UrlShellExecuteFn m_pfnShellExecute = nullptr;
    UrlWinExecFn m_pfnWinExec = nullptr;
    // The command GotoURL hands to WinExec, or "(none)".
    std::string Command(const wchar_t* url)
    {
        g_launches.clear();
        HINSTANCE result = GotoURL(url, SW_HIDE, FALSE);
        if (g_launches.empty())
        {
            EXPECT_EQ(result, nullptr);
            return "(none)";
        }
        return g_launches.back().command;
    }
};
}

TEST_F(UrlLauncherTest, BrowserCommandTakesTheUrlInPlaceOfItsPlaceholder)
{
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"\"C:\\b\\web.exe\" -nohome \"%1\" -x");
    EXPECT_EQ(Command(L"http://example.invalid/a b"), "\"C:\\b\\web.exe\" -nohome  \"http://example.invalid/a b\"");
    EXPECT_EQ(Command(L"\"C:\\docs\\read me.htm\""), "\"C:\\b\\web.exe\" -nohome  \"C:\\docs\\read me.htm\"");
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"web.exe %1");
    EXPECT_EQ(Command(L"ftp://h/"), "web.exe  \"ftp://h/\"");
    SetDefault(L"QuorTestPage\\shell\\open\\command", L"web.exe");
    EXPECT_EQ(Command(L"ftp://h/"), "web.exe \"ftp://h/\"");
}

TEST_F(UrlLauncherTest, UrlsThatCouldBreakOutOfTheirQuotesAreRefused)
{
    EXPECT_EQ(Command(L"http://h/\" & calc.exe"), "(none)");
    EXPECT_EQ(Command(L"\"http://h/\" \"x\""), "(none)");
    EXPECT_EQ(Command(L"http://h/\ncalc"), "(none)");
    EXPECT_EQ(Command(L"http://h/\x4E00"), "(none)") << "no exact ANSI form";
    EXPECT_EQ(Command(std::wstring(1100, L'a').c_str()), "(none)") << "longer than the command buffer";
    // A command that fills the whole buffer is refused, not cut.
    SetDefault(L"QuorTestPage\\shell\\open\\command", std::wstring(1040, L'w'));
    EXPECT_EQ(Command(L"http://h/"), "(none)");
    wchar_t out[8] = {L'x'};
    EXPECT_EQ(GetRegKey(HKEY_CLASSES_ROOT, L".htm", out, 8), ERROR_MORE_DATA);
    EXPECT_STREQ(out, L"");
}

TEST_F(UrlLauncherTest, MissingAssociationGoesToTheExploreVerb)
{
    ASSERT_EQ(::RegDeleteKeyW(HKEY_CLASSES_ROOT, L".htm"), ERROR_SUCCESS);
    EXPECT_NE(GotoURL(L"http://h/p", SW_SHOW, FALSE), nullptr);
    ASSERT_EQ(g_launches.size(), 1u);
    EXPECT_EQ(g_launches[0].verb, L"explore");
    EXPECT_EQ(g_launches[0].file, L"http://h/p");
}

TEST_F(UrlLauncherTest, OpenUrlMakesMailLinksOnlyOfPlainAddresses)
{
    const wchar_t* urls[] = {L"someone@example.invalid", L"mailto:a@b.invalid", L"MAILTO:a@b.invalid",
                             L"http://user@h/"};
    for (const wchar_t* url : urls)
        GotoURL(url, SW_SHOW, TRUE);
    ASSERT_EQ(g_launches.size(), 4u);
    EXPECT_EQ(g_launches[0].file, L"mailto:someone@example.invalid");
    EXPECT_EQ(g_launches[1].file, L"mailto:a@b.invalid");
    EXPECT_EQ(g_launches[2].file, L"mailto:MAILTO:a@b.invalid");
    EXPECT_EQ(g_launches[3].file, L"http://user@h/");
    EXPECT_EQ(g_launches[3].verb, L"open");
}

TEST_F(UrlLauncherTest, LinkTargetsAreExistingPathsOrWebAddresses)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    EXPECT_TRUE(IsLinkTarget(temp));
    EXPECT_TRUE(IsLinkTarget(L"HTTP://h/"));
    EXPECT_TRUE(IsLinkTarget(L"mail:x"));
    EXPECT_FALSE(IsLinkTarget(L"mailto:x@y"));
    EXPECT_FALSE(IsLinkTarget(L"C:\\no\\such\\help.chm"));
}

TEST_F(UrlLauncherTest, RecorderRegisteredForPagesReceivesTheQuotedUrl)
{
    g_pfnUrlWinExec = [](LPCSTR command, UINT show) { return ::WinExec(command, show); };
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring record = std::wstring(temp) + L"quor-url-record.txt";
    ::DeleteFileW(record.c_str());
    ::SetEnvironmentVariableW(L"QUOR_URL_RECORD", record.c_str());

    HINSTANCE result = GotoURL(L"http://example.invalid/page?a=1", SW_HIDE, FALSE);
    EXPECT_GT(reinterpret_cast<INT_PTR>(result), 31);
    std::wstring line;
    for (int i = 0; i < 200 && line.empty(); ++i)
    {
        HANDLE h = ::CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
        {
            ::Sleep(100);
            continue;
        }
        wchar_t buffer[512] = {};
        DWORD read = 0;
        ::ReadFile(h, buffer, sizeof(buffer) - sizeof(wchar_t), &read, nullptr);
        ::CloseHandle(h);
        line = buffer;
    }
    EXPECT_NE(line.find(L"urlrecorder.exe\"  \"http://example.invalid/page?a=1\""), std::wstring::npos)
        << "recorded: " << std::string(line.begin(), line.end());
}
