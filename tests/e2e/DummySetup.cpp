// A stand-in installation program for whole-launcher runs and the demo.
//
// It writes what it received to the file named by QUOR_DUMMY_RECORD (UTF-8,
// one "key: value" line each: command line, the part behind the program's
// own name, the show command it was started with, current folder, the files
// of that folder, its start on the performance counter), sleeps
// QUOR_DUMMY_SLEEP_MS milliseconds and exits with QUOR_DUMMY_EXIT (default 0).
// Without QUOR_DUMMY_RECORD it prints the same lines to its console, if any.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t buf[32768];
    DWORD n = GetEnvironmentVariableW(name, buf, 32768);
    return (n == 0 || n >= 32768) ? std::wstring() : std::wstring(buf, n);
}

std::string Utf8(const std::wstring& s) {
    if (s.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// The command line behind the program's own name, as the system splits it:
// a quoted name runs to the closing quote, an unquoted one to the first blank.
std::wstring Tail(const std::wstring& line) {
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        size_t close = line.find(L'"', 1);
        i = close == std::wstring::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    }
    return line.substr(i);
}

void ListFiles(const std::wstring& dir, const std::wstring& prefix, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = d.cFileName;
        if (name == L"." || name == L"..") continue;
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(dir + name + L"\\", prefix + name + L"\\", out);
        else
            out.push_back(prefix + name);
    } while (FindNextFileW(h, &d));
    FindClose(h);
}

}  // namespace

int wmain() {
    // When it started, on the system-wide performance counter (the benchmark
    // compares it with the launcher's start).
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    const std::wstring line = GetCommandLineW();
    wchar_t cwd[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, cwd);
    std::wstring folder = cwd;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    std::vector<std::wstring> files;
    ListFiles(folder, L"", files);

    // How its first window is to be shown, as its starter asked: "default"
    // when the starter left that to the program.
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    const std::string show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : std::string("default");

    std::string text = "command line: " + Utf8(line) + "\n";
    text += "arguments: [" + Utf8(Tail(line)) + "]\n";
    text += "show command: " + show + "\n";
    text += "current folder: " + Utf8(cwd) + "\n";
    for (const auto& f : files) text += "file: " + Utf8(f) + "\n";
    text += "started at counter: " + std::to_string(started.QuadPart) + "\n";

    const std::wstring record = Env(L"QUOR_DUMMY_RECORD");
    if (!record.empty()) {
        HANDLE h = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(h);
        }
    } else {
        std::fputs(text.c_str(), stdout);
    }
    const std::wstring sleep = Env(L"QUOR_DUMMY_SLEEP_MS");
    if (!sleep.empty()) Sleep(wcstoul(sleep.c_str(), nullptr, 10));
    const std::wstring code = Env(L"QUOR_DUMMY_EXIT");
    return code.empty() ? 0 : static_cast<int>(wcstoul(code.c_str(), nullptr, 10));
}
