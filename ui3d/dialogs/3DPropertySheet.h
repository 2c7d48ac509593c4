// C3DPropertySheet: a skinned dialog that shows several pages in one window.
// Each page is an ordinary dialog template: at initialisation the sheet
// creates every page once, moves the page's controls into itself and throws
// the page window away, so that from then on a page is only the set of its
// controls, shown or hidden together. Control replacement, tooltips and the
// painted body are the sheet's, as for any skinned dialog.
//
// Pages are switched by a CTabSelector above them, or in wizard mode by Back
// and Next buttons without tabs; on the last wizard page Next becomes Finish
// and takes the id of OK, so that it ends the sheet through OnOK.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"
#include "ui3d/TabSelParams.h"
#include "ui3d/controls/TabSelector.h"
#include "ui3d/dialogs/3DDialog.h"

// Ids of the wizard's buttons; Finish is IDOK, Cancel IDCANCEL.
#define IDC_SHEET_NEXT 266
#define IDC_SHEET_BACK 267

class C3DPropertySheet;

// What a sheet is made of. Pointers are read during construction only.
struct PROPSHEETARGS
{
    int bWizard = 0;
    const UINT* pPageIds = NULL;        // page templates, ended by 0
    const LPCSTR* ppTitles = NULL;      // titles of the first pages, ended by NULL; NULL: the captions
    CWnd* pParent = NULL;
    UINT nImage1 = 0;                   // "Gif" resources of the side picture and its opacity; 0: none
    UINT nImage2 = 0;
    const TABSELPARAMS* pTabLook = NULL;
    int nTabHeight = 0;
    const TOOLTIPSTYLE* pToolTipStyle = NULL;
};

class C3DPropertySheet : public C3DDialog
{
public:
    // One tooltip of a page control, put in place when its page is shown.
    struct ADDTOOLINPUT
    {
        CString strText;
        UINT nCtrlId = 0;
        int bHasArea = 0;
        RECT rcArea = {0, 0, 0, 0};
        CString strTitle;
        COLORREF clrText = 0;
        COLORREF clrBack = 0;
    };
    // One page: its controls (in template order), its queued tooltips, its
    // title and its tab id (in wizard mode the page number counted from 1).
    struct PAGECTRLS
    {
        CSequence<HWND> controls;
        CSequence<ADDTOOLINPUT> tools;
        CString strTitle;
        int nTabId = 0;
    };

    C3DPropertySheet(const BODYSTYLE* pBodyStyle, int bFade, const PROPSHEETARGS& args);
    ~C3DPropertySheet() override;

    // --- the sheet's own overridables ------------------------------------------
    // The application's initialisation, last in OnInitDialogEx.
    virtual BOOL OnInitSheet() { return TRUE; }
    // Texts, tooltips and colours of the page controls, after replacement.
    virtual void OnInitPageControls() {}
    // Wizard mode: the next page, or OnOK on the last; the previous page,
    // nothing on the first.
    virtual void NextPage();
    virtual void PrevPage();

    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Queues a tooltip for the page control with that id; 1 when a page holds
    // it, else 0 (nothing queued). It shows from the next time its page does.
    int AddPageTool(LPCSTR pszText, UINT nCtrlId, LPCSTR pszTitle);

    // The smallest id from 1000 up that no page control has; 0 when none up
    // to 0xFFFE is free.
    UINT GetFreeCtrlId() const;
    // The page on show: the current index in wizard mode, the page of the
    // selected tab otherwise; -1 when none.
    int GetActivePage() const;
    // The first tab stop of the page on show (or the first button when it has none).
    HWND FirstPageControl() const;
    // Tab mode: the next (1) or previous (-1) page, round the ends.
    void StepPage(int nDirection);
    int GetPageCount() const { return m_Pages.GetSize(); }
    const PAGECTRLS& GetPage(int nIndex) const { return m_Pages[nIndex]; }
    const RECT& GetPageArea() const { return m_rcPageArea; }
    BOOL IsWizard() const { return m_bWizard; }

    CTabSelector m_TabSel;

protected:
    // Brings Back and Next/Finish up to date with the current wizard page.
    void UpdateWizardButtons();

private:
    int FindPageByTabId(int nTabId) const;
    int FindPageByControlId(UINT nId) const;
    void CreatePages(int* pnWidth, int* pnHeight);
    void CreateTabs(const RECT& rcTabs);
    void CreateButtons(int xLeft, int xRight, int y);
    void PutPageToolTips(int nPage);
    LRESULT OnTabSelChanged(int nNewId, int nOldId);

    BYTE* m_pTemplate;
    CSequence<UINT> m_PageIds;
    CSequence<CString> m_Titles;
    TABSELPARAMS m_TabLook;
    int m_nTabHeight;
    CSequence<PAGECTRLS> m_Pages;
    RECT m_rcPageArea;
    UINT m_nImage1;
    UINT m_nImage2;
    int m_bWizard;
    int m_nCurrentPage;   // wizard mode; -1 before initialisation
};
