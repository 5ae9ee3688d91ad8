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
// and "..", and names Windows would shorten into aliases of others); control
// characters (C0, DEL, C1) and the characters Windows forbids in names; a
// reserved device name in any component; the spool file's own name as the
// top-level file or folder. '\' and '/' both separate folders.
const char* MemberNameFault(const std::wstring& name);

inline bool IsSafeMemberName(const std::wstring& name) { return MemberNameFault(name) == nullptr; }
