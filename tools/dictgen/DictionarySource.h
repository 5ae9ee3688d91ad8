// The UTF-8 dictionary source:
//
//   # comment
//   [English text]              starts a key (the text between the brackets)
//   DEU = translated text       one translation (3-letter code, " = ", text)
//
// Blank lines and comments are ignored; texts are taken verbatim to the end of
// the line. The source is checked as it is read, and every problem is reported
// with its line number.
#pragma once

#include <map>
#include <string>
#include <vector>

class CDictionarySource {
public:
    // English key (code page 1252) -> language code -> text in that language's code page.
    using Entries = std::map<std::string, std::map<std::string, std::string>>;

    // Parses and checks the text; FALSE when any error was found (see Errors()).
    bool Parse(const std::string& text, const std::string& fileName);

    const Entries& GetEntries() const { return m_entries; }
    const std::vector<std::string>& Errors() const { return m_errors; }

    // The binary merged dictionary of the entries.
    std::string Serialize() const;

private:
    void Fail(size_t line, const std::string& message);
    void ParseKey(size_t line, const std::string& body);
    void ParseTranslation(size_t line, const std::string& body);

    std::string m_fileName;
    Entries m_entries;
    std::vector<std::string> m_errors;
    std::map<std::string, size_t> m_keyLines;  // UTF-8 key -> line, for duplicates
    std::string m_currentKeyUtf8;
    std::string m_currentKey;                  // code page 1252
    bool m_haveKey = false;
    bool m_keyRefused = false;
};
