// launchbench: figures of one run of a packed launcher.
//
//   launchbench LAUNCHER.exe RECORD-FILE [ARGS...]
//
// Starts the launcher (the stand-in installation program must be its setup,
// with QUOR_DUMMY_RECORD=RECORD-FILE in the environment) and prints:
//   - time from start until the progress dialog is visible,
//   - time from start until the installation program starts, less the
//     launcher's five-second pause before the launch,
//   - decode-only time of the same LZMA stream (LzmaDec into a discarding sink),
//   - the launcher's peak working set and peak committed memory.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <LzmaDec.h>

#include "LauncherDriver.h"

namespace {

double Ms(LONGLONG ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return ticks * 1000.0 / f.QuadPart;
}

LONGLONG Now() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

void* Alloc(void*, size_t size) { return malloc(size); }
void Free(void*, void* p) { free(p); }
ISzAlloc kAlloc = {Alloc, Free};

// Decodes the stream at the stamp's PayloadOffset of the file; milliseconds, or -1.
double DecodeOnly(const std::wstring& path, uint64_t& unpacked) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size;
    GetFileSizeEx(f, &size);
    std::vector<uint8_t> file(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    size_t done = 0;
    while (done < file.size() &&
           ReadFile(f, file.data() + done, static_cast<DWORD>(std::min<size_t>(file.size() - done, 1 << 24)), &got,
                    nullptr) &&
           got > 0)
        done += got;
    CloseHandle(f);
    const char marker[] = "KORVALIS2:";
    auto it = std::search(file.begin(), file.end(), marker, marker + 10);
    if (it == file.end()) return -1;
    uint32_t offset = 0;
    memcpy(&offset, &*(it + 10), 4);
    if (offset + 13 > file.size()) return -1;

    const LONGLONG start = Now();
    CLzmaDec dec;
    LzmaDec_Construct(&dec);
    if (LzmaDec_Allocate(&dec, file.data() + offset, LZMA_PROPS_SIZE, &kAlloc) != SZ_OK) return -1;
    LzmaDec_Init(&dec);
    std::vector<uint8_t> out(1 << 16);
    size_t pos = offset + 13;
    unpacked = 0;
    for (;;) {
        SizeT outLen = out.size(), inLen = file.size() - pos;
        ELzmaStatus status;
        SRes r = LzmaDec_DecodeToBuf(&dec, out.data(), &outLen, file.data() + pos, &inLen, LZMA_FINISH_ANY, &status);
        pos += inLen;
        unpacked += outLen;
        if (r != SZ_OK || status == LZMA_STATUS_FINISHED_WITH_MARK || (inLen == 0 && outLen == 0)) break;
    }
    LzmaDec_Free(&dec, &kAlloc);
    return Ms(Now() - start);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: launchbench LAUNCHER.exe RECORD-FILE [ARGS...]\n");
        return 2;
    }
    std::wstring args;
    for (int i = 3; i < argc; ++i) args += (args.empty() ? L"" : L" ") + e2e::QuoteArgument(argv[i]);
    DeleteFileW(argv[2]);

    e2e::LauncherRun run;
    const LONGLONG start = Now();
    if (!run.Start(argv[1], args, {std::wstring(L"QUOR_DUMMY_RECORD=") + argv[2]})) return 2;
    LONGLONG visible = 0;
    SIZE_T peakWorking = 0, peakCommit = 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, run.ProcessId());
    while (run.Running()) {
        if (!visible) {
            e2e::DialogState s = run.ReadDialog();
            if (s.hwnd && s.visible) visible = Now();
        }
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof(pmc);
        if (process && GetProcessMemoryInfo(process, &pmc, sizeof(pmc))) {
            peakWorking = std::max(peakWorking, pmc.PeakWorkingSetSize);
            peakCommit = std::max(peakCommit, pmc.PeakPagefileUsage);
        }
        Sleep(visible ? 50 : 5);
    }
    run.WaitForExit(INFINITE);
    if (process) CloseHandle(process);

    long long setupStart = 0;
    {
        FILE* f = _wfopen(argv[2], L"rb");
        char line[4096];
        while (f && fgets(line, sizeof(line), f))
            if (strncmp(line, "started at counter: ", 20) == 0) setupStart = atoll(line + 20);
        if (f) fclose(f);
    }
    uint64_t unpacked = 0;
    const double decode = DecodeOnly(argv[1], unpacked);

    wprintf(L"exit code: %lu\n", run.ExitCode());
    if (visible) wprintf(L"dialog visible after: %.0f ms\n", Ms(visible - start));
    if (setupStart) {
        const double untilSetup = Ms(setupStart - start) - 5000.0;
        wprintf(L"installation program started after: %.0f ms (less the 5000 ms pause)\n", untilSetup);
        if (decode > 0) wprintf(L"decode only (%llu bytes): %.0f ms; ratio %.2f\n", unpacked, decode, untilSetup / decode);
    }
    wprintf(L"peak working set: %.1f MiB, peak committed: %.1f MiB\n", peakWorking / 1048576.0, peakCommit / 1048576.0);
    return 0;
}
