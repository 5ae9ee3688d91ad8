// CRegKey: one open registry key, closed with its object.
#pragma once

#include <windows.h>

class CRegKey
{
public:
    HKEY m_hKey = nullptr;

    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    operator HKEY() const { return m_hKey; }

    // Opens an existing key (any key held before is closed first); a Windows error code.
    LONG Open(HKEY hKeyParent, LPCWSTR lpszKeyName, REGSAM samDesired = KEY_READ | KEY_WRITE);
    // Opens the key, creating it and its missing parents first; a Windows error code.
    LONG Create(HKEY hKeyParent, LPCWSTR lpszKeyName, LPWSTR lpszClass = nullptr,
                DWORD dwOptions = REG_OPTION_NON_VOLATILE, REGSAM samDesired = KEY_READ | KEY_WRITE,
                LPSECURITY_ATTRIBUTES lpSecAttr = nullptr, LPDWORD lpdwDisposition = nullptr);
    LONG Close();
};
