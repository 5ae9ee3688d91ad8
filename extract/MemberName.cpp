#include "MemberName.h"

#include <windows.h>

namespace {

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsAsciiNoCase(const std::wstring& text, const wchar_t* other) {
    size_t i = 0;
    for (; other[i] != L'\0'; ++i)
        if (i >= text.size() || AsciiUpper(text[i]) != AsciiUpper(other[i])) return false;
    return i == text.size();
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

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

bool IsSafeComponent(const std::wstring& component) {
    if (component.empty()) return false;                            // "a\\b", leading or trailing separator
    if (component.back() == L'.' || component.back() == L' ') return false;  // ".", "..", "a." alias others
    return !IsReservedDeviceName(component);
}

}  // namespace

bool ConvertMemberName(const char* bytes, size_t length, std::wstring& wide) {
    wide.clear();
    if (length == 0) return true;
    if (length + 1 >= kMaxMemberNameBytes) return false;  // with its NUL
    int n = MultiByteToWideChar(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), &wide[0], n) == n;
}

bool IsSafeMemberName(const std::wstring& name) {
    if (name.empty()) return false;
    for (wchar_t c : name)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == L':') return false;  // control characters, drives, streams
    if (EqualsAsciiNoCase(name, L"temp.htar")) return false;      // the spool file itself
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        if (!IsSafeComponent(name.substr(start, end - start))) return false;  // also a leading separator
        if (end == name.size()) return true;
        start = end + 1;
    }
}
