#include "AppLanguageSlot.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr DWORD kSlotBytes = 20;  // 10 UTF-16 characters
HANDLE g_hAppLanguageMapping = nullptr;

std::wstring SlotName()
{
    wchar_t name[261];
    _snwprintf(name, 260, L"QuorAppLanguage_%d", int(GetCurrentProcessId()));
    name[260] = 0;
    return name;
}

}  // namespace

BOOL CloseAppLanguageMapping()
{
    if (g_hAppLanguageMapping) {
        CloseHandle(g_hAppLanguageMapping);
        g_hAppLanguageMapping = nullptr;
    }
    return TRUE;
}

BOOL PublishAppLanguage(const wchar_t* text)
{
    const std::wstring name = SlotName();
    CloseAppLanguageMapping();

    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSlotBytes, name.c_str());
    if (!mapping || mapping == INVALID_HANDLE_VALUE) return FALSE;
    g_hAppLanguageMapping = mapping;

    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kSlotBytes);
    if (!view) return FALSE;
    // Zero the whole slot first: a shorter text must not leave the tail of an
    // earlier, longer one behind (a reused mapping keeps its bytes).
    memset(view, 0, kSlotBytes);
    if (text) {
        size_t bytes = wcslen(text) * sizeof(wchar_t);
        if (bytes > kSlotBytes) bytes = kSlotBytes;
        memcpy(view, text, bytes);
    }
    UnmapViewOfFile(view);
    return TRUE;
}

BOOL ReadAppLanguage(std::wstring& out)
{
    const std::wstring name = SlotName();
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    if (!mapping) return FALSE;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kSlotBytes);
    if (!view) {
        CloseHandle(mapping);
        return FALSE;
    }
    const wchar_t* chars = static_cast<const wchar_t*>(view);
    size_t length = 0;
    while (length < kSlotBytes / sizeof(wchar_t) && chars[length] != 0) ++length;
    out.assign(chars, length);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return TRUE;
}
