// Texts of the user interface in the current language: string-table texts,
// windows with their children, combo-box items and menus, translated through
// the dictionary while the dictionary strategy (kind 2) is installed.
#pragma once

#include "UserInterfaceLocalization.h"
#include "WindowTextCache.h"

// Loads string nID from the module that holds it and, under the dictionary
// strategy, replaces it by its translation. FALSE when no module holds the
// string (text unchanged) or no strategy is installed (text holds the
// untranslated string).
BOOL LoadLocalizedString(CString& text, UINT nID);

// Translates the window, its children (except drop-down ComboBoxEx32
// controls), the items of combo boxes that have a CComboBox object, and its
// menu. A property page keeps its caption; a property sheet has each page
// activated once, so that pages never shown are translated too, and then
// shows the page it showed before. With a cache, every pass starts from the
// stored untranslated texts, except in an input control (an edit control, or
// a combo box with an edit part) that holds another text than the last pass
// left in it: that is the user's, and it stays. A combo box whose edit part
// does not show the selected item keeps that typed text. An English
// interface without a cache is left untouched.
void TranslateWindow(CWnd* pWnd, CWindowTextCache* pCache);

// Replaces the text of every item of the menu and its submenus by its
// translation; item states, separators and empty items are left as they are.
void TranslateMenu(CMenu* pMenu);

// A drop-down ComboBoxEx32 (the extended combo box, whose inner controls
// must not be touched).
bool IsComboBoxEx(HWND hWnd);
