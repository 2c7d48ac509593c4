// The download of a smilie's picture from its web address.
#include "collection/Smilie.h"

BOOL CSmilie::StartDownload(LPCTSTR)
{
    return FALSE;
}

void CSmilie::ReleaseDownload()
{
    m_pDownload = NULL;
}

void CSmilie::BindDownloadToField()
{
}

DWORD CSmilie::GetDownloadState()
{
    if ((m_nDownloadState & 0xFF) == dlRunning)
        m_nDownloadState = dlFailed;
    return m_nDownloadState;
}

void CSmilie::SetDownloadState(DWORD nState)
{
    m_nDownloadState = nState;
    MarkModified();
}
