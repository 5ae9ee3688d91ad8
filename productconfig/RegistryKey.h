// One registry key: its hive, path and access mask, plus the handles once it
// is opened or created. Value operations open the key on demand. Throwing
// operations raise CQuorSXSError with origin 0x50000; the HRESULT wrappers map it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Hive selectors of CRegistryKey.
enum RegistryHive : int32_t {
    REGISTRY_HIVE_LOCAL_MACHINE = 1,
    REGISTRY_HIVE_CURRENT_USER = 2,
    REGISTRY_HIVE_CLASSES_ROOT = 3,
};

// KEY_ALL_ACCESS without DELETE and KEY_SET_VALUE: a key opened with it can be
// read and given sub-keys, but cannot have values set.
constexpr REGSAM RegistryKeyDefaultAccess = 0xE003D;

class CRegistryKey {
public:
    CRegistryKey();
    CRegistryKey(int32_t hive, const std::wstring& path);
    CRegistryKey(int32_t hive, const std::wstring& path, REGSAM access);
    ~CRegistryKey();

    // A copy describes the same key but holds no handle of its own (the source
    // keeps its handles); a move hands the handles over.
    CRegistryKey(const CRegistryKey& other);
    CRegistryKey(CRegistryKey&& other) noexcept;
    // Closes this key's handles, then takes the other key's path, hive and access.
    CRegistryKey& operator=(const CRegistryKey& other);
    CRegistryKey& operator=(CRegistryKey&& other) noexcept;

    // Closes both handles and forgets the path.
    void Close();
    // Sets hive and access; any handle held is closed first.
    void SetHive(int32_t hive, REGSAM access);

    // Throwing layer.
    void OpenHiveRoot();
    void CreateOrThrow();
    void OpenOrThrow();
    bool TryOpen();
    void SetStringValueOrThrow(const std::wstring& valueName, const std::wstring& text);
    std::wstring QueryStringValueOrThrow(const std::wstring& valueName);
    CRegistryKey MakeSubKey(const std::wstring& subKeyName) const;

    // HRESULT layer. Open answers 0x80070006 for any failure.
    HRESULT Open();
    HRESULT Create();
    HRESULT SetStringValue(const std::wstring& valueName, const std::wstring& text);
    HRESULT QueryStringValue(const std::wstring& valueName, std::wstring* text);
    HRESULT OpenSubKey(const std::wstring& subKeyName, CRegistryKey* subKey);

    const std::wstring& GetPath() const { return m_strPath; }
    int32_t GetHive() const { return m_nHive; }
    REGSAM GetAccess() const { return m_samDesired; }
    HKEY GetHandle() const { return m_hKey; }
    bool IsOpen() const { return m_hKey != nullptr; }

private:
    void CloseHandles();

    std::wstring m_strPath;
    HKEY m_hKey;
    REGSAM m_samDesired;
    int32_t m_nHive;
    HKEY m_hHiveRoot;
};

// Joins two key paths with exactly one backslash at the seam when both are
// non-empty; an empty side adds nothing.
std::wstring JoinKeyPath(const std::wstring& first, const std::wstring& second);
