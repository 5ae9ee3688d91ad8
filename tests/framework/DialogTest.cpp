#include "afxwin.h"
#include "framework_test_ids.h"

#include <gtest/gtest.h>

namespace {

class CLabelWnd : public CStatic
{
public:
    int preSubclassCalls = 0;

protected:
    void PreSubclassWindow() override { ++preSubclassCalls; }
};

class CTestDialog : public CDialog
{
public:
    CTestDialog() : CDialog(IDD_TEST_DIALOG) {}

    CLabelWnd m_label;
    int initCalls = 0;
    int cancelCalls = 0;
    int okCalls = 0;
    bool deleted = false;
    bool modal = false;
    bool endInInit = false;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ++initCalls;
        if (endInInit)
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_TEST_LABEL, m_label);
    }
    void OnOK() override
    {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancelCalls;
        if (modal)
            CDialog::OnCancel();
        else
            DestroyWindow();
    }
    void PostNcDestroy() override { deleted = true; }
};

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

TEST(Dialog, ModelessCreateInitializesAndBindsControls)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_DIALOG));
    EXPECT_EQ(1, dlg.initCalls);
    ASSERT_NE(nullptr, dlg.m_label.m_hWnd);
    EXPECT_EQ(1, dlg.m_label.preSubclassCalls);
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, IDC_TEST_LABEL), dlg.m_label.m_hWnd);
    EXPECT_EQ(&dlg.m_label, CWnd::FromHandlePermanent(dlg.m_label.m_hWnd));
    CString caption;
    dlg.GetWindowText(caption);
    EXPECT_TRUE(caption == L"Test dialog");

    // The Cancel button's command reaches the virtual OnCancel.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(dlg.m_hWnd, IDCANCEL)));
    EXPECT_EQ(1, dlg.cancelCalls);
    EXPECT_TRUE(dlg.deleted);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_label.m_hWnd);
}

TEST(Dialog, EscapeKeyBecomesCancelThroughPreTranslateMessage)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_DIALOG));
    dlg.ShowWindow(SW_SHOW);
    ::SetFocus(::GetDlgItem(dlg.m_hWnd, IDOK));
    MSG msg = {};
    msg.hwnd = ::GetDlgItem(dlg.m_hWnd, IDOK);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    msg.lParam = 1;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(dlg.m_hWnd, &msg));
    PumpPending();
    EXPECT_EQ(1, dlg.cancelCalls);
    EXPECT_TRUE(dlg.deleted);
}

TEST(Dialog, DoModalReturnsTheEndDialogResult)
{
    CTestDialog dlg;
    dlg.modal = true;
    dlg.endInInit = true;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, dlg.initCalls);
    EXPECT_EQ(1, dlg.okCalls);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Dialog, MissingTemplateFails)
{
    CDialog dlg;
    EXPECT_FALSE(dlg.Create(4711));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    CDialog modal(4711);
    EXPECT_EQ(-1, modal.DoModal());
}

}  // namespace
