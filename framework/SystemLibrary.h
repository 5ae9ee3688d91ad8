// System DLLs that are not KnownDLLs (the common controls, the version
// functions) are never imported at load time: Windows would resolve such an
// import before any code runs, searching the program's own folder first, so a
// DLL planted beside a downloaded launcher would be loaded. The few functions
// the program uses from them are bound here instead, at first call, from the
// system folder only. The programs do not link comctl32 or version, so a new
// direct call fails at link time and comes here.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Returns true when the restriction is in force (SetDefaultDllDirectories
// exists on this system and accepted it). After it, DLLs that the process asks
// for by name are loaded from the system folder only.
bool RestrictDllSearchPath();

// Loads a system DLL (a plain file name such as "version.dll") from the
// system folder, never from beside the program: restricts the search path
// first (once per process).
HMODULE LoadSystemLibrary(const wchar_t* name);

// The system's functions, bound at first call. When the DLL or the function
// cannot be had, each fails as the function itself reports failure, with
// ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND as the last error.
namespace SystemLibrary {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);
INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header);
DWORD GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle);
BOOL GetFileVersionInfoW(LPCWSTR path, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length);
}  // namespace SystemLibrary
