#include "afxwin.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct WorkerData
{
    std::atomic<CWinThread*> seen{nullptr};
    HANDLE release = nullptr;
};

UINT __cdecl Worker(LPVOID pParam)
{
    WorkerData* data = static_cast<WorkerData*>(pParam);
    data->seen = AfxGetThread();
    if (data->release)
        ::WaitForSingleObject(data->release, 10000);
    return 1234;
}

TEST(WorkerThread, HandleStaysValidUntilTheOwnerDeletesTheObject)
{
    WorkerData data;
    CWinThread* pThread = AfxBeginThread(Worker, &data, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pThread->m_hThread, 10000));
    // The procedure has returned; the handle is still ours to query and wait on.
    ::Sleep(50);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pThread->m_hThread, 0));
    DWORD code = 0;
    EXPECT_TRUE(::GetExitCodeThread(pThread->m_hThread, &code));
    EXPECT_EQ(1234u, code);
    EXPECT_EQ(pThread, data.seen.load());
    delete pThread;
}

TEST(WorkerThread, RunsAtOnceWithoutCreationFlags)
{
    WorkerData data;
    data.release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CWinThread* pThread = AfxBeginThread(Worker, &data);
    ASSERT_NE(nullptr, pThread);
    // Duplicate the handle before letting it end (the object deletes itself).
    HANDLE hCopy = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hCopy, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS));
    ::SetEvent(data.release);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hCopy, 10000));
    EXPECT_NE(nullptr, data.seen.load());
    ::CloseHandle(hCopy);
    ::CloseHandle(data.release);
}

TEST(WorkerThread, MainThreadFallsBackToTheApplication)
{
    EXPECT_EQ(static_cast<CWinThread*>(AfxGetApp()), AfxGetThread());
    CWinApp app;
    EXPECT_EQ(static_cast<CWinThread*>(&app), AfxGetThread());
}

struct LockProbe
{
    CCriticalSection* cs;
    BOOL got;
};

DWORD WINAPI TryTakeLock(LPVOID pParam)
{
    LockProbe* probe = static_cast<LockProbe*>(pParam);
    probe->got = ::TryEnterCriticalSection(&probe->cs->m_sect);
    if (probe->got)
        ::LeaveCriticalSection(&probe->cs->m_sect);
    return 0;
}

TEST(CriticalSection, SingleLockUnlocksOnScopeExit)
{
    CCriticalSection cs;
    {
        CSingleLock lock(&cs, TRUE);
        EXPECT_TRUE(lock.IsLocked());
    }
    // Another thread can take it now.
    LockProbe probe{&cs, FALSE};
    HANDLE h = ::CreateThread(nullptr, 0, TryTakeLock, &probe, 0, nullptr);
    ::WaitForSingleObject(h, 10000);
    ::CloseHandle(h);
    EXPECT_TRUE(probe.got);
}

}  // namespace
