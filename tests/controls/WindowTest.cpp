// The controls on real windows: statics of a dialog template subclassed,
// shown, painted by the window system and read back from the screen.
#include "BitmapStatic.h"
#include "Label.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace
{
INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The test dialog (template 200), topmost at the screen's top left, showing
// control nId moved to (0, 0) at cx x cy pixels.
struct CTestDialog
{
    CTestDialog(int nId, int cx, int cy)
    {
        hWnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(200), nullptr, &PlainDialogProc, 0);
        ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 400, 300, SWP_NOACTIVATE);
        hControl = ::GetDlgItem(hWnd, nId);
        ::MoveWindow(hControl, 0, 0, cx, cy, FALSE);
    }
    ~CTestDialog() { ::DestroyWindow(hWnd); }
    void Show() { ::ShowWindow(hWnd, SW_SHOWNOACTIVATE); }
    // The control's client area as the screen shows it.
    void ReadBack(CDibCanvas& canvas)
    {
        PumpMessages();
        ::UpdateWindow(hControl);
        HDC hDC = ::GetDC(hControl);
        ::BitBlt(canvas.dc.m_hDC, 0, 0, canvas.Width(), canvas.Height(), hDC, 0, 0, SRCCOPY);
        ::ReleaseDC(hControl, hDC);
    }
    HWND hWnd = nullptr, hControl = nullptr;
};
}

TEST(ControlWindowTest, LabelPaintsItselfOnTheDialog)
{
    CTestDialog dialog(1005, 160, 60);
    CLabel label;
    ASSERT_TRUE(label.SubclassWindow(dialog.hControl));
    // It took over the dialog's font.
    LOGFONTW lfDialog = {};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(dialog.hWnd, WM_GETFONT, 0, 0)), sizeof(lfDialog),
                 &lfDialog);
    EXPECT_EQ(label.m_logFont.lfHeight, lfDialog.lfHeight);

    LOGFONTW lf = label.m_logFont;
    lf.lfHeight = -28;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    label.SetFont(lf);
    label.SetBkColor(RGB(255, 255, 255)).SetTextColor(RGB(255, 0, 0));
    dialog.Show();
    CDibCanvas canvas(160, 60);
    dialog.ReadBack(canvas);
    EXPECT_EQ(canvas.Count(RGB(255, 255, 255)), 160 * 60) << "not even the template's text";

    label.SetWindowText(L"Shown");
    dialog.ReadBack(canvas);
    EXPECT_GT(canvas.Count(RGB(255, 0, 0)), 30);
    EXPECT_EQ(canvas.Count(RGB(255, 0, 0)) + canvas.Count(RGB(255, 255, 255)), 160 * 60);
}

TEST(ControlWindowTest, BitmapControlPaintsItsCopyStretchedOnTheDialog)
{
    CTestDialog dialog(1007, 120, 90);
    CBitmapStatic control;
    ASSERT_TRUE(control.SubclassWindow(dialog.hControl));
    EXPECT_TRUE(::GetWindowLongW(dialog.hControl, GWL_STYLE) & SS_NOTIFY);
    dialog.Show();
    CDibCanvas canvas(120, 90);
    dialog.ReadBack(canvas);
    EXPECT_EQ(canvas.Count(RGB(64, 64, 64)), 120 * 90);

    {
        CBitmap source;
        source.Attach(MakeQuadrants(10, 10));
        control.SetBitmap(&source);
    }
    dialog.ReadBack(canvas);
    ExpectQuadrants(canvas, canvas.Rect());

    // Resized, it fills its new client area.
    ::MoveWindow(dialog.hControl, 0, 0, 60, 40, TRUE);
    CDibCanvas smaller(60, 40);
    dialog.ReadBack(smaller);
    ExpectQuadrants(smaller, smaller.Rect());
}
