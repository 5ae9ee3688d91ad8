// Keeps DLLs planted beside the program from being loaded: after this call
// the process loads DLLs that it asks for by name from the system folder only.
#pragma once

// Returns true when the restriction is in force (SetDefaultDllDirectories
// exists on this system and accepted it).
bool RestrictDllSearchPath();
