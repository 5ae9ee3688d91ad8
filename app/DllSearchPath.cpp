#include "DllSearchPath.h"

#include <delayimp.h>

#include <string>

bool RestrictDllSearchPath() {
    // Looked up at run time: systems without the update that brings it simply
    // keep their default search order (SetDllDirectoryW still drops the
    // current folder).
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
    SetDllDirectoryW(L"");
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
    // A delay-loaded DLL may be first called from a global constructor that
    // runs before the start-up restriction: restrict here as well.
    static const bool restricted = RestrictDllSearchPath();
    std::wstring file;
    for (const char* p = name; *p; ++p) file += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    if (restricted) {
        // By name, so that the manifest's side-by-side redirection still
        // applies (common controls version 6); searched in the system folder only.
        return LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Without the search flags (an old system that lacks the update): the
    // full path in the system folder, its own dependencies searched there too.
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += file;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// The delay-load helper asks this hook before it loads a DLL by its plain
// name (which would search beside the program on a system without the
// restriction). A DLL that is missing from the system folder ends the
// process as the helper itself would, rather than being searched elsewhere.
FARPROC WINAPI LoadDelayedFromSystemFolder(unsigned notify, PDelayLoadInfo info) {
    if (notify != dliNotePreLoadLibrary) return nullptr;
    HMODULE module = LoadSystemLibrary(info->szDll);
    if (!module) {
        ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
        RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
    }
    return reinterpret_cast<FARPROC>(module);
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder;
}
