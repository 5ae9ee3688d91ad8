#include "TestSupport.h"

#include <gtest/gtest.h>

CDibCanvas::CDibCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    m_hBitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    m_pBits = static_cast<uint32_t*>(pBits);
    dc.CreateCompatibleDC(nullptr);
    m_hOld = ::SelectObject(dc.m_hDC, m_hBitmap);
    Fill(fill);
}

CDibCanvas::~CDibCanvas()
{
    ::SelectObject(dc.m_hDC, m_hOld);
    dc.DeleteDC();
    ::DeleteObject(m_hBitmap);
}

void CDibCanvas::Fill(COLORREF color)
{
    ::GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i)
        m_pBits[i] = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

COLORREF CDibCanvas::Pixel(int x, int y) const
{
    ::GdiFlush();
    uint32_t v = m_pBits[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int CDibCanvas::Count(COLORREF color, const RECT& rc) const
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += Pixel(x, y) == color;
    return n;
}

PixelBox FindColour(const CDibCanvas& canvas, COLORREF color)
{
    PixelBox box;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) == color)
            {
                ++box.nCount;
                box.left = x < box.left ? x : box.left;
                box.top = y < box.top ? y : box.top;
                box.right = x > box.right ? x : box.right;
                box.bottom = y > box.bottom ? y : box.bottom;
            }
    return box;
}

static LRESULT CALLBACK ParentProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
    {
        CTestParent& parent = SharedParent();
        ++parent.nNotifies;
        parent.wParam = wParam;
        parent.nmhdr = *reinterpret_cast<NMHDR*>(lParam);
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

CTestParent& SharedParent()
{
    static CTestParent parent;
    if (parent.hWnd == nullptr)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &ParentProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorControlsTestParent";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        ::RegisterClassW(&wc);
        parent.hWnd = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 300,
                                        200, nullptr, nullptr, wc.hInstance, nullptr);
        PumpMessages();
    }
    parent.nNotifies = 0;
    parent.wParam = 0;
    parent.nmhdr = NMHDR();
    return parent;
}

HWND CTestParent::AddStatic(DWORD dwStyle, LPCWSTR pszText, int nId, int cx, int cy)
{
    return ::CreateWindowExW(0, L"STATIC", pszText, WS_CHILD | WS_VISIBLE | dwStyle, 0, 0, cx, cy, hWnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), ::GetModuleHandleW(nullptr),
                             nullptr);
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

static const COLORREF kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

HBITMAP MakeQuadrants(int w, int h)
{
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, w, h);
    ::ReleaseDC(nullptr, hScreen);
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    for (int i = 0; i < 4; ++i)
    {
        RECT rc = {(i % 2) * w / 2, (i / 2) * h / 2, (i % 2 + 1) * w / 2, (i / 2 + 1) * h / 2};
        HBRUSH hBrush = ::CreateSolidBrush(kQuadrants[i]);
        ::FillRect(hDC, &rc, hBrush);
        ::DeleteObject(hBrush);
    }
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    return hBitmap;
}

void ExpectQuadrants(const CDibCanvas& canvas, const RECT& rc)
{
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(canvas.Pixel(rc.left + (i % 2) * w / 2 + w / 4, rc.top + (i / 2) * h / 2 + h / 4), kQuadrants[i])
            << "quadrant " << i;
    }
    EXPECT_EQ(canvas.Pixel(rc.left, rc.top), kQuadrants[0]);
    EXPECT_EQ(canvas.Pixel(rc.right - 1, rc.top), kQuadrants[1]);
    EXPECT_EQ(canvas.Pixel(rc.left, rc.bottom - 1), kQuadrants[2]);
    EXPECT_EQ(canvas.Pixel(rc.right - 1, rc.bottom - 1), kQuadrants[3]);
}
