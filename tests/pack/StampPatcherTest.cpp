// Finding the stamp block in a launcher image and writing its values.
#include "StampPatcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace sfxpack;

namespace {

// A block like the launcher's template: markers, with filler in the areas.
std::vector<uint8_t> Template() {
    std::vector<uint8_t> block(kStampBlockSize + 1, 'z');
    const size_t markers[5] = {0, 32, 48, 80, 112};
    for (int i = 0; i < 5; ++i) {
        char m[11];
        std::snprintf(m, sizeof m, "KORVAL%cS%d:", 'I', i + 1);  // not a marker in this program's data
        std::memcpy(block.data() + markers[i], m, 10);
    }
    block[kStampBlockSize] = 0;
    return block;
}

std::vector<uint8_t> Image(size_t before, size_t after, int copies = 1) {
    std::vector<uint8_t> image(before, 0x90);
    for (int i = 0; i < copies; ++i) {
        std::vector<uint8_t> b = Template();
        image.insert(image.end(), b.begin(), b.end());
        image.insert(image.end(), 7, 0xCC);
    }
    image.insert(image.end(), after, 0x00);
    return image;
}

StampValues Values() {
    StampValues v;
    v.buildId = "20160915095356401";
    v.payloadOffset = 0x12345678;
    v.setupName = "setup";
    v.requiredFreeBytes = 0x0102030405060708ull;
    v.splashOffset = 0xA1B2C3D4;
    return v;
}

TEST(FindStampBlocks, FindsTheOneBlockAtItsOffset) {
    std::vector<uint8_t> image = Image(1234, 500);
    std::vector<size_t> found = FindStampBlocks(image.data(), image.size());
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(1234u, found[0]);
}

TEST(FindStampBlocks, CountsNoneAndSeveral) {
    std::vector<uint8_t> two = Image(10, 10, 2);
    EXPECT_EQ(2u, FindStampBlocks(two.data(), two.size()).size());

    std::vector<uint8_t> image = Image(10, 10);
    image[10 + 80 + 8] = '5';  // marker 4 reads "KORVALIS5:"
    EXPECT_TRUE(FindStampBlocks(image.data(), image.size()).empty());

    std::vector<uint8_t> cut = Image(10, 0);
    cut.resize(10 + kStampBlockSize - 1);  // the image ends inside the block
    EXPECT_TRUE(FindStampBlocks(cut.data(), cut.size()).empty());
    EXPECT_TRUE(FindStampBlocks(cut.data(), 0).empty());
}

TEST(WriteStampBlock, WritesEachValueAtTheStartOfItsAreaAndBlanksTheRest) {
    std::vector<uint8_t> block = Template();
    const std::vector<uint8_t> before = block;
    std::string error;
    ASSERT_TRUE(WriteStampBlock(block.data(), Values(), error)) << error;

    std::vector<uint8_t> want = before;
    auto put = [&](size_t at, const std::vector<uint8_t>& bytes, size_t area) {
        std::memset(want.data() + at, ' ', area);
        std::memcpy(want.data() + at, bytes.data(), bytes.size());
    };
    std::vector<uint8_t> id(std::begin("20160915095356401"), std::end("20160915095356401"));  // with its NUL
    put(10, id, 22);
    put(42, {0x78, 0x56, 0x34, 0x12}, 6);
    put(58, {'s', 'e', 't', 'u', 'p', 0}, 22);
    put(90, {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}, 22);
    put(122, {0xD4, 0xC3, 0xB2, 0xA1}, 134);
    EXPECT_EQ(want, block);  // markers and the closing NUL untouched
}

TEST(WriteStampBlock, LongestSetupNameEndsWithItsNulInTheLastByteAndEmptyNameIsANul) {
    std::vector<uint8_t> block = Template();
    StampValues v = Values();
    v.setupName = std::string(21, 'q');
    std::string error;
    ASSERT_TRUE(WriteStampBlock(block.data(), v, error)) << error;
    EXPECT_EQ(std::string(21, 'q'), std::string(reinterpret_cast<char*>(block.data()) + 58, 21));
    EXPECT_EQ(0, block[58 + 21]);
    EXPECT_EQ('K', block[80]);

    v.setupName.clear();
    ASSERT_TRUE(WriteStampBlock(block.data(), v, error)) << error;
    EXPECT_EQ(0, block[58]);
    EXPECT_EQ(' ', block[59]);
}

TEST(WriteStampBlock, RefusesMalformedValuesAndLeavesTheBlockAlone) {
    StampValues bad[7] = {Values(), Values(), Values(), Values(), Values(), Values(), Values()};
    bad[0].buildId = "2016091509535640";     // 16 digits
    bad[1].buildId = "201609150953564012";   // 18 digits
    bad[2].buildId = "2016091509535640x";
    bad[3].setupName = std::string(22, 'q');
    bad[4].setupName = "set\xE9up";
    bad[5].setupName = "a\tb";
    bad[6].setupName = "%QV%\\setup.exe";   // the shell would expand it into another path
    for (const StampValues& v : bad) {
        std::vector<uint8_t> block = Template();
        const std::vector<uint8_t> before = block;
        std::string error;
        EXPECT_FALSE(WriteStampBlock(block.data(), v, error)) << v.buildId << " / " << v.setupName;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(before, block);
    }
}

}  // namespace
