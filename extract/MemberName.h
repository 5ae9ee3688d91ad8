// Member names of the archive: conversion from the archive's ANSI code-page
// bytes; the check that a name stays inside the extraction folder is the
// shared rule of MemberNameRule.h.
#pragma once

#include <cstddef>
#include <string>

#include "MemberNameRule.h"

// Converts name bytes (without the NUL) from the thread's ANSI code page the
// way the system converts file names: bytes that the code page does not map
// become its substitution character, so a name made under another code page
// still converts. False only when the name with its NUL is longer than
// kMaxMemberNameBytes or converts to nothing.
bool ConvertMemberName(const char* bytes, size_t length, std::wstring& wide);
