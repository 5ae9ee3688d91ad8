#include "Picture.h"

#include "Gdi.h"

#include <olectl.h>

#include <cstring>

namespace
{
// Releases a COM interface at the end of a scope.
template <class T>
struct ComRelease
{
    T* p = nullptr;
    ~ComRelease()
    {
        if (p != nullptr)
            p->Release();
    }
};

// Frees a global memory block at the end of a scope unless ownership moved on.
struct GlobalFreeGuard
{
    HGLOBAL h = nullptr;
    ~GlobalFreeGuard()
    {
        if (h != nullptr)
            ::GlobalFree(h);
    }
};
}

CPicture::~CPicture()
{
    Release();
}

void CPicture::Release()
{
    if (m_pPicture != nullptr)
    {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
}

BOOL CPicture::LoadFromMemory(const void* data, DWORD size)
{
    // A second load must not leak the first picture.
    Release();
    if (data == nullptr || size == 0)
        return FALSE;

    GlobalFreeGuard block;
    block.h = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (block.h == nullptr)
        return FALSE;
    void* pDest = ::GlobalLock(block.h);
    if (pDest == nullptr)
        return FALSE;
    std::memcpy(pDest, data, size);
    ::GlobalUnlock(block.h);

    // The stream owns the block from here on and frees it on its release.
    ComRelease<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.h, TRUE, &stream.p)) || stream.p == nullptr)
        return FALSE;
    block.h = nullptr;

    IPicture* pPicture = nullptr;
    HRESULT hr = ::OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(&pPicture));
    if (hr != S_OK)
    {
        // Only a clean load counts; whatever the loader may have handed back
        // otherwise is not kept.
        if (pPicture != nullptr)
            pPicture->Release();
        return FALSE;
    }
    if (pPicture == nullptr)
        return FALSE;
    m_pPicture = pPicture;
    return TRUE;
}

BOOL CPicture::Render(CDC* pDC, int x, int y, int cx, int cy)
{
    if (pDC == nullptr || pDC->GetSafeHdc() == nullptr || m_pPicture == nullptr)
        return FALSE;

    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    if (FAILED(m_pPicture->get_Width(&hmWidth)) || FAILED(m_pPicture->get_Height(&hmHeight)))
        return FALSE;
    if (hmWidth <= 0 || hmHeight <= 0)
        return FALSE;

    // The picture's origin is its lower left corner in HIMETRIC: start at the
    // top (height) and go down (-height) so that it lands upright.
    RECT rcBounds = {x, y, 0, 0};
    HRESULT hr = m_pPicture->Render(pDC->GetSafeHdc(), x, y, cx, cy, 0, hmHeight, hmWidth, -hmHeight,
                                    &rcBounds);
    return SUCCEEDED(hr) ? TRUE : FALSE;
}
