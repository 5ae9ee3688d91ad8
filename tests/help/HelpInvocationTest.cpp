// The help invocation: boxes are seen through the message-box presenter;
// files open through associations of the test prefix that point at
// help_recorder.exe, which writes what it was given to help_recorder.log.
#include "BoxDriver.h"
#include "HelpStringIds.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <vector>

using namespace helptest;

namespace {

const wchar_t kTestHelpClass[] = L"QuorTestHelpFile";

struct SeenBox
{
    std::wstring text;
    UINT type;
    bool recorderHadRun;   // the help had already been opened when the box came
};
std::vector<SeenBox> g_boxes;

std::wstring RecorderLog()
{
    return quortest::ProgramFolder() + L"help_recorder.log";
}

// What the recorder was given, once it has run (up to 10 s).
std::string WaitForRecorder()
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 200 && !quortest::ReadFileBytes(RecorderLog(), bytes); ++i)
        Sleep(50);
    return std::string(bytes.begin(), bytes.end());
}

int SeeBox(HWND, LPCWSTR text, LPCWSTR, UINT type)
{
    g_boxes.push_back({text ? text : L"", type, quortest::FileExists(RecorderLog())});
    return IDOK;
}

void SetDefaultValue(const std::wstring& key, const std::wstring& value)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr));
    RegSetValueExW(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);
}

std::wstring DefaultValue(const std::wstring& key)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::wstring();
    return value;
}

// Records the class library's help calls instead of starting Windows Help.
class CRecordingApp : public CHelpTestApp
{
public:
    void WinHelpInternal(DWORD_PTR dwData, UINT nCmd) override
    {
        m_calls.push_back({dwData, nCmd});
    }
    std::vector<std::pair<DWORD_PTR, UINT>> m_calls;
};

class HelpInvocation : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const std::wstring command = L"\"" + quortest::ProgramFolder() + L"help_recorder.exe\" \"%1\"";
        SetDefaultValue(L".qth", kTestHelpClass);
        SetDefaultValue(std::wstring(kTestHelpClass) + L"\\shell\\open\\command", command);
        s_httpCommand = DefaultValue(L"http\\shell\\open\\command");
        SetDefaultValue(L"http\\shell\\open\\command", command);
    }
    static void TearDownTestSuite()
    {
        if (!s_httpCommand.empty())
            SetDefaultValue(L"http\\shell\\open\\command", s_httpCommand);
    }
    void SetUp() override
    {
        DeleteFileW(RecorderLog().c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), L"OzuEnglishHelpFile");
        g_boxes.clear();
        AfxSetMessageBoxPresenter(SeeBox);
    }
    void TearDown() override
    {
        AfxSetMessageBoxPresenter(nullptr);
        DeleteFileW(RecorderLog().c_str());
    }
    std::wstring HelpFile(const wchar_t* name)
    {
        const std::wstring path = m_folder.Path() + name;
        EXPECT_TRUE(quortest::WriteFileBytes(path, {'h'}));
        return path;
    }
    void Invoke(const std::wstring& helpFile, const wchar_t* culture)
    {
        COzuWinApp::InvokeHelp(&m_app, helpFile.c_str(), 7, HELP_CONTEXT, culture, 1, CString());
    }

    static std::wstring s_httpCommand;
    CRecordingApp m_app;
    quortest::ScopedSandbox m_folder{L"help"};
};
std::wstring HelpInvocation::s_httpCommand;

std::wstring Loaded(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.GetString();
}

TEST_F(HelpInvocation, MissingFileIsReportedWithTheLinkRemovedFromThePlainText)
{
    Invoke(m_folder.Path() + L"Missing_DEU.chm", L"de-DE");
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(L"The help file could not be found. Help is available on the Quor web site.\n", g_boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), g_boxes[0].type & MB_ICONMASK);
    EXPECT_FALSE(quortest::FileExists(RecorderLog()));
}

TEST_F(HelpInvocation, HlpInAnyCaseGoesToTheClassLibrarysHelpWhenThereIsAMainWindow)
{
    CWnd mainWnd;
    m_app.m_pMainWnd = &mainWnd;
    Invoke(HelpFile(L"Guide.HLP"), L"de-DE");
    ASSERT_EQ(1u, m_app.m_calls.size());
    EXPECT_EQ(7u, m_app.m_calls[0].first);
    EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), m_app.m_calls[0].second);

    m_app.m_pMainWnd = nullptr;
    Invoke(HelpFile(L"Guide.hlp"), L"de-DE");
    EXPECT_EQ(1u, m_app.m_calls.size());   // dropped without a main window
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_FALSE(quortest::FileExists(RecorderLog()));
}

TEST_F(HelpInvocation, HelpInTheInterfaceLanguageOpensWithoutNotice)
{
    const std::wstring file = HelpFile(L"Guide_DEU.qth");
    Invoke(file, L"de-DE");
    EXPECT_NE(std::string::npos, WaitForRecorder().find(quortest::Narrow(file)));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(HelpInvocation, EnglishHelpUnderGermanInterfaceIsAnnouncedFirstThenOpens)
{
    const std::wstring file = HelpFile(L"Guide_en-US.qth");
    Invoke(file, L"de-DE");
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_FALSE(g_boxes[0].recorderHadRun);
    EXPECT_EQ(L"Help is not available in your language, so the English help will be opened. "
              L"Help in other languages may be found on the Quor web site.\n",
              g_boxes[0].text);
    EXPECT_NE(std::string::npos, WaitForRecorder().find(quortest::Narrow(file)));

    // Under an English interface the same file opens without a notice.
    g_boxes.clear();
    DeleteFileW(RecorderLog().c_str());
    Invoke(file, L"en-US");
    EXPECT_NE(std::string::npos, WaitForRecorder().find(quortest::Narrow(file)));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(HelpInvocation, WebAddressOpensWithTheShell)
{
    Invoke(L"http://help.quor.example/guide", L"de-DE");
    const std::string recorded = WaitForRecorder();
    EXPECT_NE(std::string::npos, recorded.find("http://help.quor.example/guide")) << recorded;
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(HelpInvocation, FailedOpenShowsTheSystemsTextForTheError)
{
    Invoke(HelpFile(L"Guide.qtz"), L"en-US");   // no program for this kind of file
    ASSERT_EQ(1u, g_boxes.size());

    wchar_t systemText[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_NO_ASSOCIATION, 0x400,
                   systemText, 255, nullptr);
    ASSERT_NE(L'\0', systemText[0]);
    const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(systemText)};
    wchar_t expected[1024] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, Loaded(IDS_OZU_HELP_OPEN_FAILED).c_str(),
                   0, 0, expected, 1024, reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts)));
    EXPECT_EQ(std::wstring(expected), g_boxes[0].text);
    EXPECT_FALSE(quortest::FileExists(RecorderLog()));
}

}  // namespace
