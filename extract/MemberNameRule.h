// The one rule for member names, shared by the launcher's engine and the
// packing tool: which names, as the launcher sees them after converting them
// from the archive's code page, may be written below the extraction folder.
// Pure: no platform calls, so the host-side packing tool compiles it too.
#pragma once

#include <cstddef>
#include <string>

// The longest name with its NUL that the format allows (the parser's carry buffer).
constexpr size_t kMaxMemberNameBytes = 4096;

// Why a converted name cannot be written below the extraction folder, or null
// when it can. Refused: an empty name; a leading separator or a drive, stream
// or ':'; an empty component; a component ending in '.' or ' ' (covers "."
// and "..", and names Windows would shorten into aliases of others); a
// component in the shape of a short (8.3) alias such as "ABCDEF~1.TXT", which
// can open another file or folder of a long name; control characters (C0,
// DEL, C1) and the characters Windows forbids in names; a reserved device
// name in any component; the spool file's own name as the top-level file or
// folder. '\' and '/' both separate folders.
const char* MemberNameFault(const std::wstring& name);

// Why a setup program name (as the stamp block stores it) cannot be started
// as the program that was extracted, or null when it can; the empty name
// (start nothing) is no fault. Refused: more than 21 characters, characters
// other than printable ASCII, and '%', since the shell may expand an
// environment string in a program's path into the path of another program.
const char* SetupProgramNameFault(const std::string& name);

inline bool IsSafeMemberName(const std::wstring& name) { return MemberNameFault(name) == nullptr; }
