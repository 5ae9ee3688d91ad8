#include "Gdi.h"

#include <cstdlib>
#include <cwchar>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)

// ---------------------------------------------------------------------------
// CGdiObject

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == nullptr || m_hObject != nullptr)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    HGDIOBJ hObject = Detach();
    return ::DeleteObject(hObject);
}

int CGdiObject::GetObject(int cbBuffer, LPVOID pBuffer) const
{
    if (m_hObject == nullptr)
        return 0;
    return ::GetObjectW(m_hObject, cbBuffer, pBuffer);
}

// ---------------------------------------------------------------------------
// CFont

BOOL CFont::CreateFontIndirect(const LOGFONTW* pLogFont)
{
    if (pLogFont == nullptr)
        return FALSE;
    return Attach(::CreateFontIndirectW(pLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR pszFaceName, CDC* pDC)
{
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (pszFaceName != nullptr)
    {
        // Cut to the 31 characters the structure holds, terminator included.
        wcsncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }

    // Tenths of a point to logical units of the DC: through device pixels
    // (72 points per inch), then device to logical coordinates.
    HDC hDC = (pDC != nullptr && pDC->m_hDC != nullptr) ? pDC->m_hDC : ::GetDC(nullptr);
    if (hDC == nullptr)
        return FALSE;
    POINT pt;
    pt.y = ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720);
    pt.x = 0;
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = {0, 0};
    ::DPtoLP(hDC, &ptOrg, 1);
    lf.lfHeight = -std::abs(pt.y - ptOrg.y);
    if (pDC == nullptr || pDC->m_hDC == nullptr)
        ::ReleaseDC(nullptr, hDC);

    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONTW* pLogFont) const
{
    return GetObject(sizeof(LOGFONTW), pLogFont);
}

// ---------------------------------------------------------------------------
// CBitmap

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitsPerPixel, const void* pBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitsPerPixel, pBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (pDC == nullptr || pDC->m_hDC == nullptr)
        return FALSE;
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitmap) const
{
    return GetObject(sizeof(BITMAP), pBitmap);
}

// ---------------------------------------------------------------------------
// CBrush

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return Attach(::CreateSolidBrush(crColor));
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const
{
    return GetObject(sizeof(LOGBRUSH), pLogBrush);
}

// ---------------------------------------------------------------------------
// CDC

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == nullptr || m_hDC != nullptr)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == nullptr)
        return FALSE;
    return ::DeleteDC(Detach());
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    if (m_hDC == nullptr || hObject == nullptr)
        return nullptr;
    return ::SelectObject(m_hDC, hObject);
}

HFONT CDC::SelectObject(CFont* pFont)
{
    return static_cast<HFONT>(SelectObject(pFont != nullptr ? pFont->m_hObject : nullptr));
}

HBITMAP CDC::SelectObject(CBitmap* pBitmap)
{
    return static_cast<HBITMAP>(SelectObject(pBitmap != nullptr ? pBitmap->m_hObject : nullptr));
}

HBRUSH CDC::SelectObject(CBrush* pBrush)
{
    return static_cast<HBRUSH>(SelectObject(pBrush != nullptr ? pBrush->m_hObject : nullptr));
}

HGDIOBJ CDC::SelectStockObject(int nIndex)
{
    return SelectObject(::GetStockObject(nIndex));
}

int CDC::SetBkMode(int nBkMode)
{
    return ::SetBkMode(m_hDC, nBkMode);
}

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    return ::SetBkColor(m_hDC, crColor);
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    return ::SetTextColor(m_hDC, crColor);
}

UINT CDC::SetTextAlign(UINT nFlags)
{
    return ::SetTextAlign(m_hDC, nFlags);
}

POINT CDC::SetViewportOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}

POINT CDC::GetViewportOrg() const
{
    POINT pt = {0, 0};
    ::GetViewportOrgEx(m_hDC, &pt);
    return pt;
}

int CDC::SetStretchBltMode(int nStretchMode)
{
    return ::SetStretchBltMode(m_hDC, nStretchMode);
}

POINT CDC::SetBrushOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return old;
}

int CDC::GetDeviceCaps(int nIndex) const
{
    return ::GetDeviceCaps(m_hDC, nIndex);
}

void CDC::FillRect(const RECT* pRect, CBrush* pBrush)
{
    FillRect(pRect, pBrush != nullptr ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}

void CDC::FillRect(const RECT* pRect, HBRUSH hBrush)
{
    if (pRect != nullptr && hBrush != nullptr)
        ::FillRect(m_hDC, pRect, hBrush);
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    return ::Rectangle(m_hDC, x1, y1, x2, y2);
}

int CDC::DrawText(LPCWSTR pszText, int nCount, LPRECT pRect, UINT nFormat)
{
    if (pszText == nullptr || pRect == nullptr)
        return 0;
    return ::DrawTextW(m_hDC, pszText, nCount, pRect, nFormat);
}

BOOL CDC::TextOut(int x, int y, LPCWSTR pszText, int nCount)
{
    if (pszText == nullptr)
        return FALSE;
    return ::TextOutW(m_hDC, x, y, pszText, nCount);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC != nullptr ? pSrcDC->m_hDC : nullptr,
                    xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC,
                     int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC != nullptr ? pSrcDC->m_hDC : nullptr,
                        xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    return ::GetPixel(m_hDC, x, y);
}

// ---------------------------------------------------------------------------
// CPaintDC, CClientDC

CPaintDC::CPaintDC(HWND hWnd) : m_hWnd(hWnd)
{
    if (m_hWnd != nullptr)
        Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    if (m_hDC != nullptr)
    {
        ::EndPaint(m_hWnd, &m_ps);
        Detach();
    }
}

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd)
{
    // A null window gives the screen's DC, as GetDC does.
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, Detach());
}
