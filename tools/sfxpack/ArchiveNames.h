// Member names of the archive stream: the conversion of host file names
// (UTF-8) to code page 1252 and the rules a name must follow so that the
// extraction engine accepts it and Windows can create it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sfxpack {

// Converts UTF-8 text to code page 1252. Returns false (and names the
// offending character in error) for invalid UTF-8 or a character that code
// page 1252 cannot represent.
bool Utf8ToCp1252(const std::string& utf8, std::string& cp1252, std::string& error);

// Converts code page 1252 bytes to Unicode, as a code page 1252 machine does.
std::wstring Cp1252ToWide(const std::string& cp1252);

// Checks one member name (code page 1252 bytes, folders separated by '\\'):
// every name the launcher would refuse (its rule in MemberNameRule.h, applied
// to the name as it converts it), a name too long for its carry buffer and a
// '/' (not the archive's separator). Returns false with the reason in error.
bool CheckMemberName(const std::string& name, std::string& error);

// Whether the launcher finds its setup program among the members. It opens
// the extraction folder + the name through the shell: case is ignored, '/'
// separates folders as '\' does, and a name without extension also finds
// the name with one of the extensions the shell tries for programs (.pif,
// .com, .exe, .bat, .lnk, .cmd). The name is no command line: a blank and
// what follows are part of the file name.
bool SetupProgramPacked(const std::string& setupName, const std::vector<std::string>& members);

// Upper-case form of a code page 1252 name for case-insensitive comparison
// (the file system of the target is case-insensitive).
std::string FoldCaseCp1252(const std::string& name);

}  // namespace sfxpack
