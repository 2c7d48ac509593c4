// CTvnxDlg: the smilie window. The skinned frame (CTvnxWnd) with the fields
// container, the menu bar, the close and about buttons and the slider that
// sets the window's transparency. At its first show it opens the configured
// collection (falling back to the default one, then to a file the user
// picks), creates the image cache and fills the fields; at its destruction it
// saves what changed. The collection commands (new, open, import, save, save
// as, save a copy) and the menus of its bar and slider are in
// TvnxDlgCommands.cpp. User-interface thread only.
#pragma once

#include "app/TvnxWnd.h"
#include "collection/Sequence.h"
#include "fields/Fields.h"
#include "framework/Str.h"
#include "ui3d/controls/3DScrollBar.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/controls/TvnxBitmapButton.h"
#include "ui3d/menus/3DMenuBar.h"
#include "ui3d/system/VTimerRcrd.h"

#include <cstdint>

class C3DMenu;
class CMenuIcons;
struct SCANNEDCOLLECTION;

// 16 x 16 icon of a skin colour preset for the skin-colour menu: a gradient
// swatch in a 3D frame whose top and bottom rows are transparent; the current
// preset's swatch is shifted by one pixel and its frame swapped.
HICON MakeColorSwatchIcon(COLORREF clr, BOOL bCurrent);

class CTvnxDlg : public CTvnxWnd
{
public:
    typedef CVTimerRcrd CVTimerRcrdEntry;

    // Slider range and the base body height the skin's fields area is made for.
    enum { SLIDER_MAX = 170, SLIDER_OPAQUE = 169, BASE_BODY_HEIGHT = 201 };
    // Commands of the bar's items and of the two buttons.
    enum {
        CMD_CLOSE = 3, CMD_ABOUT = 4,
        BAR_COLLECTION = 5, BAR_EDIT = 6, BAR_FIELDS = 7, BAR_OPTIONS = 8, BAR_HELP = 9, BAR_SMILIES = 10
    };
    // Menu commands.
    enum {
        // collection menu
        ID_COL_NEW = 1, ID_COL_OPEN = 2, ID_COL_SAVE = 3, ID_COL_SAVEAS = 4, ID_COL_IMPORT = 5, ID_COL_HIDE = 6,
        ID_COL_EXIT = 7, ID_COL_UPDATE = 8, ID_COL_UPDATEFLAG = 9, ID_COL_FIRSTLISTED = 144, ID_COL_SAVECOPY = 513,
        // options menu
        ID_OPT_OPTIONS = 5, ID_OPT_CODE_IMG = 16, ID_OPT_CODE_HTML = 17, ID_OPT_CODE_EZBOARD = 18,
        ID_OPT_CODE_CUSTOM = 64, ID_OPT_COLORING_OFF = 65, ID_OPT_COLOR_FIRST = 66, ID_OPT_LOOK_FIRST = 128,
        ID_OPT_ZEROSTATS = 132, ID_OPT_LOCALSMILIES = 256, ID_OPT_EUDORAONLY = 257, ID_OPT_ANIMATION = 258,
        ID_OPT_TIPS = 259,
        // help menu
        ID_HELP_WEBPAGE_HOWTO = 6, ID_HELP_HELP = 7, ID_HELP_ABOUT = 8, ID_HELP_INTERNAL = 135,
        ID_HELP_WEBSITE = 261, ID_HELP_HISTORY = 512
    };
    // What s_pfnRunDialog runs.
    enum { DIALOG_ABOUT = 1, DIALOG_CUSTOMTEMPLATE = 2 };

    CTvnxDlg();
    ~CTvnxDlg() override;

    // The window of the given height at the position, owned by pOwner, a child
    // of pParent (none: a top-level window). Created hidden; the first show
    // makes it visible. 1 or 0.
    BOOL Create(int nHeight, CWnd* pOwner, CWnd* pParent, POINT pt);

    void SetTransparency(int nPercent, BOOL bProgrammatic);
    int GetTransparencyPercent();
    void ApplySkin();

    // --- collection handling (TvnxDlgCommands.cpp) ----------------------------------
    int LoadCollection(LPCTSTR pszPath, double dWeight);
    BOOL WriteCollection(LPCTSTR pszPath, BOOL bRequireOpen, double dWeight);
    int MergeCollection(LPCTSTR pszPath, double dWeight);
    void OpenCollection(LPCTSTR pszPath, int nFlag);
    void ImportCollection(LPCTSTR pszPath);
    int ImportCollectionUpdate(LPCTSTR pszPath);
    void NewCollection();
    void Save();
    void SaveAs();
    void SaveCopyAs();
    // The messages of the save and of the open or merge results; 1 for success.
    BOOL ShowSaveResult(int nResult);
    void ShowOpenResult(int nResult, int nLoadedKind);

    // --- menus as data (TvnxDlgCommands.cpp) ---------------------------------------
    // Each fills an empty popup menu (and the given submenus) with its items.
    // The Build functions load every icon they show into icons, which must
    // outlive the menu.
    void BuildCollectionMenu(C3DMenu& menu, C3DMenu& listMenu, CSequence<SCANNEDCOLLECTION>& list,
                             CMenuIcons& icons);
    void BuildOptionsMenu(C3DMenu& menu, C3DMenu& codeMenu, C3DMenu& lookMenu, C3DMenu& colorMenu,
                          CMenuIcons& icons);
    void BuildHelpMenu(C3DMenu& menu, CMenuIcons& icons);
    void BuildSliderMenu(C3DMenu& menu, CMenuIcons& icons);
    // Carry out a chosen command of each menu.
    void OnCollectionCommand(UINT nCommand, const CSequence<SCANNEDCOLLECTION>& list);
    void OnOptionsCommand(UINT nCommand);
    void OnHelpCommand(UINT nCommand);
    void ShowMenu(UINT nBarValue);
    void ShowSliderMenu(POINT ptClient);
    // The open collection's name as menus show it ("" when none).
    CString GetCollectionName() const;

    // The timer and the hover check.
    virtual void OnTimerTick(int nClientId, int nAmount);
    virtual void SetOpacity(int nAlpha);
    void CheckHoverOpacity(HWND hWndUnder);

    void OnCreated() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The owner, or the parent when there is none.
    HWND GetOwnerOrParent() const;

    CSequence<CVTimerRcrd> m_TimerRecords;
    C3DToolTip m_ToolTips;
    CFields m_Fields;
    C3DScrollBar m_Slider;
    CTvnxBitmapButton m_BtnClose;
    CTvnxBitmapButton m_BtnAbout;
    C3DMenuBar m_MenuBar;
    int m_nTickClient;
    int m_bDlgDestroyed;
    int m_nTicks;
    HWND m_hOwner;
    int m_bProgrammaticMove;

    // What the window calls out to; tests put in their own. Messages (a
    // skinned box with the caption "Tarvenex"): the button pressed. File
    // dialogs: IDOK with the chosen path, or IDCANCEL. Menus: the command
    // chosen, 0 when dismissed (nBarValue 0: a popup at the screen point).
    // Dialogs: DIALOG_ABOUT, or DIALOG_CUSTOMTEMPLATE editing *pText.
    static int (*s_pfnMessageBox)(CWnd* pParent, LPCSTR pszText, UINT nType);
    static int (*s_pfnFileDialog)(CWnd* pParent, BOOL bOpen, LPCSTR pszTitle, LPCSTR pszFilter,
                                  LPCSTR pszProposed, CString& strPath);
    static UINT (*s_pfnTrackMenu)(CTvnxDlg* pDlg, C3DMenu* pMenu, UINT nBarValue, POINT ptScreen);
    static INT_PTR (*s_pfnRunDialog)(CTvnxDlg* pDlg, int nDialog, CString* pText);
    static UINT (WINAPI* s_pfnGetDriveType)(LPCSTR pszRoot);

private:
    void OnVTimerMsg(int nId);
    void OnSliderScroll(int nCode, int nPos);
    void OnSizeMsg(UINT nType, int cx, int cy);
    void OnDestroyMsg();
    void OnCloseMsg();
    void OnLanguageChanged();
    void SetupToolTips();
    void CreateMenuBar();
    BOOL OpenConfiguredCollection();
    void LoadOpenLayout();
    void ClearChangeFlags();
    void CreateImgCacheIfNone();
    void ResetAfterFailedLoad();
    void OpenProgramFile(LPCSTR pszRelative);
    CString ProposeNewName() const;
    int Message(int nLangString, UINT nType);
    LRESULT PrintFromBackBuffer(HDC hDC);
};

// The main window while it exists.
extern CTvnxDlg* g_pMainDlg;
