// runexe: starts a Windows program and reports its full 32-bit exit code.
//
//   runexe --print-exit-code [--timeout MS] [--env NAME=VALUE]... PROGRAM [ARGS...]
//   runexe --exit-with N          (exits with N; used to test runexe itself)
//
// The arguments after PROGRAM are passed on as they stand (each quoted when it
// holds blanks or quotes). Prints "exit code: N" and exits 0 when the program
// ran; exits 2 when it could not be started, 3 when it did not end in time
// (it is then terminated).
#include <windows.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') { ++backslashes; continue; }
        if (c == L'"') out.append(backslashes * 2 + 1, L'\\');
        else out.append(backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

// The current environment with NAME=VALUE pairs set or replaced, as a block.
std::vector<wchar_t> BuildEnvironment(const std::vector<std::wstring>& overrides) {
    std::vector<std::wstring> vars;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (wchar_t* p = block; *p; p += wcslen(p) + 1) vars.emplace_back(p);
        FreeEnvironmentStringsW(block);
    }
    for (const std::wstring& o : overrides) {
        std::wstring name = o.substr(0, o.find(L'=') + 1);
        bool replaced = false;
        for (std::wstring& v : vars)
            if (_wcsnicmp(v.c_str(), name.c_str(), name.size()) == 0) { v = o; replaced = true; }
        if (!replaced) vars.push_back(o);
    }
    std::vector<wchar_t> out;
    for (const std::wstring& v : vars) { out.insert(out.end(), v.begin(), v.end()); out.push_back(0); }
    out.push_back(0);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int i = 1;
    if (argc == 3 && wcscmp(argv[1], L"--exit-with") == 0) return _wtoi(argv[2]);
    bool print = false;
    DWORD timeout = INFINITE;
    std::vector<std::wstring> env;
    for (; i < argc; ++i) {
        if (wcscmp(argv[i], L"--print-exit-code") == 0) print = true;
        else if (wcscmp(argv[i], L"--timeout") == 0 && i + 1 < argc) timeout = wcstoul(argv[++i], nullptr, 10);
        else if (wcscmp(argv[i], L"--env") == 0 && i + 1 < argc) env.emplace_back(argv[++i]);
        else break;
    }
    if (i >= argc) {
        fwprintf(stderr, L"usage: runexe --print-exit-code [--timeout MS] [--env N=V]... PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring cmd = QuoteArgument(argv[i]);
    for (int j = i + 1; j < argc; ++j) cmd += L" " + QuoteArgument(argv[j]);
    std::vector<wchar_t> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back(0);
    std::vector<wchar_t> envBlock;
    if (!env.empty()) envBlock = BuildEnvironment(env);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(argv[i], cmdBuf.data(), nullptr, nullptr, FALSE,
                        env.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                        env.empty() ? nullptr : envBlock.data(), nullptr, &si, &pi)) {
        fwprintf(stderr, L"runexe: cannot start %ls (error %lu)\n", argv[i], GetLastError());
        return 2;
    }
    CloseHandle(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, timeout) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        fwprintf(stderr, L"runexe: %ls did not end in time\n", argv[i]);
        return 3;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (print) { wprintf(L"exit code: %lu\n", code); fflush(stdout); }
    return 0;
}
