// COzuXHTMLStatic: a static control that draws its window text as a small
// subset of HTML - <b>, <i>, <u>, <strike>, <font color= bgcolor= face= size=>,
// <a href=...>, <br> - with word wrap, and opens its links on a click or the
// space key. Attach it to an existing static (SubclassWindow, SubclassDlgItem)
// and give it marked-up text with SetWindowText, which also turns
// "<a weblinkid=N>" tags into links through GetWebLinkUrl.
#pragma once

#include "afxwin.h"

#include <vector>

// Timer of the hover check that switches the cursor over links.
constexpr UINT_PTR XHTML_HOVER_TIMER = 1;
constexpr UINT XHTML_HOVER_PERIOD_MS = 80;

// Where one line of a link was drawn, in client coordinates.
struct XhtmlLinkRect
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// TRUE when text is empty or holds only blanks and tabs.
BOOL IsBlankText(const wchar_t* text);

class COzuXHTMLStatic : public CStatic
{
    DECLARE_DYNAMIC(COzuXHTMLStatic)
public:
    COzuXHTMLStatic();
    ~COzuXHTMLStatic() override;

    // Store a colour and return the previous one; neither repaints.
    virtual COLORREF SetBkColor(COLORREF colour);
    virtual COLORREF SetTextColor(COLORREF colour);
    // Opens a link's URL (GotoURL); the launcher's result.
    virtual HINSTANCE OpenLink(const wchar_t* url, int nShowCmd);
    // The URL a link number stands for; empty here, a derived class maps them.
    virtual CString GetWebLinkUrl(int id);

    // Replaces link-number tags, sets the result as the window text and
    // repaints the whole control. Hides CWnd::SetWindowText (not virtual).
    void SetWindowText(const wchar_t* text);

    // Draws one run of uniformly styled text with word wrap from area->top,
    // starting x units right of area->left; moves area->top down and returns
    // the right end of the last line, also counted from area->left, where the
    // next run continues (-1 without a DC or area).
    int DrawTextRun(HDC dc, const wchar_t* run, RECT* area, int x, CString url);

    // Draws marked-up text into dc over rcClient exactly as a WM_PAINT does
    // (the paint handler calls it with the window's text and font; a null
    // font means the stock SYSTEM_FONT). Link rectangles are recorded anew.
    // With pMeasuredBottom the text is laid out without the hover timer
    // starting, and *pMeasuredBottom receives the lowest line bottom reached.
    void DrawMarkup(HDC dc, const RECT& rcClient, const wchar_t* text, HFONT hWindowFont,
                    int* pMeasuredBottom = nullptr);

    // Height in pixels that the text takes when painted across the width of
    // rcClient: the paint's own layout run without a bottom limit on a device
    // context that shows nothing. The markup state and the link lists stay as
    // they were, so the next paint is the same as without it.
    int MeasureMarkup(const RECT& rcClient, const wchar_t* text, HFONT hWindowFont);

protected:
    void PreSubclassWindow() override;

    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnDestroy();
    afx_msg void OnClicked();
    afx_msg void OnUpdateUIState(UINT nAction, UINT nUIElement);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

    // Index of the first link rectangle holding a screen point, or -1.
    int HitTestLinks(POINT ptScreen) const;

    // The control's state, in the order it keeps it.
    COLORREF m_crBackground;
    COLORREF m_crText;
    int m_nUnderline = 0;
    int m_nBold = 0;
    int m_nItalic = 0;
    int m_nStrikeOut = 0;
    CFont m_font;
    BOOL m_bLink = FALSE;
    std::vector<XhtmlLinkRect> m_arrLinkRects;
    std::vector<CString> m_arrLinkUrls;
    BOOL m_bHoverTimerRunning = FALSE;
    BOOL m_bOverLink = FALSE;
    HCURSOR m_hHandCursor = nullptr;
    HCURSOR m_hSavedCursor = nullptr;

private:
    void LoadHandCursor();
};
