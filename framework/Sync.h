// Synchronisation objects over Win32 kernel objects and critical sections,
// and CSingleLock, which holds one of them for a scope.
#pragma once

#include <windows.h>

// Common base: a waitable handle (m_hObject) that Lock waits on.
class CSyncObject
{
public:
    virtual ~CSyncObject();

    // TRUE when acquired within dwTimeout milliseconds.
    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;

    operator HANDLE() const { return m_hObject; }

    HANDLE m_hObject;   // NULL when creation failed

protected:
    CSyncObject() : m_hObject(NULL) {}

private:
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;
};

// A critical section: re-entrant on one thread, cheap, no handle. A finite
// time-out polls, since Windows cannot wait on a critical section with one.
class CCriticalSection : public CSyncObject
{
public:
    CCriticalSection();
    ~CCriticalSection() override;

    BOOL Lock(DWORD dwTimeout = INFINITE) override;
    BOOL Unlock() override;

    operator CRITICAL_SECTION*() { return &m_sect; }

    CRITICAL_SECTION m_sect;
};

// A mutex, named to be shared between processes. The constructor leaves
// GetLastError() as CreateMutex set it, so ERROR_ALREADY_EXISTS tells a caller
// that another process made the named mutex first.
class CMutex : public CSyncObject
{
public:
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCTSTR lpszName = NULL,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);
    BOOL Unlock() override;
};

// An event; auto-reset unless bManualReset. Unlock does nothing (an event is
// not owned), so it may sit in a CSingleLock.
class CEvent : public CSyncObject
{
public:
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCTSTR lpszName = NULL,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);

    BOOL SetEvent();
    BOOL ResetEvent();
    BOOL PulseEvent();
    BOOL Unlock() override { return TRUE; }
};

// Holds one synchronisation object for a scope and releases it on destruction.
class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock();

    BOOL Lock(DWORD dwTimeout = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CSyncObject* m_pObject;
    BOOL m_bAcquired;

    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
};
