// The input stream over the program's own file, in the shape of the LZMA SDK's
// seekable file stream, plus the SDK's plain allocator (Debian's lzma-dev
// ships neither).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include <LzmaDec.h>  // the SDK's Types.h, found beside it

// Reads up to *size bytes in pieces of at most 4 MiB; *size becomes the bytes
// read (less only at the end of the file). 0 or the system error code.
WRes File_Read(HANDLE file, void* data, size_t* size);

struct PayloadInStream;

// ISeqInStream-style read over a PayloadInStream: SZ_OK or SZ_ERROR_READ.
SRes FileInStream_Read(void* stream, void* buffer, size_t* size);

// Moves the file position forward by offset from the current position (on a
// freshly opened handle: to that absolute offset). 0 or the system error code.
DWORD PayloadInStream_Seek(PayloadInStream* stream, uint32_t offset);

struct PayloadInStream {
    SRes (*Read)(void* stream, void* buffer, size_t* size) = FileInStream_Read;
    DWORD (*Seek)(PayloadInStream* stream, uint32_t offset) = PayloadInStream_Seek;
    HANDLE file = INVALID_HANDLE_VALUE;

    PayloadInStream() = default;
    PayloadInStream(const PayloadInStream&) = delete;
    PayloadInStream& operator=(const PayloadInStream&) = delete;
    ~PayloadInStream() { Close(); }
    void Close() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
};

// The SDK's plain allocator: 0 bytes give null, otherwise the C runtime heap.
extern ISzAlloc g_PayloadAlloc;
