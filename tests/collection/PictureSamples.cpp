#include "tests/collection/PictureSamples.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include <jpeglib.h>
#include <png.h>

namespace {

void Put16(Bytes& b, uint32_t v)
{
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void PutTable(Bytes& b, const std::vector<COLORREF>& table)
{
    for (COLORREF c : table) {
        b.push_back(GetRValue(c));
        b.push_back(GetGValue(c));
        b.push_back(GetBValue(c));
    }
}

int TableBits(size_t n)
{
    int k = 0;
    while ((size_t(2) << k) < n)
        k++;
    return k;    // entries = 2^(k+1)
}

}  // namespace

Bytes MakeBmp(const BmpRecipe& s)
{
    const int nStride = ((s.cx * s.nBpp + 31) / 32) * 4;
    const int nTable = s.nBpp <= 8 ? int(s.palette.size()) * 4 : 0;
    const uint32_t nOffset = 14 + 40 + nTable;
    const uint32_t nSize = nOffset + nStride * s.cy;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, nSize);
    Put32(b, 0);
    Put32(b, nOffset);
    Put32(b, 40);
    Put32(b, s.cx);
    Put32(b, s.bTopDown ? uint32_t(-s.cy) : uint32_t(s.cy));
    Put16(b, 1);
    Put16(b, s.nBpp);
    Put32(b, BI_RGB);
    Put32(b, nStride * s.cy);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, s.nBpp <= 8 ? uint32_t(s.palette.size()) : 0);
    Put32(b, 0);
    for (COLORREF c : s.palette) {
        b.push_back(GetBValue(c));
        b.push_back(GetGValue(c));
        b.push_back(GetRValue(c));
        b.push_back(0);
    }
    for (int r = 0; r < s.cy; r++) {
        const int y = s.bTopDown ? r : s.cy - 1 - r;
        Bytes row(nStride, 0);
        for (int x = 0; x < s.cx; x++) {
            const uint32_t v = s.pixels[size_t(y) * s.cx + x];
            switch (s.nBpp) {
            case 1: row[x / 8] |= BYTE((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= BYTE((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = BYTE(v); break;
            case 24:
            case 32: {
                const int n = s.nBpp / 8;
                row[x * n] = GetBValue(v);
                row[x * n + 1] = GetGValue(v);
                row[x * n + 2] = GetRValue(v);
                break;
            }
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes EncodeGifImage(const std::vector<BYTE>& pixels, int m)
{
    Bytes codes;   // packed bits
    uint32_t nAcc = 0;
    int nBits = 0;
    int nSize = m + 1;
    auto emit = [&](int code) {
        nAcc |= uint32_t(code) << nBits;
        nBits += nSize;
        while (nBits >= 8) {
            codes.push_back(BYTE(nAcc));
            nAcc >>= 8;
            nBits -= 8;
        }
    };
    const int nClear = 1 << m;
    int nNext = nClear + 2;
    std::unordered_map<uint32_t, int> dict;
    emit(nClear);
    if (!pixels.empty()) {
        int nPrefix = pixels[0];
        for (size_t i = 1; i < pixels.size(); i++) {
            const int c = pixels[i];
            const uint32_t nKey = (uint32_t(nPrefix) << 8) | uint32_t(c);
            auto it = dict.find(nKey);
            if (it != dict.end()) {
                nPrefix = it->second;
                continue;
            }
            emit(nPrefix);
            if (nNext < 4090) {
                dict[nKey] = nNext++;
                if (nNext > (1 << nSize) && nSize < 12)
                    nSize++;
            } else {
                emit(nClear);
                dict.clear();
                nNext = nClear + 2;
                nSize = m + 1;
            }
            nPrefix = c;
        }
        emit(nPrefix);
    }
    emit(nClear + 1);
    if (nBits > 0)
        codes.push_back(BYTE(nAcc));

    Bytes b;
    b.push_back(BYTE(m));
    for (size_t i = 0; i < codes.size(); i += 255) {
        const size_t n = std::min<size_t>(255, codes.size() - i);
        b.push_back(BYTE(n));
        b.insert(b.end(), codes.begin() + i, codes.begin() + i + n);
    }
    b.push_back(0);
    return b;
}

Bytes MakeGif(const GifRecipe& s)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, s.cx);
    Put16(b, s.cy);
    BYTE nFlags = BYTE((s.nColorRes & 7) << 4);
    if (!s.globalTable.empty())
        nFlags |= BYTE(0x80 | TableBits(s.globalTable.size()));
    b.push_back(nFlags);
    b.push_back(BYTE(s.nBackIndex));
    b.push_back(0);
    if (!s.globalTable.empty()) {
        std::vector<COLORREF> t = s.globalTable;
        t.resize(size_t(2) << TableBits(t.size()));
        PutTable(b, t);
    }
    for (const GifFrameRecipe& f : s.frames) {
        if (f.bControl) {
            b.insert(b.end(), {0x21, 0xF9, 4});
            b.push_back(BYTE((f.nDisposal << 2) | (f.nTransparent >= 0 ? 1 : 0)));
            Put16(b, f.nDelayCs);
            b.push_back(BYTE(f.nTransparent >= 0 ? f.nTransparent : 0));
            b.push_back(0);
            if (s.bCommentAfterControl)
                b.insert(b.end(), {0x21, 0xFE, 3, 'a', 'b', 'c', 0});
        }
        b.push_back(0x2C);
        Put16(b, f.left);
        Put16(b, f.top);
        Put16(b, f.cx);
        Put16(b, f.cy);
        BYTE nPacked = f.bInterlaced ? 0x40 : 0;
        size_t nEntries = s.globalTable.size();
        if (!f.localTable.empty()) {
            nPacked |= BYTE(0x80 | TableBits(f.localTable.size()));
            nEntries = f.localTable.size();
        }
        b.push_back(nPacked);
        if (!f.localTable.empty()) {
            std::vector<COLORREF> t = f.localTable;
            t.resize(size_t(2) << TableBits(t.size()));
            PutTable(b, t);
        }
        std::vector<BYTE> order;
        if (f.bInterlaced) {
            static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; p++)
                for (int y = kStart[p]; y < f.cy; y += kStep[p])
                    order.insert(order.end(), f.pixels.begin() + y * f.cx, f.pixels.begin() + (y + 1) * f.cx);
        } else {
            order = f.pixels;
        }
        const int m = std::max(2, TableBits(nEntries ? nEntries : 2) + 1);
        const Bytes img = EncodeGifImage(order, m);
        b.insert(b.end(), img.begin(), img.end());
    }
    b.push_back(0x3B);
    return b;
}

namespace {

void PngWrite(png_structp png, png_bytep p, size_t n)
{
    Bytes* pOut = static_cast<Bytes*>(png_get_io_ptr(png));
    pOut->insert(pOut->end(), p, p + n);
}
void PngFlush(png_structp) {}

}  // namespace

Bytes MakePng(const PngRecipe& s)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png write");
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, s.cx, s.cy, s.nBitDepth, s.nColorType,
                 s.bInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> pal;
    for (COLORREF c : s.palette)
        pal.push_back(png_color{GetRValue(c), GetGValue(c), GetBValue(c)});
    if (!pal.empty())
        png_set_PLTE(png, info, pal.data(), int(pal.size()));
    if (!s.trns.empty())
        png_set_tRNS(png, info, s.trns.data(), int(s.trns.size()), nullptr);
    png_write_info(png, info);
    const size_t nRow = s.rows.size() / s.cy;
    std::vector<png_bytep> rows;
    for (int y = 0; y < s.cy; y++)
        rows.push_back(const_cast<BYTE*>(s.rows.data()) + y * nRow);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

struct JpegWriteError
{
    jpeg_error_mgr pub;
    jmp_buf jump;
};
void JpegWriteExit(j_common_ptr c)
{
    longjmp(reinterpret_cast<JpegWriteError*>(c->err)->jump, 1);
}

}  // namespace

Bytes MakeJpeg(const JpegRecipe& s)
{
    jpeg_compress_struct c;
    JpegWriteError err;
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegWriteExit;
    unsigned char* volatile pOut = nullptr;
    unsigned long nOut = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);
        free(pOut);
        return Bytes();
    }
    jpeg_create_compress(&c);
    unsigned char* pBuf = nullptr;
    jpeg_mem_dest(&c, &pBuf, &nOut);
    c.image_width = s.cx;
    c.image_height = s.cy;
    c.input_components = s.nComponents;
    c.in_color_space = s.nComponents == 1 ? JCS_GRAYSCALE : s.nComponents == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (s.nComponents == 4) {
        jpeg_set_colorspace(&c, JCS_CMYK);
        c.write_Adobe_marker = s.bAdobeMarker ? TRUE : FALSE;
    }
    // Full-resolution colour, so that decoded values stay close to the input.
    for (int i = 0; i < c.num_components; i++)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    c.write_JFIF_header = TRUE;
    if (s.bProgressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    const size_t nRow = size_t(s.cx) * s.nComponents;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<BYTE*>(s.samples.data()) + c.next_scanline * nRow;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    pOut = pBuf;
    Bytes b(pBuf, pBuf + nOut);
    jpeg_destroy_compress(&c);
    free(pBuf);
    return b;
}

CTestCanvas::CTestCanvas(int cx, int cy, COLORREF clrFill) : m_cx(cx), m_cy(cy)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    m_hDC = CreateCompatibleDC(nullptr);
    m_hBitmap = CreateDIBSection(m_hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    m_pBits = static_cast<BYTE*>(pBits);
    m_hOld = SelectObject(m_hDC, m_hBitmap);
    Fill(clrFill);
}

CTestCanvas::~CTestCanvas()
{
    SelectObject(m_hDC, m_hOld);
    DeleteObject(m_hBitmap);
    DeleteDC(m_hDC);
}

void CTestCanvas::Fill(COLORREF clr)
{
    GdiFlush();
    for (int i = 0; i < m_cx * m_cy; i++) {
        m_pBits[4 * i] = GetBValue(clr);
        m_pBits[4 * i + 1] = GetGValue(clr);
        m_pBits[4 * i + 2] = GetRValue(clr);
        m_pBits[4 * i + 3] = 0;
    }
}

COLORREF CTestCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    const BYTE* p = m_pBits + (size_t(y) * m_cx + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

uint64_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    uint64_t nTotal = 0;
    for (DWORD i = 0; i < n && i < 64; i++) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                nTotal += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return nTotal;
}

