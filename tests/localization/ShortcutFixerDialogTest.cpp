// The fixer's pipeline and Alt-key routing on real dialogs.
#include "ShortcutFixer_Chinese.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

std::function<void(UINT, ShortcutFixerQuery*)> g_onQuery;
std::map<HWND, std::map<UINT, int>> g_received;   // messages that watched controls got

INT_PTR CALLBACK TestDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHORTCUTFIXER_QUERYCONTROL && g_onQuery)
        g_onQuery(static_cast<UINT>(wParam), reinterpret_cast<ShortcutFixerQuery*>(lParam));
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        ++g_received[hDlg][WM_COMMAND];   // a button of this dialog was clicked
    return message == WM_INITDIALOG;
}

// A dialog from an empty in-memory template (no menu, class or title).
HWND MakeDialog(HWND hParent, DWORD style)
{
    struct { DLGTEMPLATE head; WORD menu, windowClass, title; } tpl = {};
    tpl.head.style = style;
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &tpl.head, hParent, TestDlgProc, 0);
}

HWND Add(HWND hParent, const wchar_t* cls, const wchar_t* text, DWORD style, int id = 0)
{
    return ::CreateWindowExW(0, cls, text, WS_CHILD | style, 0, 0, 60, 20, hParent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

LRESULT CALLBACK Watch(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    ++g_received[hWnd][message];
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

struct NestedFix
{
    CShortcutFixer* fixer;
    int calls;
    bool result;
};

// Calls the fixer again from the control's own WM_SETTEXT.
LRESULT CALLBACK FixOnSetText(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    const LRESULT result = ::DefSubclassProc(hWnd, message, wParam, lParam);
    if (message == WM_SETTEXT) {
        auto* pNested = reinterpret_cast<NestedFix*>(data);
        ++pNested->calls;
        pNested->result = pNested->fixer->Fix();
    }
    return result;
}

HWND Watched(HWND hWnd)
{
    ::SetWindowSubclass(hWnd, Watch, 1, 0);
    return hWnd;
}

std::wstring Text(HWND hWnd)
{
    std::wstring text(::GetWindowTextLengthW(hWnd) + 1, L'\0');
    text.resize(::GetWindowTextW(hWnd, &text[0], static_cast<int>(text.size())));
    return text;
}

// Holds Alt down in this thread's keyboard state.
class AltHeld
{
public:
    AltHeld()
    {
        ::GetKeyboardState(m_before);
        BYTE keys[256];
        std::copy(m_before, m_before + 256, keys);
        keys[VK_MENU] = 0x80;
        ::SetKeyboardState(keys);
    }
    ~AltHeld() { ::SetKeyboardState(m_before); }

private:
    BYTE m_before[256] = {};
};

MSG SysKeyDown(HWND hWnd, WPARAM key)
{
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = key;
    return msg;
}

bool DonePosted(HWND hWnd)
{
    MSG msg;
    return ::PeekMessageW(&msg, hWnd, WM_SHORTCUTFIXER_DONE, WM_SHORTCUTFIXER_DONE, PM_REMOVE) != FALSE;
}

class ShortcutFixerDialog : public ::testing::Test
{
protected:
    void SetUp() override { m_hDlg = MakeDialog(nullptr, WS_POPUP | WS_CAPTION | WS_VISIBLE); }
    void TearDown() override
    {
        ::DestroyWindow(m_hDlg);
        g_onQuery = nullptr;
        g_received.clear();
    }
    bool Fix()
    {
        m_fixer.SetWindow(m_hDlg);
        return m_fixer.Fix();
    }
    HWND Button(HWND hParent, const wchar_t* text, int id = 0)
    {
        return Add(hParent, L"Button", text, BS_PUSHBUTTON | WS_VISIBLE, id);
    }
    // The message loop of the dialog and of one nested in it: the character
    // an Alt key made presses the button.
    void RunDialogLoop(HWND hNested)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!m_fixer.PreTranslateMessage(&msg) && !::IsDialogMessageW(hNested, &msg) &&
                !::IsDialogMessageW(m_hDlg, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    HWND m_hDlg = nullptr;
    CShortcutFixer m_fixer;
};

TEST_F(ShortcutFixerDialog, NoOrDestroyedDialogFailsWithoutDoneMessage)
{
    EXPECT_FALSE(m_fixer.Fix());
    HWND hGone = MakeDialog(nullptr, WS_POPUP);
    ::DestroyWindow(hGone);
    m_fixer.SetWindow(hGone);
    EXPECT_FALSE(m_fixer.Fix());
    EXPECT_FALSE(DonePosted(nullptr));
}

TEST_F(ShortcutFixerDialog, AllControlsHiddenChangeNoTextButPostDone)
{
    HWND hButton = Add(m_hDlg, L"Button", L"&Save", BS_PUSHBUTTON);
    HWND hLabel = Add(m_hDlg, L"Static", L"&Name", SS_LEFT);
    EXPECT_FALSE(Fix());
    EXPECT_TRUE(DonePosted(m_hDlg));
    EXPECT_EQ(Text(hButton), L"&Save");
    EXPECT_EQ(Text(hLabel), L"&Name");
}

TEST_F(ShortcutFixerDialog, ParentsAnswerDecidesWhichControlsAreRecorded)
{
    HWND h[4];
    for (int i = 0; i < 4; ++i)
        h[i] = Button(m_hDlg, L"Go", 10 + i);
    m_fixer.SetExcludedIds({ 11, 12 });
    std::map<UINT, BOOL> presetAllowed;
    g_onQuery = [&](UINT id, ShortcutFixerQuery* query) {
        presetAllowed[id] = query->bAllowed;
        if (id == 10) query->bInclude = FALSE;
        if (id == 12) query->bAllowed = TRUE;
    };
    EXPECT_TRUE(Fix());
    EXPECT_EQ(presetAllowed[11], FALSE);
    EXPECT_EQ(presetAllowed[13], TRUE);
    EXPECT_EQ(m_fixer.FindControl(h[0]), nullptr);
    EXPECT_EQ(m_fixer.FindControl(h[1]), nullptr);
    EXPECT_NE(m_fixer.FindControl(h[2]), nullptr);
    EXPECT_NE(m_fixer.FindControl(h[3]), nullptr);
}

TEST_F(ShortcutFixerDialog, MnemonicsAreUniqueAcrossNestedChildDialogs)
{
    HWND hSave = Button(m_hDlg, L"Save");
    HWND hChild = MakeDialog(m_hDlg, DS_CONTROL | WS_CHILD | WS_VISIBLE);
    HWND hSend = Button(hChild, L"Send");
    HWND hInner = MakeDialog(hChild, DS_CONTROL | WS_CHILD | WS_VISIBLE);
    HWND hStop = Add(hInner, L"Button", L"Stop", BS_AUTOCHECKBOX | WS_VISIBLE);
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hSave), L"&Save");
    EXPECT_EQ(Text(hSend), L"S&end");
    EXPECT_EQ(Text(hStop), L"S&top");
}

TEST_F(ShortcutFixerDialog, LabelsGetMnemonicsWhileInputContentStays)
{
    HWND hLabel = Watched(Add(m_hDlg, L"Static", L"&Name:", SS_LEFT | WS_VISIBLE));
    HWND hEdit1 = Add(m_hDlg, L"Edit", L"a&b", WS_VISIBLE);
    HWND hEdit2 = Add(m_hDlg, L"Edit", L"c&d", WS_VISIBLE);
    HWND hOk = Watched(Button(m_hDlg, L"&OK"));
    HWND hEdit3 = Add(m_hDlg, L"Edit", L"e&f", WS_VISIBLE);
    HWND hHiddenEdit = Add(m_hDlg, L"Edit", L"x&y", 0);
    HWND hGroup = Add(m_hDlg, L"Button", L"&Group", BS_GROUPBOX | WS_VISIBLE);
    HWND hOther = Add(m_hDlg, L"ScrollBar", L"&Bar", WS_VISIBLE);
    EXPECT_TRUE(Fix());

    CShortcutFixer::ControlInfo* pLabel = m_fixer.FindControl(hLabel);
    EXPECT_EQ(m_fixer.FindLabelFor(m_fixer.FindControl(hEdit1)), pLabel);
    EXPECT_EQ(m_fixer.FindLabelFor(m_fixer.FindControl(hEdit2)), pLabel);
    EXPECT_EQ(m_fixer.FindLabelFor(m_fixer.FindControl(hEdit3)), nullptr);
    // The label and the button chose again and came out as before: not written back.
    EXPECT_EQ(pLabel->GetShortcut(), L"n");
    EXPECT_EQ(Text(hLabel) + Text(hOk), L"&Name:&OK");
    EXPECT_EQ(g_received[hLabel][WM_SETTEXT] + g_received[hOk][WM_SETTEXT], 0);
    EXPECT_EQ(Text(hGroup), L"Group");
    // Input content and unknown classes keep their '&', hidden or not.
    for (auto [hWnd, text] : { std::pair{ hEdit1, L"a&b" }, { hEdit2, L"c&d" }, { hEdit3, L"e&f" },
                               { hHiddenEdit, L"x&y" }, { hOther, L"&Bar" } })
        EXPECT_EQ(Text(hWnd), text);
}

TEST_F(ShortcutFixerDialog, VisibleLabelOfAHiddenInputLosesItsMark)
{
    HWND hLabel = Add(m_hDlg, L"Static", L"&Secret:", SS_LEFT | WS_VISIBLE);
    Add(m_hDlg, L"Edit", L"", 0);
    Button(m_hDlg, L"OK");
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hLabel), L"Secret:");
}

TEST_F(ShortcutFixerDialog, EqualLengthTextsChooseInCollectionOrder)
{
    std::vector<HWND> buttons;
    for (int i = 0; i < 40; ++i)
        buttons.push_back(Button(m_hDlg, L"abc"));
    HWND hShort = Button(m_hDlg, L"cb");
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hShort), L"&cb");
    EXPECT_EQ(Text(buttons[0]), L"&abc");
    EXPECT_EQ(Text(buttons[1]), L"a&bc");
    for (size_t i = 2; i < buttons.size(); ++i)
        EXPECT_EQ(Text(buttons[i]), L"abc") << i;
}

TEST_F(ShortcutFixerDialog, ParentByParentShorterTextsChooseFirst)
{
    // Sorted over the whole dialog, the shorter "Stop" of the nested dialog
    // would take 's' from "Save As".
    HWND hSaveAs = Button(m_hDlg, L"Save As");
    HWND hStop = Button(MakeDialog(m_hDlg, DS_CONTROL | WS_CHILD | WS_VISIBLE), L"Stop");
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hSaveAs), L"&Save As");
    EXPECT_EQ(Text(hStop), L"S&top");
}

TEST_F(ShortcutFixerDialog, TextsLongerThanAnyFixedBufferComeBackWhole)
{
    const std::wstring tail(1500, L'x');
    HWND hTerms = Add(m_hDlg, L"Static", (L"Terms & conditions" + tail).c_str(), SS_LEFT | WS_VISIBLE);
    HWND hZebra = Button(m_hDlg, (std::wstring(1400, L'x') + L" &Zebra").c_str());
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hTerms), L"Terms  conditions" + tail);
    EXPECT_EQ(Text(hZebra), L"&" + std::wstring(1400, L'x') + L" Zebra");
}

TEST_F(ShortcutFixerDialog, NoPrefixStaticsShowAmpersandsAndLabelNothing)
{
    const wchar_t* kPath = L"C:\\Users\\Tom&Jerry\\setup.exe";
    HWND hPath = Add(m_hDlg, L"Static", kPath, SS_NOPREFIX | WS_VISIBLE);
    HWND hCompany = Add(m_hDlg, L"Static", L"AT&T", SS_NOPREFIX | WS_VISIBLE);
    HWND hEdit = Add(m_hDlg, L"Edit", L"", WS_VISIBLE);
    Button(m_hDlg, L"OK");
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hPath), kPath);
    EXPECT_EQ(Text(hCompany), L"AT&T");
    EXPECT_EQ(m_fixer.FindLabelFor(m_fixer.FindControl(hEdit)), nullptr);
}

TEST_F(ShortcutFixerDialog, FixCalledWhileWritingBackIsRefused)
{
    HWND hSave = Button(m_hDlg, L"Save");
    HWND hOpen = Button(m_hDlg, L"Open");
    NestedFix nested = { &m_fixer, 0, true };
    ::SetWindowSubclass(hSave, FixOnSetText, 2, reinterpret_cast<DWORD_PTR>(&nested));
    EXPECT_TRUE(Fix());
    EXPECT_EQ(nested.calls, 1);
    EXPECT_FALSE(nested.result);
    EXPECT_EQ(Text(hSave) + Text(hOpen), L"&Save&Open");
    ::RemoveWindowSubclass(hSave, FixOnSetText, 2);
}

TEST_F(ShortcutFixerDialog, ExcludedIdsChangeWhatTheNextRunRecords)
{
    HWND hFirst = Button(m_hDlg, L"First", 21);
    HWND hSecond = Button(m_hDlg, L"Second", 22);
    m_fixer.AddExcludedId(21);
    m_fixer.AddExcludedId(22);
    m_fixer.RemoveExcludedId(22);
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hFirst) + Text(hSecond), L"First&Second");
    m_fixer.ClearExcludedIds();
    EXPECT_TRUE(Fix());
    EXPECT_EQ(Text(hFirst), L"&First");
}

TEST_F(ShortcutFixerDialog, AltLetterReachesTheControlInANestedChildDialog)
{
    Button(m_hDlg, L"Open");
    HWND hFile = Watched(Button(MakeDialog(m_hDlg, DS_CONTROL | WS_CHILD | WS_VISIBLE), L"File"));
    ASSERT_TRUE(Fix());
    ASSERT_EQ(m_fixer.FindControl(hFile)->GetShortcut(), L"f");

    MSG msg = SysKeyDown(m_hDlg, 'F');
    {
        AltHeld alt;
        EXPECT_TRUE(m_fixer.PreTranslateMessage(&msg));
        EXPECT_EQ(g_received[hFile][WM_SYSKEYDOWN], 1);
        msg.wParam = VK_F1;
        EXPECT_FALSE(m_fixer.PreTranslateMessage(&msg));
    }
    msg.wParam = 'F';
    EXPECT_FALSE(m_fixer.PreTranslateMessage(&msg));
    EXPECT_EQ(g_received[hFile][WM_SYSKEYDOWN], 1);
    while (::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}   // the WM_SYSCHAR it made
}

TEST_F(ShortcutFixerDialog, AltLetterClicksTheButtonInItsNestedDialog)
{
    // A dialog hosted inside the outer one but keeping its popup style: only
    // its own IsDialogMessage takes messages for its controls.
    HWND hNested = MakeDialog(nullptr, WS_POPUP | WS_VISIBLE);
    ::SetParent(hNested, m_hDlg);
    Button(hNested, L"File", 31);
    ASSERT_TRUE(Fix());
    AltHeld alt;
    MSG msg = SysKeyDown(m_hDlg, 'F');
    ASSERT_TRUE(m_fixer.PreTranslateMessage(&msg));
    RunDialogLoop(hNested);
    EXPECT_EQ(g_received[hNested][WM_COMMAND], 1);
}

TEST_F(ShortcutFixerDialog, AltDigitClicksTheButtonWithThatDigitAlsoInANestedDialog)
{
    HWND hNested = MakeDialog(nullptr, WS_POPUP | WS_VISIBLE);
    ::SetParent(hNested, m_hDlg);
    Button(m_hDlg, L"1 Copy", 41);
    Button(hNested, L"2 Paste", 42);
    ASSERT_TRUE(Fix());
    AltHeld alt;
    for (WPARAM key : { '1', '2' }) {
        MSG msg = SysKeyDown(m_hDlg, key);
        EXPECT_TRUE(m_fixer.PreTranslateMessage(&msg)) << static_cast<char>(key);
        RunDialogLoop(hNested);
    }
    EXPECT_EQ(g_received[m_hDlg][WM_COMMAND], 1);
    EXPECT_EQ(g_received[hNested][WM_COMMAND], 1);
}

TEST_F(ShortcutFixerDialog, AltLetterPassesOverHiddenAndDisabledControls)
{
    HWND hFile = Button(m_hDlg, L"File");
    ASSERT_TRUE(Fix());
    AltHeld alt;
    MSG msg = SysKeyDown(m_hDlg, 'F');
    ::ShowWindow(hFile, SW_HIDE);
    EXPECT_FALSE(m_fixer.PreTranslateMessage(&msg));
    ::ShowWindow(hFile, SW_SHOW);
    ::EnableWindow(hFile, FALSE);
    EXPECT_FALSE(m_fixer.PreTranslateMessage(&msg));
    while (::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
}

TEST_F(ShortcutFixerDialog, AsianAndChineseFixersPutTheirGroupsIntoADialog)
{
    HWND hFile = Button(m_hDlg, L"File(&F)");
    HWND hOpen = Button(m_hDlg, L"&Open");
    HWND hLabel = Add(m_hDlg, L"Static", L"Name", SS_LEFT | WS_VISIBLE);
    Add(m_hDlg, L"Edit", L"", WS_VISIBLE);
    CShortcutFixer_Asia asian;
    asian.SetWindow(m_hDlg);
    EXPECT_TRUE(asian.Fix());
    EXPECT_EQ(Text(hFile) + Text(hOpen) + Text(hLabel), L"File(&F)Open(&A)Name(&B)");
    CShortcutFixer_Chinese chinese;
    chinese.SetWindow(m_hDlg);
    EXPECT_TRUE(chinese.Fix());
    EXPECT_EQ(Text(hFile) + Text(hOpen) + Text(hLabel), L"File[&A]Open[&B]Name[&C]");
}

}  // namespace
