// CFile: a binary file handle, and the layer's exceptions.
//
// Failures of the constructor that opens, of Read, Write, Seek and
// GetLength throw a CFileException allocated with new; the catcher deletes it:
//     try { file.Seek(offset, CFile::begin); file.Read(buf, n); }
//     catch (CFileException* e) { e->Delete(); ... }
// Open reports failure by its result (and fills *pError when given).
#pragma once

#include "AfxString.h"
#include "AfxObject.h"

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    void Delete() { delete this; }
};

class CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
        invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
        lockViolation, diskFull, endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCWSTR lpszFileName = nullptr)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

    static int OsErrorToException(LONG lOsError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

// Out of memory.
class CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
};

// A failure the platform reported as an HRESULT.
class COleException : public CException
{
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(HRESULT sc) : m_sc(sc) {}
    HRESULT m_sc;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowOleException(HRESULT sc);

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCWSTR lpszFileName = nullptr);

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030, shareDenyNone = 0x0040,
        modeNoInherit = 0x0080, modeCreate = 0x1000, modeNoTruncate = 0x2000,
        typeText = 0x4000, typeBinary = 0x8000
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    explicit CFile(HANDLE hFile);                          // uses the handle; the object does not close it
    CFile(LPCWSTR lpszFileName, UINT nOpenFlags);           // throws CFileException*
    ~CFile() override;                                      // closes, never throws

    virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual UINT Read(void* lpBuf, UINT nCount);            // bytes read; 0 at the end
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);      // the new position
    ULONGLONG SeekToBegin() { return Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void Flush();
    virtual void Close();                                   // throws when closing fails
    virtual void Abort();                                   // closes, never throws
    CString GetFilePath() const { return m_strFileName; }
    operator HANDLE() const { return m_hFile; }

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    BOOL m_bCloseOnDelete = FALSE;
    CString m_strFileName;
};
