// Product versions of files and modules, and a library load that accepts a
// file only when its version lies in a range.
#pragma once

#include <windows.h>

#include <cstdint>

// major.minor.build.revision; all zeros when no version can be read.
struct FileVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t build = 0;
    uint16_t revision = 0;
};

// Product version from the file's fixed version information.
FileVersion GetFileVersion(const wchar_t* path);
FileVersion GetModuleVersion(HMODULE module);
// TRUE when a > b at the first part in which they differ.
BOOL IsVersionGreater(const FileVersion& a, const FileVersion& b);
// Loads the library only when minimum <= version <= maximum. On success the
// status (when given) is 0; when the load itself fails it holds the system
// error code; it is left alone when the version is out of range.
HMODULE LoadLibraryIfVersionInRange(const wchar_t* path, const FileVersion& minimum,
                                    const FileVersion& maximum, uint32_t* pStatus = nullptr);
