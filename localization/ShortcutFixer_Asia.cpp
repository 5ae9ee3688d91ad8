#include "ShortcutFixer_Asia.h"

#include <locale>

namespace {

const std::ctype<wchar_t>& CharacterClasses()
{
    return std::use_facet<std::ctype<wchar_t>>(std::locale());
}

// Whether text has a group "<open>&X<close>" whose '&' is at i.
bool IsBracketGroupAt(const std::wstring& text, size_t i, const std::wstring& bracketPair)
{
    return i > 0 && i + 2 < text.size() && text[i - 1] == bracketPair[0] && text[i + 2] == bracketPair[1];
}

}  // namespace

CShortcutFixer_Asia::~CShortcutFixer_Asia() = default;

std::wstring CShortcutFixer_Asia::GetBracketPair()
{
    return L"()";
}

int CShortcutFixer_Asia::StripMnemonics(std::wstring& text)
{
    return StripBracketMnemonics(text, GetBracketPair(), true);
}

int CShortcutFixer_Asia::StripBracketMnemonics(std::wstring& text, const std::wstring& bracketPair, bool removeSingle)
{
    if (bracketPair.size() != 2)
        return 0;
    int removed = 0;
    size_t i = text.find(L'&');
    while (i != std::wstring::npos) {
        if (i + 1 < text.size() && text[i + 1] == L'&') {   // "&&" is a literal ampersand
            i = text.find(L'&', i + 2);
        } else if (IsBracketGroupAt(text, i, bracketPair)) {
            text.erase(i - 1, 4);   // the whole group, whatever its letter
            ++removed;
            i = text.find(L'&', i - 1);
        } else if (removeSingle) {
            text.erase(i, 1);
            ++removed;
            i = text.find(L'&', i);
        } else {
            i = text.find(L'&', i + 1);
        }
    }
    return removed;
}

std::wstring CShortcutFixer_Asia::GetFreeLetter(std::set<std::wstring>& used)
{
    const std::ctype<wchar_t>& classes = CharacterClasses();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        std::wstring lower(1, classes.tolower(letter));
        if (used.count(lower) == 0) {
            used.insert(std::move(lower));
            return std::wstring(1, letter);
        }
    }
    return std::wstring();
}

int CShortcutFixer_Asia::AssignShortcuts(std::vector<ControlInfo*>& records, std::set<std::wstring>& used)
{
    const std::wstring bracketPair = GetBracketPair();
    if (bracketPair.size() != 2)
        return 0;
    // Opening bracket, '&', the letter's place, closing bracket.
    std::wstring pattern = bracketPair;
    pattern.insert(1, L"& ");
    const std::ctype<wchar_t>& classes = CharacterClasses();

    for (ControlInfo* pInfo : records) {
        if (pInfo == nullptr)
            continue;
        // A group of the own pair in the text as read keeps the whole text,
        // when its letter is still free.
        const std::wstring& initial = pInfo->m_strInitialText;
        bool kept = false;
        for (size_t i = initial.find(L'&'); i != std::wstring::npos;) {
            if (i + 1 < initial.size() && initial[i + 1] == L'&') {
                i = initial.find(L'&', i + 2);
                continue;
            }
            if (IsBracketGroupAt(initial, i, bracketPair)) {
                std::wstring key(1, classes.tolower(initial[i + 1]));
                if (used.count(key) == 0) {
                    pInfo->m_strText = initial;
                    pInfo->m_strShortcut = key;
                    used.insert(std::move(key));
                    pInfo->m_nFlags |= FlagHandled;
                    kept = true;
                    break;
                }
            }
            i = initial.find(L'&', i + 1);
        }
        if (kept)
            continue;

        // The group goes behind the last letter, digit or closing bracket, so
        // trailing dots, colons and blanks stay at the end.
        std::wstring& text = pInfo->m_strText;
        size_t insertAt = std::wstring::npos;
        for (size_t n = text.size(); n > 0; --n) {
            if (classes.is(std::ctype_base::alnum, text[n - 1]) || IsClosingBracket(text[n - 1])) {
                insertAt = n;
                break;
            }
        }
        const std::wstring letter = insertAt == std::wstring::npos ? std::wstring() : GetFreeLetter(used);
        if (letter.empty()) {
            pInfo->m_strShortcut.clear();
            pInfo->m_nFlags |= FlagHandled;
            continue;
        }
        std::wstring group = pattern;
        group[2] = letter[0];
        text.insert(insertAt, group);
        pInfo->m_strShortcut.assign(1, classes.tolower(letter[0]));
        pInfo->m_nFlags |= FlagHandled;
    }
    return static_cast<int>(records.size());
}
