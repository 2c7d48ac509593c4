#include "fields/SmiliesPtrTable.h"

#include "framework/Exception.h"

#include <cstdlib>
#include <new>

CSmiliesPtrTable::CSmiliesPtrTable(int nColumns) : m_nColumns(nColumns > 0 ? nColumns : 0), m_nTotal(0)
{
}

CSmiliesPtrTable::~CSmiliesPtrTable()
{
    for (int i = 0; i < m_Rows.GetSize(); i++) {
        free(m_Rows[i]->pCells);
        delete m_Rows[i];
    }
    m_Rows.RemoveAll();
}

BOOL CSmiliesPtrTable::SetAt(CSmilie* pSmilie, int nColumn, int nRow)
{
    if (pSmilie == nullptr || nColumn < 0 || nColumn >= m_nColumns || nRow < 0)
        return FALSE;
    if (nRow < m_Rows.GetSize() && m_Rows[nRow]->pCells[nColumn] != nullptr)
        return FALSE;
    while (m_Rows.GetSize() <= nRow) {
        CPtrRow* pRow = new (std::nothrow) CPtrRow;
        CSmilie** pCells = static_cast<CSmilie**>(calloc(m_nColumns, sizeof(CSmilie*)));
        if (pRow == nullptr || pCells == nullptr) {
            delete pRow;
            free(pCells);
            AfxThrowMemoryException();
        }
        pRow->pCells = pCells;
        pRow->nCount = 0;
        m_Rows.Add(pRow);
    }
    CPtrRow* pRow = m_Rows[nRow];
    pRow->pCells[nColumn] = pSmilie;
    pRow->nCount++;
    m_nTotal++;
    return TRUE;
}

void CSmiliesPtrTable::RemoveAt(int nColumn, int nRow)
{
    if (nRow < 0 || nRow >= m_Rows.GetSize() || nColumn < 0 || nColumn >= m_nColumns)
        return;
    CPtrRow* pRow = m_Rows[nRow];
    if (pRow->pCells[nColumn] == nullptr)
        return;
    pRow->pCells[nColumn] = nullptr;
    pRow->nCount--;
    m_nTotal--;
    while (m_Rows.GetSize() > 0 && m_Rows[m_Rows.GetSize() - 1]->nCount == 0) {
        const int nLast = m_Rows.GetSize() - 1;
        free(m_Rows[nLast]->pCells);
        delete m_Rows[nLast];
        m_Rows.RemoveAt(nLast);
    }
}

CSmilie* CSmiliesPtrTable::GetAt(int nColumn, int nRow) const
{
    if (nRow < 0 || nRow >= m_Rows.GetSize() || nColumn < 0 || nColumn >= m_nColumns)
        return nullptr;
    return m_Rows[nRow]->pCells[nColumn];
}

int CSmiliesPtrTable::GetRowSmilieCount(int nRow) const
{
    if (nRow < 0 || nRow >= m_Rows.GetSize())
        return 0;
    return m_Rows[nRow]->nCount;
}
