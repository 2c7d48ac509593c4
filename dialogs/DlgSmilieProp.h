// CDlgSmilieProp: the properties of one picture smilie. It shows the
// smilie's facts (picture size, data length, uses, date, censored flag) and
// an animated preview of the picture in its cell, lets the user shift a
// picture that is larger than the cell (dragging it in the preview or with
// five small buttons), flag the smilie as censored and, for a smilie with a
// source text, choose an insertion template of its own and ask for the
// picture to be loaded again.
//
// The dialog changes nothing itself: when it ends with OK it writes the
// edited values through the caller's pointers, and the caller applies them.
// Ended any other way, it writes nothing.
#pragma once

#include "collection/Sequence.h"
#include "framework/Geometry.h"
#include "framework/Str.h"
#include "ui3d/dialogs/3DDialog.h"

class CSmilie;

class CDlgSmilieProp : public C3DDialog
{
public:
    // pSmilie is read only and must outlive the dialog. pReload and pCrop
    // may be NULL; the others are written on OK.
    CDlgSmilieProp(CSmilie* pSmilie, CString* pTemplate, int* pTextOnly, int* pReload, POINT* pOffset,
                   BYTE* pCrop, int* pCensored);
    ~CDlgSmilieProp() override;

    // Runs the dialog modally; IDOK when the outputs were written.
    INT_PTR Show();

    // The template the dialog is built on: with a source text, the one with
    // the template and reload controls.
    static UINT TemplateFor(const CSmilie* pSmilie);

    // Offset changes, in pixels relative to the centred picture. An axis in
    // which the picture fits the cell does not move; in the other, the
    // picture's edges always straddle the cell's centre.
    void MovePicture(int dx, int dy);
    void SetPictureOffset(int x, int y);
    // The picture's top-left in client coordinates.
    CPoint GetPicturePos() const;
    BOOL IsPictureLargerThanCell() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnVTimer(int nId, int nAmount) override;
    BOOL OnInitDialogEx() override;
    void OnPaintOver(CDC* pDC, const RECT& rcPaint) override;
    void OnInitControls() override;
    CSequence<RECT>* GetOwnDrawnRects() override { return &m_OwnDrawnRects; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

public:
    // --- the smilie and the caller's pointers ---------------------------------
    CSmilie* m_pSmilie;
    CString* m_pTemplateOut;
    int* m_pTextOnlyOut;
    int* m_pReloadOut;
    POINT* m_pOffsetOut;
    BYTE* m_pCropInOut;
    int* m_pCensoredOut;

    // --- working copies ---------------------------------------------------------
    CString m_strOwnTemplate;
    int m_nTemplateChoice;        // 0 the field's template, 1 the smilie's own
    int m_nCensored;
    int m_nReload;
    int m_nOffsetX;
    int m_nOffsetY;
    BYTE m_nCrop;                 // as the caller gave it, handed back unchanged

    // --- texts ------------------------------------------------------------------
    CString m_strInfoValues;      // static 1079
    CString m_strInfoTip;
    CString m_strSmilieName;
    CString m_strSource;          // "---" without a source

    // --- picture ------------------------------------------------------------------
    uint32_t m_nImageId;          // 0: no picture (or no image cache)
    int m_nFrameCount;
    int m_nFrame;
    CSize m_PictureSize;

    // --- geometry -------------------------------------------------------------------
    CRect m_rcPreview;
    CRect m_rcCell;
    HBITMAP m_hPreviewBack;       // the dialog background under the preview area
    int m_bRebuildBackground;
    HBITMAP m_hCanvas;            // the preview as last drawn
    int m_bCanvasValid;

    // --- dragging ---------------------------------------------------------------------
    int m_bDragging;
    CPoint m_ptLastMouse;

    int m_nAnimTimer;             // 0: none
    int m_nFrameDelay;

    HWND m_hArrowButtons[5];      // up, left, centre, right, down; NULL when none
    CSequence<RECT> m_OwnDrawnRects;

    // Longest own template kept.
    enum { maxTemplateLength = 10000 };  // MAX_INSERT_TEMPLATE

private:
    BOOL HasSourceText() const { return m_strSource.GetLength() > 3; }
    void BuildInfoTexts();
    void CreateArrowButtons();
    void CollectOwnDrawnRects();
    void ShowTemplateEdit();
    void SetCensoredCaption(int bCensored);
    // Draws the next frame into the canvas when bAdvance (or when the canvas
    // is stale), then shows the canvas and the dotted cell frame.
    void CapturePreviewBackground(HDC hDC);
    void DrawPreview(CDC* pDC, BOOL bAdvance);
    BOOL FadeOutsideCell(HDC hDC, HDC hBackDC) const;
    void DrawCellDots(HDC hDC) const;
    void ChooseCursor(CPoint pt);
    void EndDragging();
    void StopAnimation();
    // FALSE when the user chose to correct the template: the dialog stays.
    BOOL CheckTemplate(CString& strTemplate, int& nTextOnly);
    int AskUser(LPCSTR pszText);
};
