// CShortcutFixer: repairs the keyboard mnemonics ('&' marks) of a dialog
// after its texts were translated in place. It collects the dialog's controls
// (nested child windows included), decides which ones need a mnemonic
// (buttons, check boxes, radio buttons and the label in front of each input
// control), strips the marks of labels, buttons, group boxes and static texts
// that must not carry one, assigns mnemonics that are unique in the whole
// dialog and writes back only the texts that changed. PreTranslateMessage
// routes Alt+letter and Alt+digit to the control that carries the mnemonic.
//
// This class carries the Latin scheme (a '&' before a character of the text);
// CShortcutFixer_Asia and CShortcutFixer_Chinese replace only the scheme
// operations. The scheme operations never touch a window, so they work on
// ControlInfo records alone.
//
// Use: after TranslateWindow, SetWindow(dialog), optionally exclude control
// ids, Fix(); pass pre-translated messages to PreTranslateMessage first.
// UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// Sent to the parent of every candidate control; wParam: the control id,
// lParam: ShortcutFixerQuery*. The control is recorded only when both fields
// are non-zero after the call.
constexpr UINT WM_SHORTCUTFIXER_QUERYCONTROL = WM_USER + 0x124;
// Posted to the dialog after every Fix on a valid dialog window; wParam and
// lParam 0.
constexpr UINT WM_SHORTCUTFIXER_DONE = WM_USER + 0x125;

struct ShortcutFixerQuery
{
    BOOL bInclude;   // preset TRUE
    BOOL bAllowed;   // preset FALSE for an excluded id, TRUE otherwise
};

class CShortcutFixer
{
public:
    // Control types, from the class name (and a button's style).
    enum ControlType : int32_t {
        TypeOther = 0,
        TypePushButton = 1,
        TypeGroupBox = 2,
        TypeCheckBox = 3,
        TypeRadioButton = 4,
        TypeComboBox = 5,
        TypeEdit = 6,
        TypeStatic = 7,
        TypeDateTimePicker = 8,
        TypeListView = 9,
        TypeListBox = 10,
        TypeComboBoxEx = 11,
    };

    // Record flags.
    static constexpr uint32_t FlagVisible = 1;        // IsWindowVisible at marking time
    static constexpr uint32_t FlagHandled = 2;        // stripping or the scheme dealt with it
    static constexpr uint32_t FlagNeedsShortcut = 4;  // gets a mnemonic from the scheme

    class ControlInfo
    {
    public:
        explicit ControlInfo(HWND hWnd = nullptr) : m_hWnd(hWnd) {}

        std::wstring GetShortcut() const { return m_strShortcut; }
        // Writes the working text to the window only when it differs from
        // the text read at the start of the run.
        void ApplyText() const;

        HWND m_hWnd;
        uint32_t m_nFlags = 0;
        int32_t m_nType = TypeOther;
        uint32_t m_dwStyle = 0;
        std::wstring m_strClassName;
        std::wstring m_strShortcut;      // empty, or one lower-case character
        std::wstring m_strInitialText;   // as read at the start of the run
        std::wstring m_strText;          // working text
    };

    // The type of a control of class className with window style style.
    static int32_t ControlTypeOf(const wchar_t* className, uint32_t style);

    CShortcutFixer();
    virtual ~CShortcutFixer();
    CShortcutFixer(const CShortcutFixer&) = delete;
    CShortcutFixer& operator=(const CShortcutFixer&) = delete;

    virtual HWND SetWindow(HWND hDialog);
    virtual void SetExcludedIds(std::set<UINT> ids);
    virtual void ClearExcludedIds();
    virtual void AddExcludedId(UINT id);
    virtual void RemoveExcludedId(UINT id);
    // The whole run; posts WM_SHORTCUTFIXER_DONE when the dialog window is
    // valid. TRUE only when every step succeeded. A call made while a run is
    // under way (from a control's handler) is refused: FALSE, nothing posted.
    virtual bool Fix();
    // Alt+A..Z or Alt+0..9 (WM_SYSKEYDOWN): hands a copy of the message,
    // addressed to the control with that mnemonic, to IsDialogMessageW of
    // the control's parent; TRUE then.
    virtual bool PreTranslateMessage(MSG* pMsg);

    // Pipeline steps, in the order Fix runs them.
    virtual bool CreateControlList();
    virtual bool CollectControls();
    virtual bool ReadControlInfo();
    virtual int MarkControls();
    virtual int MarkVisibleControls();
    virtual int MarkControlsNeedingShortcuts();
    virtual int AssignAllShortcuts();

    // The first record of the window, in list order; null when none.
    virtual ControlInfo* FindControl(HWND hWnd);
    // The label (static text or check box) in front of an input control; a
    // static that shows '&' literally (SS_NOPREFIX) labels nothing.
    virtual ControlInfo* FindLabelFor(ControlInfo* pInfo);

    // --- Scheme operations (no window calls)
    // Gives mnemonics to the records in the order given; used holds the
    // lower-case mnemonics already given in this run. Returns the count.
    virtual int AssignShortcuts(std::vector<ControlInfo*>& records, std::set<std::wstring>& used);
    // TRUE for exactly one character '0'-'9', 'a'-'z' or 'A'-'Z'.
    virtual bool IsValidShortcutChar(std::wstring text);
    // Removes the scheme's marks; returns how many it removed ("&&" stays).
    virtual int StripMnemonics(std::wstring& text);
    // Empty for the Latin scheme.
    virtual std::wstring GetBracketPair();

    virtual bool ApplyTexts();
    virtual bool IsClosingBracket(wchar_t ch);

    HWND GetDialogWindow() const { return m_hDialog; }
    const std::list<ControlInfo>* GetControlList() const { return m_pControls.get(); }

protected:
    // Labels already found during one marking pass, by input record (null: no label).
    using LabelMemo = std::unordered_map<const ControlInfo*, ControlInfo*>;
    // FindLabelFor that reuses and extends memo, so that a pass over all
    // controls steps back over each window once.
    ControlInfo* FindLabelWithMemo(ControlInfo* pInfo, LabelMemo& memo);
    // The window before hWnd among its siblings (GW_HWNDPREV), as collected.
    HWND PreviousSibling(HWND hWnd) const;
    // Offers one window to the list (after asking its parent).
    void AddControl(HWND hWnd);
    // Offers every descendant of hRoot, level by level.
    void CollectChildWindows(HWND hRoot);
    // Sort order of AssignAllShortcuts: a strictly shorter working text first.
    static bool CompareTextLength(const ControlInfo* a, const ControlInfo* b);
    // Removes the record's marks when it has any (on a copy of its working
    // text); clears its shortcut and sets FlagHandled then.
    void StripRecord(ControlInfo& info);

    HWND m_hDialog = nullptr;
    std::unique_ptr<std::list<ControlInfo>> m_pControls;
    std::set<UINT> m_excludedIds;
    // The first record of each window in m_pControls, for FindControl.
    std::unordered_map<HWND, ControlInfo*> m_recordOfWindow;
    // Each collected window's previous sibling (null for the first), as the
    // collection walked them: the label search steps back without asking the
    // window manager once more per step.
    std::unordered_map<HWND, HWND> m_previousSibling;
    bool m_bFixing = false;   // a Fix is running
    // The marking pass's memo of labels found, null outside that pass.
    LabelMemo* m_pLabelMemo = nullptr;
};

extern CShortcutFixer g_ShortcutFixer;
