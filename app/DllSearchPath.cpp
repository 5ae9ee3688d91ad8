#include "DllSearchPath.h"

#include <windows.h>

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
