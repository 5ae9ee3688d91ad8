// Helpers of the language tests: dictionary images built byte by byte, a
// storing archive, the test program's own resources and the dictionary source.
#pragma once

#include "Archive.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace langtest {

constexpr unsigned kDictionaryId = 137;
constexpr unsigned kTrailingByteDictionaryId = 140;
constexpr unsigned kOtherVersionDictionaryId = 141;
constexpr unsigned kSourceId = 200;

// Builds a dictionary image field by field (lengths given or computed).
class CImageBuilder {
public:
    CImageBuilder& U32(uint32_t value);
    CImageBuilder& Bytes(const std::string& bytes);
    CImageBuilder& Text(const std::string& text) { return U32(uint32_t(text.size())).Bytes(text); }
    CImageBuilder& Magic() { return Text("Polyglossator merged dictionary file").U32(0x01000000); }
    const std::string& Image() const { return m_bytes; }

private:
    std::string m_bytes;
};

class CMemoryWriteArchive : public IArchive {
public:
    bool IsStoring() const override { return true; }
    void Write(const void* data, unsigned length) override { m_bytes.append(static_cast<const char*>(data), length); }
    unsigned Read(void*, unsigned) override { return 0; }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// The bytes of a resource of this program; empty when it is missing.
std::string ProgramResource(unsigned id, const wchar_t* type);

std::wstring Utf8ToWide(const std::string& text);

// English key (UTF-8) -> language code -> text (UTF-8), from the source file.
using SourceTexts = std::map<std::string, std::map<std::string, std::string>>;
SourceTexts ParseDictionarySource(const std::string& text);

// printf conversions of a text in order, "%%" included.
std::vector<std::wstring> Conversions(const std::wstring& text);

}  // namespace langtest
