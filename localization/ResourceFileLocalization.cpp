#include "ResourceFileLocalization.h"
#include "FileVersion.h"

#include <string>
#include <vector>

namespace {

// Full path of a module; empty when it cannot be obtained.
std::wstring ModuleFileName(HMODULE hModule)
{
    std::vector<wchar_t> buffer(1040, L'\0');
    DWORD n = ::GetModuleFileNameW(hModule, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return std::wstring();
    return std::wstring(buffer.data(), n);
}

// Long form of a path; empty when it cannot be obtained.
std::wstring LongPathName(const std::wstring& path)
{
    std::vector<wchar_t> buffer(260, L'\0');
    DWORD n = ::GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size()) {
        buffer.assign(static_cast<size_t>(n) + 1, L'\0');
        n = ::GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n >= buffer.size())
            return std::wstring();
    }
    return n == 0 ? std::wstring() : std::wstring(buffer.data(), n);
}

// The satellite is read as resources only: mapped as an image-resource data
// file, so none of its code runs, and only when its version is exactly the
// program's own.
HMODULE LoadSatellite(const std::wstring& path, const FileVersion& version)
{
    const FileVersion found = GetFileVersion(path.c_str());
    if (IsVersionGreater(found, version) || IsVersionGreater(version, found))
        return nullptr;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

}  // namespace

HINSTANCE GetDefaultResourceHandle()
{
    if (g_hDefaultResourceHandle != nullptr)
        return g_hDefaultResourceHandle;
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

CResourceFileLocalization::~CResourceFileLocalization()
{
    if (m_hSatellite == nullptr)
        return;
    // Nothing may load from the satellite once it is gone.
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (pState->m_hCurrentResourceHandle == m_hSatellite)
        pState->m_hCurrentResourceHandle = GetDefaultResourceHandle();
    ::FreeLibrary(m_hSatellite);
    m_hSatellite = nullptr;
}

HMODULE CResourceFileLocalization::LoadLanguageModule(CLanguage language)
{
    CWinApp* pApp = AfxGetModuleState()->m_pCurrentWinApp;
    if (pApp == nullptr)
        return nullptr;

    // The program's own folder: without it nothing is loaded (a bare name
    // would let the library search pick a file from elsewhere).
    const std::wstring modulePath = ModuleFileName(pApp->m_hInstance);
    const size_t slash = modulePath.rfind(L'\\');
    if (slash == std::wstring::npos)
        return nullptr;
    const std::wstring folder = modulePath.substr(0, slash + 1);

    // Base name: the long file name up to its first '.'; a name without '.'
    // is the base as a whole.
    std::wstring base = pApp->m_pszExeName ? pApp->m_pszExeName : L"";
    const std::wstring longPath = LongPathName(modulePath);
    if (!longPath.empty()) {
        const size_t nameStart = longPath.rfind(L'\\');
        std::wstring name = nameStart == std::wstring::npos ? longPath : longPath.substr(nameStart + 1);
        base = name.substr(0, name.find(L'.'));
    }

    std::wstring candidate1;
    std::wstring candidate2;
    if (!g_strLanguageModulePrefix.IsEmpty()) {
        candidate1 = std::wstring(g_strLanguageModulePrefix.GetString()) + language.GetCultureName() + L".NLS";
        candidate2 = std::wstring(g_strLanguageModulePrefix.GetString()) + language.GetCode() + L".NLS";
    } else {
        candidate1 = base + L"_" + language.GetCultureName() + L".NLS";
        candidate2 = base + L"-" + language.GetCode() + L".NLS";
    }

    const FileVersion version = GetModuleVersion(pApp->m_hInstance);
    if (HMODULE hModule = LoadSatellite(folder + candidate1, version))
        return hModule;
    return LoadSatellite(folder + candidate2, version);
}

BOOL CResourceFileLocalization::SetLanguage(const CLanguage& language)
{
    if (language.IsNeutral()) {
        AfxGetModuleState()->m_hCurrentResourceHandle = GetDefaultResourceHandle();
        return TRUE;
    }
    HMODULE hModule = LoadLanguageModule(language);
    if (hModule == nullptr)
        return FALSE;
    HMODULE hPrevious = m_hSatellite;
    AfxGetModuleState()->m_hCurrentResourceHandle = hModule;
    m_hSatellite = hModule;
    if (hPrevious != nullptr)
        ::FreeLibrary(hPrevious);
    return TRUE;
}

BOOL CResourceFileLocalization::IsLanguageAvailable(const CLanguage& language)
{
    if (language.IsNeutral())
        return TRUE;
    if (!language.IsValid())
        return FALSE;
    HMODULE hModule = LoadLanguageModule(language);
    if (hModule == nullptr)
        return FALSE;
    ::FreeLibrary(hModule);
    return TRUE;
}
