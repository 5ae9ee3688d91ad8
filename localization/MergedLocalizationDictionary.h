// The merged dictionary resource ("DICTIONARY"): every English text of the user
// interface with its translations, each in its language's ANSI code page.
//
// Layout (u32 = unsigned 32-bit little-endian):
//   u32 36, "Polyglossator merged dictionary file", u32 version,
//   u32 key count, then per key: u32 length + English text (code page 1252),
//   u32 entry count, then per entry: 3-byte language code, u32 length + text.
#pragma once

#include "Language.h"
#include "LocalizationDictionary.h"
#include "SerializableMap.h"

#include <cstddef>

class CMergedLocalizationDictionary : public ISerializableObject {
public:
    static const char kMagic[];  // "Polyglossator merged dictionary file"
    static constexpr uint32_t kVersion = 0x01000000;

    void Serialize(IArchive& archive) override;
    BOOL HasLanguage(const CLanguage& language) const;
    // Fills table with the language's texts; TRUE when at least one was found.
    BOOL BuildLanguageTable(const CLanguage& language, CLocalizationDictionary& table) const;

    // Adds what other holds; keys and languages already present keep their texts.
    void MergeFrom(const CMergedLocalizationDictionary& other);

    MergedDictionaryMap& Map() { return m_map; }
    const MergedDictionaryMap& Map() const { return m_map; }

private:
    MergedDictionaryMap m_map;
};

extern CMergedLocalizationDictionary g_MergedLocalizationDictionary;

// Parses a whole dictionary image into dictionary. The image must hold exactly
// one dictionary: a short image or trailing bytes fail. FALSE leaves dictionary
// in an unspecified state.
BOOL ParseMergedDictionary(const void* data, size_t size, CMergedLocalizationDictionary& dictionary);

// 1 when the module's resource (type "Dictionary") was found and read into
// g_MergedLocalizationDictionary, 0 otherwise; a failed read adds nothing.
int LoadMergedDictionary(HMODULE module, unsigned resourceId);
BOOL TryLoadMergedDictionary(HMODULE module, unsigned resourceId);
// Fills g_LocalizationDictionary for the language (ESN reads the ESP texts).
BOOL SelectDictionaryLanguage(CLanguage language);
BOOL IsDictionaryLanguageAvailable(CLanguage language);
