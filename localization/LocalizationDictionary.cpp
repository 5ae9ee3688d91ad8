#include "LocalizationDictionary.h"

#include <cwchar>
#include <vector>

CLocalizationDictionary::CLocalizationDictionary() : m_nCodePage(0), m_nSystemCodePage(0)
{
    m_language.SetNeutral();
    wchar_t text[7] = {};
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, text, 7) != 0)
        m_nSystemCodePage = unsigned(wcstoul(text, nullptr, 10));
}

BOOL CLocalizationDictionary::SetLanguage(const CLanguage& language)
{
    if (!m_table.empty()) return FALSE;
    m_language = language;
    m_nCodePage = language.GetAnsiCodePage();
    return TRUE;
}

BOOL CLocalizationDictionary::Translate(const std::wstring& key, std::wstring& out) const
{
    auto it = m_table.find(key);
    if (it != m_table.end()) {
        out = it->second;
        return TRUE;
    }
    std::wstring stripped;
    stripped.reserve(key.size());
    for (wchar_t c : key)
        if (c != L'&') stripped += c;
    if (stripped.size() != key.size()) {
        it = m_table.find(stripped);
        if (it != m_table.end()) {
            out = it->second;
            return TRUE;
        }
    }
    return FALSE;
}

std::wstring LanguageTextToWide(const std::string& text, unsigned codePage)
{
    // Include the terminator so that an empty text still converts.
    const int length = int(text.size()) + 1;
    if (length <= 0) return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, text.c_str(), length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::vector<wchar_t> buffer(size_t(n), L'\0');
    if (MultiByteToWideChar(codePage, 0, text.c_str(), length, buffer.data(), n) == 0) return std::wstring();
    return std::wstring(buffer.data());
}
