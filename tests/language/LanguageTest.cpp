// Language catalogue: the table's rows and every lookup, grouped by lookup.
#include "AppLanguageSlot.h"
#include "FileVersion.h"
#include "Language.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::wstring Code(const CLanguage& language) { return language.GetCode(); }

CLanguage Lang(const wchar_t* code)
{
    CLanguage language = CLanguage::FromCode3(code, FALSE);
    EXPECT_TRUE(language.IsValid()) << quortest::Narrow(code);
    return language;
}

CLanguage Invalid() { return CLanguage::FromCode3(nullptr, FALSE); }
CLanguage Neutral() { return CLanguage::FromCode3(L"", FALSE); }

}  // namespace

TEST(LanguageTable, RowsAreUniqueAndClassesAddUp)
{
    std::set<std::wstring> codes, cultures;
    std::set<uint32_t> ids;
    std::map<uint32_t, int> classes;
    for (const LanguageInfo& row : LanguageTable) {
        codes.insert(row.code);
        cultures.insert(row.cultureName);
        ids.insert(row.langId);
        ++classes[row.languageClass];
        EXPECT_STREQ(L"", row.nativeName) << quortest::Narrow(row.code);
        EXPECT_EQ(std::wstring(row.code) == L"CAT" ? std::wstring(L"es-ES") : std::wstring(), row.fallbackCulture);
    }
    EXPECT_EQ(73u, codes.size());
    EXPECT_EQ(73u, cultures.size());
    EXPECT_EQ(73u, ids.size());
    EXPECT_EQ(41, classes[1]);
    EXPECT_EQ(7, classes[2]);
    EXPECT_EQ(25, classes[3]);
    EXPECT_STREQ(L"ENU", LanguageTable[0].code);
    EXPECT_STREQ(L"MSL", LanguageTable[72].code);
}

// Every row's LANGID is the system's identifier of its language: the platform
// gives each one the row's own 3-letter name, and Swedish of Sweden as the
// platform knows it finds the Swedish row.
TEST(LanguageTable, LangIdsAreTheSystemsOwn)
{
    for (const LanguageInfo& row : LanguageTable) {
        wchar_t name[16] = {};
        GetLocaleInfoW(MAKELCID(row.langId, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, name, 16);
        EXPECT_STREQ(row.code, name) << std::hex << row.langId;
    }
    const LCID swedish = LocaleNameToLCID(L"sv-SE", 0);
    ASSERT_NE(0u, swedish);
    EXPECT_EQ(L"SVE", Code(CLanguage::FromLangId(LANGIDFROMLCID(swedish), FALSE)));
}

TEST(LanguageTable, RegionFollowsTheCultureNameExceptTheListedRows)
{
    const std::map<std::wstring, std::wstring> exceptions = {
        {L"ENG", L"UK"}, {L"ENC", L"US"}, {L"UKR", L"UA"}, {L"FRC", L"FR"},
        {L"PTB", L"PT"}, {L"CAT", L"CA"}, {L"HEB", L"IL"}};
    for (const LanguageInfo& row : LanguageTable) {
        const auto it = exceptions.find(row.code);
        const std::wstring expected = it != exceptions.end() ? it->second : std::wstring(row.cultureName).substr(3, 2);
        EXPECT_EQ(expected, row.region) << quortest::Narrow(row.code);
        EXPECT_EQ(0, row.region[2]);
        EXPECT_EQ(0, row.region[3]);
    }
}

TEST(LanguageValue, DefaultIndexAndEmptyStates)
{
    CLanguage language;
    EXPECT_EQ(L"ENU", Code(language));
    EXPECT_TRUE(language.IsDefaultLanguage());
    EXPECT_TRUE(language == g_DefaultLanguage);

    EXPECT_TRUE(CLanguage::FromIndex(72, &language));
    EXPECT_EQ(L"MSL", Code(language));
    EXPECT_FALSE(CLanguage::FromIndex(73, &language));
    EXPECT_EQ(L"MSL", Code(language));
    EXPECT_FALSE(CLanguage::FromIndex(0, nullptr));

    language.SetNeutral();
    EXPECT_TRUE(language.IsNeutral());
    EXPECT_FALSE(language.IsValid());
    EXPECT_STREQ(L"", language.GetCultureName());
    EXPECT_STREQ(L"", language.GetCode());
    EXPECT_EQ(0, language.GetLangId());
    EXPECT_EQ(0u, language.GetAnsiCodePage());
    EXPECT_EQ(0u, Invalid().GetAnsiCodePage());
    EXPECT_FALSE(Invalid().IsNeutral());
}

TEST(LanguageValue, OrderingAndEquality)
{
    EXPECT_TRUE(Lang(L"ARA") < Lang(L"CAT"));
    EXPECT_TRUE(Lang(L"CAT") < Lang(L"ENU"));
    EXPECT_FALSE(Lang(L"ENU") < Lang(L"ARA"));
    EXPECT_TRUE(Neutral() < Lang(L"ARA"));
    EXPECT_TRUE(Invalid() < Lang(L"ARA"));

    // Invalid and neutral are one map key, but not equal values.
    EXPECT_FALSE(Neutral() < Invalid());
    EXPECT_FALSE(Invalid() < Neutral());
    EXPECT_FALSE(Neutral() == Invalid());
    std::map<CLanguage, int> keys;
    keys[Neutral()] = 1;
    keys[Invalid()] = 2;
    EXPECT_EQ(1u, keys.size());
}

TEST(LanguageValue, EnglishPrimaryLanguageAndCodePages)
{
    EXPECT_TRUE(Lang(L"ENU").IsEnglish());
    EXPECT_TRUE(Lang(L"ENG").IsEnglish());
    EXPECT_TRUE(Lang(L"ENA").IsEnglish());
    EXPECT_FALSE(Lang(L"ENC").IsEnglish());
    EXPECT_FALSE(Lang(L"DEU").IsEnglish());

    EXPECT_TRUE(Lang(L"ENC").SamePrimaryLanguage(Lang(L"ENG")));
    EXPECT_TRUE(Lang(L"ESM").SamePrimaryLanguage(Lang(L"ESP")));
    EXPECT_FALSE(Lang(L"DEU").SamePrimaryLanguage(Lang(L"ENU")));

    const std::map<std::wstring, unsigned> pages = {
        {L"DEU", 1252}, {L"JPN", 932}, {L"CHS", 936}, {L"KOR", 949}, {L"CHT", 950}, {L"PLK", 1250},
        {L"RUS", 1251}, {L"ELL", 1253}, {L"TRK", 1254}, {L"THA", 874}, {L"ESP", 1252}};
    for (const auto& page : pages) EXPECT_EQ(page.second, Lang(page.first.c_str()).GetAnsiCodePage()) << quortest::Narrow(page.first);
}

TEST(LanguageLookup, ByLangId)
{
    EXPECT_FALSE(CLanguage::FromLangId(0x0C07, FALSE).IsValid());
    EXPECT_EQ(L"DEU", Code(CLanguage::FromLangId(0x0C07, TRUE)));
    EXPECT_EQ(L"PTG", Code(CLanguage::FromLangId(0x0816, FALSE)));
    EXPECT_EQ(L"PTB", Code(CLanguage::FromLangId(0x0416, FALSE)));
    EXPECT_FALSE(CLanguage::FromLangId(0x0418, FALSE).IsValid());
    EXPECT_EQ(L"ENU", Code(CLanguage::FromLangId(0x0418, TRUE)));
    EXPECT_EQ(L"ESN", Code(CLanguage::FromLangId(0x0C0A, FALSE)));
    // An unknown Spanish variant falls back to the first Spanish row.
    EXPECT_EQ(L"ESN", Code(CLanguage::FromLangId(0x540A, TRUE)));
    EXPECT_EQ(0x0411, CLanguage::FromLangId(0x0411, FALSE).GetLangId());
}

TEST(LanguageLookup, ByPrimaryAndIso639)
{
    EXPECT_EQ(7u, FindLanguageByPrimary(0x07, 0));
    EXPECT_EQ(0u, FindLanguageByPrimary(0x07, 1));    // the first German row has sublanguage 1
    EXPECT_EQ(0u, FindLanguageByPrimary(0x18, 0));    // no Romanian row
    EXPECT_EQ(32u, FindLanguageByPrimary(0x0A, 1));   // first Spanish row is ESN (sublanguage 3)

    EXPECT_STREQ(L"de-DE", LanguageTable[FindLanguageByIso639(L"de", nullptr)].cultureName);
    EXPECT_STREQ(L"ESN", LanguageTable[FindLanguageByIso639(L"ES", nullptr)].code);
    EXPECT_STREQ(L"zh-TW", LanguageTable[FindLanguageByIso639(L"zh", L"CN")].cultureName);
    EXPECT_EQ(0u, FindLanguageByIso639(nullptr, nullptr));
    EXPECT_EQ(0u, FindLanguageByIso639(L"d", nullptr));
    EXPECT_EQ(0u, FindLanguageByIso639(L"deu", nullptr));
    EXPECT_EQ(0u, FindLanguageByIso639(L"xx", nullptr));
}

TEST(LanguageLookup, ByCode3)
{
    EXPECT_EQ(L"DEU", Code(CLanguage::FromCode3(L"deu", FALSE)));
    EXPECT_EQ(L"DEU", Code(CLanguage::FromCode3(L"dEu", FALSE)));
    EXPECT_FALSE(CLanguage::FromCode3(L"DEX", FALSE).IsValid());
    EXPECT_EQ(L"DEU", Code(CLanguage::FromCode3(L"DEX", TRUE)));
    EXPECT_EQ(L"ENU", Code(CLanguage::FromCode3(L"XYZ", TRUE)));
    EXPECT_TRUE(CLanguage::FromCode3(L"", TRUE).IsNeutral());
    EXPECT_FALSE(CLanguage::FromCode3(L"DE", TRUE).IsValid());
    EXPECT_FALSE(CLanguage::FromCode3(L"DE", TRUE).IsNeutral());
    EXPECT_FALSE(CLanguage::FromCode3(L"DEUT", TRUE).IsValid());
    EXPECT_FALSE(CLanguage::FromCode3(nullptr, TRUE).IsValid());
    EXPECT_FALSE(CLanguage::FromCode3(nullptr, TRUE).IsNeutral());
}

TEST(LanguageLookup, ByCultureName)
{
    EXPECT_EQ(L"ESN", Code(CLanguage::FromCultureName(L"es-ES", FALSE)));
    EXPECT_EQ(L"ESP", Code(CLanguage::FromCultureName(L"es-ES_tradnl", FALSE)));
    EXPECT_EQ(L"ESP", Code(CLanguage::FromCultureName(L"ES-ES_TRADNL", FALSE)));
    EXPECT_EQ(L"ENU", Code(CLanguage::FromCultureName(L"en-us", FALSE)));
    // The table holds the irregular names; the standard ones only fall back.
    EXPECT_FALSE(CLanguage::FromCultureName(L"uk-UA", FALSE).IsValid());
    EXPECT_EQ(L"UKR", Code(CLanguage::FromCultureName(L"uk-UA", TRUE)));
    EXPECT_EQ(L"UKR", Code(CLanguage::FromCultureName(L"uk-UK", FALSE)));
    EXPECT_FALSE(CLanguage::FromCultureName(L"he-IL", FALSE).IsValid());
    EXPECT_EQ(L"HEB", Code(CLanguage::FromCultureName(L"he-HE", FALSE)));
    // Lengths outside 5..19 are refused even with fallback.
    EXPECT_FALSE(CLanguage::FromCultureName(L"de", TRUE).IsValid());
    EXPECT_FALSE(CLanguage::FromCultureName(L"de-D", TRUE).IsValid());
    EXPECT_FALSE(CLanguage::FromCultureName(L"de-DE-xxxxxxxxxxxxxx", TRUE).IsValid());  // 20
    EXPECT_EQ(L"DEU", Code(CLanguage::FromCultureName(L"de-DE-xxxxxxxxxxxxx", TRUE)));  // 19
    EXPECT_EQ(L"DEU", Code(CLanguage::FromCultureName(L"de-AT", TRUE)));
    EXPECT_EQ(L"ENU", Code(CLanguage::FromCultureName(L"xx-YYY", TRUE)));
    EXPECT_FALSE(CLanguage::FromCultureName(L"de-DEX", FALSE).IsValid());
    EXPECT_TRUE(CLanguage::FromCultureName(L"", FALSE).IsNeutral());
    EXPECT_FALSE(CLanguage::FromCultureName(nullptr, TRUE).IsValid());
}

TEST(LanguageLookup, ByString)
{
    EXPECT_EQ(CLanguage::FromString(L"ESP", FALSE), CLanguage::FromString(L"es-ES_tradnl", FALSE));
    EXPECT_EQ(L"ESP", Code(CLanguage::FromString(L"esp", FALSE)));
    EXPECT_EQ(L"DEU", Code(CLanguage::FromString(L"de-DE", FALSE)));
    EXPECT_FALSE(CLanguage::FromString(L"de-AT", FALSE).IsValid());
    EXPECT_EQ(L"DEU", Code(CLanguage::FromString(L"de-AT", TRUE)));
    // A 3-letter text that is no code is not a culture name either.
    EXPECT_FALSE(CLanguage::FromString(L"XYZ", TRUE).IsValid());
    EXPECT_TRUE(CLanguage::FromString(L"", FALSE).IsNeutral());
    EXPECT_FALSE(CLanguage::FromString(nullptr, FALSE).IsValid());
    EXPECT_FALSE(CLanguage::FromString(nullptr, FALSE).IsNeutral());
}

TEST(LanguageLookup, Fallback)
{
    CLanguage out;
    Lang(L"CAT").GetFallback(out, FALSE);
    EXPECT_EQ(L"ESN", Code(out));
    Lang(L"CAT").GetFallback(out, TRUE);
    EXPECT_EQ(L"ESN", Code(out));

    Lang(L"DEU").GetFallback(out, FALSE);
    EXPECT_EQ(L"DEU", Code(out));
    Lang(L"DEU").GetFallback(out, TRUE);
    EXPECT_EQ(L"ENU", Code(out));
    Lang(L"FRC").GetFallback(out, FALSE);
    EXPECT_EQ(L"FRA", Code(out));
    Lang(L"FRC").GetFallback(out, TRUE);
    EXPECT_EQ(L"FRA", Code(out));
    Lang(L"ESM").GetFallback(out, FALSE);
    EXPECT_EQ(L"ESN", Code(out));
    Lang(L"ENG").GetFallback(out, FALSE);
    EXPECT_EQ(L"ENU", Code(out));
    Lang(L"ZHM").GetFallback(out, TRUE);
    EXPECT_EQ(L"CHT", Code(out));

    Invalid().GetFallback(out, TRUE);
    EXPECT_EQ(L"ENU", Code(out));
    Invalid().GetFallback(out, FALSE);
    EXPECT_TRUE(out == Invalid());
    Neutral().GetFallback(out, FALSE);
    EXPECT_TRUE(out.IsNeutral());
}

TEST(FileVersions, CompareReadAndLoadInRange)
{
    const FileVersion v1234{1, 2, 3, 4};
    EXPECT_FALSE(IsVersionGreater(v1234, v1234));
    EXPECT_TRUE(IsVersionGreater(FileVersion{1, 2, 3, 5}, v1234));
    EXPECT_FALSE(IsVersionGreater(v1234, FileVersion{1, 2, 3, 5}));
    EXPECT_TRUE(IsVersionGreater(FileVersion{2, 0, 0, 0}, FileVersion{1, 9, 9, 9}));
    EXPECT_TRUE(IsVersionGreater(FileVersion{1, 3, 0, 0}, FileVersion{1, 2, 9, 9}));

    // The test program carries product version 1.2.3.4 (its file version
    // differs). A copy in the sandbox is read: the test runner may start the
    // program through a host path that only the loader resolves, so the
    // program is found on the sandbox drive (S:\bin) when it is there.
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring source = self;
    const std::wstring onSandbox = L"S:\\bin\\" + source.substr(source.find_last_of(L"\\/") + 1);
    if (quortest::FileExists(onSandbox)) source = onSandbox;
    quortest::ScopedSandbox box(L"langver");
    const std::wstring copy = box.Path() + L"Versioned.exe";
    ASSERT_TRUE(CopyFileW(source.c_str(), copy.c_str(), FALSE)) << quortest::Narrow(source);
    const wchar_t* path = copy.c_str();

    const FileVersion own = GetFileVersion(path);
    EXPECT_EQ(1, own.major);
    EXPECT_EQ(2, own.minor);
    EXPECT_EQ(3, own.build);
    EXPECT_EQ(4, own.revision);
    const FileVersion none = GetFileVersion(L"");
    EXPECT_EQ(0, none.major + none.minor + none.build + none.revision);

    uint32_t status = 77;
    const HMODULE module = LoadLibraryIfVersionInRange(path, v1234, v1234, &status);
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(0u, status);
    const FileVersion loaded = GetModuleVersion(module);
    EXPECT_EQ(4, loaded.revision);
    EXPECT_EQ(1, loaded.major);
    for (const FileVersion& other : {FileVersion{0, 2, 3, 4}, FileVersion{1, 1, 3, 4}, FileVersion{1, 2, 2, 4}, FileVersion{1, 2, 3, 3}}) {
        status = 77;
        EXPECT_EQ(nullptr, LoadLibraryIfVersionInRange(path, other, other, &status));
        EXPECT_EQ(77u, status);  // out of range: untouched
    }
    const HMODULE again = LoadLibraryIfVersionInRange(path, FileVersion{1, 0, 0, 0}, FileVersion{1, 9, 0, 0});
    EXPECT_EQ(module, again);
    if (again) FreeLibrary(again);
    FreeLibrary(module);
}

TEST(FileVersions, AFailedLoadIsReportedAsAFailure)
{
    quortest::ScopedSandbox box(L"langver");
    const std::wstring fake = box.Path() + L"NotALibrary.dll";
    ASSERT_TRUE(quortest::WriteFileBytes(fake, {'n', 'o', 't', ' ', 'a', ' ', 'd', 'l', 'l'}));
    const FileVersion zero{};
    EXPECT_EQ(0, GetFileVersion(fake.c_str()).major);
    uint32_t status = 0;
    EXPECT_EQ(nullptr, LoadLibraryIfVersionInRange(fake.c_str(), zero, zero, &status));
    EXPECT_NE(0u, status);
}

TEST(AppLanguageSlot, PublishReadAndClose)
{
    std::wstring text = L"untouched";
    CloseAppLanguageMapping();
    EXPECT_FALSE(ReadAppLanguage(text));
    EXPECT_EQ(L"untouched", text);

    EXPECT_TRUE(PublishAppLanguage(L"de-DE"));
    EXPECT_TRUE(ReadAppLanguage(text));
    EXPECT_EQ(L"de-DE", text);

    // At most 10 characters; while another handle keeps the slot alive, a
    // shorter text leaves nothing of a longer one behind.
    wchar_t name[64];
    swprintf(name, 64, L"QuorAppLanguage_%d", int(GetCurrentProcessId()));
    EXPECT_TRUE(PublishAppLanguage(L"es-ES_tradnl"));
    HANDLE reader = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    ASSERT_NE(nullptr, reader);
    EXPECT_TRUE(ReadAppLanguage(text));
    EXPECT_EQ(L"es-ES_trad", text);
    EXPECT_TRUE(PublishAppLanguage(L"ja"));
    EXPECT_TRUE(ReadAppLanguage(text));
    EXPECT_EQ(L"ja", text);
    CloseHandle(reader);

    EXPECT_TRUE(CloseAppLanguageMapping());
    text = L"untouched";
    EXPECT_FALSE(ReadAppLanguage(text));
    EXPECT_EQ(L"untouched", text);
}
