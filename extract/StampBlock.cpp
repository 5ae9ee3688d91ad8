#include "StampBlock.h"

// The template. It is the only place in the program where the markers appear;
// the packing tool relies on that. "used" keeps it even if no reader were linked.
extern "C" __attribute__((used)) const char StampBlock[stamp::kBlockSize + 1] =
    "KORVALIS1:"
    "00000000000000000\0    "                         // BuildId, 22
    "KORVALIS2:"
    "\0\0\0\0  "                                      // PayloadOffset, 6
    "KORVALIS3:"
    "setup\0\0\0\0\0\0           "                    // SetupProgramName, 22
    "KORVALIS4:"
    "\0\0\0\0\0\0\0\0              "                  // RequiredFreeBytes, 22
    "KORVALIS5:"
    "\0\0\0\0"                                        // SplashImageOffset, 134
    "                                                                  "
    "                                                                ";

static_assert(sizeof(StampBlock) == stamp::kBlockSize + 1, "the stamp block is 256 bytes and a NUL");

namespace {

// The block is const with a visible initializer: without the volatile view the
// compiler would fold the template's values into the readers.
const volatile unsigned char* View() {
    return reinterpret_cast<const volatile unsigned char*>(StampBlock);
}

std::string ReadText(size_t offset, size_t maxLength) {
    const volatile unsigned char* block = View();
    std::string text;
    for (size_t i = 0; i < maxLength; ++i) {
        char c = static_cast<char>(block[offset + i]);
        if (c == '\0') break;
        text += c;
    }
    return text;
}

uint64_t ReadLittleEndian(size_t offset, size_t bytes) {
    const volatile unsigned char* block = View();
    uint64_t value = 0;
    for (size_t i = bytes; i > 0; --i) value = (value << 8) | block[offset + i - 1];
    return value;
}

}  // namespace

std::string GetStampBuildId() { return ReadText(stamp::kBuildIdOffset, stamp::kBuildIdSize); }

uint32_t GetStampPayloadOffset() {
    return static_cast<uint32_t>(ReadLittleEndian(stamp::kPayloadOffsetOffset, 4));
}

std::string GetStampSetupProgramName() {
    return ReadText(stamp::kSetupNameOffset, stamp::kSetupNameMaxLength);
}

uint64_t GetStampRequiredFreeBytes() { return ReadLittleEndian(stamp::kRequiredFreeOffset, 8); }

uint32_t GetStampSplashImageOffset() {
    return static_cast<uint32_t>(ReadLittleEndian(stamp::kSplashOffsetOffset, 4));
}
