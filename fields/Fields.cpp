// The fields container: creation, the fields and their commands, looks,
// messages and the mouse passed through its gaps.
#include "fields/Fields.h"

#include "collection/Smilie.h"
#include "dialogs/DlgFieldProp.h"
#include "fields/ExportSmilies.h"
#include "fields/FieldsSwitcher.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/dialogs/3DImgMessageBox.h"

#include <windowsx.h>
#include <climits>
#include <cstring>

CSequence<CFields*> CFields::s_AllFields;

namespace {

const char kDefaultCode[] = "[img]<SMILIE>[/img]";
const COLORREF kDefaultTabColor = 0x7F7F7F;

CTabSelector* NewFieldsSwitcher(CFields*)
{
    return new CTvnxFieldsSwitcher;
}

// The field properties dialog over one field's record; the colour comes back
// from the dialog, the name, template and cell colour through its pointers.
int RunFieldPropDialog(CFields* pFields, FIELDPROPS* pProps)
{
    CString strName = pProps->strName, strCode = pProps->strCode;
    int bWhite = pProps->bWhiteCells;
    const auto clampInt = [](uint64_t n) { return n > uint64_t(INT_MAX) ? INT_MAX : int(n); };
    const bool bCounts = pProps->nSmilies >= 0;
    CDlgFieldProp dlg(pProps->clr, NULL, &strName, &strCode, &bWhite, pProps->nSmilies,
                      bCounts ? pProps->nTotalSmilies : -1, bCounts ? clampInt(pProps->nDataSize) : -1,
                      bCounts ? clampInt(pProps->nTotalDataSize) : -1, pFields);
    const int nResult = int(dlg.DoModal());
    if (nResult == IDOK) {
        pProps->strName = strName;
        pProps->strCode = strCode;
        pProps->bWhiteCells = bWhite;
        pProps->clr = dlg.m_clr;
    }
    return nResult;
}

int AskWithSkinnedBox(CWnd* pParent, LPCSTR pszCaption, LPCSTR pszText, UINT nType)
{
    return MessageBox3D(pParent, pszCaption, pszText, nType, g_Settings.FadeDialogs,
                        g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL);
}

// Colours of the old tab palette and what they became.
const COLORREF kOldTabColors[][2] = {
    {0xC1C1C1, 0xC8C8C8}, {0x0000FF, 0x4858FF}, {0x00FF00, 0x38D840}, {0x00C000, 0x38D840},
    {0xEFAE00, 0xFFB900}, {0x00FFFF, 0x00E6E6}, {0x404040, 0x707070}, {0xFF00FF, 0xFF40FF},
    {0xFF0000, 0xFF5858}, {0x0080FF, 0x2896FF},
};

int FindOldColor(COLORREF clr)
{
    for (int i = 0; i < int(sizeof(kOldTabColors) / sizeof(kOldTabColors[0])); i++)
        if (kOldTabColors[i][0] == clr)
            return i;
    return -1;
}

BYTE StepComponent(BYTE b)
{
    return b == 255 ? 254 : BYTE(b + 1);
}

}  // namespace

CTabSelector* (*CFields::s_pfnNewSwitcher)(CFields*) = NewFieldsSwitcher;
int (*CFields::s_pfnFieldDialog)(CFields*, FIELDPROPS*) = RunFieldPropDialog;
int (*CFields::s_pfnMessageBox)(CWnd*, LPCSTR, LPCSTR, UINT) = AskWithSkinnedBox;

// --- construction --------------------------------------------------------------------------

CFields::CFields()
    : m_pSwitcher(NULL), m_rcFields(0, 0, 0, 0), m_CellLook(), m_nDefaultCellWidth(CSmilie::defaultCellWidth),
      m_nDefaultCellHeight(CSmilie::defaultCellHeight), m_nBackMode(0), m_nShown(-1), m_bDestroyed(1), m_nHeight(0),
      m_nUndoPos(-1)
{
    s_AllFields.Add(this);
}

CFields::~CFields()
{
    for (int i = s_AllFields.GetSize() - 1; i >= 0; i--) {
        if (s_AllFields[i] == this) {
            s_AllFields.RemoveAt(i);
            break;
        }
    }
    if (m_hWnd != NULL)
        DestroyWindow();
    DestroyAllFields();
    m_Undo.RemoveAll();
    delete m_pSwitcher;
    m_pSwitcher = NULL;
}

BOOL CFields::CreateFields(CWnd* pMainWnd, const FIELDSPARAMS* pLook)
{
    ClearUndo();
    m_Look = *pLook;
    CRect rcTabs(pLook->rcTabStrip);
    CRect rcFields(pLook->nFieldsRect[0], pLook->nFieldsRect[1], pLook->nFieldsRect[2], pLook->nFieldsRect[3]);
    CRect rcWnd;
    rcWnd.UnionRect(&rcTabs, &rcFields);
    rcTabs.OffsetRect(-rcWnd.left, -rcWnd.top);
    rcFields.OffsetRect(-rcWnd.left, -rcWnd.top);
    m_Grid = pLook->grid;
    m_CellLook = pLook->cellLook;
    m_nDefaultCellWidth = pLook->nCellSize[0] > 0 ? pLook->nCellSize[0] : int(CSmilie::defaultCellWidth);
    m_nDefaultCellHeight = pLook->nCellSize[1] > 0 ? pLook->nCellSize[1] : int(CSmilie::defaultCellHeight);

    LPCSTR pszClass = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
    if (!CreateEx(0, pszClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rcWnd, pMainWnd, 0))
        return FALSE;
    m_nHeight = rcWnd.Height();

    m_pSwitcher = s_pfnNewSwitcher(this);
    BOOL bOk = m_pSwitcher != NULL;
    if (bOk) {
        m_pSwitcher->m_Look = pLook->tabStrip;
        bOk = m_pSwitcher->CreateControl(rcTabs, this, WS_CHILD | WS_VISIBLE);
    }
    if (bOk) {
        int nThickness = pLook->nMetrics[0] > 0 ? pLook->nMetrics[0] : ::GetSystemMetrics(SM_CXVSCROLL);
        const int placement[3] = {rcFields.right - nThickness, rcFields.top, rcFields.Height()};
        bOk = m_ScrollBar.Create(FALSE, &pLook->scrollBar, nThickness, this, pLook->nMetrics[1], placement);
        rcFields.right -= nThickness;
    }
    m_rcFields = rcFields;
    if (bOk) {
        MakeDefaultField();
        bOk = m_Fields.GetSize() == 1;
    }
    if (!bOk) {
        DestroyWindow();
        delete m_pSwitcher;
        m_pSwitcher = NULL;
        return FALSE;
    }
    return TRUE;
}

void CFields::MakeDefaultField()
{
    const int i = InsertField(0, GetLangString(196), kDefaultTabColor, m_nDefaultCellWidth, m_nDefaultCellHeight);
    if (i < 0)
        return;
    m_Fields[i].pField->m_strCode = kDefaultCode;
    m_Fields[i].pField->UpdateScrollRange(TRUE);
    if (m_pSwitcher != NULL)
        m_pSwitcher->SelectTab(m_Fields[i].nId);
    UpdateShownIndex();
    ShowOnly(m_nShown);
}

void CFields::ResetFields()
{
    SendMessage(WM_CLEARUNDO);
    if (m_pSwitcher != NULL)
        m_pSwitcher->RemoveAllTabs();
    DestroyAllFields();
    MakeDefaultField();
}

void CFields::DestroyAllFields()
{
    for (int i = m_Fields.GetSize() - 1; i >= 0; i--) {
        CSmiliesFieldControl* pField = m_Fields[i].pField;
        if (pField->m_hWnd != NULL)
            pField->DestroyWindow();
        delete pField;
        m_Fields.RemoveAt(i);
    }
    m_nShown = -1;
}

// --- fields -----------------------------------------------------------------------------------

void CFields::ApplyFieldLook(CSmiliesFieldControl* pField, COLORREF clrTab)
{
    COLORREF clrBack = 0xFFFFFF;
    if (m_nBackMode & 1)
        clrBack = clrTab;
    else if (m_nBackMode & 2)
        clrBack = 0x7F7F7F;
    pField->SetBackColor(clrBack, FALSE);
    pField->SetColorMode((m_nBackMode & 2) ? 1 : 0, FALSE);
    pField->SetAccentColor(m_Grid.clrAccent, m_Grid.bAccent, FALSE);
}

int CFields::AddFieldTab(CSmiliesFieldControl* pField, int nAfterId, LPCTSTR pszName, COLORREF clr)
{
    const int nId = m_pSwitcher != NULL ? m_pSwitcher->InsertTab(nAfterId, pszName, clr, FALSE) : 0;
    if (nId == 0) {
        pField->DestroyWindow();
        delete pField;
        return -1;
    }
    ::SetWindowTextA(pField->m_hWnd, pszName);
    ApplyFieldLook(pField, clr);
    ONEFIELD one;
    one.pField = pField;
    one.nId = nId;
    m_Fields.Add(one);
    UpdateShownIndex();
    return nId;
}

int CFields::InsertField(int nAfterId, LPCTSTR pszName, COLORREF clr, int nCellWidth, int nCellHeight)
{
    CSmiliesFieldControl* pField = new CSmiliesFieldControl;
    FIELDGRIDDEFAULTS grid = m_Grid;
    grid.bWhiteCells = 1;
    const SIZE cell = {nCellWidth, nCellHeight};
    if (!pField->Create(this, &grid, &m_CellLook, &m_rcFields, cell)) {
        delete pField;
        return -1;
    }
    if (AddFieldTab(pField, nAfterId, pszName, clr) < 0)
        return -1;
    if (m_pSwitcher != NULL)
        m_pSwitcher->RedrawStrip();
    pField->Invalidate(FALSE);
    return m_Fields.GetSize() - 1;
}

int CFields::FindField(int nId) const
{
    for (int i = m_Fields.GetSize() - 1; i >= 0; i--)
        if (m_Fields[i].nId == nId)
            return i;
    return -1;
}

int CFields::GetCurFieldIndex() const
{
    return m_pSwitcher != NULL ? FindField(m_pSwitcher->GetSelectedId()) : -1;
}

CSmiliesFieldControl* CFields::GetShownField() const
{
    return m_nShown >= 0 && m_nShown < m_Fields.GetSize() ? m_Fields[m_nShown].pField : NULL;
}

int CFields::ResolveId(int nId) const
{
    if (nId < 0 && m_pSwitcher != NULL)
        return m_pSwitcher->GetSelectedId();
    return nId;
}

void CFields::UpdateShownIndex()
{
    m_nShown = GetCurFieldIndex();
}

void CFields::ShowOnly(int nIndex)
{
    for (int i = 0; i < m_Fields.GetSize(); i++) {
        CSmiliesFieldControl* pField = m_Fields[i].pField;
        if (i == nIndex)
            continue;
        if (pField->m_pScrollBar != NULL)
            pField->DetachScrollBar();
        if (pField->m_hWnd != NULL && pField->IsWindowVisible())
            pField->ShowWindow(SW_HIDE);
    }
    if (nIndex < 0 || nIndex >= m_Fields.GetSize())
        return;
    CSmiliesFieldControl* pShown = m_Fields[nIndex].pField;
    if (m_ScrollBar.m_hWnd != NULL)
        pShown->AttachScrollBar(&m_ScrollBar);
    pShown->ShowWindow(SW_SHOW);
    m_nShown = nIndex;
}

void CFields::ShowFields(BOOL bShow)
{
    for (int i = 0; i < m_Fields.GetSize(); i++) {
        CSmiliesFieldControl* pField = m_Fields[i].pField;
        if (pField->m_hWnd != NULL)
            pField->ShowWindow(i == m_nShown && bShow ? SW_SHOW : SW_HIDE);
    }
}

void CFields::OnTabSelected(int nId)
{
    if (m_pSwitcher == NULL || nId != m_pSwitcher->GetSelectedId())
        return;
    const int i = FindField(nId);
    if (i < 0 || i == m_nShown)
        return;
    CSmiliesFieldControl* pOld = GetShownField();
    CSmiliesFieldControl* pNew = m_Fields[i].pField;
    if (pOld != NULL)
        pOld->DetachScrollBar();
    if (m_ScrollBar.m_hWnd != NULL)
        pNew->AttachScrollBar(&m_ScrollBar);
    pNew->ShowWindow(SW_SHOW);
    if (pOld != NULL && pOld->m_hWnd != NULL)
        pOld->ShowWindow(SW_HIDE);
    m_nShown = i;
}

void CFields::FillProps(int nIndex, FIELDPROPS& props) const
{
    const CSmiliesFieldControl* pField = m_Fields[nIndex].pField;
    pField->GetWindowText(props.strName);
    DWORD_PTR nData = kDefaultTabColor;
    if (m_pSwitcher != NULL)
        m_pSwitcher->GetTab(m_Fields[nIndex].nId, NULL, &nData);
    props.clr = COLORREF(nData);
    props.strCode = pField->m_strCode;
    props.nCellWidth = pField->GetCellWidth();
    props.nCellHeight = pField->GetCellHeight();
    props.bWhiteCells = pField->IsPlainBackground();
    props.nSmilies = pField->GetSmilieCount();
    props.nDataSize = pField->GetImageDataTotal();
    props.nTotalSmilies = 0;
    props.nTotalDataSize = 0;
    for (int i = 0; i < m_Fields.GetSize(); i++) {
        props.nTotalSmilies += m_Fields[i].pField->GetSmilieCount();
        props.nTotalDataSize += m_Fields[i].pField->GetImageDataTotal();
    }
}

void CFields::NewField(int nAfterId)
{
    nAfterId = ResolveId(nAfterId);
    if (m_Fields.GetSize() >= MAX_FIELDS || nAfterId == 0 || m_pSwitcher == NULL)
        return;
    int nNumber = m_pSwitcher->GetTabCount() + 1;
    while (m_pSwitcher->HasTab(nNumber, NULL))
        nNumber++;
    FIELDPROPS props;
    props.strName.Format("%s %d", GetLangString(91), nNumber);
    DWORD_PTR nData = kDefaultTabColor;
    if (m_pSwitcher->GetTab(nAfterId, NULL, &nData))
        props.clr = COLORREF(nData);
    props.strCode = GetCommonCode();
    if (props.strCode.IsEmpty())
        props.strCode = kDefaultCode;
    const int nAfter = FindField(nAfterId);
    if (nAfter >= 0) {
        props.nCellWidth = m_Fields[nAfter].pField->GetCellWidth();
        props.nCellHeight = m_Fields[nAfter].pField->GetCellHeight();
    }
    if (s_pfnFieldDialog == NULL || s_pfnFieldDialog(this, &props) != IDOK)
        return;
    PushUndo(GetLangString(408));
    const int i = InsertField(nAfterId, props.strName, props.clr, props.nCellWidth, props.nCellHeight);
    if (i < 0)
        return;
    CSmiliesFieldControl* pField = m_Fields[i].pField;
    pField->SetWhiteCells(props.bWhiteCells);
    m_pSwitcher->SelectTab(m_Fields[i].nId);
    pField->m_strCode = props.strCode;
    pField->UpdateScrollRange(TRUE);
    SetFieldsModified();
}

void CFields::DuplicateField(int nId)
{
    nId = ResolveId(nId);
    const int nSource = FindField(nId);
    if (m_Fields.GetSize() >= MAX_FIELDS || nSource < 0)
        return;
    FIELDPROPS props;
    FillProps(nSource, props);
    props.strTitle.Format("%s %s", GetLangString(92), props.strName.GetString());
    if (s_pfnFieldDialog == NULL || s_pfnFieldDialog(this, &props) != IDOK)
        return;
    PushUndo(GetLangString(410));
    CSmiliesFieldControl* pCopy = new CSmiliesFieldControl;
    if (!pCopy->CreateAsCopy(m_Fields[nSource].pField)) {
        delete pCopy;
        return;
    }
    const int nNewId = AddFieldTab(pCopy, nId, props.strName, props.clr);
    if (nNewId < 0)
        return;
    pCopy->m_strCode = props.strCode;
    pCopy->SetCellSize(NULL, props.nCellWidth, props.nCellHeight);
    pCopy->SetWhiteCells(props.bWhiteCells);
    m_pSwitcher->RedrawStrip();
    m_pSwitcher->SelectTab(nNewId);
    SetFieldsModified();
}

void CFields::AskRemoveField(int nId)
{
    nId = ResolveId(nId);
    const int i = FindField(nId);
    if (m_Fields.GetSize() <= 1 || nId == 0 || i < 0)
        return;
    CString strName;
    m_Fields[i].pField->GetWindowText(strName);
    CString strText;
    strText.Format("%s \"%s\"", GetLangString(94), strName.GetString());
    if (s_pfnMessageBox(this, GetLangString(93), strText, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    PushUndo(GetLangString(409));
    RemoveField(FindField(nId));
}

void CFields::RemoveField(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_Fields.GetSize() || m_Fields.GetSize() <= 1)
        return;
    const int nId = m_Fields[nIndex].nId;
    CSmiliesFieldControl* pField = m_Fields[nIndex].pField;
    // The strip selects a neighbour first, which shows its field.
    if (m_pSwitcher != NULL)
        m_pSwitcher->RemoveTab(nId, TRUE);
    if (pField->m_pScrollBar != NULL)
        pField->DetachScrollBar();
    if (pField->m_hWnd != NULL)
        pField->DestroyWindow();
    delete pField;
    m_Fields.RemoveAt(nIndex);
    if (m_nShown > nIndex)
        m_nShown--;
    else if (m_nShown == nIndex)
        UpdateShownIndex();
    while (CSmilie::StartNextDownload(FALSE, NULL))
        ;
    SetFieldsModified();
    PumpMessagesWhileBusy();
}

void CFields::EditFieldProperties(int nId)
{
    nId = ResolveId(nId);
    const int i = FindField(nId);
    if (i < 0)
        return;
    FIELDPROPS before;
    FillProps(i, before);
    FIELDPROPS props = before;
    props.strTitle.Empty();
    if (s_pfnFieldDialog == NULL || s_pfnFieldDialog(this, &props) != IDOK)
        return;
    if (props.strName != before.strName || props.clr != before.clr || props.strCode != before.strCode ||
        !props.bWhiteCells != !before.bWhiteCells)
        PushUndo(GetLangString(411));
    CSmiliesFieldControl* pField = m_Fields[i].pField;
    if (m_pSwitcher != NULL)
        m_pSwitcher->SetTab(nId, props.strName, props.clr, TRUE);
    if (props.strCode != pField->m_strCode) {
        pField->m_strCode = props.strCode;
        SetFieldsModified();
    }
    ::SetWindowTextA(pField->m_hWnd, props.strName);
    if (m_nBackMode & 1)
        pField->SetBackColor(props.clr, FALSE);
    pField->SetWhiteCells(props.bWhiteCells);
    if (m_pSwitcher != NULL)
        m_pSwitcher->RedrawStrip();
    pField->RedrawAll();
}

// --- looks and the whole set -----------------------------------------------------------------

void CFields::SetParams(const FIELDSPARAMS* pLook)
{
    m_Look = *pLook;
    m_Grid = pLook->grid;
    for (int i = 0; i < m_Fields.GetSize(); i++)
        m_Fields[i].pField->SetAccentColor(m_Grid.clrAccent, m_Grid.bAccent, TRUE);
    if (m_ScrollBar.m_hWnd != NULL)
        m_ScrollBar.SetStyle(&pLook->scrollBar);
    if (m_pSwitcher != NULL) {
        m_pSwitcher->m_Look = pLook->tabStrip;
        if (m_pSwitcher->m_hWnd != NULL) {
            m_pSwitcher->OnDisplayChanged();
            m_pSwitcher->RedrawStrip();
        }
    }
}

void CFields::ApplyBackColorMode(int nMode)
{
    m_nBackMode = nMode & 3;
    for (int i = 0; i < m_Fields.GetSize(); i++) {
        DWORD_PTR nData = kDefaultTabColor;
        if (m_pSwitcher != NULL)
            m_pSwitcher->GetTab(m_Fields[i].nId, NULL, &nData);
        ApplyFieldLook(m_Fields[i].pField, COLORREF(nData));
        m_Fields[i].pField->RedrawAll();
    }
}

void CFields::RedrawAll()
{
    for (int k = 0; k < s_AllFields.GetSize(); k++) {
        CFields* pFields = s_AllFields[k];
        for (int i = 0; i < pFields->m_Fields.GetSize(); i++)
            if (pFields->m_Fields[i].pField->m_hWnd != NULL)
                pFields->m_Fields[i].pField->RedrawAll();
    }
}

void CFields::FlagImagesInUse()
{
    for (int i = 0; i < m_Fields.GetSize(); i++)
        m_Fields[i].pField->FlagImagesInUse();
}

int CFields::QueueWebSmilies()
{
    int n = 0;
    for (int i = 0; i < m_Fields.GetSize(); i++)
        n += m_Fields[i].pField->QueueWebSmilies();
    return n;
}

void CFields::SetCodeForAllFields(LPCTSTR pszCode)
{
    PushUndo(GetLangString(407));
    for (int i = 0; i < m_Fields.GetSize(); i++)
        m_Fields[i].pField->m_strCode = pszCode != NULL ? pszCode : "";
    SetFieldsModified();
}

CString CFields::GetCommonCode() const
{
    if (m_Fields.GetSize() == 0)
        return CString();
    CString strFirst = m_Fields[0].pField->m_strCode;
    strFirst.MakeUpper();
    for (int i = 1; i < m_Fields.GetSize(); i++) {
        CString strCode = m_Fields[i].pField->m_strCode;
        strCode.MakeUpper();
        if (strCode != strFirst)
            return CString();
    }
    return strFirst;
}

int CFields::GetCurFieldName(LPSTR pszBuffer, int nSize) const
{
    const CSmiliesFieldControl* pField = GetShownField();
    if (pField == NULL)
        return 0;
    CString strName;
    pField->GetWindowText(strName);
    if (pszBuffer != NULL && nSize > 0)
        lstrcpynA(pszBuffer, strName, nSize);
    return strName.GetLength();
}

void CFields::SelectQuietly(int nId)
{
    if (m_pSwitcher == NULL || nId == 0 || m_pSwitcher->GetSelectedId() == nId)
        return;
    const int nFlags = m_pSwitcher->m_Look.nFlags;
    m_pSwitcher->m_Look.nFlags &= ~TSF_SMOOTHSCROLL;
    m_pSwitcher->SelectTab(nId);
    m_pSwitcher->m_Look.nFlags = nFlags;
}

void CFields::SelectFieldByName(LPCTSTR pszName)
{
    if (pszName == NULL)
        return;
    for (int i = m_Fields.GetSize() - 1; i >= 0; i--) {
        CString strName;
        m_Fields[i].pField->GetWindowText(strName);
        if (strcmp(strName, pszName) == 0) {
            SelectQuietly(m_Fields[i].nId);
            return;
        }
    }
}

void CFields::SelectFieldQuietly(int nId)
{
    SelectQuietly(nId);
}

void CFields::ConvertOldTabColors()
{
    if (m_pSwitcher == NULL)
        return;
    BOOL bAny = FALSE;
    for (int t = 0; t < m_pSwitcher->GetTabCount() && !bAny; t++)
        bAny = FindOldColor(COLORREF(m_pSwitcher->GetTabAt(t).nData)) >= 0;
    if (!bAny)
        return;
    const BOOL bConvert = s_pfnMessageBox(this, "Tarvenex", GetLangString(412), MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (!bConvert)
        s_pfnMessageBox(this, "Tarvenex", GetLangString(413), MB_OK | MB_ICONINFORMATION);
    for (int t = 0; t < m_pSwitcher->GetTabCount(); t++) {
        const COneTab tab = m_pSwitcher->GetTabAt(t);
        const int k = FindOldColor(COLORREF(tab.nData));
        if (k < 0)
            continue;
        const COLORREF clrOld = COLORREF(tab.nData);
        const COLORREF clrNew = bConvert ? kOldTabColors[k][1]
                                         : RGB(StepComponent(GetRValue(clrOld)), StepComponent(GetGValue(clrOld)),
                                               StepComponent(GetBValue(clrOld)));
        m_pSwitcher->SetTab(tab.nId, tab.strName, clrNew, FALSE);
        const int i = FindField(tab.nId);
        if (i >= 0 && (m_nBackMode & 1))
            m_Fields[i].pField->SetBackColor(clrNew, TRUE);
        SetFieldsModified();
    }
    m_pSwitcher->RedrawStrip();
}

// --- window ------------------------------------------------------------------------------------

void CFields::OnSizeMsg(UINT nType, int /*cx*/, int cy)
{
    if (nType != SIZE_RESTORED)
        return;
    const int dy = cy - m_nHeight;
    if (dy != 0 && m_nHeight != 0) {
        CWnd* children[2] = {&m_ScrollBar, NULL};
        for (int i = -1; i < m_Fields.GetSize(); i++) {
            CWnd* pWnd = i < 0 ? children[0] : m_Fields[i].pField;
            if (pWnd->m_hWnd == NULL)
                continue;
            CRect rc;
            ::GetWindowRect(pWnd->m_hWnd, &rc);
            ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            ::MoveWindow(pWnd->m_hWnd, rc.left, rc.top, rc.Width(), rc.Height() + dy, TRUE);
        }
        m_rcFields.bottom += dy;
    }
    m_nHeight = cy;
    ::ValidateRect(m_hWnd, NULL);
}

void CFields::PassMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    Default();
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent == NULL)
        return;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    for (HWND h = ::GetWindow(hParent, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        // Hidden windows take no clicks.
        if (h == m_hWnd || !::IsWindowVisible(h))
            continue;
        RECT rc;
        ::GetWindowRect(h, &rc);
        if (!::PtInRect(&rc, pt))
            continue;
        POINT ptChild = pt;
        ::ScreenToClient(h, &ptChild);
        ::SendMessageA(h, message, wParam, MAKELPARAM(ptChild.x, ptChild.y));
        return;
    }
    ::ScreenToClient(hParent, &pt);
    ::SendMessageA(hParent, message, wParam, MAKELPARAM(pt.x, pt.y));
}

void CFields::OnPaintMsg()
{
    RECT rcUpdate;
    if (::GetUpdateRect(m_hWnd, &rcUpdate, FALSE)) {
        for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(h))
                continue;
            RECT rc, rcMeet;
            ::GetWindowRect(h, &rc);
            ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            if (::IntersectRect(&rcMeet, &rc, &rcUpdate))
                ::InvalidateRect(h, NULL, FALSE);
        }
    }
    ::ValidateRect(m_hWnd, NULL);
}

LRESULT CFields::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_msgPrintBackground.Is(message)) {
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent == NULL || lParam == 0)
            return 0;
        RECT rc = *reinterpret_cast<const RECT*>(lParam);
        ::MapWindowPoints(m_hWnd, hParent, reinterpret_cast<POINT*>(&rc), 2);
        return ::SendMessageA(hParent, message, wParam, reinterpret_cast<LPARAM>(&rc));
    }
    const int nId = static_cast<int>(wParam);
    switch (message) {
    case WM_NEWFIELD:
        NewField(nId);
        return 0;
    case WM_DUPLICATEFIELD:
        DuplicateField(nId);
        return 0;
    case WM_REMOVEFIELD:
        AskRemoveField(nId);
        return 0;
    case WM_EDITFIELD:
        EditFieldProperties(nId);
        return 0;
    case WM_GETFIELDCOLOR: {
        const CSmiliesFieldControl* pField = GetShownField();
        return pField != NULL ? pField->GetBackgroundColor() : 0;
    }
    case WM_TABSELCHANGED:
        OnTabSelected(nId);
        return 0;
    case WM_GETFIELDCOUNT:
        return m_Fields.GetSize();
    case WM_GETMAXFIELDS:
        return MAX_FIELDS;
    case WM_PUSHUNDO:
        PushUndo(reinterpret_cast<LPCTSTR>(wParam));
        return 0;
    case WM_DROPUNDO:
        DropUndo();
        return 0;
    case WM_CLEARUNDO:
        ClearUndo();
        return 0;
    case WM_CANUNDO:
        return m_nUndoPos >= 0 && m_nUndoPos < m_Undo.GetSize();
    case WM_CANREDO:
        return m_nUndoPos + 1 >= 0 && m_nUndoPos + 1 < m_Undo.GetSize();
    case WM_UNDO_FIELDS:
        return Undo();
    case WM_REDO_FIELDS:
        return Redo();
    case WM_GETUNDOTITLE:
        if (m_nUndoPos >= 0 && m_nUndoPos < m_Undo.GetSize())
            return reinterpret_cast<LRESULT>(m_Undo[m_nUndoPos].pszTitle);
        return 0;
    case WM_GETREDOTITLE:
        if (m_nUndoPos + 1 >= 0 && m_nUndoPos + 1 < m_Undo.GetSize())
            return reinterpret_cast<LRESULT>(m_strRedoTitle.GetString());
        return 0;
    case WM_EXPORTFIELD: {
        const int i = FindField(ResolveId(nId));
        if (i >= 0)
            ExportField(m_Fields[i].pField);
        return 0;
    }
    case WM_GETFIELDSMILIES: {
        const int i = FindField(ResolveId(nId));
        return i >= 0 ? m_Fields[i].pField->GetSmilieCount() : 0;
    }
    case WM_GETFIELDDATASIZE: {
        const int i = FindField(ResolveId(nId));
        return i >= 0 ? static_cast<LRESULT>(m_Fields[i].pField->GetImageDataTotal()) : 0;
    }
    case WM_SIZE:
        OnSizeMsg(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_VSCROLL: {
        CSmiliesFieldControl* pField = GetShownField();
        return pField != NULL && pField->m_hWnd != NULL ? ::SendMessageA(pField->m_hWnd, message, wParam, lParam) : 0;
    }
    case WM_PAINT:
        OnPaintMsg();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        PassMouse(message, wParam, lParam);
        return 0;
    case WM_CREATE:
        g_WebSmilieQueue.RemoveAll();
        g_nWebSmilieCursor = -1;
        m_bDestroyed = 0;
        return CWnd::WindowProc(message, wParam, lParam);
    case WM_DESTROY:
        // The child windows go with this one whatever runs: the fields must
        // not outlive their windows, even while a modal dialog is open.
        if (m_pSwitcher != NULL && m_pSwitcher->m_hWnd != NULL)
            m_pSwitcher->DestroyWindow();
        if (m_ScrollBar.m_hWnd != NULL)
            m_ScrollBar.DestroyWindow();
        g_WebSmilieQueue.RemoveAll();
        g_nWebSmilieCursor = -1;
        DestroyAllFields();
        m_bDestroyed = 1;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CFields::ShowFieldsMenu(CWnd* pWnd, POINT ptScreen)
{
    CTvnxFieldsSwitcher* pSwitcher = dynamic_cast<CTvnxFieldsSwitcher*>(m_pSwitcher);
    if (pSwitcher == NULL || pSwitcher->m_hWnd == NULL || pWnd == NULL)
        return;
    pSwitcher->ShowTabMenu(pWnd, ptScreen, pSwitcher->GetSelectedId(), ID_FIELDSMENU_EXPORT);
}
