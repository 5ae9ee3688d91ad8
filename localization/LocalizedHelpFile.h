// Search for the help file of a language beside the program.
#pragma once

#include "Language.h"

#include <string>

// Probes, for the language, its fallback and the default language (culture
// names first, then 3-letter codes): folder + stem + candidate + ".shlp" / ".chm"
// for both stems; then folder + plainName; then the first "*.shlp", else the
// first "*.chm" of the folder. On success *pOut is the path and TRUE returned;
// otherwise *pOut is untouched.
BOOL FindLocalizedHelpFile(std::wstring* pOut, const wchar_t* folder, const wchar_t* stem1,
                           const wchar_t* stem2, const CLanguage& language, const wchar_t* plainName);
