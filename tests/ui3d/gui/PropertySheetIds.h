// Ids of the property-sheet test pages (also shown by the gallery).
#pragma once

#define IDD_PS_GENERAL 9300
#define IDD_PS_LOOK 9301
#define IDD_PS_SMALL 9302
#define IDD_PS_MISSING 9309   // no such template

#define IDC_PS_TEXT 9310
#define IDC_PS_CHECK 9311
#define IDC_PS_EDIT 9312
#define IDC_PS_HIDDEN 9313
#define IDC_PS_GROUP 9314
#define IDC_PS_COMBO 9315
#define IDC_PS_RADIO1 9320
#define IDC_PS_RADIO2 9321
#define IDC_PS_LOOKTEXT 9322
#define IDC_PS_SMALLTEXT 9330
// Ids a page takes from the range where the sheet looks for a free one.
#define IDC_PS_TAKEN1 1000
#define IDC_PS_TAKEN2 1001

#define IDG_PS_SIDE 9340
#define IDG_PS_SIDE_MASK 9341
