#include "LocalizationTestApp.h"
#include "LocalizedStrings.h"
#include "SystemLibrary.h"
#include "localization_test_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CTranslateDlg : public CDialog
{
public:
    CTranslateDlg() : CDialog(IDD_TRANSLATE) {}

    CComboBox m_plain;
    CComboBox m_sorted;
    CComboBox m_withData;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        for (const wchar_t* item : { L"Welcome", L"Cancel", L"Unknown item" })
            m_plain.AddString(item);
        m_plain.SetCurSel(1);
        for (const wchar_t* item : { L"Cancel", L"Welcome", L"B-item" })
            m_sorted.AddString(item);
        m_sorted.SetCurSel(1);  // "Cancel" (after "B-item")
        m_withData.AddString(L"Welcome");
        m_withData.SetItemData(m_withData.AddString(L"Cancel"), 5);
        m_withData.SetCurSel(0);
        ::SendDlgItemMessageW(m_hWnd, IDC_COMBO_NO_OBJECT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Cancel"));

        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = 0;
        item.pszText = const_cast<LPWSTR>(L"Cancel");
        HWND hEx = ::GetDlgItem(m_hWnd, IDC_COMBOEX);
        ::SendMessageW(hEx, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        ::SendMessageW(hEx, CB_SETCURSEL, 0, 0);
        return TRUE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_COMBO_PLAIN, m_plain);
        DDX_Control(pDX, IDC_COMBO_SORTED, m_sorted);
        DDX_Control(pDX, IDC_COMBO_DATA, m_withData);
    }
};

std::wstring TextOf(HWND hWnd)
{
    wchar_t buf[256] = {};
    ::GetWindowTextW(hWnd, buf, 256);
    return buf;
}

std::wstring Item(CComboBox& combo, int index)
{
    CString text;
    combo.GetLBText(index, text);
    return text.GetString();
}

std::wstring MenuText(HMENU hMenu, UINT pos)
{
    wchar_t buf[128] = {};
    ::GetMenuStringW(hMenu, pos, buf, 128, MF_BYPOSITION);
    return buf;
}

class TranslateWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES };
        SystemLibrary::InitCommonControlsEx(&icc);
        ASSERT_TRUE(dlg.Create(IDD_TRANSLATE));
    }
    void TearDown() override
    {
        if (dlg.m_hWnd)
            dlg.DestroyWindow();
        AfxDeleteTempMaps();
    }
    HWND Item(int id) const { return ::GetDlgItem(dlg.m_hWnd, id); }

    CTestApp app{LOCALIZATION_DICTIONARY};
    CTranslateDlg dlg;
};

TEST_F(TranslateWindowTest, GermanDialogWithChildrenCombosAndMenu)
{
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, nullptr);

    EXPECT_EQ(L"Willkommen", TextOf(dlg.m_hWnd));
    EXPECT_EQ(L"Extrahieren fehlgeschlagen", TextOf(Item(IDC_FAILED_LABEL)));
    EXPECT_EQ(L"Abbrechen", TextOf(Item(IDCANCEL)));               // "&Cancel" found as "Cancel"
    EXPECT_EQ(L"Text of no dictionary", TextOf(Item(IDC_UNKNOWN_LABEL)));

    // Combo box with a window object: items translated, selection kept.
    ASSERT_EQ(3, dlg.m_plain.GetCount());
    EXPECT_EQ(L"Willkommen", ::Item(dlg.m_plain, 0));
    EXPECT_EQ(L"Abbrechen", ::Item(dlg.m_plain, 1));
    EXPECT_EQ(L"Unknown item", ::Item(dlg.m_plain, 2));
    EXPECT_EQ(1, dlg.m_plain.GetCurSel());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0u, dlg.m_plain.GetItemData(i));

    // Sorted: the selected item stays selected at its new place.
    ASSERT_EQ(3, dlg.m_sorted.GetCount());
    EXPECT_EQ(L"Abbrechen", ::Item(dlg.m_sorted, 0));
    EXPECT_EQ(L"B-item", ::Item(dlg.m_sorted, 1));
    EXPECT_EQ(0, dlg.m_sorted.GetCurSel());
    EXPECT_EQ(0u, dlg.m_sorted.GetItemData(0));

    // Item data: the box is left alone.
    EXPECT_EQ(L"Welcome", ::Item(dlg.m_withData, 0));
    EXPECT_EQ(L"Cancel", ::Item(dlg.m_withData, 1));
    EXPECT_EQ(5u, dlg.m_withData.GetItemData(1));
    EXPECT_EQ(0, dlg.m_withData.GetCurSel());

    // No CComboBox object: a plain window, items untouched.
    wchar_t buf[64] = {};
    ::SendMessageW(Item(IDC_COMBO_NO_OBJECT), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(L"Cancel", buf);

    // Drop-down ComboBoxEx32: skipped whole, its edit keeps the English text.
    HWND hEx = Item(IDC_COMBOEX);
    EXPECT_TRUE(IsComboBoxEx(hEx));
    HWND hEdit = reinterpret_cast<HWND>(::SendMessageW(hEx, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, hEdit);
    EXPECT_EQ(L"Cancel", TextOf(hEdit));

    // Menu: texts translated, submenu, ids and states kept, separator untouched.
    HMENU hMenu = ::GetMenu(dlg.m_hWnd);
    ASSERT_NE(nullptr, hMenu);
    EXPECT_EQ(L"Willkommen", MenuText(hMenu, 0));
    HMENU hSub = ::GetSubMenu(hMenu, 0);
    ASSERT_NE(nullptr, hSub);
    EXPECT_EQ(L"Abbrechen", MenuText(hSub, 0));
    EXPECT_EQ(static_cast<UINT>(IDM_CANCEL_ITEM), ::GetMenuItemID(hSub, 0));
    UINT state = ::GetMenuState(hSub, 0, MF_BYPOSITION);
    EXPECT_TRUE(state & MF_GRAYED);
    EXPECT_TRUE(state & MF_CHECKED);
    EXPECT_TRUE(::GetMenuState(hSub, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(L"Extrahieren fehlgeschlagen", MenuText(hSub, 2));
    EXPECT_EQ(static_cast<UINT>(IDM_FAILED_ITEM), ::GetMenuItemID(hSub, 2));
}

TEST_F(TranslateWindowTest, SimpleComboBoxExIsEnteredLikeAnyChild)
{
    HWND hEx = Item(IDC_COMBOEX);
    ::SetWindowLongPtrW(hEx, GWL_STYLE, (::GetWindowLongPtrW(hEx, GWL_STYLE) & ~0x3) | CBS_SIMPLE);
    EXPECT_FALSE(IsComboBoxEx(hEx));
    EXPECT_FALSE(IsComboBoxEx(Item(IDC_COMBO_PLAIN)));

    // Entered like any child: the edit inside it is translated.
    HWND hEdit = reinterpret_cast<HWND>(::SendMessageW(hEx, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, hEdit);
    ASSERT_EQ(L"Cancel", TextOf(hEdit));
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, nullptr);
    EXPECT_EQ(L"Abbrechen", TextOf(hEdit));
}

TEST_F(TranslateWindowTest, EnglishWithoutCacheLeavesTheWindowUntouched)
{
    // The English table knows "Cancel": a translation would drop the '&'.
    ASSERT_EQ(0u, app.SetUILanguage(L"ENU", L""));
    TranslateWindow(&dlg, nullptr);
    EXPECT_EQ(L"&Cancel", TextOf(Item(IDCANCEL)));
    CWindowTextCache cache;
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"Cancel", TextOf(Item(IDCANCEL)));
}

TEST_F(TranslateWindowTest, SortedBoxKeepsTheSelectedItemThroughLanguageSwitches)
{
    auto selected = [this] {
        const int i = dlg.m_sorted.GetCurSel();
        return i < 0 ? std::wstring(L"<none>") : ::Item(dlg.m_sorted, i);
    };
    ASSERT_EQ(L"Cancel", selected());
    CWindowTextCache cache;
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"Abbrechen", selected());
    ASSERT_EQ(0u, app.SetUILanguage(L"FRA", L""));
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"Annuler", selected());
    ASSERT_EQ(0u, app.SetUILanguage(L"", L""));
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"Cancel", selected());
    EXPECT_EQ(L"B-item", ::Item(dlg.m_sorted, 0));
}

TEST_F(TranslateWindowTest, CacheRestoresEnglishOnTheNextPass)
{
    CWindowTextCache cache;
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"Abbrechen", TextOf(Item(IDCANCEL)));
    EXPECT_EQ(L"Abbrechen", ::Item(dlg.m_plain, 1));

    ASSERT_EQ(0u, app.SetUILanguage(L"FRA", L""));
    TranslateWindow(&dlg, &cache);   // from the stored English texts, not from the German ones
    EXPECT_EQ(L"Annuler", TextOf(Item(IDCANCEL)));
    EXPECT_EQ(L"Bienvenue", TextOf(dlg.m_hWnd));

    ASSERT_EQ(0u, app.SetUILanguage(L"", L""));   // neutral: empty table
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"&Cancel", TextOf(Item(IDCANCEL)));
    EXPECT_EQ(L"Welcome", TextOf(dlg.m_hWnd));
    EXPECT_EQ(L"Extraction failed", TextOf(Item(IDC_FAILED_LABEL)));
    EXPECT_EQ(L"Welcome", ::Item(dlg.m_plain, 0));
    EXPECT_EQ(L"Cancel", ::Item(dlg.m_plain, 1));
    EXPECT_EQ(1, dlg.m_plain.GetCurSel());
    EXPECT_TRUE(cache.HasComboItems(dlg.m_plain.m_hWnd));
    EXPECT_FALSE(cache.HasText(Item(IDC_COMBO_NO_OBJECT)));   // its empty text is not kept
}

// Typed text that is no item stays while the items are rebuilt.
TEST_F(TranslateWindowTest, TypedTextOfAnEditableComboBoxIsKept)
{
    CComboBox editable;
    ASSERT_TRUE(editable.Create(WS_CHILD | CBS_DROPDOWN, CRect(10, 100, 110, 180), &dlg, 250));
    editable.AddString(L"Welcome");
    editable.SetWindowText(L"server.example:8080");
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, nullptr);
    EXPECT_EQ(L"Willkommen", ::Item(editable, 0));
    EXPECT_EQ(L"server.example:8080", TextOf(editable.m_hWnd));
}

// A language switch keeps what the user typed into an edit; an edit that
// still holds the first pass's text is translated again from its source.
TEST_F(TranslateWindowTest, LanguageSwitchKeepsWhatTheUserTypedIntoAnEdit)
{
    HWND typedInto = ::CreateWindowExW(0, L"Edit", L"C:\\Program Files\\Quor", WS_CHILD, 0, 0, 200, 14,
                                       dlg.m_hWnd, nullptr, nullptr, nullptr);
    HWND untouched = ::CreateWindowExW(0, L"Edit", L"Welcome", WS_CHILD, 0, 0, 200, 14,
                                       dlg.m_hWnd, nullptr, nullptr, nullptr);
    CWindowTextCache cache;
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, &cache);
    ::SetWindowTextW(typedInto, L"D:\\Apps\\Quor");
    ASSERT_EQ(0u, app.SetUILanguage(L"FRA", L""));
    TranslateWindow(&dlg, &cache);
    EXPECT_EQ(L"D:\\Apps\\Quor", TextOf(typedInto));
    EXPECT_EQ(L"Bienvenue", TextOf(untouched));
}

TEST_F(TranslateWindowTest, OnlyTheDictionaryKindTranslates)
{
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    InstallLocalizationStrategy(LOCALIZATION_NONE);
    TranslateWindow(&dlg, nullptr);
    EXPECT_EQ(L"&Cancel", TextOf(Item(IDCANCEL)));
    InstallLocalizationStrategy(LOCALIZATION_DICTIONARY);
}

// A two-page sheet: the system makes a page's window when it is first shown,
// so the second page has none until something activates it.
class TranslatePropertySheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_TAB_CLASSES };
        SystemLibrary::InitCommonControlsEx(&icc);
        sheet.AddPage(&shown);
        sheet.AddPage(&neverShown);
        ASSERT_TRUE(sheet.Create());
        ASSERT_EQ(nullptr, neverShown.m_hWnd);
    }
    void TearDown() override
    {
        sheet.DestroyWindow();
        AfxDeleteTempMaps();
    }

    CTestApp app{LOCALIZATION_DICTIONARY};
    CPropertyPage shown{IDD_PAGE_SHOWN};
    CPropertyPage neverShown{IDD_PAGE_NEVER_SHOWN};
    CPropertySheet sheet{L"Welcome"};
};

TEST_F(TranslatePropertySheet, EveryPageIsTranslatedAndTheShownPageStaysShown)
{
    ASSERT_EQ(0, sheet.GetActiveIndex());
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&sheet, nullptr);

    EXPECT_EQ(L"Willkommen", TextOf(sheet.m_hWnd));
    EXPECT_EQ(L"Extrahieren fehlgeschlagen", TextOf(::GetDlgItem(shown.m_hWnd, IDC_PAGE_LABEL)));
    ASSERT_NE(nullptr, neverShown.m_hWnd);
    EXPECT_EQ(L"Abbrechen", TextOf(::GetDlgItem(neverShown.m_hWnd, IDC_PAGE_LABEL)));
    // A page's caption is its tab's label: both keep it.
    EXPECT_EQ(L"Welcome", TextOf(shown.m_hWnd));
    EXPECT_EQ(L"Welcome", TextOf(neverShown.m_hWnd));
    EXPECT_EQ(0, sheet.GetActiveIndex());
}

// The page that the German pass created by activating it keeps its English
// texts in the cache too: the pass back to English restores them.
TEST_F(TranslatePropertySheet, CreatedPageComesBackToEnglishFromTheCache)
{
    CWindowTextCache cache;
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&sheet, &cache);
    ASSERT_NE(nullptr, neverShown.m_hWnd);
    ASSERT_EQ(L"Abbrechen", TextOf(::GetDlgItem(neverShown.m_hWnd, IDC_PAGE_LABEL)));

    ASSERT_EQ(0u, app.SetUILanguage(L"", L""));
    TranslateWindow(&sheet, &cache);
    EXPECT_EQ(L"Extraction failed", TextOf(::GetDlgItem(shown.m_hWnd, IDC_PAGE_LABEL)));
    EXPECT_EQ(L"&Cancel", TextOf(::GetDlgItem(neverShown.m_hWnd, IDC_PAGE_LABEL)));
}

// The system may make an input-method window of its own while a thread's
// window is being created, before that window. This hook stands in for it:
// it makes one as the next window's creation begins, ahead of the framework's
// hook (hooks installed later run first).
HWND g_hInputMethodWindow = nullptr;
bool g_bMakingInputMethodWindow = false;

LRESULT CALLBACK MakeInputMethodWindowFirst(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && g_hInputMethodWindow == nullptr && !g_bMakingInputMethodWindow) {
        g_bMakingInputMethodWindow = true;
        g_hInputMethodWindow = ::CreateWindowExW(0, L"IME", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                                 nullptr, nullptr);
        g_bMakingInputMethodWindow = false;
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

TEST(DialogCreation, InputMethodWindowMadeFirstIsNotTakenForTheDialog)
{
    CTestApp app{LOCALIZATION_DICTIONARY};
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES };
    SystemLibrary::InitCommonControlsEx(&icc);
    CWnd placeholder;
    AfxHookWindowCreate(&placeholder, L"QuorNoSuchClass");   // the framework's hook is in place first
    HHOOK hHook = ::SetWindowsHookExW(WH_CBT, &MakeInputMethodWindowFirst, nullptr, ::GetCurrentThreadId());
    CTranslateDlg dlg;
    const BOOL created = dlg.Create(IDD_TRANSLATE);
    ::UnhookWindowsHookEx(hHook);
    AfxUnhookWindowCreate();
    ASSERT_NE(nullptr, g_hInputMethodWindow);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(g_hInputMethodWindow));
    EXPECT_TRUE(created);
    EXPECT_NE(nullptr, dlg.m_plain.m_hWnd) << "the dialog initialized itself";
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    TranslateWindow(&dlg, nullptr);
    EXPECT_EQ(L"Willkommen", TextOf(dlg.m_hWnd));
    EXPECT_EQ(L"Abbrechen", Item(dlg.m_plain, 1));
    app.SetUILanguage(L"", L"");
    if (dlg.m_hWnd)
        dlg.DestroyWindow();
    ::DestroyWindow(g_hInputMethodWindow);
    AfxDeleteTempMaps();
}

TEST(WindowTextCache, EmptyAndNullEntries)
{
    CWindowTextCache cache;
    HWND h = reinterpret_cast<HWND>(0x10);
    EXPECT_FALSE(cache.HasText(h));
    cache.SetText(h, L"");
    EXPECT_FALSE(cache.HasText(h));
    cache.SetText(h, L"x");
    EXPECT_EQ(L"x", cache.GetText(h));
    cache.SetText(nullptr, L"y");
    EXPECT_EQ(L"", cache.GetText(nullptr));
    std::vector<std::wstring> items{L"keep"};
    EXPECT_FALSE(cache.GetComboItems(h, items));
    EXPECT_EQ(1u, items.size());
    cache.SetComboItems(h, {});
    EXPECT_TRUE(cache.HasComboItems(h));
    EXPECT_TRUE(cache.GetComboItems(h, items));
    EXPECT_TRUE(items.empty());
}

TEST(TranslateMenu, SeparatorsAndEmptyItemsAreSkipped)
{
    CTestApp app(LOCALIZATION_DICTIONARY);
    ASSERT_EQ(0u, app.SetUILanguage(L"DEU", L""));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_CHECKED, 5, L"Welcome");
    menu.AppendMenu(MF_STRING, 6, L"");
    TranslateMenu(&menu);
    EXPECT_TRUE(::GetMenuState(menu, 0, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(L"Willkommen", MenuText(menu, 1));
    EXPECT_TRUE(::GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(5u, ::GetMenuItemID(menu, 1));
    EXPECT_EQ(L"", MenuText(menu, 2));
    EXPECT_EQ(6u, ::GetMenuItemID(menu, 2));
}

}  // namespace
