// Run under a system locale (LC_ALL) with QUOR_EXPECTED_LANGUAGE naming the
// language code Wine should then report: the system language selects that
// language's texts, decoded from its code page.
#include "Language.h"
#include "LocalizationDictionary.h"
#include "MergedLocalizationDictionary.h"
#include "TestDictionaries.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

std::wstring ExpectedCode()
{
    const char* value = getenv("QUOR_EXPECTED_LANGUAGE");
    return value ? std::wstring(value, value + strlen(value)) : std::wstring();
}

}  // namespace

TEST(SystemLocale, SystemLanguageSelectsItsTexts)
{
    const std::wstring code = ExpectedCode();
    ASSERT_FALSE(code.empty()) << "runs in the language_test_locale_* entries (QUOR_EXPECTED_LANGUAGE)";

    // As at start-up: the exact system language, no fallback.
    const CLanguage system = CLanguage::FromSystemDefaultLangId(FALSE);
    ASSERT_EQ(code, std::wstring(system.GetCode())) << "LANGID " << std::hex << GetSystemDefaultLangID();
    EXPECT_EQ(GetACP(), system.GetAnsiCodePage());
    EXPECT_EQ(GetACP(), GetLocalizationDictionary()->GetSystemCodePage());

    ASSERT_TRUE(TryLoadMergedDictionary(GetModuleHandleW(nullptr), langtest::kDictionaryId));
    ASSERT_TRUE(IsDictionaryLanguageAvailable(system));
    ASSERT_TRUE(SelectDictionaryLanguage(system));

    // Every text against the UTF-8 source (Spanish of Spain reads ESP).
    const langtest::SourceTexts source =
        langtest::ParseDictionarySource(langtest::ProgramResource(langtest::kSourceId, MAKEINTRESOURCEW(10)));
    const std::string sourceCode = code == L"ESN" ? "ESP" : std::string(code.begin(), code.end());
    ASSERT_EQ(12u, source.size());
    for (const auto& key : source) {
        std::wstring text;
        ASSERT_TRUE(GetLocalizationDictionary()->Translate(langtest::Utf8ToWide(key.first), text)) << key.first;
        EXPECT_EQ(langtest::Utf8ToWide(key.second.at(sourceCode)), text) << key.first;
    }

    // And one text written out here, independent of the source file.
    const std::map<std::wstring, std::wstring> cancel = {
        {L"DEU", L"Abbrechen"},
        {L"JPN", L"\u30AD\u30E3\u30F3\u30BB\u30EB"},
        {L"RUS", L"\u041E\u0442\u043C\u0435\u043D\u0430"},
        {L"CHT", L"\u53D6\u6D88"},
        {L"ESN", L"Cancelar"}};
    std::wstring text;
    ASSERT_TRUE(GetLocalizationDictionary()->Translate(L"&Cancel", text));
    ASSERT_TRUE(cancel.count(code));
    EXPECT_EQ(cancel.at(code), text);
}

// Keys are Western text whatever the system's code page: "Caf\xE9" is "Café"
// also where 0xE9 means something else (a lead byte under 932, a Cyrillic
// letter under 1251).
TEST(SystemLocale, KeysAreReadWithTheWesternCodePage)
{
    langtest::CImageBuilder image;
    image.Magic().U32(1).Text("Caf\xE9").U32(1).Bytes("DEU").Text("Kaffee");
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(ParseMergedDictionary(image.Image().data(), image.Image().size(), dictionary));
    CLocalizationDictionary table;
    ASSERT_TRUE(dictionary.BuildLanguageTable(CLanguage::FromCode3(L"DEU", FALSE), table));
    std::wstring text;
    EXPECT_TRUE(table.Translate(L"Caf\u00E9", text)) << "ANSI code page " << GetACP();
    EXPECT_EQ(L"Kaffee", text);
}
