// Removal of the temporary root at exit ("/CLEANUP"): done natively, never
// through a command interpreter, and only for a folder that can safely go.
#pragma once

#include <string>

enum class RemovalResult {
    Removed,        // the folder and everything in it are gone (or it was not there)
    Refused,        // empty, relative, a drive or share root, or not a plain folder path
    Incomplete,     // something inside could not be deleted (in use, access denied), also after retrying
};

// The full path that RemoveTempRootTree would remove, or an empty string when
// the root must not be removed: an empty or relative path ("x", "C:x",
// "\x"), a device or namespace path ("\\?\", "\\.\"), a drive root or a
// share root, a path with wildcard or quote characters, or a path that is not
// already one full path (ResolveFullFolder): "." or "..", '/', or a name that
// the platform's path rules would read as another ("out.." as "out."). The
// root is never resolved here: what is judged is what is removed. A trailing
// backslash is dropped.
std::wstring SafeRemovalTarget(const std::wstring& root);

// Deletes the folder `root` with all its contents. Junctions and symbolic
// links inside it are removed as links; what they point to is never entered.
// Read-only files are deleted too. What another process still holds open
// (sharing violation, access denied, a folder not yet empty) is tried again
// in further passes for up to three seconds before the removal gives up.
RemovalResult RemoveTempRootTree(const std::wstring& root);
