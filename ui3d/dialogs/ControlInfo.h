// What a skinned dialog needs to know of one child control of its template
// before it replaces it: the window's id, text, class, place, styles and
// font, and the kind of skinned control that takes it over.
#pragma once

#include "framework/Str.h"

#include <windows.h>

enum
{
    CTRLKIND_PUSHBUTTON = 0,   // push or default push button, not BS_FLAT
    CTRLKIND_GROUPBOX = 1,     // a BUTTON that does not answer DLGC_BUTTON
    CTRLKIND_EDIT = 2,
    CTRLKIND_STATIC = 3,
    CTRLKIND_COLORBUTTON = 4,  // caption "ClrRadioBtn" and three numbers
    CTRLKIND_RADIO = 5,
    CTRLKIND_CHECKBOX = 6,
    CTRLKIND_COMBOBOX = 7,
    CTRLKIND_LINK = 8,         // caption "Link: " and the link text
    CTRLKIND_OTHER = 9         // stays a standard control
};

// Caption prefixes by which a template names its special controls.
#define CTRL_COLORBUTTON_PREFIX "ClrRadioBtn"
#define CTRL_LINK_PREFIX "Link: "

class CControlInfo
{
public:
    CControlInfo();

    HWND hWnd;          // NULL for an empty record
    int nId;
    CString strText;    // at most 1024 characters
    CString strClass;   // at most 1024 characters
    RECT rect;          // window rectangle in the parent's client coordinates
    DWORD dwStyle;
    DWORD dwExStyle;
    HFONT hFont;        // may be NULL
    int nKind;
};

// Describes and classifies a child window; kind CTRLKIND_OTHER and a NULL
// window for NULL.
CControlInfo GetControlInfo(HWND hWnd);

// The colour of a swatch caption: the prefix letters stripped from its start,
// then red, green and blue as numbers separated by a comma, full stop, blank
// or hyphen (each the low byte of its number; a missing one counts 0).
COLORREF ParseColorCaption(LPCSTR pszCaption);
