// CSmilieField: what a smilie needs of the field that holds it. The field
// windows implement it; a smilie keeps a pointer to its field and asks it for
// the window that receives its download messages, the cell size it imposes,
// the code template its picture smilies are sent with, and the look settings
// its painting follows.
#pragma once

#include "framework/Str.h"

#include <windows.h>

class CSmilieField
{
public:
    virtual ~CSmilieField() {}

    // The field's window: owner of the downloads of its smilies. NULL while the
    // field has no window.
    virtual HWND GetFieldWindow() const = 0;

    // The field's cell size in pixels; 0 while it has none.
    virtual int GetCellWidth() const = 0;
    virtual int GetCellHeight() const = 0;

    // The code template that a picture smilie without a phrase of its own is
    // sent with, for example "[img]<SMILIE>[/img]".
    virtual void GetCode(CString& strCode) const = 0;

    // The colour the cells are drawn on, and the two look settings that change
    // how a cell picks its mark colours: a plain (white) background, and contrast.
    virtual COLORREF GetBackgroundColor() const = 0;
    virtual BOOL IsPlainBackground() const = 0;
    virtual BOOL IsContrastMode() const = 0;
    // The colour of the marks a cell draws on the field's background (the
    // censor symbol, the toolbar buttons' face), and the toolbar's second colour.
    virtual COLORREF GetTextColor() const = 0;
    virtual COLORREF GetToolbarColor() const = 0;

    // Marks the collection's field data changed while change tracking is on
    // (for example after a picture turned out to be undecodable).
    virtual void SetFieldsModified() = 0;
};
