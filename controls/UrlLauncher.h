// The URL launcher: whether a link or help target exists, and opening one
// with the shell or with the program associated with ".htm" pages.
#pragma once

#include <windows.h>

// TRUE for an existing file or folder, or a path beginning (in any case) with
// "http://", "ftp://" or "mail:".
BOOL IsLinkTarget(const wchar_t* path);

// The default value of root\subkey into out (size characters, terminator
// included). A value that does not fit is refused with ERROR_MORE_DATA; out
// is empty on every failure.
LONG GetRegKey(HKEY root, const wchar_t* subkey, wchar_t* out, LONG size);

// Opens url with the shell's "open" verb; an address with "@" and no scheme
// becomes a "mailto:" link.
HINSTANCE OpenUrl(const wchar_t* url);

// Opens url: through OpenUrl when useShell, otherwise with the open command of
// the ".htm" association (the shell's "explore" verb when there is none).
// NULL when nothing was started: both of these paths refuse a URL that is
// empty or only blanks or holds a quote or control character inside the one
// pair of quotes it may come in.
HINSTANCE GotoURL(const wchar_t* url, int nShowCmd, BOOL useShell);

// The two places the launcher (and the help invocation, which opens its
// files with the shell) starts something. Tests replace them so that nothing
// is launched; the product uses ShellExecuteW and WinExec.
typedef HINSTANCE (*UrlShellExecuteFn)(HWND hWnd, LPCWSTR pszVerb, LPCWSTR pszFile, LPCWSTR pszParameters,
                                       LPCWSTR pszDirectory, INT nShowCmd);
typedef UINT (*UrlWinExecFn)(LPCSTR pszCommandLine, UINT nShowCmd);
extern UrlShellExecuteFn g_pfnUrlShellExecute;
extern UrlWinExecFn g_pfnUrlWinExec;
