#include "dialogs/DlgGlobalProp.h"

#include "collection/ImgCache.h"
#include "fields/Fields.h"
#include "fields/SmiliesFieldControl.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "skins/SkinScan.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/controls/TabSelector.h"
#include "ui3d/dialogs/3DColorDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"

#include <stdio.h>

namespace {

const struct
{
    COLORREF clr;
    LPCSTR pszName;  // shown with its quotes
} kSchemes[COLOR_SCHEME_COUNT] = {
    {0xD26757, "\"Dolphin\""}, {0x001ED2, "\"Aggression\""}, {0x00B91E, "\"Lawn\""},
    {0x0064FA, "\"The Sun\""}, {0x000000, "\"Contrast\""},
};
const UINT kSchemeButtons[COLOR_SCHEME_COUNT] = {IDC_OPT_SCHEME1, IDC_OPT_SCHEME2, IDC_OPT_SCHEME3,
                                                  IDC_OPT_SCHEME4, IDC_OPT_SCHEME5};
const UINT kSchemeLabels[COLOR_SCHEME_COUNT] = {IDC_OPT_SCHEMELABEL1, IDC_OPT_SCHEMELABEL2, IDC_OPT_SCHEMELABEL3,
                                                 IDC_OPT_SCHEMELABEL4, IDC_OPT_SCHEMELABEL5};

const int kPreviewDelays[] = {250, 500, 1000, 2000};
const int kCacheSizes[] = {5, 10, 20, 50, 100};
const int kUndoSizes[] = {5, 10, 20, 50};

struct RANGETABLE
{
    const int* pValues;
    int nCount;
};
const RANGETABLE kRanges[] = {{kPreviewDelays, 4}, {kCacheSizes, 5}, {kUndoSizes, 4}};

const UINT kPages[] = {IDD_OPTIONS_GENERAL, IDD_OPTIONS_COLOR, IDD_OPTIONS_SMILIES, IDD_OPTIONS_STARTUP,
                       IDD_OPTIONS_MEMORY, 0};
const int kPageTitles[] = {88, 178, 472, 370, 90};
const int kStrCaption = 273;

// Captions of the controls, and the tooltips (title, text) of the pages.
const struct
{
    UINT nId;
    int nString;
} kCaptions[] = {
    {IDC_OPT_MAINGROUP, 260},       {IDC_OPT_LOOKGROUP, 275},       {IDC_OPT_TRAYSINGLECLICK, 320},
    {IDC_OPT_TASKBARBUTTON, 297},   {IDC_OPT_TRANSPARENTEDGES, 289}, {IDC_OPT_SMOOTHSCROLL, 287},
    {IDC_OPT_3DMENUS, 302},         {IDC_OPT_FADEDIALOGS, 291},     {IDC_OPT_OPAQUEHOVER, 330},
    {IDC_OPT_DOCK, 300},            {IDC_OPT_TOOLTIPS, 312},        {IDC_OPT_COLORING, 338},
    {IDC_OPT_SKINCOLORLABEL, 340},  {IDC_OPT_PREVIEWGROUP, 274},    {IDC_OPT_FIELDSGROUP, 276},
    {IDC_OPT_ANIMATION, 285},       {IDC_OPT_BIGONLY, 314},         {IDC_OPT_LOCALMARK, 318},
    {IDC_OPT_PREVIEWNAME, 326},     {IDC_OPT_PREVIEWBACKLABEL, 316}, {IDC_OPT_NAMECOLORLABEL, 328},
    {IDC_OPT_EUDORAONLY, 310},      {IDC_OPT_LOCALSMILIES, 308},    {IDC_OPT_TOOLBAR, 349},
    {IDC_OPT_CENSORED, 525},        {IDC_OPT_WARNEXIT, 324},        {IDC_OPT_AUTOSTART, 306},
    {IDC_OPT_TIPSOFTHEDAY, 304},    {IDC_OPT_TRAYTIP, 322},         {IDC_OPT_OPENATSTART, 332},
};
const struct
{
    UINT nId;
    int nTitle;
    int nText;
} kTools[] = {
    {IDC_OPT_TRAYSINGLECLICK, 320, 321}, {IDC_OPT_TASKBARBUTTON, 297, 298}, {IDC_OPT_TRANSPARENTEDGES, 289, 290},
    {IDC_OPT_SMOOTHSCROLL, 287, 288},    {IDC_OPT_3DMENUS, 302, 303},       {IDC_OPT_FADEDIALOGS, 291, 292},
    {IDC_OPT_OPAQUEHOVER, 330, 331},     {IDC_OPT_DOCK, 300, 301},          {IDC_OPT_TOOLTIPS, 312, 313},
    {IDC_OPT_LANGUAGE, 283, 284},        {IDC_OPT_HIDEANIMATION, 336, 337}, {IDC_OPT_COLORING, 338, 339},
    {IDC_OPT_SKINCOLOR, 340, 341},       {IDC_OPT_SKINCOLORLABEL, 340, 341}, {IDC_OPT_PREVIEWMODE, 277, 278},
    {IDC_OPT_PREVIEWDELAY, 279, 280},    {IDC_OPT_ANIMATION, 285, 286},     {IDC_OPT_BIGONLY, 314, 315},
    {IDC_OPT_LOCALMARK, 318, 319},       {IDC_OPT_PREVIEWNAME, 326, 327},   {IDC_OPT_PREVIEWBACK, 316, 317},
    {IDC_OPT_PREVIEWBACKLABEL, 316, 317}, {IDC_OPT_NAMECOLOR, 328, 329},    {IDC_OPT_NAMECOLORLABEL, 328, 329},
    {IDC_OPT_EUDORAONLY, 310, 311},      {IDC_OPT_LOCALSMILIES, 308, 309},  {IDC_OPT_FIELDSLOOK, 348, 347},
    {IDC_OPT_TOOLBAR, 349, 350},         {IDC_OPT_CENSORED, 525, 526},      {IDC_OPT_WARNEXIT, 324, 325},
    {IDC_OPT_AUTOSTART, 306, 307},       {IDC_OPT_TIPSOFTHEDAY, 304, 305},  {IDC_OPT_TRAYTIP, 322, 323},
    {IDC_OPT_OPENATSTART, 332, 333},     {IDC_OPT_CACHESIZE, 281, 282},     {IDC_OPT_UNDOSIZE, 334, 335},
};

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "Tarvenex";
const int kLastFieldsLook = 3;

const BODYSTYLE* SkinBodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

PROPSHEETARGS SheetArgs(CWnd* pParent, LPCSTR* ppTitles)
{
    PROPSHEETARGS args;
    args.pPageIds = kPages;
    args.ppTitles = ppTitles;
    args.pParent = pParent;
    args.nImage1 = IDG_FIELDPROP_PICTURE;
    args.nImage2 = IDG_FIELDPROP_PICTURE_MASK;
    if (g_pSkin != NULL) {
        args.pTabLook = &g_pSkin->m_propTabLook;
        args.nTabHeight = g_pSkin->m_nPropTabsHeight;
        args.pToolTipStyle = &g_pSkin->m_tooltipStyle;
    }
    return args;
}

// The titles live as long as the language; the sheet copies them.
struct TITLES
{
    LPCSTR psz[6];
    TITLES()
    {
        for (int i = 0; i < 5; i++)
            psz[i] = GetLangString(kPageTitles[i]);
        psz[5] = NULL;
    }
};

BOOL HasAlphaBlend()
{
    return g_pExportedFuncs != NULL && g_pExportedFuncs->pAlphaBlend != NULL;
}

BOOL HasLayeredWindows()
{
    return g_pExportedFuncs != NULL && g_pExportedFuncs->pSetLayeredWindowAttributes != NULL;
}

void AddString(HWND hCombo, LPCSTR psz)
{
    ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz));
}

// A colour button's face: its style record with the colour put in.
void SetButtonFace(HWND hButton, COLORREF clr, const BODYSTYLE& base)
{
    if (hButton == NULL)
        return;
    BODYSTYLE style = base;
    ::SendMessageA(hButton, WM_GETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style));
    style.clrFace = clr;
    ::SendMessageA(hButton, WM_SETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style));
}

void MoveBelow(HWND hWnd, HWND hAbove, HWND hParent)
{
    if (hWnd == NULL || hAbove == NULL)
        return;
    RECT rc;
    ::GetWindowRect(hAbove, &rc);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<POINT*>(&rc), 2);
    ::SetWindowPos(hWnd, NULL, rc.left, rc.bottom + 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Flag(int n)
{
    return n != 0 ? 1 : 0;
}

}  // namespace

// --- tables ----------------------------------------------------------------------

COLORREF GetSchemeColor(int nScheme)
{
    return nScheme >= 1 && nScheme <= COLOR_SCHEME_COUNT ? kSchemes[nScheme - 1].clr : 0;
}

int FindColorScheme(COLORREF clr)
{
    for (int i = 0; i < COLOR_SCHEME_COUNT; i++) {
        if (kSchemes[i].clr == clr)
            return i + 1;
    }
    return 0;
}

int GetRangeCount(RANGECOMBO nCombo)
{
    return kRanges[nCombo].nCount;
}

int GetRangeValue(RANGECOMBO nCombo, int nIndex)
{
    const RANGETABLE& t = kRanges[nCombo];
    return nIndex >= 0 && nIndex < t.nCount ? t.pValues[nIndex] : t.pValues[t.nCount - 1];
}

int FindRangeIndex(RANGECOMBO nCombo, int nValue)
{
    const RANGETABLE& t = kRanges[nCombo];
    for (int i = 0; i + 1 < t.nCount; i++) {
        if (nValue >= t.pValues[i] && nValue < t.pValues[i + 1])
            return i;
    }
    return t.nCount - 1;
}

// --- the sheet ----------------------------------------------------------------------

CDlgGlobalProp::CDlgGlobalProp(OPTIONSDATA* pData, CWnd* pParent)
    : C3DPropertySheet(SkinBodyStyle(), g_Settings.FadeDialogs, SheetArgs(pParent, TITLES().psz)), m_pData(pData)
{
    const OPTIONSDATA& d = *pData;
    m_nFieldsLook = kLastFieldsLook - d.nFieldsLook;
    m_nPreviewMode = d.nPreviewMode;
    m_nPreviewDelay = FindRangeIndex(RANGE_PREVIEWDELAY, d.nPreviewDelay);
    m_nCacheSize = FindRangeIndex(RANGE_CACHESIZE, d.nCacheSize >> 20);
    m_nUndoSize = FindRangeIndex(RANGE_UNDOSIZE, d.nUndoSize);
    m_nLanguage = d.nLanguage;
    m_nHideAnimation = d.nHideAnimation;
    m_bAnimation = d.bAnimation;
    m_bSmoothScroll = d.bTabSmoothScroll;
    m_bTransparentEdges = d.bTabTransparentEdges;
    m_bFadeDialogs = d.bFadeDialogs;
    m_bTaskbarButton = d.bTaskbarButton;
    m_bDock = d.bDock;
    m_b3DMenus = d.b3DMenus;
    m_bTipsAtStartup = d.bTipsAtStartup;
    m_bAutostart = 0;
    m_bLocalSmilies = d.bLocalSmilies;
    m_bEudoraOnly = d.bEudoraOnly;
    m_bToolTips = d.bToolTips;
    m_bPreviewOnlyBig = d.bPreviewOnlyBig;
    m_bLocalMark = d.bLocalMark;
    m_bTraySingleClick = d.bTraySingleClick;
    m_bTrayTip = d.bTrayTip;
    m_bWarnExit = d.bWarnExit;
    m_bPreviewName = d.bPreviewName;
    m_bOpaqueOnHover = d.bOpaqueOnHover;
    m_bOpenAtStartup = d.bOpenAtStartup;
    m_bSkinColoring = d.bSkinColoring;
    m_bToolbar = d.bToolbar;
    m_bCensored = d.bCensored;
    m_clrPreviewBack = d.clrPreviewBack;
    m_clrPreviewName = d.clrPreviewName;
    m_clrSkin = d.clrSkin;
}

BOOL CDlgGlobalProp::OnInitSheet()
{
    SetWindowText(GetLangString(kStrCaption));
    for (const auto& c : kCaptions)
        ::SetDlgItemTextA(m_hWnd, c.nId, GetLangString(c.nString));

    int bEqual = 0;
    if (SetAutostart(0, &bEqual))
        m_bAutostart = bEqual;
    else
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_AUTOSTART), FALSE);

    if (g_ShellDllVersions.fShell32 < 5.0f)
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_TRAYTIP), FALSE);
    // What the system cannot do is switched off, not only greyed: OK then
    // stores the option as off.
    if (!HasAlphaBlend()) {
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_TRANSPARENTEDGES), FALSE);
        m_bTransparentEdges = 0;
    }
    if (!HasLayeredWindows()) {
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_FADEDIALOGS), FALSE);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_OPAQUEHOVER), FALSE);
        m_bFadeDialogs = 0;
        m_bOpaqueOnHover = 0;
    }
    FillCombos();
    StackSchemeControls();
    return TRUE;
}

void CDlgGlobalProp::FillCombos()
{
    char sz[256];
    HWND hCombo = ::GetDlgItem(m_hWnd, IDC_OPT_PREVIEWMODE);
    for (int n : {293, 294, 295})
        AddString(hCombo, GetLangString(n));

    hCombo = ::GetDlgItem(m_hWnd, IDC_OPT_FIELDSLOOK);
    for (int nLook = kLastFieldsLook; nLook >= 0; nLook--) {
        _snprintf(sz, sizeof(sz) - 1, "%s: %s", GetLangString(348), GetLangString(343 + kLastFieldsLook - nLook));
        sz[sizeof(sz) - 1] = '\0';
        AddString(hCombo, sz);
    }

    hCombo = ::GetDlgItem(m_hWnd, IDC_OPT_PREVIEWDELAY);
    for (int i = 0; i < GetRangeCount(RANGE_PREVIEWDELAY); i++) {
        _snprintf(sz, sizeof(sz) - 1, "%s: %.2fs", GetLangString(296), GetRangeValue(RANGE_PREVIEWDELAY, i) / 1000.0);
        sz[sizeof(sz) - 1] = '\0';
        AddString(hCombo, sz);
    }
    const struct
    {
        UINT nId;
        RANGECOMBO nCombo;
        int nString;
    } sizes[] = {{IDC_OPT_CACHESIZE, RANGE_CACHESIZE, 281}, {IDC_OPT_UNDOSIZE, RANGE_UNDOSIZE, 334}};
    for (const auto& s : sizes) {
        hCombo = ::GetDlgItem(m_hWnd, s.nId);
        for (int i = 0; i < GetRangeCount(s.nCombo); i++) {
            _snprintf(sz, sizeof(sz) - 1, "%s: %dMB", GetLangString(s.nString), GetRangeValue(s.nCombo, i));
            sz[sizeof(sz) - 1] = '\0';
            AddString(hCombo, sz);
        }
    }

    hCombo = ::GetDlgItem(m_hWnd, IDC_OPT_HIDEANIMATION);
    for (int n : {402, 403, 404})
        AddString(hCombo, GetLangString(n));

    hCombo = ::GetDlgItem(m_hWnd, IDC_OPT_LANGUAGE);
    CSequence<CString> names, infos;
    GetLanguageNameList(names);
    GetLanguageInfoList(infos);
    for (int i = 0; i < names.GetSize(); i++) {
        CString str = GetLangString(283);
        str += ": ";
        str += names[i];
        if (i < infos.GetSize() && infos[i].CompareNoCase("Mordale") != 0) {
            str += "  <";
            str += infos[i];
            str += ">";
        }
        AddString(hCombo, str);
    }
}

void CDlgGlobalProp::StackSchemeControls()
{
    char sz[64];
    for (int i = 0; i < COLOR_SCHEME_COUNT; i++) {
        const COLORREF clr = kSchemes[i].clr;
        sprintf(sz, "ClrRadioBtn %d,%d,%d", GetRValue(clr), GetGValue(clr), GetBValue(clr));
        ::SetDlgItemTextA(m_hWnd, kSchemeButtons[i], sz);
        CString strLabel = GetLangString(422);
        strLabel += " ";
        strLabel += kSchemes[i].pszName;
        ::SetDlgItemTextA(m_hWnd, kSchemeLabels[i], strLabel);
        if (i > 0) {
            MoveBelow(::GetDlgItem(m_hWnd, kSchemeButtons[i]), ::GetDlgItem(m_hWnd, kSchemeButtons[i - 1]), m_hWnd);
            MoveBelow(::GetDlgItem(m_hWnd, kSchemeLabels[i]), ::GetDlgItem(m_hWnd, kSchemeLabels[i - 1]), m_hWnd);
        }
    }
}

void CDlgGlobalProp::OnInitPageControls()
{
    for (const auto& t : kTools)
        AddPageTool(GetLangString(t.nText), t.nId, GetLangString(t.nTitle));
    for (int i = 0; i < COLOR_SCHEME_COUNT; i++) {
        CString strTitle = GetLangString(422);
        strTitle += " ";
        strTitle += kSchemes[i].pszName;
        AddPageTool(GetLangString(342), kSchemeButtons[i], strTitle);
    }
    SetButtonFace(::GetDlgItem(m_hWnd, IDC_OPT_PREVIEWBACK), m_clrPreviewBack, m_BodyStyle);
    SetButtonFace(::GetDlgItem(m_hWnd, IDC_OPT_NAMECOLOR), m_clrPreviewName, m_BodyStyle);
    SetButtonFace(::GetDlgItem(m_hWnd, IDC_OPT_SKINCOLOR), m_clrSkin, m_BodyStyle);
    UpdateData(FALSE);
}

void CDlgGlobalProp::DoDataExchange(CDataExchange* pDX)
{
    const struct
    {
        UINT nId;
        int* pn;
    } checks[] = {
        {IDC_OPT_ANIMATION, &m_bAnimation},         {IDC_OPT_SMOOTHSCROLL, &m_bSmoothScroll},
        {IDC_OPT_TRANSPARENTEDGES, &m_bTransparentEdges}, {IDC_OPT_FADEDIALOGS, &m_bFadeDialogs},
        {IDC_OPT_TASKBARBUTTON, &m_bTaskbarButton}, {IDC_OPT_DOCK, &m_bDock},
        {IDC_OPT_3DMENUS, &m_b3DMenus},             {IDC_OPT_TIPSOFTHEDAY, &m_bTipsAtStartup},
        {IDC_OPT_AUTOSTART, &m_bAutostart},         {IDC_OPT_LOCALSMILIES, &m_bLocalSmilies},
        {IDC_OPT_EUDORAONLY, &m_bEudoraOnly},       {IDC_OPT_TOOLTIPS, &m_bToolTips},
        {IDC_OPT_BIGONLY, &m_bPreviewOnlyBig},      {IDC_OPT_LOCALMARK, &m_bLocalMark},
        {IDC_OPT_TRAYSINGLECLICK, &m_bTraySingleClick}, {IDC_OPT_TRAYTIP, &m_bTrayTip},
        {IDC_OPT_WARNEXIT, &m_bWarnExit},           {IDC_OPT_PREVIEWNAME, &m_bPreviewName},
        {IDC_OPT_OPAQUEHOVER, &m_bOpaqueOnHover},   {IDC_OPT_OPENATSTART, &m_bOpenAtStartup},
        {IDC_OPT_COLORING, &m_bSkinColoring},       {IDC_OPT_TOOLBAR, &m_bToolbar},
        {IDC_OPT_CENSORED, &m_bCensored},
    };
    for (const auto& c : checks)
        DDX_Check(pDX, c.nId, *c.pn);
    const struct
    {
        UINT nId;
        int* pn;
    } combos[] = {
        {IDC_OPT_FIELDSLOOK, &m_nFieldsLook}, {IDC_OPT_PREVIEWMODE, &m_nPreviewMode},
        {IDC_OPT_PREVIEWDELAY, &m_nPreviewDelay}, {IDC_OPT_CACHESIZE, &m_nCacheSize},
        {IDC_OPT_LANGUAGE, &m_nLanguage},     {IDC_OPT_HIDEANIMATION, &m_nHideAnimation},
        {IDC_OPT_UNDOSIZE, &m_nUndoSize},
    };
    for (const auto& c : combos)
        DDX_CBIndex(pDX, c.nId, *c.pn);
    HWND hGroup = ::GetDlgItem(m_hWnd, IDC_OPT_SCHEME1);
    if (hGroup != NULL) {
        if (pDX->m_bSaveAndValidate)
            m_clrSkin = static_cast<COLORREF>(::SendMessageA(hGroup, WM_CLRSELGET, 0, 0));
        else
            ::SendMessageA(hGroup, WM_CLRSELSET, m_clrSkin, 0);
    }
}

void CDlgGlobalProp::OnOK()
{
    if (m_nFadeState != 0)
        return;
    UpdateData(TRUE);
    OPTIONSDATA& d = *m_pData;
    d.nFieldsLook = kLastFieldsLook - m_nFieldsLook;
    d.nPreviewMode = static_cast<BYTE>(m_nPreviewMode);
    d.nLanguage = m_nLanguage;
    d.nPreviewDelay = GetRangeValue(RANGE_PREVIEWDELAY, m_nPreviewDelay);
    d.nCacheSize = GetRangeValue(RANGE_CACHESIZE, m_nCacheSize) << 20;
    d.nUndoSize = GetRangeValue(RANGE_UNDOSIZE, m_nUndoSize);

    d.bAnimation = Flag(m_bAnimation);
    d.bTabSmoothScroll = Flag(m_bSmoothScroll);
    d.bTabTransparentEdges = Flag(m_bTransparentEdges);
    d.bFadeDialogs = Flag(m_bFadeDialogs);
    d.bTaskbarButton = Flag(m_bTaskbarButton);
    d.bDock = Flag(m_bDock);
    d.b3DMenus = Flag(m_b3DMenus);
    d.bTipsAtStartup = Flag(m_bTipsAtStartup);
    d.bLocalSmilies = Flag(m_bLocalSmilies);
    d.bEudoraOnly = Flag(m_bEudoraOnly);
    d.bToolTips = Flag(m_bToolTips);
    d.bPreviewOnlyBig = Flag(m_bPreviewOnlyBig);
    d.bLocalMark = Flag(m_bLocalMark);
    d.bTraySingleClick = Flag(m_bTraySingleClick);
    d.bTrayTip = Flag(m_bTrayTip);
    d.bWarnExit = Flag(m_bWarnExit);
    d.bPreviewName = Flag(m_bPreviewName);
    d.bOpaqueOnHover = Flag(m_bOpaqueOnHover);
    d.bOpenAtStartup = Flag(m_bOpenAtStartup);
    d.bSkinColoring = Flag(m_bSkinColoring);
    d.bToolbar = Flag(m_bToolbar);
    d.bCensored = Flag(m_bCensored);
    d.clrPreviewBack = m_clrPreviewBack;
    d.clrPreviewName = m_clrPreviewName;
    d.nHideAnimation = m_nHideAnimation;

    HWND hSkinColor = ::GetDlgItem(m_hWnd, IDC_OPT_SKINCOLOR);
    d.clrSkin = hSkinColor != NULL ? static_cast<COLORREF>(::SendMessageA(hSkinColor, WM_GETBODYSTYLE, 0, 0))
                                   : m_clrSkin;
    d.nColorScheme = d.bSkinColoring ? FindColorScheme(d.clrSkin) : 0;
    g_nSkinColorScheme = d.nColorScheme <= COLOR_SCHEME_COUNT ? d.nColorScheme : 0;

    if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPT_AUTOSTART))) {
        int bEqual = 0;
        SetAutostart(m_bAutostart ? 1 : -1, &bEqual);
    }
    C3DPropertySheet::OnOK();
}

BOOL CDlgGlobalProp::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_OPT_EUDORAONLY:
            OnEudoraClicked();
            return TRUE;
        case IDC_OPT_PREVIEWBACK:
            ChooseButtonColor(IDC_OPT_PREVIEWBACK, &m_clrPreviewBack);
            return TRUE;
        case IDC_OPT_NAMECOLOR:
            ChooseButtonColor(IDC_OPT_NAMECOLOR, &m_clrPreviewName);
            return TRUE;
        case IDC_OPT_SKINCOLOR:
            ChooseButtonColor(IDC_OPT_SKINCOLOR, &m_clrSkin);
            return TRUE;
        }
    }
    return C3DPropertySheet::OnCommand(wParam, lParam);
}

void CDlgGlobalProp::OnEudoraClicked()
{
    if (::IsDlgButtonChecked(m_hWnd, IDC_OPT_EUDORAONLY) != BST_CHECKED)
        return;
    CWnd* pActive = CWnd::FromHandle(::GetActiveWindow());
    const int nAnswer = MessageBox3D(pActive != NULL ? pActive : this, GetLangString(398), GetLangString(399),
                                     MB_YESNO | MB_ICONQUESTION, g_Settings.FadeDialogs, SkinBodyStyle());
    if (nAnswer == IDYES)
        ::CheckDlgButton(m_hWnd, IDC_OPT_ANIMATION, BST_UNCHECKED);
    else
        ::CheckDlgButton(m_hWnd, IDC_OPT_EUDORAONLY, BST_UNCHECKED);
}

void CDlgGlobalProp::ChooseButtonColor(UINT nId, COLORREF* pColor)
{
    if (g_nActiveDrags != 0)
        return;
    C3DColorDialog dlg(*pColor, CC_FULLOPEN | CC_ANYCOLOR, this);
    if (dlg.DoModal() != IDOK || dlg.GetColor() == *pColor)
        return;
    *pColor = dlg.GetColor();
    SetButtonFace(::GetDlgItem(m_hWnd, nId), *pColor, m_BodyStyle);
    if (nId == IDC_OPT_SKINCOLOR) {
        ::CheckDlgButton(m_hWnd, IDC_OPT_COLORING, BST_CHECKED);
        ::SendDlgItemMessageA(m_hWnd, IDC_OPT_SCHEME1, WM_CLRSELSET, *pColor, 0);
    }
}

void CDlgGlobalProp::OnColorChosen(HWND hSender)
{
    if (hSender == NULL || ::GetParent(hSender) != m_hWnd)
        return;
    m_clrSkin = static_cast<COLORREF>(::SendDlgItemMessageA(m_hWnd, IDC_OPT_SCHEME1, WM_CLRSELGET, 0, 0));
    ::CheckDlgButton(m_hWnd, IDC_OPT_COLORING, BST_CHECKED);
    SetButtonFace(::GetDlgItem(m_hWnd, IDC_OPT_SKINCOLOR), m_clrSkin, m_BodyStyle);
}

LRESULT CDlgGlobalProp::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLRSELCHANGED && m_hWnd != NULL)
        OnColorChosen(reinterpret_cast<HWND>(wParam));
    return C3DPropertySheet::WindowProc(message, wParam, lParam);
}

// --- autostart ------------------------------------------------------------------------

int SetAutostart(int nMode, int* pbEqual)
{
    int bDummy = 0;
    if (pbEqual == NULL)
        pbEqual = &bDummy;
    *pbEqual = 0;
    char szPath[MAX_PATH + 1] = "";
    const DWORD n = ::GetModuleFileNameA(NULL, szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 0;
    szPath[n] = '\0';
    if (strchr(szPath, '\\') == NULL && strchr(szPath, '/') == NULL)
        return 0;

    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    char szValue[1024] = "";
    DWORD dwType = 0, cb = sizeof(szValue) - 1;
    const LONG lRead = ::RegQueryValueExA(hKey, kRunValue, NULL, &dwType, reinterpret_cast<BYTE*>(szValue), &cb);
    ::RegCloseKey(hKey);
    BOOL bExists = FALSE;
    if (lRead == ERROR_SUCCESS) {
        if (dwType != REG_SZ || cb == 0)
            return 0;
        // The stored text need not end with a zero.
        szValue[cb < sizeof(szValue) ? cb : sizeof(szValue) - 1] = '\0';
        if (szValue[0] == '\0')
            return 0;
        bExists = TRUE;
    } else if (lRead != ERROR_FILE_NOT_FOUND) {
        return 0;
    }
    // The path goes into the Run value in double quotes: the shell splits an
    // unquoted command line at its first space and would try "C:\Program"
    // first. A bare path is what earlier versions wrote: still this program's
    // entry, and quoted when the entry is written again.
    char szQuoted[MAX_PATH + 3];
    wsprintfA(szQuoted, "\"%s\"", szPath);
    const BOOL bQuoted = bExists && lstrcmpiA(szValue, szQuoted) == 0;
    *pbEqual = bQuoted || (bExists && lstrcmpiA(szValue, szPath) == 0);
    if (nMode == 0 || (nMode > 0 && bQuoted) || (nMode < 0 && !*pbEqual))
        return 1;

    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return 0;
    LONG lResult;
    if (nMode < 0) {
        lResult = ::RegDeleteValueA(hKey, kRunValue);
    } else {
        lResult = bExists ? ::RegDeleteValueA(hKey, kRunValue) : ERROR_SUCCESS;
        if (lResult == ERROR_SUCCESS)
            lResult = ::RegSetValueExA(hKey, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(szQuoted),
                                       static_cast<DWORD>(strlen(szQuoted) + 1));
    }
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

// --- language -----------------------------------------------------------------------------

CString GetLanguageSetting()
{
    return g_Settings.Language;
}

BOOL CALLBACK EnumChildSendLanguageChanged(HWND hWnd, LPARAM)
{
    ::SendMessageA(hWnd, WM_LANGUAGE_CHANGED, 0, 0);
    return TRUE;
}

BOOL CALLBACK EnumThreadSendLanguageChanged(HWND hWnd, LPARAM lParam)
{
    ::SendMessageA(hWnd, WM_LANGUAGE_CHANGED, 0, 0);
    ::EnumChildWindows(hWnd, EnumChildSendLanguageChanged, lParam);
    return TRUE;
}

// --- the run ---------------------------------------------------------------------------------

void LoadOptionsData(OPTIONSDATA* pData)
{
    const APPSETTINGS& s = g_Settings;
    OPTIONSDATA& d = *pData;
    d.nPreviewMode = static_cast<BYTE>(s.SmiliePreviewMode);
    d.nPreviewDelay = s.SmiliePreviewTimeoutInMs;
    d.bAnimation = s.SmilieAnimation;
    d.nCacheSize = s.SmilieCacheSizeInMB << 20;
    d.bFadeDialogs = s.FadeDialogs;
    d.bTabSmoothScroll = s.TabSmoothScroll;
    d.bTabTransparentEdges = s.TabTransparentEdges;
    d.bTaskbarButton = s.ShowButtonOnTaskbar;
    d.bDock = s.MainWndDockToWindows;
    d.b3DMenus = s.Show3DMenus;
    d.bTipsAtStartup = s.ShowTipsOfTheDay != -1;
    d.bLocalSmilies = s.InsertLocalSmilies;
    d.bEudoraOnly = s.EudoraOnly;
    d.bToolTips = s.ShowTips;
    d.bPreviewOnlyBig = s.SmiliePreviewOnlyForBigOnes;
    d.clrPreviewBack = s.SmiliePreviewBackgroundColor;
    d.bLocalMark = s.SmilieLocalMark;
    d.bTraySingleClick = s.TrayIconSingleClick;
    d.bTrayTip = s.TrayTipAtStartup;
    d.bWarnExit = s.WarnExit;
    d.bPreviewName = s.SmiliePreviewIncludesName;
    d.clrPreviewName = s.SmiliePreviewNameColor;
    d.bOpaqueOnHover = s.MainWndOpaqueOnMouseHover;
    d.bOpenAtStartup = s.MainWndOpenAtStartup;
    d.nHideAnimation = s.MainWndAnimateHidingToTray;
    d.nUndoSize = s.UndoBufferSizeInMB;
    d.clrSkin = s.SkinColor;
    d.bSkinColoring = s.SkinColoringEnabled;
    d.nColorScheme = s.SkinColorScheme;
    d.nFieldsLook = s.SmilieFieldsLook;
    d.bToolbar = s.SmilieToolbar;
    d.bCensored = s.ShowCensoredSmilies;

    CSequence<CString> names;
    GetLanguageNameList(names);
    int nEnglish = -1;
    d.nLanguage = -1;
    for (int i = 0; i < names.GetSize(); i++) {
        if (d.nLanguage < 0 && names[i].CompareNoCase(s.Language) == 0)
            d.nLanguage = i;
        if (nEnglish < 0 && names[i].CompareNoCase("English") == 0)
            nEnglish = i;
    }
    if (d.nLanguage < 0)
        d.nLanguage = nEnglish >= 0 ? nEnglish : 0;
}

namespace {

void RedrawCurrentField(CFields* pFields)
{
    if (pFields == NULL)
        return;
    CSmiliesFieldControl* pField = pFields->GetShownField();
    if (pField != NULL)
        pField->RedrawAll();
}

}  // namespace

int ApplyOptionsData(const OPTIONSDATA& start, const OPTIONSDATA& now, const OPTIONSTARGETS& targets)
{
    APPSETTINGS& s = g_Settings;
    CFields* pFields = targets.pFields;
    int nChanged = 0;
    BOOL bSkinChanged = FALSE;
#define CHANGED(field) (now.field != start.field && ++nChanged)

    if (CHANGED(nFieldsLook)) {
        s.SmilieFieldsLook = now.nFieldsLook >= 0 && now.nFieldsLook <= 3 ? now.nFieldsLook : 3;
        if (pFields != NULL) {
            pFields->SetBackColorMode(s.SmilieFieldsLook);
            pFields->ApplyBackColorMode(s.SmilieFieldsLook);
        }
    }
    if (CHANGED(bFadeDialogs))
        s.FadeDialogs = now.bFadeDialogs;
    if (CHANGED(bAnimation)) {
        s.SmilieAnimation = now.bAnimation;
        if (g_pImgCache != NULL)
            g_pImgCache->SetAnimation(now.bAnimation);
        CFields::RedrawAll();
    }
    if (CHANGED(bTabSmoothScroll)) {
        s.TabSmoothScroll = now.bTabSmoothScroll;
        CTabSelector* pStrip = pFields != NULL ? pFields->GetSwitcher() : NULL;
        if (pStrip != NULL) {
            if (now.bTabSmoothScroll)
                pStrip->m_Look.nFlags |= TSF_SMOOTHSCROLL;
            else
                pStrip->m_Look.nFlags &= ~TSF_SMOOTHSCROLL;
            if (pStrip->m_hWnd != NULL) {
                RECT rc;
                pStrip->GetClientRect(&rc);
                pStrip->DrawTabs(0, rc.right, NULL);
                pStrip->Invalidate(FALSE);
            }
        }
    }
    if (CHANGED(bTabTransparentEdges)) {
        s.TabTransparentEdges = now.bTabTransparentEdges;
        CTabSelector* pStrip = pFields != NULL ? pFields->GetSwitcher() : NULL;
        if (pStrip != NULL) {
            if (!now.bTabTransparentEdges)
                pStrip->m_Look.nFlags &= ~TSF_FADEEDGES;
            else if (HasAlphaBlend())
                pStrip->m_Look.nFlags |= TSF_FADEEDGES;
            if (pStrip->m_hWnd != NULL)
                pStrip->RedrawStrip();
        }
    }
    if (CHANGED(nPreviewMode))
        s.SmiliePreviewMode = now.nPreviewMode > 2 ? 2 : now.nPreviewMode;
    if (now.nCacheSize != start.nCacheSize && now.nCacheSize >= (1 << 20)) {
        ++nChanged;
        int nMB = now.nCacheSize / 1048576;
        if (nMB < 1 || nMB > 100)
            nMB = 50;
        s.SmilieCacheSizeInMB = nMB;
        if (g_pImgCache != NULL) {
            const uint64_t nLimit = static_cast<uint64_t>(nMB) << 20;
            if (g_pImgCache->m_nMemoryUsed > nLimit)
                g_pImgCache->FreeMemory(static_cast<int64_t>(g_pImgCache->m_nMemoryUsed - nLimit), -1);
            g_pImgCache->SetMemoryLimit(nLimit);
        }
    }
    if (CHANGED(nPreviewDelay))
        s.SmiliePreviewTimeoutInMs = now.nPreviewDelay < 50 || now.nPreviewDelay > 5000 ? 500 : now.nPreviewDelay;
    if (CHANGED(bTaskbarButton))
        s.ShowButtonOnTaskbar = now.bTaskbarButton;
    if (CHANGED(nLanguage)) {
        CSequence<CString> names;
        GetLanguageNameList(names);
        CString strName;
        if (now.nLanguage >= 0 && now.nLanguage < names.GetSize())
            strName = names[now.nLanguage];
        SetLanguageName(strName.IsEmpty() ? "English" : static_cast<LPCTSTR>(strName));
        SelectLanguage(s.Language);
        ::EnumThreadWindows(::GetCurrentThreadId(), EnumThreadSendLanguageChanged, 0);
    }
    if (CHANGED(bDock)) {
        s.MainWndDockToWindows = now.bDock;
        if (targets.pMainWnd != NULL && targets.pfnSetDocking != NULL)
            targets.pfnSetDocking(targets.pMainWnd, now.bDock);
    }
    if (CHANGED(b3DMenus)) {
        s.Show3DMenus = now.b3DMenus;
        g_bShow3DMenus = now.b3DMenus;
    }
    if (CHANGED(bTipsAtStartup))
        s.ShowTipsOfTheDay = now.bTipsAtStartup ? 0 : -1;
    if (CHANGED(bLocalSmilies))
        s.InsertLocalSmilies = now.bLocalSmilies;
    if (CHANGED(bEudoraOnly))
        s.EudoraOnly = now.bEudoraOnly;
    if (CHANGED(bToolTips)) {
        s.ShowTips = now.bToolTips;
        g_bNoToolTips = !now.bToolTips;
    }
    if (CHANGED(bPreviewOnlyBig))
        s.SmiliePreviewOnlyForBigOnes = now.bPreviewOnlyBig;
    if (CHANGED(clrPreviewBack))
        s.SmiliePreviewBackgroundColor = now.clrPreviewBack;
    if (CHANGED(bLocalMark)) {
        s.SmilieLocalMark = now.bLocalMark;
        RedrawCurrentField(pFields);
    }
    if (CHANGED(bTraySingleClick))
        s.TrayIconSingleClick = now.bTraySingleClick;
    if (CHANGED(bTrayTip))
        s.TrayTipAtStartup = now.bTrayTip;
    if (CHANGED(bWarnExit))
        s.WarnExit = now.bWarnExit;
    if (CHANGED(bPreviewName))
        s.SmiliePreviewIncludesName = now.bPreviewName;
    if (CHANGED(clrPreviewName))
        s.SmiliePreviewNameColor = now.clrPreviewName;
    if (CHANGED(bOpaqueOnHover))
        s.MainWndOpaqueOnMouseHover = now.bOpaqueOnHover;
    if (CHANGED(bOpenAtStartup))
        s.MainWndOpenAtStartup = now.bOpenAtStartup;
    if (now.nHideAnimation != start.nHideAnimation && now.nHideAnimation >= 0 && now.nHideAnimation <= 2) {
        ++nChanged;
        s.MainWndAnimateHidingToTray = now.nHideAnimation;
    }
    if (now.nUndoSize != start.nUndoSize && now.nUndoSize >= 5) {
        ++nChanged;
        s.UndoBufferSizeInMB = now.nUndoSize > 50 ? 20 : now.nUndoSize;
        if (pFields != NULL)
            pFields->TrimUndo(static_cast<uint64_t>(s.UndoBufferSizeInMB) << 20);
    }
    if (CHANGED(clrSkin)) {
        s.SkinColor = now.clrSkin;
        bSkinChanged = TRUE;
    }
    if (CHANGED(bSkinColoring)) {
        s.SkinColoringEnabled = now.bSkinColoring;
        bSkinChanged = TRUE;
    }
    if (CHANGED(nColorScheme)) {
        s.SkinColorScheme = now.nColorScheme >= 0 && now.nColorScheme <= 5 ? now.nColorScheme : 1;
        bSkinChanged = TRUE;
    }
    if (CHANGED(bToolbar))
        s.SmilieToolbar = now.bToolbar;
    if (CHANGED(bCensored)) {
        s.ShowCensoredSmilies = now.bCensored;
        RedrawCurrentField(pFields);
    }
#undef CHANGED

    if (nChanged > 0)
        SaveSettings(FALSE);
    if (bSkinChanged) {
        ApplySkinColoring();
        if (targets.pMainWnd != NULL && targets.pfnApplySkin != NULL)
            targets.pfnApplySkin(targets.pMainWnd);
    }
    return nChanged;
}

int RunOptionsSheet(const OPTIONSTARGETS& targets, CWnd* pParent)
{
    if (g_nActiveDrags != 0)
        return 0;
    OPTIONSDATA data;
    LoadOptionsData(&data);
    const OPTIONSDATA start = data;
    CDlgGlobalProp sheet(&data, pParent);
    if (sheet.DoModal() != IDOK)
        return 0;
    ApplyOptionsData(start, data, targets);
    return 1;
}
