// Localization strategies: how the user interface is translated, and the
// process-wide globals that hold the one strategy in force.
//
//   kind 0  CNonLocalized              no translation; only the neutral language
//   kind 1  CResourceFileLocalization  satellite resource modules (ResourceFileLocalization.h)
//   kind 2  CDictionaryLocalization    the merged dictionary embedded as a resource
//
// The strategy lives in the globals (not in the application object); the
// application base installs it when constructed and deletes it when destroyed.
// UI thread only: nothing here is locked.
#pragma once

#include "afxwin.h"
#include "Language.h"

#include <cstdint>
#include <string>

typedef int32_t LocalizationType;

constexpr LocalizationType LOCALIZATION_NONE = 0;
constexpr LocalizationType LOCALIZATION_RESOURCE_FILES = 1;
constexpr LocalizationType LOCALIZATION_DICTIONARY = 2;

class COzuUserInterfaceLocalization
{
public:
    // Neutral current language, dictionary resource id 0.
    COzuUserInterfaceLocalization();
    virtual ~COzuUserInterfaceLocalization() = default;
    COzuUserInterfaceLocalization(const COzuUserInterfaceLocalization&) = delete;
    COzuUserInterfaceLocalization& operator=(const COzuUserInterfaceLocalization&) = delete;

    // Switches the strategy's translation source to the language; FALSE refuses it.
    virtual BOOL SetLanguage(const CLanguage& language) = 0;
    // Whether the language could be switched to; changes nothing.
    virtual BOOL IsLanguageAvailable(const CLanguage& language) = 0;

    void SetDictionaryResourceId(uint32_t id) { m_nDictionaryResourceId = id; }
    uint32_t GetDictionaryResourceIdValue() const { return m_nDictionaryResourceId; }
    CLanguage GetLanguage() const { return m_language; }

    // SetLanguage; when accepted the language becomes current and the help
    // file of that language (in helpFolder, or beside the program) becomes the
    // application's help file.
    BOOL ChangeLanguage(const CLanguage& language, std::wstring helpFolder);
    void UpdateHelpFilePath(std::wstring helpFolder);

protected:
    CLanguage m_language;
    uint32_t m_nDictionaryResourceId = 0;
    CLanguage m_secondLanguage;   // kept neutral; nothing reads it
};

class CNonLocalized : public COzuUserInterfaceLocalization
{
public:
    // Both accept exactly the neutral language.
    BOOL SetLanguage(const CLanguage& language) override;
    BOOL IsLanguageAvailable(const CLanguage& language) override;
};

class CDictionaryLocalization : public COzuUserInterfaceLocalization
{
public:
    // Both load the merged dictionary (resource GetDictionaryResourceId of the
    // class library's resource module) on first use; a failed load answers
    // FALSE and is tried again next time.
    BOOL SetLanguage(const CLanguage& language) override;
    BOOL IsLanguageAvailable(const CLanguage& language) override;

private:
    BOOL EnsureLoaded();
    BOOL m_bLoaded = FALSE;
};

// --- The strategy in force
extern COzuUserInterfaceLocalization* g_pUserInterfaceLocalization;
extern LocalizationType g_nLocalizationType;      // kind of the last successful creation
extern BOOL g_bLocalizationOwned;
extern HINSTANCE g_hDefaultResourceHandle;        // null: the module state's instance handle
extern CString g_strLanguageModulePrefix;         // replaces "<base>_" / "<base>-" in satellite names

LocalizationType GetLocalizationType();
BOOL IsLocalizationInstalled();
// Creates the strategy of the kind into *ppOut; an unknown kind creates a
// CNonLocalized and answers FALSE; a null out pointer creates nothing.
BOOL CreateLocalizationStrategy(LocalizationType kind, COzuUserInterfaceLocalization** ppOut);
// Creates a strategy and installs it (owned), deleting an owned predecessor.
BOOL InstallLocalizationStrategy(LocalizationType kind);
void DeleteLocalizationStrategy();
// The installed strategy's dictionary resource id; E_FAIL when none is installed.
uint32_t GetDictionaryResourceId();
// Drive and folder of the running program, ending with a backslash.
CString GetModuleDirectory();
