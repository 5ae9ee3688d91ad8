// The dictionary reader on images built here: format rules, hostile fields,
// the per-language table and its translation.
#include "LocalizationDictionary.h"
#include "MergedLocalizationDictionary.h"
#include "TestDictionaries.h"

#include <gtest/gtest.h>

using langtest::CImageBuilder;
using namespace std::string_literals;

namespace {

CLanguage Lang(const wchar_t* code) { return CLanguage::FromCode3(code, FALSE); }

bool Parse(const std::string& image, CMergedLocalizationDictionary& dictionary)
{
    return ParseMergedDictionary(image.data(), image.size(), dictionary) != FALSE;
}

// One key with the given (code, text) entries.
std::string OneKey(const std::string& key, std::initializer_list<std::pair<std::string, std::string>> entries)
{
    CImageBuilder image;
    image.Magic().U32(1).Text(key).U32(uint32_t(entries.size()));
    for (const auto& entry : entries) image.Bytes(entry.first).Text(entry.second);
    return image.Image();
}

}  // namespace

TEST(DictionaryFormat, ReadsKeysAndEntriesWhateverTheirOrder)
{
    CImageBuilder image;
    image.Magic().U32(2)
        .Text("Welcome").U32(2).Bytes("FRA").Text("Bienvenue").Bytes("DEU").Text("Willkommen")
        .Text("Cancel").U32(1).Bytes("DEU").Text("Abbrechen");
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(Parse(image.Image(), dictionary));
    ASSERT_EQ(2u, dictionary.Map().size());
    EXPECT_EQ("Abbrechen", dictionary.Map().at("Cancel").at(Lang(L"DEU")));
    EXPECT_EQ("Bienvenue", dictionary.Map().at("Welcome").at(Lang(L"FRA")));

    // Written back, keys and entries come out in map order.
    langtest::CMemoryWriteArchive out;
    dictionary.Serialize(out);
    CImageBuilder sorted;
    sorted.Magic().U32(2)
        .Text("Cancel").U32(1).Bytes("DEU").Text("Abbrechen")
        .Text("Welcome").U32(2).Bytes("DEU").Text("Willkommen").Bytes("FRA").Text("Bienvenue");
    EXPECT_EQ(sorted.Image(), out.Bytes());
}

TEST(DictionaryFormat, FirstKeyAndFirstLanguageWin)
{
    CImageBuilder image;
    image.Magic().U32(2)
        .Text("Cancel").U32(2).Bytes("DEU").Text("Abbrechen").Bytes("DEU").Text("Abbruch")
        .Text("Cancel").U32(1).Bytes("FRA").Text("Annuler");
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(Parse(image.Image(), dictionary));
    ASSERT_EQ(1u, dictionary.Map().at("Cancel").size());
    EXPECT_EQ("Abbrechen", dictionary.Map().at("Cancel").at(Lang(L"DEU")));
}

TEST(DictionaryFormat, MagicVersionAndEmptyDictionary)
{
    CMergedLocalizationDictionary dictionary;
    CImageBuilder wrong;
    wrong.Text("Polyglossator merged dictionary filf").U32(0x01000000).U32(0);
    EXPECT_FALSE(Parse(wrong.Image(), dictionary));
    CImageBuilder shortMagic;
    shortMagic.Text("Polyglossator merged dictionary").U32(0x01000000).U32(0);
    EXPECT_FALSE(Parse(shortMagic.Image(), dictionary));

    // The version is read but never compared.
    CImageBuilder otherVersion;
    otherVersion.Text("Polyglossator merged dictionary file").U32(0xDEADBEEF).U32(0);
    EXPECT_TRUE(Parse(otherVersion.Image(), dictionary));

    // No keys: only the neutral language is available.
    CImageBuilder empty;
    empty.Magic().U32(0);
    ASSERT_TRUE(Parse(empty.Image(), dictionary));
    EXPECT_TRUE(dictionary.Map().empty());
    EXPECT_TRUE(dictionary.HasLanguage(CLanguage::FromCode3(L"", FALSE)));
    EXPECT_FALSE(dictionary.HasLanguage(Lang(L"ENU")));
    CLocalizationDictionary table;
    EXPECT_FALSE(dictionary.BuildLanguageTable(Lang(L"ENU"), table));
}

TEST(DictionaryFormat, UnknownCodesAndEmptyTextsAreDropped)
{
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(Parse(OneKey("Cancel", {{"XYZ", "Unknown"}, {std::string("\0\0\0", 3), "Neutral"},
                                        {"DE\0"s, "Short"}, {"FRA", ""}, {"DEU", "Abbrechen"}}),
                      dictionary));
    const auto& texts = dictionary.Map().at("Cancel");
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("Abbrechen", texts.at(Lang(L"DEU")));

    // An unknown system language finds nothing, and French keeps its English text.
    CLocalizationDictionary table;
    EXPECT_FALSE(dictionary.BuildLanguageTable(CLanguage::FromCode3(L"XYZ", FALSE), table));
    EXPECT_EQ(0u, table.GetCount());
    EXPECT_FALSE(dictionary.HasLanguage(Lang(L"FRA")));
    EXPECT_FALSE(dictionary.BuildLanguageTable(Lang(L"FRA"), table));
    EXPECT_EQ(0u, table.GetCount());
}

// Only a damaged resource has one; kept, it would translate every '&'-only text.
TEST(DictionaryFormat, AnEmptyKeyIsDropped)
{
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(Parse(OneKey("", {{"DEU", "Leer"}}), dictionary));
    EXPECT_EQ(0u, dictionary.Map().count(""));
}

TEST(DictionaryFormat, TextsStopAtAnEmbeddedNul)
{
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(Parse(OneKey("Can\0cel"s, {{"DEU", "Abb\0rechen"s}}), dictionary));
    EXPECT_EQ("Abb", dictionary.Map().at("Can").at(Lang(L"DEU")));
}

TEST(DictionaryFormat, HostileLengthsAndCountsFailCleanly)
{
    const std::string magic = std::string("Polyglossator merged dictionary file");
    const std::vector<std::string> images = {
        CImageBuilder().U32(0xFFFFFFFF).Bytes(magic).Image(),
        CImageBuilder().U32(0xFFFFFFFE).Bytes(magic).U32(1).U32(0).Image(),
        CImageBuilder().Magic().U32(0xFFFFFFFF).Image(),
        CImageBuilder().Magic().U32(0xFFFFFFFF).Text("Cancel").U32(0).Image(),
        CImageBuilder().Magic().U32(1).U32(0xFFFFFFFF).Bytes("Cancel").U32(0).Image(),
        CImageBuilder().Magic().U32(1).U32(0x7FFFFFFF).Bytes("Cancel").U32(0).Image(),
        CImageBuilder().Magic().U32(1).Text("Cancel").U32(0xFFFFFFFF).Bytes("DEU").Text("Abbrechen").Image(),
        CImageBuilder().Magic().U32(1).Text("Cancel").U32(1).Bytes("DEU").U32(0xFFFFFFFF).Bytes("Abbrechen").Image(),
        CImageBuilder().Magic().U32(1).Text("Cancel").U32(1).Bytes("DEU").U32(10).Bytes("Abbrechen").Image(),
    };
    for (size_t i = 0; i < images.size(); ++i) {
        CMergedLocalizationDictionary dictionary;
        EXPECT_FALSE(Parse(images[i], dictionary)) << "image " << i;
    }
    // One byte too many after the last entry.
    CMergedLocalizationDictionary dictionary;
    EXPECT_TRUE(Parse(OneKey("Cancel", {{"DEU", "Abbrechen"}}), dictionary));
    EXPECT_FALSE(Parse(OneKey("Cancel", {{"DEU", "Abbrechen"}}) + '\0', dictionary));
}

TEST(DictionaryTable, BuildConvertsWithTheLanguageCodePageAndKeysWith1252)
{
    CMergedLocalizationDictionary dictionary;
    // "Café" in 1252 as key; the Russian text in 1251, the Japanese one in 932.
    CImageBuilder image;
    image.Magic().U32(1).Text("Caf\xE9").U32(2)
        .Bytes("RUS").Text("\xCA\xE0\xF4\xE5")
        .Bytes("JPN").Text("\x83\x4A\x83\x74\x83\x46");
    ASSERT_TRUE(Parse(image.Image(), dictionary));

    CLocalizationDictionary table;
    ASSERT_TRUE(dictionary.BuildLanguageTable(Lang(L"RUS"), table));
    EXPECT_EQ(Lang(L"RUS"), table.GetLanguage());
    EXPECT_EQ(1251u, table.GetCodePage());
    std::wstring out;
    ASSERT_TRUE(table.Translate(L"Caf\u00E9", out));
    EXPECT_EQ(L"\u041A\u0430\u0444\u0435", out);

    ASSERT_TRUE(dictionary.BuildLanguageTable(Lang(L"JPN"), table));
    ASSERT_TRUE(table.Translate(L"Caf\u00E9", out));
    EXPECT_EQ(L"\u30AB\u30D5\u30A7", out);
    EXPECT_EQ(1u, table.GetCount());
}

TEST(DictionaryTable, TranslateExactThenWithoutAmpersands)
{
    CLocalizationDictionary table;
    table.Insert(L"Cancel", L"Abbrechen");
    table.Insert(L"Cancel", L"Abbruch");          // the first text stays
    table.Insert(L"&Save", L"&Speichern");

    std::wstring out = L"untouched";
    ASSERT_TRUE(table.Translate(L"&Cancel", out));
    EXPECT_EQ(L"Abbrechen", out);
    ASSERT_TRUE(table.Translate(L"Can&c&el", out));
    EXPECT_EQ(L"Abbrechen", out);
    ASSERT_TRUE(table.Translate(L"&Save", out));
    EXPECT_EQ(L"&Speichern", out);

    out = L"untouched";
    EXPECT_FALSE(table.Translate(L"cancel", out));
    EXPECT_FALSE(table.Translate(L"Save", out));     // stored only with its '&'
    EXPECT_FALSE(table.Translate(L"&", out));
    EXPECT_EQ(L"untouched", out);
}

TEST(DictionaryTable, LanguageChangesOnlyWhileEmpty)
{
    CLocalizationDictionary table;
    EXPECT_TRUE(table.GetLanguage().IsNeutral());
    EXPECT_EQ(0u, table.GetCodePage());
    EXPECT_EQ(GetACP(), table.GetSystemCodePage());

    EXPECT_TRUE(table.SetLanguage(Lang(L"ELL")));
    EXPECT_EQ(1253u, table.GetCodePage());
    table.Insert(L"Cancel", L"\u0386\u03BA\u03C5\u03C1\u03BF");
    EXPECT_FALSE(table.SetLanguage(Lang(L"DEU")));
    EXPECT_EQ(Lang(L"ELL"), table.GetLanguage());
    EXPECT_EQ(1253u, table.GetCodePage());

    table.Clear();
    EXPECT_EQ(0u, table.GetCount());
    EXPECT_EQ(Lang(L"ELL"), table.GetLanguage());
    EXPECT_TRUE(table.SetLanguage(Lang(L"DEU")));
}

TEST(DictionaryTable, LanguageTextToWide)
{
    EXPECT_EQ(L"", LanguageTextToWide("", 1252));
    EXPECT_EQ(L"K\u00F6ln", LanguageTextToWide("K\xF6ln", 1252));
    EXPECT_EQ(L"\u0141\u00F3d\u017A", LanguageTextToWide("\xA3\xF3\x64\x9F", 1250));
    EXPECT_EQ(L"\u53D6\u6D88", LanguageTextToWide("\xC8\xA1\xCF\xFB", 936));
    EXPECT_EQ(L"ab", LanguageTextToWide("ab\0cd"s, 1252));
    // Code page 0 is the system's ANSI code page.
    EXPECT_EQ(LanguageTextToWide("Caf\xE9", GetACP()), LanguageTextToWide("Caf\xE9", 0));
}
