#include "LocalizedHelpFile.h"

#include <io.h>
#include <sys/stat.h>

namespace {

// A help file must be a file: a folder of the same name (or the search folder
// itself, reached through an empty name) never counts.
bool PathExists(const std::wstring& path)
{
    struct _stat info;
    return _wstat(path.c_str(), &info) == 0 && (info.st_mode & _S_IFREG) != 0;
}

bool FindFirstMatch(const std::wstring& directory, const wchar_t* pattern, std::wstring& found)
{
    struct _wfinddata_t data;
    const intptr_t handle = _wfindfirst((directory + pattern).c_str(), &data);
    if (handle == -1) return false;
    bool ok = false;
    do {
        if (!(data.attrib & _A_SUBDIR)) {
            found = directory + data.name;
            ok = true;
        }
    } while (!ok && _wfindnext(handle, &data) == 0);
    _findclose(handle);
    return ok;
}

std::wstring Text(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

}  // namespace

BOOL FindLocalizedHelpFile(std::wstring* pOut, const wchar_t* folder, const wchar_t* stem1,
                           const wchar_t* stem2, const CLanguage& language, const wchar_t* plainName)
{
    if (!pOut) return FALSE;

    std::wstring directory = Text(folder);
    if (!directory.empty() && directory.back() != L'\\') directory += L'\\';

    CLanguage fallback;
    language.GetFallback(fallback, FALSE);

    // GetCultureName/GetCode give "" for a language that is not valid.
    const std::wstring candidates[6] = {
        language.GetCultureName(), fallback.GetCultureName(), g_DefaultLanguage.GetCultureName(),
        language.GetCode(),        fallback.GetCode(),        g_DefaultLanguage.GetCode(),
    };
    const std::wstring first = directory + Text(stem1);
    const std::wstring second = directory + Text(stem2);

    std::wstring found;
    bool ok = false;
    for (const std::wstring& candidate : candidates) {
        for (const wchar_t* extension : {L".shlp", L".chm"}) {
            for (const std::wstring* stem : {&first, &second}) {
                const std::wstring path = *stem + candidate + extension;
                if (PathExists(path)) {
                    found = path;
                    ok = true;
                    break;
                }
            }
            if (ok) break;
        }
        if (ok) break;
    }
    if (!ok && !Text(plainName).empty() && PathExists(directory + Text(plainName))) {
        found = directory + Text(plainName);
        ok = true;
    }
    if (!ok) ok = FindFirstMatch(directory, L"*.shlp", found) || FindFirstMatch(directory, L"*.chm", found);

    if (!ok) return FALSE;
    *pOut = found;
    return TRUE;
}
