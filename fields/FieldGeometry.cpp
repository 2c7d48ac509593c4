#include "fields/FieldGeometry.h"

int FieldRowLimit(int nGridRows, int nCellHeight)
{
    if (nCellHeight <= 0)
        return 0;
    const unsigned nCap = 65535u / static_cast<unsigned>(nCellHeight) - 1u;
    const unsigned nRows = static_cast<unsigned>(nGridRows);
    return static_cast<int>(nRows < nCap ? nRows : nCap);
}

int FieldContentHeight(int nLastUsedRow, int nCellHeight, int nViewHeight, int nRowLimit)
{
    int nHeight = nLastUsedRow < 0 ? nCellHeight : (nLastUsedRow + 2) * nCellHeight;
    if (nHeight < nViewHeight + nCellHeight)
        nHeight = nViewHeight + nCellHeight;
    if (nHeight > nRowLimit * nCellHeight)
        nHeight = nRowLimit * nCellHeight;
    return nHeight;
}

int FieldScrollTarget(int nCode, int nTrackPos, int nPos, int nViewHeight, int nContentHeight)
{
    const int nMax = nContentHeight - nViewHeight;
    int nNew;
    switch (nCode) {
    case SB_LINEUP:
        nNew = nPos - 1 < 0 ? 0 : nPos - 1;
        break;
    case SB_LINEDOWN:
        if (nMax < 0)
            return -1;
        nNew = nPos + 1 > nMax ? nMax : nPos + 1;
        break;
    case SB_PAGEUP:
        nNew = nPos - nViewHeight < 0 ? 0 : nPos - nViewHeight;
        break;
    case SB_PAGEDOWN:
        if (nMax < 0)
            return -1;
        nNew = nPos + nViewHeight > nMax ? nMax : nPos + nViewHeight;
        break;
    case SB_THUMBTRACK:
        if (nMax < 0)
            return -1;
        nNew = static_cast<int>(static_cast<unsigned>(nTrackPos) & 0xFFFFu);
        if (nNew > nMax)
            nNew = nMax;
        break;
    case SB_TOP:
        nNew = 0;
        break;
    case SB_BOTTOM:
        if (nMax < 0)
            return -1;
        nNew = nMax;
        break;
    default:
        return -1;
    }
    if (nNew > (nMax < 0 ? 0 : nMax) || nNew == nPos)
        return -1;
    return nNew;
}

int FieldWheelStep(UINT nLines, int nCellHeight, int nViewHeight)
{
    if (nViewHeight < 0)
        nViewHeight = 0;
    if (nLines == WHEEL_PAGESCROLL || nCellHeight <= 0)
        return nViewHeight;
    const unsigned long long nStep = static_cast<unsigned long long>(nLines) * static_cast<unsigned>(nCellHeight) / 3u;
    return nStep > static_cast<unsigned long long>(nViewHeight) ? nViewHeight : static_cast<int>(nStep);
}

BOOL IsFieldCellSizeAccepted(int nClientWidth, int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return FALSE;
    const int nMinWidth = nClientWidth / 7;
    const int nMaxWidth = nClientWidth / 2;
    return nWidth >= nMinWidth && nHeight >= (2 * nMinWidth) / 3 && nWidth <= nMaxWidth && nHeight <= 2 * nMaxWidth;
}

BOOL IsStoredCellSizeAccepted(int nViewWidth, int nWidth, int nHeight)
{
    const int nMaxWidth = nViewWidth / 2;
    return nWidth > 0 && nHeight > 0 && nWidth <= nMaxWidth && nHeight <= 2 * nMaxWidth;
}

POINT FieldArrangeCell(int nCommand, int i, int nColumns)
{
    POINT pt = {-1, -1};
    if (nColumns <= 0 || i < 0)
        return pt;
    switch (nCommand) {
    case 1:
        pt.x = i % nColumns;
        pt.y = i / nColumns;
        break;
    case 2:
        pt.x = (2 * i) % nColumns;
        pt.y = (2 * i) / nColumns;
        break;
    case 3:
        pt.x = i % nColumns;
        pt.y = 2 * (i / nColumns);
        break;
    case 4: {
        // Every other column: columns 0, 2, 4 ... of each row, so that
        // (C + 1) / 2 smilies fill a row and none lands beyond column C - 1.
        const int nPerRow = (nColumns + 1) / 2;
        pt.x = 2 * (i % nPerRow);
        pt.y = i / nPerRow;
        break;
    }
    }
    return pt;
}
