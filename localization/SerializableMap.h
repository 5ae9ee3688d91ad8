// std::map that reads and writes itself through an IArchive: a u32 count, then
// each key followed by its value. A key met twice keeps its first value.
#pragma once

#include "Archive.h"
#include "Language.h"

#include <map>
#include <string>
#include <utility>

// Element (de)serialization used by serializable_map.
void ReadLanguage(IArchive& archive, CLanguage& language);
void WriteLanguage(IArchive& archive, const CLanguage& language);

inline void ArchiveRead(IArchive& archive, std::string& text) { archive.ReadString(text); }
inline void ArchiveWrite(IArchive& archive, const std::string& text) { archive.WriteString(text); }
inline void ArchiveRead(IArchive& archive, CLanguage& language) { ReadLanguage(archive, language); }
inline void ArchiveWrite(IArchive& archive, const CLanguage& language) { WriteLanguage(archive, language); }
inline void ArchiveRead(IArchive& archive, ISerializableObject& object) { object.Serialize(archive); }
inline void ArchiveWrite(IArchive& archive, ISerializableObject& object) { object.Serialize(archive); }

// Which read entries are kept. A translation is kept only under a language of
// the catalogue (an unknown code would otherwise sit under the invalid
// language, where an unknown system language could pick it up) and only when
// it is not empty (an empty text must never blank a user-interface text).
// An English key is kept only when it is not empty: an empty one would be the
// translation of every empty or '&'-only window text.
template <class K, class V>
inline bool KeepArchivedEntry(const K&, const V&) { return true; }
template <class V>
inline bool KeepArchivedEntry(const std::string& key, const V&) { return !key.empty(); }
inline bool KeepArchivedEntry(const CLanguage& language, const std::string& text)
{
    return language.IsValid() && !text.empty();
}

template <class K, class V>
class serializable_map : public std::map<K, V>, public ISerializableObject {
public:
    void Serialize(IArchive& archive) override
    {
        if (archive.IsStoring()) {
            archive.WriteU32(uint32_t(this->size()));
            for (auto& entry : *this) {
                ArchiveWrite(archive, entry.first);
                ArchiveWrite(archive, entry.second);
            }
            return;
        }
        const uint32_t count = archive.ReadU32();
        for (uint32_t i = 0; i < count; ++i) {
            K key = MakeKey();
            ArchiveRead(archive, key);
            V value;
            ArchiveRead(archive, value);
            if (KeepArchivedEntry(key, value)) this->emplace(std::move(key), std::move(value));
        }
    }

private:
    static K MakeKey() { return K(); }
};

// Languages are read into a neutral value.
template <>
inline CLanguage serializable_map<CLanguage, std::string>::MakeKey()
{
    CLanguage language;
    language.SetNeutral();
    return language;
}

using LanguageTextMap = serializable_map<CLanguage, std::string>;
using MergedDictionaryMap = serializable_map<std::string, LanguageTextMap>;
