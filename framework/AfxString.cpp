#include "AfxString.h"
#include "WinApp.h"

#include <cwchar>
#include <cwctype>
#include <algorithm>
#include <cstdio>

namespace {

// Clamps a (first, count) pair to a string of length len.
void ClampRange(int len, int& first, int& count)
{
    if (first < 0)
        first = 0;
    if (first > len)
        first = len;
    if (count < 0)
        count = 0;
    if (count > len - first)
        count = len - first;
}

bool IsTrimSpace(wchar_t ch)
{
    return std::iswspace(static_cast<wint_t>(ch)) != 0;
}

}  // namespace

CString::CString(LPCWSTR pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(wchar_t ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString::CString(LPCSTR psz)
{
    if (psz == nullptr || *psz == '\0')
        return;
    int n = ::MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    if (n <= 1)
        return;
    m_str.resize(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, psz, -1, &m_str[0], n);
    m_str.resize(static_cast<size_t>(n - 1));
}

LPWSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinBufLength));
    return &m_str[0];
}

LPWSTR CString::GetBufferSetLength(int nLength)
{
    m_str.resize(static_cast<size_t>(std::max(nLength, 0)));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    size_t len;
    if (nNewLength < 0)
        len = wcsnlen(m_str.c_str(), m_str.size());
    else
        len = std::min(static_cast<size_t>(nNewLength), m_str.size());
    m_str.resize(len);
}

void CString::Append(LPCWSTR pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.append(pch, static_cast<size_t>(nLength));
}

int CString::Compare(LPCWSTR psz) const
{
    return wcscmp(m_str.c_str(), psz ? psz : L"");
}

int CString::CompareNoCase(LPCWSTR psz) const
{
    return _wcsicmp(m_str.c_str(), psz ? psz : L"");
}

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(LPCWSTR pszSub, int nStart) const
{
    if (pszSub == nullptr || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(LPCWSTR pszCharSet) const
{
    if (pszCharSet == nullptr || *pszCharSet == L'\0')
        return -1;
    size_t pos = m_str.find_first_of(pszCharSet);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    ClampRange(GetLength(), nFirst, nCount);
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    int len = GetLength();
    nCount = std::max(0, std::min(nCount, len));
    return Mid(len - nCount, nCount);
}

int CString::Replace(wchar_t chOld, wchar_t chNew)
{
    int n = 0;
    for (wchar_t& ch : m_str) {
        if (ch == chOld) {
            ch = chNew;
            ++n;
        }
    }
    return n;
}

int CString::Replace(LPCWSTR pszOld, LPCWSTR pszNew)
{
    if (pszOld == nullptr || *pszOld == L'\0')
        return 0;
    const std::wstring oldText(pszOld);
    const std::wstring newText(pszNew ? pszNew : L"");
    int n = 0;
    std::wstring result;
    size_t start = 0;
    for (;;) {
        size_t pos = m_str.find(oldText, start);
        if (pos == std::wstring::npos)
            break;
        result.append(m_str, start, pos - start);
        result += newText;
        start = pos + oldText.size();
        ++n;
    }
    if (n > 0) {
        result.append(m_str, start, std::wstring::npos);
        m_str.swap(result);
    }
    return n;
}

int CString::Remove(wchar_t ch)
{
    size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, wchar_t ch)
{
    nIndex = std::max(0, std::min(nIndex, GetLength()));
    m_str.insert(static_cast<size_t>(nIndex), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCWSTR psz)
{
    nIndex = std::max(0, std::min(nIndex, GetLength()));
    if (psz)
        m_str.insert(static_cast<size_t>(nIndex), psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    ClampRange(GetLength(), nIndex, nCount);
    m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    return GetLength();
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(wchar_t ch)
{
    return TrimRight(ch).TrimLeft(ch);
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_str.size() && IsTrimSpace(m_str[i]))
        ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(wchar_t ch)
{
    size_t i = 0;
    while (i < m_str.size() && m_str[i] == ch)
        ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    size_t n = m_str.size();
    while (n > 0 && IsTrimSpace(m_str[n - 1]))
        --n;
    m_str.resize(n);
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    size_t n = m_str.size();
    while (n > 0 && m_str[n - 1] == ch)
        --n;
    m_str.resize(n);
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_str.empty())
        ::CharUpperBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_str.empty())
        ::CharLowerBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

// --- Formatting. _vscwprintf/_vsnwprintf are the C runtime's own functions
// (MS conversion rules), not the C99 ones that MinGW's stdio defaults to.

void CString::Format(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::Format(UINT nFormatID, ...)
{
    CString format;
    if (!format.LoadString(nFormatID))
        return;
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCWSTR pszFormat, va_list args)
{
    m_str.clear();
    AppendFormatV(pszFormat, args);
}

void CString::AppendFormatV(LPCWSTR pszFormat, va_list args)
{
    if (pszFormat == nullptr)
        return;
    va_list counting;
    va_copy(counting, args);
    int n = _vscwprintf(pszFormat, counting);
    va_end(counting);
    if (n <= 0)
        return;
    size_t old = m_str.size();
    m_str.resize(old + static_cast<size_t>(n) + 1);
    va_list writing;
    va_copy(writing, args);
    int written = _vsnwprintf(&m_str[old], static_cast<size_t>(n) + 1, pszFormat, writing);
    va_end(writing);
    m_str.resize(old + static_cast<size_t>(written < 0 ? 0 : std::min(written, n)));
}

void CString::FormatMessage(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatMessageV(pszFormat, &args);
    va_end(args);
}

void CString::FormatMessage(UINT nFormatID, ...)
{
    CString format;
    if (!format.LoadString(nFormatID))
        return;
    va_list args;
    va_start(args, nFormatID);
    FormatMessageV(format, &args);
    va_end(args);
}

void CString::FormatMessageV(LPCWSTR pszFormat, va_list* pArgList)
{
    m_str.clear();
    if (pszFormat == nullptr)
        return;
    LPWSTR buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, pszFormat, 0, 0,
                               reinterpret_cast<LPWSTR>(&buffer), 0, pArgList);
    if (n > 0 && buffer)
        m_str.assign(buffer, n);
    if (buffer)
        ::LocalFree(buffer);
}

// --- Resources

LPCWSTR AfxGetStringResourceImage(HINSTANCE hInstance, UINT nID, int* pnLength)
{
    if (pnLength)
        *pnLength = 0;
    // A string-table block holds 16 strings: block nID/16 + 1, entry nID % 16.
    HRSRC hRes = ::FindResourceW(hInstance, MAKEINTRESOURCEW((nID >> 4) + 1), MAKEINTRESOURCEW(6) /* RT_STRING */);
    if (hRes == nullptr)
        return nullptr;
    DWORD size = ::SizeofResource(hInstance, hRes);
    HGLOBAL hGlobal = ::LoadResource(hInstance, hRes);
    const WORD* p = hGlobal ? static_cast<const WORD*>(::LockResource(hGlobal)) : nullptr;
    if (p == nullptr)
        return nullptr;
    const size_t words = size / sizeof(WORD);
    size_t pos = 0;
    for (UINT i = 0; i < (nID & 15); ++i) {
        if (pos >= words)
            return nullptr;
        pos += 1 + static_cast<size_t>(p[pos]);
    }
    if (pos >= words)
        return nullptr;
    size_t len = p[pos];
    if (len == 0 || len > words - pos - 1)
        return nullptr;
    if (pnLength)
        *pnLength = static_cast<int>(len);
    return reinterpret_cast<LPCWSTR>(p + pos + 1);
}

BOOL CString::LoadString(UINT nID)
{
    HINSTANCE hInstance = AfxFindStringResourceHandle(nID);
    if (hInstance == nullptr)
        return FALSE;
    return LoadString(hInstance, nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
    int len = 0;
    LPCWSTR image = AfxGetStringResourceImage(hInstance, nID, &len);
    if (image == nullptr)
        return FALSE;
    m_str.assign(image, static_cast<size_t>(len));
    return TRUE;
}

// --- Operators

CString operator+(const CString& s1, const CString& s2) { CString r(s1); r += s2; return r; }
CString operator+(const CString& s1, LPCWSTR s2) { CString r(s1); r += s2; return r; }
CString operator+(LPCWSTR s1, const CString& s2) { CString r(s1); r += s2; return r; }
CString operator+(const CString& s1, wchar_t ch) { CString r(s1); r += ch; return r; }
CString operator+(wchar_t ch, const CString& s2) { CString r(ch); r += s2; return r; }

bool operator==(const CString& s1, const CString& s2) { return s1.GetStdString() == s2.GetStdString(); }
bool operator==(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) == 0; }
bool operator==(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
bool operator!=(const CString& s1, const CString& s2) { return !(s1 == s2); }
bool operator!=(const CString& s1, LPCWSTR s2) { return !(s1 == s2); }
bool operator!=(LPCWSTR s1, const CString& s2) { return !(s1 == s2); }
bool operator<(const CString& s1, const CString& s2) { return s1.GetStdString() < s2.GetStdString(); }
