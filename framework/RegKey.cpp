#include "RegKey.h"

LONG CRegKey::Open(HKEY hKeyParent, LPCWSTR lpszKeyName, REGSAM samDesired)
{
    Close();
    HKEY hKey = nullptr;
    const LONG result = ::RegOpenKeyExW(hKeyParent, lpszKeyName, 0, samDesired, &hKey);
    if (result == ERROR_SUCCESS)
        m_hKey = hKey;
    return result;
}

LONG CRegKey::Create(HKEY hKeyParent, LPCWSTR lpszKeyName, LPWSTR lpszClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecAttr, LPDWORD lpdwDisposition)
{
    Close();
    HKEY hKey = nullptr;
    DWORD disposition = 0;
    const LONG result = ::RegCreateKeyExW(hKeyParent, lpszKeyName, 0, lpszClass, dwOptions, samDesired,
                                          lpSecAttr, &hKey, &disposition);
    if (lpdwDisposition != nullptr)
        *lpdwDisposition = disposition;
    if (result == ERROR_SUCCESS)
        m_hKey = hKey;
    return result;
}

LONG CRegKey::Close()
{
    LONG result = ERROR_SUCCESS;
    if (m_hKey != nullptr) {
        result = ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
    return result;
}
