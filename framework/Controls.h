// Window objects for the standard controls. Each is a CWnd with typed
// helpers; bind one to a template control with DDX_Control or
// SubclassDlgItem, or make a new control with Create.
#pragma once

#include "Wnd.h"

class CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);
};

class CButton : public CWnd
{
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const;          // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    void SetCheck(int nCheck);
};

class CProgressCtrl : public CWnd
{
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int SetPos(int nPos);          // previous position
    int GetPos() const;
};

class CComboBox : public CWnd
{
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCount() const;                      // CB_ERR on failure
    int GetCurSel() const;                     // CB_ERR when nothing is selected
    int SetCurSel(int nSelect);
    int GetLBTextLen(int nIndex) const;
    // The item's text; empty (and CB_ERR returned) for an invalid index.
    int GetLBText(int nIndex, CString& rString) const;
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    int AddString(LPCWSTR lpszString);
    int InsertString(int nIndex, LPCWSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
};
