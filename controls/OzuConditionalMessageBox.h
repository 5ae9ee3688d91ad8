// COzuConditionalMessageBox: the system's message box with an optional
// "remember my answer" check box. A ticked answer (anything but Cancel) is
// stored as a REG_DWORD under a product line's registry scope, and every later
// box with the same value name returns it at once without showing anything.
// A marked-up text is shown in a COzuXHTMLStatic laid over the box's own text
// so that its links can be clicked; the system's box gets the plain text.
//
// Use: construct (reads the remembered answer), DoMessageBox once, destroy.
// The window exists only inside DoMessageBox: the system's message-box window
// is subclassed at its creation and rearranged when it initializes.
#pragma once

#include "afxwin.h"
#include "OzuXHTMLStatic.h"
#include "RegKey.h"

#include <cstdint>

// Control id (and caption string id) of the check box.
constexpr UINT IDC_OZU_REMEMBER_ANSWER = 25004;

// Constructor flags.
constexpr unsigned OZU_MB_CHECKBOX = 0x1;   // add the check box
constexpr unsigned OZU_MB_MARKUP = 0x2;     // the text is marked up

class COzuConditionalMessageBox : public CDialog
{
public:
    // hive: 1 HKEY_LOCAL_MACHINE, 2 HKEY_CURRENT_USER (any other value reads
    // and stores nothing); the key is the product line's scope for that hive.
    COzuConditionalMessageBox(const wchar_t* valueName, int hive, int productLineId, unsigned flags);
    ~COzuConditionalMessageBox() override;

    // The remembered answer, or the answer of the box (IDOK, IDYES, ...).
    int DoMessageBox(const wchar_t* text, unsigned type, unsigned helpId);

    virtual COzuXHTMLStatic* GetXHTMLStatic() { return &m_xhtmlStatic; }

    int DluToPixelsX(int n);
    int DluToPixelsY(int n);
    // Width in pixels of the text in the box's font.
    int GetTextWidth(const CString& text);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCheckBoxClicked();

    DECLARE_MESSAGE_MAP()

private:
    void StoreAnswer();
    // Makes the marked-up text control as tall as its text needs, growing the
    // box and moving the buttons down by the same amount.
    void FitMarkupControl(COzuXHTMLStatic& control);
    // A control of the box and its rectangle in client coordinates; false when absent.
    bool GetControlRect(UINT id, CRect& rect, HWND* phControl = nullptr);

    CRegKey m_regKey;               // the scope key, open for reading while it exists
    int32_t m_nAnswer = 0;          // remembered answer, later the box's answer; 0 none
    bool m_bChecked = false;        // an answer is remembered; after the box, the check box state
    bool m_bShowCheckBox = false;
    CString m_strValueName;
    COzuXHTMLStatic m_xhtmlStatic;
    CString m_strMarkupText;
    CString m_strPlainText;
    bool m_bMarkup = false;
    CButton m_checkBox;
    uint32_t m_nDependentId = 0;    // control disabled while the check box is ticked; 0 none

    // Where an answer is stored; the key is created only then.
    HKEY m_hRootKey = nullptr;
    CString m_strKeyPath;
    bool m_bHaveKeyPath = false;
};

// The two texts of a marked-up prompt: every line feed becomes a line feed
// and a blank; the markup text has "<br>" for each such line feed; the plain
// text has "\n" for each "<br>", one more "\n" at its end, and its tags
// removed (a "<" without a ">" after it keeps the rest as it is).
void SplitMessageBoxMarkup(const CString& text, CString& plainText, CString& markupText);
