// CFields: the smilie area of the main window. One child window that owns the
// fields (tabs) of the open collection: the field switcher (the tab strip),
// one vertical scroll bar attached to whichever field is shown, the field
// windows (CSmiliesFieldControl, one per tab, in creation order) and the undo
// list of whole snapshots. It makes, duplicates, edits and removes fields,
// answers the main window through its private messages (services/Messages.h),
// writes and reads the layout block of a collection (FieldsBlock.cpp), undoes
// and redoes (FieldsUndo.cpp), and lets mouse clicks in the gaps between its
// children through to the window beneath.
//
// Layout block (little-endian, no padding): the field count, then per field
// the header tag 0x10000010 (top byte 0x10 marks a header, low 16 bits its
// length), cell width, cell height, flags (bit 0 white cells), tab colour,
// body length B and B bytes of body (CSmiliesField::SaveToMemory). Older
// blocks have no header: the record begins with the colour. The block comes
// from a file: every length is checked against what is left of it.
//
// User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "fields/SmiliesFieldControl.h"
#include "framework/Str.h"
#include "framework/Wnd.h"
#include "ui3d/FieldsParams.h"
#include "ui3d/controls/3DScrollBar.h"
#include "ui3d/controls/TabSelector.h"

#include <cstdint>

// What the field properties dialog shows and edits for one field. Made with
// an empty title and the colour 0x7F7F7F.
struct FIELDPROPS
{
    CString strTitle;           // the dialog's title text; empty: its own
    CString strName;
    COLORREF clr = 0x7F7F7F;
    CString strCode;
    int nCellWidth = 35;
    int nCellHeight = 34;
    int bWhiteCells = 1;
    int nSmilies = -1;          // -1: a new field, nothing to count
    uint64_t nDataSize = 0;
    int nTotalSmilies = 0;
    uint64_t nTotalDataSize = 0;
};

// One snapshot of the undo list: a layout block of all fields, the name of the
// field that was selected, and the step's title (NULL when it had none).
class CFieldsUndo
{
public:
    CFieldsUndo() {}
    CFieldsUndo(const CFieldsUndo& src) { *this = src; }
    CFieldsUndo& operator=(const CFieldsUndo& src);
    ~CFieldsUndo() { Free(); }
    void Free();

    BYTE* pData = nullptr;
    uint32_t nSize = 0;
    char* pszFieldName = nullptr;
    char* pszTitle = nullptr;
};

class CFields : public CWnd
{
public:
    struct ONEFIELD
    {
        CSmiliesFieldControl* pField = nullptr;   // owned
        int nId = 0;                              // the id of its tab
    };

    enum { MAX_FIELDS = 50 };

    CFields();
    ~CFields() override;

    // --- whole set ------------------------------------------------------------
    // The window over the union of the look's tab-strip and fields rectangles,
    // the switcher, the scroll bar and one default field. 1, or 0 with
    // everything made so far destroyed.
    BOOL CreateFields(CWnd* pMainWnd, const FIELDSPARAMS* pLook);
    void ResetFields();
    void SetParams(const FIELDSPARAMS* pLook);
    // 0 white, 1 the tab's colour, 2 grey with contrast, 3 the tab's colour with contrast.
    void ApplyBackColorMode(int nMode);
    void SetBackColorMode(int nMode) { m_nBackMode = nMode & 3; }
    int GetBackColorMode() const { return m_nBackMode; }
    static void RedrawAll();
    void FlagImagesInUse();
    int QueueWebSmilies();
    void SetCodeForAllFields(LPCTSTR pszCode);
    CString GetCommonCode() const;
    int GetCurFieldName(LPSTR pszBuffer, int nSize) const;
    void SelectFieldByName(LPCTSTR pszName);
    void SelectFieldQuietly(int nId);
    void ConvertOldTabColors();
    void ShowFields(BOOL bShow);
    int GetCurFieldIndex() const;

    // --- layout block (FieldsBlock.cpp) ----------------------------------------
    // Without pOut: only *pnSize. Else writes *pnSize bytes into pOut.
    void SaveToMemory(BYTE* pOut, uint32_t* pnSize, double dProgress);
    // Replaces the fields (nAppendedId 0) or adds the block's fields after the
    // selected tab (the appended-info id of a merged file). The records
    // processed; 0 when nothing was done, 1 when a default field was made.
    int LoadFromMemory(const BYTE* pBlock, uint32_t nSize, uint32_t nAppendedId, double dProgress);

    // --- undo (FieldsUndo.cpp) ---------------------------------------------------
    void PushUndo(LPCTSTR pszTitle);
    void TrimUndo(uint64_t nLimit);
    BOOL Undo();
    BOOL Redo();
    void ClearUndo();
    void DropUndo();
    int GetUndoCount() const { return m_Undo.GetSize(); }
    int GetUndoPos() const { return m_nUndoPos; }

    // --- fields -------------------------------------------------------------------
    int InsertField(int nAfterId, LPCTSTR pszName, COLORREF clr, int nCellWidth, int nCellHeight);
    void NewField(int nAfterId);
    void DuplicateField(int nId);
    void AskRemoveField(int nId);
    void RemoveField(int nIndex);
    void EditFieldProperties(int nId);
    void OnTabSelected(int nId);
    int FindField(int nId) const;
    int GetFieldCount() const { return m_Fields.GetSize(); }
    CSmiliesFieldControl* GetField(int nIndex) const { return m_Fields[nIndex].pField; }
    int GetFieldId(int nIndex) const { return m_Fields[nIndex].nId; }
    CSmiliesFieldControl* GetShownField() const;
    // The fields menu (switch, move, new, duplicate, remove, export,
    // properties of the shown field), dropped down at a screen point from a
    // menu bar of pWnd's; its command is carried out.
    void ShowFieldsMenu(CWnd* pWnd, POINT ptScreen);
    CTabSelector* GetSwitcher() const { return m_pSwitcher; }
    C3DScrollBar& GetScrollBar() { return m_ScrollBar; }
    const CRect& GetFieldsRect() const { return m_rcFields; }
    BOOL IsDestroyed() const { return m_bDestroyed; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Every live container.
    static CSequence<CFields*> s_AllFields;

    // What the container calls out to. The switcher is made by
    // s_pfnNewSwitcher (the field switcher); the field properties dialog is
    // run by s_pfnFieldDialog (IDOK or IDCANCEL; none bound: IDCANCEL);
    // questions go to s_pfnMessageBox. Tests put in their own.
    static CTabSelector* (*s_pfnNewSwitcher)(CFields* pFields);
    static int (*s_pfnFieldDialog)(CFields* pFields, FIELDPROPS* pProps);
    static int (*s_pfnMessageBox)(CWnd* pParent, LPCSTR pszCaption, LPCSTR pszText, UINT nType);

private:
    void MakeDefaultField();
    void ApplyFieldLook(CSmiliesFieldControl* pField, COLORREF clrTab);
    int AddFieldTab(CSmiliesFieldControl* pField, int nAfterId, LPCTSTR pszName, COLORREF clr);
    void DestroyAllFields();
    void FillProps(int nIndex, FIELDPROPS& props) const;
    void UpdateShownIndex();
    void ShowOnly(int nIndex);
    void TakeSnapshot(CFieldsUndo& snap);
    void LoadSnapshot(const CFieldsUndo& snap);
    int ResolveId(int nId) const;
    void SelectQuietly(int nId);
    void OnSizeMsg(UINT nType, int cx, int cy);
    void PassMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaintMsg();

public:
    C3DScrollBar m_ScrollBar;
    CTabSelector* m_pSwitcher;
    CSequence<ONEFIELD> m_Fields;
    CRect m_rcFields;
    FIELDGRIDDEFAULTS m_Grid;
    CELLLOOK m_CellLook;
    FIELDSPARAMS m_Look;
    int m_nDefaultCellWidth;
    int m_nDefaultCellHeight;
    int m_nBackMode;
    int m_nShown;
    int m_bDestroyed;
    int m_nHeight;
    CSequence<CFieldsUndo> m_Undo;
    int m_nUndoPos;
    CString m_strRedoTitle;
};
