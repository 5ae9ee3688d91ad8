// The translation table of the selected language: English text -> translated
// text, both wide. Every translation of the user interface goes through the
// process-wide instance that GetLocalizationDictionary returns.
#pragma once

#include "Language.h"

#include <map>
#include <string>

class CLocalizationDictionary {
public:
    // Empty, neutral; reads the system's default ANSI code page.
    CLocalizationDictionary();
    virtual ~CLocalizationDictionary() = default;

    // Changes language and code page only while the table is empty.
    BOOL SetLanguage(const CLanguage& language);
    CLanguage GetLanguage() const { return m_language; }
    unsigned GetCodePage() const { return m_nCodePage; }
    unsigned GetSystemCodePage() const { return m_nSystemCodePage; }

    void Clear() { m_table.clear(); }
    // A key already present keeps its text.
    void Insert(const std::wstring& key, const std::wstring& text) { m_table.emplace(key, text); }
    size_t GetCount() const { return m_table.size(); }

    // The exact key, then the key with every '&' removed. FALSE leaves out alone.
    BOOL Translate(const std::wstring& key, std::wstring& out) const;

private:
    std::map<std::wstring, std::wstring> m_table;
    CLanguage m_language;
    unsigned m_nCodePage;
    unsigned m_nSystemCodePage;
};

CLocalizationDictionary* GetLocalizationDictionary();

// Narrow text in a code page (0: the system's ANSI code page) to wide; the
// empty text when it cannot be converted.
std::wstring LanguageTextToWide(const std::string& text, unsigned codePage);
