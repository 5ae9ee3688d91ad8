#include "DictionaryStrings.h"

#include "LocalizationDictionary.h"

void LoadStringFromTable(HMODULE module, unsigned id, std::wstring& out)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(((id >> 4) + 1) & 0xFFFF), MAKEINTRESOURCEW(6) /* RT_STRING */);
    if (!resource) return;
    const DWORD bytes = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return;
    const WCHAR* block = static_cast<const WCHAR*>(LockResource(loaded));
    if (block) {
        // 16 entries of (u16 count, count characters), bounded by the block size.
        const size_t words = bytes / sizeof(WCHAR);
        size_t pos = 0;
        bool ok = true;
        for (unsigned skip = id & 15; skip > 0 && ok; --skip) {
            if (pos >= words) {
                ok = false;
                break;
            }
            const size_t count = block[pos];
            if (count > words - pos - 1) ok = false;
            pos += 1 + count;
        }
        if (ok && pos < words) {
            const size_t count = block[pos];
            if (count != 0 && count <= words - pos - 1) out.assign(block + pos + 1, count);
        }
    }
    FreeResource(loaded);
}

void LoadTranslatedString(HMODULE module, unsigned id, std::wstring& out)
{
    LoadStringFromTable(module, id, out);
    if (!out.empty()) GetLocalizationDictionary()->Translate(out, out);
}

BOOL TranslateString(const wchar_t* text, std::wstring& out)
{
    const std::wstring key = text ? text : L"";
    if (GetLocalizationDictionary()->Translate(key, out)) return TRUE;
    out = key;
    return FALSE;
}

BOOL TranslateStdString(const std::wstring& text, std::wstring& out)
{
    return TranslateString(text.c_str(), out);
}
