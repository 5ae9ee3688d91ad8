#include "Dialog.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr || pDX == nullptr || pDX->m_pDlgWnd == nullptr)
        return;
    // A control the template lacks stays unbound (its object has no window).
    rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CDialog)))
        return TRUE;
    try {
        return static_cast<CDialog*>(pWnd)->OnInitDialog();
    } catch (...) {
        // No exception may cross into the platform's code.
        return TRUE;
    }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    SetTemplateName(MAKEINTRESOURCEW(nIDTemplate));
}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    SetTemplateName(lpszTemplateName);
}

void CDialog::SetTemplateName(LPCWSTR lpszTemplateName)
{
    if (lpszTemplateName != nullptr && !IS_INTRESOURCE(lpszTemplateName)) {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName.c_str();
    } else {
        m_strTemplateName.clear();
        m_lpszTemplateName = lpszTemplateName;
    }
}

const DLGTEMPLATE* CDialog::LoadTemplate(LPCWSTR lpszTemplateName) const
{
    if (lpszTemplateName == nullptr)
        return nullptr;
    HINSTANCE hInstance = AfxFindResourceHandle(lpszTemplateName, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (hInstance == nullptr)
        return nullptr;
    HRSRC hRes = ::FindResourceW(hInstance, lpszTemplateName, MAKEINTRESOURCEW(5));
    if (hRes == nullptr || ::SizeofResource(hInstance, hRes) < sizeof(DLGTEMPLATE))
        return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInstance, hRes);
    return hGlobal ? static_cast<const DLGTEMPLATE*>(::LockResource(hGlobal)) : nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
{
    if (m_hWnd != nullptr)
        return FALSE;
    SetTemplateName(lpszTemplateName);
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    const DLGTEMPLATE* pTemplate = LoadTemplate(m_lpszTemplateName);
    if (pTemplate == nullptr)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), pTemplate,
                                             m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hWnd != nullptr && m_hWnd == hWnd;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd != nullptr)
        return -1;
    const DLGTEMPLATE* pTemplate = LoadTemplate(m_lpszTemplateName);
    if (pTemplate == nullptr)
        return -1;
    HWND hWndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (hWndParent == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd != this)
            hWndParent = pMainWnd->m_hWnd;
    }
    AfxHookWindowCreate(this);
    INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), pTemplate, hWndParent, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return result;
}

void CDialog::EndDialog(int nResult)
{
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation (Tab, Esc, Enter, mnemonics) of this dialog.
    if (m_hWnd == nullptr || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}
