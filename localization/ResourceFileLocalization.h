// CResourceFileLocalization (kind 1): translation by satellite resource
// modules beside the program, "<base>_<culture>.NLS" or "<base>-<code>.NLS"
// (base: the program file's name up to its first '.'), accepted only with the
// program's own product version. A satellite is mapped as a data file (no
// code of it runs) and becomes the class library's resource module.
#pragma once

#include "UserInterfaceLocalization.h"

class CResourceFileLocalization : public COzuUserInterfaceLocalization
{
public:
    CResourceFileLocalization() = default;
    // Restores the default resource module when the satellite is in use, then releases it.
    ~CResourceFileLocalization() override;

    BOOL SetLanguage(const CLanguage& language) override;
    BOOL IsLanguageAvailable(const CLanguage& language) override;

    // Loads the first candidate satellite of the language that exists beside
    // the program with the program's version; null when none does.
    HMODULE LoadLanguageModule(CLanguage language);

    HMODULE GetSatelliteModule() const { return m_hSatellite; }

private:
    HMODULE m_hSatellite = nullptr;
    uint32_t m_nReserved = 0;   // kept for layout; nothing reads it
};

// g_hDefaultResourceHandle when set, else the module state's instance handle.
HINSTANCE GetDefaultResourceHandle();
