// Keeps DLLs planted beside the program from being loaded: after this call
// the process loads DLLs that it asks for by name from the system folder only.
#pragma once

#include <windows.h>

// Returns true when the restriction is in force (SetDefaultDllDirectories
// exists on this system and accepted it).
bool RestrictDllSearchPath();

// Loads a system DLL (a plain file name such as "version.dll") from the
// system folder, never from beside the program: restricts the search path
// first (once per process). The launcher's delay-loaded DLLs come through
// here at their first call.
HMODULE LoadSystemLibrary(const char* name);
