#include "BitmapEx.h"

IMPLEMENT_DYNAMIC(CBitmapEx, CBitmap)

namespace
{
// A memory DC compatible with the screen that gets its original bitmap back
// and is deleted on every path.
class CScreenMemDC
{
public:
    CScreenMemDC() : m_hDC(::CreateCompatibleDC(nullptr)) {}
    ~CScreenMemDC()
    {
        if (m_hDC != nullptr)
        {
            if (m_hOld != nullptr)
                ::SelectObject(m_hDC, m_hOld);
            ::DeleteDC(m_hDC);
        }
    }
    CScreenMemDC(const CScreenMemDC&) = delete;
    CScreenMemDC& operator=(const CScreenMemDC&) = delete;

    HDC Get() const { return m_hDC; }
    bool Select(HBITMAP hBitmap)
    {
        if (m_hDC == nullptr)
            return false;
        HGDIOBJ hOld = ::SelectObject(m_hDC, hBitmap);
        if (hOld == nullptr || hOld == HGDI_ERROR)
            return false;
        if (m_hOld == nullptr)
            m_hOld = hOld;
        return true;
    }

private:
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
};
}

CBitmapEx::~CBitmapEx()
{
    m_bValid = false;
    Empty();
}

CBitmapEx& CBitmapEx::operator=(const CBitmapEx& source)
{
    CopyFrom(&source);
    return *this;
}

CBitmapEx& CBitmapEx::operator=(const CBitmap& source)
{
    CopyFrom(&source);
    return *this;
}

void CBitmapEx::Empty()
{
    HGDIOBJ hAttached = Detach();
    if (hAttached != nullptr)
        ::DeleteObject(hAttached);
    if (m_hCopy != nullptr && m_hCopy != hAttached)
        ::DeleteObject(m_hCopy);
    m_hCopy = nullptr;
}

void CBitmapEx::CopyFrom(const CBitmap* source)
{
    // Copying onto itself would delete the very bitmap it is about to read.
    if (source == this || (source != nullptr && source->m_hObject != nullptr && source->m_hObject == m_hObject))
        return;

    m_bValid = false;
    Empty();

    if (source == nullptr || source->m_hObject == nullptr)
        return;

    BITMAP bm = {};
    if (source->GetBitmap(&bm) != sizeof(BITMAP) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return;

    CScreenMemDC srcDC;
    CScreenMemDC dstDC;
    if (srcDC.Get() == nullptr || dstDC.Get() == nullptr)
        return;

    m_hCopy = ::CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, bm.bmBits);
    if (m_hCopy == nullptr)
        return;

    if (!srcDC.Select(static_cast<HBITMAP>(source->m_hObject)) || !dstDC.Select(m_hCopy))
        return;
    if (!::BitBlt(dstDC.Get(), 0, 0, bm.bmWidth, bm.bmHeight, srcDC.Get(), 0, 0, SRCCOPY))
        return;

    Attach(m_hCopy);
    m_bValid = true;
}
