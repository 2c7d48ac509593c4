// A group of smilies dragged out of a field with OLE drag and drop: what the
// drag carries in the program's private format, the drop sources that show
// the group's picture and the cursors, and the small warning that tells the
// user when the program under the cursor refuses dropped pictures.
//
// The private format holds the address of the running drag's descriptor. An
// address means something only in this process and only while that drag
// runs, and any program can offer the format, so the block says which
// process and which drag it belongs to, and a reader accepts only the drag
// that runs here now.
#pragma once

#include "collection/Sequence.h"
#include "framework/Gdi.h"
#include "framework/OleDropSource.h"
#include "framework/Str.h"
#include "framework/Wnd.h"

#include <windows.h>

class CSmilie;
class CSmiliesField;

// The running drag: the dragged smilies (in their field), and where the drag
// started (field client coordinates, y counted from the top of the content).
struct SMILIEDRAGDESC
{
    CSequence<CSmilie*> smilies;
    int x;
    int y;
    BOOL bTaken;   // a field of this program took the drop
};

// The block of the private format: the descriptor's address first (a reader
// of that value alone still finds it), then the drag it belongs to.
struct SMILIEGROUPDRAGDATA
{
    UINT_PTR nDescriptor;
    DWORD nProcessId;
    DWORD nDragStamp;   // unique per drag within the process
};

// Marks the descriptor as the drag that runs now, for its lifetime.
class CRunningGroupDrag
{
public:
    explicit CRunningGroupDrag(SMILIEDRAGDESC* pDesc);
    ~CRunningGroupDrag();
    DWORD GetStamp() const { return m_nStamp; }
    CRunningGroupDrag(const CRunningGroupDrag&) = delete;
    CRunningGroupDrag& operator=(const CRunningGroupDrag&) = delete;

private:
    SMILIEDRAGDESC* m_pPrevious;
    DWORD m_nPreviousStamp;
    DWORD m_nStamp;
};

// A movable block for the running drag; NULL when it cannot be made.
HGLOBAL MakeGroupDragBlock(const CRunningGroupDrag& drag, SMILIEDRAGDESC* pDesc);
// The descriptor when the block belongs to the drag this process runs now,
// else NULL (another process, an ended drag, a block too short).
SMILIEDRAGDESC* ReadGroupDragBlock(HGLOBAL hGlobal);

// The drag cursors, loaded with the first field window and freed with the
// last (system cursors are never destroyed).
struct DRAGCURSORS
{
    HCURSOR hCopyMove;
    HCURSOR hScroll;
    HCURSOR hNoDrop;
    BOOL bOwnCopyMove, bOwnScroll, bOwnNoDrop;
};
extern DRAGCURSORS g_DragCursors;

// Programs that refuse pictures dropped on them, by executable name.
struct DRAGREFUSER
{
    const char* pszExe;
    const char* pszName;
};
extern const DRAGREFUSER g_DragRefusers[6];
// The row of the refusing program (searched from the last row), or -1.
// Eudora counts only below 6.0 and from 6.1 on: 6.0 takes the dragged
// smilies by the clipboard instead.
int FindDragRefuser(const char* pszExe, DWORD nVersionMs);

// The warning next to the cursor: one line in the info-tip colours.
class CDDWarn : public CWnd
{
public:
    CDDWarn();
    ~CDDWarn() override;
    // A hidden popup owned by hOwner, sized for the text.
    BOOL Create(LPCSTR pszText, HWND hOwner);
    // Shows it with its top-left at the screen point.
    void MoveTo(POINT ptScreen);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CFont m_Font;
    COLORREF m_clrText;
    COLORREF m_clrBack;
    CString m_strText;
    SIZE m_TextSize;

private:
    void OnPaint();
};

class CODSPictsGroup : public COleDropSource
{
public:
    CODSPictsGroup(SMILIEDRAGDESC* pDesc, CSmiliesField* pField);
    ~CODSPictsGroup() override;

    BOOL OnBeginDrag(CWnd* pWnd) override;
    SCODE GiveFeedback(DROPEFFECT dropEffect) override;
    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;

    SMILIEDRAGDESC* m_pDesc;
    CSmiliesField* m_pField;
    // Where the drag reads the cursor; tests put in their own.
    static BOOL (WINAPI* s_pfnGetCursorPos)(LPPOINT);

protected:
    // The group's picture as drag image, the start point its hot spot.
    void ShowGroupImage();
};

class CODSPictsGroup_DDWarn : public CODSPictsGroup
{
public:
    CODSPictsGroup_DDWarn(SMILIEDRAGDESC* pDesc, CSmiliesField* pField);
    ~CODSPictsGroup_DDWarn() override;

    SCODE GiveFeedback(DROPEFFECT dropEffect) override;
    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;

    CDDWarn* m_pWarn;     // NULL while hidden
    BOOL m_bNoSource;     // a dragged smilie has a stored picture but no source

    // The warning for the program under the cursor, empty for none.
    CString WarningText();

private:
    void DestroyWarning();
    void MoveWarning();
};
