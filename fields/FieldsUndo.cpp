// Undo and redo of the fields: whole snapshots of all fields as layout blocks,
// oldest first. Snapshots 0..P are undo steps (P the next), those after P
// redo steps. Undo and redo swap the present state with a snapshot, so the
// list never grows by them; the total size is kept under the user's limit.
#include "fields/Fields.h"

#include "framework/Exception.h"
#include "services/Settings.h"

#include <cstdlib>
#include <cstring>

namespace {

char* CopyText(const char* psz)
{
    if (psz == NULL || *psz == '\0')
        return NULL;
    const size_t n = strlen(psz) + 1;
    char* p = static_cast<char*>(malloc(n));
    if (p == NULL)
        AfxThrowMemoryException();
    memcpy(p, psz, n);
    return p;
}

}  // namespace

void CFieldsUndo::Free()
{
    free(pData);
    free(pszFieldName);
    free(pszTitle);
    pData = NULL;
    pszFieldName = pszTitle = NULL;
    nSize = 0;
}

CFieldsUndo& CFieldsUndo::operator=(const CFieldsUndo& src)
{
    if (this == &src)
        return *this;
    Free();
    if (src.pData != NULL) {
        pData = static_cast<BYTE*>(malloc(src.nSize != 0 ? src.nSize : 1));
        if (pData == NULL)
            AfxThrowMemoryException();
        memcpy(pData, src.pData, src.nSize);
        nSize = src.nSize;
    }
    pszFieldName = CopyText(src.pszFieldName);
    pszTitle = CopyText(src.pszTitle);
    return *this;
}

void CFields::TakeSnapshot(CFieldsUndo& snap)
{
    snap.Free();
    uint32_t nSize = 0;
    SaveToMemory(NULL, &nSize, 0.0);
    snap.pData = static_cast<BYTE*>(malloc(nSize != 0 ? nSize : 1));
    if (snap.pData == NULL)
        AfxThrowMemoryException();
    SaveToMemory(snap.pData, &nSize, 0.0);
    snap.nSize = nSize;
    char szName[512] = "";
    GetCurFieldName(szName, sizeof(szName));
    snap.pszFieldName = static_cast<char*>(malloc(strlen(szName) + 1));
    if (snap.pszFieldName == NULL)
        AfxThrowMemoryException();
    strcpy(snap.pszFieldName, szName);
    snap.pszTitle = CopyText(m_strRedoTitle);
}

void CFields::LoadSnapshot(const CFieldsUndo& snap)
{
    LoadFromMemory(snap.pData, snap.nSize, 0, 0.0);
    if (snap.pszFieldName != NULL)
        SelectFieldByName(snap.pszFieldName);
}

void CFields::PushUndo(LPCTSTR pszTitle)
{
    for (int i = m_Undo.GetSize() - 1; i > m_nUndoPos; i--)
        m_Undo.RemoveAt(i);
    const int i = m_Undo.Add(CFieldsUndo());
    TakeSnapshot(m_Undo[i]);
    free(m_Undo[i].pszTitle);
    m_Undo[i].pszTitle = CopyText(pszTitle);
    m_nUndoPos = m_Undo.GetSize() - 1;
    TrimUndo(uint64_t(g_Settings.UndoBufferSizeInMB) << 20);
}

void CFields::TrimUndo(uint64_t nLimit)
{
    for (;;) {
        uint64_t nTotal = 0;
        for (int i = 0; i < m_Undo.GetSize(); i++)
            nTotal += m_Undo[i].nSize;
        if (nTotal <= nLimit || m_Undo.GetSize() < 2)
            return;
        m_Undo.RemoveAt(0);
        m_nUndoPos--;
    }
}

void CFields::DropUndo()
{
    if (m_Undo.GetSize() == 0)
        return;
    m_Undo.RemoveAt(m_Undo.GetSize() - 1);
    m_nUndoPos = m_Undo.GetSize() - 1;
}

void CFields::ClearUndo()
{
    m_Undo.RemoveAll();
    m_nUndoPos = -1;
    m_strRedoTitle.Empty();
}

BOOL CFields::Undo()
{
    if (m_nUndoPos < 0 || m_nUndoPos >= m_Undo.GetSize())
        return FALSE;
    CFieldsUndo present;
    TakeSnapshot(present);
    const int p = m_nUndoPos;
    LoadSnapshot(m_Undo[p]);
    m_strRedoTitle = m_Undo[p].pszTitle != NULL ? m_Undo[p].pszTitle : "";
    m_nUndoPos = p - 1;
    m_Undo[p] = present;
    return TRUE;
}

BOOL CFields::Redo()
{
    if (m_nUndoPos + 1 < 0 || m_nUndoPos + 1 >= m_Undo.GetSize())
        return FALSE;
    CFieldsUndo present;
    TakeSnapshot(present);
    const int p = ++m_nUndoPos;
    LoadSnapshot(m_Undo[p]);
    m_strRedoTitle = m_Undo[p].pszTitle != NULL ? m_Undo[p].pszTitle : "";
    m_Undo[p] = present;
    return TRUE;
}
