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


// The smilie properties dialog: the template with the source text, the
// insertion template and the reload check, and the one without.
#define IDD_SMILIEPROP 165
#define IDD_SMILIEPROP_NOSOURCE 344
// Its controls; the five picture-moving buttons are made at run time.
#define IDC_SMILIEPROP_UP 101
#define IDC_SMILIEPROP_RIGHT 102
#define IDC_SMILIEPROP_LEFT 103
#define IDC_SMILIEPROP_DOWN 104
#define IDC_SMILIEPROP_CENTRE 105
#define IDC_SMILIEPROP_CHOICE 1013
#define IDC_SMILIEPROP_TEMPLATE 1014
#define IDC_SMILIEPROP_TEMPLATEGROUP 1015
#define IDC_SMILIEPROP_SOURCE 1066
#define IDC_SMILIEPROP_PREVIEW 1077
#define IDC_SMILIEPROP_INFO 1079
#define IDC_SMILIEPROP_PREVIEWGROUP 1083
#define IDC_SMILIEPROP_RELOAD 1096
#define IDC_SMILIEPROP_CENSORED 1127
#define IDC_SMILIEPROP_LABELS 1128


// The first-time wizard.

