#include "MergedLocalizationDictionary.h"

#include <cstring>

// Built in this order at start-up (the table of the selected language first);
// both live until exit.
CLocalizationDictionary g_LocalizationDictionary;
CMergedLocalizationDictionary g_MergedLocalizationDictionary;

const char CMergedLocalizationDictionary::kMagic[] = "Polyglossator merged dictionary file";

namespace {
constexpr unsigned kKeyCodePage = 1252;  // English keys, whatever the system's code page
}

CLocalizationDictionary* GetLocalizationDictionary()
{
    return &g_LocalizationDictionary;
}

void ReadLanguage(IArchive& archive, CLanguage& language)
{
    char code[4] = {};
    archive.ReadExact(code, 3);
    wchar_t wide[4] = {};
    // Widened with the thread's ANSI code page; codes are ASCII.
    if (code[0] != 0) MultiByteToWideChar(CP_THREAD_ACP, 0, code, -1, wide, 4);
    language = CLanguage::FromCode3(wide, FALSE);
}

void WriteLanguage(IArchive& archive, const CLanguage& language)
{
    char code[3] = {};
    if (language.IsValid())
        WideCharToMultiByte(CP_THREAD_ACP, 0, language.GetCode(), 3, code, 3, nullptr, nullptr);
    archive.Write(code, 3);
}

void CMergedLocalizationDictionary::Serialize(IArchive& archive)
{
    if (archive.IsStoring()) {
        archive.WriteCString(kMagic);
        archive.WriteU32(kVersion);
        m_map.Serialize(archive);
        return;
    }
    std::string magic;
    archive.ReadString(magic);
    archive.ReadU32();  // version: any is accepted
    if (magic.size() != sizeof(kMagic) - 1 || memcmp(magic.data(), kMagic, magic.size()) != 0)
        throw IArchive::kBadMagic;
    m_map.Serialize(archive);
}

BOOL CMergedLocalizationDictionary::HasLanguage(const CLanguage& language) const
{
    if (language.IsNeutral()) return TRUE;
    if (!language.IsValid()) return FALSE;
    for (const auto& key : m_map)
        if (key.second.count(language)) return TRUE;
    return FALSE;
}

BOOL CMergedLocalizationDictionary::BuildLanguageTable(const CLanguage& language,
                                                       CLocalizationDictionary& table) const
{
    table.Clear();
    table.SetLanguage(language);
    const unsigned codePage = language.GetAnsiCodePage();
    BOOL found = FALSE;
    for (const auto& key : m_map) {
        const auto entry = key.second.find(language);
        if (entry == key.second.end()) continue;
        table.Insert(LanguageTextToWide(key.first, kKeyCodePage), LanguageTextToWide(entry->second, codePage));
        found = TRUE;
    }
    return found;
}

void CMergedLocalizationDictionary::MergeFrom(const CMergedLocalizationDictionary& other)
{
    for (const auto& key : other.m_map) {
        LanguageTextMap& texts = m_map[key.first];
        for (const auto& entry : key.second) texts.emplace(entry.first, entry.second);
    }
}

BOOL ParseMergedDictionary(const void* data, size_t size, CMergedLocalizationDictionary& dictionary)
{
    CMemoryArchive archive(data, size);
    try {
        dictionary.Serialize(archive);
    } catch (IArchive::EXCEPTION) {
        return FALSE;
    }
    // Nothing may follow the last entry: trailing bytes mean a damaged resource.
    return archive.Remaining() == 0;
}

int LoadMergedDictionary(HMODULE module, unsigned resourceId)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId & 0xFFFF), L"Dictionary");
    if (!resource) return 0;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return 0;
    const void* data = LockResource(loaded);
    if (!data) return 0;

    // Read into a fresh dictionary and take it over only when the whole
    // resource was read: a damaged resource leaves nothing half-loaded.
    CMergedLocalizationDictionary parsed;
    if (!ParseMergedDictionary(data, size, parsed)) return 0;
    g_MergedLocalizationDictionary.MergeFrom(parsed);
    return 1;
}

BOOL TryLoadMergedDictionary(HMODULE module, unsigned resourceId)
{
    return LoadMergedDictionary(module, resourceId) > 0;
}

namespace {
// The dictionary carries Spanish under ESP (es-ES_tradnl), not ESN (es-ES).
CLanguage DictionaryLanguage(const CLanguage& language)
{
    if (wcscmp(language.GetCode(), L"ESN") == 0) return CLanguage::FromCode3(L"ESP", FALSE);
    return language;
}
}  // namespace

BOOL SelectDictionaryLanguage(CLanguage language)
{
    if (language.IsNeutral()) {
        g_LocalizationDictionary.Clear();
        return TRUE;
    }
    return g_MergedLocalizationDictionary.BuildLanguageTable(DictionaryLanguage(language), g_LocalizationDictionary);
}

BOOL IsDictionaryLanguageAvailable(CLanguage language)
{
    if (language.IsNeutral()) return TRUE;
    language = DictionaryLanguage(language);
    if (!language.IsValid()) return FALSE;
    return g_MergedLocalizationDictionary.HasLanguage(language);
}
