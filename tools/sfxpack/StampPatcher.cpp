#include "StampPatcher.h"

#include <cstring>

#include "MemberNameRule.h"

namespace sfxpack {
namespace {

struct Area {
    std::size_t marker;  // offset of the marker in the block
    std::size_t size;    // size of the value area behind it
};
constexpr std::size_t kMarkerSize = 10;
constexpr Area kAreas[5] = {{0, 22}, {32, 6}, {48, 22}, {80, 22}, {112, 134}};

bool HasMarker(const uint8_t* at, int field) {
    char marker[kMarkerSize + 1];
    std::memcpy(marker, "KORVALIS0:", kMarkerSize + 1);
    marker[8] = static_cast<char>('1' + field);
    return std::memcmp(at, marker, kMarkerSize) == 0;
}

uint8_t* ValueArea(uint8_t* block, int field) {
    uint8_t* area = block + kAreas[field].marker + kMarkerSize;
    std::memset(area, ' ', kAreas[field].size);
    return area;
}

void PutLe(uint8_t* at, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::size_t> FindStampBlocks(const uint8_t* image, std::size_t size) {
    std::vector<std::size_t> found;
    if (size < kStampBlockSize) return found;
    for (std::size_t at = 0; at + kStampBlockSize <= size; ++at) {
        if (image[at] != 'K') continue;
        bool all = true;
        for (int f = 0; f < 5 && all; ++f) all = HasMarker(image + at + kAreas[f].marker, f);
        if (all) found.push_back(at);
    }
    return found;
}

uint32_t StampedPayloadOffset(const uint8_t* block) {
    const uint8_t* area = block + kAreas[1].marker + kMarkerSize;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(area[i]) << (8 * i);
    return value;
}

bool CheckStampValues(const StampValues& values, std::string& error) {
    if (values.buildId.size() != kBuildIdDigits ||
        values.buildId.find_first_not_of("0123456789") != std::string::npos) {
        error = "the build id must be exactly " + std::to_string(kBuildIdDigits) + " decimal digits";
        return false;
    }
    // The launcher applies the same rule before it starts the program.
    if (const char* fault = SetupProgramNameFault(values.setupName)) {
        error = fault;
        return false;
    }
    return true;
}

bool WriteStampBlock(uint8_t* block, const StampValues& values, std::string& error) {
    if (!CheckStampValues(values, error)) return false;
    uint8_t* id = ValueArea(block, 0);
    std::memcpy(id, values.buildId.data(), kBuildIdDigits);
    id[kBuildIdDigits] = 0;

    PutLe(ValueArea(block, 1), values.payloadOffset, 4);

    uint8_t* name = ValueArea(block, 2);
    std::memcpy(name, values.setupName.data(), values.setupName.size());
    name[values.setupName.size()] = 0;

    PutLe(ValueArea(block, 3), values.requiredFreeBytes, 8);
    PutLe(ValueArea(block, 4), values.splashOffset, 4);
    return true;
}

}  // namespace sfxpack
