#include "WindowTextCache.h"

std::wstring CWindowTextCache::GetText(HWND hWnd)
{
    if (hWnd == nullptr)
        return std::wstring();
    return m_texts[hWnd];
}

bool CWindowTextCache::HasText(HWND hWnd)
{
    return !GetText(hWnd).empty();
}

void CWindowTextCache::SetText(HWND hWnd, std::wstring text)
{
    if (hWnd != nullptr)
        m_texts[hWnd] = std::move(text);
}

bool CWindowTextCache::HasComboItems(HWND hWnd) const
{
    return m_comboItems.find(hWnd) != m_comboItems.end();
}

bool CWindowTextCache::GetComboItems(HWND hWnd, std::vector<std::wstring>& items) const
{
    if (hWnd == nullptr)
        return false;
    auto it = m_comboItems.find(hWnd);
    if (it == m_comboItems.end())
        return false;
    items = it->second;
    return true;
}

void CWindowTextCache::SetComboItems(HWND hWnd, const std::vector<std::wstring>& items)
{
    if (hWnd != nullptr)
        m_comboItems[hWnd] = items;
}

void CWindowTextCache::SetLeftText(HWND hWnd, std::wstring text)
{
    if (hWnd != nullptr)
        m_leftTexts[hWnd] = std::move(text);
}

bool CWindowTextCache::ChangedSinceLeft(HWND hWnd, const std::wstring& current) const
{
    auto it = m_leftTexts.find(hWnd);
    return it != m_leftTexts.end() && it->second != current;
}
