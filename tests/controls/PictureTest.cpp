#include "Picture.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A 24-bit BMP file (rows bottom-up, padded to 4 bytes): top row red, bottom
// row blue, the rows between green.
std::vector<uint8_t> MakeBmp(int w, int h)
{
    const uint32_t stride = (w * 3 + 3) & ~3u, size = 54 + stride * h;
    std::vector<uint8_t> v(size, 0);
    auto put = [&v](size_t at, uint32_t x, int n) {
        for (int i = 0; i < n; ++i)
            v[at + i] = static_cast<uint8_t>(x >> (8 * i));
    };
    v[0] = 'B', v[1] = 'M';
    put(2, size, 4), put(10, 54, 4), put(14, 40, 4), put(18, w, 4), put(22, h, 4), put(26, 1, 2), put(28, 24, 2);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x)
        {
            uint8_t* p = &v[54 + stride * row + 3 * x];  // blue, green, red
            p[0] = row == 0 ? 0xFF : 0;
            p[1] = (row == 0 || row == h - 1) ? 0 : 0xFF;
            p[2] = row == h - 1 ? 0xFF : 0;
        }
    return v;
}

class PictureTest : public ::testing::Test
{
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { ::CoUninitialize(); }
};
}

TEST_F(PictureTest, OddWidthBmpRendersUprightAtItsSizeAndScaled)
{
    std::vector<uint8_t> bmp = MakeBmp(7, 5);
    CPicture picture;
    ASSERT_TRUE(picture.LoadFromMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
    ASSERT_NE(picture.m_pPicture, nullptr);

    CDibCanvas canvas(7, 5);
    EXPECT_TRUE(picture.Render(&canvas.dc, 0, 0, 7, 5));
    for (int x = 0; x < 7; ++x)
    {
        EXPECT_EQ(canvas.Pixel(x, 0), RGB(255, 0, 0)) << x;
        EXPECT_EQ(canvas.Pixel(x, 2), RGB(0, 255, 0)) << x;
        EXPECT_EQ(canvas.Pixel(x, 4), RGB(0, 0, 255)) << x;
    }

    // 7 x 5 to 14 x 15 at (3, 4): each row becomes three, nothing outside.
    CDibCanvas big(20, 20, RGB(9, 9, 9));
    EXPECT_TRUE(picture.Render(&big.dc, 3, 4, 14, 15));
    EXPECT_EQ(big.Count(RGB(9, 9, 9)), 400 - 14 * 15);
    EXPECT_EQ(big.Count(RGB(255, 0, 0), RECT{3, 4, 17, 7}), 14 * 3);
    EXPECT_EQ(big.Count(RGB(0, 0, 255), RECT{3, 16, 17, 19}), 14 * 3);
}

TEST_F(PictureTest, NoPictureFromBadNullOrEmptyDataAndNothingDrawn)
{
    std::vector<uint8_t> bmp = MakeBmp(4, 4);
    const char text[] = "Plain text is not a picture of any kind, whatever its length.";
    CPicture picture;
    ASSERT_TRUE(picture.LoadFromMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
    // A failed load also drops the picture loaded before.
    EXPECT_FALSE(picture.LoadFromMemory(text, sizeof(text)));
    EXPECT_EQ(picture.m_pPicture, nullptr);
    EXPECT_FALSE(picture.LoadFromMemory(nullptr, 100));
    EXPECT_FALSE(picture.LoadFromMemory(bmp.data(), 0));
    EXPECT_EQ(picture.m_pPicture, nullptr);

    CDibCanvas canvas(4, 4, RGB(9, 9, 9));
    EXPECT_FALSE(picture.Render(&canvas.dc, 0, 0, 4, 4));
    EXPECT_EQ(canvas.Count(RGB(9, 9, 9)), 16);

    ASSERT_TRUE(picture.LoadFromMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
    EXPECT_FALSE(picture.Render(nullptr, 0, 0, 4, 4));
}
