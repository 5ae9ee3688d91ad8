// CString: the layer's wide, value-semantics string for texts and paths.
//
// Formatting follows the platform C runtime's own rules (_vsnwprintf), not
// MinGW's C99 printf: in a wide format "%s" takes a wide string and "%S" a
// narrow one, which is what format strings kept in resources expect.
// CString cannot be passed through "..." itself: pass s.GetString() or
// (LPCWSTR)s for a %s argument.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

class CString
{
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;

    CString(LPCWSTR psz) { if (psz) m_str = psz; }       // null gives the empty string
    CString(LPCWSTR pch, int nLength);                    // at most nLength characters
    CString(wchar_t ch, int nRepeat = 1);
    explicit CString(LPCSTR psz);                         // narrow text in the ANSI code page
    CString(const std::wstring& str) : m_str(str) {}

    CString& operator=(LPCWSTR psz) { m_str = psz ? psz : L""; return *this; }
    CString& operator=(wchar_t ch) { m_str.assign(1, ch); return *this; }

    // --- Access
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t GetAt(int nIndex) const { return m_str.at(static_cast<size_t>(nIndex)); }
    void SetAt(int nIndex, wchar_t ch) { m_str.at(static_cast<size_t>(nIndex)) = ch; }
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }
    LPCWSTR GetString() const { return m_str.c_str(); }
    operator LPCWSTR() const { return m_str.c_str(); }
    const std::wstring& GetStdString() const { return m_str; }

    // --- Buffer access: write up to nMinBufLength characters, then ReleaseBuffer.
    LPWSTR GetBuffer(int nMinBufLength = 0);
    LPWSTR GetBufferSetLength(int nLength);
    // The length becomes nNewLength, or (for -1) that of the NUL-terminated text in the buffer.
    void ReleaseBuffer(int nNewLength = -1);

    // --- Concatenation
    CString& operator+=(const CString& str) { m_str += str.m_str; return *this; }
    CString& operator+=(LPCWSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }
    void Append(LPCWSTR psz) { *this += psz; }
    void Append(LPCWSTR pch, int nLength);
    void AppendChar(wchar_t ch) { m_str += ch; }

    // --- Comparison
    int Compare(LPCWSTR psz) const;        // like wcscmp: <0, 0, >0
    int CompareNoCase(LPCWSTR psz) const;  // like _wcsicmp

    // --- Search (character indexes; -1 when not found)
    int Find(wchar_t ch, int nStart = 0) const;
    int Find(LPCWSTR pszSub, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(LPCWSTR pszCharSet) const;

    // --- Extraction (counts are clamped to the string)
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    // --- Modification
    int Replace(wchar_t chOld, wchar_t chNew);           // number replaced
    int Replace(LPCWSTR pszOld, LPCWSTR pszNew);         // number replaced; empty old replaces nothing
    int Remove(wchar_t ch);                              // number removed
    int Insert(int nIndex, wchar_t ch);                  // new length
    int Insert(int nIndex, LPCWSTR psz);
    int Delete(int nIndex, int nCount = 1);              // new length
    CString& Trim();                                     // white space at both ends
    CString& Trim(wchar_t ch);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& MakeUpper();
    CString& MakeLower();

    // --- Formatting (platform C runtime semantics, see above)
    void Format(LPCWSTR pszFormat, ...);
    void Format(UINT nFormatID, ...);                    // format string from the string table
    void AppendFormat(LPCWSTR pszFormat, ...);
    void FormatV(LPCWSTR pszFormat, va_list args);
    void AppendFormatV(LPCWSTR pszFormat, va_list args);
    // %1, %2 ... inserts (FormatMessageW with a format string).
    void FormatMessage(LPCWSTR pszFormat, ...);
    void FormatMessage(UINT nFormatID, ...);
    void FormatMessageV(LPCWSTR pszFormat, va_list* pArgList);

    // --- Resources: the string table entry nID of the module that holds it
    // (AfxFindStringResourceHandle), or of hInstance. FALSE (text unchanged)
    // when there is no such string.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

private:
    std::wstring m_str;
};

CString operator+(const CString& s1, const CString& s2);
CString operator+(const CString& s1, LPCWSTR s2);
CString operator+(LPCWSTR s1, const CString& s2);
CString operator+(const CString& s1, wchar_t ch);
CString operator+(wchar_t ch, const CString& s2);

bool operator==(const CString& s1, const CString& s2);
bool operator==(const CString& s1, LPCWSTR s2);
bool operator==(LPCWSTR s1, const CString& s2);
bool operator!=(const CString& s1, const CString& s2);
bool operator!=(const CString& s1, LPCWSTR s2);
bool operator!=(LPCWSTR s1, const CString& s2);
bool operator<(const CString& s1, const CString& s2);

typedef CString CStringW;

// The string-table image of nID in hInstance: pointer to its characters (not
// NUL-terminated) and its length; null when the module has no such string or
// the string is empty. Bounds-checked against the resource's size.
LPCWSTR AfxGetStringResourceImage(HINSTANCE hInstance, UINT nID, int* pnLength);
