#include "SplashImage.h"

#include "StampBlock.h"

namespace sfxpack {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

constexpr std::size_t kFileHeader = 14;
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

}  // namespace

bool CheckBmpFile(const std::vector<uint8_t>& b, std::string& error) {
    if (b.size() > stamp::kMaxSplashImageBytes) {
        error = "the picture has " + std::to_string(b.size()) + " bytes; the launcher shows at most " +
                std::to_string(stamp::kMaxSplashImageBytes) + " bytes (64 MiB)";
        return false;
    }
    if (b.size() < kFileHeader + 12 || b[0] != 'B' || b[1] != 'M') {
        error = "not a BMP file (no \"BM\" signature)";
        return false;
    }
    const uint32_t fileSize = U32(b, 2);
    const uint32_t bitsOffset = U32(b, 10);
    const uint32_t infoSize = U32(b, 14);
    if (fileSize != b.size()) {
        error = "BMP header gives a file size of " + std::to_string(fileSize) + " bytes, the file has " +
                std::to_string(b.size());
        return false;
    }
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
        infoSize != 124) {
        error = "BMP header has an unknown bitmap header size " + std::to_string(infoSize);
        return false;
    }
    if (kFileHeader + infoSize > b.size()) {
        error = "BMP file ends inside its bitmap header";
        return false;
    }
    int64_t width, height;
    uint32_t planes, bits, compression = kBiRgb;
    if (infoSize == 12) {
        width = U16(b, 18);
        height = U16(b, 20);
        planes = U16(b, 22);
        bits = U16(b, 24);
    } else {
        width = static_cast<int32_t>(U32(b, 18));
        height = static_cast<int32_t>(U32(b, 22));
        planes = U16(b, 26);
        bits = U16(b, 28);
        compression = U32(b, 30);
    }
    if (width <= 0 || height == 0) {
        error = "BMP header gives an empty or negative width or height";
        return false;
    }
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        error = "BMP header gives an invalid plane count or bit depth";
        return false;
    }
    const bool compressedRle = (compression == kBiRle8 && bits == 8) || (compression == kBiRle4 && bits == 4);
    if (compression != kBiRgb && !compressedRle && !(compression == kBiBitfields && (bits == 16 || bits == 32))) {
        error = "BMP header gives an unsupported compression " + std::to_string(compression);
        return false;
    }
    if (bitsOffset < kFileHeader + infoSize || bitsOffset > b.size()) {
        error = "BMP header gives a pixel data offset outside the file";
        return false;
    }
    if (!compressedRle) {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
        if (rowBytes * rows > b.size() - bitsOffset) {
            error = "BMP file is shorter than its pixel data";
            return false;
        }
    }
    return true;
}

}  // namespace sfxpack
