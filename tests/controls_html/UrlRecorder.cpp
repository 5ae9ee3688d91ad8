// A stand-in browser for the launcher tests: records its full command line
// (UTF-16) in the file that QUOR_URL_RECORD names, then exits.
#include <windows.h>

int wmain()
{
    wchar_t path[MAX_PATH] = {};
    DWORD cch = ::GetEnvironmentVariableW(L"QUOR_URL_RECORD", path, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return 2;
    // Written beside the target and renamed, so a reader never sees half a record.
    wchar_t temp[MAX_PATH + 8] = {};
    lstrcpyW(temp, path);
    lstrcatW(temp, L".part");
    HANDLE h = ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 3;
    LPCWSTR line = ::GetCommandLineW();
    DWORD written = 0;
    ::WriteFile(h, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(h);
    return ::MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
