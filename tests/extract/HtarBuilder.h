// Builds archive streams and LZMA payloads for the engine's tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace htartest {

struct Member {
    uint16_t index;          // file index (bits 0..14), bit 15 added for blocked
    bool blocked;
    uint16_t blockPosition;
    uint32_t destination;
};

struct Group {
    uint32_t runLength;
    std::vector<Member> members;
};

// An archive stream written field by field, so tests can also make it wrong.
struct Archive {
    std::vector<std::string> names;
    std::vector<Group> groups;
    std::vector<uint8_t> data;
    int64_t dataLengthOverride = -1;  // D as stored, when not data.size()
    int64_t groupCountOverride = -1;  // G as stored, when not groups.size()

    std::vector<uint8_t> Build() const;
};

// Plain placement: each file's content is one run of its own group
// (empty files get no group).
Archive PlainArchive(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files);

// The 74-byte example: a.txt = HELLO, d\b.txt = HELLOXYZ.
std::vector<uint8_t> SmallExampleStream();

struct LzmaOptions {
    bool storeSize = true;   // header holds the size (else all ones)
    bool endMarker = false;  // stream ends with the end marker
    uint32_t dictionarySize = 1u << 16;
    int lc = 3;
    int level = 1;
};

// A stand-alone LZMA stream: 13-byte header, then the compressed data.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw, const LzmaOptions& options = LzmaOptions());

std::vector<uint8_t> Bytes(const std::string& text);
std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed, bool compressible = false);

}  // namespace htartest
