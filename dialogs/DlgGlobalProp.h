// CDlgGlobalProp: the options sheet, five pages over the program-wide
// settings. It edits a private copy (OPTIONSDATA); nothing reaches the
// settings until the copy is applied after OK, option by option, each with
// its own clamp and its effect on the running program. The sheet also owns
// the program's autostart entry in the registry, which is no setting.
#pragma once

#include "framework/Str.h"
#include "ui3d/dialogs/3DPropertySheet.h"

class CFields;

// The sheet's working copy of the options it edits.
struct OPTIONSDATA
{
    BYTE nPreviewMode;
    int nPreviewDelay;          // milliseconds
    int bAnimation;
    int nCacheSize;             // bytes
    int bFadeDialogs;
    int bTabSmoothScroll;
    int bTabTransparentEdges;
    int bTaskbarButton;
    int nLanguage;              // index into the language-name list
    int bDock;
    int b3DMenus;
    int bTipsAtStartup;
    int bLocalSmilies;
    int bEudoraOnly;
    int bToolTips;
    int bPreviewOnlyBig;
    COLORREF clrPreviewBack;
    int bLocalMark;
    int bTraySingleClick;
    int bTrayTip;
    int bWarnExit;
    int bPreviewName;
    COLORREF clrPreviewName;
    int bOpaqueOnHover;
    int bOpenAtStartup;
    int nHideAnimation;         // 0..2
    int nUndoSize;              // MB
    COLORREF clrSkin;
    int bSkinColoring;
    int nColorScheme;           // 0..5
    int nFieldsLook;            // 0..3
    int bToolbar;
    int bCensored;
};

// The colour schemes: scheme n is row n - 1.
enum { COLOR_SCHEME_COUNT = 5 };
COLORREF GetSchemeColor(int nScheme);
// The scheme (1..5) whose colour is clr, 0 when none.
int FindColorScheme(COLORREF clr);

// The choices of the three range combos; a stored value picks the entry whose
// range [entry, next entry) holds it, and any value outside them the last.
enum RANGECOMBO { RANGE_PREVIEWDELAY, RANGE_CACHESIZE, RANGE_UNDOSIZE };
int GetRangeCount(RANGECOMBO nCombo);
int GetRangeValue(RANGECOMBO nCombo, int nIndex);
int FindRangeIndex(RANGECOMBO nCombo, int nValue);

class CDlgGlobalProp : public C3DPropertySheet
{
public:
    CDlgGlobalProp(OPTIONSDATA* pData, CWnd* pParent);

    BOOL OnInitSheet() override;
    void OnInitPageControls() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    OPTIONSDATA* m_pData;
    // Combo indexes.
    int m_nFieldsLook, m_nPreviewMode, m_nPreviewDelay, m_nCacheSize, m_nLanguage, m_nHideAnimation, m_nUndoSize;
    // Check boxes.
    int m_bAnimation, m_bSmoothScroll, m_bTransparentEdges, m_bFadeDialogs, m_bTaskbarButton, m_bDock, m_b3DMenus,
        m_bTipsAtStartup, m_bAutostart, m_bLocalSmilies, m_bEudoraOnly, m_bToolTips, m_bPreviewOnlyBig,
        m_bLocalMark, m_bTraySingleClick, m_bTrayTip, m_bWarnExit, m_bPreviewName, m_bOpaqueOnHover,
        m_bOpenAtStartup, m_bSkinColoring, m_bToolbar, m_bCensored;
    COLORREF m_clrPreviewBack, m_clrPreviewName, m_clrSkin;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void OnEudoraClicked();
    void ChooseButtonColor(UINT nId, COLORREF* pColor);
    void OnColorChosen(HWND hSender);
    void FillCombos();
    void StackSchemeControls();
};

// Reads the autostart entry ("Tarvenex" under the current user's Run key) and
// compares it with the program's path in double quotes, or bare as earlier
// versions wrote it (*pbEqual). Mode 0 only reads; above 0 writes the quoted
// path unless it is there; below 0 removes the entry when it is the
// program's. Non-zero on success.
int SetAutostart(int nMode, int* pbEqual);

// A copy of the "Language" setting.
CString GetLanguageSetting();
// WM_LANGUAGE_CHANGED to a top-level window of the thread and all of its
// children; both go on enumerating.
BOOL CALLBACK EnumThreadSendLanguageChanged(HWND hWnd, LPARAM lParam);
BOOL CALLBACK EnumChildSendLanguageChanged(HWND hWnd, LPARAM lParam);

// What an applied option reaches besides the settings; any may be NULL.
struct OPTIONSTARGETS
{
    CFields* pFields = NULL;
    CWnd* pMainWnd = NULL;
    // The main window's own state: its docking flag, and its skin after a
    // change of the skin colouring.
    void (*pfnSetDocking)(CWnd* pMainWnd, int bDock) = NULL;
    void (*pfnApplySkin)(CWnd* pMainWnd) = NULL;
};

// The settings as the sheet edits them; the language index is the place of
// the "Language" setting in the language-name list (else of "English", else 0).
void LoadOptionsData(OPTIONSDATA* pData);
// Applies every field of now that differs from start, in a fixed order, each
// with its clamp; saves the settings when any changed and repaints the skin
// when its colouring changed. Returns the number of changed fields.
int ApplyOptionsData(const OPTIONSDATA& start, const OPTIONSDATA& now, const OPTIONSTARGETS& targets);
// The whole run: copy, the sheet modally over pParent, apply after OK. Not
// while a drag runs. 1 when the sheet ended with OK, else 0.
int RunOptionsSheet(const OPTIONSTARGETS& targets, CWnd* pParent);
