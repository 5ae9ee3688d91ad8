#include "MemberNameRule.h"

#include "StampBlock.h"

namespace {

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsAsciiNoCase(const std::wstring& text, const wchar_t* other) {
    size_t i = 0;
    for (; other[i] != L'\0'; ++i)
        if (i >= text.size() || AsciiUpper(text[i]) != AsciiUpper(other[i])) return false;
    return i == text.size();
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// ':' would name a drive or a stream; the others are wildcards and
// redirections that Windows refuses in a file name.
bool IsForbiddenCharacter(wchar_t c) {
    return c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|';
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with superscript digits), CONIN$,
// CONOUT$: Windows opens the device whatever extension follows.
bool IsReservedDeviceName(const std::wstring& component) {
    std::wstring base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* name : kNames)
        if (EqualsAsciiNoCase(base, name)) return true;
    if (base.size() == 4 && (EqualsAsciiNoCase(base.substr(0, 3), L"COM") || EqualsAsciiNoCase(base.substr(0, 3), L"LPT"))) {
        wchar_t d = base[3];
        if ((d >= L'1' && d <= L'9') || d == 0x00B9 || d == 0x00B2 || d == 0x00B3) return true;
    }
    return false;
}

bool IsAsciiLetterOrDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// The shape of a short alias, as Windows ("ABCDEF~1.TXT") and Wine
// ("TEMP~LCP.HTA") make them: a base of at most 8 characters with a '~' after
// its first character, letters or digits from its last '~' to its end, and
// an extension of at most 3 characters. Such a name can open the long-named
// file or folder that holds the alias instead of a new one.
bool HasShortAliasShape(const std::wstring& component) {
    const size_t dot = component.find(L'.');
    const std::wstring base = component.substr(0, dot);
    if (dot != std::wstring::npos) {
        const std::wstring extension = component.substr(dot + 1);
        if (extension.size() > 3 || extension.find(L'.') != std::wstring::npos) return false;
    }
    const size_t tilde = base.rfind(L'~');
    if (base.size() > 8 || tilde == std::wstring::npos || tilde == 0 || tilde + 1 == base.size()) return false;
    for (size_t i = tilde + 1; i < base.size(); ++i)
        if (!IsAsciiLetterOrDigit(base[i])) return false;
    return true;
}

const char* ComponentFault(const std::wstring& component) {
    if (component.empty()) return "empty folder or file name";  // "a\\b", leading or trailing separator
    if (component.back() == L'.' || component.back() == L' ')
        return "a folder or file name ends in '.' or ' '";       // ".", "..", "a." alias others
    if (IsReservedDeviceName(component)) return "reserved device name";
    if (HasShortAliasShape(component))
        return "a folder or file name in the shape of a short (8.3) alias, such as ABCDEF~1.TXT";
    return nullptr;
}

}  // namespace

const char* MemberNameFault(const std::wstring& name) {
    if (name.empty()) return "empty name";
    for (wchar_t c : name) {
        if (IsControl(c)) return "control character in the name";
        if (IsForbiddenCharacter(c)) return "character not allowed in a Windows file name (: * ? \" < > |)";
    }
    // The spool file is made first, at the top level: neither a file nor a
    // folder of that name can be made beside it.
    size_t firstEnd = 0;
    while (firstEnd < name.size() && !IsSeparator(name[firstEnd])) ++firstEnd;
    if (EqualsAsciiNoCase(name.substr(0, firstEnd), L"temp.htar"))
        return "\"temp.htar\" at the top level is the extraction's spool file";
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        if (const char* fault = ComponentFault(name.substr(start, end - start))) return fault;  // also a leading separator
        if (end == name.size()) return nullptr;
        start = end + 1;
    }
}

const char* SetupProgramNameFault(const std::string& name) {
    static_assert(stamp::kSetupNameMaxLength == 21, "the message names the limit");
    if (name.size() > stamp::kSetupNameMaxLength) return "the setup program name has more than 21 characters";
    for (unsigned char c : name) {
        if (c < 0x20 || c > 0x7E) return "the setup program name must be printable ASCII";
        if (c == '%') return "the setup program name contains '%', which the shell may expand into another path";
    }
    return nullptr;
}
