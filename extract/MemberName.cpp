#include "MemberName.h"

#include <windows.h>

bool ConvertMemberName(const char* bytes, size_t length, std::wstring& wide) {
    wide.clear();
    if (length == 0) return true;
    if (length + 1 > kMaxMemberNameBytes) return false;  // with its NUL
    // No MB_ERR_INVALID_CHARS: an archive packed under code page 1252 holds
    // names that are not valid in 932 or UTF-8; they are written under what
    // the conversion gives instead of refusing the whole archive.
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, static_cast<int>(length), &wide[0], n) == n;
}
