// UTF-8 to Windows ANSI code pages through iconv, strict: a character the
// code page cannot hold is an error, never a substitute.
#pragma once

#include <string>

// Code page of a 3-letter language code of the catalogue; 0 for an unknown code.
unsigned CodePageOfLanguage(const std::string& code);

// Converts UTF-8 text to the code page. FALSE with error set when the text is
// not valid UTF-8 or holds a character the code page lacks.
bool EncodeForCodePage(const std::string& utf8, unsigned codePage, std::string& out, std::string& error);
