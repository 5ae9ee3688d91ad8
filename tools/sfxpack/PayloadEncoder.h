// Compresses an archive stream into the launcher's payload: the 13-byte
// stand-alone LZMA header (properties byte, 32-bit dictionary size, 64-bit
// unpacked size) followed by the LZMA data, with lc 8, lp 0, pb 2.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace sfxpack {

class CHtarWriter;

constexpr uint32_t kMaxDictionary = 128u << 20;
constexpr uint32_t kMinDictionary = 4096;  // the decoder's own minimum

// The dictionary for a stream of the given length: the largest size of the
// form 2^n or 3 * 2^n that is no larger than the stream (such sizes are
// stored in the header unchanged), at most 128 MiB and at least 4 KiB.
uint32_t DictionaryFor(uint64_t streamSize);

struct EncodeResult {
    uint32_t dictionary = 0;
    uint64_t unpackedSize = 0;
    uint64_t packedSize = 0;  // header included
};

// Reads the planned archive from its start and writes the payload to out.
bool EncodePayload(CHtarWriter& archive, std::ostream& out, EncodeResult& result, std::string& error);

}  // namespace sfxpack
