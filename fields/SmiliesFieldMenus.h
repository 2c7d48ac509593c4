// Pieces the fields' menus share: the texts that carry a smilie's name, and
// the sort and insert-rows submenus with their commands. The field
// control's menus and the main window's Edit and Smilies menus build on
// them. User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"
#include "ui3d/menus/3DMenu.h"

#include <windows.h>

class C3DMenu;
class C3DMenuBar;
class CSmilie;
class CSmiliesField;
class CSmiliesFieldControl;

// Command ids shared by every menu of a field.
enum
{
    ID_FIELDMENU_DELETE = 1,
    ID_FIELDMENU_CUT = 2,
    ID_FIELDMENU_COPY = 3,
    ID_FIELDMENU_PROPERTIES = 4,
    ID_FIELDMENU_PASTE = 5,
    ID_FIELDMENU_SELECT_LARGE = 6,
    ID_FIELDMENU_SELECT_ALL = 9,
    ID_FIELDMENU_DOWNLOAD = 11,
    ID_FIELDMENU_STOP_DOWNLOAD = 12,
    ID_FIELDMENU_HISTORY_FIRST = 32,  // 32 to 47: paste entry 0 to 15 of the paste history
    ID_FIELDMENU_HISTORY_LAST = 47,
    ID_FIELDMENU_SORT_FIRST = 64,  // 64 to 73: arrange commands 1 to 10
    ID_FIELDMENU_SORT_LAST = 73,
    ID_FIELDMENU_INSERTROWS_FIRST = 83,  // 83 to 87: insert 1, 2, 3, 5 or 10 empty rows
    ID_FIELDMENU_INSERTROWS_LAST = 87,
    ID_FIELDMENU_UNDO = 88,
    ID_FIELDMENU_REDO = 89,
    ID_FIELDMENU_EXPORT = 90,
    ID_FIELDMENU_ADD_FILES = 91,
    ID_FIELDMENU_NEW_SMILIE = 100,
    ID_FIELDMENU_NEW_PHRASE = 101,
    ID_FIELDMENU_NEW_FROM_CLIPBOARD = 102
};

// Values of the main window's menu-bar items that drop these menus down.
enum
{
    MENUBAR_VALUE_EDIT = 6,
    MENUBAR_VALUE_FIELDS = 7,
    MENUBAR_VALUE_SMILIES = 10
};

// The icons a menu shows, loaded from the program's resources at 16 x 16
// and destroyed with the holder, after the menu is gone.
class CMenuIcons
{
public:
    CMenuIcons() {}
    ~CMenuIcons() { Free(); }
    // The icon of that resource number, with the size it was loaded at; a
    // null handle when it cannot be loaded.
    CMenuItemIcon Load(UINT nId);
    // Takes over an icon made elsewhere (NULL is let through); returns it,
    // with its size when the maker gives it.
    HICON Keep(HICON hIcon);
    CMenuItemIcon Keep(HICON hIcon, int cx, int cy) { return CMenuItemIcon(Keep(hIcon), cx, cy); }
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

// Appends the paste item and the paste-history item to the parent. With
// entries in the history (and bGrayed clear) the history item opens the
// submenu, made in submenu: one item per entry, newest first, with a
// thumbnail of its group. The paste item is grayed with bGrayed, or when
// neither the history nor the clipboard has anything to paste.
void BuildPasteMenu(C3DMenu& submenu, CMenuIcons& icons, C3DMenu& parent, BOOL bGrayed);
// Command 5 pastes what another program left on the clipboard (pictures or
// a text) at the client point, else the newest history entry; 32 to 47
// paste history entry (command - 32). TRUE when the command was one of these.
BOOL OnPasteCommand(CSmiliesFieldControl* pField, UINT nCommand, POINT pt);

// The menus of a field, shown and carried out. The field menu belongs to an
// empty cell, the smilie menu to the smilie under the client point; both
// open at that point. The Edit and Smilies menus drop down from the item of
// the main window's menu bar and act at the field's focus cell (the Edit
// menu: else at the first selected smilie).
void ShowFieldMenu(CSmiliesFieldControl* pField, POINT pt);
void ShowSmilieMenu(CSmiliesFieldControl* pField, POINT pt);
void ShowEditMenu(CSmiliesFieldControl* pField, C3DMenuBar* pMenuBar);
void ShowSmiliesMenu(CSmiliesFieldControl* pField, C3DMenuBar* pMenuBar);
// An Edit menu command given by its key (Ctrl+Z, Ctrl+Y, Ctrl+X, Ctrl+C,
// Ctrl+V): carried out as the Edit menu carries it out, and only where the
// menu offers it (undo and redo when there is a step, cut and copy on a
// smilie, paste at a target cell).
void RunEditCommand(CSmiliesFieldControl* pField, UINT nCommand);
