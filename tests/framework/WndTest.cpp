#include "afxwin.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

const UINT WM_TEST_A = WM_APP + 1;
const UINT WM_TEST_B = WM_APP + 2;

// A base with two entries and a derived class that replaces one of them.
class CBaseWnd : public CWnd
{
public:
    std::vector<int> calls;
    int preSubclassCalls = 0;
    int postNcDestroyCalls = 0;

protected:
    void PreSubclassWindow() override { ++preSubclassCalls; }
    void PostNcDestroy() override { ++postNcDestroyCalls; }
    afx_msg LRESULT OnA(WPARAM, LPARAM) { calls.push_back(1); return 11; }
    afx_msg LRESULT OnB(WPARAM, LPARAM) { calls.push_back(2); return 12; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_TEST_A, &CBaseWnd::OnA)
    ON_MESSAGE(WM_TEST_B, &CBaseWnd::OnB)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
public:
    UINT_PTR lastTimer = 0;

protected:
    afx_msg LRESULT OnDerivedA(WPARAM wParam, LPARAM) { calls.push_back(3); return static_cast<LRESULT>(wParam) + 100; }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { lastTimer = nIDEvent; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_TEST_A, &CDerivedWnd::OnDerivedA)
    ON_WM_TIMER()
END_MESSAGE_MAP()

HWND MakeStatic(HWND hParent = nullptr, UINT id = 0, LPCWSTR text = L"text")
{
    DWORD style = hParent ? WS_CHILD | SS_NOTIFY : WS_POPUP;
    return ::CreateWindowExW(0, L"STATIC", text, style, 0, 0, 50, 20, hParent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

TEST(MessageMap, DerivedEntriesWinAndTheBaseMapIsSearchedNext)
{
    HWND hWnd = MakeStatic();
    ASSERT_NE(nullptr, hWnd);
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hWnd));
    EXPECT_EQ(1, wnd.preSubclassCalls);

    EXPECT_EQ(105, ::SendMessageW(hWnd, WM_TEST_A, 5, 0));   // derived entry
    EXPECT_EQ(12, ::SendMessageW(hWnd, WM_TEST_B, 0, 0));    // inherited entry
    ::SendMessageW(hWnd, WM_TIMER, 7, 0);
    EXPECT_EQ(7u, wnd.lastTimer);
    EXPECT_EQ((std::vector<int>{3, 2}), wnd.calls);

    // Unmapped messages reach the static's own procedure.
    ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
    CString text;
    wnd.GetWindowText(text);
    EXPECT_TRUE(text == L"changed");

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(1, wnd.postNcDestroyCalls);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(HandleMap, PermanentAndTemporaryObjects)
{
    HWND hWnd = MakeStatic();
    ASSERT_NE(nullptr, hWnd);
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(pTemp, CWnd::FromHandle(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_FALSE(pTemp->IsKindOf(RUNTIME_CLASS(CComboBox)));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));

    CComboBox combo;  // any class will do: the object takes the handle over
    ASSERT_TRUE(combo.SubclassWindow(hWnd));
    EXPECT_EQ(&combo, CWnd::FromHandle(hWnd));
    EXPECT_TRUE(CWnd::FromHandle(hWnd)->IsKindOf(RUNTIME_CLASS(CComboBox)));
    EXPECT_TRUE(CWnd::FromHandle(hWnd)->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(CWnd::FromHandle(hWnd)->IsKindOf(RUNTIME_CLASS(CDialog)));

    // A second object cannot take a bound window.
    CWnd other;
    EXPECT_FALSE(other.SubclassWindow(hWnd));

    // Unsubclassing gives the window its own procedure back.
    WNDPROC layerProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(&AfxWndProc, layerProc);
    EXPECT_EQ(hWnd, combo.UnsubclassWindow());
    EXPECT_NE(&AfxWndProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    ::DestroyWindow(hWnd);
    CWnd::DeleteTempMap();
}

TEST(HandleMap, ObjectDestroyedWithItsWindowStillAlive)
{
    HWND hWnd = MakeStatic();
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(hWnd));
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

// Reflection: a control's own notifications come back to the control's map.
class CClickStatic : public CStatic
{
public:
    int clicks = 0;
    UINT colorKind = 0xFFFF;
    HBRUSH brush = nullptr;

protected:
    afx_msg void OnClicked() { ++clicks; }
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        colorKind = nCtlColor;
        if (brush != nullptr)
            pDC->SetTextColor(RGB(1, 2, 3));
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, &CClickStatic::OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentWnd : public CWnd
{
public:
    int parentClicks = 0;
    int buttonClicks = 0;

protected:
    afx_msg void OnChildClicked() { ++parentClicks; }
    afx_msg void OnButton() { ++buttonClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_CONTROL(STN_CLICKED, 10, &CParentWnd::OnChildClicked)
    ON_CONTROL(STN_CLICKED, 11, &CParentWnd::OnChildClicked)
    ON_BN_CLICKED(12, &CParentWnd::OnButton)
END_MESSAGE_MAP()

TEST(MessageMap, ReflectedNotificationsReachTheControlFirst)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    EXPECT_EQ(&parent, CWnd::FromHandlePermanent(parent.m_hWnd));

    CClickStatic reflecting;
    ASSERT_TRUE(reflecting.Create(L"a", WS_CHILD | SS_NOTIFY, CRect(0, 0, 10, 10), &parent, 10));
    HWND hPlain = MakeStatic(parent.m_hWnd, 11);

    parent.SendMessage(WM_COMMAND, MAKEWPARAM(10, STN_CLICKED), reinterpret_cast<LPARAM>(reflecting.m_hWnd));
    EXPECT_EQ(1, reflecting.clicks);
    EXPECT_EQ(0, parent.parentClicks);

    parent.SendMessage(WM_COMMAND, MAKEWPARAM(11, STN_CLICKED), reinterpret_cast<LPARAM>(hPlain));
    EXPECT_EQ(1, parent.parentClicks);

    parent.SendMessage(WM_COMMAND, MAKEWPARAM(12, BN_CLICKED), 0);
    EXPECT_EQ(1, parent.buttonClicks);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(13, BN_CLICKED), 0);  // no entry: nothing happens
    EXPECT_EQ(1, parent.buttonClicks);

    // Colour messages: the control chooses its brush; null leaves it to the parent.
    HDC hdc = ::GetDC(reflecting.m_hWnd);
    reflecting.brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(reinterpret_cast<LRESULT>(reflecting.brush),
              parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                 reinterpret_cast<LPARAM>(reflecting.m_hWnd)));
    EXPECT_EQ(static_cast<UINT>(CTLCOLOR_STATIC), reflecting.colorKind);
    EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(hdc));
    reflecting.brush = nullptr;
    reflecting.colorKind = 0xFFFF;
    LRESULT fallback = parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc),
                                          reinterpret_cast<LPARAM>(reflecting.m_hWnd));
    EXPECT_EQ(static_cast<UINT>(CTLCOLOR_BTN), reflecting.colorKind);
    EXPECT_NE(0, fallback);  // the parent's default handling answered
    ::ReleaseDC(reflecting.m_hWnd, hdc);

    EXPECT_TRUE(parent.DestroyWindow());
    EXPECT_EQ(nullptr, reflecting.m_hWnd);  // children are detached with their windows
    EXPECT_EQ(nullptr, parent.m_hWnd);
}

// Default() inside a handler passes the message to the previous procedure.
class CTextFilterWnd : public CWnd
{
public:
    int seen = 0;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        ++seen;
        if (wcscmp(reinterpret_cast<LPCWSTR>(lParam), L"blocked") == 0)
            return FALSE;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTextFilterWnd, CWnd)
    ON_MESSAGE(WM_SETTEXT, &CTextFilterWnd::OnSetText)
END_MESSAGE_MAP()

TEST(MessageMap, DefaultCallsThePreviousProcedure)
{
    CTextFilterWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(MakeStatic()));
    wnd.SetWindowText(L"allowed");
    wnd.SetWindowText(L"blocked");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_TRUE(text == L"allowed");
    EXPECT_EQ(2, wnd.seen);
    wnd.DestroyWindow();
}

// The creation hook subclasses the next window the thread creates, which is
// how a window made by the platform (a message box) gets an object.
class CCreatedWnd : public CWnd
{
public:
    bool created = false;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        created = true;
        return CWnd::OnCreate(lpCreateStruct);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCreatedWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(CreationHook, NextWindowIsSubclassedFromItsFirstMessage)
{
    CCreatedWnd wnd;
    AfxHookWindowCreate(&wnd);
    HWND hWnd = MakeStatic();
    EXPECT_TRUE(AfxUnhookWindowCreate());
    EXPECT_EQ(hWnd, wnd.m_hWnd);
    EXPECT_TRUE(wnd.created);
    wnd.DestroyWindow();

    CCreatedWnd unused;
    AfxHookWindowCreate(&unused);
    EXPECT_FALSE(AfxUnhookWindowCreate());
    HWND hOther = MakeStatic();
    EXPECT_EQ(nullptr, unused.m_hWnd);
    ::DestroyWindow(hOther);
}

// A failure while the hook binds the new window ends that creation only: the
// exception never reaches the platform's frames (where a 32-bit program's
// unwinder would end the process).
class CThrowingWnd : public CWnd
{
protected:
    void PreSubclassWindow() override { throw std::runtime_error("cannot bind"); }
};

TEST(CreationHook, ExceptionWhileBindingFailsTheCreationOnly)
{
    CThrowingWnd wnd;
    AfxHookWindowCreate(&wnd);
    EXPECT_EQ(nullptr, MakeStatic());
    AfxUnhookWindowCreate();
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

}  // namespace
