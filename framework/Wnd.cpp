#include "Wnd.h"
#include "Menu.h"
#include "TempObjectMap.h"
#include "ThreadState.h"
#include "WinApp.h"
#include "Gdi.h"

#include <mutex>
#include <unordered_map>

namespace {

// Permanent objects: shared by all threads (a window object may be looked up
// from a thread other than the one that owns its window). Allocated once and
// never freed, so it outlives every static window object.
struct PermanentMap
{
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> map;
};

PermanentMap& Permanent()
{
    static PermanentMap* map = new PermanentMap;
    return *map;
}

using TempWndMap = CTempObjectMap<HWND, CWnd, &CWnd::m_hWnd>;
thread_local TempWndMap* t_pTempWnds = nullptr;
thread_local AFX_THREAD_STATE t_threadState;

const wchar_t kWndClassName[] = L"QuorFrameworkWnd";

// Platform input-method windows can be created before the window a hook waits for.
bool IsInputMethodWindow(HWND hWnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hWnd, name, 32);
    return _wcsicmp(name, L"IME") == 0 || _wcsicmp(name, L"MSCTFIME UI") == 0;
}

// The window is of the class asked for (any window when none is asked for).
bool IsOfClass(HWND hWnd, const wchar_t* pszClass)
{
    if (pszClass == nullptr)
        return true;
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    return _wcsicmp(name, pszClass) == 0;
}

void InstallWndProc(CWnd* pWnd, HWND hWnd)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        pWnd->m_pfnSuper = old;
}

LRESULT CALLBACK CbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE& state = t_threadState;
    if (nCode == HCBT_CREATEWND && state.m_pWndInit != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsInputMethodWindow(hWnd) && IsOfClass(hWnd, state.m_pszClassInit)) {
            CWnd* pWnd = state.m_pWndInit;
            state.m_pWndInit = nullptr;
            state.m_pszClassInit = nullptr;
            try {
                if (pWnd->Attach(hWnd)) {
                    pWnd->PreSubclassWindow();
                    InstallWndProc(pWnd, hWnd);
                }
            } catch (...) {
                // No exception may cross into the platform's code (a 32-bit
                // unwinder cannot pass its frames): the object stays unbound
                // and the window is not created.
                if (pWnd->m_hWnd == hWnd)
                    pWnd->Detach();
                return 1;
            }
        }
    }
    return ::CallNextHookEx(state.m_hHookCbt, nCode, wParam, lParam);
}

}  // namespace

AFX_THREAD_STATE& AfxGetThreadState()
{
    return t_threadState;
}

const MSG* AfxGetCurrentMessage()
{
    return &t_threadState.m_lastSentMsg;
}

void AfxHookWindowCreate(CWnd* pWnd, LPCWSTR lpszClassOnly)
{
    AFX_THREAD_STATE& state = t_threadState;
    if (state.m_hHookCbt == nullptr)
        state.m_hHookCbt = ::SetWindowsHookExW(WH_CBT, CbtFilterHook, nullptr, ::GetCurrentThreadId());
    state.m_pWndInit = pWnd;
    state.m_pszClassInit = lpszClassOnly;
}

BOOL AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE& state = t_threadState;
    BOOL bConsumed = state.m_pWndInit == nullptr;
    state.m_pWndInit = nullptr;
    state.m_pszClassInit = nullptr;
    if (state.m_hHookCbt != nullptr) {
        ::UnhookWindowsHookEx(state.m_hHookCbt);
        state.m_hHookCbt = nullptr;
    }
    return bConsumed;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);

    AFX_THREAD_STATE& state = t_threadState;
    MSG saved = state.m_lastSentMsg;
    state.m_lastSentMsg.hwnd = hWnd;
    state.m_lastSentMsg.message = message;
    state.m_lastSentMsg.wParam = wParam;
    state.m_lastSentMsg.lParam = lParam;
    LRESULT result;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may cross into the platform's code.
        result = (message == WM_CREATE) ? -1 : 0;
    }
    state.m_lastSentMsg = saved;
    return result;
}

// ---------------------------------------------------------------------------
// Handle map

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        // Still bound: the window goes with its object.
        ::DestroyWindow(m_hWnd);
        if (m_hWnd != nullptr)  // not destroyed (another thread's window): just let go of it
            UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    if (CWnd* pTemp = TempWndMap::Find(t_pTempWnds, hWnd))
        return pTemp;
    CWnd* pTemp = new CWnd;
    pTemp->m_hWnd = hWnd;
    TempWndMap::Add(t_pTempWnds, hWnd, pTemp);
    return pTemp;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    PermanentMap& perm = Permanent();
    std::lock_guard<std::mutex> guard(perm.lock);
    auto it = perm.map.find(hWnd);
    return it == perm.map.end() ? nullptr : it->second;
}

void CWnd::DeleteTempMap()
{
    TempWndMap::Delete(t_pTempWnds);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr)
        return FALSE;
    PermanentMap& perm = Permanent();
    {
        std::lock_guard<std::mutex> guard(perm.lock);
        if (!perm.map.emplace(hWndNew, this).second)
            return FALSE;
    }
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        PermanentMap& perm = Permanent();
        std::lock_guard<std::mutex> guard(perm.lock);
        auto it = perm.map.find(hWnd);
        if (it != perm.map.end() && it->second == this)
            perm.map.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

// ---------------------------------------------------------------------------
// Subclassing and creation

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    InstallWndProc(this, hWnd);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (pParent == nullptr || pParent->m_hWnd == nullptr)
        return FALSE;
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs)
{
    if (cs.lpszClass == nullptr) {
        HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
        WNDCLASSW wc = {};
        if (!::GetClassInfoW(hInstance, kWndClassName, &wc)) {
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = hInstance;
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = kWndClassName;
            ::RegisterClassW(&wc);
        }
        cs.lpszClass = kWndClassName;
    }
    return TRUE;
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != nullptr)
        return FALSE;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = ::GetModuleHandleW(nullptr);
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                  cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// ---------------------------------------------------------------------------
// Message handling

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    switch (message) {
    case WM_NCDESTROY:
        OnNcDestroy();  // may delete this
        *pResult = 0;
        return TRUE;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        if (OnNotify(wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
        if (pChild != nullptr && pChild != this && pChild->OnChildNotify(message, wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return DispatchMessageEntry(message, 0, 0, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    HWND hWndControl = reinterpret_cast<HWND>(lParam);
    if (hWndControl != nullptr) {
        CWnd* pChild = FromHandlePermanent(hWndControl);
        if (pChild != nullptr && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, pResult))
            return TRUE;
    }
    return DispatchMessageEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), wParam, lParam, pResult);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR == nullptr)
        return FALSE;
    CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
    if (pChild != nullptr && pChild != this && pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    return DispatchMessageEntry(WM_NOTIFY, pNMHDR->code, static_cast<UINT>(pNMHDR->idFrom), wParam, lParam,
                                pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_COMMAND:
        return DispatchMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, wParam, lParam, pResult);
    case WM_NOTIFY: {
        const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
        return DispatchMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0, wParam, lParam, pResult);
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        // lParam of the reflected message: the CTLCOLOR_* kind.
        return DispatchMessageEntry(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, wParam,
                                    static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX), pResult);
    default:
        return FALSE;
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = t_threadState.m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

void CWnd::OnNcDestroy()
{
    // The application's main window ends the message loop.
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMainWnd == this) {
        pThread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp != pThread && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;

    Default();
    UnsubclassWindow();
    PostNcDestroy();  // may delete this
}

// Default handlers: the message goes on to the previous procedure.
void CWnd::OnPaint() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnUpdateUIState(UINT, UINT) { Default(); }

// ---------------------------------------------------------------------------
// Thin wrappers

int CWnd::GetWindowText(LPWSTR lpszString, int nMaxCount) const
{
    return ::GetWindowTextW(m_hWnd, lpszString, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    int len = ::GetWindowTextLengthW(m_hWnd);
    if (len <= 0) {
        rString.Empty();
        return;
    }
    int got = ::GetWindowTextW(m_hWnd, rString.GetBuffer(len + 1), len + 1);
    rString.ReleaseBuffer(got < 0 ? 0 : got);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
void CWnd::SetWindowText(LPCWSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }

static BOOL ModifyStyleOf(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, nIndex));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrW(hWnd, nIndex, static_cast<LONG_PTR>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    HFONT hFont = pFont ? static_cast<HFONT>(pFont->GetSafeHandle()) : nullptr;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::IsChild(const CWnd* pWnd) const { return pWnd && ::IsChild(m_hWnd, pWnd->m_hWnd); }

void CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    if (HWND hWnd = ::GetDlgItem(m_hWnd, nID))
        FromHandle(hWnd)->GetWindowText(rString);
}

void CWnd::SetDlgItemText(int nID, LPCWSTR lpszString) { ::SetDlgItemTextW(m_hWnd, nID, lpszString); }

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
}

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hRgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hRgnUpdate, flags);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
