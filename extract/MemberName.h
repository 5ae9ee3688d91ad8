// Member names of the archive: conversion from the archive's ANSI code-page
// bytes and the check that a name stays inside the extraction folder.
#pragma once

#include <cstddef>
#include <string>

// A name with its NUL must be shorter than this.
constexpr size_t kMaxMemberNameBytes = 4096;

// Converts name bytes (without the NUL) from the thread's ANSI code page.
// False when the bytes are not valid in that code page.
bool ConvertMemberName(const char* bytes, size_t length, std::wstring& wide);

// True when the name can be written below the extraction folder and nowhere
// else: not empty, relative, no drive or ':', no "." or ".." component (with
// '\' or '/' as separator), no empty component, no component that Windows
// would shorten (trailing dot or space), no control character, no reserved
// device name, and not the spool file's name at the top level.
bool IsSafeMemberName(const std::wstring& name);
