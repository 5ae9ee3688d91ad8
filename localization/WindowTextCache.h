// CWindowTextCache: the untranslated texts of windows and combo-box items,
// so that the same windows can be translated again (into another language,
// or back to English) from their original texts; and, for input controls,
// the text that the last pass left in them, so that the next pass can tell
// it from what the user typed since. Entries are never removed.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CWindowTextCache
{
public:
    // Empty for a null or unknown handle (an unknown handle gets an empty entry).
    std::wstring GetText(HWND hWnd);
    // Whether GetText gives a non-empty text (an empty text counts as absent).
    bool HasText(HWND hWnd);
    void SetText(HWND hWnd, std::wstring text);   // null handle: ignored

    bool HasComboItems(HWND hWnd) const;
    bool GetComboItems(HWND hWnd, std::vector<std::wstring>& items) const;
    void SetComboItems(HWND hWnd, const std::vector<std::wstring>& items);

    void SetLeftText(HWND hWnd, std::wstring text);   // null handle: ignored
    // Whether a pass left a text in the window and it now holds another.
    bool ChangedSinceLeft(HWND hWnd, const std::wstring& current) const;

private:
    std::map<HWND, std::wstring> m_texts;
    std::map<HWND, std::vector<std::wstring>> m_comboItems;
    std::map<HWND, std::wstring> m_leftTexts;
};
