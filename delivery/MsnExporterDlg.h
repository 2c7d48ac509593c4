// The messenger exporter: adds a picture smilie to MSN Messenger as a custom
// emoticon. It checks the messenger's emoticon settings, may show a
// reminder, then loads the hook library of the messenger's version for one
// run, mutes the sound output while the messenger's dialogs are driven,
// starts the run, follows it, and unloads the library. For messenger 6 it
// finally pastes the new emoticon's shortcut into the conversation.
//
// The dialog stays hidden unless the run takes longer than a timer period or
// fails; it then shows its bar at 66.
#pragma once

#include "delivery/MessengerRequest.h"
#include "msnhook/MsnHookApi.h"
#include "ui3d/dialogs/3DDialog.h"

#include <mmsystem.h>

// The wave-out functions that mute the sound; tests put in their own.
struct WAVEOUTFUNCS
{
    UINT (WINAPI* pfnGetNumDevs)();
    MMRESULT (WINAPI* pfnGetDevCaps)(UINT_PTR, LPWAVEOUTCAPSA, UINT);
    MMRESULT (WINAPI* pfnGetVolume)(HWAVEOUT, LPDWORD);
    MMRESULT (WINAPI* pfnSetVolume)(HWAVEOUT, DWORD);
};
extern WAVEOUTFUNCS g_WaveOut;

// Puts the text on the clipboard as CF_TEXT; 1 on success.
int PutShortcutOnClipboard(CWnd* pOwner, const char* pszText);
// Reads "ShowEmoticons" and "ShowCustomEmoticons" of the messenger: 1 when
// both could be read (REG_BINARY of 4 bytes each), *pbOn whether both are 1.
int ReadMessengerEmoticonSettings(BOOL* pbOn);
// Writes both as REG_BINARY 4 bytes of value 1; 1 on success.
int WriteMessengerEmoticonSettings();

class CMsnMsgrExporterBaseDlg : public C3DDialog
{
    DECLARE_DYNAMIC(CMsnMsgrExporterBaseDlg)
public:
    enum { MAX_WAVE_DEVICES = 5 };

    CMsnMsgrExporterBaseDlg(const char* pszLibraryName, CWnd* pParent);
    ~CMsnMsgrExporterBaseDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where the hook libraries are loaded from; NULL (the program) is the
    // program's own folder. Tests point it at the build's.
    static const char* s_pszLibraryFolder;

    CString libraryName;
    BOOL mayShow;
    HMODULE library;
    PFN_SENDMSNSMILIE pSendMsnSmilie;
    PFN_GETSTATE pGetState;
    PFN_CLEANUP pCleanup;
    PFN_ISVERSIONSUPPORTED pIsVersionSupported;
    PFN_NEEDMUTE pNeedMute;
    int waveDeviceCount;
    UINT waveDevices[MAX_WAVE_DEVICES];
    DWORD keptVolumes[MAX_WAVE_DEVICES];
    BOOL muted;

protected:
    // Loads the library by its full path in the library folder and binds the
    // five exports; FALSE (nothing loaded) when any is missing.
    BOOL LoadHookLibrary();
    void UnloadHookLibrary();
    void CleanupAndUnloadHookLibrary();
    void FindWaveOutDevices();
    void MuteWaveOut();
    void RestoreWaveOut();
};

class CMsnMsgrExporterDlg : public CMsnMsgrExporterBaseDlg
{
    DECLARE_DYNAMIC(CMsnMsgrExporterDlg)
public:
    // Outcome of a run as reported by the completion message.
    enum { OUTCOME_RUNNING = 0, OUTCOME_SUCCESS = 1, OUTCOME_FAILURE = -1 };

    // The whole road; 1 when the dialog ran and ended with success. After a
    // failure or a refusal the messenger's window, where the user was writing,
    // is brought back to the front (success does so at its last tick).
    int Export(MSNEXPORTREQUEST* pRequest);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnVTimer(int nId, int nAmount) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CWnd* parent;
    MSNEXPORTREQUEST* request;
    int timerId;
    int outcome;         // OUTCOME_*
    int lastState;       // the run state read at the last tick
    BOOL completed;      // the completion message arrived
    BOOL ticked;         // a timer tick arrived
    BOOL started;
    DWORD startTick;

protected:
    CMsnMsgrExporterDlg(int nVersion, const char* pszLibraryName, int* pCounter, CWnd* pParent);

    // The settings advice (when the settings are off) and the reminder; 1
    // when the export goes on.
    int CheckSettings();
    int RunReminder();
    virtual CString MessengerName() const = 0;
    virtual const char* SettingsAdvice() const = 0;
    // The reminder of this messenger when it is due, else NULL.
    virtual C3DDialog* MakeReminder(CWnd* pParent) = 0;

    int m_nVersion;      // 6 or 7
    int* m_pCounter;     // the shortcut counter of the class

private:
    int Run();
    void OnCompletion(WPARAM wParam);
    void StopTimer();
    void Finish(int nResult);
};

class CMsnMsgr6ExporterDlg : public CMsnMsgrExporterDlg
{
    DECLARE_DYNAMIC(CMsnMsgr6ExporterDlg)
public:
    explicit CMsnMsgr6ExporterDlg(CWnd* pParent);
    // Index (0 to 9) of the letter of the next shortcut, "~a" to "~j".
    static int s_nShortcut;

protected:
    CString MessengerName() const override;
    const char* SettingsAdvice() const override;
    C3DDialog* MakeReminder(CWnd* pParent) override;
};

class CMsnMsgr7ExporterDlg : public CMsnMsgrExporterDlg
{
    DECLARE_DYNAMIC(CMsnMsgr7ExporterDlg)
public:
    explicit CMsnMsgr7ExporterDlg(CWnd* pParent);
    static int s_nShortcut;

protected:
    CString MessengerName() const override;
    const char* SettingsAdvice() const override;
    C3DDialog* MakeReminder(CWnd* pParent) override;
};
