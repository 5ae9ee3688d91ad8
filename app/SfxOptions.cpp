#include "SfxOptions.h"

#include <cwchar>

namespace {

const wchar_t kUnpackSwitch[] = L"/UFPATH=";
constexpr size_t kUnpackSwitchLength = 8;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The "/UFPATH=" value: the switch, then every trailing and every leading
// double quote removed.
std::wstring UnpackFolderOf(const std::wstring& token) {
    std::wstring value = token.substr(kUnpackSwitchLength);
    size_t end = value.size();
    while (end > 0 && value[end - 1] == L'"') --end;
    size_t begin = 0;
    while (begin < end && value[begin] == L'"') ++begin;
    return value.substr(begin, end - begin);
}

}  // namespace

void CSfxOptions::Parse(CSfxOptions& options, const wchar_t* commandLine) {
    if (commandLine == nullptr) return;
    const size_t n = std::wcslen(commandLine);
    size_t p = 0;
    while (p < n) {
        while (p < n && IsBlank(commandLine[p])) ++p;
        const size_t s = p;
        size_t e = s + 1;
        if (s >= n) {
            e = n;  // only blanks were left: one empty token
        } else {
            // The first character is never looked at, so a leading quote opens
            // no quoted stretch. A backslash escapes a quote except in a
            // "/UFPATH=" token, where "C:\dir\" must still close its quotes.
            const bool unpackToken = std::wcsncmp(commandLine + s, kUnpackSwitch, kUnpackSwitchLength) == 0;
            bool quoted = false;
            while (e < n) {
                const wchar_t c = commandLine[e];
                if (c == L'"') {
                    if (!(commandLine[e - 1] == L'\\' && !unpackToken)) quoted = !quoted;
                    ++e;
                } else if (IsBlank(c) && !quoted) {
                    break;
                } else {
                    ++e;
                }
            }
        }
        // The whole token counts: pass-on arguments are never cut short.
        const std::wstring token(commandLine + s, e - s);
        p = e;

        if (token == L"/q") options.m_bQuiet = 1;
        else if (token == L"/u") options.m_bNoLaunch = 1;
        else if (token == L"/w") options.m_bWait = 1;
        else if (token == L"/CLEANUP") options.m_bCleanup = 1;
        else if (token.compare(0, kUnpackSwitchLength, kUnpackSwitch) == 0)
            options.m_strUnpackFolder = UnpackFolderOf(token);
        else
            options.m_strArguments += L" " + token;
    }
}
