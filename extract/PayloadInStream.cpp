#include "PayloadInStream.h"

#include <cstdlib>

namespace {

constexpr size_t kMaxReadPiece = size_t(1) << 22;  // 4 MiB

void* PlainAlloc(void*, size_t size) { return size == 0 ? nullptr : std::malloc(size); }
void PlainFree(void*, void* address) { std::free(address); }

}  // namespace

ISzAlloc g_PayloadAlloc = {PlainAlloc, PlainFree};

WRes File_Read(HANDLE file, void* data, size_t* size) {
    size_t wanted = *size;
    *size = 0;
    unsigned char* out = static_cast<unsigned char*>(data);
    while (wanted > 0) {
        DWORD piece = static_cast<DWORD>(wanted < kMaxReadPiece ? wanted : kMaxReadPiece);
        DWORD got = 0;
        if (!ReadFile(file, out, piece, &got, nullptr)) return GetLastError();
        out += got;
        *size += got;
        wanted -= got;
        if (got == 0) break;  // end of file
    }
    return 0;
}

SRes FileInStream_Read(void* stream, void* buffer, size_t* size) {
    PayloadInStream* in = static_cast<PayloadInStream*>(stream);
    return File_Read(in->file, buffer, size) == 0 ? SZ_OK : SZ_ERROR_READ;
}

DWORD PayloadInStream_Seek(PayloadInStream* stream, uint32_t offset) {
    // 64-bit call: a 32-bit offset with the high bit set must not turn into a
    // backwards move.
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(stream->file, distance, nullptr, FILE_CURRENT)) {
        DWORD error = GetLastError();
        return error != 0 ? error : ERROR_SEEK;
    }
    return 0;
}
