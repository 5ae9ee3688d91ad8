#include "Menu.h"
#include "WinApp.h"

#include "TempObjectMap.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

using TempMenuMap = CTempObjectMap<HMENU, CMenu, &CMenu::m_hMenu>;
thread_local TempMenuMap* t_pTempMenus = nullptr;

}  // namespace

CMenu::~CMenu()
{
    if (!m_bTemporary)
        DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == nullptr)
        return nullptr;
    if (CMenu* pMenu = TempMenuMap::Find(t_pTempMenus, hMenu))
        return pMenu;
    CMenu* pMenu = new CMenu;
    pMenu->m_hMenu = hMenu;
    pMenu->m_bTemporary = true;
    TempMenuMap::Add(t_pTempMenus, hMenu, pMenu);
    return pMenu;
}

void CMenu::DeleteTempMap()
{
    TempMenuMap::Delete(t_pTempMenus);
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == nullptr || m_hMenu != nullptr)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    HINSTANCE hInstance = AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), MAKEINTRESOURCEW(4) /* RT_MENU */);
    return hInstance != nullptr && Attach(::LoadMenuW(hInstance, MAKEINTRESOURCEW(nIDResource)));
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == nullptr)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
{
    return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
{
    return ::ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    rString.Empty();
    int len = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (len <= 0)
        return 0;
    int got = ::GetMenuStringW(m_hMenu, nIDItem, rString.GetBuffer(len + 1), len + 1, nFlags);
    rString.ReleaseBuffer(got < 0 ? 0 : got);
    return rString.GetLength();
}

CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }

BOOL CMenu::GetMenuItemInfo(UINT uItem, LPMENUITEMINFOW lpMenuItemInfo, BOOL fByPos) const
{
    return ::GetMenuItemInfoW(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}

BOOL CMenu::SetMenuItemInfo(UINT uItem, LPCMENUITEMINFOW lpMenuItemInfo, BOOL fByPos)
{
    return ::SetMenuItemInfoW(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
