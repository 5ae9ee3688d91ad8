#include "afxwin.h"
#include "framework_test_ids.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CapturedBox
{
    std::wstring text;
    std::wstring caption;
    HWND owner = nullptr;
    UINT type = 0;
    int count = 0;
};
CapturedBox g_box;

int CaptureBox(HWND hWndOwner, LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType)
{
    g_box.text = lpszText ? lpszText : L"";
    g_box.caption = lpszCaption ? lpszCaption : L"(none)";
    g_box.owner = hWndOwner;
    g_box.type = nType;
    ++g_box.count;
    return IDRETRY;
}

class CCountingApp : public CWinApp
{
public:
    int boxes = 0;
    UINT lastHelpId = 0;
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override
    {
        ++boxes;
        lastHelpId = nIDPrompt;
        return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    }
};

class MessageBoxSeam : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_box = CapturedBox();
        previous = AfxSetMessageBoxPresenter(CaptureBox);
    }
    void TearDown() override { AfxSetMessageBoxPresenter(previous); }
    AFX_MESSAGEBOX_PRESENTER previous = nullptr;
};

TEST_F(MessageBoxSeam, AfxMessageBoxGoesThroughTheApplication)
{
    CCountingApp app;
    EXPECT_EQ(&app, AfxGetApp());
    AfxWinInit(::GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
    ASSERT_NE(nullptr, app.m_pszAppName);
    EXPECT_STREQ(L"test_framework", app.m_pszExeName);
    EXPECT_STREQ(L"test_framework", app.m_pszAppName);  // no title in the string table
    std::wstring help = app.m_pszHelpFilePath;
    EXPECT_EQ(L"\\test_framework.HLP", help.substr(help.size() - 19));

    EXPECT_EQ(IDRETRY, AfxMessageBox(IDS_TEST_PROMPT, MB_ICONERROR));
    EXPECT_EQ(1, app.boxes);
    EXPECT_EQ(static_cast<UINT>(IDS_TEST_PROMPT), app.lastHelpId);
    EXPECT_EQ(L"Prompt from the string table", g_box.text);
    EXPECT_EQ(L"test_framework", g_box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), g_box.type);
    EXPECT_EQ(nullptr, g_box.owner);

    // With a main window the box is owned by it.
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = &main;
    AfxMessageBox(L"direct text", MB_OK, 77);
    EXPECT_EQ(L"direct text", g_box.text);
    EXPECT_EQ(77u, app.lastHelpId);
    EXPECT_EQ(main.m_hWnd, g_box.owner);
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

TEST_F(MessageBoxSeam, WithoutApplicationTheBoxStillShows)
{
    ASSERT_EQ(nullptr, AfxGetApp());
    AfxMessageBox(L"no app");
    EXPECT_EQ(1, g_box.count);
    EXPECT_EQ(L"no app", g_box.text);
}

TEST(ModuleState, ResourceHandleAndApplicationRegistration)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    HINSTANCE saved = AfxGetResourceHandle();
    AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(0x1234));
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x1234), state->m_hCurrentResourceHandle);
    AfxSetResourceHandle(saved);
    {
        CWinApp app(L"Named");
        EXPECT_EQ(&app, state->m_pCurrentWinApp);
        EXPECT_STREQ(L"Named", app.m_pszAppName);
    }
    EXPECT_EQ(nullptr, state->m_pCurrentWinApp);
}

// The entry, message loop and exit code, in a program of their own.
DWORD RunProbe(const wchar_t* args)
{
    std::wstring cmd = L"\"" + quortest::ProgramFolder() + L"framework_app_probe.exe\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFE;
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

TEST(ApplicationEntry, LoopEndsWithTheMainWindowAndExitInstanceGivesTheCode)
{
    EXPECT_EQ(3042u, RunProbe(L"window"));
}

TEST(ApplicationEntry, NoMainWindowEndsTheLoopAtOnce)
{
    EXPECT_EQ(7u, RunProbe(L"nowindow"));
}

TEST(ApplicationEntry, FailedInitInstanceGoesStraightToExitInstance)
{
    EXPECT_EQ(9u, RunProbe(L"fail"));
}

}  // namespace
