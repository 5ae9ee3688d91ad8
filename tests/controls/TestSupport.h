// Surfaces and windows for the control tests: a 32-bpp DIB section to draw
// into and read back, a shared visible parent window, a test bitmap.
#pragma once

#include "Gdi.h"

#include <cstdint>

// A top-down 32-bpp DIB section selected into the memory DC `dc`.
class CDibCanvas
{
public:
    CDibCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
    ~CDibCanvas();
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Rect() const { return RECT{0, 0, m_width, m_height}; }
    void Fill(COLORREF color);
    COLORREF Pixel(int x, int y) const;
    int Count(COLORREF color, const RECT& rc) const;  // pixels of exactly this colour
    int Count(COLORREF color) const { return Count(color, Rect()); }

    CDC dc;

private:
    int m_width, m_height;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    uint32_t* m_pBits = nullptr;
};

// The smallest box holding every pixel of a colour (right/bottom inclusive).
struct PixelBox
{
    int nCount = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
PixelBox FindColour(const CDibCanvas& canvas, COLORREF color);

// A visible top-level window shared by the tests (hiding one costs Wine two
// seconds without a window manager); it records the WM_NOTIFY it receives.
struct CTestParent
{
    HWND hWnd = nullptr;
    int nNotifies = 0;
    WPARAM wParam = 0;
    NMHDR nmhdr = {};
    HWND AddStatic(DWORD dwStyle, LPCWSTR pszText, int nId, int cx, int cy);
};
CTestParent& SharedParent();  // with its record cleared

void PumpMessages();

// A screen-compatible bitmap in four quadrants: red, green / blue, yellow.
HBITMAP MakeQuadrants(int w, int h);
// Expects those quadrants (sampled away from their borders) and the corners in rc.
void ExpectQuadrants(const CDibCanvas& canvas, const RECT& rc);
