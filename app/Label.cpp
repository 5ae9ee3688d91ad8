#include "Label.h"

#include <shellapi.h>

#include <cwchar>

namespace
{
HINSTANCE PlatformShellExecute(HWND hWnd, LPCWSTR pszVerb, LPCWSTR pszFile, LPCWSTR pszParameters,
                               LPCWSTR pszDirectory, INT nShowCmd)
{
    return ::ShellExecuteW(hWnd, pszVerb, pszFile, pszParameters, pszDirectory, nShowCmd);
}

// The painted text keeps every '&' doubled so that DrawText shows it once;
// this gives back the text as the caller wrote it.
CString UndoubleAmpersands(const CString& strText)
{
    CString strPlain(strText);
    strPlain.Replace(L"&&", L"&");
    return strPlain;
}

// RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW
constexpr UINT kRedrawFlags = 0x105;
}

LabelShellExecuteFn g_pfnLabelShellExecute = &PlatformShellExecute;

IMPLEMENT_DYNAMIC(CLabel, CStatic)

BEGIN_MESSAGE_MAP(CLabel, CStatic)
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CLabel::CLabel()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crHighlight(RGB(255, 255, 255)),
      m_hBaseBrush(::CreateSolidBrush(::GetSysColor(COLOR_3DFACE))),
      m_hBackBrush(nullptr),
      m_logFont(),
      m_bFlashPhase(false),
      m_bTimerStarted(false),
      m_nLinkKind(LinkNone),
      m_bTransparent(false),
      m_bText3D(false),
      m_bNotifyParent(false),
      m_bRotated(false),
      m_nFlashMode(None),
      m_hLinkCursor(nullptr),
      m_nText3DKind(0),
      m_nFillMode(0),
      m_crGradient(0),
      m_crBackground(0),
      m_crBase(::GetSysColor(COLOR_3DFACE))
{
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_logFont), &m_logFont);
    m_font.CreateFontIndirect(&m_logFont);
}

CLabel::~CLabel()
{
    // The flash timer ends with the window; only the owned GDI objects go here.
    m_font.DeleteObject();
    if (m_hBackBrush != nullptr)
        ::DeleteObject(m_hBackBrush);
    if (m_hBaseBrush != nullptr)
        ::DeleteObject(m_hBaseBrush);
}

// ---------------------------------------------------------------------------
// Helpers

void CLabel::RebuildFont()
{
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_logFont);
}

void CLabel::Redraw()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawFlags);
}

void CLabel::ChangeStyle(DWORD dwRemove, DWORD dwAdd, bool bFrameChanged)
{
    if (m_hWnd == nullptr)
        return;
    DWORD dwStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwNew == dwStyle)
        return;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(dwNew));
    if (bFrameChanged)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CLabel::ChangeExStyle(DWORD dwRemove, DWORD dwAdd, bool bFrameChanged)
{
    if (m_hWnd == nullptr)
        return;
    DWORD dwStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwNew == dwStyle)
        return;
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(dwNew));
    if (bFrameChanged)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CLabel::CopyFaceName(LOGFONTW& lf, const CString& strFace)
{
    // lfFaceName holds 31 characters and the terminator; longer names are cut.
    wcsncpy(lf.lfFaceName, strFace.GetString(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
}

// ---------------------------------------------------------------------------
// Settings

CLabel& CLabel::SetBkColor(COLORREF crBackground, COLORREF crGradient, int nFillMode)
{
    if (crBackground == m_crBase && m_hBaseBrush != nullptr)
        return *this;

    m_crGradient = crGradient;
    m_crBackground = crBackground;
    m_nFillMode = nFillMode;
    if (m_hBackBrush != nullptr)
    {
        ::DeleteObject(m_hBackBrush);
        m_hBackBrush = nullptr;
    }
    if (nFillMode == 0)
        m_hBackBrush = ::CreateSolidBrush(crBackground);
    Redraw();
    return *this;
}

CLabel& CLabel::SetTextColor(COLORREF crText)
{
    m_crText = crText;
    Redraw();
    return *this;
}

CLabel& CLabel::SetText(const CString& strText)
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
    {
        SetWindowText(strText);
        Redraw();
    }
    return *this;
}

CLabel& CLabel::SetFont(const LOGFONTW& logFont)
{
    m_logFont = logFont;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetMailLink(bool bEnable, bool bNotifyParent)
{
    m_nLinkKind = bEnable ? MailLink : LinkNone;
    m_bNotifyParent = bNotifyParent;
    if (m_nLinkKind != LinkNone)
        ChangeStyle(0, SS_NOTIFY, false);
    else
        ChangeStyle(SS_NOTIFY, 0, false);
    return *this;
}

CLabel& CLabel::SetLinkTarget(const CString& strTarget)
{
    m_strLinkTarget = strTarget;
    return *this;
}

CLabel& CLabel::SetFontBold(bool bBold)
{
    LONG lWeight = bBold ? FW_BOLD : FW_NORMAL;
    if (lWeight == m_logFont.lfWeight)
        return *this;
    m_logFont.lfWeight = lWeight;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetFontName(const CString& strFont, BYTE byCharSet)
{
    if (strFont == m_logFont.lfFaceName)
        return *this;
    m_logFont.lfCharSet = byCharSet;
    CopyFaceName(m_logFont, strFont);
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetFontUnderline(bool bSet)
{
    return SetFontFlag(&LOGFONTW::lfUnderline, bSet);
}

CLabel& CLabel::SetFontItalic(bool bSet)
{
    return SetFontFlag(&LOGFONTW::lfItalic, bSet);
}

// One of the font's on/off bytes: rebuilt and redrawn only when it changes.
CLabel& CLabel::SetFontFlag(BYTE LOGFONTW::*pFlag, bool bSet)
{
    const BYTE byValue = bSet ? 1 : 0;
    if (byValue == m_logFont.*pFlag)
        return *this;
    m_logFont.*pFlag = byValue;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetFontSize(int nSize)
{
    if (nSize == m_logFont.lfHeight)
        return *this;

    // Points to the screen's logical height, through a temporary point font.
    CFont fontTemp;
    if (fontTemp.CreatePointFont(nSize * 10, m_logFont.lfFaceName))
    {
        LOGFONTW lfTemp = {};
        fontTemp.GetLogFont(&lfTemp);
        m_logFont.lfHeight = lfTemp.lfHeight;
        m_logFont.lfWidth = lfTemp.lfWidth;
    }
    fontTemp.DeleteObject();
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetSunken(bool bSet)
{
    if (bSet)
        ChangeExStyle(0, WS_EX_STATICEDGE, true);
    else
        ChangeExStyle(WS_EX_STATICEDGE, 0, true);
    return *this;
}

CLabel& CLabel::SetBorder(bool bSet)
{
    if (bSet)
        ChangeStyle(0, WS_BORDER, true);
    else
        ChangeStyle(WS_BORDER, 0, true);
    return *this;
}

CLabel& CLabel::SetTransparent(bool bSet)
{
    m_bTransparent = bSet;
    ChangeExStyle(0, WS_EX_TRANSPARENT, false);
    Redraw();
    return *this;
}

void CLabel::StartFlash(bool bActivate, int nMode)
{
    bool bHasWindow = m_hWnd != nullptr && ::IsWindow(m_hWnd);
    if (m_bTimerStarted && bHasWindow)
        ::KillTimer(m_hWnd, LABEL_FLASH_TIMER);

    if (bActivate)
    {
        m_bFlashPhase = false;
        // Without a window SetTimer would make a thread timer that nothing
        // ever kills, and without ticks the text would stay in its hidden
        // phase: flashing starts only on a window.
        if (bHasWindow && ::SetTimer(m_hWnd, LABEL_FLASH_TIMER, 500, nullptr) != 0)
        {
            m_bTimerStarted = true;
            m_nFlashMode = nMode;
        }
    }
    else
    {
        m_nFlashMode = None;
        // Repaint now so that a label caught in its hidden phase shows its text again.
        Redraw();
    }
}

CLabel& CLabel::FlashText(bool bActivate)
{
    StartFlash(bActivate, Text);
    return *this;
}

CLabel& CLabel::FlashBackground(bool bActivate)
{
    StartFlash(bActivate, Background);
    return *this;
}

CLabel& CLabel::SetLink(bool bLink, bool bNotifyParent)
{
    m_nLinkKind = bLink ? HyperLink : LinkNone;
    m_bNotifyParent = bNotifyParent;
    if (m_nLinkKind != LinkNone)
        ChangeStyle(0, SS_NOTIFY, false);
    else
        ChangeStyle(SS_NOTIFY, 0, false);
    return *this;
}

CLabel& CLabel::SetLinkCursor(HCURSOR hCursor)
{
    m_hLinkCursor = hCursor;
    return *this;
}

CLabel& CLabel::SetFont3D(bool bSet, int nType)
{
    m_bText3D = bSet;
    m_nText3DKind = nType;
    Redraw();
    return *this;
}

CLabel& CLabel::SetRotationAngle(int nAngle, bool bRotation)
{
    m_logFont.lfEscapement = nAngle * 10;
    m_logFont.lfOrientation = nAngle * 10;
    m_bRotated = bRotation;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetText3DHiliteColor(COLORREF cr3DHiliteColor)
{
    m_crHighlight = cr3DHiliteColor;
    Redraw();
    return *this;
}

void CLabel::SetAll(COLORREF crText, COLORREF crBase, bool bSunken, bool bBorder,
                    const CString& strFontName, int nFontHeight, bool bBold, bool bItalic,
                    bool bUnderline)
{
    bool bChanged = false;
    bool bFontChanged = false;

    if (crText != m_crText)
    {
        m_crText = crText;
        bChanged = true;
    }
    if (crBase != m_crBase || m_hBaseBrush == nullptr)
    {
        m_crBase = crBase;
        if (m_hBaseBrush != nullptr)
            ::DeleteObject(m_hBaseBrush);
        m_hBaseBrush = ::CreateSolidBrush(crBase);
        bChanged = true;
    }

    if (bSunken)
        ChangeExStyle(0, WS_EX_STATICEDGE, true);
    else
        ChangeExStyle(WS_EX_STATICEDGE, 0, true);
    if (bBorder)
        ChangeStyle(0, WS_BORDER, true);
    else
        ChangeStyle(WS_BORDER, 0, true);

    if (!strFontName.IsEmpty() && strFontName != m_logFont.lfFaceName)
    {
        CopyFaceName(m_logFont, strFontName);
        bFontChanged = true;
    }
    if (m_logFont.lfHeight != -nFontHeight)
    {
        m_logFont.lfHeight = -nFontHeight;
        bFontChanged = true;
    }
    LONG lWeight = bBold ? FW_BOLD : FW_NORMAL;
    if (m_logFont.lfWeight != lWeight)
    {
        m_logFont.lfWeight = lWeight;
        bFontChanged = true;
    }
    BYTE byItalic = bItalic ? 1 : 0;
    if (m_logFont.lfItalic != byItalic)
    {
        m_logFont.lfItalic = byItalic;
        bFontChanged = true;
    }
    BYTE byUnderline = bUnderline ? 1 : 0;
    if (m_logFont.lfUnderline != byUnderline)
    {
        m_logFont.lfUnderline = byUnderline;
        bFontChanged = true;
    }

    if (bFontChanged)
    {
        RebuildFont();
        bChanged = true;
    }
    if (bChanged)
        Redraw();
}

void CLabel::SetWindowText(CString strText)
{
    strText.Replace(L"&", L"&&");
    if (strText == m_strText)
        return;
    m_strText = strText;
    Redraw();
}

void CLabel::GetText(CString& strText)
{
    strText = m_strText;
}

BOOL CLabel::CreateFontCopy(CFont& font)
{
    // The caller's previous font would otherwise be lost (Attach refuses a
    // second handle, and the old one would never be deleted).
    font.DeleteObject();
    HFONT hFont = ::CreateFontIndirectW(&m_logFont);
    BOOL bAttached = font.Attach(hFont);
    if (!bAttached && hFont != nullptr)
        ::DeleteObject(hFont);
    return bAttached;
}

// ---------------------------------------------------------------------------
// Window hooks and messages

void CLabel::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();

    HGDIOBJ hFont = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (hFont == nullptr)
        hFont = ::GetStockObject(SYSTEM_FONT);
    LOGFONTW lf = {};
    if (::GetObjectW(hFont, sizeof(lf), &lf) == sizeof(lf))
    {
        m_logFont = lf;
        RebuildFont();
    }
}

BOOL CLabel::PreCreateWindow(CREATESTRUCT& cs)
{
    return CWnd::PreCreateWindow(cs);
}

void CLabel::OnTimer(UINT_PTR nIDEvent)
{
    m_bFlashPhase = !m_bFlashPhase;
    Redraw();
    CStatic::OnTimer(nIDEvent);
}

BOOL CLabel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_hLinkCursor != nullptr)
    {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

void CLabel::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bNotifyParent)
    {
        NMHDR nm = {};
        nm.hwndFrom = m_hWnd;
        nm.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
        nm.code = LABEL_NOTIFY_LINKCLICK;
        ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
    }
    else
    {
        CString strText;
        GetText(strText);
        // Open what the user wrote, not the painted text with its '&' doubled.
        strText = UndoubleAmpersands(strText);
        if (m_nLinkKind == HyperLink)
        {
            const CString& strFile = m_strLinkTarget.IsEmpty() ? strText : m_strLinkTarget;
            g_pfnLabelShellExecute(nullptr, L"open", strFile, nullptr, nullptr, SW_SHOWNORMAL);
        }
        else if (m_nLinkKind == MailLink)
        {
            CString strMail = CString(L"mailto:") + strText;
            g_pfnLabelShellExecute(nullptr, nullptr, strMail, nullptr, nullptr, SW_SHOWNORMAL);
        }
    }
    CStatic::OnLButtonDown(nFlags, point);
}

void CLabel::OnSysColorChange()
{
    if (m_hBaseBrush != nullptr)
        ::DeleteObject(m_hBaseBrush);
    m_hBaseBrush = ::CreateSolidBrush(::GetSysColor(COLOR_3DFACE));
    Redraw();
}

BOOL CLabel::OnEraseBkgnd(CDC* pDC)
{
    return static_cast<BOOL>(Default());
}

void CLabel::OnPaint()
{
    CPaintDC dc(this);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    DrawLabel(&dc, rcClient);
}

// ---------------------------------------------------------------------------
// Painting

void CLabel::DrawGradient(CDC* pDC, const RECT& rc, COLORREF crLeft, COLORREF crRight)
{
    const int nWidth = rc.right - rc.left;
    const int nBands = nWidth < 100 ? nWidth : 100;
    if (nBands < 1)
        return;

    // Channels in 1/256 steps so that the bands move evenly from left to right.
    const int nStepR = ((GetRValue(crRight) - GetRValue(crLeft)) * 256) / nBands;
    const int nStepG = ((GetGValue(crRight) - GetGValue(crLeft)) * 256) / nBands;
    const int nStepB = ((GetBValue(crRight) - GetBValue(crLeft)) * 256) / nBands;
    int nR = GetRValue(crLeft) * 256;
    int nG = GetGValue(crLeft) * 256;
    int nB = GetBValue(crLeft) * 256;
    const int nBandWidth = nWidth / nBands;

    HGDIOBJ hOldPen = pDC->SelectStockObject(NULL_PEN);
    int nLeft = rc.left;
    for (int i = 0; i < nBands; ++i)
    {
        const int nRight = (i == nBands - 1) ? rc.right : nLeft + nBandWidth;
        CBrush brush(RGB((nR / 256) & 0xFF, (nG / 256) & 0xFF, (nB / 256) & 0xFF));
        HBRUSH hOldBrush = pDC->SelectObject(&brush);
        // Without a pen Rectangle leaves out its right column and bottom row:
        // one more on both so the bands cover the whole client area.
        pDC->Rectangle(nLeft, rc.top, nRight + 1, rc.bottom + 1);
        pDC->SelectObject(hOldBrush);
        nR += nStepR;
        nG += nStepG;
        nB += nStepB;
        nLeft = nRight;
    }
    pDC->SelectObject(hOldPen);
}

void CLabel::DrawLabel(CDC* pDC, const RECT& rcClient)
{
    if (pDC == nullptr || pDC->GetSafeHdc() == nullptr)
        return;

    CString strText;
    GetText(strText);
    const int nWidth = rcClient.right - rcClient.left;
    const int nHeight = rcClient.bottom - rcClient.top;

    // Double-buffered unless transparent: the fill and the text reach the
    // target in one copy. A transparent label draws straight onto it.
    CDC memDC;
    CBitmap bitmap;
    HBITMAP hOldBitmap = nullptr;
    CDC* pTarget = pDC;
    if (!m_bTransparent)
    {
        if (memDC.CreateCompatibleDC(pDC) && bitmap.CreateCompatibleBitmap(pDC, nWidth, nHeight))
        {
            hOldBitmap = memDC.SelectObject(&bitmap);
            pTarget = &memDC;
        }
    }

    const int nOldBkMode = pTarget->SetBkMode(TRANSPARENT);
    const COLORREF crOldText = pTarget->SetTextColor(m_crText);
    HFONT hOldFont = pTarget->SelectObject(&m_font);

    RECT rc = rcClient;
    if (!m_bTransparent)
    {
        if (m_nFillMode == 0)
            pTarget->FillRect(&rc, m_hBackBrush != nullptr ? m_hBackBrush : m_hBaseBrush);
        else
            DrawGradient(pTarget, rc, m_crBackground, m_crGradient);
    }

    // Flashing text: in phase 0 the text takes the background brush's colour.
    if (m_nFlashMode == Text && !m_bFlashPhase)
    {
        LOGBRUSH lb = {};
        COLORREF crHidden = RGB(0, 0, 0);
        if (m_hBackBrush != nullptr && ::GetObjectW(m_hBackBrush, sizeof(lb), &lb) == sizeof(lb))
            crHidden = lb.lbColor;
        pTarget->SetTextColor(crHidden);
    }

    const DWORD dwStyle = m_hWnd != nullptr ? static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)) : 0;
    UINT nFormat;
    switch (dwStyle & SS_TYPEMASK)
    {
    case SS_CENTER:
        nFormat = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        nFormat = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        nFormat = 0;
        break;
    default:
        nFormat = DT_WORDBREAK;
        break;
    }
    if (strText.Find(L'\t') != -1)
        nFormat |= DT_EXPANDTABS;
    if (dwStyle & SS_CENTERIMAGE)
        nFormat = (strText.Find(L"\r\n") != -1) ? DT_CENTER : (DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    if (m_bRotated)
    {
        // TextOut shows '&' as it is, so draw the text as the caller wrote it.
        CString strPlain = UndoubleAmpersands(strText);
        const UINT nOldAlign = pTarget->SetTextAlign(TA_BASELINE);
        const POINT ptOldOrg = pTarget->SetViewportOrg(nWidth / 2, nHeight / 2);
        pTarget->TextOut(0, 0, strPlain, strPlain.GetLength());
        pTarget->SetViewportOrg(ptOldOrg);
        pTarget->SetTextAlign(nOldAlign);
    }
    else
    {
        pTarget->DrawText(strText, strText.GetLength(), &rc, nFormat);
        if (m_bText3D)
        {
            pTarget->SetTextColor(m_crHighlight);
            if (m_nText3DKind == 0)
                ::OffsetRect(&rc, -1, -1);
            else
                ::OffsetRect(&rc, 1, 1);
            pTarget->DrawText(strText, strText.GetLength(), &rc, nFormat);
        }
    }

    pTarget->SetBkMode(nOldBkMode);
    if (hOldFont != nullptr)
        pTarget->SelectObject(hOldFont);
    pTarget->SetTextColor(crOldText);

    if (pTarget == &memDC)
    {
        pDC->BitBlt(0, 0, nWidth, nHeight, &memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(hOldBitmap);
    }
}
