#include "BitmapStatic.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace
{
const COLORREF kDarkGrey = RGB(64, 64, 64);  // the stock DKGRAY_BRUSH
const COLORREF kSentinel = RGB(1, 2, 3);
}

TEST(BitmapStaticTest, WithoutBitmapOrWithAnEmptyCopyItPaintsDarkGrey)
{
    CBitmapStatic control;
    CDibCanvas canvas(50, 40);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(kDarkGrey), 50 * 40);

    CBitmapEx empty;
    control.SetBitmap(&empty);
    ASSERT_NE(control.m_pBitmap, nullptr);
    canvas.Fill(kSentinel);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(kDarkGrey), 50 * 40);
}

TEST(BitmapStaticTest, CopyIsStretchedToExactlyTheClientAreaAndOutlivesTheSource)
{
    CBitmapStatic control;
    CDibCanvas canvas(60, 50);
    for (SIZE size : {SIZE{8, 6}, SIZE{200, 120}})  // smaller and larger than the control
    {
        {
            CBitmap source;
            source.Attach(MakeQuadrants(size.cx, size.cy));
            control.SetBitmap(&source);
        }
        canvas.Fill(kSentinel);
        control.DrawBitmap(&canvas.dc, RECT{0, 0, 40, 30});
        ExpectQuadrants(canvas, RECT{0, 0, 40, 30});
        EXPECT_EQ(canvas.Count(kSentinel), 60 * 50 - 40 * 30);
    }
}

TEST(BitmapStaticTest, CentredBitmapKeepsItsSizeOnDarkGrey)
{
    CBitmapStatic control;
    CBitmap source;
    source.Attach(MakeQuadrants(4, 4));
    control.SetBitmap(&source);
    control.m_bCenter = true;
    CDibCanvas canvas(11, 10);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    ExpectQuadrants(canvas, RECT{3, 3, 7, 7});
    EXPECT_EQ(canvas.Count(kDarkGrey), 11 * 10 - 16);
}

TEST(BitmapStaticTest, DefaultBitmapComesFromTheResourceModule)
{
    HINSTANCE hSaved = AfxGetResourceHandle();
    AfxSetResourceHandle(::GetModuleHandleW(nullptr));
    CBitmapStatic control;
    control.LoadDefaultBitmap();
    ASSERT_NE(control.m_pBitmap, nullptr);
    EXPECT_FALSE(control.m_pBitmap->m_bValid);

    // The test program's bitmap 129: 8 x 6, green over magenta.
    CDibCanvas canvas(16, 12);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(RGB(0, 255, 0), RECT{0, 0, 16, 5}), 16 * 5);
    EXPECT_EQ(canvas.Count(RGB(255, 0, 255), RECT{0, 7, 16, 12}), 16 * 5);

    // A module without it leaves the control empty.
    AfxSetResourceHandle(::GetModuleHandleW(L"kernel32.dll"));
    control.LoadDefaultBitmap();
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(kDarkGrey), 16 * 12);
    AfxSetResourceHandle(hSaved);
}
