// CTvnxBitmapButton: the owner-drawn close and about buttons of the main
// window. Four bitmap resources (normal, pressed, focused, disabled) drawn as
// the framework's bitmap button draws them, tinted to the skin colour while
// skin colouring is on. Every load starts from fresh copies of the resources,
// so changing the colour never tints a picture twice. While the mouse is over
// an enabled, released button it shows its normal picture lightened, so the
// user sees what a click would hit.
#pragma once

#include "framework/Button.h"

class CTvnxBitmapButton : public CBitmapButton
{
public:
    CTvnxBitmapButton();
    ~CTvnxBitmapButton() override;

    // Loads the bitmaps named by the four ids (0: none, for all but the
    // normal one) and tints them when m_bRecolor is set. 1 when every
    // requested bitmap loaded; 0 at once when the normal one is missing.
    BOOL LoadBitmaps();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    COLORREF m_clrKey;  // the skin colour ("SkinColor")
    BOOL m_bRecolor;    // skin colouring on ("SkinColoringEnabled")
    WORD m_nNormalId;
    WORD m_nSelectedId;
    WORD m_nFocusedId;
    WORD m_nDisabledId;

    CBitmap m_bitmapHot;  // the normal picture lightened, made by LoadBitmaps
    BOOL m_bHot;          // the mouse is over the button
};
