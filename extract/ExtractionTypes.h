// Things of the extraction engine that the application shares: result codes,
// the window messages, the cancel flag.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include <LzmaDec.h>  // and through it the SDK's Types.h: SZ_OK, SZ_ERROR_DATA, ...

// Result of every step of the extraction path: the LZMA SDK's codes plus two
// of the engine's own.
typedef int32_t ExtractionResult;

enum : int32_t {
    EXTRACT_CANCELLED = 13,           // g_bCancelExtraction was seen set
    EXTRACT_OPEN_OUTPUT_FAILED = 35,  // a member or spool file could not be opened
};

// Posted by the worker to the progress dialog (wParam 0, lParam 0).
constexpr UINT WM_EXTRACT_DONE = WM_APP + 0x65;
constexpr UINT WM_EXTRACT_FAILED = WM_APP + 0x66;
// Posted by the engine; wParam is the progress 0..499 on a scale of 500, lParam 0.
constexpr UINT WM_EXTRACT_PROGRESS = WM_APP + 0x67;

// Set by the dialog's Cancel; polled by the decode loop and the copy-out.
// Relaxed ordering is enough: it guards no other data.
extern std::atomic<bool> g_bCancelExtraction;
