// String-table texts and free texts translated through the dictionary of the
// selected language (g_LocalizationDictionary).
#pragma once

#include <windows.h>

#include <string>

// The string-table entry of the module; out is untouched when the entry is
// empty or missing. Reads never pass the end of the string block.
void LoadStringFromTable(HMODULE module, unsigned id, std::wstring& out);
// LoadStringFromTable, then the translation of a non-empty text into itself.
void LoadTranslatedString(HMODULE module, unsigned id, std::wstring& out);
// The translation; when there is none, out becomes the text and FALSE is returned.
BOOL TranslateString(const wchar_t* text, std::wstring& out);
BOOL TranslateStdString(const std::wstring& text, std::wstring& out);
