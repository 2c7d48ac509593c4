// Small pictures of every format, made in memory for the reader tests and the
// picture benchmark: BMP and GIF by our own writers, PNG and JPEG through the
// write side of libpng and libjpeg.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

typedef std::vector<BYTE> Bytes;

// A BMP file: rows given top-down as palette indices (bpp <= 8) or as
// COLORREF values (24, 32); written bottom-up unless bTopDown.
struct BmpRecipe
{
    int cx = 4;
    int cy = 3;
    int nBpp = 24;
    bool bTopDown = false;
    std::vector<COLORREF> palette;      // bpp <= 8
    std::vector<uint32_t> pixels;       // cx * cy, top-down
};
Bytes MakeBmp(const BmpRecipe& pic);

struct GifFrameRecipe
{
    int left = 0, top = 0, cx = 1, cy = 1;
    std::vector<BYTE> pixels;           // cx * cy indices, image order
    bool bControl = false;              // write a graphic control extension
    int nDelayCs = 0;                   // hundredths of a second
    int nTransparent = -1;
    int nDisposal = 0;
    bool bInterlaced = false;
    std::vector<COLORREF> localTable;   // empty: the global table
};
struct GifRecipe
{
    int cx = 1, cy = 1;
    int nColorRes = 7;                  // the screen's colour-resolution field
    int nBackIndex = 0;
    std::vector<COLORREF> globalTable;  // 2, 4, ... 256 entries, or empty
    std::vector<GifFrameRecipe> frames;
    bool bCommentAfterControl = false;  // a comment block between extension and image
};
Bytes MakeGif(const GifRecipe& pic);
// The LZW code stream of one image (minimum code size byte, sub-blocks, terminator).
Bytes EncodeGifImage(const std::vector<BYTE>& pixels, int nMinCodeSize);

// A PNG through libpng. Samples in file order: per row cx * channels samples
// of nBitDepth bits (16-bit samples big-endian, as PNG stores them).
struct PngRecipe
{
    int cx = 1, cy = 1;
    int nColorType = 2;                 // PNG_COLOR_TYPE_*
    int nBitDepth = 8;
    bool bInterlaced = false;
    std::vector<COLORREF> palette;
    std::vector<BYTE> trns;             // palette alpha values
    std::vector<BYTE> rows;             // packed rows, top-down
};
Bytes MakePng(const PngRecipe& pic);

// A JPEG through libjpeg, quality 100. Samples cx * cy * components.
struct JpegRecipe
{
    int cx = 8, cy = 8;
    int nComponents = 3;                // 1 grey, 3 RGB, 4 CMYK
    bool bProgressive = false;
    bool bAdobeMarker = true;           // for CMYK: inverted values with an Adobe marker
    std::vector<BYTE> samples;
};
Bytes MakeJpeg(const JpegRecipe& pic);

// Bytes in use in all heaps of the process: a failure path that leaks shows here.
uint64_t HeapBytesInUse();

// Helpers shared by the picture tests: a 32-bit memory DC to draw into.
class CTestCanvas
{
public:
    CTestCanvas(int cx, int cy, COLORREF clrFill);
    ~CTestCanvas();
    HDC GetDC() const { return m_hDC; }
    COLORREF Pixel(int x, int y) const;   // straight from the DIB bits
    void Fill(COLORREF clr);

private:
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
    BYTE* m_pBits;
    int m_cx, m_cy;
};
