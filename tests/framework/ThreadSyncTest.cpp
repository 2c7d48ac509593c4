// Worker threads from AfxBeginThread, and the locks and events they share.
#include <gtest/gtest.h>

#include "framework/Exception.h"
#include "framework/Sync.h"
#include "framework/Thread.h"

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

namespace {

const DWORD kWait = 5000;   // bound for anything that should happen at once

struct WorkerState
{
    CEvent started{FALSE, TRUE};
    LONG runs = 0;
};

UINT __cdecl CountingWorker(LPVOID p)
{
    WorkerState* state = static_cast<WorkerState*>(p);
    InterlockedIncrement(&state->runs);
    state->started.SetEvent();
    return 42;
}

// A thread object that tells when it is deleted.
class ProbeThread : public CWinThread
{
public:
    ProbeThread(AFX_THREADPROC pfn, LPVOID param, CEvent* pDeleted)
        : CWinThread(pfn, param), m_pDeleted(pDeleted) {}
    ~ProbeThread() override { m_pDeleted->SetEvent(); }

private:
    CEvent* m_pDeleted;
};

UINT __cdecl RunFunction(LPVOID p)
{
    (*static_cast<std::function<void()>*>(p))();
    return 0;
}

} // namespace

TEST(Thread, SuspendedStartRunsOnlyAfterResume)
{
    WorkerState state;
    CWinThread* t = AfxBeginThread(CountingWorker, &state, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
    ASSERT_NE(t, nullptr);
    t->m_bAutoDelete = FALSE;
    EXPECT_NE(t->m_hThread, (HANDLE)NULL);
    EXPECT_NE(t->m_nThreadID, 0u);
    EXPECT_EQ(t->GetThreadPriority(), THREAD_PRIORITY_LOWEST);

    EXPECT_EQ(WaitForSingleObject(state.started, 100), (DWORD)WAIT_TIMEOUT);
    EXPECT_EQ(state.runs, 0);

    EXPECT_EQ(t->ResumeThread(), 1u);
    ASSERT_EQ(WaitForSingleObject(state.started, kWait), (DWORD)WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(t->m_hThread, kWait), (DWORD)WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t->m_hThread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(state.runs, 1);
    delete t;
}

TEST(Thread, AutoDeleteFreesTheObjectWhenTheThreadEnds)
{
    WorkerState state;
    CEvent deleted(FALSE, TRUE);
    ProbeThread* t = new ProbeThread(CountingWorker, &state, &deleted);
    ASSERT_TRUE(t->CreateThread());
    EXPECT_EQ(WaitForSingleObject(deleted, kWait), (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(state.runs, 1);
}

TEST(Thread, CurrentThreadObjectIsKnownInsideTheThread)
{
    CWinThread* seen = nullptr;
    std::function<void()> body = [&] { seen = AfxGetThread(); };
    CWinThread* t = AfxBeginThread(RunFunction, &body, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(t, nullptr);
    t->m_bAutoDelete = FALSE;
    t->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(t->m_hThread, kWait), (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(seen, t);
    EXPECT_EQ(AfxGetThread(), nullptr);   // gtest's thread was not started by us
    delete t;
}

TEST(Thread, AnyExceptionEscapingAWorkerEndsOnlyTheThread)
{
    struct Row
    {
        const char* name;
        std::function<void()> body;
    } rows[] = {
        {"framework exception", [] { AfxThrowMemoryException(); }},
        {"standard allocation failure", [] { throw std::bad_alloc(); }},
        {"standard runtime error", [] { throw std::runtime_error("worker"); }},
        {"a plain int", [] { throw 5; }},
    };
    for (Row& row : rows) {
        CWinThread* t = AfxBeginThread(RunFunction, &row.body, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(t, nullptr) << row.name;
        t->m_bAutoDelete = FALSE;
        t->ResumeThread();
        ASSERT_EQ(WaitForSingleObject(t->m_hThread, kWait), (DWORD)WAIT_OBJECT_0) << row.name;
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(t->m_hThread, &code)) << row.name;
        EXPECT_EQ(code, 0xFFFFFFFFu) << row.name;
        delete t;
    }
}

namespace {

// A user-interface thread without windows whose pre-translation throws for
// WM_APP + 1 and whose first idle call throws.
class ThrowingLoopThread : public CWinThread
{
public:
    explicit ThrowingLoopThread(std::function<void()> fnThrow) : m_fnThrow(fnThrow) { m_bAutoDelete = FALSE; }
    BOOL InitInstance() override
    {
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);   // the thread's queue exists from here
        queueReady.SetEvent();
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_APP + 1)
            m_fnThrow();
        if (pMsg->message == WM_APP + 2)
            InterlockedIncrement(&nAfter);
        return CWinThread::PreTranslateMessage(pMsg);
    }
    BOOL OnIdle(LONG lCount) override
    {
        if (InterlockedIncrement(&nIdle) == 1)
            m_fnThrow();
        return CWinThread::OnIdle(lCount);
    }

    CEvent queueReady{FALSE, TRUE};
    LONG nIdle = 0;
    LONG nAfter = 0;

private:
    std::function<void()> m_fnThrow;
};

} // namespace

TEST(Thread, ExceptionsFromPreTranslationAndIdleWorkLeaveTheLoopRunning)
{
    struct Row
    {
        const char* name;
        std::function<void()> fnThrow;
    } rows[] = {
        {"framework exception", [] { AfxThrowMemoryException(); }},
        {"standard exception", [] { throw std::runtime_error("loop"); }},
    };
    for (Row& row : rows) {
        ThrowingLoopThread t(row.fnThrow);
        ASSERT_TRUE(t.CreateThread()) << row.name;
        ASSERT_EQ(WaitForSingleObject(t.queueReady.m_hObject, kWait), (DWORD)WAIT_OBJECT_0) << row.name;
        ASSERT_TRUE(t.PostThreadMessage(WM_APP + 1, 0, 0)) << row.name;
        ASSERT_TRUE(t.PostThreadMessage(WM_APP + 2, 0, 0)) << row.name;
        ASSERT_TRUE(t.PostThreadMessage(WM_QUIT, 7, 0)) << row.name;
        ASSERT_EQ(WaitForSingleObject(t.m_hThread, kWait), (DWORD)WAIT_OBJECT_0) << row.name;
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(t.m_hThread, &code)) << row.name;
        EXPECT_EQ(code, 7u) << row.name << ": the loop ended on its WM_QUIT, not on the exception";
        EXPECT_EQ(t.nAfter, 1) << row.name << ": the message after the throwing one was still handled";
    }
}

// The same hand-over for each lock kind: the main thread holds the lock, the
// worker's timed Lock fails, then succeeds once the main thread lets go, and
// the worker's CSingleLock releases it when it goes out of scope.
TEST(Sync, SingleLockHandsALockBetweenThreads)
{
    struct Kind { const char* name; std::function<std::unique_ptr<CSyncObject>()> make; };
    const Kind kinds[] = {
        {"critical section", [] { return std::unique_ptr<CSyncObject>(new CCriticalSection); }},
        {"mutex", [] { return std::unique_ptr<CSyncObject>(new CMutex); }},
    };
    for (const Kind& kind : kinds) {
        std::unique_ptr<CSyncObject> lock = kind.make();
        CEvent triedOnce(FALSE, TRUE), released(FALSE, TRUE);
        BOOL firstTry = TRUE, secondTry = FALSE, lockedInside = FALSE;

        CSingleLock mine(lock.get(), TRUE);
        ASSERT_TRUE(mine.IsLocked()) << kind.name;

        std::function<void()> body = [&] {
            CSingleLock theirs(lock.get());
            firstTry = theirs.Lock(30);
            triedOnce.SetEvent();
            if (WaitForSingleObject(released, kWait) != WAIT_OBJECT_0)
                return;
            secondTry = theirs.Lock(kWait);
            lockedInside = theirs.IsLocked();
        };
        CWinThread* t = AfxBeginThread(RunFunction, &body, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(t, nullptr) << kind.name;
        t->m_bAutoDelete = FALSE;
        t->ResumeThread();

        ASSERT_EQ(WaitForSingleObject(triedOnce, kWait), (DWORD)WAIT_OBJECT_0) << kind.name;
        EXPECT_TRUE(mine.Unlock()) << kind.name;
        EXPECT_FALSE(mine.IsLocked()) << kind.name;
        released.SetEvent();
        ASSERT_EQ(WaitForSingleObject(t->m_hThread, kWait), (DWORD)WAIT_OBJECT_0) << kind.name;
        delete t;

        EXPECT_FALSE(firstTry) << kind.name;
        EXPECT_TRUE(secondTry) << kind.name;
        EXPECT_TRUE(lockedInside) << kind.name;
        EXPECT_TRUE(mine.Lock(0)) << kind.name << ": the worker's lock was not released";
    }
}

TEST(Sync, EventsResetAutomaticallyOrByHand)
{
    CEvent autoReset;
    EXPECT_FALSE(autoReset.Lock(0));
    EXPECT_TRUE(autoReset.SetEvent());
    EXPECT_TRUE(autoReset.Lock(0));
    EXPECT_FALSE(autoReset.Lock(0)) << "an auto-reset event serves one waiter";

    CEvent manual(TRUE, TRUE);   // initially set
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.ResetEvent());
    EXPECT_FALSE(manual.Lock(0));
    EXPECT_TRUE(manual.PulseEvent());
    EXPECT_FALSE(manual.Lock(0)) << "a pulse without waiters leaves the event reset";

    CSingleLock lock(&manual);   // an event in a CSingleLock: Unlock is harmless
    manual.SetEvent();
    EXPECT_TRUE(lock.Lock(0));
    EXPECT_TRUE(lock.Unlock());
}

TEST(Sync, NamedMutexTellsTheSecondCreator)
{
    char name[64];
    wsprintfA(name, "TvnxTestMutex_%lu", GetCurrentProcessId());
    CMutex first(TRUE, name);
    DWORD firstError = GetLastError();
    CMutex second(FALSE, name);
    DWORD secondError = GetLastError();
    ASSERT_NE(first.m_hObject, (HANDLE)NULL);
    ASSERT_NE(second.m_hObject, (HANDLE)NULL);
    EXPECT_NE(firstError, (DWORD)ERROR_ALREADY_EXISTS);
    EXPECT_EQ(secondError, (DWORD)ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(first.Unlock());
}
