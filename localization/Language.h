// Language catalogue: a language is a row of the fixed LanguageTable, named by
// its 3-letter code ("DEU"), culture name ("de-DE") or Windows LANGID (0x0407).
#pragma once

#include <windows.h>

#include <cstdint>

// One row of the catalogue. Texts are constant wide strings, never null.
struct LanguageInfo {
    uint32_t langId;               // only the low 16 bits are used
    const wchar_t* primaryMacro;   // "LANG_ENGLISH"
    const wchar_t* subMacro;       // "SUBLANG_ENGLISH_US"
    const wchar_t* cultureName;    // "en-US"
    const wchar_t* code;           // "ENU", upper case
    wchar_t region[4];             // "US", NUL-padded
    const wchar_t* iso639B;        // "eng"
    const wchar_t* iso639T;        // "eng"
    const wchar_t* englishName;    // "English (U.S.)"
    const wchar_t* nativeName;     // always "" in this table
    uint32_t languageClass;        // 1, 2 or 3
    const wchar_t* fallbackCulture;  // "" except for Catalan
};

constexpr unsigned kLanguageCount = 73;
extern const LanguageInfo LanguageTable[kLanguageCount];

// A language as a value: a row of LanguageTable, or invalid (-1), or neutral
// (-2, no particular language: the untranslated state).
class CLanguage {
public:
    static constexpr int32_t kInvalidRow = -1;
    static constexpr int32_t kNeutralRow = -2;

    // The process-wide default language (see g_DefaultLanguage).
    CLanguage();

    static BOOL FromIndex(unsigned row, CLanguage* pOut);
    static CLanguage FromLangId(LANGID langId, BOOL fallback);
    static CLanguage FromSystemDefaultLangId(BOOL fallback);
    static CLanguage FromUserDefaultLangId(BOOL fallback);
    static CLanguage FromSystemDefaultUILanguage(BOOL fallback);
    static CLanguage FromUserDefaultUILanguage(BOOL fallback);
    static CLanguage FromCode3(const wchar_t* code, BOOL fallback);
    static CLanguage FromCultureName(const wchar_t* cultureName, BOOL fallback);
    static CLanguage FromString(const wchar_t* text, BOOL fallback);

    void SetNeutral() { m_nRow = kNeutralRow; }
    BOOL IsValid() const { return m_nRow >= 0; }
    BOOL IsNeutral() const { return m_nRow == kNeutralRow; }

    // Row data; "" / 0 for invalid and neutral.
    const wchar_t* GetCultureName() const;
    const wchar_t* GetCode() const;
    LANGID GetLangId() const;
    const LanguageInfo* GetInfo() const;  // null for invalid and neutral
    int32_t GetRow() const { return m_nRow; }

    BOOL SamePrimaryLanguage(const CLanguage& other) const;
    // ANSI code page of the language from the locale data; 0 for invalid,
    // neutral or failure (conversions then use the system's code page).
    unsigned GetAnsiCodePage() const;
    BOOL IsDefaultLanguage() const;
    BOOL IsEnglish() const;

    // The related language to try next: Catalan -> Spanish; otherwise the first
    // row of the same primary language (en-US when toDefault is set and this
    // language is that first row).
    void GetFallback(CLanguage& out, BOOL toDefault) const;

    // Map-key order: 3-letter codes compared without regard to ASCII case;
    // invalid and neutral have the empty code and sort first.
    bool operator<(const CLanguage& other) const;
    bool operator==(const CLanguage& other) const { return m_nRow == other.m_nRow; }
    bool operator!=(const CLanguage& other) const { return m_nRow != other.m_nRow; }

private:
    static CLanguage MakeRow(int32_t row);

    int32_t m_nRow;
};

// "ENU" (row 0): the default value of every CLanguage.
extern CLanguage g_DefaultLanguage;

// First row of the primary language (low 10 bits); row 0 when there is none or
// when that row's sublanguage equals the one given.
unsigned FindLanguageByPrimary(unsigned primary, unsigned sublanguage);
// First row whose culture name starts with the two language letters; row 0
// when the text is not two letters or nothing matches. The region is ignored.
unsigned FindLanguageByIso639(const wchar_t* language, const wchar_t* region);
// Class column of the user's default language; 0 when it is not in the table.
unsigned GetUserLanguageClass();
