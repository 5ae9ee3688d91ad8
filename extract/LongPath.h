// Paths in the form that lifts the MAX_PATH limit. The extraction folder is
// below MAX_PATH, but a member's folders and file below it may reach far past
// it; every create, open and delete of the engine goes through these forms.
// Texts shown to the user keep the ordinary path.
#pragma once

#include <string>

// "C:\x\" -> "\\?\C:\x\", "\\server\share\x\" -> "\\?\UNC\server\share\x\".
// The path is made absolute and normalized first (the prefix turns that off
// for the system); a path already in a device form is returned as it is, a
// path of no other form (relative after all) unchanged.
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
