#include "collection/CheckUrl.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include "framework/Exception.h"
#include "ui3d/system/ExportedFuncs.h"

CString CCheckUrl::s_strProbeUrl("http://www.example.com/");
CSequence<CCheckUrl*> g_ConnectionProbes;

namespace {

// Released probes at exit: their workers then end by themselves.
struct ProbesAtExit
{
    ~ProbesAtExit() { CCheckUrl::CancelProbes(); }
} s_probesAtExit;

const DWORD kRegistryLockTimeout = 300;
const DWORD kRecordTryMs = 10;
const DWORD kBackOffMs = 50;
const DWORD kLingerMs = 3000;
const int kMaxAvailableWaits = 10;

// The registry. Worker threads may still run while the program's static
// objects are destroyed, so the registry is made once and never destroyed.
struct Registry
{
    Registry() : bRunning(TRUE), nLastId(0), hExit(CreateEventA(NULL, TRUE, FALSE, NULL)) {}
    CMutex lock;
    CSequence<CCheckUrlGarbageCollector::Record*> records;
    BOOL bRunning;
    DWORD nLastId;
    HANDLE hExit;
};

Registry& TheRegistry()
{
    static Registry* s_pRegistry = new Registry();
    return *s_pRegistry;
}

// Every status callback runs under this one lock.
CCriticalSection& CallbackLock()
{
    static CCriticalSection* s_pLock = new CCriticalSection();
    return *s_pLock;
}

// Made before the program's entry point, so that no two threads race to make them.
struct MakeStaticsAtStart
{
    MakeStaticsAtStart()
    {
        TheRegistry();
        CallbackLock();
    }
} s_makeStatics;

int FindRecord(Registry& reg, DWORD nId)
{
    for (int i = 0; i < reg.records.GetSize(); i++)
        if (reg.records[i]->nId == nId)
            return i;
    return -1;
}

} // namespace

// ---- CCheckUrlWorker ----------------------------------------------------------------

CCheckUrlWorker::CCheckUrlWorker(LPCSTR pszUrl, int nProgressMax, HWND hOwner, WPARAM nCookie)
    : m_nId(0), m_pResult(NULL), m_nResultLength(0), m_nState(DOWNLOAD_CREATED), m_nProgress(0),
      m_nProgressMax(static_cast<BYTE>(nProgressMax == 0 ? 255 : nProgressMax)), m_hOwner(hOwner),
      m_nCookie(nCookie), m_strUrl(pszUrl), m_hRoot(NULL), m_hRequest(NULL), m_nStep(STEP_IDLE),
      m_dwLastError(0), m_Release(FALSE, TRUE), m_Complete(FALSE, TRUE), m_dwAvailable(0), m_dwRead(0)
{
}

CCheckUrlWorker::~CCheckUrlWorker()
{
    free(m_pResult);
}

BOOL CCheckUrlWorker::IsWanted() const
{
    return WaitForSingleObject(m_Release, 0) != WAIT_OBJECT_0;
}

void CCheckUrlWorker::WaitReleaseOrComplete()
{
    HANDLE handles[2] = {m_Release, m_Complete};
    WaitForMultipleObjects(2, handles, FALSE, INFINITE);
}

BYTE CCheckUrlWorker::GetState()
{
    CSingleLock lock(this, TRUE);
    return m_nState;
}

void CCheckUrlWorker::SetState(BYTE nState)
{
    CSingleLock lock(this, TRUE);
    m_nState = nState;
}

BYTE CCheckUrlWorker::GetProgress()
{
    CSingleLock lock(this, TRUE);
    return m_nProgress;
}

void CCheckUrlWorker::SetProgress(BYTE nProgress)
{
    CSingleLock lock(this, TRUE);
    m_nProgress = nProgress;
}

void CCheckUrlWorker::SetStep(BYTE nStep)
{
    CSingleLock lock(this, TRUE);
    m_nStep = nStep;
}

DWORD CCheckUrlWorker::GetId()
{
    CSingleLock lock(this, TRUE);
    return m_nId;
}

void CCheckUrlWorker::Post()
{
    HWND hOwner;
    WPARAM nCookie;
    LPARAM lParam;
    {
        CSingleLock lock(this, TRUE);
        hOwner = m_hOwner;
        nCookie = m_nCookie;
        lParam = static_cast<LPARAM>(m_nState | (static_cast<DWORD>(m_nProgress) << 16));
    }
    if (hOwner != NULL && IsWanted())
        PostMessageA(hOwner, WM_DOWNLOADPROGRESS, nCookie, lParam);
}

void CCheckUrlWorker::SendDone(BYTE nFinalState)
{
    HWND hOwner;
    WPARAM nCookie;
    {
        CSingleLock lock(this, TRUE);
        hOwner = m_hOwner;
        nCookie = m_nCookie;
    }
    if (hOwner != NULL && IsWanted())
        SendMessageA(hOwner, WM_DOWNLOADDONE, nCookie, nFinalState);
}

// ---- CCheckUrl: owner side -------------------------------------------------------------

void CCheckUrl::Start(CCheckUrl** ppHandle, AFX_THREADPROC pfnProc, LPCSTR pszUrl, int nProgressMax,
                      HWND hOwner, WPARAM nCookie)
{
    if (ppHandle != NULL)
        *ppHandle = NULL;
    CCheckUrl* pHandle = new (std::nothrow) CCheckUrl();
    CCheckUrlWorker* pWorker = pHandle != NULL ? new (std::nothrow) CCheckUrlWorker(pszUrl, nProgressMax, hOwner, nCookie) : NULL;
    if (pWorker == NULL) {
        delete pHandle;
        AfxThrowMemoryException();
    }
    CWinThread* pThread = AfxBeginThread(pfnProc, pWorker, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
    if (pThread == NULL) {
        delete pWorker;
        delete pHandle;
        AfxThrowMemoryException();
    }
    pThread->m_bAutoDelete = TRUE;
    pHandle->m_pWorker = pWorker;
    if (ppHandle != NULL)
        *ppHandle = pHandle;
    DWORD nId = CCheckUrlGarbageCollector::Register(pThread, pWorker);
    {
        CSingleLock lock(pWorker, TRUE);
        pWorker->m_nId = nId;
    }
    pThread->ResumeThread();
}

void CCheckUrl::StartDownload(CCheckUrl** ppHandle, LPCSTR pszUrl, int nProgressMax, HWND hOwner, WPARAM nCookie)
{
    Start(ppHandle, DownloadThreadProc, pszUrl, nProgressMax, hOwner, nCookie);
}

void CCheckUrl::StartProbe(CCheckUrl** ppHandle, HWND hOwner)
{
    Start(ppHandle, ProbeThreadProc, s_strProbeUrl, 20, hOwner, 0);
}

void CCheckUrl::Release(CCheckUrl* pHandle)
{
    if (pHandle == NULL)
        return;
    if (pHandle->m_pWorker != NULL)
        pHandle->m_pWorker->m_Release.SetEvent();
    delete pHandle;
}

DWORD CCheckUrl::TakeResult(CCheckUrl* pHandle, void* pDest)
{
    if (pHandle == NULL || pHandle->m_pWorker == NULL)
        return 0;
    CCheckUrlWorker* pWorker = pHandle->m_pWorker;
    CSingleLock lock(pWorker, TRUE);
    if (pWorker->m_pResult == NULL)
        return 0;
    if (pDest != NULL)
        memcpy(pDest, pWorker->m_pResult, pWorker->m_nResultLength);
    return pWorker->m_nResultLength;
}

BYTE CCheckUrl::GetState(CCheckUrl* pHandle)
{
    if (pHandle == NULL || pHandle->m_pWorker == NULL)
        return DOWNLOAD_FAILED;
    return pHandle->m_pWorker->GetState();
}

int CCheckUrl::ProbeConnection(HWND hOwner)
{
    ReapProbes();
    for (int i = 0; i < g_ConnectionProbes.GetSize(); i++) {
        BYTE nState = GetState(g_ConnectionProbes[i]);
        if (nState == DOWNLOAD_CREATED || nState == DOWNLOAD_RUNNING)
            return 0;
    }
    CCheckUrl* pHandle = NULL;
    StartProbe(&pHandle, hOwner);
    try {
        g_ConnectionProbes.Add(pHandle);
    } catch (...) {
        Release(pHandle);
        throw;
    }
    return 1;
}

void CCheckUrl::ReapProbes()
{
    for (int i = g_ConnectionProbes.GetSize() - 1; i >= 0; i--) {
        CCheckUrl* pHandle = g_ConnectionProbes[i];
        if (pHandle != NULL) {
            BYTE nState = GetState(pHandle);
            if (nState == DOWNLOAD_CREATED || nState == DOWNLOAD_RUNNING)
                continue;
            Release(pHandle);
        }
        g_ConnectionProbes.RemoveAt(i);
    }
}

void CCheckUrl::CancelProbes()
{
    for (int i = g_ConnectionProbes.GetSize() - 1; i >= 0; i--) {
        Release(g_ConnectionProbes[i]);
        g_ConnectionProbes.RemoveAt(i);
    }
}

// ---- the status callback -------------------------------------------------------------------

void CALLBACK CCheckUrl::StatusCallback(HINTERNET, DWORD_PTR dwContext, DWORD dwStatus, LPVOID pStatusInfo,
                                        DWORD dwStatusLength)
{
    CSingleLock callbackLock(&CallbackLock(), TRUE);
    CMutex* pInUse = NULL;
    CCheckUrlWorker* pWorker = CCheckUrlGarbageCollector::LockWorker(static_cast<DWORD>(dwContext), &pInUse);
    if (pWorker == NULL)
        return;
    BOOL bPost = FALSE;
    {
        CSingleLock lock(pWorker, TRUE);
        BYTE nStep = pWorker->m_nStep;
        if (dwStatus == INTERNET_STATUS_REQUEST_COMPLETE) {
            const INTERNET_ASYNC_RESULT* pResult = static_cast<const INTERNET_ASYNC_RESULT*>(pStatusInfo);
            bool bHaveResult = pResult != NULL && dwStatusLength >= sizeof(INTERNET_ASYNC_RESULT);
            DWORD dwError = bHaveResult ? pResult->dwError : ERROR_INTERNET_INTERNAL_ERROR;
            if (nStep == CCheckUrlWorker::STEP_OPENURL) {
                if (dwError == 0 && bHaveResult)
                    pWorker->m_hRequest = reinterpret_cast<HINTERNET>(pResult->dwResult);
                pWorker->m_dwLastError = dwError;
                pWorker->m_Complete.SetEvent();
            } else if (nStep == CCheckUrlWorker::STEP_AVAILABLE || nStep == CCheckUrlWorker::STEP_READ) {
                pWorker->m_dwLastError = dwError;
                pWorker->m_Complete.SetEvent();
            }
        }
        if (nStep == CCheckUrlWorker::STEP_OPENURL && pWorker->m_nProgressMax / 3 >= pWorker->m_nProgress + 1) {
            pWorker->m_nProgress++;
            bPost = TRUE;
        }
    }
    if (bPost)
        pWorker->Post();
    CCheckUrlGarbageCollector::ReleaseWorker(pInUse);
}

// ---- the worker threads ----------------------------------------------------------------------

namespace {

class WorkerRun
{
public:
    explicit WorkerRun(CCheckUrlWorker* pWorker)
        : w(pWorker), M(pWorker->m_nProgressMax), bFailed(false), nErrorState(0), pReadBuffer(NULL)
    {
    }

    // Raises the progress by one and posts, while nLimit >= progress + 1.
    void RaiseWithin(int nLimit)
    {
        BYTE n = w->GetProgress();
        if (nLimit >= n + 1) {
            w->SetProgress(static_cast<BYTE>(n + 1));
            w->Post();
        }
    }
    void SetProgressAndPost(int n)
    {
        w->SetProgress(static_cast<BYTE>(n));
        w->Post();
    }

    // Open the root handle, the dial-up rule and the status callback. False on failure.
    bool OpenRoot(void (WorkerRun::*pfnAfterOpen)())
    {
        w->SetStep(CCheckUrlWorker::STEP_ROOT);
        HINTERNET hRoot = InternetOpenA("Microsoft Internet Explorer", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL,
                                        INTERNET_FLAG_ASYNC);
        {
            CSingleLock lock(w, TRUE);
            w->m_hRoot = hRoot;
        }
        if (hRoot == NULL || !w->IsWanted())
            return false;
        (this->*pfnAfterOpen)();

        CExportedFuncs* pFuncs = g_pExportedFuncs;
        if (pFuncs != NULL && pFuncs->pInternetGoOnline != NULL) {
            DWORD dwState = 0, cb = sizeof(dwState);
            if (InternetQueryOptionA(NULL, INTERNET_OPTION_CONNECTED_STATE, &dwState, &cb) &&
                (dwState & INTERNET_STATE_DISCONNECTED_BY_USER)) {
                CString strUrl;
                {
                    CSingleLock lock(w, TRUE);
                    strUrl = w->m_strUrl;
                }
                if (!pFuncs->pInternetGoOnline(strUrl.GetBuffer(), NULL, 0))
                    return false;
            }
        }
        if (InternetSetStatusCallback(hRoot, CCheckUrl::StatusCallback) == INTERNET_INVALID_STATUS_CALLBACK)
            return false;
        return true;
    }

    // Opens the address. False on failure (nErrorState 4 for errors other than
    // a name that did not resolve).
    bool OpenUrl(bool bCheckStatus)
    {
        HINTERNET hRoot;
        CString strUrl;
        DWORD nId;
        {
            CSingleLock lock(w, TRUE);
            hRoot = w->m_hRoot;
            strUrl = w->m_strUrl;
            nId = w->m_nId;
            w->m_nStep = CCheckUrlWorker::STEP_OPENURL;
            w->m_dwLastError = 0;
        }
        w->m_Complete.ResetEvent();
        HINTERNET hRequest = InternetOpenUrlA(hRoot, strUrl, "", static_cast<DWORD>(-1), INTERNET_FLAG_RELOAD, nId);
        DWORD dwError = hRequest == NULL ? GetLastError() : 0;
        if (hRequest == NULL && dwError == ERROR_IO_PENDING) {
            w->WaitReleaseOrComplete();
            CSingleLock lock(w, TRUE);
            hRequest = w->m_hRequest;
            dwError = w->m_dwLastError;
        } else {
            CSingleLock lock(w, TRUE);
            if (hRequest != NULL)
                w->m_hRequest = hRequest;
            else
                w->m_dwLastError = dwError;
        }
        if (hRequest == NULL) {
            if (dwError != ERROR_INTERNET_NAME_NOT_RESOLVED)
                nErrorState = DOWNLOAD_OPENFAILED;
            return false;
        }
        // A server that answers with an error status sends an error page, not
        // the picture asked for: the address could not be opened.
        if (bCheckStatus) {
            DWORD dwStatus = 0, cb = sizeof(dwStatus);
            if (HttpQueryInfoA(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &cb, NULL) &&
                dwStatus >= 400) {
                nErrorState = DOWNLOAD_OPENFAILED;
                return false;
            }
        }
        return true;
    }

    DWORD QueryContentLength()
    {
        w->SetStep(CCheckUrlWorker::STEP_LENGTH);
        char sz[33];
        DWORD cb = sizeof(sz);
        memset(sz, 0, sizeof(sz));
        if (!HttpQueryInfoA(Request(), HTTP_QUERY_CONTENT_LENGTH, sz, &cb, NULL) || cb == 0 || cb >= sizeof(sz))
            return 0;
        sz[cb] = '\0';
        for (DWORD i = 0; i < cb; i++)
            if (sz[i] < '0' || sz[i] > '9')
                return 0;
        unsigned long long n = strtoull(sz, NULL, 10);
        return n > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(n);
    }

    // The data loop; fills the result on success.
    void ReadData(DWORD nLength)
    {
        const int S = w->GetProgress();
        CMemFile file(1024);
        DWORD nTotal = 0;
        DWORD nBufferSize = 0;
        for (;;) {
            // How much can be read now.
            w->SetStep(CCheckUrlWorker::STEP_AVAILABLE);
            BOOL bOk = FALSE;
            for (int nWaits = 0;; nWaits++) {
                w->m_Complete.ResetEvent();
                bOk = InternetQueryDataAvailable(Request(), &w->m_dwAvailable, 0, 0);
                if (bOk || GetLastError() != ERROR_IO_PENDING)
                    break;
                if (nWaits == kMaxAvailableWaits) {
                    bOk = TRUE;
                    break;
                }
                w->WaitReleaseOrComplete();
                if (!w->IsWanted())
                    break;
            }
            DWORD nAvailable = w->m_dwAvailable;

            bool bRead = false;
            DWORD nRead = 0;
            if (bOk && nAvailable != 0 && w->IsWanted()) {
                if (nAvailable > TVNX_MAX_DOWNLOAD_CHUNK) {
                    nErrorState = DOWNLOAD_CHUNKTOOLARGE;
                } else {
                    BYTE* pNew = static_cast<BYTE*>(malloc(nAvailable + 1));
                    if (pNew == NULL) {
                        bOk = FALSE;
                    } else {
                        free(pReadBuffer);
                        pReadBuffer = pNew;
                        nBufferSize = nAvailable + 1;
                        w->SetStep(CCheckUrlWorker::STEP_READ);
                        for (;;) {
                            w->m_Complete.ResetEvent();
                            w->m_dwRead = 0;
                            bOk = InternetReadFile(Request(), pReadBuffer, nAvailable, &w->m_dwRead);
                            if (bOk || GetLastError() != ERROR_IO_PENDING)
                                break;
                            w->WaitReleaseOrComplete();
                            if (!w->IsWanted())
                                break;
                        }
                        if (bOk) {
                            nRead = w->m_dwRead;
                            if (nRead > nBufferSize)
                                nRead = nBufferSize;
                            try {
                                file.Write(pReadBuffer, nRead);
                            } catch (CException* e) {
                                e->Delete();
                                bOk = FALSE;
                            }
                        }
                        if (bOk) {
                            nTotal += nRead;
                            bRead = true;
                            UpdateReadProgress(S, nTotal, nLength);
                        }
                    }
                }
            }
            if (nTotal > TVNX_MAX_DOWNLOAD)
                nErrorState = DOWNLOAD_TOOLARGE;

            if (Root() == NULL || !w->IsWanted() || !bOk) {
                bFailed = true;
                return;
            }
            if (nErrorState != 0)
                return;
            if (bRead && nRead == nAvailable)
                continue;
            if (nTotal != 0 && nTotal == file.GetLength()) {
                BYTE* pData = file.Detach();
                CSingleLock lock(w, TRUE);
                free(w->m_pResult);
                w->m_pResult = pData;
                w->m_nResultLength = nTotal;
            } else {
                bFailed = true;
            }
            return;
        }
    }

    void UpdateReadProgress(int S, DWORD nTotal, DWORD nLength)
    {
        if (S >= M)
            return;
        long long n;
        if (nLength != 0) {
            n = S + static_cast<long long>(nTotal) * (M - S) / nLength;
        } else {
            int nFirst = S + 2 * ((M - S) / 3);
            n = w->GetProgress() == nFirst ? S + (M - S) / 3 : nFirst;
        }
        // A server that sends more than it announced must not push the bar past its end.
        if (n > M)
            n = M;
        SetProgressAndPost(static_cast<int>(n));
    }

    // Closes the handles, reports the final state and waits for the release.
    void Finish()
    {
        w->SetStep(CCheckUrlWorker::STEP_IDLE);
        HINTERNET hRequest, hRoot;
        {
            CSingleLock lock(w, TRUE);
            hRequest = w->m_hRequest;
            hRoot = w->m_hRoot;
        }
        if (hRequest != NULL)
            InternetCloseHandle(hRequest);
        {
            CSingleLock lock(w, TRUE);
            w->m_hRequest = NULL;
        }
        if (hRoot != NULL)
            InternetCloseHandle(hRoot);
        {
            CSingleLock lock(w, TRUE);
            w->m_hRoot = NULL;
        }
        BYTE nFinal;
        if (nErrorState != 0) {
            nFinal = nErrorState;
        } else if (bFailed) {
            nFinal = DOWNLOAD_FAILED;
        } else {
            w->SetProgress(M);
            nFinal = DOWNLOAD_DONE;
        }
        w->SetState(nFinal);
        w->Post();
        w->SendDone(nFinal);

        DWORD nId = w->GetId();
        WaitForSingleObject(w->m_Release, INFINITE);
        // Late status callbacks still find the worker for a while; at program
        // exit nobody is left to call back, so the wait ends at once.
        WaitForSingleObject(CCheckUrlGarbageCollector::ExitEvent(), kLingerMs);
        CCheckUrlGarbageCollector::Unregister(nId);  // destroys the worker
        free(pReadBuffer);
        pReadBuffer = NULL;
    }

    HINTERNET Root()
    {
        CSingleLock lock(w, TRUE);
        return w->m_hRoot;
    }
    HINTERNET Request()
    {
        CSingleLock lock(w, TRUE);
        return w->m_hRequest;
    }

    void AfterRootDownload() { RaiseWithin(M / 3); }
    void AfterRootProbe() { SetProgressAndPost(M / 4); }

    CCheckUrlWorker* w;
    const int M;
    bool bFailed;
    BYTE nErrorState;
    BYTE* pReadBuffer;
};

// A worker that could not be registered reports failure and frees itself.
bool EndUnregistered(CCheckUrlWorker* pWorker)
{
    DWORD nId = pWorker->GetId();
    if (nId != 0 && CCheckUrlGarbageCollector::FindThread(nId) != NULL)
        return false;
    pWorker->SetState(DOWNLOAD_FAILED);
    pWorker->Post();
    pWorker->SetProgress(pWorker->m_nProgressMax);
    pWorker->SendDone(DOWNLOAD_FAILED);
    WaitForSingleObject(pWorker->m_Release, INFINITE);
    delete pWorker;
    return true;
}

} // namespace

UINT __cdecl CCheckUrl::DownloadThreadProc(LPVOID pParam)
{
    CCheckUrlWorker* pWorker = static_cast<CCheckUrlWorker*>(pParam);
    if (EndUnregistered(pWorker))
        return 1;
    WorkerRun run(pWorker);
    const int M = run.M;
    pWorker->SetState(DOWNLOAD_RUNNING);
    run.SetProgressAndPost(0);

    if (!run.OpenRoot(&WorkerRun::AfterRootDownload)) {
        run.bFailed = true;
    } else {
        run.RaiseWithin(M / 3);
        if (!run.OpenUrl(true)) {
            run.bFailed = true;
        } else if (run.Root() == NULL || !pWorker->IsWanted()) {
            run.bFailed = true;
        } else {
            if (pWorker->GetProgress() < M / 3)
                run.SetProgressAndPost(M / 3);
            run.RaiseWithin(M);
            DWORD nLength = run.QueryContentLength();
            if (nLength > TVNX_MAX_DOWNLOAD) {
                run.nErrorState = DOWNLOAD_TOOLARGE;
            } else {
                run.RaiseWithin(M);
                run.ReadData(nLength);
            }
        }
    }
    run.Finish();
    return 0;
}

UINT __cdecl CCheckUrl::ProbeThreadProc(LPVOID pParam)
{
    CCheckUrlWorker* pWorker = static_cast<CCheckUrlWorker*>(pParam);
    if (EndUnregistered(pWorker))
        return 1;
    WorkerRun run(pWorker);
    const int M = run.M;
    pWorker->SetState(DOWNLOAD_RUNNING);
    run.SetProgressAndPost(0);
    if (!run.OpenRoot(&WorkerRun::AfterRootProbe)) {
        run.bFailed = true;
    } else {
        run.SetProgressAndPost(M / 2);
        if (!run.OpenUrl(false))
            run.bFailed = true;
        else
            run.SetProgressAndPost(3 * (M / 4));
    }
    run.Finish();
    return 0;
}

// ---- CCheckUrlGarbageCollector ------------------------------------------------------------

DWORD CCheckUrlGarbageCollector::Register(CWinThread* pThread, CCheckUrlWorker* pWorker)
{
    Registry& reg = TheRegistry();
    CSingleLock lock(&reg.lock);
    if (!lock.Lock(kRegistryLockTimeout))
        return 0;
    for (int i = 0; i < reg.records.GetSize(); i++)
        if (reg.records[i]->pThread == pThread || reg.records[i]->pWorker == pWorker)
            return 0;
    Record* pRecord = new (std::nothrow) Record;
    CMutex* pInUse = new (std::nothrow) CMutex();
    if (pRecord == NULL || pInUse == NULL) {
        delete pRecord;
        delete pInUse;
        return 0;
    }
    pRecord->nId = reg.nLastId + 1;
    pRecord->pThread = pThread;
    pRecord->pWorker = pWorker;
    pRecord->pInUse = pInUse;
    try {
        reg.records.Add(pRecord);
    } catch (CException* e) {
        e->Delete();
        delete pInUse;
        delete pRecord;
        return 0;
    }
    reg.nLastId++;
    return pRecord->nId;
}

CCheckUrlWorker* CCheckUrlGarbageCollector::LockWorker(DWORD nId, CMutex** ppInUse)
{
    Registry& reg = TheRegistry();
    for (;;) {
        CSingleLock lock(&reg.lock, TRUE);
        int i = FindRecord(reg, nId);
        if (i < 0)
            return NULL;
        Record* pRecord = reg.records[i];
        if (pRecord->pInUse->Lock(kRecordTryMs)) {
            *ppInUse = pRecord->pInUse;
            return pRecord->pWorker;
        }
        lock.Unlock();
        Sleep(kBackOffMs);
    }
}

void CCheckUrlGarbageCollector::ReleaseWorker(CMutex* pInUse)
{
    if (pInUse != NULL)
        pInUse->Unlock();
}

void CCheckUrlGarbageCollector::Unregister(DWORD nId)
{
    Registry& reg = TheRegistry();
    for (;;) {
        CSingleLock lock(&reg.lock, TRUE);
        int i = FindRecord(reg, nId);
        if (i < 0)
            return;
        Record* pRecord = reg.records[i];
        if (pRecord->pInUse->Lock(kRecordTryMs)) {
            reg.records.RemoveAt(i);
            lock.Unlock();
            delete pRecord->pWorker;
            pRecord->pInUse->Unlock();
            delete pRecord->pInUse;
            delete pRecord;
            return;
        }
        lock.Unlock();
        Sleep(kBackOffMs);
    }
}

CWinThread* CCheckUrlGarbageCollector::FindThread(DWORD nId)
{
    Registry& reg = TheRegistry();
    CSingleLock lock(&reg.lock, TRUE);
    int i = FindRecord(reg, nId);
    return i >= 0 ? reg.records[i]->pThread : NULL;
}

int CCheckUrlGarbageCollector::GetCount()
{
    Registry& reg = TheRegistry();
    CSingleLock lock(&reg.lock, TRUE);
    return reg.records.GetSize();
}

BOOL CCheckUrlGarbageCollector::IsRunning()
{
    Registry& reg = TheRegistry();
    CSingleLock lock(&reg.lock, TRUE);
    return reg.bRunning;
}

HANDLE CCheckUrlGarbageCollector::ExitEvent()
{
    return TheRegistry().hExit;
}

BOOL CCheckUrlGarbageCollector::WaitUntilEmpty(DWORD dwMaxWaitMs)
{
    Registry& reg = TheRegistry();
    {
        CSingleLock lock(&reg.lock, TRUE);
        reg.bRunning = FALSE;
        // A worker is destroyed only after its record left the list, so every
        // worker still listed here is alive.
        for (int i = 0; i < reg.records.GetSize(); i++)
            reg.records[i]->pWorker->m_Release.SetEvent();
        if (reg.hExit != NULL)
            SetEvent(reg.hExit);
    }
    DWORD dwStart = GetTickCount();
    for (;;) {
        // A worker may be sending WM_DOWNLOADDONE to a window of this thread
        // right now: serve sent messages while waiting, or both would wait.
        MsgWaitForMultipleObjects(0, NULL, FALSE, kBackOffMs, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (GetCount() == 0)
            return TRUE;
        if (GetTickCount() - dwStart >= dwMaxWaitMs)
            return FALSE;
    }
}
