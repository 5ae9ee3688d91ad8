#include "PayloadDecoder.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "ArchiveParser.h"

namespace {

constexpr size_t kStepSize = 65536;
constexpr unsigned kHeaderSize = LZMA_PROPS_SIZE + 8;

// Appends text to the NUL-terminated text in the caller's buffer, never past its end.
void AppendBounded(char* buffer, const char* text) {
    size_t used = strnlen(buffer, kExtractionErrorTextSize - 1);
    size_t room = kExtractionErrorTextSize - 1 - used;
    size_t length = strlen(text);
    if (length > room) length = room;
    memcpy(buffer + used, text, length);
    buffer[used + length] = '\0';
}

void PostProgressStart(HWND dialog) {
    if (dialog) PostMessageW(dialog, WM_EXTRACT_PROGRESS, 0, 0);
}

// The two step buffers, freed when the loop ends.
struct StepBuffers {
    unsigned char input[kStepSize];
    unsigned char output[kStepSize];
};

}  // namespace

int AppendErrorText(char* buffer, const char* text) {
    AppendBounded(buffer, "\nError: ");
    AppendBounded(buffer, text);
    AppendBounded(buffer, "\n");
    return 1;
}

ExtractionResult DecodePayloadChunks(CLzmaDec* state, PayloadInStream* stream, uint64_t unpackedSize, HWND dialog) {
    const bool sizeKnown = unpackedSize != ~0ull;
    std::unique_ptr<StepBuffers> buffers(new (std::nothrow) StepBuffers);
    if (!buffers) return SZ_ERROR_MEM;
    LzmaDec_Init(state);
    PostProgressStart(dialog);
    size_t inPosition = 0;
    size_t inSize = 0;
    if (g_bCancelExtraction.load(std::memory_order_relaxed)) return EXTRACT_CANCELLED;
    for (;;) {
        if (inPosition == inSize) {
            inSize = kStepSize;
            SRes read = stream->Read(stream, buffers->input, &inSize);
            if (read != SZ_OK) return read;
            inPosition = 0;
        }
        SizeT inProcessed = inSize - inPosition;
        SizeT outProcessed = kStepSize;
        ELzmaFinishMode finishMode = LZMA_FINISH_ANY;
        if (sizeKnown && unpackedSize < kStepSize) {
            outProcessed = static_cast<SizeT>(unpackedSize);
            finishMode = LZMA_FINISH_END;
        }
        ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
        SRes result = LzmaDec_DecodeToBuf(state, buffers->output, &outProcessed, buffers->input + inPosition,
                                          &inProcessed, finishMode, &status);
        inPosition += inProcessed;
        unpackedSize -= outProcessed;

        if (!g_pArchiveParser) {
            g_pArchiveParser = new (std::nothrow) CArchiveParser(dialog);
            if (!g_pArchiveParser) return SZ_ERROR_MEM;
        }
        uint32_t produced = static_cast<uint32_t>(outProcessed);
        if (g_pArchiveParser->Write(buffers->output, produced) != produced) return g_pArchiveParser->FailureCode();
        if (result != SZ_OK) return result;
        if (sizeKnown && unpackedSize == 0) return SZ_OK;
        if (inProcessed == 0 && outProcessed == 0) {
            if (!sizeKnown && status == LZMA_STATUS_FINISHED_WITH_MARK) return SZ_OK;
            return SZ_ERROR_DATA;
        }
        if (g_bCancelExtraction.load(std::memory_order_relaxed)) return EXTRACT_CANCELLED;
    }
}

ExtractionResult DecodePayloadStream(PayloadInStream* stream, HWND dialog) {
    unsigned char header[kHeaderSize];
    size_t have = 0;
    while (have < kHeaderSize) {
        size_t size = kHeaderSize - have;
        SRes read = stream->Read(stream, header + have, &size);
        if (read != SZ_OK) return read;
        if (size == 0) return SZ_ERROR_INPUT_EOF;
        have += size;
    }
    uint64_t unpackedSize = 0;
    for (int i = 7; i >= 0; --i) unpackedSize = (unpackedSize << 8) | header[LZMA_PROPS_SIZE + i];

    CLzmaDec state;
    LzmaDec_Construct(&state);
    SRes allocated = LzmaDec_Allocate(&state, header, LZMA_PROPS_SIZE, &g_PayloadAlloc);
    if (allocated != SZ_OK) return allocated;
    ExtractionResult result = DecodePayloadChunks(&state, stream, unpackedSize, dialog);
    LzmaDec_Free(&state, &g_PayloadAlloc);
    return result;
}

namespace {

int DecodePayloadFileUnguarded(const wchar_t* path, uint32_t payloadOffset, char* errorText, HWND dialog) {
    ExtractionResult result;
    {
        PayloadInStream stream;
        stream.file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (stream.file == INVALID_HANDLE_VALUE) return AppendErrorText(errorText, "Can not open input file");
        // The stream is closed on leaving this block, before the copy-out.
        if (stream.Seek(&stream, payloadOffset) != 0) return AppendErrorText(errorText, "Can not read input file");
        result = DecodePayloadStream(&stream, dialog);
    }
    if (result == SZ_OK) result = FinishPayloadArchive();
    if (result == SZ_OK) return 0;
    // After a failure or a cancel the spool file is not left behind.
    if (g_pArchiveParser) g_pArchiveParser->DiscardSpool();

    switch (result) {
    case SZ_ERROR_MEM: return AppendErrorText(errorText, "Can not allocate memory");
    case SZ_ERROR_DATA: return AppendErrorText(errorText, "Data error");
    case SZ_ERROR_WRITE: return AppendErrorText(errorText, "Can not write output file");
    case SZ_ERROR_READ: return AppendErrorText(errorText, "Can not read input file");
    case EXTRACT_CANCELLED: return EXTRACT_CANCELLED;
    default: {
        char code[32];
        snprintf(code, sizeof(code), "\nError code: %x\n", static_cast<unsigned>(result));
        AppendBounded(errorText, code);
        return 1;
    }
    }
}

}  // namespace

int DecodePayloadFile(const wchar_t* path, uint32_t payloadOffset, char* errorText, HWND dialog) {
    // The parser catches its own allocation failures; this catches the rest
    // (path strings), so no exception leaves the worker thread.
    try {
        return DecodePayloadFileUnguarded(path, payloadOffset, errorText, dialog);
    } catch (const std::bad_alloc&) {
        return AppendErrorText(errorText, "Can not allocate memory");
    }
}
