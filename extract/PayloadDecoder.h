// The entry of the extraction engine: decodes the LZMA stream behind the
// program's image, feeds the archive parser and runs the copy-out.
#pragma once

#include <windows.h>

#include <cstdint>

#include <LzmaDec.h>

#include "ExtractionTypes.h"
#include "PayloadInStream.h"

// Size of the caller's error-text buffer.
constexpr size_t kExtractionErrorTextSize = 256;

// Opens path, decodes the stream at payloadOffset and writes every member
// file. errorText is the caller's zeroed 256-byte buffer; dialog receives
// WM_EXTRACT_PROGRESS (nothing is posted when it is null).
// Returns 0 (extracted), 13 (cancelled, no text) or 1 (a text was appended).
int DecodePayloadFile(const wchar_t* path, uint32_t payloadOffset, char* errorText, HWND dialog);

// Reads the 13-byte header and decodes the stream.
ExtractionResult DecodePayloadStream(PayloadInStream* stream, HWND dialog);

// The decode loop in 64 KiB steps; unpackedSize all ones means "ends with the end marker".
ExtractionResult DecodePayloadChunks(CLzmaDec* state, PayloadInStream* stream, uint64_t unpackedSize, HWND dialog);

// Appends "\nError: ", text and "\n" to the NUL-terminated text in the
// 256-byte buffer (cut to fit). Returns 1.
int AppendErrorText(char* buffer, const char* text);
