// The program's options: one record that every part of the program reads
// directly, loaded from and saved to the registry key
// "HKEY_CURRENT_USER\Software\Mordale\Tarvenex". Each member is named after its
// registry value. Only the user-interface thread reads and writes it.
#pragma once

#include "framework/Str.h"

#include <windows.h>

// Integers are 32-bit signed; flags are 0 or 1 once loaded; colours are
// 0x00BBGGRR.
struct APPSETTINGS
{
    int SmiliePreviewMode;             // 0..2
    int SmiliePreviewTimeoutInMs;      // 50..5000
    int SmilieAnimation;
    int SmilieCacheSizeInMB;           // 1..100
    int FadeDialogs;
    int TabSmoothScroll;
    int TabTransparentEdges;
    int ShowButtonOnTaskbar;
    CString Language;                  // display name of the language
    CString Skin;                      // name of the skin folder
    int DefaultDropMethod;             // 1..4
    int MainWndDockToWindows;
    int Show3DMenus;
    int ShowTipsOfTheDay;              // -1 off, else index of the next tip (up to 1000)
    int InsertLocalSmilies;
    int WarnNoInternetConnection;
    int EudoraOnly;
    int ShowTips;
    int SmiliePreviewOnlyForBigOnes;
    COLORREF TrayIconColor;
    COLORREF SmiliePreviewBackgroundColor;
    int SmilieLocalMark;
    int UndoBufferSizeInMB;            // 1..50
    int TrayIconSingleClick;
    int TrayTipAtStartup;
    int WarnExit;
    int SmiliePreviewIncludesName;
    COLORREF SmiliePreviewNameColor;
    int MainWndOpaqueOnMouseHover;
    CString AppDataFolder;             // may be empty
    CString SmilieCollection;          // "<default>" while no collection was chosen
    POINT MainWndPosition;             // each half -32768..32767; -1,-1 when never placed
    int MainWndTransparencyPercent;    // 0..100
    int MainWndHeight;                 // 16..1600
    CString FieldName;                 // may be empty
    int WarnMinimizingToTray;
    int MainWndAnimateHidingToTray;    // 0 none, 1 frame, 2 picture
    int MainWndOpenAtStartup;
    COLORREF SkinColor;
    int SkinColoringEnabled;
    int SkinColorScheme;               // 0..5
    int ShowFirstTimeSetup;
    int SmilieFieldsLook;              // 0..3
    int SmilieToolbar;
    int ShowCensoredSmilies;
    int ShowInsertingInMSN6Reminder;
    int ShowInsertingInMSN7Reminder;
};

extern APPSETTINGS g_Settings;

// The key as text, root name included.
extern const char g_szSettingsKey[];

// Every member to its default.
void SetDefaultSettings();
// Defaults first, then every value of the key that has the right type and
// size, each out-of-range number replaced by its own default. 1 when the key
// was opened, else 0 (the defaults stay).
int LoadSettings();
// Writes all values; write errors are ignored. With bFlush the key is flushed
// to disk. 1 when the key could be created or opened, else 0.
int SaveSettings(BOOL bFlush);

// Setters for the strings; NULL counts as empty.
void SetLanguageName(LPCTSTR pszName);       // empty gives "English"
void SetSkinName(LPCTSTR pszName);           // empty gives "Standard"
void SetAppDataFolder(LPCTSTR pszFolder);    // empty allowed
void SetCollectionPath(LPCTSTR pszPath);     // empty gives "<default>"
void SetFieldName(LPCTSTR pszName);          // empty allowed
// A copy of the data folder setting ("AppDataFolder"); empty when unset.
CString GetAppDataFolder();
// Stores the percentage; a value outside 0..100 gives 0, as it does when read
// from the registry.
void SetTransparencyPercent(int nPercent);
