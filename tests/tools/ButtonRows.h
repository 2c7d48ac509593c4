// The push buttons of a shown dialog, read as rows, against the measures of a
// Windows dialog: buttons of one row 4 dialog units apart, the bottom row 7
// units above the bottom edge and either 7 units from the right edge or
// centred. What breaks a rule comes back as one line each.
#pragma once

#include "framework/Wnd.h"
#include "ui3d/controls/3DButton.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

enum BUTTONROWALIGN
{
    BUTTONROW_RIGHT,
    BUTTONROW_CENTRED
};

// The visible skinned push buttons of a dialog, in its client coordinates.
inline std::vector<RECT> PushButtonRects(HWND hDlg)
{
    std::vector<RECT> rects;
    for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (!IsWindowVisible(h) || pWnd == NULL || !pWnd->IsKindOf(RUNTIME_CLASS(C3DButton)) ||
            static_cast<C3DButton*>(pWnd)->GetButtonType() != 1)
            continue;
        RECT rc;
        GetWindowRect(h, &rc);
        MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
        rects.push_back(rc);
    }
    return rects;
}

// A pixel of rounding is allowed: dialog units map to whole pixels. A window
// laid out in pixels (the property sheet) gives its own margins.
inline std::vector<std::string> ButtonRowProblems(HWND hDlg, BUTTONROWALIGN align, int nPixelsRight = -1,
                                                  int nPixelsBottom = -1)
{
    std::vector<std::string> problems;
    RECT rcUnits = {0, 0, 4, 7};
    MapDialogRect(hDlg, &rcUnits);
    const int nGap = rcUnits.right;
    RECT rcMx = {0, 0, 7, 0};
    MapDialogRect(hDlg, &rcMx);
    const int nMarginX = nPixelsRight >= 0 ? nPixelsRight : rcMx.right;
    const int nMarginY = nPixelsBottom >= 0 ? nPixelsBottom : rcUnits.bottom;
    RECT rcClient;
    GetClientRect(hDlg, &rcClient);

    std::map<int, std::vector<RECT>> rows;  // by top
    for (const RECT& rc : PushButtonRects(hDlg))
        rows[rc.top].push_back(rc);
    if (rows.empty()) {
        problems.push_back("no push button");
        return problems;
    }
    auto text = [](const char* pszWhat, int nSeen, int nWanted) {
        return std::string(pszWhat) + ": " + std::to_string(nSeen) + " pixels, not " + std::to_string(nWanted);
    };
    for (auto& row : rows) {
        std::vector<RECT>& r = row.second;
        std::sort(r.begin(), r.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
        for (size_t i = 1; i < r.size(); i++) {
            const int nSeen = r[i].left - r[i - 1].right;
            if (abs(nSeen - nGap) > 1)
                problems.push_back(text(("gap after button " + std::to_string(i) + " of the row at y " +
                                         std::to_string(row.first)).c_str(),
                                        nSeen, nGap));
        }
    }
    const std::vector<RECT>& last = rows.rbegin()->second;
    const int nBottom = rcClient.bottom - last.front().bottom;
    if (abs(nBottom - nMarginY) > 1)
        problems.push_back(text("bottom row above the bottom edge", nBottom, nMarginY));
    const int nLeft = last.front().left, nRight = rcClient.right - last.back().right;
    if (align == BUTTONROW_RIGHT && abs(nRight - nMarginX) > 1)
        problems.push_back(text("bottom row from the right edge", nRight, nMarginX));
    if (align == BUTTONROW_CENTRED && abs(nLeft - nRight) > 1)
        problems.push_back("bottom row not centred: " + std::to_string(nLeft) + " pixels left, " +
                           std::to_string(nRight) + " right");
    return problems;
}
