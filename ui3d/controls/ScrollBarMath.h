// The arithmetic of a skinned scroll bar, apart from its window so that it can
// be checked on its own: rounding, unit and pixel conversions, the thumb's
// length and which part lies under a point along the bar.
#pragma once

#include <windows.h>

// Part codes of a scroll bar; redraw masks use the same bits.
enum
{
    SBP_NONE = 0,
    SBP_THUMB = 0x01,
    SBP_PAGEBEFORE = 0x02,
    SBP_PAGEAFTER = 0x04,
    SBP_FIRSTARROW = 0x08,
    SBP_SECONDARROW = 0x10,
    SBP_ALL = 0x1F
};

// The smallest thumb, in pixels.
const int SB_MIN_THUMB = 6;

// Rounds a value written with ten decimal places from the last place upward:
// every place of 5 or more carries one into the place above it, so 0.4445
// gives 1. The result is the value truncated toward zero plus the last carry.
// A negative value starts with a carry into the last place.
int RoundToInt(double value);

// What the conversions need to know of a bar.
struct SBGEOMETRY
{
    int nLength = 0;        // client extent along the bar
    int nArrowLength = 0;   // 0 without arrows
    int nTrackLength = 0;   // nLength - 2 x nArrowLength
    int bArrowsOnly = 0;
    int bNoArrows = 0;
    int nMin = 0;
    int nMax = 1;
    int nPage = 1;
    int nThumbLength = SB_MIN_THUMB;
    int nThumbOffset = 0;   // from the end of the first arrow
};

// |maximum - minimum|. Positions count from 0: the minimum is not subtracted.
int SbRange(const SBGEOMETRY& g);
// The page as far as it fits the range. A range that starts above 0 can hold a
// page bigger than itself (page <= maximum), and a thumb made from it would
// outgrow the track.
int SbEffectivePage(const SBGEOMETRY& g);
// RoundToInt(page x track / range), at least SB_MIN_THUMB, at most the track.
int SbThumbLength(const SBGEOMETRY& g);
// How far the thumb travels: track length - thumb length, never below 0.
int SbThumbTravel(const SBGEOMETRY& g);
int SbUnitsToPixels(const SBGEOMETRY& g, int nUnits);
int SbPixelsToUnits(const SBGEOMETRY& g, int nPixels);
// The part at coordinate d along the bar (the caller has checked that the
// point lies in the client area).
int SbHitTest(const SBGEOMETRY& g, int d);
