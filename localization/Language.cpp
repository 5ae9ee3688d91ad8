#include "Language.h"

#include <cwchar>
#include <string>

// Zero-initialisation already makes this row 0 (ENU) before any dynamic
// initialiser runs, so CLanguage objects built earlier see the same value.
CLanguage g_DefaultLanguage = CLanguage::FromCode3(L"ENU", FALSE);

namespace {

constexpr unsigned kPrimaryMask = 0x3FF;

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }
wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

// Case-insensitive comparison in the manner of _wcsicmp: ASCII letters folded
// to lower case, then character codes compared.
int CompareNoCase(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        const wchar_t ca = AsciiLower(*a), cb = AsciiLower(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

int32_t FindRowByLangId(LANGID langId)
{
    for (unsigned i = 0; i < kLanguageCount; ++i)
        if ((LanguageTable[i].langId & 0xFFFF) == langId) return int32_t(i);
    return CLanguage::kInvalidRow;
}

}  // namespace

CLanguage::CLanguage() : m_nRow(g_DefaultLanguage.m_nRow) {}

CLanguage CLanguage::MakeRow(int32_t row)
{
    CLanguage lang;
    lang.m_nRow = row;
    return lang;
}

BOOL CLanguage::FromIndex(unsigned row, CLanguage* pOut)
{
    if (row >= kLanguageCount || !pOut) return FALSE;
    pOut->m_nRow = int32_t(row);
    return TRUE;
}

const LanguageInfo* CLanguage::GetInfo() const
{
    return IsValid() ? &LanguageTable[m_nRow] : nullptr;
}

const wchar_t* CLanguage::GetCultureName() const
{
    return IsValid() ? LanguageTable[m_nRow].cultureName : L"";
}

const wchar_t* CLanguage::GetCode() const
{
    return IsValid() ? LanguageTable[m_nRow].code : L"";
}

LANGID CLanguage::GetLangId() const
{
    return IsValid() ? LANGID(LanguageTable[m_nRow].langId & 0xFFFF) : LANGID(0);
}

BOOL CLanguage::SamePrimaryLanguage(const CLanguage& other) const
{
    return (GetLangId() & kPrimaryMask) == (other.GetLangId() & kPrimaryMask);
}

unsigned CLanguage::GetAnsiCodePage() const
{
    if (!IsValid()) return 0;
    wchar_t text[7] = {};
    if (GetLocaleInfoW(MAKELCID(GetLangId(), SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, text, 7) == 0)
        return 0;
    return unsigned(wcstoul(text, nullptr, 10));
}

BOOL CLanguage::IsDefaultLanguage() const
{
    return *this == g_DefaultLanguage;
}

BOOL CLanguage::IsEnglish() const
{
    const wchar_t* code = GetCode();
    return wcscmp(code, L"ENU") == 0 || wcscmp(code, L"ENG") == 0 || wcscmp(code, L"ENA") == 0;
}

bool CLanguage::operator<(const CLanguage& other) const
{
    return CompareNoCase(GetCode(), other.GetCode()) < 0;
}

CLanguage CLanguage::FromLangId(LANGID langId, BOOL fallback)
{
    const int32_t row = FindRowByLangId(langId);
    if (row >= 0) return MakeRow(row);
    if (fallback) return MakeRow(int32_t(FindLanguageByPrimary(langId & kPrimaryMask, 0)));
    return MakeRow(kInvalidRow);
}

CLanguage CLanguage::FromSystemDefaultLangId(BOOL fallback)
{
    return FromLangId(GetSystemDefaultLangID(), fallback);
}

CLanguage CLanguage::FromUserDefaultLangId(BOOL fallback)
{
    return FromLangId(GetUserDefaultLangID(), fallback);
}

CLanguage CLanguage::FromSystemDefaultUILanguage(BOOL fallback)
{
    return FromLangId(GetSystemDefaultUILanguage(), fallback);
}

CLanguage CLanguage::FromUserDefaultUILanguage(BOOL fallback)
{
    return FromLangId(GetUserDefaultUILanguage(), fallback);
}

CLanguage CLanguage::FromCode3(const wchar_t* code, BOOL fallback)
{
    if (!code) return MakeRow(kInvalidRow);
    if (code[0] == 0) return MakeRow(kNeutralRow);
    if (wcslen(code) != 3) return MakeRow(kInvalidRow);

    const wchar_t upper[4] = {AsciiUpper(code[0]), AsciiUpper(code[1]), AsciiUpper(code[2]), 0};
    for (unsigned i = 0; i < kLanguageCount; ++i)
        if (wcscmp(LanguageTable[i].code, upper) == 0) return MakeRow(int32_t(i));

    if (!fallback) return MakeRow(kInvalidRow);
    const wchar_t language[3] = {code[0], code[1], 0};
    return MakeRow(int32_t(FindLanguageByIso639(language, nullptr)));
}

CLanguage CLanguage::FromCultureName(const wchar_t* cultureName, BOOL fallback)
{
    if (!cultureName) return MakeRow(kInvalidRow);
    if (cultureName[0] == 0) return MakeRow(kNeutralRow);
    const size_t length = wcslen(cultureName);
    if (length < 5 || length > 19) return MakeRow(kInvalidRow);

    std::wstring wanted(cultureName);
    for (wchar_t& c : wanted) c = AsciiUpper(c);
    for (unsigned i = 0; i < kLanguageCount; ++i) {
        const wchar_t* name = LanguageTable[i].cultureName;
        if (wcslen(name) != length) continue;
        size_t k = 0;
        while (k < length && AsciiUpper(name[k]) == wanted[k]) ++k;
        if (k == length) return MakeRow(int32_t(i));
    }

    if (!fallback) return MakeRow(kInvalidRow);
    const wchar_t language[3] = {cultureName[0], cultureName[1], 0};
    return MakeRow(int32_t(FindLanguageByIso639(language, nullptr)));
}

CLanguage CLanguage::FromString(const wchar_t* text, BOOL fallback)
{
    const CLanguage byCode = FromCode3(text, FALSE);
    if (byCode.IsValid()) return byCode;
    return FromCultureName(text, fallback);
}

void CLanguage::GetFallback(CLanguage& out, BOOL toDefault) const
{
    if (!IsValid()) {
        out = toDefault ? g_DefaultLanguage : *this;
        return;
    }
    const LanguageInfo& info = LanguageTable[m_nRow];
    if (info.fallbackCulture[0] != 0) {
        out = FromCultureName(info.fallbackCulture, TRUE);
        return;
    }
    const unsigned primary = info.langId & kPrimaryMask;
    const unsigned sublanguage = toDefault ? ((info.langId & 0xFFFF) >> 10) : 0;
    const unsigned row = FindLanguageByPrimary(primary, sublanguage);
    out = FromLangId(LANGID(LanguageTable[row].langId & 0xFFFF), FALSE);
}

unsigned FindLanguageByPrimary(unsigned primary, unsigned sublanguage)
{
    for (unsigned i = 0; i < kLanguageCount; ++i) {
        const unsigned id = LanguageTable[i].langId & 0xFFFF;
        if ((id & kPrimaryMask) != primary) continue;
        return (id >> 10) == sublanguage ? 0 : i;
    }
    return 0;
}

unsigned FindLanguageByIso639(const wchar_t* language, const wchar_t* /*region*/)
{
    if (!language || wcslen(language) != 2) return 0;
    const wchar_t a = AsciiLower(language[0]), b = AsciiLower(language[1]);
    for (unsigned i = 0; i < kLanguageCount; ++i) {
        const wchar_t* name = LanguageTable[i].cultureName;
        if (name[0] == a && name[1] == b) return i;
    }
    return 0;
}

unsigned GetUserLanguageClass()
{
    const CLanguage lang = CLanguage::FromUserDefaultLangId(FALSE);
    return lang.IsValid() ? lang.GetInfo()->languageClass : 0;
}
