// The splash file must be a BMP whose headers agree with its length.
#include "SplashImage.h"

#include "StampBlock.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace sfxpack;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A 3 x 2 picture with 24 bits per pixel: rows of 9 bytes padded to 12.
std::vector<uint8_t> Bmp24() {
    std::vector<uint8_t> b(54 + 24, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, 2);
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    return b;
}

TEST(CheckBmpFile, AcceptsConsistentBitmaps) {
    std::string error;
    EXPECT_TRUE(CheckBmpFile(Bmp24(), error)) << error;

    std::vector<uint8_t> topDown = Bmp24();
    Put32(topDown, 22, static_cast<uint32_t>(-2));  // negative height: rows from the top
    EXPECT_TRUE(CheckBmpFile(topDown, error)) << error;

    // 8 bits with a 4-entry palette and RLE data of any length.
    std::vector<uint8_t> rle = Bmp24();
    rle.resize(54 + 16 + 6);
    Put32(rle, 2, static_cast<uint32_t>(rle.size()));
    Put32(rle, 10, 54 + 16);
    Put16(rle, 28, 8);
    Put32(rle, 30, 1);
    EXPECT_TRUE(CheckBmpFile(rle, error)) << error;
}

TEST(CheckBmpFile, RefusesWhatIsNotAConsistentBmp) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with = [&](const char* what, auto change) {
        std::vector<uint8_t> b = Bmp24();
        change(b);
        cases.push_back({what, b});
    };
    with("signature", [](std::vector<uint8_t>& b) { b[1] = 'A'; });
    with("file size field", [](std::vector<uint8_t>& b) { Put32(b, 2, 1000); });
    with("cut pixels", [](std::vector<uint8_t>& b) { b.resize(b.size() - 1); Put32(b, 2, static_cast<uint32_t>(b.size())); });
    with("header size", [](std::vector<uint8_t>& b) { Put32(b, 14, 20); });
    with("pixel offset inside headers", [](std::vector<uint8_t>& b) { Put32(b, 10, 40); });
    with("pixel offset beyond the file", [](std::vector<uint8_t>& b) { Put32(b, 10, 1000); });
    with("zero width", [](std::vector<uint8_t>& b) { Put32(b, 18, 0); });
    with("zero height", [](std::vector<uint8_t>& b) { Put32(b, 22, 0); });
    with("planes", [](std::vector<uint8_t>& b) { Put16(b, 26, 2); });
    with("bit depth", [](std::vector<uint8_t>& b) { Put16(b, 28, 7); });
    with("compression", [](std::vector<uint8_t>& b) { Put32(b, 30, 4); });
    with("huge width", [](std::vector<uint8_t>& b) { Put32(b, 18, 0x7FFFFFFF); });
    cases.push_back({"empty", {}});
    cases.push_back({"only BM", {'B', 'M'}});
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(CheckBmpFile(c.bytes, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

// The launcher shows no picture past its limit: the tool refuses it, naming both sizes.
TEST(CheckBmpFile, RefusesAPictureOverTheLaunchersLimit) {
    auto sized = [](uint32_t size) {
        std::vector<uint8_t> b = Bmp24();
        b.resize(size);
        Put32(b, 2, size);
        Put32(b, 18, 4);                   // rows of 12 bytes
        Put32(b, 22, (size - 54) / 12);
        return b;
    };
    std::string error;
    EXPECT_TRUE(CheckBmpFile(sized(stamp::kMaxSplashImageBytes), error)) << error;
    EXPECT_FALSE(CheckBmpFile(sized(stamp::kMaxSplashImageBytes + 1), error));
    EXPECT_NE(error.find("67108865 bytes"), std::string::npos) << error;
    EXPECT_NE(error.find("at most 67108864"), std::string::npos) << error;
}

}  // namespace
