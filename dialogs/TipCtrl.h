// CTipCtrl: the note paper of the tip of the day. The paper is composed of
// three pictures, each with an opacity picture: a top piece, a middle piece
// repeated as often as the tip needs, and a bottom piece. On it go the
// heading, the tip's text and an optional picture. The control paints only
// in WM_PAINT, blending the paper over its dialog's background.
#pragma once

#include "framework/Str.h"
#include "ui3d/controls/ControlBase.h"

class CImageReader;

// The resource type names of a tip picture's kinds.
enum
{
    TIPPIC_NONE = 0,
    TIPPIC_BMP = 1,
    TIPPIC_GIF = 2,
    TIPPIC_JPG = 3,
    TIPPIC_PNG = 4
};

class CTipCtrl : public CControlBase
{
    DECLARE_DYNAMIC(CTipCtrl)
public:
    CTipCtrl();
    ~CTipCtrl() override;

    // Loads the paper and creates the visible child nID with its top-left at
    // pt, one middle piece high. FALSE when the window cannot be made.
    BOOL Create(const POINT& pt, CWnd* pParent, UINT nID);

    // Sets the tip: text (NULL: none), picture and opacity picture ids of the
    // type (0: none), and returns in *pSize the size the control needs. With
    // bResize the window takes that size at once.
    void SetTip(LPCSTR pszText, UINT nPicture, UINT nMask, int nType, BOOL bResize, SIZE* pSize);

    // The paper never gets fewer middle pieces than n, so a dialog can keep
    // one height for all its tips.
    void SetMinMiddleCount(int n) { m_nMinMiddleCount = n; }

    const CString& GetText() const { return m_strText; }
    int GetTextHeight() const { return m_nTextHeight; }
    int GetMiddleCount() const { return m_nMiddleCount; }
    // The tip's picture and its opacity picture, NULL when there is none.
    const CImageReader* GetPicture() const { return m_pPicture; }
    const CImageReader* GetPictureMask() const { return m_pPictureMask; }
    // Top, middle and bottom piece heights (0 when a piece is missing).
    int GetPieceHeight(int nPiece) const;
    int GetPaperWidth() const;

    // --- CControlBase ----------------------------------------------------------
    CBitmap* GetBackBuffer() override { return NULL; }
    void Paint(CDC* pDC, int left, int top, int right, int bottom) override;
    void OnMouseMove(UINT, int, int) override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Drawing places in client pixels.
    static const RECT s_rcHeading;
    static const RECT s_rcText;
    static const int s_xPictureLeft = 55;
    static const int s_xPictureRight = 258;
    static const int s_yPictureBase = 205;

private:
    enum { PIECE_TOP = 0, PIECE_MIDDLE = 1, PIECE_BOTTOM = 2, PIECE_COUNT = 3 };

    void LoadPaper();
    void FreePicture();
    SIZE ComputeSize() const;
    void PaintPiece(HDC hDC, int nPiece, int y, const RECT& rcUpdate);

    CImageReader* m_pPieces[PIECE_COUNT];
    CImageReader* m_pPieceMasks[PIECE_COUNT];
    int m_nMiddleCount;          // at least 1
    int m_nMinMiddleCount;       // the least m_nMiddleCount SetTip gives
    CString m_strText;
    int m_nTextHeight;
    CImageReader* m_pPicture;
    CImageReader* m_pPictureMask;
    HFONT m_hHeadingFont;
    HFONT m_hTextFont;
};
