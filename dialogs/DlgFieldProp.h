// CDlgFieldProp: the properties of one field: its name, its colour (ten
// swatches or any colour), the insertion template (one of three presets or
// its own) and whether its cells are white. Two lines show how many smilies
// the field holds of how many, and its share of the picture data.
//
// The dialog changes nothing itself: ended with OK it writes the edited
// values through the caller's pointers, and the caller applies them.
#pragma once

#include "framework/Str.h"
#include "ui3d/dialogs/3DDialog.h"

class CDlgFieldProp : public C3DDialog
{
public:
    // Any of the four numbers negative: there are no counts to show (a new field).
    CDlgFieldProp(COLORREF clr, const POINT* pPos, CString* pCaption, CString* pTemplate, int* pWhiteCells,
                  int nSmilies, int nTotalSmilies, int nBytes, int nTotalBytes, CWnd* pParent = NULL);
    ~CDlgFieldProp() override;

    // The template presets, index 0 to 2 (3: the field's own).
    enum { PRESET_COUNT = 3, PRESET_CUSTOM = 3 };
    static LPCTSTR GetPresetName(int nIndex);
    static LPCTSTR GetPresetTemplate(int nIndex);
    // The preset whose text equals the template without regard to case, else PRESET_CUSTOM.
    static int FindPreset(const CString& strTemplate);

    void ShowInsertTemplate(int nIndex);
    // Opens the colour dialog and takes its colour (button 1089).
    void ChooseMoreColors();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CString* m_pCaptionOut;
    CString* m_pTemplateOut;
    int* m_pWhiteCellsOut;
    CString m_strCaption;
    COLORREF m_clr;
    int m_nWhiteCells;
    int m_nPreset;
    CString m_strCustom;
    int m_nNumbers[4];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void ShowMoreColorsFace();
};
