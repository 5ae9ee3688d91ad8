// A per-process slot in named shared memory ("QuorAppLanguage_<pid>") that
// publishes a language text of at most 10 characters to other processes.
#pragma once

#include <windows.h>

#include <string>

BOOL PublishAppLanguage(const wchar_t* text);
// Reads this process's slot; FALSE with out unchanged when it cannot be read.
BOOL ReadAppLanguage(std::wstring& out);
// Closes the slot's mapping handle if one is held; always TRUE.
BOOL CloseAppLanguageMapping();
