// CSmiliesPtrTable: the grid of one field view. A fixed number of columns and
// as many rows as reach down to the last smilie; each row holds a pointer per
// column (null for an empty cell) and the number of smilies in it. The table
// never owns the smilies: the field view does.
#pragma once

#include "collection/Sequence.h"

class CSmilie;

class CSmiliesPtrTable
{
public:
    struct CPtrRow
    {
        CSmilie** pCells;   // nColumns entries
        int nCount;         // non-null entries
    };

    explicit CSmiliesPtrTable(int nColumns);
    ~CSmiliesPtrTable();

    // Stores the pointer into an empty cell, adding empty rows up to the row.
    // FALSE (nothing stored) for a cell outside the columns, a negative row,
    // or an occupied cell.
    BOOL SetAt(CSmilie* pSmilie, int nColumn, int nRow);
    // Empties the cell; afterwards empty rows at the end are dropped. Does
    // nothing outside the rows and columns or for an empty cell.
    void RemoveAt(int nColumn, int nRow);
    // Null outside the rows and columns.
    CSmilie* GetAt(int nColumn, int nRow) const;

    int GetColumnCount() const { return m_nColumns; }
    // Rows up to the last one that holds a smilie.
    int GetRowCount() const { return m_Rows.GetSize(); }
    int GetRowSmilieCount(int nRow) const;
    int GetTotal() const { return m_nTotal; }

private:
    int m_nColumns;
    CSequence<CPtrRow*> m_Rows;
    int m_nTotal;

    CSmiliesPtrTable(const CSmiliesPtrTable&) = delete;
    CSmiliesPtrTable& operator=(const CSmiliesPtrTable&) = delete;
};
