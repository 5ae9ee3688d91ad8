// Whether a restart of the computer is pending, for the exit code 3010.
#pragma once

#include <windows.h>

#include <cstddef>

// True when HKLM "SOFTWARE\Quor\Setup\Reboot" has a value "RebootNeeded", or
// when HKLM "...\Session Manager" "PendingFileRenameOperations" names a file
// outside the user's temporary folder.
bool IsRebootPending();

// The same check below another root key (tests use a private key under HKCU
// so that they never change the machine's state).
bool IsRebootPendingUnder(HKEY root);

// The walk over the REG_MULTI_SZ data of "PendingFileRenameOperations":
// `chars` characters at `data`. Empty entries and entries shorter than 4
// characters are skipped; any other entry counts as pending unless its path,
// behind the four-character prefix ("\??\") and, on a destination that
// replaces an existing file, the flag "!" in front of it, begins with
// tempPath (ASCII letters compared without case). Never reads past `chars`;
// an unterminated last entry is compared like the others.
bool PendingRenamesOutside(const wchar_t* data, size_t chars, const wchar_t* tempPath);

// How the check reads the user's temporary folder, in the form of
// GetTempPathW (a result above the buffer's size is the size needed). Tests
// install one that reports a path of a chosen length; nullptr restores
// GetTempPathW.
typedef DWORD(WINAPI* TempPathFunction)(DWORD bufferChars, LPWSTR buffer);
void SetTempPathFunction(TempPathFunction function);
