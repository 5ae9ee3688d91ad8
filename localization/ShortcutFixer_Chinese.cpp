#include "ShortcutFixer_Chinese.h"

int CShortcutFixer_Chinese::StripMnemonics(std::wstring& text)
{
    // Asian groups go first (single marks stay for the second pass), then the
    // own groups and every other single '&'.
    const int asian = StripBracketMnemonics(text, L"()", false);
    return asian + StripBracketMnemonics(text, GetBracketPair(), true);
}

std::wstring CShortcutFixer_Chinese::GetBracketPair()
{
    return L"[]";
}
