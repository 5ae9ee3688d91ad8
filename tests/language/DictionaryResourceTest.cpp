// The launcher's dictionary as embedded in a program: its content against the
// UTF-8 source, damaged copies of it, loading through the process-wide
// dictionaries, and the string-table functions.
#include "DictionaryStrings.h"
#include "LocalizationDictionary.h"
#include "MergedLocalizationDictionary.h"
#include "TestDictionaries.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

const char* const kLanguages[] = {"CHS", "CHT", "CSY", "DAN", "DEU", "ELL", "ENU", "ESP", "FIN", "FRA", "HUN", "ITA",
                                  "JPN", "KOR", "NLD", "NOR", "PLK", "PTB", "PTG", "RUS", "SVE", "THA", "TRK"};

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

CLanguage Lang(const wchar_t* code) { return CLanguage::FromCode3(code, FALSE); }

void LoadLauncherDictionary()
{
    ASSERT_TRUE(TryLoadMergedDictionary(GetModuleHandleW(nullptr), langtest::kDictionaryId));
}

std::wstring Translated(const std::wstring& key)
{
    std::wstring out = L"<missing>";
    GetLocalizationDictionary()->Translate(key, out);
    return out;
}

}  // namespace

TEST(LauncherDictionary, ParsesToItsLastByteWithTwelveKeysInTwentyThreeLanguages)
{
    const std::string image = langtest::ProgramResource(langtest::kDictionaryId, L"DICTIONARY");
    ASSERT_FALSE(image.empty());
    CMemoryArchive archive(image.data(), image.size());
    CMergedLocalizationDictionary dictionary;
    dictionary.Serialize(archive);
    EXPECT_EQ(0u, archive.Remaining());

    ASSERT_EQ(12u, dictionary.Map().size());
    std::set<CLanguage> expected;
    for (const char* code : kLanguages) expected.insert(Lang(Wide(code).c_str()));
    for (const auto& key : dictionary.Map()) {
        std::set<CLanguage> found;
        for (const auto& entry : key.second) found.insert(entry.first);
        EXPECT_TRUE(found == expected) << key.first;
        // English is the key itself.
        EXPECT_EQ(key.first, key.second.at(Lang(L"ENU")));
    }

    // Written back it is the same image: keys and entries are in map order.
    langtest::CMemoryWriteArchive out;
    dictionary.Serialize(out);
    EXPECT_TRUE(out.Bytes() == image);
}

TEST(LauncherDictionary, EveryTextDecodesToItsSourceWithTheKeysConversions)
{
    const std::string image = langtest::ProgramResource(langtest::kDictionaryId, L"DICTIONARY");
    const langtest::SourceTexts source = langtest::ParseDictionarySource(langtest::ProgramResource(langtest::kSourceId, MAKEINTRESOURCEW(10)));
    CMergedLocalizationDictionary dictionary;
    ASSERT_TRUE(ParseMergedDictionary(image.data(), image.size(), dictionary));
    ASSERT_EQ(12u, source.size());

    size_t checked = 0;
    for (const char* code : kLanguages) {
        const CLanguage language = Lang(Wide(code).c_str());
        CLocalizationDictionary table;
        ASSERT_TRUE(dictionary.BuildLanguageTable(language, table)) << code;
        EXPECT_EQ(12u, table.GetCount()) << code;
        for (const auto& key : source) {
            const std::wstring wideKey = langtest::Utf8ToWide(key.first);
            std::wstring text;
            ASSERT_TRUE(table.Translate(wideKey, text)) << code << " " << key.first;
            EXPECT_EQ(langtest::Utf8ToWide(key.second.at(code)), text) << code << " " << key.first;
            EXPECT_EQ(langtest::Conversions(wideKey), langtest::Conversions(text)) << code << " " << key.first;
            EXPECT_FALSE(text.empty());
            ++checked;
        }
    }
    EXPECT_EQ(12u * 23u, checked);
}

TEST(LauncherDictionary, EveryTruncationFailsAndReadsNothingBeyondItsEnd)
{
    const std::string image = langtest::ProgramResource(langtest::kDictionaryId, L"DICTIONARY");
    ASSERT_FALSE(image.empty());
    // Each cut copy ends right before an inaccessible page, so a read past
    // its end would crash the test instead of passing unnoticed.
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t pages = (image.size() + info.dwPageSize - 1) / info.dwPageSize;
    const size_t span = pages * info.dwPageSize;
    uint8_t* block = static_cast<uint8_t*>(VirtualAlloc(nullptr, span + info.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, block);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(block + span, info.dwPageSize, PAGE_NOACCESS, &old));

    size_t accepted = 0;
    for (size_t length = 0; length <= image.size(); ++length) {
        uint8_t* start = block + span - length;
        memcpy(start, image.data(), length);
        CMergedLocalizationDictionary dictionary;
        if (ParseMergedDictionary(start, length, dictionary)) {
            ++accepted;
            EXPECT_EQ(image.size(), length);
        }
    }
    EXPECT_EQ(1u, accepted);
    VirtualFree(block, 0, MEM_RELEASE);
}

TEST(ProcessDictionary, LoadsOnceAndSecondLoadChangesNothing)
{
    EXPECT_EQ(0, LoadMergedDictionary(GetModuleHandleW(nullptr), 999));
    EXPECT_EQ(0, LoadMergedDictionary(nullptr, 999));
    LoadLauncherDictionary();
    const MergedDictionaryMap before = g_MergedLocalizationDictionary.Map();
    EXPECT_EQ(1, LoadMergedDictionary(GetModuleHandleW(nullptr), langtest::kDictionaryId));
    EXPECT_TRUE(before == g_MergedLocalizationDictionary.Map());
}

TEST(ProcessDictionary, ADamagedResourceAddsNothing)
{
    LoadLauncherDictionary();
    const MergedDictionaryMap before = g_MergedLocalizationDictionary.Map();
    EXPECT_EQ(0, LoadMergedDictionary(GetModuleHandleW(nullptr), langtest::kTrailingByteDictionaryId));
    EXPECT_TRUE(before == g_MergedLocalizationDictionary.Map());
    EXPECT_EQ(0u, g_MergedLocalizationDictionary.Map().count("Trailing"));

    // A resource of another version loads and adds its key.
    EXPECT_EQ(1, LoadMergedDictionary(GetModuleHandleW(nullptr), langtest::kOtherVersionDictionaryId));
    EXPECT_EQ("Versioniert", g_MergedLocalizationDictionary.Map().at("Versioned").at(Lang(L"DEU")));
    EXPECT_EQ(before.size() + 1, g_MergedLocalizationDictionary.Map().size());
}

TEST(ProcessDictionary, SelectingLanguages)
{
    LoadLauncherDictionary();
    // Spanish of Spain (ESN) reads the texts stored under ESP.
    EXPECT_TRUE(IsDictionaryLanguageAvailable(Lang(L"ESN")));
    ASSERT_TRUE(SelectDictionaryLanguage(Lang(L"ESN")));
    EXPECT_EQ(Lang(L"ESP"), GetLocalizationDictionary()->GetLanguage());
    EXPECT_EQ(L"Cancelar", Translated(L"Cancel"));
    EXPECT_EQ(L"Cancelar", Translated(L"&Cancel"));

    // Mexican Spanish has no texts: FALSE, an empty table, ESM its language.
    EXPECT_FALSE(IsDictionaryLanguageAvailable(Lang(L"ESM")));
    EXPECT_FALSE(SelectDictionaryLanguage(Lang(L"ESM")));
    EXPECT_EQ(0u, GetLocalizationDictionary()->GetCount());
    EXPECT_EQ(Lang(L"ESM"), GetLocalizationDictionary()->GetLanguage());
    EXPECT_EQ(L"<missing>", Translated(L"Cancel"));

    // An unknown language is refused and leaves the table empty.
    EXPECT_FALSE(IsDictionaryLanguageAvailable(CLanguage::FromCode3(L"XYZ", FALSE)));
    ASSERT_TRUE(SelectDictionaryLanguage(Lang(L"DEU")));
    EXPECT_FALSE(SelectDictionaryLanguage(CLanguage::FromCode3(L"XYZ", FALSE)));
    EXPECT_EQ(0u, GetLocalizationDictionary()->GetCount());

    // Neutral empties the table and keeps its language.
    ASSERT_TRUE(SelectDictionaryLanguage(Lang(L"JPN")));
    EXPECT_EQ(L"\u30AD\u30E3\u30F3\u30BB\u30EB", Translated(L"Cancel"));
    CLanguage neutral;
    neutral.SetNeutral();
    EXPECT_TRUE(IsDictionaryLanguageAvailable(neutral));
    EXPECT_TRUE(SelectDictionaryLanguage(neutral));
    EXPECT_EQ(0u, GetLocalizationDictionary()->GetCount());
    EXPECT_EQ(Lang(L"JPN"), GetLocalizationDictionary()->GetLanguage());

    EXPECT_TRUE(IsDictionaryLanguageAvailable(Lang(L"ENU")));
    EXPECT_FALSE(IsDictionaryLanguageAvailable(Lang(L"ARA")));
}

TEST(StringTable, EntriesOfABlock)
{
    const HMODULE self = GetModuleHandleW(nullptr);
    std::wstring text = L"untouched";
    LoadStringFromTable(self, 143, text);
    EXPECT_EQ(L"Welcome", text);
    LoadStringFromTable(self, 16, text);
    EXPECT_EQ(L"Sixteen", text);
    LoadStringFromTable(self, 31, text);
    EXPECT_EQ(L"Thirty-one", text);
    text = L"untouched";
    LoadStringFromTable(self, 17, text);     // empty entry of a present block
    EXPECT_EQ(L"untouched", text);
    LoadStringFromTable(self, 5000, text);   // no such block
    EXPECT_EQ(L"untouched", text);
}

TEST(StringTable, ADamagedBlockIsNeverReadPastItsEnd)
{
    const HMODULE self = GetModuleHandleW(nullptr);
    std::wstring text = L"untouched";
    LoadStringFromTable(self, 1584, text);
    EXPECT_EQ(L"AB", text);
    text = L"untouched";
    LoadStringFromTable(self, 1585, text);   // claims 40 characters, holds 1
    EXPECT_EQ(L"untouched", text);
    LoadStringFromTable(self, 1599, text);   // beyond the damaged entry
    EXPECT_EQ(L"untouched", text);
}

TEST(StringTable, TranslatedStrings)
{
    LoadLauncherDictionary();
    ASSERT_TRUE(SelectDictionaryLanguage(Lang(L"DEU")));
    const HMODULE self = GetModuleHandleW(nullptr);
    std::wstring text;
    LoadTranslatedString(self, 143, text);
    EXPECT_EQ(L"Willkommen", text);
    LoadTranslatedString(self, 139, text);
    EXPECT_EQ(L"Extrahieren %d %%", text);
    LoadTranslatedString(self, 144, text);
    EXPECT_EQ(L"Not in the dictionary", text);

    EXPECT_TRUE(TranslateString(L"Welcome", text));
    EXPECT_EQ(L"Willkommen", text);
    EXPECT_FALSE(TranslateString(L"welcome", text));
    EXPECT_EQ(L"welcome", text);
    EXPECT_TRUE(TranslateStdString(std::wstring(L"&Cancel"), text));
    EXPECT_EQ(L"Abbrechen", text);
    EXPECT_FALSE(TranslateStdString(std::wstring(L"Other"), text));
    EXPECT_EQ(L"Other", text);
}
