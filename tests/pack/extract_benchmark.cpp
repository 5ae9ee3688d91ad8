// extract_benchmark: measures the extraction engine on the payload packed
// behind this program (run-benchmark.sh packs it with about 200 MiB).
//
//   extract_benchmark ROOT [LAUNCHER]
//
// Prints the decode-only time (the LZMA decoder over the payload in 64 KiB
// steps into a discarding sink), the whole extraction time (what
// DecodePayloadFile does: decode and spool, then the copy-out into
// ROOT\QUOR<BuildId>\, each phase timed), their ratio and the process's peak
// memory. The decode-only pass runs twice and the faster run counts, so both
// measurements read the program's file from a warm cache.
//
// LAUNCHER, a launcher that carries the same payload, is then run whole with
// "/q /UFPATH=ROOT\launcher\": from its start to its end, less the five-second
// pause before the launch, against the same decode-only time. The window
// system is started first, as in a user's session.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <LzmaDec.h>
}

#include "ArchiveParser.h"
#include "ExtractionHost.h"
#include "PayloadDecoder.h"
#include "StampBlock.h"

namespace {

std::wstring g_root;
// The launcher's pause between the extraction and the launch.
constexpr double kLaunchPause = 5.0;

bool TempRoot(std::wstring& root) {
    root = g_root;
    return true;
}

int ReportBox(HWND, const wchar_t* text, const wchar_t* caption, UINT) {
    fwprintf(stderr, L"message box: %ls: %ls\n", caption ? caption : L"", text ? text : L"");
    return IDOK;
}

void* BenchAlloc(void*, size_t size) { return size ? std::malloc(size) : nullptr; }
void BenchFree(void*, void* address) { std::free(address); }
ISzAlloc g_alloc = {BenchAlloc, BenchFree};

double Seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

// Decodes the payload into nothing; returns the decoded byte count, or -1.
long long DecodeOnly(const wchar_t* path, uint32_t offset, uint32_t& dictionary) {
    Handle file{CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!SetFilePointerEx(file.h, at, nullptr, FILE_BEGIN)) return -1;
    unsigned char header[13];
    DWORD got = 0;
    if (!ReadFile(file.h, header, sizeof header, &got, nullptr) || got != sizeof header) return -1;
    uint64_t remaining = 0;
    for (int i = 0; i < 8; ++i) remaining |= static_cast<uint64_t>(header[5 + i]) << (8 * i);
    const bool sized = remaining != ~0ull;
    dictionary = header[1] | header[2] << 8 | header[3] << 16 | static_cast<uint32_t>(header[4]) << 24;

    CLzmaDec state;
    LzmaDec_Construct(&state);
    if (LzmaDec_Allocate(&state, header, LZMA_PROPS_SIZE, &g_alloc) != SZ_OK) return -1;
    LzmaDec_Init(&state);
    std::vector<unsigned char> in(1 << 16), out(1 << 16);
    size_t inPos = 0, inSize = 0;
    long long total = 0;
    for (;;) {
        if (inPos == inSize) {
            DWORD read = 0;
            if (!ReadFile(file.h, in.data(), static_cast<DWORD>(in.size()), &read, nullptr)) break;
            inSize = read;
            inPos = 0;
        }
        SizeT inProcessed = inSize - inPos, outProcessed = out.size();
        ELzmaFinishMode mode = LZMA_FINISH_ANY;
        if (sized && remaining < outProcessed) {
            outProcessed = static_cast<SizeT>(remaining);
            mode = LZMA_FINISH_END;
        }
        ELzmaStatus status;
        const SRes res = LzmaDec_DecodeToBuf(&state, out.data(), &outProcessed, in.data() + inPos, &inProcessed, mode,
                                             &status);
        inPos += inProcessed;
        remaining -= outProcessed;
        total += static_cast<long long>(outProcessed);
        if (res != SZ_OK) { total = -1; break; }
        if (sized && remaining == 0) break;
        if (inProcessed == 0 && outProcessed == 0) {
            if (sized || status != LZMA_STATUS_FINISHED_WITH_MARK) total = -1;
            break;
        }
    }
    LzmaDec_Free(&state, &g_alloc);
    return total;
}

// Runs the launcher under /q into ROOT\launcher\; seconds from its start to
// its end, less the pause before the launch, or -1.
double LauncherRun(const std::wstring& launcher) {
    std::wstring command = L"\"" + launcher + L"\" /q \"/UFPATH=" + g_root + L"launcher\\\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double t0 = Seconds();
    if (!CreateProcessW(launcher.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    const double whole = Seconds() - t0;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (code != 0) {
        std::fprintf(stderr, "launcher ended with %lu\n", static_cast<unsigned long>(code));
        return -1;
    }
    return whole - kLaunchPause;
}

void PrintPeak(const char* when) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) {
        std::printf("peak memory %s: working set %.1f MiB, pagefile usage %.1f MiB\n", when,
                    pmc.PeakWorkingSetSize / 1048576.0, pmc.PeakPagefileUsage / 1048576.0);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: extract_benchmark ROOT [LAUNCHER]\n");
        return 2;
    }
    g_root = argv[1];
    if (g_root.back() != L'\\') g_root += L'\\';
    SetExtractionTempRootFunction(TempRoot);
    SetExtractionMessageBoxFunction(ReportBox);

    wchar_t self[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    if (n == 0 || n >= MAX_PATH * 4) return 3;
    const uint32_t offset = GetStampPayloadOffset();
    if (offset == 0) {
        std::fprintf(stderr, "no payload: pack this program with sfxpack first\n");
        return 4;
    }

    uint32_t dictionary = 0;
    double best = 1e30;
    long long decoded = 0;
    for (int run = 0; run < 2; ++run) {
        const double t0 = Seconds();
        decoded = DecodeOnly(self, offset, dictionary);
        const double t = Seconds() - t0;
        if (decoded < 0) {
            std::fprintf(stderr, "decode-only pass failed\n");
            return 5;
        }
        if (t < best) best = t;
    }
    std::printf("payload: %.1f MiB unpacked, dictionary %.1f MiB\n", decoded / 1048576.0, dictionary / 1048576.0);
    std::printf("decode only:      %.3f s (%.1f MiB/s)\n", best, decoded / 1048576.0 / best);
    PrintPeak("after decode only");

    // What DecodePayloadFile does, with its two phases timed apart.
    const double t0 = Seconds();
    ExtractionResult result;
    {
        PayloadInStream stream;
        stream.file = CreateFileW(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (stream.file == INVALID_HANDLE_VALUE || stream.Seek(&stream, offset) != 0) return 6;
        result = DecodePayloadStream(&stream, nullptr);
    }
    const double t1 = Seconds();
    if (result == SZ_OK) result = FinishPayloadArchive();
    const double whole = Seconds() - t0;
    if (g_pArchiveParser) {
        DestroyArchiveParser(g_pArchiveParser);
        g_pArchiveParser = nullptr;
    }
    if (result != SZ_OK) {
        std::fprintf(stderr, "extraction failed: %d\n", static_cast<int>(result));
        return 6;
    }
    std::printf("decode and spool: %.3f s\n", t1 - t0);
    std::printf("copy-out:         %.3f s\n", t0 + whole - t1);
    std::printf("whole extraction: %.3f s\n", whole);
    std::printf("ratio whole / decode only: %.3f (goal <= 1.25)\n", whole / best);
    PrintPeak("overall");
    std::printf("memory goal: peak <= dictionary + 16 MiB = %.1f MiB\n", dictionary / 1048576.0 + 16.0);

    if (argc == 3) {
        // The first program of a Wine session that uses windows waits for the
        // session's desktop to start (a user's session has it running
        // already): start it here, and show what it costs.
        const double d0 = Seconds();
        GetSystemMetrics(SM_CXSCREEN);
        std::printf("window system start in this process: %.3f s\n", Seconds() - d0);
        const double run = LauncherRun(argv[2]);
        if (run < 0) {
            std::fprintf(stderr, "the launcher run failed\n");
            return 7;
        }
        std::printf("launcher whole run: %.3f s (less the %.0f s pause)\n", run, kLaunchPause);
        std::printf("ratio launcher / decode only: %.3f (goal <= 1.30)\n", run / best);
    }
    return 0;
}
