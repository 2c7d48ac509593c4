// Downloads of smilie pictures by web address, and the internet connection
// probe. Each download runs on its own worker thread at the lowest priority
// with WinInet in asynchronous mode. The worker reports to an owner window:
//   WM_DOWNLOADPROGRESS (posted): wParam the cookie, lParam state | progress << 16
//   WM_DOWNLOADDONE (sent, so the owner can take the result first): wParam the
//   cookie, lParam the final state (DOWNLOADSTATE in app/Messages.h)
// and then waits until the owner gives it up with CCheckUrl::Release; it frees
// itself 3 seconds later. Nothing is sent after the release.
//
// CCheckUrlGarbageCollector keeps the running workers: the WinInet status
// callback reaches a worker only through it, and the program's exit waits on it.
#pragma once

#include <windows.h>
#include <wininet.h>
#include "services/Messages.h"
#include "collection/Sequence.h"
#include "framework/MemFile.h"
#include "framework/Str.h"
#include "framework/Sync.h"
#include "framework/Thread.h"

// Largest picture a download may bring, and largest single read.
const DWORD TVNX_MAX_DOWNLOAD = 307200;
const DWORD TVNX_MAX_DOWNLOAD_CHUNK = 307199;

// One running download or probe. Every field is read and written only while
// holding the worker's own lock (the object itself).
class CCheckUrlWorker : public CCriticalSection
{
public:
    CCheckUrlWorker(LPCSTR pszUrl, int nProgressMax, HWND hOwner, WPARAM nCookie);
    ~CCheckUrlWorker() override;

    enum STEP { STEP_IDLE, STEP_ROOT, STEP_OPENURL, STEP_LENGTH, STEP_AVAILABLE, STEP_READ };

    DWORD m_nId;
    BYTE* m_pResult;        // malloc'd; null until a download succeeded
    DWORD m_nResultLength;
    BYTE m_nState;
    BYTE m_nProgress;
    BYTE m_nProgressMax;
    HWND m_hOwner;
    WPARAM m_nCookie;
    CString m_strUrl;
    HINTERNET m_hRoot;
    HINTERNET m_hRequest;
    BYTE m_nStep;
    DWORD m_dwLastError;
    CEvent m_Release;   // manual reset: the owner gave the worker up
    CEvent m_Complete;  // manual reset: the asynchronous call of the step completed
    // Both the worker thread and WinInet's threads post progress; reading the
    // values and posting them happen under this lock, so that the owner gets
    // the posts in the order the values were taken.
    CCriticalSection m_PostLock;

    // Written by WinInet when a call completes asynchronously, so they must
    // outlive the call: they live as long as the worker.
    DWORD m_dwAvailable;
    DWORD m_dwRead;

    BOOL IsWanted() const;
    // Waits for the release or the completion of the current step.
    void WaitReleaseOrComplete();
    BYTE GetState();
    void SetState(BYTE nState);
    BYTE GetProgress();
    void SetProgress(BYTE nProgress);
    void SetStep(BYTE nStep);
    DWORD GetId();
    // WM_DOWNLOADPROGRESS with the current state and progress, while wanted.
    void Post();
    // WM_DOWNLOADDONE with the final state, while wanted.
    void SendDone(BYTE nFinalState);

private:
    CCheckUrlWorker(const CCheckUrlWorker&) = delete;
    CCheckUrlWorker& operator=(const CCheckUrlWorker&) = delete;
};

// The owner's handle of one running worker.
class CCheckUrl
{
public:
    CCheckUrl() : m_pWorker(NULL) {}

    // Starts a download of pszUrl; *ppHandle receives the handle (null on
    // failure). nProgressMax 0 counts as 255. Throws CMemoryException* when the
    // worker or its thread cannot be made.
    static void StartDownload(CCheckUrl** ppHandle, LPCSTR pszUrl, int nProgressMax, HWND hOwner, WPARAM nCookie);
    // Starts a probe of s_strProbeUrl (progress maximum 20, cookie 0).
    static void StartProbe(CCheckUrl** ppHandle, HWND hOwner);
    // Gives the worker up (it ends by itself) and deletes the handle.
    static void Release(CCheckUrl* pHandle);
    // The result's length (0 when there is none); copies it to pDest when given.
    // Valid from WM_DOWNLOADDONE until the release.
    static DWORD TakeResult(CCheckUrl* pHandle, void* pDest);
    // The worker's state (DOWNLOADSTATE).
    static BYTE GetState(CCheckUrl* pHandle);

    // Starts a probe unless one is still running: 1 when started, else 0.
    static int ProbeConnection(HWND hOwner);
    // Releases and drops the probes that have ended.
    static void ReapProbes();
    // Releases and drops every probe, the last first.
    static void CancelProbes();

    static UINT __cdecl DownloadThreadProc(LPVOID pParam);
    static UINT __cdecl ProbeThreadProc(LPVOID pParam);
    static void CALLBACK StatusCallback(HINTERNET hInternet, DWORD_PTR dwContext, DWORD dwStatus,
                                        LPVOID pStatusInfo, DWORD dwStatusLength);

    // The page the probe fetches; tests point it at their own loopback server.
    static CString s_strProbeUrl;

    CCheckUrlWorker* m_pWorker;

private:
    static void Start(CCheckUrl** ppHandle, AFX_THREADPROC pfnProc, LPCSTR pszUrl, int nProgressMax,
                      HWND hOwner, WPARAM nCookie);
};

// The running probes' handles (user-interface thread only).
extern CSequence<CCheckUrl*> g_ConnectionProbes;

class CCheckUrlGarbageCollector
{
public:
    struct Record
    {
        DWORD nId;
        CWinThread* pThread;
        CCheckUrlWorker* pWorker;
        CMutex* pInUse;  // held by the status callback or the removal that uses the worker
    };

    // Registers a started worker; returns its id (from 1, never reused), or 0
    // when the registry could not be locked within 300 ms or already holds the
    // thread or the worker.
    static DWORD Register(CWinThread* pThread, CCheckUrlWorker* pWorker);
    // Removes the record and destroys its worker, once no callback uses it.
    static void Unregister(DWORD nId);
    // The worker of nId with its record's mutex held (release with
    // ReleaseWorker), or null when nId is not registered.
    static CCheckUrlWorker* LockWorker(DWORD nId, CMutex** ppInUse);
    static void ReleaseWorker(CMutex* pInUse);
    // The thread of nId, or null when nId is not registered.
    static CWinThread* FindThread(DWORD nId);
    static int GetCount();

    // Program exit: clears the running flag, gives up every registered worker
    // (an owner that never released its handle would otherwise keep its worker
    // waiting for ever) and waits until all have unregistered, at most
    // dwMaxWaitMs. Sent messages are served meanwhile. TRUE when none is left.
    static BOOL WaitUntilEmpty(DWORD dwMaxWaitMs = 10000);
    static BOOL IsRunning();
    // Set by WaitUntilEmpty: released workers no longer linger before they go.
    static HANDLE ExitEvent();
};
