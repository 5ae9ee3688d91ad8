// CMenu: a menu handle. An object made by CreateMenu/CreatePopupMenu/LoadMenu
// or Attach owns its menu and destroys it with the object; FromHandle gives a
// temporary object (not owning, deleted when the thread's loop is idle).
#pragma once

#include "AfxString.h"
#include "AfxObject.h"

class CMenu : public CObject
{
    DECLARE_DYNAMIC(CMenu)
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    ~CMenu() override;

    static CMenu* FromHandle(HMENU hMenu);      // null for null
    static void DeleteTempMap();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(UINT nIDResource);             // from the resource module
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr);
    int GetMenuItemCount() const;                // -1 on failure
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    CMenu* GetSubMenu(int nPos) const;           // temporary object, or null
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFOW lpMenuItemInfo, BOOL fByPos = FALSE) const;
    BOOL SetMenuItemInfo(UINT uItem, LPCMENUITEMINFOW lpMenuItemInfo, BOOL fByPos = FALSE);

private:
    bool m_bTemporary = false;
};
