// The stamp block of the launcher: 256 bytes in its read-only data made of
// five 10-byte markers "KORVALIS1:".."KORVALIS5:", each followed by the value
// area of one build parameter. The packer finds the block by its markers and
// writes the values into the areas of the launcher's file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sfxpack {

constexpr std::size_t kStampBlockSize = 256;
constexpr std::size_t kBuildIdDigits = 17;

struct StampValues {
    std::string buildId;            // 17 decimal digits
    uint32_t payloadOffset = 0;     // file offset of the compressed stream
    std::string setupName;          // program started after extraction; may be empty
    uint64_t requiredFreeBytes = 0; // free space needed for the extraction
    uint32_t splashOffset = 0;      // file offset of the splash picture, 0 for none
};

// Offsets of every place in the image where all five markers stand at their
// places of a stamp block.
std::vector<std::size_t> FindStampBlocks(const uint8_t* image, std::size_t size);

// The PayloadOffset stamped in a block found by FindStampBlocks: 0 in a
// launcher as built, the payload's offset in a package.
uint32_t StampedPayloadOffset(const uint8_t* block);

// Checks the values that have a fixed form (build id, setup name).
bool CheckStampValues(const StampValues& values, std::string& error);

// Writes the values into a block found by FindStampBlocks: each value at the
// start of its area, the rest of the area filled with blanks. The markers and
// the byte behind the block stay as they are. Refuses (false, block untouched)
// values that CheckStampValues refuses.
bool WriteStampBlock(uint8_t* block, const StampValues& values, std::string& error);

}  // namespace sfxpack
