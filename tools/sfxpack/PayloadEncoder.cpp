#include "PayloadEncoder.h"

#include "HtarWriter.h"

#include <cstdlib>

extern "C" {
#include <LzmaEnc.h>
}

namespace sfxpack {
namespace {

void* PlainAlloc(void*, size_t size) { return size == 0 ? nullptr : std::malloc(size); }
void PlainFree(void*, void* address) { std::free(address); }
ISzAlloc g_alloc = {PlainAlloc, PlainFree};

// The encoder pulls the archive through this stream; a failure of the
// archive ends the encoding with SZ_ERROR_READ and keeps the message.
struct ArchiveInStream {
    ISeqInStream vt;
    CHtarWriter* archive;
    std::string error;
    uint64_t read;
};

SRes ArchiveRead(void* p, void* buf, size_t* size) {
    auto* s = static_cast<ArchiveInStream*>(p);
    std::size_t n = *size;
    if (!s->archive->Read(buf, n, s->error)) {
        *size = 0;
        return SZ_ERROR_READ;
    }
    *size = n;
    s->read += n;
    return SZ_OK;
}

struct OstreamOutStream {
    ISeqOutStream vt;
    std::ostream* out;
    uint64_t written;
};

size_t OstreamWrite(void* p, const void* buf, size_t size) {
    auto* s = static_cast<OstreamOutStream*>(p);
    s->out->write(static_cast<const char*>(buf), static_cast<std::streamsize>(size));
    if (!*s->out) return 0;
    s->written += size;
    return size;
}

struct EncoderHandle {
    CLzmaEncHandle h = LzmaEnc_Create(&g_alloc);
    ~EncoderHandle() {
        if (h) LzmaEnc_Destroy(h, &g_alloc, &g_alloc);
    }
};

}  // namespace

uint32_t DictionaryFor(uint64_t streamSize) {
    uint32_t best = kMinDictionary;
    for (int i = 11; i <= 26; ++i) {
        const uint64_t two = 2ull << i, three = 3ull << i;
        if (two <= streamSize && two <= kMaxDictionary && two > best) best = static_cast<uint32_t>(two);
        if (three <= streamSize && three <= kMaxDictionary && three > best) best = static_cast<uint32_t>(three);
    }
    return best;
}

bool EncodePayload(CHtarWriter& archive, std::ostream& out, EncodeResult& result, std::string& error) {
    const uint64_t unpacked = archive.StreamSize();
    EncoderHandle enc;
    if (!enc.h) { error = "out of memory for the LZMA encoder"; return false; }

    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.level = 5;
    props.dictSize = DictionaryFor(unpacked);
    props.lc = 8;
    props.lp = 0;
    props.pb = 2;
    props.numThreads = 1;
    if (LzmaEnc_SetProps(enc.h, &props) != SZ_OK) { error = "the LZMA encoder refused its settings"; return false; }

    uint8_t header[13];
    SizeT propsSize = LZMA_PROPS_SIZE;
    if (LzmaEnc_WriteProperties(enc.h, header, &propsSize) != SZ_OK || propsSize != LZMA_PROPS_SIZE) {
        error = "the LZMA encoder gave no properties";
        return false;
    }
    for (int i = 0; i < 8; ++i) header[5 + i] = static_cast<uint8_t>(unpacked >> (8 * i));
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    if (!out) { error = "cannot write the output file"; return false; }

    ArchiveInStream in{{ArchiveRead}, &archive, std::string(), 0};
    OstreamOutStream sink{{OstreamWrite}, &out, 0};
    const SRes res = LzmaEnc_Encode(enc.h, &sink.vt, &in.vt, nullptr, &g_alloc, &g_alloc);
    if (res != SZ_OK) {
        if (!in.error.empty()) error = in.error;
        else if (res == SZ_ERROR_WRITE) error = "cannot write the output file";
        else if (res == SZ_ERROR_MEM) error = "out of memory while compressing";
        else error = "the LZMA encoder failed with code " + std::to_string(res);
        return false;
    }
    if (in.read != unpacked) {
        error = "internal error: the archive gave " + std::to_string(in.read) + " bytes instead of " +
                std::to_string(unpacked);
        return false;
    }
    result.dictionary = props.dictSize;
    result.unpackedSize = unpacked;
    result.packedSize = sizeof header + sink.written;
    return true;
}

}  // namespace sfxpack
