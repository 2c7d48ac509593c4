// services/: what every layer of the program may call, and what calls nothing
// above the framework (it may use ui3d/system and the array template, which are
// as low): message ids, language strings, settings, the registry, the busy
// state, change flags, folder files, shell services and the loader reports.
//
// The program's private window messages (WM_APP range), each defined once here.
// Messages and clipboard formats shared by name are registered in
// services/Registered.
#pragma once

#include <windows.h>

// Skinned controls and the fields container.
#define WM_NEWFIELD          (WM_APP + 0x00)  // to the fields container; wParam the tab id to insert after (<0 the selected)
#define WM_DUPLICATEFIELD    (WM_APP + 0x01)  // wParam a field id
#define WM_REMOVEFIELD       (WM_APP + 0x02)  // wParam a field id; asks first
#define WM_EDITFIELD         (WM_APP + 0x03)  // wParam a field id; the field properties
#define WM_EXPORTTOMESSENGER (WM_APP + 0x04)  // wParam 1, lParam the MSNEXPORTREQUEST
#define WM_GETFIELDCOLOR     (WM_APP + 0x05)  // the current field's background colour
#define WM_TRAYNOTIFY        (WM_APP + 0x06)  // tray icon callback; lParam the mouse message
#define WM_OPENCOLLECTION    (WM_APP + 0x07)  // wParam the collection file's path
#define WM_VTIMER            (WM_APP + 0x09)  // tick of the program-wide timer; wParam the client id
#define WM_CLRSELSET         (WM_APP + 0x11)
#define WM_CLRSELGET         (WM_APP + 0x12)
#define WM_CLRSELCHANGED     (WM_APP + 0x14)  // wParam the colour button, lParam the colour
#define WM_SCROLLBARCLICK    (WM_APP + 0x16)
#define WM_TABSELCHANGED     (WM_APP + 0x17)  // wParam the new tab id, lParam the previous one
#define WM_DOWNLOADPROGRESS  (WM_APP + 0x18)  // posted; wParam the cookie, lParam state | progress << 16
#define WM_DOWNLOADDONE      (WM_APP + 0x21)  // sent; wParam the cookie, lParam the final state
#define WM_IMPORTDROPPED     (WM_APP + 0x22)  // a field to itself: import what the last drop brought
#define WM_DROPREFUSED       (WM_APP + 0x24)  // wParam why a dropped picture was refused
#define WM_HIDEMAINWND       (WM_APP + 0x25)
#define WM_APPMOUSEMOVE      (WM_APP + 0x26)  // wParam the window under the mouse, lParam the point
#define WM_SHOWOPTIONS       (WM_APP + 0x27)
#define WM_DROPGROUP         (WM_APP + 0x28)  // a field to itself after a group of smilies was dropped on it
#define WM_LANGUAGE_CHANGED  (WM_APP + 0x29)
#define WM_DOWNLOADSFINISHED (WM_APP + 0x2A)  // a field to itself: the last web picture has come
#define WM_GETFIELDCOUNT     (WM_APP + 0x2D)  // the number of fields of the container
#define WM_GETMAXFIELDS      (WM_APP + 0x2E)  // the most fields a container takes (50)
#define WM_QUERYDLGSTATE     (WM_APP + 0x30)
#define WM_PUSHUNDO          (WM_APP + 0x31)  // a field to the fields container before a change; wParam the step's title
#define WM_DROPUNDO          (WM_APP + 0x32)  // the change announced by the last WM_PUSHUNDO did not happen
#define WM_CLEARUNDO         (WM_APP + 0x33)
#define WM_CANUNDO           (WM_APP + 0x34)
#define WM_CANREDO           (WM_APP + 0x35)
#define WM_UNDO_FIELDS       (WM_APP + 0x36)  // 1 when a step was undone
#define WM_REDO_FIELDS       (WM_APP + 0x37)  // 1 when a step was redone
#define WM_GETUNDOTITLE      (WM_APP + 0x38)  // the undo step's title (may be NULL), 0 without a step
#define WM_GETREDOTITLE      (WM_APP + 0x39)  // the redo step's title, 0 without a step
#define WM_EXPORTFIELD       (WM_APP + 0x3B)  // wParam a field id
#define WM_GETFIELDSMILIES   (WM_APP + 0x3C)  // wParam a field id; its number of smilies
#define WM_PREVIEWLCLICK     (WM_APP + 0x3D)  // the preview to the window under a click; wParam the key flags, lParam the client point
#define WM_PREVIEWRCLICK     (WM_APP + 0x3E)
#define WM_ANIMATETOTRAY     (WM_APP + 0x3F)
#define WM_GETTOOLRECT       (WM_APP + 0x40)  // wParam a rectangle to fill
#define WM_SETBODYSTYLE      (WM_APP + 0x41)
#define WM_GETBODYSTYLE      (WM_APP + 0x42)
#define WM_SETBUTTONICON     (WM_APP + 0x43)
#define WM_GETFIELDDATASIZE  (WM_APP + 0x44)  // wParam a field id; bytes of its smilies' pictures
// A question of the delivery, posted to its own window so that it is asked
// after the rendering for another program has returned.
#define WM_DEFERREDQUESTION  (WM_APP + 0x50)
// The tray window to itself: open the file a second start handed over.
#define WM_OPENHANDEDOVER    (WM_APP + 0x58)

#define WM_RELAYMOUSEMSG     (WM_USER + 7)    // a control hands its owner a mouse message
// Posted by the main window to itself: wParam its handle, lParam 1 after the
// first show, 2 after a collection was opened, 3 after one was merged.
#define WM_COLLECTIONLOADED  (WM_USER + 1)

// Final states of a download (low byte of WM_DOWNLOADPROGRESS, lParam of WM_DOWNLOADDONE).
enum DOWNLOADSTATE
{
    DOWNLOAD_CREATED = 0,
    DOWNLOAD_RUNNING = 1,
    DOWNLOAD_DONE = 2,
    DOWNLOAD_FAILED = 3,        // failed or cancelled
    DOWNLOAD_OPENFAILED = 4,    // the address could not be opened
    DOWNLOAD_TOOLARGE = 6,      // more than 307200 bytes
    DOWNLOAD_CHUNKTOOLARGE = 7  // one read of more than 307199 bytes
};

// Names of the registered messages.
#define TVNX_MSG_ACTIVATEMAINWND "WM_Tarvenex_ACTIVATEMAINWND"
#define TVNX_MSG_FOCUSHOOK       "WM_FOCUSHOOK"
#define TVNX_MSG_PRINTBKGND      "WM_PRINTBKGND"
#define TVNX_MSG_MODIFYDIRDLG    "WM_MODIFYDIRDLG"
#define TVNX_MSG_TASKBARCREATED  "TaskbarCreated"
#define TVNX_MSG_MSWHEEL         "MSWHEEL_ROLLMSG"
