// CCmdTarget and message maps.
//
// A class with a message map declares it in its body and defines it in its
// .cpp; the entries are searched in order, then the base class's map, and so
// on up to CCmdTarget. The first matching entry handles the message; a
// message that no entry handles goes to the window's previous procedure
// (CWnd::DefWindowProc).
//
//   class CMyDlg : public CDialog {
//       ...
//   protected:
//       afx_msg void OnPaint();
//       afx_msg LRESULT OnDone(WPARAM wParam, LPARAM lParam);
//       afx_msg void OnCancelButton();
//       DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_MESSAGE(WM_APP + 1, &CMyDlg::OnDone)
//       ON_BN_CLICKED(IDCANCEL, &CMyDlg::OnCancelButton)
//   END_MESSAGE_MAP()
//
// Handler signatures (the handler names are fixed, as listed):
//   ON_WM_PAINT()            void OnPaint()
//   ON_WM_TIMER()            void OnTimer(UINT_PTR nIDEvent)
//   ON_WM_SETCURSOR()        BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
//   ON_WM_LBUTTONDOWN()      void OnLButtonDown(UINT nFlags, CPoint point)
//   ON_WM_SYSCOLORCHANGE()   void OnSysColorChange()
//   ON_WM_ERASEBKGND()       BOOL OnEraseBkgnd(CDC* pDC)
//   ON_WM_SIZE()             void OnSize(UINT nType, int cx, int cy)
//   ON_WM_CREATE()           int OnCreate(LPCREATESTRUCT lpCreateStruct)   (-1 fails the creation)
//   ON_WM_DESTROY()          void OnDestroy()
//   ON_WM_SETFOCUS()         void OnSetFocus(CWnd* pOldWnd)
//   ON_WM_KILLFOCUS()        void OnKillFocus(CWnd* pNewWnd)
//   ON_WM_KEYDOWN()          void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
//   ON_WM_UPDATEUISTATE()    void OnUpdateUIState(UINT nAction, UINT nUIElement)
//   ON_WM_QUERYDRAGICON()    HCURSOR OnQueryDragIcon()
// Handlers with a name of your choice:
//   ON_MESSAGE(msg, fn)            LRESULT fn(WPARAM, LPARAM)  (any message, WM_INITDIALOG too)
//   ON_COMMAND(id, fn)             void fn()   WM_COMMAND with notification 0 from id
//   ON_BN_CLICKED(id, fn)          void fn()   the same for a button
//   ON_CONTROL(code, id, fn)       void fn()   WM_COMMAND with notification code from id
//   ON_NOTIFY(code, id, fn)        void fn(NMHDR* pNMHDR, LRESULT* pResult)
// Reflected notifications: a parent passes WM_COMMAND, WM_NOTIFY and
// WM_CTLCOLOR* of a child control that has a window object back to that
// control first; these entries of the control's own map catch them:
//   ON_CONTROL_REFLECT(code, fn)   void fn()   e.g. ON_CONTROL_REFLECT(STN_CLICKED, &CMyStatic::OnClicked)
//   ON_NOTIFY_REFLECT(code, fn)    void fn(NMHDR* pNMHDR, LRESULT* pResult)
//   ON_WM_CTLCOLOR_REFLECT()       HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)  (null: not handled)
// Handlers that want the platform's default handling call Default() (or the
// base class's handler, e.g. CWnd::OnTimer(nIDEvent), which does the same).
// Entries using CDC need Gdi.h (the umbrella header afxwin.h includes it).
// DECLARE_MESSAGE_MAP() leaves the class body in "protected:" access.
#pragma once

#include "AfxObject.h"

class CCmdTarget;

#define afx_msg

// Reflected messages arrive in the control's own map as WM_REFLECT_BASE + message.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019  // all WM_CTLCOLOR* kinds are reflected as this one
#endif

// One entry: handles nMessage with notification code nCode from ids nID..nLastID
// (both 0 for ordinary messages). The thunk calls the handler and stores its
// result; it returns false when the message counts as not handled.
typedef bool (*AFX_PMSG_THUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    AFX_PMSG_THUNK pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();   // null for CCmdTarget's map
    const AFX_MSGMAP_ENTRY* lpEntries;      // ends with an entry whose pfn is null
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // The first entry for (nMessage, nCode, nID) in this object's map chain, or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
    // Calls the first matching entry; FALSE when none handled the message.
    BOOL DispatchMessageEntry(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                              LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static_cast<void>(sizeof(ThisClass)); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr } }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

// An entry whose body runs with pThis (the object as ThisClass), wParam,
// lParam and pResult in scope; the body returns true when it handled the message.
#define AFX_MSG_ENTRY(msg, code, id, lastId, ...) \
    { static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), \
      [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> bool { \
          ThisClass* pThis = static_cast<ThisClass*>(pTarget); \
          static_cast<void>(pThis); static_cast<void>(wParam); static_cast<void>(lParam); \
          static_cast<void>(pResult); \
          __VA_ARGS__ } },

#define ON_WM_PAINT() \
    AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, pThis->OnPaint(); *pResult = 0; return true;)
#define ON_WM_TIMER() \
    AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, pThis->OnTimer(static_cast<UINT_PTR>(wParam)); *pResult = 0; return true;)
#define ON_WM_SETCURSOR() \
    AFX_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0, \
        *pResult = pThis->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                      LOWORD(lParam), HIWORD(lParam)); return true;)
#define ON_WM_LBUTTONDOWN() \
    AFX_MSG_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, \
        pThis->OnLButtonDown(static_cast<UINT>(wParam), \
            CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))); \
        *pResult = 0; return true;)
#define ON_WM_SYSCOLORCHANGE() \
    AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, 0, 0, 0, pThis->OnSysColorChange(); *pResult = 0; return true;)
#define ON_WM_ERASEBKGND() \
    AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, \
        CDC dc; dc.Attach(reinterpret_cast<HDC>(wParam)); \
        *pResult = pThis->OnEraseBkgnd(&dc); dc.Detach(); return true;)
#define ON_WM_SIZE() \
    AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0, \
        pThis->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                      static_cast<short>(HIWORD(lParam))); *pResult = 0; return true;)
#define ON_WM_CREATE() \
    AFX_MSG_ENTRY(WM_CREATE, 0, 0, 0, \
        *pResult = pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)); return true;)
#define ON_WM_DESTROY() \
    AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, pThis->OnDestroy(); *pResult = 0; return true;)
#define ON_WM_SETFOCUS() \
    AFX_MSG_ENTRY(WM_SETFOCUS, 0, 0, 0, \
        pThis->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); *pResult = 0; return true;)
#define ON_WM_KILLFOCUS() \
    AFX_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0, \
        pThis->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); *pResult = 0; return true;)
#define ON_WM_KEYDOWN() \
    AFX_MSG_ENTRY(WM_KEYDOWN, 0, 0, 0, \
        pThis->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); *pResult = 0; return true;)
#define ON_WM_UPDATEUISTATE() \
    AFX_MSG_ENTRY(WM_UPDATEUISTATE, 0, 0, 0, \
        pThis->OnUpdateUIState(LOWORD(wParam), HIWORD(wParam)); *pResult = 0; return true;)
#define ON_WM_QUERYDRAGICON() \
    AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, \
        *pResult = reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon()); return true;)

#define ON_MESSAGE(message, memberFxn) \
    AFX_MSG_ENTRY(message, 0, 0, 0, *pResult = (pThis->*(memberFxn))(wParam, lParam); return true;)
#define ON_CONTROL(code, id, memberFxn) \
    AFX_MSG_ENTRY(WM_COMMAND, code, id, id, (pThis->*(memberFxn))(); *pResult = 0; return true;)
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn) \
    AFX_MSG_ENTRY(WM_NOTIFY, code, id, id, \
        *pResult = 0; (pThis->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam), pResult); return true;)

#define ON_CONTROL_REFLECT(code, memberFxn) \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, (pThis->*(memberFxn))(); *pResult = 0; return true;)
#define ON_NOTIFY_REFLECT(code, memberFxn) \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, \
        *pResult = 0; (pThis->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam), pResult); return true;)
// wParam: the control's DC; lParam: CTLCOLOR_* kind (set by the reflecting parent).
#define ON_WM_CTLCOLOR_REFLECT() \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, \
        CDC dc; dc.Attach(reinterpret_cast<HDC>(wParam)); \
        HBRUSH hBrush = pThis->CtlColor(&dc, static_cast<UINT>(lParam)); dc.Detach(); \
        if (hBrush == nullptr) return false; \
        *pResult = reinterpret_cast<LRESULT>(hBrush); return true;)
