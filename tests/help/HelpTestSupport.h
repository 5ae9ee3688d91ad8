// Test helpers: a driver that answers the next visible message box of the
// test's thread, what it sees of the box, the registry scope of product
// line 1 (current user) where boxes remember answers, and an initialized
// application object.
#pragma once

#include "OzuConditionalMessageBox.h"
#include "OzuWinApp.h"
#include "ProductConfig.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <utility>

namespace helptest {

class CBoxDriver
{
public:
    // Runs action(box) once a box of this thread shows. It runs from a timer
    // of this thread, which the box's own message loop dispatches: no second
    // thread, since a 32-bit process emulated by qemu-user may lose its
    // thread-local storage once a second thread exists.
    explicit CBoxDriver(std::function<void(HWND)> action) : m_action(std::move(action))
    {
        s_pActive = this;
        m_nTimer = SetTimer(nullptr, 0, 50, OnTimer);
    }
    ~CBoxDriver() { Seen(); }
    // The box has been shown and the action has run: the box was modal, so
    // by the time its caller returns there is nothing left to wait for.
    bool Seen()
    {
        if (m_nTimer)
            KillTimer(nullptr, m_nTimer);
        m_nTimer = 0;
        if (s_pActive == this)
            s_pActive = nullptr;
        return m_hBox != nullptr;
    }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        CBoxDriver* pDriver = s_pActive;
        if (!pDriver || pDriver->m_hBox)
            return;
        EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&pDriver->m_hBox));
        if (!pDriver->m_hBox)
            return;
        KillTimer(nullptr, pDriver->m_nTimer);   // the action may pump messages
        pDriver->m_nTimer = 0;
        pDriver->m_action(pDriver->m_hBox);
    }
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM found)
    {
        wchar_t name[16] = {};
        GetClassNameW(hWnd, name, 16);
        if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(hWnd))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = hWnd;
        return FALSE;
    }
    static inline CBoxDriver* s_pActive = nullptr;
    std::function<void(HWND)> m_action;
    UINT_PTR m_nTimer = 0;
    HWND m_hBox = nullptr;
};

struct BoxLook
{
    HWND hCheck = nullptr;
    RECT check = {};
    int buttonsTop = INT_MAX, buttonsLeft = INT_MAX, clientWidth = 0, dluX7 = 0, dluY7 = 0;
    int captionWidth = 0, dluX12 = 0;   // the check box caption's width in the box's font
    bool buttonsInClient = true;
    std::wstring text;          // of the box's text control
    bool textIsMarkupControl = false;
};

inline int TextWidth(HWND hBox, const wchar_t* text)
{
    HDC dc = GetDC(hBox);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hBox, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(hBox, dc);
    return size.cx;
}

inline RECT InClient(HWND hBox, HWND hWnd)
{
    RECT rect = {};
    GetWindowRect(hWnd, &rect);
    MapWindowPoints(nullptr, hBox, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Records the box's layout as it shows.
inline void LookAt(HWND hBox, BoxLook& look)
{
    look.hCheck = GetDlgItem(hBox, IDC_OZU_REMEMBER_ANSWER);
    wchar_t text[512] = {};
    if (look.hCheck && IsWindowVisible(look.hCheck)) {
        look.check = InClient(hBox, look.hCheck);
        GetWindowTextW(look.hCheck, text, 512);
        look.captionWidth = TextWidth(hBox, text);
    }
    RECT client = {}, rect = {0, 0, 7, 7}, twelve = {0, 0, 12, 0};
    GetClientRect(hBox, &client);
    look.clientWidth = client.right;
    for (int id = IDOK; id <= IDHELP; ++id)
        if (HWND hButton = GetDlgItem(hBox, id)) {
            const RECT button = InClient(hBox, hButton);
            look.buttonsTop = std::min<int>(look.buttonsTop, button.top);
            look.buttonsLeft = std::min<int>(look.buttonsLeft, button.left);
            look.buttonsInClient &= button.left >= 0 && button.top >= 0 && button.right <= client.right &&
                                    button.bottom <= client.bottom;
        }
    MapDialogRect(hBox, &rect);
    MapDialogRect(hBox, &twelve);
    look.dluX7 = rect.right, look.dluY7 = rect.bottom, look.dluX12 = twelve.right;
    GetDlgItemTextW(hBox, 0xFFFF, text, 512);
    look.text = text;
    CWnd* pText = CWnd::FromHandlePermanent(GetDlgItem(hBox, 0xFFFF));
    look.textIsMarkupControl = pText && pText->IsKindOf(RUNTIME_CLASS(COzuXHTMLStatic));
}

inline std::wstring ScopeKeyPath()
{
    std::wstring path;
    CProductRegistry(false).GetScopeKeyPath(2, 1, &path);
    return path;
}

// The value's type and bytes; false when it (or the key) is missing.
inline bool ReadScopeValue(const wchar_t* name, DWORD& type, std::string& bytes)
{
    char data[64] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), name, RRF_RT_ANY, &type, data, &size))
        return false;
    bytes.assign(data, size);
    return true;
}

class CHelpTestApp : public COzuWinApp
{
public:
    CHelpTestApp() : COzuWinApp(LOCALIZATION_DICTIONARY)
    {
        AfxWinInit(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
    }
};

}  // namespace helptest
