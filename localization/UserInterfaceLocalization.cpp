#include "UserInterfaceLocalization.h"
#include "LocalizedHelpFile.h"
#include "MergedLocalizationDictionary.h"
#include "ResourceFileLocalization.h"
#include "ShortcutFixer_Chinese.h"

#include <cstdlib>
#include <new>

COzuUserInterfaceLocalization* g_pUserInterfaceLocalization = nullptr;
LocalizationType g_nLocalizationType = 0;
BOOL g_bLocalizationOwned = FALSE;
HINSTANCE g_hDefaultResourceHandle = nullptr;
CString g_strLanguageModulePrefix;
// The mnemonic fixers come right after the prefix in the start-up order (and
// go in reverse at exit); they stand ready for dialogs that attach one.
CShortcutFixer g_ShortcutFixer;
CShortcutFixer_Asia g_ShortcutFixerAsia;
CShortcutFixer_Chinese g_ShortcutFixerChinese;

COzuUserInterfaceLocalization::COzuUserInterfaceLocalization()
{
    m_language.SetNeutral();
    m_secondLanguage.SetNeutral();
}

BOOL COzuUserInterfaceLocalization::ChangeLanguage(const CLanguage& language, std::wstring helpFolder)
{
    if (g_pUserInterfaceLocalization == nullptr)
        return FALSE;
    // A copy: the caller may pass a reference into this object.
    const CLanguage newLanguage = language;
    BOOL ok = SetLanguage(newLanguage);
    if (ok) {
        m_language = newLanguage;
        UpdateHelpFilePath(std::move(helpFolder));
    }
    return ok;
}

void COzuUserInterfaceLocalization::UpdateHelpFilePath(std::wstring helpFolder)
{
    CWinApp* pApp = AfxGetModuleState()->m_pCurrentWinApp;
    if (pApp == nullptr)
        return;
    const std::wstring folder = helpFolder.empty() ? std::wstring(GetModuleDirectory().GetString()) : helpFolder;

    // Names not yet known (the application was never initialized) count as empty.
    std::wstring stem1 = pApp->m_pszAppName ? pApp->m_pszAppName : L"";
    std::wstring stem2 = pApp->m_pszExeName ? pApp->m_pszExeName : L"";
    if (!m_language.IsNeutral()) {
        stem1 += L'_';
        stem2 += L'_';
    }
    for (std::wstring* stem : { &stem1, &stem2 }) {
        std::wstring compact;
        for (wchar_t ch : *stem) {
            if (ch != L' ')
                compact += ch;
        }
        stem->swap(compact);
    }

    std::wstring path;
    if (!FindLocalizedHelpFile(&path, folder.c_str(), stem1.c_str(), stem2.c_str(), m_language,
                               pApp->m_pszAppName ? pApp->m_pszAppName : L""))
        return;
    wchar_t* copy = _wcsdup(path.c_str());
    if (copy == nullptr)
        throw std::bad_alloc();
    free(const_cast<LPWSTR>(pApp->m_pszHelpFilePath));
    pApp->m_pszHelpFilePath = copy;
}

BOOL CNonLocalized::SetLanguage(const CLanguage& language)
{
    return language.IsNeutral();
}

BOOL CNonLocalized::IsLanguageAvailable(const CLanguage& language)
{
    return language.IsNeutral();
}

BOOL CDictionaryLocalization::EnsureLoaded()
{
    if (m_bLoaded)
        return TRUE;
    HMODULE hModule = AfxGetModuleState()->m_hCurrentResourceHandle;
    if (!TryLoadMergedDictionary(hModule, GetDictionaryResourceId()))
        return FALSE;
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL CDictionaryLocalization::SetLanguage(const CLanguage& language)
{
    if (!EnsureLoaded())
        return FALSE;
    return SelectDictionaryLanguage(language);
}

BOOL CDictionaryLocalization::IsLanguageAvailable(const CLanguage& language)
{
    if (!EnsureLoaded())
        return FALSE;
    return IsDictionaryLanguageAvailable(language);
}

LocalizationType GetLocalizationType()
{
    return g_nLocalizationType;
}

BOOL IsLocalizationInstalled()
{
    return GetLocalizationType() != 0;
}

BOOL CreateLocalizationStrategy(LocalizationType kind, COzuUserInterfaceLocalization** ppOut)
{
    if (ppOut == nullptr)
        return FALSE;
    switch (kind) {
    case LOCALIZATION_NONE:
        *ppOut = new CNonLocalized;
        return TRUE;
    case LOCALIZATION_RESOURCE_FILES:
        *ppOut = new CResourceFileLocalization;
        return TRUE;
    case LOCALIZATION_DICTIONARY:
        *ppOut = new CDictionaryLocalization;
        return TRUE;
    default:
        *ppOut = new CNonLocalized;
        return FALSE;
    }
}

BOOL InstallLocalizationStrategy(LocalizationType kind)
{
    COzuUserInterfaceLocalization* pNew = nullptr;
    BOOL ok = CreateLocalizationStrategy(kind, &pNew);
    if (g_pUserInterfaceLocalization != nullptr && g_bLocalizationOwned) {
        COzuUserInterfaceLocalization* pOld = g_pUserInterfaceLocalization;
        g_pUserInterfaceLocalization = nullptr;
        delete pOld;
    }
    g_pUserInterfaceLocalization = pNew;
    g_bLocalizationOwned = TRUE;
    if (ok)
        g_nLocalizationType = kind;
    return ok;
}

void DeleteLocalizationStrategy()
{
    if (g_pUserInterfaceLocalization == nullptr || !g_bLocalizationOwned)
        return;
    COzuUserInterfaceLocalization* pOld = g_pUserInterfaceLocalization;
    g_pUserInterfaceLocalization = nullptr;
    delete pOld;
}

uint32_t GetDictionaryResourceId()
{
    if (g_pUserInterfaceLocalization == nullptr)
        return 0x80004005u;  // E_FAIL
    return g_pUserInterfaceLocalization->GetDictionaryResourceIdValue();
}

CString GetModuleDirectory()
{
    wchar_t path[1040] = {};
    ::GetModuleFileNameW(nullptr, path, 1040);
    wchar_t drive[1040] = {};
    wchar_t dir[1040] = {};
    wchar_t name[1040] = {};
    wchar_t ext[1040] = {};
    if (_wsplitpath_s(path, drive, 1040, dir, 1040, name, 1040, ext, 1040) != 0)
        return CString();
    wchar_t joined[1040] = {};
    if (_wmakepath_s(joined, 1040, drive, dir, nullptr, nullptr) != 0)
        return CString();
    return CString(joined);
}
