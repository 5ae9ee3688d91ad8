// CPropertySheet and CPropertyPage: a tabbed sheet of dialog pages over the
// system's property sheet (comctl32).
//
//   CPropertyPage general(IDD_GENERAL), details(IDD_DETAILS);
//   CPropertySheet sheet(L"Options");
//   sheet.AddPage(&general);
//   sheet.AddPage(&details);
//   sheet.Create();          // modeless; the first page is shown
//
// The system creates a page's window only when the page is first activated;
// until then its object has no window. Each page window gets its object
// bound (as a permanent object) before its OnInitDialog runs. The pages are
// not owned by the sheet and must outlive its window.
#pragma once

#include "Dialog.h"

#include <string>
#include <vector>

#include <commctrl.h>

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate);

private:
    // The system's description of this page; false when no module holds the template.
    bool MakePage(PROPSHEETPAGEW& page);
    friend class CPropertySheet;
};

class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(LPCWSTR pszCaption = nullptr, CWnd* pParentWnd = nullptr);

    // Pages are added before Create.
    void AddPage(CPropertyPage* pPage);
    // Modeless sheet with the pages added so far; FALSE when it has no page,
    // a page template is missing or the system cannot create the sheet.
    BOOL Create(CWnd* pParentWnd = nullptr);

    int GetPageCount() const;
    CPropertyPage* GetPage(int nPage) const;
    // Index of the page shown; -1 without a window.
    int GetActiveIndex() const;
    // Shows page nPage, creating its window when it has none yet.
    BOOL SetActivePage(int nPage);

private:
    std::wstring m_strCaption;
    CWnd* m_pParentWnd;
    std::vector<CPropertyPage*> m_pages;
};
