#include "Menu.h"
#include "WinApp.h"

#include <unordered_map>

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

struct TempMenuMap
{
    std::unordered_map<HMENU, CMenu*> map;
    void Clear()
    {
        std::unordered_map<HMENU, CMenu*> old;
        old.swap(map);
        for (auto& entry : old) {
            entry.second->m_hMenu = nullptr;
            delete entry.second;
        }
    }
};

// A plain pointer per thread, created on first use and deleted by
// DeleteTempMap (at idle time and when a framework thread ends): thread_local
// objects with destructors corrupt the heap when a thread of a static MinGW
// program ends, so none is used here.
thread_local TempMenuMap* t_tempMenus = nullptr;

TempMenuMap& TempMap()
{
    if (t_tempMenus == nullptr)
        t_tempMenus = new TempMenuMap;
    return *t_tempMenus;
}

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
    auto it = TempMap().map.find(hMenu);
    if (it != TempMap().map.end())
        return it->second;
    CMenu* pMenu = new CMenu;
    pMenu->m_hMenu = hMenu;
    pMenu->m_bTemporary = true;
    TempMap().map.emplace(hMenu, pMenu);
    return pMenu;
}

void CMenu::DeleteTempMap()
{
    TempMenuMap* pMap = t_tempMenus;
    t_tempMenus = nullptr;
    if (pMap != nullptr) {
        pMap->Clear();
        delete pMap;
    }
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
