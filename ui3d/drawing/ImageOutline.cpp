#include "ui3d/drawing/ImageOutline.h"

#include "collection/GifReader.h"
#include "collection/ImageReader.h"
#include "framework/Dc.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

#include <cstdint>
#include <vector>

namespace {

enum { RIGHT, DOWN, LEFT, UP };

struct Mask
{
    const BYTE* p;
    int cx, cy;
    bool Opaque(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < cx && y < cy && p[size_t(y) * cx + x];
    }
};

} // namespace

int TraceOutline(POINTARRAY& outline, const BYTE* pOpaque, int cx, int cy)
{
    outline.Free();
    if (!pOpaque || cx <= 0 || cy <= 0)
        return 0;
    const Mask m = {pOpaque, cx, cy};
    int x0 = -1, y0 = -1;
    for (int y = 0; y < cy && x0 < 0; y++)
        for (int x = 0; x < cx; x++)
            if (m.Opaque(x, y)) {
                x0 = x;
                y0 = y;
                break;
            }
    if (x0 < 0)
        return 0;

    // Walk the corner grid with the opaque side on the right. A walk along
    // pixel edges records more points than there are pixels (a lone pixel
    // has four corners), so the points go into a growing buffer; each edge
    // is passed at most once, which bounds the walk.
    static const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    std::vector<POINT> points;
    points.push_back(POINT{x0, y0});
    int px = x0, py = y0, d = RIGHT;
    const uint64_t nMaxSteps = 4 * uint64_t(cx) * uint64_t(cy) + 4;
    for (uint64_t nStep = 0;; nStep++) {
        if (nStep > nMaxSteps)
            return 0;
        px += dx[d];
        py += dy[d];
        // The two pixels ahead of the corner, left and right of the heading.
        bool bAheadLeft, bAheadRight;
        switch (d) {
        case RIGHT: bAheadLeft = m.Opaque(px, py - 1); bAheadRight = m.Opaque(px, py); break;
        case DOWN: bAheadLeft = m.Opaque(px, py); bAheadRight = m.Opaque(px - 1, py); break;
        case LEFT: bAheadLeft = m.Opaque(px - 1, py); bAheadRight = m.Opaque(px - 1, py - 1); break;
        default: bAheadLeft = m.Opaque(px - 1, py - 1); bAheadRight = m.Opaque(px, py - 1); break;
        }
        const int nNew = bAheadLeft ? (d + 3) % 4 : (bAheadRight ? d : (d + 1) % 4);
        if (px == x0 && py == y0 && nNew == RIGHT)
            break;
        if (nNew != d)
            points.push_back(POINT{px, py});
        d = nNew;
    }
    outline.Set(int(points.size()), points.data());
    return outline.nCount;
}

int TraceImageOutline(POINTARRAY& outline, const CImageReader* pImage)
{
    outline.Free();
    if (!pImage || !CImageReader::IsLoaded(*pImage) || pImage->GetFormat() != CImageReader::gif)
        return 0;
    CGraphicalFormatReader* pReader = pImage->GetReader();
    if (!pReader->HasTransparency(0))
        return 0;
    const CSize size = pReader->GetSize();
    // The decoded mask, read where it covers the picture one to one; drawing
    // it through the system costs far more (and is the first drawing of a
    // process at start-up).
    std::vector<BYTE> transparent;
    if (static_cast<const CGifReader*>(pReader)->GetWholeFrameMask(0, transparent)) {
        for (BYTE& b : transparent)
            b = b ^ 1;
        return TraceOutline(outline, transparent.data(), size.cx, size.cy);
    }
    BYTE* pBits = nullptr;
    HBITMAP hSection = CreateDIBSection32(size.cx, size.cy, &pBits);
    if (!hSection)
        return 0;
    BOOL bDrawn = FALSE;
    {
        CSelectedBitmapDC mem(nullptr, hSection);
        if (!mem.m_hDC) {
            DeleteObject(hSection);
            return 0;
        }
        CDC dc;
        dc.Attach(mem.m_hDC);
        bDrawn = pReader->DrawMask(&dc, nullptr, CRect(0, 0, size.cx, size.cy), 0);
        dc.Detach();
        GdiFlush();
    }
    int n = 0;
    if (bDrawn) {
        // The mask is black where the frame is opaque.
        std::vector<BYTE> opaque(size_t(size.cx) * size.cy);
        const DWORD* px = reinterpret_cast<const DWORD*>(pBits);
        for (size_t i = 0; i < opaque.size(); i++)
            opaque[i] = (px[i] & 0xFFFFFF) == 0;
        n = TraceOutline(outline, opaque.data(), size.cx, size.cy);
    }
    DeleteObject(hSection);
    return n;
}
