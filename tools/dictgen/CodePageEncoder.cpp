#include "CodePageEncoder.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <map>

unsigned CodePageOfLanguage(const std::string& code)
{
    // Every code of the language catalogue with the ANSI code page Windows
    // gives its locale.
    static const std::map<std::string, unsigned> kCodePages = {
        {"ENU", 1252}, {"ENG", 1252}, {"ENC", 1252}, {"ENA", 1252}, {"UKR", 1251}, {"JPN", 932},
        {"RUS", 1251}, {"DEU", 1252}, {"FRA", 1252}, {"FRC", 1252}, {"ITA", 1252}, {"PTB", 1252},
        {"PTG", 1252}, {"DAN", 1252}, {"NLD", 1252}, {"CHT", 950},  {"CHS", 936},  {"ZHH", 950},
        {"ZHI", 936},  {"ZHM", 950},  {"FIN", 1252}, {"HUN", 1250}, {"PLK", 1250}, {"SVE", 1252},
        {"NOR", 1252}, {"CSY", 1250}, {"KOR", 949},  {"SKY", 1250}, {"SLV", 1250}, {"ELL", 1253},
        {"TRK", 1254}, {"THA", 874},  {"ESN", 1252}, {"ESP", 1252}, {"ESS", 1252}, {"ESB", 1252},
        {"ESL", 1252}, {"ESO", 1252}, {"ESC", 1252}, {"ESD", 1252}, {"ESF", 1252}, {"ESE", 1252},
        {"ESG", 1252}, {"ESH", 1252}, {"ESM", 1252}, {"ESI", 1252}, {"ESA", 1252}, {"ESZ", 1252},
        {"ESR", 1252}, {"ESU", 1252}, {"ESY", 1252}, {"ESV", 1252}, {"CAT", 1252}, {"HRV", 1250},
        {"ARA", 1256}, {"ARG", 1256}, {"ARH", 1256}, {"ARE", 1256}, {"ARI", 1256}, {"ARJ", 1256},
        {"ARK", 1256}, {"ARB", 1256}, {"ARL", 1256}, {"ARM", 1256}, {"ARO", 1256}, {"ARQ", 1256},
        {"ARS", 1256}, {"ART", 1256}, {"ARU", 1256}, {"ARY", 1256}, {"HEB", 1255}, {"IND", 1252},
        {"MSL", 1252},
    };
    const auto it = kCodePages.find(code);
    return it == kCodePages.end() ? 0 : it->second;
}

namespace {

// A conversion descriptor that is closed on every path.
class CIconv {
public:
    CIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconv() {
        if (Ok()) iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

bool Convert(const std::string& in, const char* to, const char* from, std::string& out, size_t& badOffset, bool& opened)
{
    CIconv cd(to, from);
    opened = cd.Ok();
    if (!opened) return false;
    out.clear();
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof(buffer);
        const size_t rc = iconv(cd.Get(), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, size_t(dst - buffer));
        if (rc == size_t(-1) && errno != E2BIG) {
            badOffset = in.size() - srcLeft;
            return false;
        }
    }
    // Flush any shift state (none of these code pages has one).
    char* dst = buffer;
    size_t dstLeft = sizeof(buffer);
    iconv(cd.Get(), nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, size_t(dst - buffer));
    return true;
}

// The character (as UTF-8) that starts at offset, for messages.
std::string CharacterAt(const std::string& utf8, size_t offset)
{
    size_t end = offset + 1;
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
    return utf8.substr(offset, end - offset);
}

}  // namespace

bool EncodeForCodePage(const std::string& utf8, unsigned codePage, std::string& out, std::string& error)
{
    std::string check;
    size_t bad = 0;
    bool opened = false;
    // Validate the UTF-8 first, so the two kinds of failure are told apart.
    if (!Convert(utf8, "UTF-32LE", "UTF-8", check, bad, opened)) {
        error = opened ? "invalid UTF-8 at byte " + std::to_string(bad) : "iconv cannot convert from UTF-8";
        return false;
    }
    const std::string name = "CP" + std::to_string(codePage);
    if (!Convert(utf8, name.c_str(), "UTF-8", out, bad, opened)) {
        if (!opened) error = "iconv does not know code page " + name;
        else error = "character \"" + CharacterAt(utf8, bad) + "\" cannot be encoded in code page " + std::to_string(codePage);
        return false;
    }
    return true;
}
