// CDialog: dialogs from a dialog template of the resource module.
//
// Modeless: construct, Create(id) (the dialog initializes inside Create),
// destroy with DestroyWindow; a heap-allocated modeless dialog usually
// deletes itself in PostNcDestroy. Modal: DoModal() returns the EndDialog
// result (-1 when the dialog could not be created).
// OnInitDialog calls UpdateData(FALSE), which runs DoDataExchange: there the
// template's controls are bound to member window objects with DDX_Control.
// IDOK and IDCANCEL commands call the virtual OnOK and OnCancel (OnCancel:
// EndDialog(IDCANCEL)) unless a map entry of the derived class takes them.
#pragma once

#include "Wnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;   // TRUE: controls to members
    CWnd* m_pDlgWnd;
};

// Subclasses control nIDC of the dialog with rControl, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Modeless creation; FALSE when the template is missing or creation failed.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}
    virtual void OnOK();
    virtual void OnCancel();

    LPCWSTR m_lpszTemplateName = nullptr;   // a MAKEINTRESOURCE id or a name (not owned)
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    const DLGTEMPLATE* LoadTemplate(LPCWSTR lpszTemplateName) const;
    void SetTemplateName(LPCWSTR lpszTemplateName);
    std::wstring m_strTemplateName;         // backing store for a named template
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    friend struct CDialogAccess;
};

// The dialog procedure behind every CDialog: WM_INITDIALOG -> OnInitDialog.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
