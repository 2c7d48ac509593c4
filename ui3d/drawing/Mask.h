// CMask: a window shape drawn as a 1-bit bitmap resource. The mask works out
// from its corners which bit value is the outside, traces the outline of the
// shape and turns it into a polygon region for SetWindowRgn.
#pragma once

#include <windows.h>

class CRgn;

class CMask
{
public:
    CMask();
    virtual ~CMask();

    // Loads the bitmap resource of the program's module; 1 on success.
    BOOL LoadBitmap(UINT nResourceId);
    // Takes a copy of a device-dependent monochrome bitmap's bits. Anything
    // else (more bits per pixel, more planes, a DIB section) is refused with 0.
    BOOL LoadFromBitmap(HBITMAP hBitmap);
    // Replaces the object's region by the polygon of the traced outline
    // (ALTERNATE fill). 0 when there are no bits or no inside pixel.
    BOOL CreateRegion(CRgn& rgn);
    void Clear();

    // 1 when set bits are outside the shape, 0 when clear bits are.
    virtual BOOL IsInverted();

    BITMAP m_bm;        // bmBits stays null: the bits live in m_pBits
    BYTE* m_pBits;      // bmHeight rows of bmWidthBytes, leftmost pixel in the high bit
    BOOL m_bInverted;

private:
    BOOL GetBit(int x, int y) const;

    CMask(const CMask&) = delete;
    CMask& operator=(const CMask&) = delete;
};
