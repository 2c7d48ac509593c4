#include "ui3d/controls/ScrollBarMath.h"

#include <stdio.h>
#include <string.h>

int RoundToInt(double value)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "%.10f", value);
    const char* pDot = strchr(sz, '.');
    int nCarry = value < 0 ? 1 : 0;
    if (pDot != NULL) {
        const int nDigits = static_cast<int>(strlen(pDot + 1));
        for (int i = nDigits; i >= 1; i--) {
            const int d = (pDot[i] - '0') + nCarry;
            nCarry = d >= 5 ? 1 : 0;
        }
    }
    return static_cast<int>(value) + nCarry;
}

int SbRange(const SBGEOMETRY& g)
{
    const int n = g.nMax - g.nMin;
    return n < 0 ? -n : n;
}

int SbEffectivePage(const SBGEOMETRY& g)
{
    const int nRange = SbRange(g);
    return g.nPage > nRange ? nRange : g.nPage;
}

int SbThumbLength(const SBGEOMETRY& g)
{
    const int nRange = SbRange(g);
    int n = nRange != 0 ? RoundToInt(static_cast<double>(SbEffectivePage(g)) * g.nTrackLength / nRange) : g.nTrackLength;
    if (n < SB_MIN_THUMB)
        n = SB_MIN_THUMB;
    if (n > g.nTrackLength && g.nTrackLength >= SB_MIN_THUMB)
        n = g.nTrackLength;
    return n;
}

int SbThumbTravel(const SBGEOMETRY& g)
{
    const int n = g.nTrackLength - g.nThumbLength;
    return n > 0 ? n : 0;
}

int SbUnitsToPixels(const SBGEOMETRY& g, int nUnits)
{
    const int nUnitsTravel = SbRange(g) - SbEffectivePage(g);
    if (nUnitsTravel == 0)
        return 0;
    return RoundToInt(static_cast<double>(nUnits) * SbThumbTravel(g) / nUnitsTravel);
}

int SbPixelsToUnits(const SBGEOMETRY& g, int nPixels)
{
    const int nTravel = SbThumbTravel(g);
    if (nTravel == 0)
        return 0;
    return RoundToInt(static_cast<double>(nPixels) * (SbRange(g) - SbEffectivePage(g)) / nTravel);
}

int SbHitTest(const SBGEOMETRY& g, int d)
{
    if (g.bArrowsOnly)
        return d < g.nArrowLength ? SBP_FIRSTARROW : SBP_SECONDARROW;
    if (d < g.nArrowLength)
        return g.bNoArrows ? SBP_NONE : SBP_FIRSTARROW;
    if (d < g.nArrowLength + g.nThumbOffset)
        return SBP_PAGEBEFORE;
    if (d < g.nArrowLength + g.nThumbOffset + g.nThumbLength)
        return SBP_THUMB;
    if (d >= g.nLength - g.nArrowLength)
        return g.bNoArrows ? SBP_NONE : SBP_SECONDARROW;
    return SBP_PAGEAFTER;
}
