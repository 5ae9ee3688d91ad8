// The help invocation. Boxes are seen through the message-box presenter;
// files open through associations of the test prefix (".qth" and "http")
// that start help_recorder.exe, which logs what it was given.
#include "HelpStringIds.h"
#include "HelpTestSupport.h"
#include "TestSandbox.h"
#include "TestSupport.h"
#include "UrlLauncher.h"

#include <gtest/gtest.h>

#include <vector>

using namespace helptest;

namespace {

std::vector<std::wstring> g_boxes;   // texts, with "(opened)" when the help had already opened
const std::wstring kLog = quortest::ProgramFolder() + L"help_recorder.log";

// What the recorder logged, once it has run (waits up to 10 s); then the log is removed.
std::string Recorded()
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 200 && !quortest::ReadFileBytes(kLog, bytes); ++i)
        Sleep(50);
    DeleteFileW(kLog.c_str());
    return std::string(bytes.begin(), bytes.end());
}

void SetClassesValue(const std::wstring& key, const std::wstring& value)
{
    RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

class CRecordingApp : public CHelpTestApp
{
public:
    void WinHelpInternal(DWORD_PTR dwData, UINT nCmd) override { m_calls.push_back(dwData + nCmd); }
    std::vector<DWORD_PTR> m_calls;
};

class HelpInvocation : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const std::wstring command = L"\"" + quortest::ProgramFolder() + L"help_recorder.exe\" \"%1\"";
        SetClassesValue(L".qth", L"QuorTestHelp");
        SetClassesValue(L"QuorTestHelp\\shell\\open\\command", command);
        SetClassesValue(L"http\\shell\\open\\command", command);   // no browser in tests
        SetClassesValue(L".htm", L"QuorTestHelp");                     // nor for the boxes' links
    }
    void SetUp() override
    {
        DeleteFileW(kLog.c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), L"OzuEnglishHelpFile");
        g_boxes.clear();
        AfxSetMessageBoxPresenter([](HWND, LPCWSTR text, LPCWSTR, UINT type) {
            g_boxes.push_back(text + std::wstring(quortest::FileExists(kLog) ? L"(opened)" : L""));
            return (type & MB_ICONMASK) == MB_ICONINFORMATION ? IDOK : IDCANCEL;
        });
    }
    void TearDown() override { AfxSetMessageBoxPresenter(nullptr); }
    std::wstring File(const wchar_t* name)
    {
        EXPECT_TRUE(quortest::WriteFileBytes(m_folder.Path() + name, {'h'}));
        return m_folder.Path() + name;
    }
    void Invoke(const std::wstring& helpFile, const wchar_t* culture)
    {
        COzuWinApp::InvokeHelp(&m_app, helpFile.c_str(), 7, HELP_CONTEXT, culture, 1, CString());
    }
    CRecordingApp m_app;
    quortest::ScopedSandbox m_folder{L"help"};
};

TEST_F(HelpInvocation, MissingFileIsReportedWithoutItsLinkInThePlainText)
{
    Invoke(m_folder.Path() + L"Missing_DEU.chm", L"de-DE");
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(L"The help file could not be found. Help is available on the Quor web site.\n", g_boxes[0]);
}

// On a real box: the missing-file report shows its link, but no check box of
// its own, so it never remembers an answer.
TEST_F(HelpInvocation, MissingFileBoxHasNoCheckBox)
{
    AfxSetMessageBoxPresenter(nullptr);
    BoxLook look;
    CBoxDriver driver([&look](HWND hBox) {
        LookAt(hBox, look);
        PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    });
    Invoke(m_folder.Path() + L"Missing_DEU.chm", L"de-DE");
    ASSERT_TRUE(driver.Seen());
    EXPECT_TRUE(look.textIsMarkupControl);
    EXPECT_EQ(nullptr, look.hCheck);
    DWORD type = 0;
    std::string bytes;
    EXPECT_FALSE(ReadScopeValue(L"OzuEnglishHelpFile", type, bytes));
}

TEST_F(HelpInvocation, HlpInAnyCaseGoesToTheClassLibrarysHelpOnlyWithAMainWindow)
{
    CWnd mainWnd;
    m_app.m_pMainWnd = &mainWnd;
    Invoke(File(L"Guide.HLP"), L"de-DE");
    m_app.m_pMainWnd = nullptr;
    Invoke(File(L"Guide.hlp"), L"de-DE");
    EXPECT_EQ(std::vector<DWORD_PTR>{7 + HELP_CONTEXT}, m_app.m_calls);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(HelpInvocation, EnglishHelpUnderAnotherInterfaceIsAnnouncedFirstThenOpens)
{
    const std::wstring german = File(L"Guide_DEU.qth"), english = File(L"Guide_en-US.qth");
    const std::wstring englishByCode = File(L"Guide_ENU.qth");
    Invoke(german, L"de-DE");
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(german)));
    Invoke(english, L"en-US");
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(english)));
    Invoke(englishByCode, L"en-US");
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(englishByCode)));
    EXPECT_TRUE(g_boxes.empty());

    Invoke(english, L"de-DE");
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(english)));
    ASSERT_EQ(1u, g_boxes.size());   // before the help opened
    EXPECT_EQ(L"Help is not available in your language, so the English help will be opened. "
              L"Help in other languages may be found on the Quor web site.\n", g_boxes[0]);
    Invoke(englishByCode, L"de-DE");   // English known by its 3-letter code
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(englishByCode)));
    EXPECT_EQ(2u, g_boxes.size());
}

// Both boxes remember under one value: an answer kept for the notice also
// keeps the missing-file box from showing.
TEST_F(HelpInvocation, TheMissingFileBoxAndTheNoticeShareTheRememberedAnswer)
{
    const DWORD ok = IDOK;
    RegSetKeyValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), L"OzuEnglishHelpFile", REG_DWORD, &ok, sizeof(ok));
    Invoke(m_folder.Path() + L"Missing_DEU.chm", L"de-DE");
    const std::wstring english = File(L"Guide_en-US.qth");
    Invoke(english, L"de-DE");
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(english)));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(HelpInvocation, WebAddressOpensWithTheShell)
{
    Invoke(L"http://help.quor.example/guide", L"de-DE");
    EXPECT_NE(std::string::npos, Recorded().find("http://help.quor.example/guide"));
    EXPECT_TRUE(g_boxes.empty());
}

// The text of the box that reports a failed open with the system's text for error.
std::wstring OpenFailedText(DWORD error)
{
    wchar_t system[256] = {}, expected[1024] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0x400, system, 255,
                   nullptr);
    CString format;
    format.LoadString(IDS_OZU_HELP_OPEN_FAILED);
    DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(system)};
    FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, format.GetString(), 0, 0, expected,
                   1024, reinterpret_cast<va_list*>(inserts));
    return expected;
}

TEST_F(HelpInvocation, FailedOpenShowsTheSystemsTextForTheError)
{
    Invoke(File(L"Guide.qtz"), L"en-US");   // no program for this kind of file
    EXPECT_EQ(std::vector<std::wstring>{OpenFailedText(ERROR_NO_ASSOCIATION)}, g_boxes);
}

// 32 is the shell's SE_ERR_DLLNOTFOUND: a failure like every result below it.
HINSTANCE ShellResult32(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)
{
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(32));
}

TEST_F(HelpInvocation, ShellResultOf32IsAFailure)
{
    const UrlShellExecuteFn pfnSaved = g_pfnUrlShellExecute;
    g_pfnUrlShellExecute = &ShellResult32;
    Invoke(File(L"Guide.qth"), L"en-US");
    g_pfnUrlShellExecute = pfnSaved;
    EXPECT_EQ(std::vector<std::wstring>{OpenFailedText(ERROR_DLL_NOT_FOUND)}, g_boxes);
}

// The German notice on a real box: its marked-up text breaks into more lines
// than the plain text the system sized the box for; all of it stays inside
// the text control, the buttons inside the box, and its link opens the
// product's support address.
TEST_F(HelpInvocation, GermanNoticeFitsItsControlAndItsLinkOpensTheSupportAddress)
{
    AfxSetMessageBoxPresenter(nullptr);
    g_pUserInterfaceLocalization->SetDictionaryResourceId(137);
    ASSERT_EQ(0u, m_app.SetUILanguage(L"DEU", L""));
    BoxLook look;
    RECT text = {};
    int lowestInk = -1;
    std::string link;
    CBoxDriver driver([&](HWND hBox) {
        LookAt(hBox, look);
        HWND hText = GetDlgItem(hBox, 0xFFFF);
        GetClientRect(hText, &text);
        // The whole text drawn by the paint's own code with room to spare below.
        CDibCanvas canvas(text.right, 4 * text.bottom, RGB(255, 255, 255));
        COzuXHTMLStatic probe;
        probe.SetTextColor(RGB(0, 0, 0));
        probe.DrawMarkup(canvas.dc.m_hDC, canvas.Rect(), look.text.c_str(),
                         reinterpret_cast<HFONT>(SendMessageW(hText, WM_GETFONT, 0, 0)));
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                if (canvas.Pixel(x, y) != RGB(255, 255, 255))
                    lowestInk = y;
        UpdateWindow(hText);   // painted, so its link is known
        SendMessageW(hText, WM_KEYDOWN, VK_SPACE, 0);
        link = Recorded();
        PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    });
    const std::wstring guide = File(L"Guide_en-US.qth");
    Invoke(guide, L"de-DE");
    m_app.SetUILanguage(L"", L"");
    EXPECT_NE(std::string::npos, Recorded().find(quortest::Narrow(guide)));
    ASSERT_TRUE(driver.Seen());
    ASSERT_TRUE(look.textIsMarkupControl);
    EXPECT_EQ(0u, look.text.find(L"Die Hilfe ist in Ihrer Sprache nicht"));
    EXPECT_GT(lowestInk, 0);
    EXPECT_LT(lowestInk, text.bottom);
    EXPECT_TRUE(look.buttonsInClient);
    EXPECT_NE(std::string::npos, link.find("\"https://www.quor.example/support\"")) << link;
}

}  // namespace
