#include "LocalizedStrings.h"
#include "LocalizationDictionary.h"

#include <string>
#include <vector>

namespace {

bool TranslateText(const std::wstring& text, std::wstring& translation)
{
    return GetLocalizationDictionary()->Translate(text, translation) != FALSE;
}

// Items of a combo box that carries no item data; false when any item has
// data or the count cannot be read (the box is then left alone).
bool ReadComboItems(CComboBox* pCombo, std::vector<std::wstring>& items)
{
    int count = pCombo->GetCount();
    if (count < 0)
        return false;
    items.assign(static_cast<size_t>(count), std::wstring());
    for (int i = 0; i < pCombo->GetCount() && i < count; ++i) {
        if (pCombo->GetItemData(i) != 0)
            return false;
        CString text;
        pCombo->GetLBText(i, text);
        items[static_cast<size_t>(i)] = text.GetString();
    }
    return true;
}

std::wstring WindowText(CWnd* pWnd)
{
    CString text;
    pWnd->GetWindowText(text);
    return text.GetString();
}

// A combo box with an edit part (simple or drop-down, not a drop-down list).
bool HasEditPart(HWND hWnd)
{
    return (static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE)) & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST;
}

// A control whose text the user can change: an edit control, or a combo box
// with an edit part (the box's window text is that of its edit part).
bool IsInputControl(HWND hWnd)
{
    wchar_t className[16] = {};
    ::GetClassNameW(hWnd, className, 16);
    if (_wcsicmp(className, L"Edit") == 0)
        return true;
    return _wcsicmp(className, L"ComboBox") == 0 && HasEditPart(hWnd);
}

void TranslateComboBox(CComboBox* pCombo, CWindowTextCache* pCache)
{
    std::vector<std::wstring> items;
    if (!ReadComboItems(pCombo, items))
        return;

    // The selection is an index into the list as shown now; the items below
    // are in the same order (read just now, or stored in list order by the
    // previous pass), so the index names the same item in both.
    const int selection = pCombo->GetCurSel();
    // An edit part that does not show the selected item (none is selected, or
    // it holds a text of its own) holds what the user typed: emptying the list
    // clears it, and setting the selection at the end overwrites it.
    CString typed;
    bool keepTyped = false;
    if (HasEditPart(pCombo->m_hWnd)) {
        pCombo->GetWindowText(typed);
        keepTyped = selection < 0 || static_cast<size_t>(selection) >= items.size() ||
                    items[static_cast<size_t>(selection)] != typed.GetString();
    }
    pCombo->ResetContent();
    HWND hWnd = pCombo->m_hWnd;
    if (pCache != nullptr) {
        if (pCache->HasComboItems(hWnd))
            pCache->GetComboItems(hWnd, items);
        else
            pCache->SetComboItems(hWnd, items);
    }

    // A sorted box puts the translations in an order of their own: each added
    // item is marked with its place in items plus one (every item's data is 0
    // here) to find where it went, then the marks are cleared again.
    bool allAdded = true;
    for (size_t i = 0; i < items.size(); ++i) {
        std::wstring translation;
        const std::wstring& shown = TranslateText(items[i], translation) ? translation : items[i];
        const int index = pCombo->AddString(shown.c_str());
        if (index >= 0)
            pCombo->SetItemData(index, static_cast<DWORD_PTR>(i) + 1);
        else
            allAdded = false;
    }
    int newSelection = CB_ERR;
    std::vector<std::wstring> listOrder;
    const int count = pCombo->GetCount();
    for (int i = 0; i < count; ++i) {
        const DWORD_PTR mark = pCombo->GetItemData(i);
        pCombo->SetItemData(i, 0);
        if (mark == 0 || mark > items.size()) {
            allAdded = false;
            continue;
        }
        if (selection >= 0 && mark - 1 == static_cast<DWORD_PTR>(selection))
            newSelection = i;
        listOrder.push_back(items[mark - 1]);
    }
    // The stored untranslated items follow the list as it now stands, so that
    // the next pass finds the selected item at the selection's index.
    if (pCache != nullptr && allAdded)
        pCache->SetComboItems(hWnd, listOrder);
    pCombo->SetCurSel(newSelection);
    if (keepTyped)
        pCombo->SetWindowText(typed);
}

void TranslatePropertySheet(CPropertySheet* pSheet, CWindowTextCache* pCache)
{
    const int active = pSheet->GetActiveIndex();
    for (int i = 0; i < pSheet->GetPageCount(); ++i) {
        CPropertyPage* pPage = pSheet->GetPage(i);
        const bool hadWindow = pPage->m_hWnd != nullptr;
        pSheet->SetActivePage(i);
        if (!hadWindow)
            TranslateWindow(pPage, pCache);
    }
    pSheet->SetActivePage(active);
}

}  // namespace

BOOL LoadLocalizedString(CString& text, UINT nID)
{
    HINSTANCE hModule = AfxFindStringResourceHandle(nID);
    if (hModule == nullptr)
        return FALSE;
    CString loaded;
    if (!loaded.LoadString(hModule, nID))
        return FALSE;
    text = loaded;
    if (g_pUserInterfaceLocalization == nullptr)
        return FALSE;
    switch (GetLocalizationType()) {
    case LOCALIZATION_NONE:
    case LOCALIZATION_RESOURCE_FILES:
        return TRUE;
    case LOCALIZATION_DICTIONARY: {
        std::wstring translation;
        if (TranslateText(text.GetString(), translation))
            text = translation.c_str();
        return TRUE;
    }
    default:
        return FALSE;
    }
}

bool IsComboBoxEx(HWND hWnd)
{
    if ((static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE)) & CBS_DROPDOWN) == 0)
        return false;
    wchar_t className[14] = {};
    ::GetClassNameW(hWnd, className, 14);
    return wcscmp(className, L"ComboBoxEx32") == 0;
}

void TranslateMenu(CMenu* pMenu)
{
    if (pMenu == nullptr || pMenu->GetMenuItemCount() < 1)
        return;
    for (int pos = 0; pos < pMenu->GetMenuItemCount(); ++pos) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (!pMenu->GetMenuItemInfo(static_cast<UINT>(pos), &info, TRUE))
            continue;
        if ((info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) == 0) {
            CString text;
            pMenu->GetMenuString(static_cast<UINT>(pos), text, MF_BYPOSITION);
            std::wstring translation;
            if (!text.IsEmpty() && TranslateText(text.GetString(), translation)) {
                // Only the text changes: the item keeps its id, submenu and states.
                MENUITEMINFOW change = {};
                change.cbSize = sizeof(change);
                change.fMask = MIIM_STRING;
                change.dwTypeData = &translation[0];
                pMenu->SetMenuItemInfo(static_cast<UINT>(pos), &change, TRUE);
            }
        }
        if (info.hSubMenu != nullptr)
            TranslateMenu(CMenu::FromHandle(info.hSubMenu));
    }
}

void TranslateWindow(CWnd* pWnd, CWindowTextCache* pCache)
{
    if (pWnd == nullptr || pWnd->m_hWnd == nullptr)
        return;
    if (GetLocalizationType() != LOCALIZATION_DICTIONARY)
        return;
    const CLanguage language =
        g_pUserInterfaceLocalization ? g_pUserInterfaceLocalization->GetLanguage() : g_DefaultLanguage;
    if (language == g_DefaultLanguage && pCache == nullptr)
        return;

    // With a cache, an input control that holds another text than the last
    // pass left in it holds the user's: it keeps it, and the text left stays
    // as it was, so that later passes keep it too.
    const std::wstring shown = WindowText(pWnd);
    const bool input = pCache != nullptr && IsInputControl(pWnd->m_hWnd);
    const bool userText = input && pCache->ChangedSinceLeft(pWnd->m_hWnd, shown);

    // The window's own text; a property page's caption is its tab's label,
    // which the sheet owns, so it is left alone.
    if (!pWnd->IsKindOf(RUNTIME_CLASS(CPropertyPage)) && !userText) {
        std::wstring text = shown;
        if (pCache != nullptr) {
            if (!pCache->HasText(pWnd->m_hWnd))
                pCache->SetText(pWnd->m_hWnd, text);
            else
                text = pCache->GetText(pWnd->m_hWnd);
        }
        std::wstring translation;
        if (TranslateText(text, translation))
            pWnd->SetWindowText(translation.c_str());
        else if (text != shown)
            pWnd->SetWindowText(text.c_str());
    }

    // Children.
    for (CWnd* pChild = pWnd->GetWindow(GW_CHILD); pChild != nullptr; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
        if (!IsComboBoxEx(pChild->m_hWnd))
            TranslateWindow(pChild, pCache);
    }

    // Menu of a top-level window.
    if ((pWnd->GetStyle() & WS_CHILD) == 0) {
        CMenu* pMenu = pWnd->GetMenu();
        if (pMenu != nullptr && ::IsMenu(pMenu->m_hMenu))
            TranslateMenu(pMenu);
    }

    // A property sheet: every page is activated once, then the page that was
    // shown is shown again. A page whose window the activation created was not
    // among the children above, so it is translated here.
    if (pWnd->IsKindOf(RUNTIME_CLASS(CPropertySheet))) {
        TranslatePropertySheet(static_cast<CPropertySheet*>(pWnd), pCache);
        return;
    }

    // Items of a combo box with a window object of its class.
    if (pWnd->IsKindOf(RUNTIME_CLASS(CComboBox)))
        TranslateComboBox(static_cast<CComboBox*>(pWnd), pCache);

    // Read back after the items, which put the selected one into an edit part.
    if (input && !userText)
        pCache->SetLeftText(pWnd->m_hWnd, WindowText(pWnd));
}
