// The download of a smilie's picture from its web address. The worker runs on
// its own thread; the smilie keeps the owner's handle and reads the worker's
// state and progress under the worker's lock.
#include "collection/Smilie.h"

#include "collection/CheckUrl.h"
#include "collection/SmilieField.h"
#include "framework/Exception.h"

BOOL CSmilie::StartDownload(LPCTSTR pszAddress)
{
    ReleaseDownload();
    // The worker counts its progress in pixels of the cell's progress bar.
    const int nProgressMax = BYTE(m_nCellWidth - 2 * m_nInsetTrail - 2);
    const HWND hOwner = m_pField != NULL ? m_pField->GetFieldWindow() : NULL;
    try {
        CCheckUrl::StartDownload(&m_pDownload, pszAddress, nProgressMax, hOwner, reinterpret_cast<WPARAM>(this));
    } catch (CException* e) {
        e->Delete();
        ReleaseDownload();
        return FALSE;
    }
    return m_pDownload != NULL;
}

void CSmilie::ReleaseDownload()
{
    if (m_pDownload != NULL) {
        CCheckUrl::Release(m_pDownload);
        m_pDownload = NULL;
    }
}

void CSmilie::BindDownloadToField()
{
    if (m_pDownload == NULL || m_pDownload->m_pWorker == NULL)
        return;
    CCheckUrlWorker* pWorker = m_pDownload->m_pWorker;
    CSingleLock lock(pWorker, TRUE);
    pWorker->m_hOwner = m_pField != NULL ? m_pField->GetFieldWindow() : NULL;
    pWorker->m_nCookie = reinterpret_cast<WPARAM>(this);
}

DWORD CSmilie::PeekDownloadState() const
{
    if (m_pDownload == NULL || m_pDownload->m_pWorker == NULL) {
        // A running state never outlives its worker.
        return (m_nDownloadState & 0xFF) == DOWNLOAD_RUNNING ? DWORD(DOWNLOAD_FAILED) : m_nDownloadState;
    }
    CCheckUrlWorker* pWorker = m_pDownload->m_pWorker;
    BYTE nState = pWorker->GetState();
    if (nState == 0)
        nState = DOWNLOAD_RUNNING;
    const BYTE nProgress = pWorker->GetProgress();
    return (DWORD(nProgress) << 8) + nState;
}

DWORD CSmilie::GetDownloadState()
{
    const DWORD nState = PeekDownloadState();
    if (m_pDownload != NULL && m_pDownload->m_pWorker != NULL)
        MarkModified();
    m_nDownloadState = nState;
    return nState;
}

void CSmilie::SetDownloadState(DWORD nState)
{
    // The worker's own state wins until its thread has started.
    if (m_pDownload != NULL && m_pDownload->m_pWorker != NULL && m_pDownload->m_pWorker->GetState() == 0)
        return;
    m_nDownloadState = nState;
    MarkModified();
}
