// A field for smilie tests: a fixed cell size and code template, and an
// optional window that receives the download messages of its smilies.
#pragma once

#include "collection/Smilie.h"
#include "collection/SmilieField.h"

class CTestSmilieField : public CSmilieField
{
public:
    CTestSmilieField(int cx = 0, int cy = 0, LPCTSTR pszCode = "") : m_cx(cx), m_cy(cy), m_strCode(pszCode) {}

    HWND GetFieldWindow() const override { return m_hWnd; }
    int GetCellWidth() const override { return m_cx; }
    int GetCellHeight() const override { return m_cy; }
    void GetCode(CString& strCode) const override { strCode = m_strCode; }
    COLORREF GetBackgroundColor() const override { return m_crBackground; }
    BOOL IsPlainBackground() const override { return FALSE; }
    BOOL IsContrastMode() const override { return FALSE; }
    COLORREF GetTextColor() const override { return m_crText; }
    COLORREF GetToolbarColor() const override { return m_crToolbar; }
    void SetFieldsModified() override { m_nModified++; }

    HWND m_hWnd = NULL;
    int m_cx;
    int m_cy;
    CString m_strCode;
    COLORREF m_crBackground = RGB(255, 255, 255);
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crToolbar = RGB(255, 255, 255);
    int m_nModified = 0;
};
