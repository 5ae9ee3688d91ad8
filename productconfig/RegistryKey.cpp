#include "RegistryKey.h"

#include "QuorSXSError.h"

#include <utility>
#include <vector>

namespace {

const HRESULT HResultInvalidHandle = static_cast<HRESULT>(0x80070006L);

[[noreturn]] void ThrowRegistry(LONG result)
{
    throw CQuorSXSError(static_cast<uint32_t>(result), SXS_ORIGIN_REGISTRY);
}

bool IsPredefinedRoot(HKEY key)
{
    return key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER;
}

}  // namespace

CRegistryKey::CRegistryKey()
    : m_hKey(nullptr), m_samDesired(RegistryKeyDefaultAccess), m_nHive(0), m_hHiveRoot(nullptr)
{
}

CRegistryKey::CRegistryKey(int32_t hive, const std::wstring& path)
    : m_strPath(path), m_hKey(nullptr), m_samDesired(RegistryKeyDefaultAccess), m_nHive(hive), m_hHiveRoot(nullptr)
{
}

CRegistryKey::CRegistryKey(int32_t hive, const std::wstring& path, REGSAM access)
    : m_strPath(path), m_hKey(nullptr), m_samDesired(access), m_nHive(hive), m_hHiveRoot(nullptr)
{
}

CRegistryKey::~CRegistryKey()
{
    Close();
}

CRegistryKey::CRegistryKey(const CRegistryKey& other)
    : m_strPath(other.m_strPath), m_hKey(nullptr), m_samDesired(other.m_samDesired), m_nHive(other.m_nHive),
      m_hHiveRoot(nullptr)
{
}

CRegistryKey::CRegistryKey(CRegistryKey&& other) noexcept
    : m_strPath(std::move(other.m_strPath)), m_hKey(other.m_hKey), m_samDesired(other.m_samDesired),
      m_nHive(other.m_nHive), m_hHiveRoot(other.m_hHiveRoot)
{
    other.m_hKey = nullptr;
    other.m_hHiveRoot = nullptr;
    other.m_strPath.clear();
}

CRegistryKey& CRegistryKey::operator=(const CRegistryKey& other)
{
    if (this == &other)
        return *this;
    CloseHandles();
    m_strPath = other.m_strPath;
    SetHive(other.m_nHive, other.m_samDesired);
    return *this;
}

CRegistryKey& CRegistryKey::operator=(CRegistryKey&& other) noexcept
{
    if (this == &other)
        return *this;
    CloseHandles();
    m_strPath = std::move(other.m_strPath);
    m_nHive = other.m_nHive;
    m_samDesired = other.m_samDesired;
    m_hKey = other.m_hKey;
    m_hHiveRoot = other.m_hHiveRoot;
    other.m_hKey = nullptr;
    other.m_hHiveRoot = nullptr;
    other.m_strPath.clear();
    return *this;
}

void CRegistryKey::CloseHandles()
{
    if (m_hKey != nullptr) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
    if (m_hHiveRoot != nullptr) {
        // Only the current user's hive handle is owned; the predefined roots need no closing.
        if (!IsPredefinedRoot(m_hHiveRoot))
            RegCloseKey(m_hHiveRoot);
        m_hHiveRoot = nullptr;
    }
}

void CRegistryKey::Close()
{
    CloseHandles();
    m_strPath.clear();
}

void CRegistryKey::SetHive(int32_t hive, REGSAM access)
{
    CloseHandles();
    m_nHive = hive;
    m_samDesired = access;
}

void CRegistryKey::OpenHiveRoot()
{
    if (m_hHiveRoot != nullptr)
        return;
    switch (m_nHive) {
    case REGISTRY_HIVE_LOCAL_MACHINE:
        m_hHiveRoot = HKEY_LOCAL_MACHINE;
        break;
    case REGISTRY_HIVE_CURRENT_USER: {
        // The user's own hive, whatever the key's mask; the mask applies to the key itself.
        HKEY root = nullptr;
        LONG result = RegOpenCurrentUser(KEY_ALL_ACCESS, &root);
        if (result != ERROR_SUCCESS)
            ThrowRegistry(result);
        m_hHiveRoot = root;
        break;
    }
    case REGISTRY_HIVE_CLASSES_ROOT:
        m_hHiveRoot = HKEY_CLASSES_ROOT;
        break;
    default:
        throw CQuorSXSError(ERROR_INVALID_ACCESS, SXS_ORIGIN_REGISTRY);
    }
}

void CRegistryKey::CreateOrThrow()
{
    if (m_hKey != nullptr)
        return;
    OpenHiveRoot();
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG result = RegCreateKeyExW(m_hHiveRoot, m_strPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  m_samDesired, nullptr, &key, &disposition);
    if (result != ERROR_SUCCESS)
        ThrowRegistry(result);
    m_hKey = key;
}

void CRegistryKey::OpenOrThrow()
{
    if (m_hKey != nullptr)
        return;
    OpenHiveRoot();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(m_hHiveRoot, m_strPath.c_str(), 0, m_samDesired, &key);
    if (result != ERROR_SUCCESS)
        ThrowRegistry(result);
    m_hKey = key;
}

bool CRegistryKey::TryOpen()
{
    try {
        OpenOrThrow();
        return true;
    } catch (const CQuorSXSError&) {
        return false;
    }
}

void CRegistryKey::SetStringValueOrThrow(const std::wstring& valueName, const std::wstring& text)
{
    OpenOrThrow();
    // REG_SZ sizes are DWORD byte counts: refuse a text whose size does not fit.
    const size_t maxChars = (static_cast<size_t>(MAXDWORD) / sizeof(wchar_t)) - 1;
    if (text.size() > maxChars)
        throw CQuorSXSError(ERROR_INVALID_PARAMETER, SXS_ORIGIN_REGISTRY);
    const DWORD cb = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    LONG result = RegSetValueExW(m_hKey, valueName.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()), cb);
    if (result != ERROR_SUCCESS)
        ThrowRegistry(result);
}

std::wstring CRegistryKey::QueryStringValueOrThrow(const std::wstring& valueName)
{
    OpenOrThrow();
    DWORD type = 0;
    DWORD cb = 0;
    LONG result = RegQueryValueExW(m_hKey, valueName.c_str(), nullptr, &type, nullptr, &cb);
    if (result != ERROR_SUCCESS)
        ThrowRegistry(result);
    if (type != REG_SZ)
        throw CQuorSXSError(ERROR_DATATYPE_MISMATCH, SXS_ORIGIN_REGISTRY);

    // Room for cb bytes rounded up to whole characters plus a terminator, in a
    // count that cannot overflow even with a 32-bit size_t.
    std::vector<wchar_t> buffer(static_cast<size_t>(cb / sizeof(wchar_t)) + 2, L'\0');
    DWORD cbRead = cb;
    result = RegQueryValueExW(m_hKey, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                              &cbRead);
    if (result != ERROR_SUCCESS)
        ThrowRegistry(result);
    // The buffer is zeroed beyond the data, so a text stored without terminator
    // still ends, and an embedded NUL ends it early.
    return std::wstring(buffer.data());
}

CRegistryKey CRegistryKey::MakeSubKey(const std::wstring& subKeyName) const
{
    return CRegistryKey(m_nHive, JoinKeyPath(m_strPath, subKeyName), m_samDesired);
}

HRESULT CRegistryKey::Open()
{
    return TryOpen() ? S_OK : HResultInvalidHandle;
}

HRESULT CRegistryKey::Create()
{
    return CallMappingErrors([&] { CreateOrThrow(); });
}

HRESULT CRegistryKey::SetStringValue(const std::wstring& valueName, const std::wstring& text)
{
    return CallMappingErrors([&] { SetStringValueOrThrow(valueName, text); });
}

HRESULT CRegistryKey::QueryStringValue(const std::wstring& valueName, std::wstring* text)
{
    if (text == nullptr)
        return E_POINTER;
    return CallMappingErrors([&] {
        std::wstring value = QueryStringValueOrThrow(valueName);
        *text = std::move(value);
    });
}

HRESULT CRegistryKey::OpenSubKey(const std::wstring& subKeyName, CRegistryKey* subKey)
{
    if (subKey == nullptr)
        return E_POINTER;
    return CallMappingErrors([&] {
        CRegistryKey local = MakeSubKey(subKeyName);
        *subKey = local;
        local.Close();
    });
}

std::wstring JoinKeyPath(const std::wstring& first, const std::wstring& second)
{
    if (first.empty() || second.empty())
        return first + second;
    const bool firstEnds = first.back() == L'\\';
    const bool secondBegins = second.front() == L'\\';
    if (firstEnds && secondBegins)
        return first + second.substr(1);
    if (!firstEnds && !secondBegins)
        return first + L'\\' + second;
    return first + second;
}
