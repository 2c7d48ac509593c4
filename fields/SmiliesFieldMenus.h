// Pieces the fields' menus share: the texts that carry a smilie's name, and
// the sort and insert-rows submenus with their commands. The field
// control's menus and the main window's Edit and Smilies menus build on
// them. User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

class C3DMenu;
class CSmilie;
class CSmiliesField;

// Command ids shared by every menu of a field.
enum
{
    ID_FIELDMENU_SORT_FIRST = 64,  // 64 to 73: arrange commands 1 to 10
    ID_FIELDMENU_SORT_LAST = 73,
    ID_FIELDMENU_INSERTROWS_FIRST = 83,  // 83 to 87: insert 1, 2, 3, 5 or 10 empty rows
    ID_FIELDMENU_INSERTROWS_LAST = 87
};

// The icons a menu shows, loaded from the program's resources at 16 x 16
// and destroyed with the holder, after the menu is gone.
class CMenuIcons
{
public:
    CMenuIcons() {}
    ~CMenuIcons() { Free(); }
    // The icon of that resource number; NULL when it cannot be loaded.
    HICON Load(UINT nId);
    void Free();
    int GetCount() const { return m_icons.GetSize(); }

    CMenuIcons(const CMenuIcons&) = delete;
    CMenuIcons& operator=(const CMenuIcons&) = delete;

private:
    CSequence<HICON> m_icons;
};

// Fills "[SMILIENAME]" of an item's template: for a picture its file name
// in yellow (the second text, as tips and the Edit menu's plain column use
// it, in double quotes), or nothing when the picture has no name; for a
// phrase the fixed text when one is given, else the template without the
// placeholder; for any other smilie, or none, the "no name" text in red.
// Both texts are at most 127 characters.
void FormatMenuItemText(LPCTSTR pszFixed, CSmilie* pSmilie, CString& strText, CString& strSecond,
                        LPCTSTR pszTemplate);

// Appends the sort submenu (made in submenu, with the parent's style) to
// the parent, or one grayed item when the field holds no smilies.
void BuildSortMenu(CMenuIcons& icons, const CSmiliesField* pField, C3DMenu& parent, C3DMenu& submenu);
// Commands 64 to 73 arrange the field by arrange commands 1 to 10; other
// commands do nothing.
void OnSortCommand(CSmiliesField* pField, UINT nCommand);

// Appends the insert-rows submenu (made in submenu, with the parent's
// style), its items grayed with bGrayed; a field without smilies gets one
// grayed item instead.
void BuildInsertRowsMenu(CMenuIcons& icons, const CSmiliesField* pField, C3DMenu& parent, C3DMenu& submenu,
                         BOOL bGrayed);
// Commands 83 to 87 record their undo step with the field's container and
// insert 1, 2, 3, 5 or 10 empty rows at the row under the client point.
// FALSE for other commands.
BOOL OnInsertRowsCommand(CSmiliesField* pField, UINT nCommand, POINT pt);
