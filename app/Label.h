// CLabel: a static control that paints its own text - any colour, a solid or
// horizontal gradient background or none (transparent), a font changed piece
// by piece, a 3D highlight copy, rotation, flashing, and link behaviour
// (open a document, start a mail message, or notify the parent).
#pragma once

#include "afxwin.h"

// Timer id of the flashing; WM_NOTIFY code sent to the parent on a click in
// notify mode.
constexpr UINT_PTR LABEL_FLASH_TIMER = 1;
constexpr UINT LABEL_NOTIFY_LINKCLICK = 0x8200;

// The one place a label starts a document or a mail message. Tests replace
// it so nothing is launched; the product uses ShellExecuteW.
typedef HINSTANCE (*LabelShellExecuteFn)(HWND hWnd, LPCWSTR pszVerb, LPCWSTR pszFile,
                                         LPCWSTR pszParameters, LPCWSTR pszDirectory, INT nShowCmd);
extern LabelShellExecuteFn g_pfnLabelShellExecute;

class CLabel : public CStatic
{
    DECLARE_DYNAMIC(CLabel)
public:
    enum LinkKind
    {
        LinkNone = 0,
        HyperLink = 1,
        MailLink = 2
    };
    enum FlashMode
    {
        None = 0,
        Text = 1,
        Background = 2
    };

    CLabel();
    ~CLabel() override;

    virtual CLabel& SetBkColor(COLORREF crBackground, COLORREF crGradient = 0, int nFillMode = 0);
    virtual CLabel& SetTextColor(COLORREF crText);
    virtual CLabel& SetText(const CString& strText);
    virtual CLabel& SetFont(const LOGFONTW& logFont);
    virtual CLabel& SetMailLink(bool bEnable, bool bNotifyParent);
    virtual CLabel& SetLinkTarget(const CString& strTarget);
    virtual CLabel& SetFontBold(bool bBold);
    virtual CLabel& SetFontName(const CString& strFont, BYTE byCharSet = ANSI_CHARSET);
    virtual CLabel& SetFontUnderline(bool bSet);
    virtual CLabel& SetFontItalic(bool bSet);
    virtual CLabel& SetFontSize(int nSize);
    virtual CLabel& SetSunken(bool bSet);
    virtual CLabel& SetBorder(bool bSet);
    virtual CLabel& SetTransparent(bool bSet);
    virtual CLabel& FlashText(bool bActivate);
    virtual CLabel& FlashBackground(bool bActivate);
    virtual CLabel& SetLink(bool bLink, bool bNotifyParent);
    virtual CLabel& SetLinkCursor(HCURSOR hCursor);
    virtual CLabel& SetFont3D(bool bSet, int nType = 0);
    virtual CLabel& SetRotationAngle(int nAngle, bool bRotation);
    virtual CLabel& SetText3DHiliteColor(COLORREF cr3DHiliteColor);
    virtual void SetAll(COLORREF crText, COLORREF crBase, bool bSunken, bool bBorder,
                        const CString& strFontName, int nFontHeight, bool bBold, bool bItalic,
                        bool bUnderline);
    virtual void SetWindowText(CString strText);
    virtual void GetText(CString& strText);
    virtual BOOL CreateFontCopy(CFont& font);

    // Draws the label into pDC over rcClient exactly as a WM_PAINT does (the
    // paint handler calls it with its paint DC).
    void DrawLabel(CDC* pDC, const RECT& rcClient);

protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnSysColorChange();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    CLabel& SetFontFlag(BYTE LOGFONTW::*pFlag, bool bSet);
    void RebuildFont();
    void Redraw();
    void ChangeStyle(DWORD dwRemove, DWORD dwAdd, bool bFrameChanged);
    void ChangeExStyle(DWORD dwRemove, DWORD dwAdd, bool bFrameChanged);
    void StartFlash(bool bActivate, int nMode);
    void DrawGradient(CDC* pDC, const RECT& rc, COLORREF crLeft, COLORREF crRight);
    static void CopyFaceName(LOGFONTW& lf, const CString& strFace);

public:
    // Members in the order the control keeps them.
    COLORREF m_crText;
    COLORREF m_crHighlight;
    HBRUSH m_hBaseBrush;
    HBRUSH m_hBackBrush;
    LOGFONTW m_logFont;
    CFont m_font;
    bool m_bFlashPhase;
    bool m_bTimerStarted;
    int m_nLinkKind;
    bool m_bTransparent;
    bool m_bText3D;
    bool m_bNotifyParent;
    bool m_bRotated;
    int m_nFlashMode;
    HCURSOR m_hLinkCursor;
    int m_nText3DKind;
    int m_nFillMode;
    COLORREF m_crGradient;
    COLORREF m_crBackground;
    CString m_strLinkTarget;
    CString m_strText;
    COLORREF m_crBase;
};
