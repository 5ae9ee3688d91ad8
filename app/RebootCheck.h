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
// characters are skipped; any other entry counts as pending unless, from its
// fifth character on, it begins with tempPath (ASCII letters compared without
// case). Never reads past `chars`; an unterminated last entry is compared
// like the others.
bool PendingRenamesOutside(const wchar_t* data, size_t chars, const wchar_t* tempPath);
