// The remembering message box with real system boxes, driven by a second
// thread, and its registry value under product line 1's scope.
#include "BoxDriver.h"
#include "HelpStringIds.h"
#include "LocalizationDictionary.h"
#include "OzuConditionalMessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace helptest;

namespace {

const wchar_t kValue[] = L"QuorTestAnswer";

// What the driver saw of a box.
struct BoxLook
{
    bool hasCheckBox = false;
    bool checkBoxVisible = false;
    std::wstring checkBoxCaption;
    RECT checkBox = {};
    int buttonsTop = INT_MAX;
    int buttonsLeft = INT_MAX;
    int clientWidth = 0;
    int dluX7 = 0, dluY7 = 0;
    std::wstring text;               // the box's text control (id 0xFFFF)
    bool textIsMarkupControl = false;
};

BoxLook Look(HWND hBox)
{
    BoxLook look;
    HWND hCheck = GetDlgItem(hBox, IDC_OZU_REMEMBER_ANSWER);
    look.hasCheckBox = hCheck != nullptr;
    if (hCheck != nullptr) {
        look.checkBoxVisible = IsWindowVisible(hCheck) != FALSE;
        look.checkBoxCaption = WindowText(hCheck);
        look.checkBox = ClientRectOf(hBox, hCheck);
    }
    for (int id = IDOK; id <= IDHELP; ++id) {
        if (HWND hButton = GetDlgItem(hBox, id)) {
            const RECT rect = ClientRectOf(hBox, hButton);
            look.buttonsTop = std::min(look.buttonsTop, static_cast<int>(rect.top));
            look.buttonsLeft = std::min(look.buttonsLeft, static_cast<int>(rect.left));
        }
    }
    RECT client = {};
    GetClientRect(hBox, &client);
    look.clientWidth = client.right;
    look.dluX7 = DluX(hBox, 7);
    look.dluY7 = DluY(hBox, 7);
    HWND hText = GetDlgItem(hBox, 0xFFFF);
    look.text = WindowText(hText);
    CWnd* pText = CWnd::FromHandlePermanent(hText);
    look.textIsMarkupControl = pText != nullptr && pText->IsKindOf(RUNTIME_CLASS(COzuXHTMLStatic));
    return look;
}

// Ticks the check box (as a click does) when there is one, then presses the button.
std::function<void(HWND)> LookTickAndPress(BoxLook& look, bool tick, int button)
{
    return [&look, tick, button](HWND hBox) {
        look = Look(hBox);
        if (tick && look.hasCheckBox)
            SendMessageW(GetDlgItem(hBox, IDC_OZU_REMEMBER_ANSWER), BM_CLICK, 0, 0);
        PressButton(hBox, button);
    };
}

class ConditionalMessageBox : public ::testing::Test
{
protected:
    void SetUp() override { DeleteScopeKey(); }
    void TearDown() override
    {
        DeleteScopeKey();
        AfxSetMessageBoxPresenter(nullptr);
    }
    CHelpTestApp m_app;
};

TEST(MessageBoxMarkup, LinesAndTagsSplitIntoPlainAndMarkupText)
{
    CString plain, markup;
    SplitMessageBoxMarkup(L"First <b>line</b>\nsecond <a href=\"x\">line</a>", plain, markup);
    EXPECT_EQ(CString(L"First line\n second line\n"), plain);
    EXPECT_EQ(CString(L"First <b>line</b><br> second <a href=\"x\">line</a>"), markup);

    // A "<" with no ">" after it keeps the rest as it is.
    SplitMessageBoxMarkup(L"a <i>b</i> 1 < 2", plain, markup);
    EXPECT_EQ(CString(L"a b 1 < 2\n"), plain);
}

TEST_F(ConditionalMessageBox, TickedAnswerIsStoredAndLaterBoxesReturnItUnseen)
{
    COzuConditionalMessageBox box(kValue, 2, 1, OZU_MB_CHECKBOX | OZU_MB_MARKUP);
    BoxLook look;
    CBoxDriver driver(LookTickAndPress(look, true, IDYES));
    EXPECT_EQ(IDYES, box.DoMessageBox(L"Keep <b>it</b>?\nSee <a href=\"https://www.quor.example\">the site</a>.",
                                      MB_YESNO | MB_ICONQUESTION, 0));
    ASSERT_TRUE(driver.Seen());

    // The marked-up text lies over the box's text; the system's box has the plain text.
    EXPECT_TRUE(look.textIsMarkupControl);
    EXPECT_EQ(L"Keep <b>it</b>?<br> See <a href=\"https://www.quor.example\">the site</a>.", look.text);
    // The check box sits where the buttons began, 7 units from the left; the
    // buttons moved down by its height and 7 units.
    ASSERT_TRUE(look.hasCheckBox);
    EXPECT_TRUE(look.checkBoxVisible);
    EXPECT_EQ(L"Do not show this message again", look.checkBoxCaption);
    EXPECT_EQ(look.dluX7, look.checkBox.left);
    EXPECT_EQ(look.buttonsTop, look.checkBox.bottom + look.dluY7);

    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadScopeValue(kValue, type, bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string("\x06\0\0\0", 4), bytes);

    // Remembered: nothing is shown, also for another text and type.
    COzuConditionalMessageBox again(kValue, 2, 1, OZU_MB_CHECKBOX);
    EXPECT_EQ(IDYES, again.DoMessageBox(L"Something else", MB_OKCANCEL, 0));
}

// Makes a window of its own before the system's box, which must not be taken for it.
int g_nStaticsMade = 0;
int PresentAfterAnotherWindow(HWND hOwner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    HWND hOther = CreateWindowW(L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ++g_nStaticsMade;
    const int result = MessageBoxW(hOwner, text, caption, type);
    const bool otherTaken = CWnd::FromHandlePermanent(hOther) != nullptr;
    DestroyWindow(hOther);
    return otherTaken ? -1 : result;
}

TEST_F(ConditionalMessageBox, CancelStoresNothingAndOnlyTheSystemBoxIsTaken)
{
    AfxSetMessageBoxPresenter(PresentAfterAnotherWindow);
    COzuConditionalMessageBox box(kValue, 2, 1, OZU_MB_CHECKBOX);
    BoxLook look;
    CBoxDriver driver(LookTickAndPress(look, true, IDCANCEL));
    EXPECT_EQ(IDCANCEL, box.DoMessageBox(L"Go on?", MB_OKCANCEL, 0));
    ASSERT_TRUE(driver.Seen());
    EXPECT_EQ(1, g_nStaticsMade);
    EXPECT_TRUE(look.hasCheckBox);
    EXPECT_FALSE(look.textIsMarkupControl);
    EXPECT_FALSE(ScopeKeyExists());
}

TEST_F(ConditionalMessageBox, AskingLeavesNoKeyAndOnlyAFourByteDwordCounts)
{
    {
        COzuConditionalMessageBox box(kValue, 2, 1, OZU_MB_CHECKBOX);
        BoxLook look;
        CBoxDriver driver(LookTickAndPress(look, false, IDOK));
        EXPECT_EQ(IDOK, box.DoMessageBox(L"Fine?", MB_OKCANCEL, 0));
        EXPECT_TRUE(driver.Seen());
    }
    EXPECT_FALSE(ScopeKeyExists());

    // A two-byte REG_DWORD and a binary value of IDYES are no remembered answers.
    const BYTE yes[4] = {IDYES, 0, 0, 0};
    for (DWORD size : {2u, 4u}) {
        WriteScopeValue(kValue, size == 2 ? REG_DWORD : REG_BINARY, yes, size);
        COzuConditionalMessageBox box(kValue, 2, 1, 0);
        BoxLook look;
        CBoxDriver driver(LookTickAndPress(look, false, IDNO));
        EXPECT_EQ(IDNO, box.DoMessageBox(L"Again?", MB_YESNO, 0));
        EXPECT_TRUE(driver.Seen()) << size;
    }
}

TEST_F(ConditionalMessageBox, WithoutCheckBoxTheBoxStillWidensForTheCaption)
{
    BoxLook plain;
    {
        CBoxDriver driver(LookTickAndPress(plain, false, IDOK));
        AfxMessageBox(L"Hi", MB_OK);
        ASSERT_TRUE(driver.Seen());
    }
    COzuConditionalMessageBox box(kValue, 2, 1, 0);
    BoxLook look;
    CBoxDriver driver(LookTickAndPress(look, true, IDOK));
    EXPECT_EQ(IDOK, box.DoMessageBox(L"Hi", MB_OK, 0));
    ASSERT_TRUE(driver.Seen());

    EXPECT_FALSE(look.hasCheckBox);
    const int growth = look.clientWidth - plain.clientWidth;
    EXPECT_GT(growth, 0);
    EXPECT_EQ(plain.buttonsLeft + growth / 2, look.buttonsLeft);
    EXPECT_EQ(plain.buttonsTop, look.buttonsTop);
    EXPECT_FALSE(ScopeKeyExists());
}

TEST_F(ConditionalMessageBox, TranslatedPromptShowsWithoutItsLinks)
{
    GetLocalizationDictionary()->Insert(L"Read the guide.\n", L"Lesen Sie die Anleitung.");
    COzuConditionalMessageBox box(kValue, 2, 1, OZU_MB_MARKUP);
    BoxLook look;
    CBoxDriver driver(LookTickAndPress(look, false, IDOK));
    EXPECT_EQ(IDOK, box.DoMessageBox(L"Read the <a href=\"https://www.quor.example\">guide</a>.", MB_OK, 0));
    ASSERT_TRUE(driver.Seen());
    EXPECT_EQ(L"Lesen Sie die Anleitung.", look.text);
    EXPECT_FALSE(look.textIsMarkupControl);
}

int AnswerUnseen(HWND, LPCWSTR, LPCWSTR, UINT)
{
    return IDOK;
}

TEST_F(ConditionalMessageBox, NoBoxWindowLeavesNoCreationHookBehind)
{
    AfxSetMessageBoxPresenter(AnswerUnseen);
    COzuConditionalMessageBox box(kValue, 2, 1, OZU_MB_CHECKBOX);
    EXPECT_EQ(IDOK, box.DoMessageBox(L"Unseen", MB_OK, 0));
    // Nothing is left waiting for this thread's next window.
    EXPECT_TRUE(AfxUnhookWindowCreate());
}

}  // namespace
