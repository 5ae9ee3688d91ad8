// Synchronization objects: a critical section and a scoped lock on it.
#pragma once

#include "AfxObject.h"
#include "File.h"

class CSyncObject : public CObject
{
public:
    virtual BOOL Lock(DWORD dwTimeout = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
};

class CCriticalSection : public CSyncObject
{
public:
    // Throws a CMemoryException* (out of memory) or a COleException* with
    // the system's error when the section cannot be initialised.
    CCriticalSection()
    {
        if (!::InitializeCriticalSectionAndSpinCount(&m_sect, 0)) {
            HRESULT hr = HRESULT_FROM_WIN32(::GetLastError());
            if (hr == E_OUTOFMEMORY)
                AfxThrowMemoryException();
            AfxThrowOleException(FAILED(hr) ? hr : E_FAIL);
        }
    }
    ~CCriticalSection() override { ::DeleteCriticalSection(&m_sect); }
    // The timeout is ignored: a critical section waits until it is free.
    BOOL Lock(DWORD dwTimeout = INFINITE) override { ::EnterCriticalSection(&m_sect); return TRUE; }
    BOOL Unlock() override { ::LeaveCriticalSection(&m_sect); return TRUE; }
    operator CRITICAL_SECTION*() { return &m_sect; }

    CRITICAL_SECTION m_sect;
};

// Locks pObject (at once when bInitialLock) and unlocks it when destroyed.
class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject)
    {
        if (bInitialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD dwTimeout = INFINITE)
    {
        if (m_bAcquired || m_pObject == nullptr)
            return m_bAcquired;
        m_bAcquired = m_pObject->Lock(dwTimeout);
        return m_bAcquired;
    }
    BOOL Unlock()
    {
        if (m_bAcquired && m_pObject)
            m_bAcquired = !m_pObject->Unlock();
        return !m_bAcquired;
    }
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CSyncObject* m_pObject;
    BOOL m_bAcquired = FALSE;
};
