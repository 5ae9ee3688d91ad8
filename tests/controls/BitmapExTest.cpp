#include "BitmapEx.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace
{
// Draws the bitmap at its size into a fresh canvas and checks the quadrants.
void ExpectQuadrantBitmap(HBITMAP hBitmap, int w, int h)
{
    CDibCanvas canvas(w, h);
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    ::BitBlt(canvas.dc.m_hDC, 0, 0, w, h, hDC, 0, 0, SRCCOPY);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ExpectQuadrants(canvas, canvas.Rect());
}

bool IsDeleted(HGDIOBJ hObject)
{
    BITMAP bm;
    return ::GetObjectW(hObject, sizeof(bm), &bm) == 0;
}
}

TEST(BitmapExTest, CopyHasTheSourceGeometryAndPixelsAndOutlivesIt)
{
    CBitmapEx copy;
    BITMAP bmSource = {};
    {
        CBitmap source;
        source.Attach(MakeQuadrants(13, 9));
        source.GetBitmap(&bmSource);
        copy = source;
        ASSERT_TRUE(copy.m_bValid);
        EXPECT_NE(copy.m_hObject, source.m_hObject);
        EXPECT_EQ(copy.m_hCopy, copy.m_hObject);
    }
    BITMAP bm = {};
    copy.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, bmSource.bmWidth);
    EXPECT_EQ(bm.bmHeight, bmSource.bmHeight);
    EXPECT_EQ(bm.bmPlanes, bmSource.bmPlanes);
    EXPECT_EQ(bm.bmBitsPixel, bmSource.bmBitsPixel);
    ExpectQuadrantBitmap(copy, 13, 9);
}

TEST(BitmapExTest, CopyOntoItselfKeepsTheBitmap)
{
    CBitmap source;
    source.Attach(MakeQuadrants(8, 4));
    CBitmapEx copy;
    copy = source;
    HGDIOBJ hBefore = copy.m_hObject;
    copy.CopyFrom(&copy);
    EXPECT_TRUE(copy.m_bValid);
    EXPECT_EQ(copy.m_hObject, hBefore);
    ExpectQuadrantBitmap(copy, 8, 4);
}

TEST(BitmapExTest, EmptyOrUnusableSourceLeavesNothingAttachedAndFreesTheOldCopy)
{
    CBitmap source;
    source.Attach(MakeQuadrants(5, 5));
    CBitmapEx copy;
    copy = source;
    HGDIOBJ hOld = copy.m_hObject;
    CBitmap empty;
    copy = empty;
    EXPECT_FALSE(copy.m_bValid);
    EXPECT_EQ(copy.m_hObject, nullptr);
    EXPECT_EQ(copy.m_hCopy, nullptr);
    EXPECT_TRUE(IsDeleted(hOld));

    // A source selected into another DC cannot be read: the copy fails after
    // its bitmap was made, and the next copy releases that one.
    CDibCanvas busy(6, 6);
    CBitmap selected;
    selected.Attach(::GetCurrentObject(busy.dc.m_hDC, OBJ_BITMAP));
    copy.CopyFrom(&selected);
    selected.Detach();
    EXPECT_FALSE(copy.m_bValid);
    EXPECT_EQ(copy.m_hObject, nullptr);
    HGDIOBJ hFailed = copy.m_hCopy;
    copy = source;
    EXPECT_TRUE(copy.m_bValid);
    if (hFailed != nullptr)
    {
        EXPECT_TRUE(IsDeleted(hFailed));
    }
}
