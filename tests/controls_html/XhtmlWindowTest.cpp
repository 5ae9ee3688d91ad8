// The control on a real window: link numbers, the hover timer with its hand
// cursor, clicks reflected from the parent and the space key. Wine's help
// viewer has no hand cursor, so the probe brings its own.
#include "OzuXHTMLStatic.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct CWindowProbe : COzuXHTMLStatic
{
    CWindowProbe()
    {
        if (m_hHandCursor != nullptr)
            ::DestroyCursor(m_hHandCursor);
        m_hHandCursor = static_cast<HCURSOR>(::CopyIcon(::LoadCursorW(nullptr, IDC_HAND)));
    }
    HINSTANCE OpenLink(const wchar_t* url, int) override
    {
        opened.push_back(url);
        return nullptr;
    }
    CString GetWebLinkUrl(int id) override { return id == 7 ? CString(L"\"http://h/seven\"") : CString(); }
    // The centre of link rectangle i in screen coordinates.
    POINT LinkCentre(size_t i) const
    {
        const XhtmlLinkRect& rc = m_arrLinkRects.at(i);
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ::ClientToScreen(m_hWnd, &pt);
        return pt;
    }
    // Shows one link, sets the arrow and rests the mouse on the link; gives the arrow.
    HCURSOR RestMouseOnOneLink()
    {
        SetWindowText(L"<a href=\"one\">one</a>");
        PumpMessages();
        EXPECT_EQ(m_arrLinkRects.size(), 1u);
        HCURSOR hArrow = ::LoadCursorW(nullptr, IDC_ARROW);
        ::SetCursor(hArrow);
        ::SetCursorPos(LinkCentre(0).x, LinkCentre(0).y);
        return hArrow;
    }
    using COzuXHTMLStatic::m_arrLinkRects;
    using COzuXHTMLStatic::m_bHoverTimerRunning;
    using COzuXHTMLStatic::m_font;
    std::vector<std::wstring> opened;
};

// A parent with a window object, so that it reflects STN_CLICKED to the control.
struct CParentWindow : CWnd
{
    explicit CParentWindow(DWORD exStyle = 0)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorXhtmlTestParent";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        ::RegisterClassW(&wc);
        CreateEx(WS_EX_TOPMOST | exStyle, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr);
        hStatic = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 380, 100, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(1001)), wc.hInstance, nullptr);
    }
    ~CParentWindow() override { DestroyWindow(); }
    HWND hStatic = nullptr;
};
}

TEST(XhtmlWindowTest, HoverShowsTheHandAndClicksAndSpaceOpenTheirLinks)
{
    CParentWindow parent;
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    EXPECT_TRUE(::GetWindowLongW(parent.hStatic, GWL_STYLE) & SS_NOTIFY);
    LOGFONTW lfSystem = {}, lfControl = {};
    ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof(lfSystem), &lfSystem);
    control.m_font.GetLogFont(&lfControl);
    EXPECT_STREQ(lfControl.lfFaceName, lfSystem.lfFaceName) << "a window without a font gets the system font";

    control.SetWindowText(L"Go <a href=\"one\">one</a> or <a weblinkid=7>seven</a> <a weblinkid=8>eight</a>");
    wchar_t text[200] = {};
    ::GetWindowTextW(parent.hStatic, text, 200);
    EXPECT_STREQ(text, L"Go <a href=\"one\">one</a> or <a href=\"http://h/seven\">seven</a> <a weblinkid=8>eight</a>");
    PumpMessages();
    ASSERT_EQ(control.m_arrLinkRects.size(), 2u) << "painted on setting the text";
    EXPECT_TRUE(control.m_bHoverTimerRunning);

    // Hover: the hand over a link, the previous cursor back off it.
    HCURSOR hArrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(hArrow);
    ::SetCursorPos(control.LinkCentre(1).x, control.LinkCentre(1).y);
    ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    EXPECT_NE(::GetCursor(), hArrow);
    EXPECT_FALSE(::SendMessageW(parent.hStatic, WM_SETCURSOR, reinterpret_cast<WPARAM>(parent.hStatic),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    ::SetCursorPos(395, 195);
    ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    EXPECT_EQ(::GetCursor(), hArrow);

    // A click goes to the link under the mouse; space opens the first one.
    ::SetCursorPos(control.LinkCentre(1).x, control.LinkCentre(1).y);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(1001, STN_CLICKED), reinterpret_cast<LPARAM>(parent.hStatic));
    ::SetCursorPos(395, 195);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(1001, STN_CLICKED), reinterpret_cast<LPARAM>(parent.hStatic));
    ::SendMessageW(parent.hStatic, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_EQ(control.opened.size(), 2u);
    EXPECT_EQ(control.opened[0], L"\"http://h/seven\"");
    EXPECT_EQ(control.opened[1], L"\"one\"");

    ::DestroyWindow(parent.hStatic);
    EXPECT_FALSE(control.m_bHoverTimerRunning);
}

TEST(XhtmlWindowTest, LeavingALinkHoveredForSeveralTicksGivesTheArrowBack)
{
    CParentWindow parent;
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    HCURSOR hArrow = control.RestMouseOnOneLink();
    ASSERT_FALSE(::testing::Test::HasFailure());
    // From the second tick on the cursor being replaced is the hand itself.
    for (int tick = 0; tick < 3; ++tick)
        ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    ::SetCursorPos(395, 195);
    ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    EXPECT_EQ(::GetCursor(), hArrow);
}

TEST(XhtmlWindowTest, PlainTextStartsNoTimerAndShowsNoStaleText)
{
    CParentWindow parent;
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    control.SetWindowText(L"A much longer text that was there before <u>this</u> one");
    control.SetWindowText(L"<b>No</b> links");
    PumpMessages();
    EXPECT_FALSE(control.m_bHoverTimerRunning);
    ::SendMessageW(parent.hStatic, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(control.opened.empty());

    // The screen shows exactly the drawn text on the static's background:
    // neither the raw markup nor the old text.
    CDibCanvas shown(380, 100), expected(380, 100);
    ::UpdateWindow(parent.hStatic);
    HDC hDC = ::GetDC(parent.hStatic);
    ::BitBlt(shown.dc.m_hDC, 0, 0, 380, 100, hDC, 0, 0, SRCCOPY);
    ::ReleaseDC(parent.hStatic, hDC);
    const RECT rc = expected.Rect();
    ::FillRect(expected.dc.m_hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    control.DrawMarkup(expected.dc.m_hDC, rc, L"<b>No</b> links", nullptr);
    int nDiffering = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 380; ++x)
            nDiffering += shown.Pixel(x, y) != expected.Pixel(x, y);
    EXPECT_EQ(nDiffering, 0);
    EXPECT_GT(expected.Count(::GetSysColor(COLOR_WINDOWTEXT)), 20);
}

TEST(XhtmlWindowTest, OverlappingLinkLinesOpenTheFirstDrawn)
{
    CParentWindow parent;
    LOGFONTW lf = {};
    lf.lfHeight = -11;
    wcscpy(lf.lfFaceName, L"Tahoma");
    HFONT hFont = ::CreateFontIndirectW(&lf);
    ::SendMessageW(parent.hStatic, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    // The small text after a large link wraps one small line down, still
    // inside the large line's height.
    control.SetWindowText(L"<a href=big><font size=\"24\">BIG</font></a><a href=small> small words after the large "
                          L"one, enough of them to wrap onto the next line</a>");
    PumpMessages();
    ASSERT_GE(control.m_arrLinkRects.size(), 3u);
    const XhtmlLinkRect big = control.m_arrLinkRects[0], wrapped = control.m_arrLinkRects[2];
    ASSERT_LT(wrapped.top, big.bottom);
    POINT pt = {big.left + 2, wrapped.top + 1};
    ::ClientToScreen(parent.hStatic, &pt);
    ::SetCursorPos(pt.x, pt.y);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(1001, STN_CLICKED), reinterpret_cast<LPARAM>(parent.hStatic));
    EXPECT_EQ(control.opened, std::vector<std::wstring>{L"big"});
    ::DestroyWindow(parent.hStatic);
    ::DeleteObject(hFont);
}

// A right-to-left parent mirrors the control; its link still takes the hand and the click.
TEST(XhtmlWindowTest, LinksOfAMirroredControlShowTheHandAndOpen)
{
    CParentWindow parent(WS_EX_LAYOUTRTL);
    ASSERT_TRUE(::GetWindowLongW(parent.hStatic, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    HCURSOR hArrow = control.RestMouseOnOneLink();
    ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    EXPECT_NE(::GetCursor(), hArrow);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(1001, STN_CLICKED), reinterpret_cast<LPARAM>(parent.hStatic));
    EXPECT_EQ(control.opened, std::vector<std::wstring>{L"\"one\""});
}

namespace
{
// The static's own procedure under the control: counts the keyboard-cue
// messages that reach default processing.
WNDPROC g_pfnStaticProc = nullptr;
int g_nCueMessages = 0;
LRESULT CALLBACK CountingStaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_UPDATEUISTATE)
        ++g_nCueMessages;
    return ::CallWindowProcW(g_pfnStaticProc, hWnd, message, wParam, lParam);
}
}

TEST(XhtmlWindowTest, ClearingKeyboardCuesIsSwallowed)
{
    CParentWindow parent;
    g_pfnStaticProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(parent.hStatic, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingStaticProc)));
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    g_nCueMessages = 0;
    ::SendMessageW(parent.hStatic, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL | UISF_HIDEFOCUS), 0);
    EXPECT_EQ(g_nCueMessages, 0) << "cues are not to be switched on";
    ::SendMessageW(parent.hStatic, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0);
    EXPECT_EQ(g_nCueMessages, 1);
}

// A new text without links while the mouse rests on a link: the next tick
// gives back the cursor the link replaced, and the control stops holding the hand.
TEST(XhtmlWindowTest, TextWithoutLinksUnderTheMouseGivesTheCursorBack)
{
    CParentWindow parent;
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(parent.hStatic));
    HCURSOR hArrow = control.RestMouseOnOneLink();
    ASSERT_FALSE(::testing::Test::HasFailure());
    ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    ASSERT_NE(::GetCursor(), hArrow);

    control.SetWindowText(L"one");
    ASSERT_TRUE(control.m_arrLinkRects.empty());
    ::SendMessageW(parent.hStatic, WM_TIMER, XHTML_HOVER_TIMER, 0);
    EXPECT_EQ(::GetCursor(), hArrow);
    // The static's own cursor handling again: it sets its class's arrow.
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    ::SendMessageW(parent.hStatic, WM_SETCURSOR, reinterpret_cast<WPARAM>(parent.hStatic),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), hArrow);
}

namespace
{
const COLORREF kParentGround = RGB(0, 128, 64);

// A parent that gives its statics a background brush of its own colour.
LRESULT CALLBACK OwnGroundParentProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static HBRUSH hBrush = ::CreateSolidBrush(kParentGround);
    if (message == WM_CTLCOLORSTATIC)
        return reinterpret_cast<LRESULT>(hBrush);
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}
}

// What the parent gives its statics shows behind the text, also behind runs
// with a background colour of their own: the screen is that ground with the
// text drawn on it, and nothing of the control's own background colour.
TEST(XhtmlWindowTest, TheParentsBackgroundShowsBehindTheText)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &OwnGroundParentProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorXhtmlOwnGroundParent";
    ::RegisterClassW(&wc);
    HWND hParent = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200,
                                     nullptr, nullptr, wc.hInstance, nullptr);
    HWND hStatic = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 380, 100, hParent, nullptr,
                                     wc.hInstance, nullptr);
    CWindowProbe control;
    ASSERT_TRUE(control.SubclassWindow(hStatic));
    const COLORREF crControl = RGB(255, 0, 0);
    control.SetBkColor(crControl);
    const wchar_t* text = L"Plain <b>bold</b> <font bgcolor=\"blue\">on blue</font> and more words";
    control.SetWindowText(text);
    PumpMessages();

    CDibCanvas shown(380, 100), expected(380, 100);
    ::UpdateWindow(hStatic);
    HDC hDC = ::GetDC(hStatic);
    ::BitBlt(shown.dc.m_hDC, 0, 0, 380, 100, hDC, 0, 0, SRCCOPY);
    ::ReleaseDC(hStatic, hDC);
    expected.Fill(kParentGround);
    control.DrawMarkup(expected.dc.m_hDC, expected.Rect(), text, nullptr);
    int nDiffering = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 380; ++x)
            nDiffering += shown.Pixel(x, y) != expected.Pixel(x, y);
    EXPECT_EQ(nDiffering, 0);
    EXPECT_GT(shown.Count(kParentGround), 380 * 100 / 2);
    EXPECT_EQ(shown.Count(crControl), 0);
    EXPECT_EQ(shown.Count(RGB(0, 0, 255)), 0);
    ::DestroyWindow(hParent);
}
