// ShowOptionsDialog: one run of the options sheet with the program's own
// windows as the targets of what the user changed: the main window (its
// docking and its skin), its fields and the image cache.
#pragma once

class CFields;
class CTvnxDlg;
class CWnd;

// A new sheet over pParent (none: no parent); after OK every changed option
// is applied. Any argument may be NULL. 1 when the sheet ended with OK.
int ShowOptionsDialog(CFields* pFields, CTvnxDlg* pMainWnd, CWnd* pParent);
