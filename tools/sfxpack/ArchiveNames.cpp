#include "ArchiveNames.h"

#include <cstdint>
#include <cstdio>

#include "MemberNameRule.h"

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

std::wstring Cp1252ToWide(const std::string& cp1252) {
    std::wstring wide;
    for (char ch : cp1252) {
        const unsigned char c = static_cast<unsigned char>(ch);
        // The five bytes the code page leaves undefined convert to the C1
        // controls of the same value, as Windows converts them.
        const uint16_t mapped = (c >= 0x80 && c <= 0x9F) ? kCp1252High[c - 0x80] : 0;
        wide.push_back(static_cast<wchar_t>(mapped != 0 ? mapped : c));
    }
    return wide;
}

bool CheckMemberName(const std::string& name, std::string& error) {
    if (name.size() + 1 > kMaxMemberNameBytes) {
        error = "name longer than " + std::to_string(kMaxMemberNameBytes - 1) + " bytes";
        return false;
    }
    // The archive's only folder separator is '\'; the launcher would take '/' as a second one.
    if (name.find('/') != std::string::npos) {
        error = "character '/' is not allowed in a member name";
        return false;
    }
    // The launcher's own rule, on the name as a code page 1252 machine converts it.
    if (const char* fault = MemberNameFault(Cp1252ToWide(name))) {
        error = fault;
        return false;
    }
    return true;
}

bool SetupProgramPacked(const std::string& setupName, const std::vector<std::string>& members) {
    std::string wanted = setupName;
    for (char& c : wanted)
        if (c == '/') c = '\\';
    wanted = FoldCaseCp1252(wanted);
    const std::size_t base = wanted.rfind('\\') + 1;  // 0 without a folder
    const bool hasExtension = wanted.find('.', base) != std::string::npos;
    static const char* const kProgramExtensions[] = {".PIF", ".COM", ".EXE", ".BAT", ".LNK", ".CMD"};
    for (const std::string& member : members) {
        const std::string name = FoldCaseCp1252(member);
        if (name == wanted) return true;
        if (hasExtension || name.size() != wanted.size() + 4 || name.compare(0, wanted.size(), wanted) != 0) continue;
        for (const char* extension : kProgramExtensions)
            if (name.compare(wanted.size(), 4, extension) == 0) return true;
    }
    return false;
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
