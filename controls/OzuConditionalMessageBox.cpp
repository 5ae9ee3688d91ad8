#include "OzuConditionalMessageBox.h"

#include "LocalizedStrings.h"
#include "ProductConfig.h"

#include <climits>
#include <string>

namespace {

// The buttons of the system's message boxes (IDOK ... IDHELP) and one further control.
const UINT MessageBoxButtonIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xCAFE};
constexpr UINT kWideControlId = 0xCAFE;

// Window class of the system's dialogs, message boxes included.
const wchar_t kDialogClass[] = L"#32770";

}  // namespace

void SplitMessageBoxMarkup(const CString& text, CString& plainText, CString& markupText)
{
    plainText = text;
    plainText.Replace(L"\n", L"\n ");
    markupText = plainText;
    markupText.Replace(L"\n", L"<br>");

    plainText.Replace(L"<br>", L"\n");
    plainText += L"\n";
    for (;;) {
        const int open = plainText.Find(L'<');
        if (open < 0)
            break;
        const int close = plainText.Find(L'>', open);
        if (close < 0)
            break;
        plainText.Delete(open, close - open + 1);
    }
}

BEGIN_MESSAGE_MAP(COzuConditionalMessageBox, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_INITDIALOG, &COzuConditionalMessageBox::HandleInitDialog)
    ON_BN_CLICKED(IDC_OZU_REMEMBER_ANSWER, &COzuConditionalMessageBox::OnCheckBoxClicked)
END_MESSAGE_MAP()

COzuConditionalMessageBox::COzuConditionalMessageBox(const wchar_t* valueName, int hive, int productLineId,
                                                     unsigned flags)
    : m_strValueName(valueName)
{
    m_hRootKey = hive == 1 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;

    CProductRegistry registry(false);
    std::wstring path;
    if (SUCCEEDED(registry.GetScopeKeyPath(hive, productLineId, &path))) {
        m_strKeyPath = path;
        m_bHaveKeyPath = true;
        // Read only: asking a question must not create the key (it is made
        // when an answer is stored).
        if (m_regKey.Open(m_hRootKey, m_strKeyPath, KEY_READ) == ERROR_SUCCESS) {
            DWORD type = REG_NONE;
            DWORD value = 0;
            DWORD size = sizeof(value);
            const LONG result = ::RegQueryValueExW(m_regKey, m_strValueName, nullptr, &type,
                                                   reinterpret_cast<BYTE*>(&value), &size);
            if (result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value))
                m_nAnswer = static_cast<int32_t>(value);
        }
    }

    m_bChecked = m_nAnswer != 0 && m_nAnswer != IDCANCEL;
    m_bMarkup = (flags & OZU_MB_MARKUP) != 0;
    m_bShowCheckBox = (flags & OZU_MB_CHECKBOX) != 0;
}

COzuConditionalMessageBox::~COzuConditionalMessageBox()
{
    m_regKey.Close();
}

int COzuConditionalMessageBox::DoMessageBox(const wchar_t* text, unsigned type, unsigned helpId)
{
    if (m_bChecked)
        return m_nAnswer;

    if (m_bMarkup)
        SplitMessageBoxMarkup(CString(text), m_strPlainText, m_strMarkupText);

    // Only the system's message-box window is taken, and the hook ends with
    // the box also when no window was created (a box refused or shown
    // another way), so it cannot catch a later window of this thread.
    AfxHookWindowCreate(this, kDialogClass);
    m_nAnswer = AfxMessageBox(m_bMarkup ? m_strPlainText.GetString() : text, type, helpId);
    AfxUnhookWindowCreate();

    if (m_bChecked && m_nAnswer != IDCANCEL)
        StoreAnswer();
    return m_nAnswer;
}

void COzuConditionalMessageBox::StoreAnswer()
{
    if (!m_bHaveKeyPath)
        return;
    if (m_regKey.Create(m_hRootKey, m_strKeyPath, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE) !=
        ERROR_SUCCESS)
        return;
    const DWORD value = static_cast<DWORD>(m_nAnswer);
    // A failed store only means the question comes again.
    ::RegSetValueExW(m_regKey, m_strValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof(value));
}

int COzuConditionalMessageBox::DluToPixelsX(int n)
{
    RECT rect = {0, 0, n, 0};
    ::MapDialogRect(m_hWnd, &rect);
    return rect.right - rect.left;
}

int COzuConditionalMessageBox::DluToPixelsY(int n)
{
    RECT rect = {0, 0, 0, n};
    ::MapDialogRect(m_hWnd, &rect);
    return rect.bottom - rect.top;
}

int COzuConditionalMessageBox::GetTextWidth(const CString& text)
{
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CClientDC dc(this);
    HGDIOBJ hOld = hFont != nullptr ? dc.SelectObject(hFont) : nullptr;
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &size);
    if (hOld != nullptr)
        dc.SelectObject(hOld);
    return size.cx;
}

int COzuConditionalMessageBox::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    AfxUnhookWindowCreate();
    return CDialog::OnCreate(lpCreateStruct);
}

void COzuConditionalMessageBox::OnDestroy()
{
    if (m_checkBox.m_hWnd != nullptr)
        m_bChecked = m_checkBox.SendMessage(BM_GETCHECK) == BST_CHECKED;
    CDialog::OnDestroy();
}

void COzuConditionalMessageBox::OnCheckBoxClicked()
{
    if (m_nDependentId == 0)
        return;
    HWND hDependent = ::GetDlgItem(m_hWnd, static_cast<int>(m_nDependentId));
    if (hDependent != nullptr)
        ::EnableWindow(hDependent, m_checkBox.SendMessage(BM_GETCHECK) != BST_CHECKED);
}

bool COzuConditionalMessageBox::GetControlRect(UINT id, CRect& rect, HWND* phControl)
{
    HWND hControl = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (phControl != nullptr)
        *phControl = hControl;
    if (hControl == nullptr)
        return false;
    ::GetWindowRect(hControl, &rect);
    ScreenToClient(&rect);
    return true;
}

void COzuConditionalMessageBox::FitMarkupControl(COzuXHTMLStatic& control)
{
    // The system sized the text control for the plain text; the markup breaks
    // its lines also where one run ends and the next begins, so it can need
    // more lines. Measured with the control's own layout, the control, the box
    // and everything below the text grow by what is missing.
    CRect textRect;
    control.GetClientRect(&textRect);
    CString text;
    control.GetWindowText(text);
    HFONT hFont = reinterpret_cast<HFONT>(control.SendMessage(WM_GETFONT));
    const int missing = control.MeasureMarkup(textRect, text, hFont) - textRect.Height();
    if (missing <= 0)
        return;

    CRect window;
    control.GetWindowRect(&window);
    ::SetWindowPos(control.m_hWnd, nullptr, 0, 0, window.Width(), window.Height() + missing,
                   SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + missing, SWP_NOMOVE | SWP_NOZORDER);
    for (UINT id : MessageBoxButtonIds) {
        CRect rect;
        HWND hButton = nullptr;
        if (GetControlRect(id, rect, &hButton))
            ::MoveWindow(hButton, rect.left, rect.top + missing, rect.Width(), rect.Height(), TRUE);
    }
}

LRESULT COzuConditionalMessageBox::HandleInitDialog(WPARAM, LPARAM)
{
    // The system lays out its box first; everything below rearranges that.
    const LRESULT result = Default();

    if (m_bMarkup) {
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != nullptr;
             hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            CString childText;
            const int length = ::GetWindowTextLengthW(hChild);
            ::GetWindowTextW(hChild, childText.GetBuffer(length + 1), length + 1);
            childText.ReleaseBuffer();
            if (childText == m_strPlainText) {
                COzuXHTMLStatic* pStatic = GetXHTMLStatic();
                if (pStatic->SubclassWindow(hChild)) {
                    pStatic->SetWindowText(m_strMarkupText);
                    FitMarkupControl(*pStatic);
                }
                break;
            }
        }
    }

    CRect client;
    GetClientRect(&client);
    CString caption;
    LoadLocalizedString(caption, IDC_OZU_REMEMBER_ANSWER);
    CRect checkRect(client.left + DluToPixelsX(7), 0, 0, DluToPixelsY(14));
    checkRect.right = checkRect.left + GetTextWidth(caption) + DluToPixelsX(12);

    // The box is widened for the caption also when no check box is shown.
    const int neededWidth = checkRect.Width() + 2 * DluToPixelsX(7);
    const int growth = neededWidth - client.Width();
    if (growth > 0) {
        CRect window;
        GetWindowRect(&window);
        MoveWindow(window.left, window.top, window.Width() + growth, window.Height(), TRUE);
    }

    int extraHeight = 0;
    if (m_bShowCheckBox &&
        m_checkBox.Create(caption, WS_CHILD | BS_AUTOCHECKBOX, checkRect, this, IDC_OZU_REMEMBER_ANSWER)) {
        m_checkBox.SendMessage(WM_SETFONT, static_cast<WPARAM>(SendMessage(WM_GETFONT)), TRUE);
        extraHeight = checkRect.Height() + DluToPixelsY(7);
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + extraHeight,
                     SWP_NOMOVE | SWP_NOZORDER);
    }

    int buttonsTop = INT_MAX;
    for (UINT id : MessageBoxButtonIds) {
        CRect rect;
        if (GetControlRect(id, rect) && rect.top < buttonsTop)
            buttonsTop = rect.top;
    }
    if (buttonsTop == INT_MAX)
        return result;

    for (UINT id : MessageBoxButtonIds) {
        CRect rect;
        HWND hButton = nullptr;
        if (!GetControlRect(id, rect, &hButton))
            continue;
        if (growth > 0)
            rect.OffsetRect(growth / 2, 0);
        rect.OffsetRect(0, extraHeight);
        if (id == kWideControlId && growth > 0) {
            rect.left -= neededWidth / 2;
            rect.right += neededWidth / 2;
        }
        ::MoveWindow(hButton, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    }

    if (m_checkBox.m_hWnd != nullptr) {
        // The check box takes the place where the buttons began.
        checkRect.OffsetRect(0, buttonsTop);
        m_checkBox.MoveWindow(&checkRect, TRUE);
        m_checkBox.ShowWindow(SW_SHOW);
    }
    return result;
}
