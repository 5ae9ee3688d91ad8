// Paths in the form that lifts the MAX_PATH limit. The extraction folder is
// below MAX_PATH, but a member's folders and file below it may reach far past
// it; every create, open and delete of the engine goes through these forms.
// Texts shown to the user keep the ordinary path.
#pragma once

#include <string>

// Why a folder the user gave cannot be the one unpack folder of a run.
enum class FullFolderFault {
    None,
    NotFull,    // relative ("out"), rooted without a drive ("\\out"), drive-relative ("C:out")
    Ambiguous,  // the platform's path rules read it differently on each pass
};

// Turns a folder the user gave into its one full form, once: absolute (a
// drive and '\', a share, or the long form of either), "." and ".." and '/'
// resolved, ending with '\'. Every later use takes that string as it is. A
// name ending in dots or blanks can read differently on each pass of the
// platform's path rules ("out.." becomes "out." and then "out"): such a folder
// is refused, since then the folder written, started from and removed would
// not be one.
FullFolderFault ResolveFullFolder(const std::wstring& given, std::wstring& full);

// Whether the path is one full form as ResolveFullFolder gives it: absolute,
// and read by the platform's path rules as exactly itself. Nothing is changed.
bool IsResolvedFullPath(const std::wstring& path);

// "C:\x\" -> "\\?\C:\x\", "\\server\share\x\" -> "\\?\UNC\server\share\x\".
// The path must be a full path as ResolveFullFolder gives it: the prefix is
// put in front and nothing is resolved again, so every name is taken exactly
// as it stands. A path already in a device form, or in no full form at all, is
// returned as it is.
std::wstring ToLongPath(const std::wstring& path);

// The volume a path lies on: its drive ("C:", also of "\\?\C:\..."), or the
// share of a path on a share ("\\server\share", also of
// "\\?\UNC\server\share\..."; either separator in the ordinary form). Empty
// when the path names neither (a relative path, another device form, a share
// without its server or share name).
std::wstring VolumeOf(const std::wstring& path);

// Creates the folder (in the long form, with or without a trailing '\') and
// every missing folder above it, one by one. An existing folder is no
// failure; a folder that cannot be made shows when the file in it is opened.
void CreateFolderChain(const std::wstring& longFolder);
