#include "ShortcutFixer.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <deque>
#include <new>

namespace {

constexpr int kClassNameChars = 1024;   // class names are cut to 1023 characters

// A static with SS_NOPREFIX shows every '&' as it is: its '&' characters are
// text, not marks.
bool ShowsAmpersandsLiterally(const CShortcutFixer::ControlInfo& info)
{
    return info.m_nType == CShortcutFixer::TypeStatic && (info.m_dwStyle & SS_NOPREFIX) != 0;
}

// Only the texts of these controls are mnemonic captions. The content of input
// controls and of unknown classes is user data and is never stripped.
bool CarriesMnemonicText(const CShortcutFixer::ControlInfo& info)
{
    switch (info.m_nType) {
    case CShortcutFixer::TypePushButton:
    case CShortcutFixer::TypeGroupBox:
    case CShortcutFixer::TypeCheckBox:
    case CShortcutFixer::TypeRadioButton:
        return true;
    case CShortcutFixer::TypeStatic:
        return !ShowsAmpersandsLiterally(info);
    default:
        return false;
    }
}

bool IsLabel(const CShortcutFixer::ControlInfo& info)
{
    return info.m_nType == CShortcutFixer::TypeCheckBox ||
           (info.m_nType == CShortcutFixer::TypeStatic && !ShowsAmpersandsLiterally(info));
}

// Every descendant of a window, grouped by parent, each group in window order.
struct WindowTree
{
    std::unordered_map<HWND, std::vector<HWND>> byParent;
    bool outOfMemory = false;
};

// EnumChildWindows callback; no exception may leave it.
BOOL CALLBACK AddToWindowTree(HWND hWnd, LPARAM lParam)
{
    auto& tree = *reinterpret_cast<WindowTree*>(lParam);
    try {
        tree.byParent[::GetAncestor(hWnd, GA_PARENT)].push_back(hWnd);
        return TRUE;
    } catch (const std::bad_alloc&) {
        tree.outOfMemory = true;
        return FALSE;
    }
}

// The whole window text, however long: a text read cut would be written back cut.
std::wstring ReadWholeText(HWND hWnd)
{
    // Room for one character more than announced shows whether the text fitted.
    int capacity = std::max(::GetWindowTextLengthW(hWnd), 0) + 2;
    std::wstring text;
    for (;;) {
        text.assign(static_cast<size_t>(capacity), L'\0');
        const int read = ::GetWindowTextW(hWnd, &text[0], capacity);
        if (read < capacity - 1 || capacity > INT_MAX / 2) {
            text.resize(static_cast<size_t>(std::max(read, 0)));
            return text;
        }
        capacity *= 2;
    }
}

bool IsInputControl(int32_t type)
{
    switch (type) {
    case CShortcutFixer::TypeComboBox:
    case CShortcutFixer::TypeEdit:
    case CShortcutFixer::TypeDateTimePicker:
    case CShortcutFixer::TypeListView:
    case CShortcutFixer::TypeListBox:
    case CShortcutFixer::TypeComboBoxEx:
        return true;
    default:
        return false;
    }
}

}  // namespace

void CShortcutFixer::ControlInfo::ApplyText() const
{
    if (m_strText != m_strInitialText)
        ::SetWindowTextW(m_hWnd, m_strText.c_str());
}

int32_t CShortcutFixer::ControlTypeOf(const wchar_t* className, uint32_t style)
{
    if (className == nullptr)
        return TypeOther;
    if (::lstrcmpiW(className, L"Button") == 0) {
        if ((style & 7) == 7)
            return TypeGroupBox;
        if ((style & 9) == 9)
            return TypeRadioButton;
        if ((style & 3) == 3 || (style & 2) != 0)
            return TypeCheckBox;
        return TypePushButton;
    }
    static const struct { const wchar_t* name; int32_t type; } kClasses[] = {
        { L"ComboBox", TypeComboBox },
        { L"Edit", TypeEdit },
        { L"Static", TypeStatic },
        { L"SysDateTimePick32", TypeDateTimePicker },
        { L"SysListView32", TypeListView },
        { L"ListBox", TypeListBox },
        { L"ComboBoxEx32", TypeComboBoxEx },
    };
    for (const auto& entry : kClasses) {
        if (::lstrcmpiW(className, entry.name) == 0)
            return entry.type;
    }
    return TypeOther;
}

CShortcutFixer::CShortcutFixer() = default;
CShortcutFixer::~CShortcutFixer() = default;

HWND CShortcutFixer::SetWindow(HWND hDialog)
{
    m_hDialog = hDialog;
    return hDialog;
}

void CShortcutFixer::SetExcludedIds(std::set<UINT> ids)
{
    m_excludedIds.clear();
    m_excludedIds.insert(ids.begin(), ids.end());
}

void CShortcutFixer::ClearExcludedIds()
{
    m_excludedIds.clear();
}

void CShortcutFixer::AddExcludedId(UINT id)
{
    m_excludedIds.insert(id);
}

void CShortcutFixer::RemoveExcludedId(UINT id)
{
    m_excludedIds.erase(id);
}

bool CShortcutFixer::Fix()
{
    // A control's WM_SETTEXT handler may call Fix again while ApplyTexts walks
    // the list; a second run would free that list under it.
    if (m_bFixing || m_hDialog == nullptr || !::IsWindow(m_hDialog))
        return false;
    m_bFixing = true;
    struct RunningFlag {
        bool& flag;
        ~RunningFlag() { flag = false; }
    } running{ m_bFixing };
    const bool ok = CreateControlList() && CollectControls() && ReadControlInfo() && MarkControls() != 0 &&
                    AssignAllShortcuts() != 0 && ApplyTexts();
    ::PostMessageW(m_hDialog, WM_SHORTCUTFIXER_DONE, 0, 0);
    return ok;
}

bool CShortcutFixer::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg == nullptr || !m_pControls || pMsg->message != WM_SYSKEYDOWN)
        return false;
    if (::GetKeyState(VK_MENU) >= 0)   // high bit clear: Alt is up
        return false;
    const WPARAM key = pMsg->wParam;
    if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')))
        return false;
    const std::wstring shortcut(1, static_cast<wchar_t>(std::towlower(static_cast<wint_t>(key))));
    for (const ControlInfo& info : *m_pControls) {
        if (info.m_strShortcut != shortcut || !::IsWindowVisible(info.m_hWnd) || !::IsWindowEnabled(info.m_hWnd))
            continue;
        // The control's own parent knows its mnemonics, also in a nested child dialog.
        MSG routed = *pMsg;
        routed.hwnd = info.m_hWnd;
        ::IsDialogMessageW(::GetParent(info.m_hWnd), &routed);
        return true;
    }
    return false;
}

bool CShortcutFixer::CreateControlList()
{
    if (m_hDialog == nullptr || !::IsWindow(m_hDialog))
        return false;
    m_recordOfWindow.clear();
    m_previousSibling.clear();
    m_pControls.reset();
    m_pControls.reset(new (std::nothrow) std::list<ControlInfo>);
    return m_pControls != nullptr;
}

bool CShortcutFixer::CollectControls()
{
    if (m_hDialog == nullptr || !::IsWindow(m_hDialog) || !m_pControls)
        return false;
    CollectChildWindows(m_hDialog);
    return !m_pControls->empty();
}

void CShortcutFixer::CollectChildWindows(HWND hRoot)
{
    // One snapshot of the whole tree, each parent's children in window order:
    // asking the window manager for every window's first child and next
    // sibling would cost two round trips per window.
    WindowTree children;
    if (!::EnumChildWindows(hRoot, AddToWindowTree, reinterpret_cast<LPARAM>(&children)) && children.outOfMemory)
        throw std::bad_alloc();
    std::deque<HWND> pending;   // windows whose children are still to be visited
    HWND hParent = hRoot;
    for (;;) {
        const auto level = children.byParent.find(hParent);
        if (level != children.byParent.end()) {
            HWND hPrevious = nullptr;
            for (HWND hChild : level->second) {
                m_previousSibling.emplace(hChild, hPrevious);
                hPrevious = hChild;
                if (children.byParent.count(hChild) != 0)
                    pending.push_back(hChild);
                AddControl(hChild);
            }
        }
        if (pending.empty())
            break;
        hParent = pending.front();
        pending.pop_front();
    }
}

void CShortcutFixer::AddControl(HWND hWnd)
{
    if (!m_pControls || !::IsWindow(hWnd))
        return;
    HWND hParent = ::GetParent(hWnd);
    if (hParent == nullptr || !::IsWindow(hParent))
        return;
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(hWnd));
    ShortcutFixerQuery query = { TRUE, m_excludedIds.count(id) == 0 ? TRUE : FALSE };
    ::SendMessageW(hParent, WM_SHORTCUTFIXER_QUERYCONTROL, id, reinterpret_cast<LPARAM>(&query));
    if (query.bInclude && query.bAllowed) {
        m_pControls->emplace_back(hWnd);
        m_recordOfWindow.emplace(hWnd, &m_pControls->back());   // the first record of a window stays
    }
}

bool CShortcutFixer::ReadControlInfo()
{
    if (!m_pControls)
        return false;
    bool anyAlive = false;
    wchar_t className[kClassNameChars];
    for (ControlInfo& info : *m_pControls) {
        if (!::IsWindow(info.m_hWnd))
            continue;
        anyAlive = true;
        info.m_dwStyle = static_cast<uint32_t>(::GetWindowLongW(info.m_hWnd, GWL_STYLE));
        if (::GetClassNameW(info.m_hWnd, className, kClassNameChars) > 0) {
            info.m_strClassName = className;
            info.m_nType = ControlTypeOf(className, info.m_dwStyle);
        }
        info.m_strInitialText = ReadWholeText(info.m_hWnd);
        info.m_strText = info.m_strInitialText;
    }
    return anyAlive;
}

int CShortcutFixer::MarkControls()
{
    if (MarkVisibleControls() == 0)
        return 0;
    return MarkControlsNeedingShortcuts();
}

int CShortcutFixer::MarkVisibleControls()
{
    if (!m_pControls)
        return 0;
    int visible = 0;
    for (ControlInfo& info : *m_pControls) {
        if (::IsWindowVisible(info.m_hWnd)) {
            info.m_nFlags |= FlagVisible;
            ++visible;
        }
    }
    return visible;
}

void CShortcutFixer::StripRecord(ControlInfo& info)
{
    std::wstring stripped = info.m_strText;
    if (StripMnemonics(stripped) > 0) {
        info.m_strText.swap(stripped);
        info.m_strShortcut.clear();
        info.m_nFlags |= FlagHandled;
    }
}

int CShortcutFixer::MarkControlsNeedingShortcuts()
{
    if (!m_pControls)
        return 0;
    int marks = 0;
    // During the pass the windows do not change, so FindLabelFor may remember
    // what it found for every input it stepped over.
    LabelMemo labels;
    m_pLabelMemo = &labels;
    struct MemoReset { LabelMemo*& memo; ~MemoReset() { memo = nullptr; } } reset{m_pLabelMemo};
    for (ControlInfo& info : *m_pControls) {
        const bool visible = (info.m_nFlags & FlagVisible) != 0;
        if (visible && (info.m_nType == TypePushButton || info.m_nType == TypeCheckBox ||
                        info.m_nType == TypeRadioButton)) {
            info.m_nFlags |= FlagNeedsShortcut;
            ++marks;
        } else if (visible && IsInputControl(info.m_nType)) {
            // The input control's own content stays as it is.
            if (ControlInfo* pLabel = FindLabelFor(&info)) {
                pLabel->m_nFlags |= FlagNeedsShortcut;
                ++marks;
            }
        } else if (CarriesMnemonicText(info)) {
            StripRecord(info);
        }
    }
    return marks;
}

CShortcutFixer::ControlInfo* CShortcutFixer::FindControl(HWND hWnd)
{
    if (!m_pControls || hWnd == nullptr)
        return nullptr;
    const auto found = m_recordOfWindow.find(hWnd);
    return found == m_recordOfWindow.end() ? nullptr : found->second;
}

HWND CShortcutFixer::PreviousSibling(HWND hWnd) const
{
    const auto found = m_previousSibling.find(hWnd);
    return found != m_previousSibling.end() ? found->second : ::GetWindow(hWnd, GW_HWNDPREV);
}

CShortcutFixer::ControlInfo* CShortcutFixer::FindLabelFor(ControlInfo* pInfo)
{
    if (m_pLabelMemo != nullptr)
        return FindLabelWithMemo(pInfo, *m_pLabelMemo);
    LabelMemo labels;
    return FindLabelWithMemo(pInfo, labels);
}

CShortcutFixer::ControlInfo* CShortcutFixer::FindLabelWithMemo(ControlInfo* pInfo, LabelMemo& memo)
{
    if (pInfo == nullptr)
        return nullptr;
    // Inputs of the same kind in a row share the label in front of the first,
    // so every input stepped over has the same answer as pInfo: remembering it
    // keeps a long row from being walked again for each of its members.
    std::vector<const ControlInfo*> steppedOver;
    ControlInfo* pLabel = nullptr;
    for (ControlInfo* pCurrent = pInfo;;) {
        const auto known = memo.find(pCurrent);
        if (known != memo.end()) {
            pLabel = known->second;
            break;
        }
        steppedOver.push_back(pCurrent);
        ControlInfo* pFound = FindControl(PreviousSibling(pCurrent->m_hWnd));
        if (pFound == nullptr)
            break;
        if (pFound == pInfo || pFound->m_nType != pInfo->m_nType) {
            pLabel = IsLabel(*pFound) ? pFound : nullptr;
            break;
        }
        pCurrent = pFound;
    }
    for (const ControlInfo* pInput : steppedOver)
        memo[pInput] = pLabel;
    return pLabel;
}

bool CShortcutFixer::CompareTextLength(const ControlInfo* a, const ControlInfo* b)
{
    return a->m_strText.size() < b->m_strText.size();
}

int CShortcutFixer::AssignAllShortcuts()
{
    if (!m_pControls)
        return 0;
    std::vector<ControlInfo*> records;
    for (ControlInfo& info : *m_pControls) {
        if (info.m_nFlags & FlagNeedsShortcut)
            records.push_back(&info);
    }
    // Every old mark goes; the scheme chooses anew.
    for (ControlInfo* pInfo : records) {
        if (pInfo->m_strText.find(L'&') != std::wstring::npos)
            StripRecord(*pInfo);
    }
    // Parent by parent, shorter texts choose first; equal lengths keep their
    // collection order.
    for (size_t begin = 0; begin < records.size();) {
        HWND hParent = ::GetParent(records[begin]->m_hWnd);
        size_t end = begin + 1;
        while (end < records.size() && ::GetParent(records[end]->m_hWnd) == hParent)
            ++end;
        std::stable_sort(records.begin() + begin, records.begin() + end, CompareTextLength);
        begin = end;
    }
    // One used set for the whole dialog: mnemonics are unique across nested windows.
    std::set<std::wstring> used;
    AssignShortcuts(records, used);
    return static_cast<int>(records.size());
}

bool CShortcutFixer::ApplyTexts()
{
    if (m_pControls) {
        for (const ControlInfo& info : *m_pControls)
            info.ApplyText();
    }
    return true;
}

// --- Latin scheme

bool CShortcutFixer::IsValidShortcutChar(std::wstring text)
{
    if (text.size() != 1)
        return false;
    const wchar_t ch = text[0];
    return (ch >= L'0' && ch <= L'9') || (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

int CShortcutFixer::StripMnemonics(std::wstring& text)
{
    int removed = 0;
    size_t i = text.find(L'&');
    while (i != std::wstring::npos) {
        if (i + 1 < text.size() && text[i + 1] == L'&') {   // "&&" is a literal ampersand
            i = text.find(L'&', i + 2);
            continue;
        }
        text.erase(i, 1);
        ++removed;
        i = text.find(L'&', i);
    }
    return removed;
}

std::wstring CShortcutFixer::GetBracketPair()
{
    return std::wstring();
}

bool CShortcutFixer::IsClosingBracket(wchar_t ch)
{
    static const std::wstring kClosingBrackets = L")";
    return kClosingBrackets.find(ch) != std::wstring::npos;
}

int CShortcutFixer::AssignShortcuts(std::vector<ControlInfo*>& records, std::set<std::wstring>& used)
{
    for (ControlInfo* pInfo : records) {
        if (pInfo == nullptr)
            continue;
        std::wstring lower = pInfo->m_strText;
        for (wchar_t& ch : lower)
            ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
        for (size_t j = 0; j < lower.size(); ++j) {
            const std::wstring candidate(1, lower[j]);
            if (!IsValidShortcutChar(candidate) || used.count(candidate) != 0)
                continue;
            // A later word that starts with the same character takes the mark.
            size_t mark = j;
            size_t wordStart = lower.find(L' ' + candidate, j + 1);
            if (wordStart == std::wstring::npos)
                wordStart = lower.find(L'/' + candidate, j + 1);
            if (wordStart != std::wstring::npos)
                mark = wordStart + 1;
            pInfo->m_strText.insert(mark, 1, L'&');
            pInfo->m_strShortcut = candidate;
            used.insert(candidate);
            pInfo->m_nFlags |= FlagHandled;
            break;
        }
    }
    return static_cast<int>(records.size());
}
