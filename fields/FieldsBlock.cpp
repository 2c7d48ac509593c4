// The layout block of a collection: all fields, written by CFields and each
// field's body by its view, and read back through one bounds-checked view of
// the bytes (CTvnxBytes). The block comes from a file or an undo snapshot; a
// length that runs past what is left ends the read, keeping what was read.
#include "fields/Fields.h"

#include "collection/Smilie.h"
#include "collection/TvnxBytes.h"
#include "dialogs/Progress.h"
#include "fields/FieldGeometry.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/Languages.h"

#include <cstring>

namespace {

const uint32_t kFieldTag = 0x10000010;
const uint32_t kFieldHeaderSize = 24;   // tag, width, height, flags, colour, body length
// The largest cell side a field can hold: 65535 / side - 1 leaves one row.
const int kMaxCellSide = 32767;

bool IsHeaderTag(uint32_t n)
{
    return n >= 0x10000000 && n <= 0x10FFFFFF;
}

// Writes little-endian words and byte strings into a buffer of known room.
class CBlockWriter
{
public:
    CBlockWriter(BYTE* pb, uint32_t nRoom) : m_pb(pb), m_nRoom(nRoom), m_nAt(0) {}
    void Put32(uint32_t v)
    {
        if (m_pb != NULL && m_nAt + 4 <= m_nRoom)
            TvnxPut32(m_pb + m_nAt, v);
        m_nAt += 4;
    }
    void PutBytes(const void* pv, uint32_t n)
    {
        if (m_pb != NULL && n != 0 && m_nAt + n <= m_nRoom)
            memcpy(m_pb + m_nAt, pv, n);
        m_nAt += n;
    }
    BYTE* Here() const { return m_pb != NULL && m_nAt <= m_nRoom ? m_pb + m_nAt : NULL; }
    uint32_t Room() const { return m_nAt <= m_nRoom ? m_nRoom - m_nAt : 0; }
    void Skip(uint32_t n) { m_nAt += n; }
    uint32_t At() const { return m_nAt; }

private:
    BYTE* m_pb;
    uint32_t m_nRoom;
    uint32_t m_nAt;
};

// Reads words and byte strings in order, failing for good at the first one
// that does not lie whole inside the bytes.
class CBlockReader
{
public:
    CBlockReader(const BYTE* pb, size_t nSize) : m_bytes(pb, nSize), m_nAt(0), m_bOk(true) {}
    bool Get32(uint32_t* pValue)
    {
        if (m_bOk && m_bytes.Get32(m_nAt, pValue)) {
            m_nAt += 4;
            return true;
        }
        m_bOk = false;
        return false;
    }
    const BYTE* Take(size_t n)
    {
        const BYTE* p = m_bOk ? m_bytes.Span(m_nAt, n) : NULL;
        if (p == NULL) {
            m_bOk = false;
            return NULL;
        }
        m_nAt += n;
        return p;
    }
    bool Peek32(uint32_t* pValue) const { return m_bOk && m_bytes.Get32(m_nAt, pValue); }
    size_t Left() const { return m_nAt <= m_bytes.GetSize() ? m_bytes.GetSize() - m_nAt : 0; }

private:
    CTvnxBytes m_bytes;
    size_t m_nAt;
    bool m_bOk;
};

void ReportProgress(double dShare, int nDone, int nTotal)
{
    if (dShare == 0.0 || nTotal <= 0)
        return;
    UpdateAutoProgress(65535.0 / nTotal * nDone, dShare);
    PumpMessagesWhileBusy();
}

}  // namespace

// --- one field's body ---------------------------------------------------------------------

uint32_t CSmiliesField::SaveToMemory(BYTE* pOut, uint32_t* pnSize) const
{
    CString strName;
    if (m_hWnd != NULL)
        GetWindowText(strName);
    const uint32_t nRoom = pOut != NULL && pnSize != NULL ? *pnSize : 0;
    CBlockWriter w(pOut, nRoom);
    w.Put32(uint32_t(strName.GetLength()));
    w.PutBytes(strName.GetString(), uint32_t(strName.GetLength()));
    w.Put32(uint32_t(GetScrollPos()));
    w.Put32(1);
    w.Put32(uint32_t(m_strCode.GetLength()));
    w.PutBytes(m_strCode.GetString(), uint32_t(m_strCode.GetLength()));
    w.Put32(m_pTable != NULL ? uint32_t(m_pTable->GetTotal()) : 0);
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        if (m_pTable->GetRowSmilieCount(r) == 0)
            continue;
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            const CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL)
                continue;
            uint32_t nRecord = pSmilie->SaveRecord(NULL, NULL);
            const uint32_t nAtLength = w.At();
            w.Put32(nRecord);
            if (pOut != NULL) {
                BYTE* pHere = w.Here();
                uint32_t nLength = w.Room();
                if (pHere == NULL || pSmilie->SaveRecord(pHere, &nLength) == 0)
                    nLength = 0;
                // The record may come out shorter than announced.
                if (nLength != nRecord && nAtLength + 4 <= nRoom)
                    TvnxPut32(pOut + nAtLength, nLength);
                nRecord = nLength;
            }
            w.Skip(nRecord);
        }
    }
    if (pnSize != NULL)
        *pnSize = w.At();
    return w.At();
}

BOOL CSmiliesField::LoadFromMemory(const BYTE* pBody, uint32_t nSize, uint32_t nAppendedId)
{
    if (m_pTable == NULL)
        return FALSE;
    DeselectAll();
    ClearHotState();
    m_ptFocus = {-1, -1};
    m_nContentHeight = 0;

    CBlockReader rd(pBody, nSize);
    uint32_t nWord = 0;
    if (rd.Peek32(&nWord) && IsHeaderTag(nWord) && rd.Take(nWord & 0xFFFF) == NULL)
        return FALSE;

    uint32_t nName = 0, nPos = 0, nConst = 0, nCode = 0, nCount = 0;
    const BYTE* pName = rd.Get32(&nName) ? rd.Take(nName) : NULL;
    if (pName == NULL)
        return FALSE;
    ::SetWindowTextA(m_hWnd, CString(reinterpret_cast<const char*>(pName), int(nName)));
    BOOL bWhole = FALSE;
    if (rd.Get32(&nPos) && rd.Get32(&nConst) && rd.Get32(&nCode)) {
        const BYTE* pCode = rd.Take(nCode);
        if (pCode != NULL) {
            m_strCode = CString(reinterpret_cast<const char*>(pCode), int(nCode));
            bWhole = rd.Get32(&nCount);
            for (uint32_t i = 0; bWhole && i < nCount; i++) {
                uint32_t nRecord = 0;
                const BYTE* pRecord = rd.Get32(&nRecord) ? rd.Take(nRecord) : NULL;
                if (pRecord == NULL) {
                    bWhole = FALSE;
                    break;
                }
                if (nRecord == 0)
                    continue;
                CSmilie* pSmilie = new CSmilie(CSmilie::defaultCellWidth, CSmilie::defaultCellHeight);
                if (!pSmilie->LoadRecord(pRecord, nRecord, nAppendedId)) {
                    delete pSmilie;
                    continue;
                }
                const POINT cell = {pSmilie->m_nColumn, pSmilie->m_nRow};
                StoreNewSmilie(pSmilie, &cell);
            }
        }
    }

    UpdateScrollRange(TRUE);
    // Content shorter than the view shows from its top.
    const int nStored = int(nPos);
    const int nView = m_rcView.Height();
    int nNew = nStored;
    if (nNew > m_nContentHeight - nView)
        nNew = m_nContentHeight - nView;
    if (nNew < 0)
        nNew = 0;
    SetScrollPos(nNew, TRUE);
    if (nNew != nStored)
        SetFieldsModified();
    return bWhole;
}

// --- all fields -------------------------------------------------------------------------------

void CFields::SaveToMemory(BYTE* pOut, uint32_t* pnSize, double dProgress)
{
    const uint32_t nRoom = pOut != NULL && pnSize != NULL ? *pnSize : 0;
    if (pOut != NULL)
        BeginBusy();
    CBlockWriter w(pOut, nRoom);
    w.Put32(uint32_t(m_Fields.GetSize()));
    const int nTabs = m_pSwitcher != NULL ? m_pSwitcher->GetTabCount() : 0;
    for (int t = 0; t < nTabs; t++) {
        const COneTab& tab = m_pSwitcher->GetTabAt(t);
        const int i = FindField(tab.nId);
        if (i < 0)
            continue;
        CSmiliesFieldControl* pField = m_Fields[i].pField;
        uint32_t nBody = 0;
        pField->SaveToMemory(NULL, &nBody);
        if (nBody == 0)
            continue;
        w.Put32(kFieldTag);
        w.Put32(uint32_t(pField->GetCellWidth()));
        w.Put32(uint32_t(pField->GetCellHeight()));
        w.Put32(pField->IsPlainBackground() ? 1 : 0);
        w.Put32(uint32_t(tab.nData));
        w.Put32(nBody);
        if (pOut != NULL && w.Here() != NULL && w.Room() >= nBody) {
            uint32_t nWritten = nBody;
            pField->SaveToMemory(w.Here(), &nWritten);
        }
        w.Skip(nBody);
        if (pOut != NULL)
            ReportProgress(dProgress, t + 1, nTabs);
    }
    if (pnSize != NULL)
        *pnSize = w.At();
    if (pOut != NULL)
        EndBusy();
}

int CFields::LoadFromMemory(const BYTE* pBlock, uint32_t nSize, uint32_t nAppendedId, double dProgress)
{
    CBlockReader rd(pBlock, nSize);
    uint32_t nCount = 0;
    if (!rd.Get32(&nCount) || nCount == 0)
        return 0;
    const BOOL bReplace = nAppendedId == 0;
    if (bReplace) {
        if (m_pSwitcher != NULL)
            m_pSwitcher->RemoveAllTabs();
        DestroyAllFields();
    }
    const int nPresent = m_Fields.GetSize();
    int nToRead = nCount > uint32_t(MAX_FIELDS) ? MAX_FIELDS : int(nCount);
    if (nPresent + nToRead > MAX_FIELDS)
        nToRead = MAX_FIELDS - nPresent;
    if (nToRead <= 0)
        return 0;

    int nInsertAfter = m_pSwitcher != NULL ? m_pSwitcher->GetSelectedId() : 0;
    BeginBusy();
    int nRead = 0;
    for (int i = 0; i < nToRead; i++) {
        int nWidth = m_nDefaultCellWidth;
        int nHeight = m_nDefaultCellHeight;
        uint32_t nFlags = 0;
        uint32_t nFirst = 0;
        if (!rd.Peek32(&nFirst))
            break;
        if (IsHeaderTag(nFirst)) {
            const uint32_t nHeader = nFirst & 0xFFFF;
            const BYTE* pHeader = rd.Take(nHeader);
            if (pHeader == NULL)
                break;
            const CTvnxBytes header(pHeader, nHeader);
            uint32_t v = 0;
            if (header.Get32(4, &v))
                nWidth = int(v);
            if (header.Get32(8, &v))
                nHeight = int(v);
            if (nHeader > 12 && header.Get32(12, &v))
                nFlags = v & 1;
        }
        // A cell side of 0 or below would divide by zero in the view. Above
        // kMaxCellSide no row fits the 16-bit scroll range: the row cap wraps,
        // the content height overflows and the view never settles. A cell
        // larger than the field's resizing makes (32767 pixels a side, say)
        // would make every paint of it draw a surface of its whole size.
        if (nWidth <= 0 || nHeight <= 0 || nWidth > kMaxCellSide || nHeight > kMaxCellSide ||
            !IsStoredCellSizeAccepted(m_rcFields.Width(), nWidth, nHeight)) {
            nWidth = m_nDefaultCellWidth;
            nHeight = m_nDefaultCellHeight;
        }
        uint32_t nColor = 0, nBody = 0;
        if (!rd.Get32(&nColor) || !rd.Get32(&nBody))
            break;
        const BYTE* pBody = rd.Take(nBody);
        if (pBody == NULL)
            break;
        nRead++;
        if (nBody != 0) {
            CSmiliesFieldControl* pField = new CSmiliesFieldControl;
            FIELDGRIDDEFAULTS grid = m_Grid;
            grid.bWhiteCells = int(nFlags);
            const SIZE cell = {nWidth, nHeight};
            if (!pField->Create(this, &grid, &m_CellLook, &m_rcFields, cell)) {
                delete pField;
            } else {
                pField->LoadFromMemory(pBody, nBody, nAppendedId);
                CString strName;
                pField->GetWindowText(strName);
                const int nId = AddFieldTab(pField, bReplace ? -1 : nInsertAfter, strName, nColor);
                if (nId > 0 && !bReplace)
                    nInsertAfter = nId;
            }
        }
        ReportProgress(dProgress, i + 1, nToRead);
    }

    if (m_Fields.GetSize() == 0) {
        MakeDefaultField();
        SetFieldsModified();
        EndBusy();
        return 1;
    }
    if (m_pSwitcher != NULL) {
        if (m_pSwitcher->GetSelectedId() == 0 && m_pSwitcher->GetTabCount() > 0)
            m_pSwitcher->m_Tabs[0].nState = TABST_SELECTED;
        m_pSwitcher->RedrawStrip();
    }
    UpdateShownIndex();
    if (bReplace)
        ShowOnly(m_nShown);
    EndBusy();
    return nRead;
}
