#include "DictionarySource.h"

#include "CodePageEncoder.h"
#include "PrintfConversions.h"

namespace {

constexpr unsigned kKeyCodePage = 1252;
const char kMagic[] = "Polyglossator merged dictionary file";
constexpr unsigned kVersion = 0x01000000;

void PutU32(std::string& out, size_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out += char((value >> shift) & 0xFF);
}

void PutText(std::string& out, const std::string& text)
{
    PutU32(out, text.size());
    out += text;
}

}  // namespace

void CDictionarySource::Fail(size_t line, const std::string& message)
{
    m_errors.push_back(m_fileName + ":" + std::to_string(line) + ": error: " + message);
}

bool CDictionarySource::Parse(const std::string& text, const std::string& fileName)
{
    m_fileName = fileName;
    size_t pos = 0, lineNo = 0;
    // A UTF-8 byte-order mark is allowed at the start.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        if (line.find('\0') != std::string::npos) {
            Fail(lineNo, "NUL character");
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') ParseKey(lineNo, line);
        else ParseTranslation(lineNo, line);
    }
    if (m_entries.empty() && m_errors.empty()) Fail(lineNo, "no keys");
    return m_errors.empty();
}

void CDictionarySource::ParseKey(size_t line, const std::string& body)
{
    m_haveKey = false;
    m_keyRefused = true;
    if (body.size() < 2 || body.back() != ']') {
        Fail(line, "a key line must end with ']'");
        return;
    }
    const std::string key = body.substr(1, body.size() - 2);
    if (key.empty()) {
        Fail(line, "empty key");
        return;
    }
    const auto seen = m_keyLines.find(key);
    if (seen != m_keyLines.end()) {
        Fail(line, "duplicate key \"" + key + "\" (first on line " + std::to_string(seen->second) + ")");
        return;
    }
    std::string encoded, error;
    if (!EncodeForCodePage(key, kKeyCodePage, encoded, error)) {
        Fail(line, "key \"" + key + "\": " + error);
        return;
    }
    std::vector<std::string> conversions;
    if (!ExtractPrintfConversions(key, conversions, error)) {
        Fail(line, "key \"" + key + "\": " + error);
        return;
    }
    m_keyLines[key] = line;
    m_currentKeyUtf8 = key;
    m_currentKey = encoded;
    m_entries[encoded];
    m_haveKey = true;
    m_keyRefused = false;
}

void CDictionarySource::ParseTranslation(size_t line, const std::string& body)
{
    if (body.size() < 6 || body.compare(3, 3, " = ") != 0) {
        Fail(line, "expected \"[key]\" or \"XXX = text\"");
        return;
    }
    const std::string code = body.substr(0, 3);
    const std::string text = body.substr(6);
    const unsigned codePage = CodePageOfLanguage(code);
    if (codePage == 0) {
        Fail(line, "unknown language code \"" + code + "\"");
        return;
    }
    if (!m_haveKey) {
        // After a refused key line the error is already reported.
        if (!m_keyRefused) Fail(line, "translation before the first key");
        return;
    }
    auto& texts = m_entries[m_currentKey];
    if (texts.count(code)) {
        Fail(line, "language " + code + " repeated for key \"" + m_currentKeyUtf8 + "\"");
        return;
    }
    if (text.empty()) {
        Fail(line, "empty translation for " + code);
        return;
    }
    std::vector<std::string> wanted, found;
    std::string error;
    ExtractPrintfConversions(m_currentKeyUtf8, wanted, error);
    if (!ExtractPrintfConversions(text, found, error)) {
        Fail(line, code + ": " + error);
        return;
    }
    if (found != wanted) {
        auto join = [](const std::vector<std::string>& list) {
            std::string s;
            for (const std::string& item : list) s += (s.empty() ? "" : " ") + item;
            return s.empty() ? std::string("none") : s;
        };
        Fail(line, code + ": printf conversions (" + join(found) + ") differ from the key's (" + join(wanted) + ")");
        return;
    }
    std::string encoded;
    if (!EncodeForCodePage(text, codePage, encoded, error)) {
        Fail(line, code + ": " + error);
        return;
    }
    texts[code] = encoded;
}

std::string CDictionarySource::Serialize() const
{
    std::string out;
    PutText(out, kMagic);
    PutU32(out, kVersion);
    PutU32(out, m_entries.size());
    // std::map order: keys by bytes, codes alphabetically (they are upper case).
    for (const auto& key : m_entries) {
        PutText(out, key.first);
        PutU32(out, key.second.size());
        for (const auto& entry : key.second) {
            out += entry.first;
            PutText(out, entry.second);
        }
    }
    return out;
}
