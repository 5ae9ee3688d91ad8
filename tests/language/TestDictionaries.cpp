#include "TestDictionaries.h"

namespace langtest {

CImageBuilder& CImageBuilder::U32(uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) m_bytes += char((value >> shift) & 0xFF);
    return *this;
}

CImageBuilder& CImageBuilder::Bytes(const std::string& bytes)
{
    m_bytes += bytes;
    return *this;
}

std::string ProgramResource(unsigned id, const wchar_t* type)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!resource) return std::string();
    HGLOBAL loaded = LoadResource(module, resource);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(module, resource)) : std::string();
}

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), &wide[0], n);
    return wide;
}

SourceTexts ParseDictionarySource(const std::string& text)
{
    SourceTexts result;
    std::string key;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[' && line.back() == ']') {
            key = line.substr(1, line.size() - 2);
            result[key];
        } else if (line.size() > 6 && line.compare(3, 3, " = ") == 0) {
            result[key][line.substr(0, 3)] = line.substr(6);
        }
    }
    return result;
}

std::vector<std::wstring> Conversions(const std::wstring& text)
{
    std::vector<std::wstring> result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') continue;
        size_t end = i + 1;
        while (end < text.size() && !wcschr(L"%diouxXeEfgGaAcCsSpn", text[end])) ++end;
        result.push_back(text.substr(i, end + 1 - i));
        i = end;
    }
    return result;
}

}  // namespace langtest
