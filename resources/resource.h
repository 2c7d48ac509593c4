// Ids of the program's resources (resources/tarvenex.rc).
#pragma once

// The language loader's report window.
#define IDD_LANGPARSEROUTPUT 461
// The skin loader's report window.
#define IDD_SKINPARSEROUTPUT 553

// The report text of both loader report windows.
#define IDC_PARSEROUTPUT_TEXT 1126
