// GDI classes of the class-library layer: thin owners of device contexts and
// GDI objects. Each object owns its handle and deletes it when destroyed
// (unless it was detached first); copying is not allowed, so a handle is never
// deleted twice.
//
// Selecting returns the previous handle rather than a temporary wrapper
// object, which keeps the layer free of a handle map:
//     HBITMAP hOld = dc.SelectObject(&bitmap);
//     ...
//     dc.SelectObject(hOld);
#pragma once

#include <windows.h>

#include "AfxObject.h"

// Base of every GDI object: holds one HGDIOBJ and deletes it on destruction.
class CGdiObject : public CObject
{
    DECLARE_DYNAMIC(CGdiObject)
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    // Takes ownership of the handle; fails (FALSE) for null or when this object
    // already holds one.
    BOOL Attach(HGDIOBJ hObject);
    // Gives up ownership and returns the handle.
    HGDIOBJ Detach();
    // Deletes the held object; FALSE when nothing is held or the platform refused.
    BOOL DeleteObject();
    // GetObjectW of the held object; 0 when nothing is held.
    int GetObject(int cbBuffer, LPVOID pBuffer) const;
};

class CFont : public CGdiObject
{
    DECLARE_DYNAMIC(CFont)
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }

    BOOL CreateFontIndirect(const LOGFONTW* pLogFont);
    // A font of nPointSize tenths of a point for the given DC (the screen when
    // pDC is null); the face name is cut to what LOGFONTW holds.
    BOOL CreatePointFont(int nPointSize, LPCWSTR pszFaceName, class CDC* pDC = nullptr);
    int GetLogFont(LOGFONTW* pLogFont) const;
};

class CBitmap : public CGdiObject
{
    DECLARE_DYNAMIC(CBitmap)
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitsPerPixel, const void* pBits);
    BOOL CreateCompatibleBitmap(class CDC* pDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitmap) const;
};

class CBrush : public CGdiObject
{
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    // A solid brush; on failure the object simply holds no brush.
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

    BOOL CreateSolidBrush(COLORREF crColor);
    int GetLogBrush(LOGBRUSH* pLogBrush) const;
};

// A device context. The plain CDC deletes (DeleteDC) the DC it holds when it
// is destroyed; CPaintDC and CClientDC hand theirs back to the window instead.
class CDC : public CObject
{
    DECLARE_DYNAMIC(CDC)
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    ~CDC() override;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    BOOL Attach(HDC hDC);
    HDC Detach();

    // A memory DC compatible with pDC, or with the screen when pDC is null.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HFONT SelectObject(CFont* pFont);
    HBITMAP SelectObject(CBitmap* pBitmap);
    HBRUSH SelectObject(CBrush* pBrush);
    HGDIOBJ SelectStockObject(int nIndex);

    int SetBkMode(int nBkMode);
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF SetTextColor(COLORREF crColor);
    UINT SetTextAlign(UINT nFlags);
    POINT SetViewportOrg(int x, int y);
    POINT SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    POINT GetViewportOrg() const;
    int SetStretchBltMode(int nStretchMode);
    POINT SetBrushOrg(int x, int y);
    int GetDeviceCaps(int nIndex) const;

    void FillRect(const RECT* pRect, CBrush* pBrush);
    void FillRect(const RECT* pRect, HBRUSH hBrush);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    int DrawText(LPCWSTR pszText, int nCount, LPRECT pRect, UINT nFormat);
    BOOL TextOut(int x, int y, LPCWSTR pszText, int nCount);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC,
                    int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, DWORD dwRop);
    COLORREF GetPixel(int x, int y) const;
};

// BeginPaint/EndPaint for the lifetime of the object.
class CPaintDC : public CDC
{
    DECLARE_DYNAMIC(CPaintDC)
public:
    PAINTSTRUCT m_ps = {};

    explicit CPaintDC(HWND hWnd);
    // Any window object of the class library (anything with GetSafeHwnd()).
    template <class TWnd>
    explicit CPaintDC(TWnd* pWnd) : CPaintDC(pWnd->GetSafeHwnd()) {}
    ~CPaintDC() override;

protected:
    HWND m_hWnd = nullptr;
};

// GetDC/ReleaseDC of a window's client area for the lifetime of the object.
class CClientDC : public CDC
{
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(HWND hWnd);
    template <class TWnd>
    explicit CClientDC(TWnd* pWnd) : CClientDC(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};
