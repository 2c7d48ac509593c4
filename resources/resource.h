// Ids of the program's resources (resources/tarvenex.rc).
#pragma once

// The language loader's report window.
#define IDD_LANGPARSEROUTPUT 461
// The skin loader's report window.
#define IDD_SKINPARSEROUTPUT 553

// The report text of both loader report windows.
#define IDC_PARSEROUTPUT_TEXT 1126

// The main window's about and close buttons: normal and pressed pictures,
// grey so that skin colouring can tint them (resources/draw-buttons.py).
#define IDB_BTNABOUT        162
#define IDB_BTNCLOSE        163
#define IDB_BTNABOUT_SEL    166
#define IDB_BTNCLOSE_SEL    167

// The message box's icon pictures (type "Gif"), each a colour picture and its
// opacity picture, drawn by resources/make-msgbox-icons.py: the round sign
// serves the question and the stop icon, the triangle the exclamation and
// the information icon.
#define IDG_MSGBOX_QUESTION 453
#define IDG_MSGBOX_QUESTION_MASK 454
#define IDG_MSGBOX_NOTICE 455
#define IDG_MSGBOX_NOTICE_MASK 456

// The about box.

// The progress window.


// The tip of the day and its pictures.

// The quick-open hint.


// The smilie properties dialog.


// The first-time wizard.
// Its two pages: the look of the smilie fields, and censored smilies.
#define IDD_WIZARD_LOOK 473
#define IDD_WIZARD_CENSOR 474
// Pictures of the choices (resources/draw-wizard.py): a field with 3D cells
// and one with flat cells; a field with every smilie shown and one whose
// censored smilies are hidden.
#define IDB_WIZARD_LOOK3D 417
#define IDB_WIZARD_LOOKFLAT 418
#define IDB_WIZARD_CENSORED_HIDDEN 483
#define IDB_WIZARD_CENSORED_SHOWN 484
// The sheet's side picture (type "Gif") and its opacity picture.
#define IDG_WIZARD_SIDE 451
#define IDG_WIZARD_SIDE_MASK 452
// Controls of the look page.
#define IDC_WIZARD_LOOKTEXT 1112
#define IDC_WIZARD_LOOKNOTE 1113
#define IDC_WIZARD_FLATLOOK 1132
#define IDC_WIZARD_3DLOOK 1133
// Controls of the censorship page.
#define IDC_WIZARD_CENSOR 1135
#define IDC_WIZARD_NOCENSOR 1136
#define IDC_WIZARD_CENSORTEXT 1137
#define IDC_WIZARD_CENSORNOTE 1138

