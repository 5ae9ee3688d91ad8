#include "UrlLauncher.h"

#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace
{
HINSTANCE PlatformShellExecute(HWND hWnd, LPCWSTR pszVerb, LPCWSTR pszFile, LPCWSTR pszParameters,
                               LPCWSTR pszDirectory, INT nShowCmd)
{
    return ::ShellExecuteW(hWnd, pszVerb, pszFile, pszParameters, pszDirectory, nShowCmd);
}

UINT PlatformWinExec(LPCSTR pszCommandLine, UINT nShowCmd)
{
    return ::WinExec(pszCommandLine, nShowCmd);
}

// Size of the class-name and command buffers, in characters.
constexpr LONG kCommandChars = 1040;

class CRegKeyHandle
{
public:
    ~CRegKeyHandle()
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
    }
    HKEY m_hKey = nullptr;
};

// The default value of root\subkey, read by query(key, buffer, byte size),
// into out (size characters, terminator included). A value that does not fit
// is refused with ERROR_MORE_DATA; out is empty on every failure.
template <typename Query>
LONG ReadDefaultValue(HKEY root, const wchar_t* subkey, wchar_t* out, LONG size, Query query)
{
    if (out == nullptr || size <= 0)
        return ERROR_INVALID_PARAMETER;
    out[0] = L'\0';

    CRegKeyHandle key;
    LONG result = ::RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &key.m_hKey);
    if (result != ERROR_SUCCESS)
        return result;

    // One character more than asked for, zeroed, so that a stored value without
    // a terminator still ends inside the buffer.
    std::vector<wchar_t> buffer(static_cast<size_t>(size) + 1, L'\0');
    result = query(key.m_hKey, buffer.data(), size * static_cast<LONG>(sizeof(wchar_t)));
    if (result != ERROR_SUCCESS)
        return result;

    // A value that fills the whole buffer leaves no room for the terminator:
    // refused rather than cut, since a cut class name or command is a different one.
    const size_t length = wcsnlen(buffer.data(), buffer.size());
    if (length >= static_cast<size_t>(size))
        return ERROR_MORE_DATA;
    wmemcpy(out, buffer.data(), length + 1);
    return ERROR_SUCCESS;
}

// The open command of a page class into out (size characters), with the
// environment strings of a REG_EXPAND_SZ command (such as %SystemRoot%)
// expanded, as the shell reads it; a command whose expansion fails or does
// not fit is refused with ERROR_MORE_DATA, a value that is no string with
// ERROR_INVALID_DATA. Out is empty on every failure.
LONG ReadOpenCommand(const wchar_t* subkey, wchar_t* out, LONG size)
{
    DWORD type = REG_NONE;
    LONG result = ReadDefaultValue(HKEY_CLASSES_ROOT, subkey, out, size, [&type](HKEY hKey, wchar_t* data, LONG cb) {
        DWORD cbData = static_cast<DWORD>(cb);
        return ::RegQueryValueExW(hKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &cbData);
    });
    if (result != ERROR_SUCCESS || type == REG_SZ)
        return result;
    if (type != REG_EXPAND_SZ) {  // a number or bytes is no command
        out[0] = L'\0';
        return ERROR_INVALID_DATA;
    }

    // The count includes the terminator; 0 is a failure.
    std::vector<wchar_t> expanded(static_cast<size_t>(size) + 1, L'\0');
    const DWORD cch = ::ExpandEnvironmentStringsW(out, expanded.data(), static_cast<DWORD>(size));
    const size_t length = wcsnlen(expanded.data(), expanded.size());
    out[0] = L'\0';
    if (cch == 0 || cch > static_cast<DWORD>(size) || length >= static_cast<size_t>(size))
        return ERROR_MORE_DATA;
    wmemcpy(out, expanded.data(), length + 1);
    return ERROR_SUCCESS;
}

bool IsControlChar(wchar_t ch)
{
    return ch < 0x20 || ch == 0x7F;
}

// The URL without the one pair of double quotes a link tag may give it. False
// for a URL that must not be passed on: nothing but blanks, a quote or a
// control character inside (either could end the argument early or start a
// second command), or a '-' as its first character other than a blank, which
// a browser reads as one of its switches ("--user-data-dir=..."), quotes or not.
bool UrlInsideQuotes(const wchar_t* url, std::wstring& inner)
{
    inner = url;
    if (inner.size() >= 2 && inner.front() == L'"' && inner.back() == L'"')
        inner = inner.substr(1, inner.size() - 2);
    const size_t first = inner.find_first_not_of(L' ');
    if (first == std::wstring::npos || inner[first] == L'-')
        return false;
    for (wchar_t ch : inner)
    {
        if (ch == L'"' || IsControlChar(ch))
            return false;
    }
    return true;
}

// The URL as one command-line argument in double quotes, empty when it is
// refused. Programs read 2n backslashes before a quote as n backslashes and
// the quote as the end of the argument, so the backslashes a URL ends with
// are doubled: "C:\Docs\" arrives as C:\Docs\, not as C:\Docs".
std::wstring QuotedArgument(const wchar_t* url)
{
    std::wstring inner;
    if (!UrlInsideQuotes(url, inner))
        return std::wstring();
    size_t trailing = 0;
    while (trailing < inner.size() && inner[inner.size() - 1 - trailing] == L'\\')
        ++trailing;
    return L"\"" + inner + std::wstring(trailing, L'\\') + L"\"";
}

// The command in the ANSI code page WinExec reads it in (the system's, not the
// thread's); false when a character has no exact counterpart there (a
// replacement could change the command).
bool ToSystemAnsi(const std::wstring& text, std::string& out)
{
    const int cch = static_cast<int>(text.size());
    int cb = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), cch, nullptr, 0, nullptr, nullptr);
    if (cb <= 0)
        return false;
    out.assign(static_cast<size_t>(cb), '\0');
    if (::WideCharToMultiByte(CP_ACP, 0, text.c_str(), cch, &out[0], cb, nullptr, nullptr) != cb)
        return false;
    int cchBack = ::MultiByteToWideChar(CP_ACP, 0, out.data(), cb, nullptr, 0);
    if (cchBack != cch)
        return false;
    std::wstring back(static_cast<size_t>(cchBack), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, out.data(), cb, &back[0], cchBack);
    return back == text;
}
}

UrlShellExecuteFn g_pfnUrlShellExecute = &PlatformShellExecute;
UrlWinExecFn g_pfnUrlWinExec = &PlatformWinExec;

BOOL IsLinkTarget(const wchar_t* path)
{
    if (path == nullptr)
        return FALSE;
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        return TRUE;
    return _wcsnicmp(path, L"http://", 7) == 0 || _wcsnicmp(path, L"ftp://", 6) == 0 ||
           _wcsnicmp(path, L"mail:", 5) == 0;
}

LONG GetRegKey(HKEY root, const wchar_t* subkey, wchar_t* out, LONG size)
{
    return ReadDefaultValue(root, subkey, out, size, [](HKEY hKey, wchar_t* data, LONG cb) {
        LONG cbData = cb;
        return ::RegQueryValueW(hKey, nullptr, data, &cbData);
    });
}

HINSTANCE OpenUrl(const wchar_t* url)
{
    if (url == nullptr)
        return nullptr;
    std::wstring target(url);
    // An address such as "name@example.com" is a mail address; a URL with a
    // scheme (even one whose path holds "@") is opened as it is.
    if (!target.empty() && target.find(L'@') != std::wstring::npos && target.find(L"://") == std::wstring::npos &&
        wcsncmp(url, L"mailto:", 7) != 0)
        target = L"mailto:" + target;
    return g_pfnUrlShellExecute(::GetDesktopWindow(), L"open", target.c_str(), nullptr, L"", SW_SHOW);
}

HINSTANCE GotoURL(const wchar_t* url, int nShowCmd, BOOL useShell)
{
    if (url == nullptr)
        return nullptr;
    if (useShell)
        return OpenUrl(url);

    wchar_t buffer[kCommandChars + 1] = {};
    if (GetRegKey(HKEY_CLASSES_ROOT, L".htm", buffer, kCommandChars) != ERROR_SUCCESS)
    {
        // The shell gets the URL as it is, but only one the command path would take.
        std::wstring inner;
        if (!UrlInsideQuotes(url, inner))
            return nullptr;
        return g_pfnUrlShellExecute(nullptr, L"explore", url, nullptr, nullptr, nShowCmd);
    }

    std::wstring commandKey = std::wstring(buffer) + L"\\shell\\open\\command";
    if (ReadOpenCommand(commandKey.c_str(), buffer, kCommandChars) != ERROR_SUCCESS)
        return nullptr;

    // The URL replaces the placeholder: the command is cut at "%1" (with its
    // quotes when it has them) and the URL is appended as its argument.
    std::wstring command(buffer);
    size_t placeholder = command.find(L"\"%1\"");
    if (placeholder == std::wstring::npos)
        placeholder = command.find(L"%1");
    if (placeholder != std::wstring::npos)
        command.resize(placeholder);

    const std::wstring argument = QuotedArgument(url);
    if (argument.empty())
        return nullptr;
    command += L" ";
    command += argument;
    if (command.size() > static_cast<size_t>(kCommandChars))
        return nullptr;

    std::string ansiCommand;
    if (!ToSystemAnsi(command, ansiCommand))
        return nullptr;
    return reinterpret_cast<HINSTANCE>(
        static_cast<UINT_PTR>(g_pfnUrlWinExec(ansiCommand.c_str(), static_cast<UINT>(nShowCmd))));
}
