// stampprobe: a small launcher stand-in for the packing tests. It carries the
// engine's stamp block, so the packing tool can stamp it and append a payload.
//
//   stampprobe --print OUTFILE   writes the five stamp values to OUTFILE
//   stampprobe --extract ROOT [REPORT]
//                                extracts its own payload with ROOT as the
//                                temporary root (into ROOT\QUOR<BuildId>\)
//
// --extract reports "result=", "error=", "progress=" and "spool=" (the bytes
// the spool file held) lines (and message boxes) on stdout or into the file REPORT, and exits with the extraction's
// result; 70 when the progress messages broke their rules.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ArchiveParser.h"
#include "ExtractionHost.h"
#include "ExtractionTypes.h"
#include "PayloadDecoder.h"
#include "StampBlock.h"

namespace {

std::wstring g_root;
FILE* g_report = stdout;

bool TempRoot(std::wstring& root) {
    root = g_root;
    return true;
}

std::wstring Text(UINT id) {
    if (id == IDS_EXTRACTION_FAILED) return L"Extraction failed";
    if (id == IDS_CANNOT_OPEN_OUTPUT) return L"Unable to open the output file %s.";
    return std::wstring();
}

// No person answers in a test: report the box and go on.
int ReportBox(HWND, const wchar_t* text, const wchar_t* caption, UINT) {
    fwprintf(g_report, L"message box: %ls: %ls\n", caption ? caption : L"", text ? text : L"");
    return IDOK;
}

int Print(const wchar_t* path) {
    FILE* f = _wfopen(path, L"wb");
    if (!f) return 2;
    std::fprintf(f, "BuildId=%s\nPayloadOffset=%lu\nSetupProgramName=%s\nRequiredFreeBytes=%llu\nSplashImageOffset=%lu\n",
                 GetStampBuildId().c_str(), static_cast<unsigned long>(GetStampPayloadOffset()),
                 GetStampSetupProgramName().c_str(),
                 static_cast<unsigned long long>(GetStampRequiredFreeBytes()),
                 static_cast<unsigned long>(GetStampSplashImageOffset()));
    return std::fclose(f) == 0 ? 0 : 2;
}

int Extract(const wchar_t* root) {
    g_root = root;
    if (g_root.empty() || g_root.back() != L'\\') g_root += L'\\';
    SetExtractionTempRootFunction(TempRoot);
    SetExtractionTextFunction(Text);
    SetExtractionMessageBoxFunction(ReportBox);

    wchar_t self[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    if (n == 0 || n >= MAX_PATH * 4) return 3;

    // Progress goes to a message-only window of this thread and is read back
    // from the queue when the extraction has ended.
    HWND sink = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    char error[256] = {0};
    const int result = DecodePayloadFile(self, GetStampPayloadOffset(), error, sink);

    int count = 0, last = -1, bad = 0;
    MSG msg;
    while (sink && PeekMessageW(&msg, sink, WM_EXTRACT_PROGRESS, WM_EXTRACT_PROGRESS, PM_REMOVE)) {
        const int value = static_cast<int>(msg.wParam);
        if (value <= last || value > 499 || msg.lParam != 0) ++bad;
        last = value;
        ++count;
    }
    if (sink) DestroyWindow(sink);
    // The spool file holds the whole data area until the copy-out has ended.
    const unsigned long spool = g_pArchiveParser ? g_pArchiveParser->DataLength() : 0;
    if (g_pArchiveParser) {
        DestroyArchiveParser(g_pArchiveParser);
        g_pArchiveParser = nullptr;
    }

    std::string text(error);
    for (char& c : text)
        if (c == '\n') c = '|';
    std::fprintf(g_report, "result=%d\nerror=%s\nprogress=%d messages, last %d, %d out of order\nansi code page=%u\nspool=%lu\n",
                 result, text.c_str(), count, last, bad, GetACP(), spool);
    std::fflush(g_report);
    if (result == 0 && bad) return 70;
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && wcscmp(argv[1], L"--print") == 0) return Print(argv[2]);
    if ((argc == 3 || argc == 4) && wcscmp(argv[1], L"--extract") == 0) {
        if (argc == 4 && !(g_report = _wfopen(argv[3], L"w"))) return 2;
        const int result = Extract(argv[2]);
        if (g_report != stdout) std::fclose(g_report);
        return result;
    }
    std::fprintf(stderr, "usage: stampprobe --print OUTFILE | --extract ROOT [REPORT]\n");
    return 2;
}
