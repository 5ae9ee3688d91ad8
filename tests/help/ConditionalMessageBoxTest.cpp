// The remembering message box on real system boxes, answered by a box
// driver, and its value under product line 1's scope.
#include "HelpTestSupport.h"
#include "LocalizationDictionary.h"
#include "OzuConditionalMessageBox.h"

#include <gtest/gtest.h>

using namespace helptest;

namespace {

const wchar_t kValue[] = L"QuorTestAnswer";

// Looks at the box (LookAt), ticks its check box when asked (as a click does), presses the button.
std::function<void(HWND)> Answer(BoxLook& look, int button, bool tick = false)
{
    return [&look, button, tick](HWND hBox) {
        LookAt(hBox, look);
        if (tick && look.hCheck)
            SendMessageW(look.hCheck, BM_CLICK, 0, 0);
        PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    };
}

class ConditionalMessageBox : public ::testing::Test
{
protected:
    void SetUp() override { RegDeleteKeyW(HKEY_CURRENT_USER, ScopeKeyPath().c_str()); }
    void TearDown() override
    {
        RegDeleteKeyW(HKEY_CURRENT_USER, ScopeKeyPath().c_str());
        AfxSetMessageBoxPresenter(nullptr);
    }
    static bool KeyExists()
    {
        HKEY hKey = nullptr;
        const bool exists = !RegOpenKeyExW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), 0, KEY_READ, &hKey);
        RegCloseKey(hKey);
        return exists;
    }
    CHelpTestApp m_app;
};

TEST(MessageBoxMarkup, SplitsIntoPlainAndMarkupText)
{
    CString plain, markup;
    SplitMessageBoxMarkup(L"One <b>x</b>\ntwo 1 < 2", plain, markup);
    EXPECT_EQ(CString(L"One x\n two 1 < 2\n"), plain);   // a "<" without ">" keeps the rest
    EXPECT_EQ(CString(L"One <b>x</b><br> two 1 < 2"), markup);
}

TEST_F(ConditionalMessageBox, TickedAnswerIsStoredAndLaterBoxesReturnItUnseen)
{
    COzuConditionalMessageBox box(kValue, 2, 1, OZU_MB_CHECKBOX | OZU_MB_MARKUP);
    BoxLook look;
    CBoxDriver driver(Answer(look, IDYES, true));
    EXPECT_EQ(IDYES, box.DoMessageBox(L"Keep <b>it</b>?\nSee <a href=\"https://x.example\">this</a>.",
                                      MB_YESNO | MB_HELP, 0));
    ASSERT_TRUE(driver.Seen());
    EXPECT_TRUE(look.textIsMarkupControl);
    EXPECT_EQ(L"Keep <b>it</b>?<br> See <a href=\"https://x.example\">this</a>.", look.text);
    // The check box took the buttons' place, 7 units from the left, as wide as
    // its caption and 12 units for the box; every button, Help too, moved below it.
    ASSERT_NE(nullptr, look.hCheck);
    EXPECT_EQ(look.dluX7, look.check.left);
    EXPECT_EQ(look.captionWidth + look.dluX12, look.check.right - look.check.left);
    EXPECT_EQ(look.buttonsTop, look.check.bottom + look.dluY7);
    EXPECT_TRUE(look.buttonsInClient);

    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadScopeValue(kValue, type, bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string("\x06\0\0\0", 4), bytes);
    EXPECT_EQ(IDYES, COzuConditionalMessageBox(kValue, 2, 1, 0).DoMessageBox(L"Other", MB_OKCANCEL, 0));
    // Kept across a restart: the key is not volatile (a volatile key refuses
    // a lasting sub-key).
    HKEY hChild = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (ScopeKeyPath() + L"\\Lasting").c_str(), 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &hChild, nullptr));
    RegCloseKey(hChild);
    RegDeleteKeyW(HKEY_CURRENT_USER, (ScopeKeyPath() + L"\\Lasting").c_str());
}

// Only a four-byte REG_DWORD other than 0 and Cancel is an answer: for every
// other stored value the box shows.
TEST_F(ConditionalMessageBox, StoredValuesThatAreNoAnswerLetTheBoxShow)
{
    const DWORD cancel = IDCANCEL, none = 0, yes = IDYES;
    const unsigned long long wideYes = IDYES;
    const struct
    {
        DWORD type;
        const void* data;
        DWORD size;
    } stored[] = {{REG_DWORD, &cancel, 4}, {REG_DWORD, &none, 4},         {REG_BINARY, &yes, 4},
                  {REG_DWORD_BIG_ENDIAN, &yes, 4}, {REG_QWORD, &wideYes, 8}, {REG_SZ, L"6", 4}};
    static int shown;
    shown = 0;
    AfxSetMessageBoxPresenter([](HWND, LPCWSTR, LPCWSTR, UINT) { return ++shown, IDNO; });
    for (const auto& value : stored) {
        RegSetKeyValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), kValue, value.type, value.data, value.size);
        EXPECT_EQ(IDNO, COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_CHECKBOX).DoMessageBox(L"Again?", MB_YESNO, 0))
            << "type " << value.type;
    }
    EXPECT_EQ(6, shown);
}

// A marked-up text in a larger font needs more lines than the system's box
// made room for: the check box and the buttons go below all of them.
TEST_F(ConditionalMessageBox, GrownMarkupPushesTheCheckBoxAndButtonsBelowItsLines)
{
    BoxLook look;
    RECT text = {};
    int linesHeight = 0;
    CBoxDriver driver([&](HWND hBox) {
        LookAt(hBox, look);
        HWND hText = GetDlgItem(hBox, 0xFFFF);
        text = InClient(hBox, hText);
        COzuXHTMLStatic probe;
        linesHeight = probe.MeasureMarkup(RECT{0, 0, text.right - text.left, 0}, look.text.c_str(),
                                          reinterpret_cast<HFONT>(SendMessageW(hText, WM_GETFONT, 0, 0)));
        PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    });
    COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_CHECKBOX | OZU_MB_MARKUP)
        .DoMessageBox(L"<font size=\"12\">Large words that need more lines than the plain text</font>", MB_OK, 0);
    ASSERT_TRUE(driver.Seen());
    ASSERT_TRUE(look.textIsMarkupControl);
    ASSERT_NE(nullptr, look.hCheck);
    EXPECT_GE(text.bottom - text.top, linesHeight);
    EXPECT_LE(text.top + linesHeight, look.check.top);
    EXPECT_EQ(look.buttonsTop, look.check.bottom + look.dluY7);
    EXPECT_TRUE(look.buttonsInClient);
}

// Makes a window of its own before the system's box; it must not be taken for the box.
int PresentAfterAnotherWindow(HWND hOwner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    HWND hOther = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    const int result = MessageBoxW(hOwner, text, caption, type);
    const bool taken = CWnd::FromHandlePermanent(hOther) != nullptr;
    DestroyWindow(hOther);
    return taken ? -1 : result;
}

// Shows dialog 300 in place of the system's box: the same window class, so
// the box takes it, with a Help button and the further control 0xCAFE.
INT_PTR CALLBACK EndOnCommand(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND)
        EndDialog(hDlg, LOWORD(wParam));
    return message == WM_INITDIALOG;
}

int PresentDialogWithFurtherControl(HWND hOwner, LPCWSTR, LPCWSTR, UINT)
{
    return static_cast<int>(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(300), hOwner, EndOnCommand, 0));
}

TEST_F(ConditionalMessageBox, HelpAndTheFurtherControlMoveWithTheButtonsAndTheFurtherControlWidens)
{
    AfxSetMessageBoxPresenter(PresentDialogWithFurtherControl);
    // Left, top, width and height of the template's controls, in pixels, and as shown.
    RECT ok = {4, 28, 24, 14}, help = {30, 28, 24, 14}, further = {56, 28, 20, 14}, shownOk, shownHelp, shownFurther;
    int clientWidth = 0;
    CBoxDriver driver([&](HWND hBox) {
        for (RECT* rect : {&ok, &help, &further})
            MapDialogRect(hBox, rect);
        shownOk = InClient(hBox, GetDlgItem(hBox, IDOK));
        shownHelp = InClient(hBox, GetDlgItem(hBox, IDHELP));
        shownFurther = InClient(hBox, GetDlgItem(hBox, 0xCAFE));
        RECT client = {};
        GetClientRect(hBox, &client);
        clientWidth = client.right;
        PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_CHECKBOX).DoMessageBox(L"Narrow", MB_OK, 0));
    ASSERT_TRUE(driver.Seen());
    const int dx = shownOk.left - ok.left, dy = shownOk.top - ok.top;
    EXPECT_GT(dx, 0);   // half the widening
    EXPECT_GT(dy, 0);   // below the check box
    EXPECT_EQ(help.left + dx, shownHelp.left);
    EXPECT_EQ(help.top + dy, shownHelp.top);
    EXPECT_EQ(further.top + dy, shownFurther.top);
    EXPECT_EQ(further.left + dx - clientWidth / 2, shownFurther.left);
    EXPECT_EQ(further.right + 2 * (clientWidth / 2), shownFurther.right - shownFurther.left);
}

TEST_F(ConditionalMessageBox, CancelStoresNothingAndAskingCreatesNoKey)
{
    AfxSetMessageBoxPresenter(PresentAfterAnotherWindow);
    BoxLook look;
    CBoxDriver driver(Answer(look, IDCANCEL, true));
    EXPECT_EQ(IDCANCEL, COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_CHECKBOX).DoMessageBox(L"Go?", MB_OKCANCEL, 0));
    ASSERT_TRUE(driver.Seen());
    EXPECT_NE(nullptr, look.hCheck);
    EXPECT_FALSE(KeyExists());
}

TEST_F(ConditionalMessageBox, WithoutCheckBoxTheBoxWidensForTheCaptionAndAShortDwordIsNoAnswer)
{
    BoxLook plain, look;
    {
        CBoxDriver driver(Answer(plain, IDOK));
        AfxMessageBox(L"Hi", MB_OK);
    }
    const WORD shortYes = IDYES;
    RegSetKeyValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), kValue, REG_DWORD, &shortYes, sizeof(shortYes));
    CBoxDriver driver(Answer(look, IDOK, true));
    EXPECT_EQ(IDOK, COzuConditionalMessageBox(kValue, 2, 1, 0).DoMessageBox(L"Hi", MB_OK, 0));
    ASSERT_TRUE(driver.Seen());
    EXPECT_EQ(nullptr, look.hCheck);
    const int growth = look.clientWidth - plain.clientWidth;
    EXPECT_GT(growth, 0);
    EXPECT_EQ(plain.buttonsLeft + growth / 2, look.buttonsLeft);
    EXPECT_EQ(plain.buttonsTop, look.buttonsTop);
}

// A box too narrow for the check box grows to hold it with 7 units on either
// side, and grows below it by its height and 7 units, where the buttons go.
TEST_F(ConditionalMessageBox, NarrowBoxGrowsToHoldTheCheckBoxWithinItsMargins)
{
    BoxLook plain, look;
    {
        CBoxDriver driver(Answer(plain, IDOK));
        AfxMessageBox(L"Hi", MB_OK);
    }
    CBoxDriver driver(Answer(look, IDOK));
    EXPECT_EQ(IDOK, COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_CHECKBOX).DoMessageBox(L"Hi", MB_OK, 0));
    ASSERT_TRUE(driver.Seen());
    ASSERT_NE(nullptr, look.hCheck);
    ASSERT_GT(look.clientWidth, plain.clientWidth);
    EXPECT_EQ(look.dluX7, look.check.left);
    EXPECT_EQ(look.clientWidth, look.check.right + look.dluX7);
    EXPECT_EQ(plain.buttonsTop, look.check.top);
    EXPECT_EQ(look.buttonsTop, look.check.bottom + look.dluY7);
    EXPECT_TRUE(look.buttonsInClient);
}

TEST_F(ConditionalMessageBox, TranslatedPromptShowsWithoutItsLinks)
{
    GetLocalizationDictionary()->Insert(L"Read the guide.\n", L"Lesen Sie die Anleitung.");
    BoxLook look;
    CBoxDriver driver(Answer(look, IDOK));
    COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_MARKUP).DoMessageBox(L"Read the <a href=\"x\">guide</a>.", MB_OK, 0);
    GetLocalizationDictionary()->Clear();
    ASSERT_TRUE(driver.Seen());
    EXPECT_EQ(L"Lesen Sie die Anleitung.", look.text);
    EXPECT_FALSE(look.textIsMarkupControl);
}

TEST_F(ConditionalMessageBox, NoBoxWindowLeavesNoCreationHookBehind)
{
    AfxSetMessageBoxPresenter([](HWND, LPCWSTR, LPCWSTR, UINT) { return IDOK; });
    EXPECT_EQ(IDOK, COzuConditionalMessageBox(kValue, 2, 1, OZU_MB_CHECKBOX).DoMessageBox(L"Unseen", MB_OK, 0));
    EXPECT_TRUE(AfxUnhookWindowCreate());   // nothing waits for this thread's next window
}

}  // namespace
