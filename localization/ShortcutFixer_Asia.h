// CShortcutFixer_Asia: the mnemonic scheme of Japanese and Korean dialogs. A
// mnemonic is a bracket group "(&X)" with a letter X from A to Z, placed after
// the last letter, digit or ')' of the text; a group the text already had is
// kept when its letter is still free. Only the scheme operations differ from
// CShortcutFixer.
#pragma once

#include "ShortcutFixer.h"

class CShortcutFixer_Asia : public CShortcutFixer
{
public:
    CShortcutFixer_Asia() = default;
    ~CShortcutFixer_Asia() override;

    int AssignShortcuts(std::vector<ControlInfo*>& records, std::set<std::wstring>& used) override;
    // Bracket groups of the own pair, then every other single '&'.
    int StripMnemonics(std::wstring& text) override;
    std::wstring GetBracketPair() override;
    // The first letter from 'A' to 'Z' whose lower case is not used yet, in
    // upper case (and now used); empty when all 26 are taken.
    virtual std::wstring GetFreeLetter(std::set<std::wstring>& used);

    // Removes the groups "<open>&X<close>" of bracketPair (a group counts
    // once) and, when removeSingle is set, every other single '&'. "&&"
    // stays. A pair of other than two characters changes nothing.
    static int StripBracketMnemonics(std::wstring& text, const std::wstring& bracketPair, bool removeSingle);
};

extern CShortcutFixer_Asia g_ShortcutFixerAsia;
