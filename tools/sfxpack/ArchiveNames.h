// Member names of the archive stream: the conversion of host file names
// (UTF-8) to code page 1252 and the rules a name must follow so that the
// extraction engine accepts it and Windows can create it.
#pragma once

#include <cstddef>
#include <string>

namespace sfxpack {

// A member name with its NUL must stay below 4096 bytes: the engine's carry
// buffer holds 4096 bytes and it refuses names of that length.
constexpr std::size_t kMaxNameBytesWithNul = 4095;

// Converts UTF-8 text to code page 1252. Returns false (and names the
// offending character in error) for invalid UTF-8 or a character that code
// page 1252 cannot represent.
bool Utf8ToCp1252(const std::string& utf8, std::string& cp1252, std::string& error);

// Checks one member name (code page 1252 bytes, folders separated by '\'):
// not empty, no leading separator, no empty, "." or ".." component, no
// control character or character Windows forbids in names, no reserved
// device name, not the spool file "temp.htar" at the top level, and short
// enough. Returns false with the reason in error.
bool CheckMemberName(const std::string& name, std::string& error);

// Upper-case form of a code page 1252 name for case-insensitive comparison
// (the file system of the target is case-insensitive).
std::string FoldCaseCp1252(const std::string& name);

}  // namespace sfxpack
