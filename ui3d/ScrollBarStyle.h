// The look of a skinned scroll bar. The skin object holds three and the tab
// strip and fields-area records embed one each, so the record stands apart
// from the bar: the skin loader fills it before any bar exists.
#pragma once

#include "ui3d/StyleRecords.h"

const int SCROLLBARSTYLE_SIZE = 604;

// Which parts C3DScrollBar::SetStyle takes (nApplyMask).
enum
{
    SBS_APPLY_TRACK = 0x01,
    SBS_APPLY_THUMB = 0x02,
    SBS_APPLY_BUTTONS = 0x04,
    SBS_APPLY_ARROWCOLORS = 0x08,
    SBS_APPLY_BORDERCOLORS = 0x10,
    SBS_APPLY_OPTIONS = 0x20,
    SBS_APPLY_COLORS = 0x40,
    SBS_APPLY_LAYERS = 0x80
};

// Options word (nOptions).
enum
{
    SBS_ARROWS = 0x0001,
    SBS_PRESSEDARROWDOWN = 0x0002,
    SBS_PRESSEDARROWUP = 0x0004,
    SBS_THUMBBORDERSWAP = 0x0008,
    SBS_BUTTONBORDERSWAP = 0x0010,
    SBS_BORDERSOVERIMAGE = 0x0020,
    SBS_THUMBGRIP = 0x0040,
    SBS_GRIPUP = 0x0080,
    SBS_GRIPDOWN = 0x0100,
    SBS_CONTEXTMASK = 0x0C00,
    SBS_CONTEXTSHIFT = 10,
    SBS_PRESSEDTRACKSHIFT = 0x1000
};

// Border switches (nBorders).
enum
{
    SBS_BORDER_TRACK = 0x1,
    SBS_BORDER_THUMB = 0x2,
    SBS_BORDER_BUTTONS = 0x4
};

// The three looks of one part of the bar: normal, hovered, pressed.
struct SCROLLBARPARTLOOK
{
    COLORSET colors[3];
    GRADIENTSTYLE gradients[3];
    IMAGELAYER layers[3];
};

struct SCROLLBARSTYLE
{
    int cbSize = SCROLLBARSTYLE_SIZE;
    int nApplyMask = 0;
    SCROLLBARPARTLOOK track;
    SCROLLBARPARTLOOK thumb;
    SCROLLBARPARTLOOK buttons;
    COLORSET arrowColors[3];        // normal, hovered, pressed
    COLORSET borderLightColors;
    COLORSET borderDarkColors;
    int nOptions = SBS_ARROWS;
    BYTE nBorders = SBS_BORDER_THUMB | SBS_BORDER_BUTTONS;
    BYTE nThumbOpacity = 0;
    BYTE nThumbEndOpacity = 0;
    BYTE nThumbFadeLength = 0;      // 255ths of half the thumb
};

// Copies every field, the size and the apply mask included; the image layers
// keep pointing at the source's images.
inline void CopyControlLook(SCROLLBARSTYLE& dest, const SCROLLBARSTYLE& src)
{
    dest = src;
}
