#include "BitmapStatic.h"

namespace
{
// Resource id of the built-in splash bitmap.
constexpr UINT kDefaultBitmapId = 129;
}

IMPLEMENT_DYNAMIC(CBitmapStatic, CStatic)

BEGIN_MESSAGE_MAP(CBitmapStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CBitmapStatic::~CBitmapStatic()
{
    delete m_pBitmap;
    m_pBitmap = nullptr;
}

void CBitmapStatic::SetBitmap(const CBitmap* pSource)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        delete m_pBitmap;
        m_pBitmap = new CBitmapEx;
        m_pBitmap->CopyFrom(pSource);
    }
    if (m_hWnd != nullptr)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CBitmapStatic::LoadDefaultBitmap()
{
    delete m_pBitmap;
    m_pBitmap = new CBitmapEx;
    HBITMAP hBitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kDefaultBitmapId));
    if (hBitmap != nullptr)
        m_pBitmap->Attach(hBitmap);
}

void CBitmapStatic::PreSubclassWindow()
{
    LONG lStyle = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, lStyle | SS_NOTIFY);
    CStatic::PreSubclassWindow();
}

void CBitmapStatic::OnSize(UINT nType, int cx, int cy)
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBitmapStatic::OnPaint()
{
    CSingleLock lock(&m_lock, TRUE);
    if (!::GetUpdateRect(m_hWnd, nullptr, FALSE))
        return;
    CPaintDC dc(this);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    DrawBitmap(&dc, rcClient);
}

void CBitmapStatic::DrawBitmap(CDC* pDC, const RECT& rcClient)
{
    if (pDC == nullptr || pDC->GetSafeHdc() == nullptr)
        return;

    HBRUSH hGrey = static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH));
    BITMAP bm = {};
    // Only the attached handle counts; the copy's valid flag is not consulted.
    if (m_pBitmap == nullptr || m_pBitmap->m_hObject == nullptr ||
        m_pBitmap->GetBitmap(&bm) != sizeof(BITMAP))
    {
        pDC->FillRect(&rcClient, hGrey);
        return;
    }

    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return;
    HBITMAP hOld = memDC.SelectObject(m_pBitmap);
    if (hOld == nullptr || reinterpret_cast<HGDIOBJ>(hOld) == HGDI_ERROR)
    {
        // A bitmap that cannot be selected here is drawn like no bitmap.
        pDC->FillRect(&rcClient, hGrey);
        return;
    }
    if (m_bCenter)
    {
        pDC->FillRect(&rcClient, hGrey);
        const int x = rcClient.left + (rcClient.right - rcClient.left - bm.bmWidth) / 2;
        const int y = rcClient.top + (rcClient.bottom - rcClient.top - bm.bmHeight) / 2;
        pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &memDC, 0, 0, SRCCOPY);
    }
    else
    {
        pDC->SetStretchBltMode(HALFTONE);
        pDC->SetBrushOrg(0, 0);
        pDC->StretchBlt(0, 0, rcClient.right, rcClient.bottom, &memDC, 0, 0, bm.bmWidth, bm.bmHeight,
                        SRCCOPY);
    }
    memDC.SelectObject(hOld);
}
