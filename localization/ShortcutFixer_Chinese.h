// CShortcutFixer_Chinese: the Asian scheme with bracket groups "[&X]"; it also
// removes the groups "(&X)" that a text may carry from the Asian scheme.
#pragma once

#include "ShortcutFixer_Asia.h"

class CShortcutFixer_Chinese : public CShortcutFixer_Asia
{
public:
    int StripMnemonics(std::wstring& text) override;
    std::wstring GetBracketPair() override;
};

extern CShortcutFixer_Chinese g_ShortcutFixerChinese;
