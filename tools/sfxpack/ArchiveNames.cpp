#include "ArchiveNames.h"

#include <cstdint>
#include <cstdio>

namespace sfxpack {
namespace {

// Code page 1252 bytes 0x80..0x9F and their Unicode characters; 0 marks the
// five bytes the code page leaves undefined.
const uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool UnicodeToCp1252(uint32_t cp, unsigned char& out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out = static_cast<unsigned char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) {
            out = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

std::string Hex(uint32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == 0;
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 name devices on Windows, also
// with an extension ("nul.txt") and with trailing blanks.
bool IsReservedDeviceName(const std::string& component) {
    std::string stem = component.substr(0, component.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* n : kNames)
        if (EqualsNoCase(stem, n)) return true;
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
        std::string head = stem.substr(0, 3);
        if (EqualsNoCase(head, "COM") || EqualsNoCase(head, "LPT")) return true;
    }
    return false;
}

}  // namespace

bool Utf8ToCp1252(const std::string& utf8, std::string& cp1252, std::string& error) {
    cp1252.clear();
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        uint32_t cp;
        std::size_t len;
        const unsigned char c = s[i];
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else { error = "invalid UTF-8"; return false; }
        if (i + len > n) { error = "invalid UTF-8"; return false; }
        for (std::size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) { error = "invalid UTF-8"; return false; }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8.
        static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            error = "invalid UTF-8";
            return false;
        }
        unsigned char out;
        if (!UnicodeToCp1252(cp, out)) {
            error = "character " + Hex(cp) + " is not representable in code page 1252";
            return false;
        }
        cp1252.push_back(static_cast<char>(out));
        i += len;
    }
    return true;
}

bool CheckMemberName(const std::string& name, std::string& error) {
    if (name.empty()) { error = "empty name"; return false; }
    if (name.size() + 1 > kMaxNameBytesWithNul) {
        error = "name longer than " + std::to_string(kMaxNameBytesWithNul - 1) + " bytes";
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) { error = "control character in name"; return false; }
        if (c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' || c == '/') {
            error = std::string("character '") + static_cast<char>(c) + "' is not allowed in a Windows file name";
            return false;
        }
    }
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t end = name.find('\\', start);
        const std::string component = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (component.empty()) { error = "empty path component"; return false; }
        if (component == "." || component == "..") { error = "\".\" or \"..\" component"; return false; }
        if (IsReservedDeviceName(component)) { error = "reserved device name \"" + component + "\""; return false; }
        if (first && end == std::string::npos && EqualsNoCase(component, "temp.htar")) {
            error = "\"temp.htar\" at the top level is the extraction's spool file";
            return false;
        }
        first = false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

std::string FoldCaseCp1252(const std::string& name) {
    std::string out(name);
    for (char& ch : out) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z') ch = static_cast<char>(c - 0x20);
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) ch = static_cast<char>(c - 0x20);  // à..þ -> À..Þ
        else if (c == 0x9A || c == 0x9C || c == 0x9E) ch = static_cast<char>(c - 0x10);  // š œ ž
        else if (c == 0xFF) ch = static_cast<char>(0x9F);                                // ÿ -> Ÿ
    }
    return out;
}

}  // namespace sfxpack
