// Colour attribute values: names, decimal triples and "#RRGGBB".
#include "XNamedColors.h"

#include <gtest/gtest.h>

static COLORREF Colour(const wchar_t* text)
{
    return CXNamedColors(text).GetRGB();
}

TEST(NamedColorsTest, TableHoldsItsRowsInOrderWithItsOwnValues)
{
    EXPECT_STREQ(NamedColorTable[0].name, L"AliceBlue");
    EXPECT_STREQ(NamedColorTable[kNamedColorCount - 1].name, L"YellowGreen");
    for (int i = 1; i < kNamedColorCount; ++i)
        EXPECT_LT(_wcsicmp(NamedColorTable[i - 1].name, NamedColorTable[i].name), 0) << i;

    EXPECT_EQ(Colour(L"BlanchedAlmond"), RGB(255, 255, 205));
    EXPECT_EQ(Colour(L"YellowGreen"), RGB(139, 205, 50));
    EXPECT_EQ(Colour(L"Gray"), RGB(127, 127, 127));
    EXPECT_EQ(Colour(L"LightGrey"), RGB(211, 211, 211));
    EXPECT_EQ(Colour(L"Grey"), RGB(0, 0, 0));
    EXPECT_EQ(Colour(L"LightGray"), RGB(0, 0, 0));
    EXPECT_EQ(Colour(L"DarkSlateGray"), RGB(47, 79, 79));
    EXPECT_EQ(Colour(L"burlywood"), RGB(222, 184, 135));
    EXPECT_EQ(Colour(L"RED"), RGB(255, 0, 0));
    EXPECT_EQ(Colour(L"Aqua"), Colour(L"Cyan"));
    EXPECT_EQ(Colour(L"Fuchsia"), Colour(L"Magenta"));
}

TEST(NamedColorsTest, DecimalAndHexadecimalForms)
{
    EXPECT_EQ(Colour(L"255,0"), RGB(255, 0, 0));
    EXPECT_EQ(Colour(L"10,20,30,40"), RGB(10, 20, 30));
    EXPECT_EQ(Colour(L"256,300,1"), RGB(0, 44, 1));
    EXPECT_EQ(Colour(L"#FF8000"), RGB(255, 128, 0));
    EXPECT_EQ(Colour(L"#F80"), RGB(0, 0, 0));
    EXPECT_EQ(Colour(L"#FF80001"), RGB(0, 0, 0)) << "longer than #RRGGBB";
    EXPECT_EQ(Colour(L"x#12345"), RGB(0, 0, 0)) << "not read past the end";
    EXPECT_EQ(Colour(L"1,2,#030303"), RGB(1, 2, 0)) << "decimal wins";
    EXPECT_EQ(Colour(L"no such colour"), RGB(0, 0, 0));
}
