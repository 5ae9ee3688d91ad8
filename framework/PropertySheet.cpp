#include "PropertySheet.h"
#include "SystemLibrary.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// A page's dialog procedure. The system passes its copy of the page's
// description with WM_INITDIALOG, and in it the page object: the window is
// bound to that object before the dialog procedure of every CDialog runs.
INT_PTR CALLBACK PropertyPageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG && lParam != 0) {
        auto* pPage = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        if (pPage != nullptr && pPage->m_hWnd == nullptr) {
            try {
                pPage->SubclassWindow(hWnd);
            } catch (...) {
                // No exception may cross into the platform's code: the page
                // stays a plain dialog, unbound to its object.
                if (pPage->m_hWnd == hWnd)
                    pPage->Detach();
            }
        }
    }
    return AfxDlgProc(hWnd, message, wParam, lParam);
}

}  // namespace

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate)
{
}

bool CPropertyPage::MakePage(PROPSHEETPAGEW& page)
{
    HINSTANCE hInstance = AfxFindResourceHandle(m_lpszTemplateName, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (hInstance == nullptr)
        return false;
    page = PROPSHEETPAGEW{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = hInstance;
    page.pszTemplate = m_lpszTemplateName;
    page.pfnDlgProc = PropertyPageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return true;
}

CPropertySheet::CPropertySheet(LPCWSTR pszCaption, CWnd* pParentWnd)
    : m_strCaption(pszCaption ? pszCaption : L""), m_pParentWnd(pParentWnd)
{
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (pPage != nullptr)
        m_pages.push_back(pPage);
}

BOOL CPropertySheet::Create(CWnd* pParentWnd)
{
    if (m_hWnd != nullptr || m_pages.empty())
        return FALSE;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    std::vector<PROPSHEETPAGEW> pages(m_pages.size());
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (!m_pages[i]->MakePage(pages[i]))
            return FALSE;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.hwndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();
    // A modeless sheet: the result is its window (0 or -1 when it failed).
    const INT_PTR result = SystemLibrary::PropertySheetW(&header);
    if (result == 0 || result == -1)
        return FALSE;
    return SubclassWindow(reinterpret_cast<HWND>(result));
}

int CPropertySheet::GetPageCount() const
{
    return static_cast<int>(m_pages.size());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<size_t>(nPage)];
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_hWnd == nullptr)
        return -1;
    // The selected tab is the page shown.
    HWND hTab = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0));
    return hTab ? static_cast<int>(::SendMessageW(hTab, TCM_GETCURSEL, 0, 0)) : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (m_hWnd == nullptr || nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    return static_cast<BOOL>(::SendMessageW(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}
