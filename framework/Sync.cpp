#include "framework/Sync.h"

CSyncObject::~CSyncObject()
{
    if (m_hObject != NULL)
        CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD dwTimeout)
{
    if (m_hObject == NULL)
        return FALSE;
    DWORD r = WaitForSingleObject(m_hObject, dwTimeout);
    // An abandoned mutex is still handed to the waiter.
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

CCriticalSection::CCriticalSection()
{
    InitializeCriticalSection(&m_sect);
}

CCriticalSection::~CCriticalSection()
{
    DeleteCriticalSection(&m_sect);
}

BOOL CCriticalSection::Lock(DWORD dwTimeout)
{
    if (dwTimeout == INFINITE) {
        EnterCriticalSection(&m_sect);
        return TRUE;
    }
    DWORD start = GetTickCount();
    for (;;) {
        if (TryEnterCriticalSection(&m_sect))
            return TRUE;
        if (GetTickCount() - start >= dwTimeout)
            return FALSE;
        Sleep(1);
    }
}

BOOL CCriticalSection::Unlock()
{
    LeaveCriticalSection(&m_sect);
    return TRUE;
}

CMutex::CMutex(BOOL bInitiallyOwn, LPCTSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
{
    m_hObject = CreateMutexA(lpsaAttribute, bInitiallyOwn, lpszName);
}

BOOL CMutex::Unlock()
{
    return m_hObject != NULL && ReleaseMutex(m_hObject);
}

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset, LPCTSTR lpszName,
               LPSECURITY_ATTRIBUTES lpsaAttribute)
{
    m_hObject = CreateEventA(lpsaAttribute, bManualReset, bInitiallyOwn, lpszName);
}

BOOL CEvent::SetEvent()
{
    return m_hObject != NULL && ::SetEvent(m_hObject);
}

BOOL CEvent::ResetEvent()
{
    return m_hObject != NULL && ::ResetEvent(m_hObject);
}

BOOL CEvent::PulseEvent()
{
    return m_hObject != NULL && ::PulseEvent(m_hObject);
}

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock)
    : m_pObject(pObject), m_bAcquired(FALSE)
{
    if (bInitialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

BOOL CSingleLock::Lock(DWORD dwTimeout)
{
    if (m_bAcquired)
        return TRUE;
    if (m_pObject != NULL)
        m_bAcquired = m_pObject->Lock(dwTimeout);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_bAcquired && m_pObject != NULL)
        m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}
