// CWnd: a window object bound to a window handle.
//
// Handle map: a window that is created through a window object, subclassed
// (SubclassWindow, SubclassDlgItem, DDX_Control) or attached has a permanent
// object (FromHandlePermanent finds it). FromHandle of any other handle makes
// a temporary plain CWnd, owned by the layer and deleted when the thread's
// message loop is idle: never keep such a pointer past the current message.
//
// Subclassing: the window's procedure is replaced by the layer's; messages go
// through WindowProc -> OnWndMsg (message map) -> DefWindowProc, which calls
// the previous procedure. Default() passes the current message on to it.
// At WM_NCDESTROY the previous procedure runs, the object is detached from the
// window and PostNcDestroy is called (a class may delete itself there).
// Destroying the application's main window ends its message loop.
#pragma once

#include "AfxString.h"
#include "AfxTypes.h"
#include "CmdTarget.h"

class CDC;
class CFont;
class CMenu;

class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    // Destroys a window still attached as a permanent object.
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // --- Handle map
    static CWnd* FromHandle(HWND hWnd);              // null for null
    static CWnd* FromHandlePermanent(HWND hWnd);     // null when there is no permanent object
    static void DeleteTempMap();                     // this thread's temporary objects
    BOOL Attach(HWND hWndNew);                       // FALSE when either side is already bound
    HWND Detach();

    // --- Subclassing and creation
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow() {}
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // Child window of a registered class (null class: a plain window class of the layer).
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // --- Message handling
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to PreTranslateMessage of the permanent objects from
    // pMsg->hwnd up through its parents, stopping after hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    LRESULT Default();                               // the current message to the previous procedure
    WNDPROC m_pfnSuper = nullptr;                    // previous window procedure (null: DefWindowProcW)

    // --- Window state and text
    int GetWindowText(LPWSTR lpszString, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetWindowText(LPCWSTR lpszString);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ShowWindow(int nCmdShow);
    void UpdateWindow();
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsIconic() const;
    BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    CWnd* SetFocus();
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);

    // --- Relatives
    CWnd* GetParent() const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    CMenu* GetMenu() const;
    BOOL IsChild(const CWnd* pWnd) const;
    void GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemText(int nID, LPCWSTR lpszString);
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // --- Geometry and painting
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hRgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    // --- Messages and timers
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

protected:
    // Command and notification routing: a control's own notifications are
    // first offered to the control (reflection), then to this map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called on a child control for a notification its parent received.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PostNcDestroy() {}

    // Default handlers for the message-map entries: each passes the message on (Default()).
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnUpdateUIState(UINT nAction, UINT nUIElement);

private:
    void OnNcDestroy();
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct CWndAccess;
};

// The layer's window procedure (every subclassed or created window runs it).
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Subclasses the next window that this thread creates (skipping the
// platform's input-method windows) with pWnd; with a class name, only the
// next window of that class (e.g. L"#32770", the system's dialogs).
// AfxUnhookWindowCreate ends the hook and returns TRUE when a window was
// subclassed.
void AfxHookWindowCreate(CWnd* pWnd, LPCWSTR lpszClassOnly = nullptr);
BOOL AfxUnhookWindowCreate();

// The message being handled on this thread (for Default()).
const MSG* AfxGetCurrentMessage();
