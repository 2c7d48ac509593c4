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

// The grey tile behind the smilie fields' empty cells, tinted to the field's
// background (resources/draw-field-tile.py); the Standard skin's grid names it.
#define IDB_FIELDTILE       189

// The message box's icon pictures (type "Gif"), each a colour picture and its
// opacity picture, drawn by resources/make-msgbox-icons.py: the round sign
// serves the question and the stop icon, the triangle the exclamation and
// the information icon.
#define IDG_MSGBOX_QUESTION 453
#define IDG_MSGBOX_QUESTION_MASK 454
#define IDG_MSGBOX_NOTICE 455
#define IDG_MSGBOX_NOTICE_MASK 456

// The about box.
// Its credits edit and the picture's place, the web and mail links with
// their labels, the copyright line; the picture (type "Gif") and its
// opacity picture, drawn by resources/draw-about.py.
#define IDD_ABOUT 159
#define IDC_ABOUT_CREDITS 1003
#define IDC_ABOUT_WEB 1009
#define IDC_ABOUT_MAIL 1010
#define IDC_ABOUT_PICTURE 1118
#define IDC_ABOUT_COPYRIGHT 1122
#define IDC_ABOUT_WEB_LABEL 1123
#define IDC_ABOUT_MAIL_LABEL 1124
#define IDG_ABOUT_PICTURE 459
#define IDG_ABOUT_PICTURE_MASK 460

// The progress window.
#define IDD_AUTOPROGRESS 400
#define IDC_AUTOPROGRESS_BAR 1062


// The tip of the day and its pictures.
#define IDD_TIP 485
#define IDC_TIP_SHOWATSTART 1134
#define IDC_TIP_PREVIOUS 1139
#define IDC_TIP_NEXT 1140
#define IDC_TIP_NOTE 1142
// The note paper (type "Gif"), each piece a colour picture and its opacity
// picture: the top, the middle piece repeated as the tip needs, the bottom.
#define IDG_TIP_PAPER_TOP 502
#define IDG_TIP_PAPER_TOP_MASK 503
#define IDG_TIP_PAPER_MIDDLE 504
#define IDG_TIP_PAPER_MIDDLE_MASK 505
#define IDG_TIP_PAPER_BOTTOM 506
#define IDG_TIP_PAPER_BOTTOM_MASK 507
// The tips' pictures ("Gif", one "Png"), some with an opacity picture; all
// drawn by resources/draw-tip.py.
#define IDG_TIP_INSERT 508
#define IDG_TIP_BIGPICTURE 509
#define IDG_TIP_BIGPICTURE_MASK 511
#define IDG_TIP_DRAGIN 514
#define IDG_TIP_CONTEXTMENU 515
#define IDG_TIP_CELLSIZE 516
#define IDG_TIP_RIGHTDRAG 519
#define IDG_TIP_FIELDCODE 520
#define IDG_TIP_TRANSPARENCY 521
#define IDG_TIP_MESSENGER 522
#define IDG_TIP_MESSENGER_MASK 523
#define IDG_TIP_SORT 524
#define IDG_TIP_SORT_MASK 526
#define IDG_TIP_TRAY 527
#define IDG_TIP_TABMENU 530
#define IDG_TIP_TABMENU_MASK 531
#define IDP_TIP_SELECTALL 541
// The collections list; the quick-open hint shows it too.
#define IDG_TIP_COLLECTIONS 543
#define IDG_TIP_COLLECTIONS_MASK 544

// The quick-open hint.
#define IDD_QUICKOPENHINT 536
#define IDC_QUICKOPEN_TEXT 1075
#define IDC_QUICKOPEN_PICTURE 1118


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



// The notices about target programs. Every notice with a picture shows the
// message box's notice picture (IDG_MSGBOX_NOTICE) in place of 1118.
#define IDC_NOTICE_PICTURE 1118
// Eudora support.
#define IDD_TURNONEUDORA 287
#define IDC_EUDORA_CHECK 1043
#define IDC_EUDORA_TEXT1 1044
#define IDC_EUDORA_TEXT2 1045
// HTML mail is off.
#define IDD_WARNAPPHTMLOFF 532
#define IDC_HTMLOFF_TEXT 1143
// A program that cannot take smilies.
#define IDD_WARNUNSUPPORTED 281
#define IDC_UNSUPPORTED_TEXT 1040
// No internet connection.
#define IDD_WARNNOINET 279
#define IDC_NOINET_LOCAL 1031
#define IDC_NOINET_DONTSHOW 1035
#define IDC_NOINET_TEXT1 1036
#define IDC_NOINET_TEXT2 1037
// The main window hides to the tray: the picture of the notification area
// (resources/draw-notices.py draws the template's), its frame and group.
#define IDD_WARNHIDING 408
#define IDB_HIDING_TRAY 409
#define IDC_HIDING_CHECK 1073
#define IDC_HIDING_PICTURE 1074
#define IDC_HIDING_TEXT 1075
#define IDC_HIDING_FRAME 1081
#define IDC_HIDING_GROUP 1119
// The messenger reminders and their pictures ("Png"): a 19 x 19 smilie beside
// a larger one, and the classic emoticons collection (draw-notices.py); the
// tip's picture of a selected field (IDP_TIP_SELECTALL) serves both.
#define IDD_WARNMSN6 534
#define IDD_WARNMSN7 545
#define IDP_MSN_SIZE 542
#define IDP_MSN_CLASSIC 547
#define IDC_MSN_DONTSHOW 1134
#define IDC_MSN_GETSMILIES 1145
#define IDC_MSN_SIZETEXT 1146
#define IDC_MSN_CLASSICTEXT 1147
#define IDC_MSN_OPENCLASSIC 1148
#define IDC_MSN_TEXT 1152
#define IDC_MSN_SIZEPICTURE 1153
#define IDC_MSN_FIELDPICTURE 1154
#define IDC_MSN_CLASSICPICTURE 1155
#define IDC_MSN_INSERTANYWAY 1156
// The messenger exporter: hidden unless the run takes long or fails.
#define IDD_MSNEXPORTER 533
#define IDC_MSNEXPORTER_PROGRESS 1062

// The collections button beside the field tabs: normal, pressed, focused and
// disabled, grey so that they can be tinted (resources/draw-fields-switcher.py).
#define IDB_COLLECTIONS          610
#define IDB_COLLECTIONS_SEL      611
#define IDB_COLLECTIONS_FOCUS    612
#define IDB_COLLECTIONS_DISABLED 613
// The icons of the field tab menu (16 x 16, same script).
#define IDI_TABMENU_SWITCH       620
#define IDI_TABMENU_MOVE         621
#define IDI_TABMENU_NEW          622
#define IDI_TABMENU_DUPLICATE    623
#define IDI_TABMENU_REMOVE       624
#define IDI_TABMENU_EXPORT       625
#define IDI_TABMENU_PROPERTIES   626
#define IDI_TABMENU_INFO         627
// The icons of the fields' menus (16 x 16, resources/draw-field-menus.py);
// icon 166 is not bitmap 166.
#define IDI_FIELDMENU_PASTE                215
#define IDI_FIELDMENU_PASTE_HISTORY        213
#define IDI_FIELDMENU_LARGE_GROUP          166
#define IDI_FIELDMENU_SORT                 209
#define IDI_FIELDMENU_SORT_TEXT            179
#define IDI_FIELDMENU_SORT_PICTURE_SIZE    233
#define IDI_FIELDMENU_SORT_DATA_SIZE       231
#define IDI_FIELDMENU_SORT_DATE            228
#define IDI_FIELDMENU_SORT_USAGE           232
#define IDI_FIELDMENU_SORT_RANDOM          152
#define IDI_FIELDMENU_ARRANGE_PACK         183
#define IDI_FIELDMENU_ARRANGE_EVERY_OTHER_CELL 182
#define IDI_FIELDMENU_ARRANGE_EVERY_OTHER_ROW 180
#define IDI_FIELDMENU_ARRANGE_SPREAD_OUT   178
#define IDI_FIELDMENU_INSERT_ROWS          184
#define IDI_FIELDMENU_ADD_FILES            358
#define IDI_FIELDMENU_NEW                  198
#define IDI_FIELDMENU_NEW_SMILIE           199
#define IDI_FIELDMENU_NEW_PHRASE           200
#define IDI_FIELDMENU_SELECT_ALL           201
#define IDI_FIELDMENU_CUT                  186
#define IDI_FIELDMENU_COPY                 190
#define IDI_FIELDMENU_DELETE               187
#define IDI_FIELDMENU_EXPORT               359
#define IDI_FIELDMENU_STOP_DOWNLOAD        207
#define IDI_FIELDMENU_DOWNLOAD             206
#define IDI_FIELDMENU_PROPERTIES_PICTURE   208
#define IDI_FIELDMENU_PROPERTIES_PHRASE    210
#define IDI_FIELDMENU_UNDO                 341
#define IDI_FIELDMENU_REDO                 342
// The program's two named icon groups: the program and its collection files.
#define IDI_PROGRAM_NAME  "IDI_ICONDEFAULT"
#define IDI_DOCUMENT_NAME "IDI_ICONFORTVNXDOCUMENT"

// The field properties dialog and its picture (type "Gif") with opacity picture.
#define IDD_FIELDPROP 147
#define IDC_FIELDPROP_CAPTION 1005
#define IDC_FIELDPROP_COLOR 1006
#define IDC_FIELDPROP_COLOR2 1013
#define IDC_FIELDPROP_COLOR10 1021
#define IDC_FIELDPROP_CODELABEL 1022
#define IDC_FIELDPROP_PRESET 1023
#define IDC_FIELDPROP_TEMPLATE 1024
#define IDC_FIELDPROP_COUNTS1 1055
#define IDC_FIELDPROP_COUNTS2 1057
#define IDC_FIELDPROP_CONTENTSGROUP 1058
#define IDC_FIELDPROP_COLORLABEL 1085
#define IDC_FIELDPROP_NAMEGROUP 1086
#define IDC_FIELDPROP_MORECOLORS 1089
#define IDC_FIELDPROP_WHITECELLS 1115
#define IDC_FIELDPROP_PICTURE 1118
#define IDG_FIELDPROP_PICTURE 457
#define IDG_FIELDPROP_PICTURE_MASK 458

// The insertion template editor of all fields.
#define IDD_CUSTOMTEMPLATE 245
#define IDC_CUSTOMTEMPLATE_TEXT 1014
#define IDC_CUSTOMTEMPLATE_GROUP 1015
// The options sheet: its five pages (general, skin colour, smilies, start-up,
// memory); the sheet shows the field properties' picture (457 with 458).
#define IDD_OPTIONS_GENERAL 402
#define IDD_OPTIONS_COLOR 411
#define IDD_OPTIONS_SMILIES 403
#define IDD_OPTIONS_STARTUP 407
#define IDD_OPTIONS_MEMORY 405
// General.
#define IDC_OPT_DOCK 1002
#define IDC_OPT_3DMENUS 1011
#define IDC_OPT_TOOLTIPS 1050
#define IDC_OPT_TRAYSINGLECLICK 1060
#define IDC_OPT_OPAQUEHOVER 1069
#define IDC_OPT_HIDEANIMATION 1070
#define IDC_OPT_FADEDIALOGS 1101
#define IDC_OPT_SMOOTHSCROLL 1102
#define IDC_OPT_TRANSPARENTEDGES 1103
#define IDC_OPT_LOOKGROUP 1105
#define IDC_OPT_TASKBARBUTTON 1107
#define IDC_OPT_LANGUAGE 1108
#define IDC_OPT_MAINGROUP 1125
// Skin colour: the five scheme swatches (1006 starts the group) and their labels.
#define IDC_OPT_SCHEME1 1006
#define IDC_OPT_SCHEME2 1013
#define IDC_OPT_SCHEME3 1014
#define IDC_OPT_SCHEME4 1015
#define IDC_OPT_SCHEME5 1016
#define IDC_OPT_COLORING 1077
#define IDC_OPT_SKINCOLOR 1078
#define IDC_OPT_SKINCOLORLABEL 1080
#define IDC_OPT_SCHEMELABEL1 1082
#define IDC_OPT_SCHEMELABEL2 1083
#define IDC_OPT_SCHEMELABEL3 1084
#define IDC_OPT_SCHEMELABEL4 1085
#define IDC_OPT_SCHEMELABEL5 1086
// Smilies.
#define IDC_OPT_LOCALSMILIES 1031
#define IDC_OPT_EUDORAONLY 1043
#define IDC_OPT_BIGONLY 1051
#define IDC_OPT_PREVIEWBACK 1053
#define IDC_OPT_PREVIEWBACKLABEL 1054
#define IDC_OPT_LOCALMARK 1059
#define IDC_OPT_PREVIEWNAME 1066
#define IDC_OPT_NAMECOLOR 1067
#define IDC_OPT_NAMECOLORLABEL 1068
#define IDC_OPT_FIELDSGROUP 1076
#define IDC_OPT_FIELDSLOOK 1087
#define IDC_OPT_PREVIEWMODE 1097
#define IDC_OPT_PREVIEWDELAY 1098
#define IDC_OPT_ANIMATION 1099
#define IDC_OPT_PREVIEWGROUP 1104
#define IDC_OPT_TOOLBAR 1114
#define IDC_OPT_CENSORED 1130
// Start-up.
#define IDC_OPT_TIPSOFTHEDAY 1028
#define IDC_OPT_AUTOSTART 1029
#define IDC_OPT_TRAYTIP 1061
#define IDC_OPT_WARNEXIT 1063
#define IDC_OPT_OPENATSTART 1071
// Memory.
#define IDC_OPT_UNDOSIZE 1072
#define IDC_OPT_CACHESIZE 1100

// The tray icon while the main window is open and while it is closed, and the
// tray menu's icon of the open item (resources/draw-tray.py; 16 x 16, 4 bits,
// the face in pure blue, which the program recolours).
#define IDI_TRAY_OPEN 423
#define IDI_TRAY_CLOSED 424
#define IDI_TRAYMENU_OPEN 224
// The new-smilie, new-phrase and phrase properties dialogs.
#define IDD_PHRASEPROP 169
#define IDD_PHRASENEW 173
#define IDD_SMILIENEW 174
#define IDC_SMILIENEW_TEMPLATEGROUP 1015
#define IDC_SMILIENEW_TEMPLATECHOICE 1013
#define IDC_SMILIENEW_TEMPLATE 1014
#define IDC_SMILIENEW_ADDRESS 1066
#define IDC_SMILIENEW_ADDRESSGROUP 1093
#define IDC_PHRASE_FACTS 1079
#define IDC_PHRASE_FACTSGROUP 1083
#define IDC_PHRASE_TEXTGROUP 1084
#define IDC_PHRASE_TEXT 1092
// The drop methods of the right-drag menu and its default submenu.
#define IDI_DROPMENU_METHOD1 220
#define IDI_DROPMENU_METHOD3 221
#define IDI_DROPMENU_METHOD2 222
#define IDI_DROPMENU_METHOD4 223
#define IDI_DROPMENU_DEFAULT 230
