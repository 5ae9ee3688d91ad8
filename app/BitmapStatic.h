// CBitmapStatic: a static control showing its own deep copy of a bitmap,
// stretched with halftoning to its client area (or centred at its own size),
// dark grey when it has none.
#pragma once

#include "afxwin.h"

#include "BitmapEx.h"

class CBitmapStatic : public CStatic
{
    DECLARE_DYNAMIC(CBitmapStatic)
public:
    CBitmapStatic() = default;
    ~CBitmapStatic() override;

    // Replaces the shown bitmap with a copy of pSource (an empty copy when
    // pSource holds none) and repaints; the caller keeps its own bitmap.
    void SetBitmap(const CBitmap* pSource);
    // Shows the built-in bitmap 129 of the current resource module (nothing
    // when it cannot be loaded). Takes no lock and does not repaint.
    void LoadDefaultBitmap();

    // Draws the control into pDC over rcClient as a WM_PAINT does.
    void DrawBitmap(CDC* pDC, const RECT& rcClient);

    CBitmapEx* m_pBitmap = nullptr;
    CCriticalSection m_lock;
    bool m_bCenter = false;

protected:
    void PreSubclassWindow() override;

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
