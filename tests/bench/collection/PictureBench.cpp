// Decoding the same pictures through our PNG and JPEG readers and through
// bare libpng / libjpeg calls that produce the same pixels, in one run; the
// ratio is the readers' overhead. For GIF, the decode throughput of a large
// animation in megapixels per second.
//
//   bench_pictures [rounds]
#include "collection/GifReader.h"
#include "collection/JpegReader.h"
#include "collection/PngReader.h"
#include "tests/collection/PictureSamples.h"

#include <windows.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace {

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Photo-like samples: smooth gradients with some noise.
std::vector<BYTE> Samples(int cx, int cy, int nChannels, uint32_t nSeed)
{
    std::vector<BYTE> b(size_t(cx) * cy * nChannels);
    uint32_t x = nSeed;
    for (int y = 0; y < cy; y++)
        for (int i = 0; i < cx; i++)
            for (int c = 0; c < nChannels; c++) {
                x = x * 1103515245u + 12345u;
                const int v = (i * (c + 1) + y * (3 - c)) / 4 + int((x >> 16) & 15);
                b[(size_t(y) * cx + i) * nChannels + c] = BYTE(c == 3 ? 128 + (v & 127) : v & 255);
            }
    return b;
}

// --- bare libpng: the same transformations, rows into one buffer ---------
struct PngRead
{
    const BYTE* p;
    size_t nPos, nSize;
};
void PngReadFn(png_structp png, png_bytep out, size_t n)
{
    PngRead* r = static_cast<PngRead*>(png_get_io_ptr(png));
    if (r->nSize - r->nPos < n)
        png_error(png, "Read Error");
    memcpy(out, r->p + r->nPos, n);
    r->nPos += n;
}

bool BarePng(const Bytes& data)
{
    PngRead r = {data.data(), 8, data.size()};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<BYTE> buffer;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &r, PngReadFn);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 w, h;
    int nDepth, nType;
    png_get_IHDR(png, info, &w, &h, &nDepth, &nType, nullptr, nullptr, nullptr);
    png_set_bgr(png);
    if (nType == PNG_COLOR_TYPE_PALETTE || (nType == PNG_COLOR_TYPE_GRAY && nDepth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_expand(png);
    if (nDepth == 16)
        png_set_strip_16(png);
    if (nType == PNG_COLOR_TYPE_GRAY || nType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t nRow = png_get_rowbytes(png, info);
    buffer.resize(nRow * h);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; y++)
        rows[y] = buffer.data() + y * nRow;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// --- bare libjpeg: the library's memory source, the same parameters --------
struct JpegErr
{
    jpeg_error_mgr pub;
    jmp_buf jump;
};
void JpegExit(j_common_ptr c)
{
    longjmp(reinterpret_cast<JpegErr*>(c->err)->jump, 1);
}

bool BareJpeg(const Bytes& data)
{
    jpeg_decompress_struct c;
    JpegErr err;
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegExit;
    BYTE* volatile pOut = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&c);
        free(pOut);
        return false;
    }
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&c, TRUE);
    c.dct_method = JDCT_IFAST;
    c.do_fancy_upsampling = FALSE;
    c.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&c);
    const size_t nStride = ((c.output_width * 3 + 3) / 4) * 4;
    pOut = static_cast<BYTE*>(malloc(nStride * c.output_height));
    while (c.output_scanline < c.output_height) {
        JSAMPROW row = pOut + nStride * (c.output_height - 1 - c.output_scanline);
        jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    free(pOut);
    return true;
}

template <class F>
double Time(int nRounds, F f)
{
    double dBest = 1e9;
    for (int r = 0; r < nRounds; r++) {
        const double a = Now();
        if (!f())
            return -1;
        dBest = std::min(dBest, Now() - a);
    }
    return dBest;
}

}  // namespace

int main(int argc, char** argv)
{
    const int nRounds = argc > 1 ? std::max(1, atoi(argv[1])) : 15;

    struct Sample
    {
        const char* pszName;
        Bytes data;
        bool bPng;
    };
    std::vector<Sample> samples;
    {
        PngRecipe s;
        s.cx = 1024;
        s.cy = 768;
        s.nColorType = PNG_COLOR_TYPE_RGB;
        s.rows = Samples(s.cx, s.cy, 3, 1);
        samples.push_back({"png 1024x768 rgb", MakePng(s), true});
        s.cx = s.cy = 512;
        s.nColorType = PNG_COLOR_TYPE_RGB_ALPHA;
        s.rows = Samples(s.cx, s.cy, 4, 2);
        samples.push_back({"png 512x512 rgba", MakePng(s), true});
        s.bInterlaced = true;
        samples.push_back({"png 512x512 rgba interlaced", MakePng(s), true});
        s.bInterlaced = false;
        s.cx = s.cy = 256;
        s.nColorType = PNG_COLOR_TYPE_PALETTE;
        for (int i = 0; i < 256; i++)
            s.palette.push_back(RGB(i, 255 - i, i / 2));
        s.trns.assign(128, 128);
        s.rows = Samples(s.cx, s.cy, 1, 3);
        samples.push_back({"png 256x256 palette+tRNS", MakePng(s), true});
    }
    {
        JpegRecipe s;
        s.cx = 1024;
        s.cy = 768;
        s.samples = Samples(s.cx, s.cy, 3, 4);
        samples.push_back({"jpeg 1024x768 colour", MakeJpeg(s), false});
        s.bProgressive = true;
        samples.push_back({"jpeg 1024x768 progressive", MakeJpeg(s), false});
        s.bProgressive = false;
        s.nComponents = 1;
        s.cx = 640;
        s.cy = 480;
        s.samples = Samples(s.cx, s.cy, 1, 5);
        samples.push_back({"jpeg 640x480 grey", MakeJpeg(s), false});
    }

    printf("%-30s %12s %12s %8s\n", "picture", "reader ms", "bare ms", "ratio");
    double dTotal[2][2] = {};
    for (const Sample& s : samples) {
        // Alternate so that neither side always runs with a warmer cache.
        double dReader = 1e9, dBare = 1e9;
        for (int k = 0; k < 2; k++) {
            dBare = std::min(dBare, Time(nRounds, [&] { return s.bPng ? BarePng(s.data) : BareJpeg(s.data); }));
            dReader = std::min(dReader, Time(nRounds, [&] {
                if (s.bPng) {
                    CPngReader r;
                    return r.Load(s.data.data(), uint32_t(s.data.size()), TRUE) != 0;
                }
                CJpegReader r;
                return r.Load(s.data.data(), uint32_t(s.data.size()), TRUE) != 0;
            }));
        }
        if (dReader < 0 || dBare < 0) {
            fprintf(stderr, "%s: decoding failed\n", s.pszName);
            return 1;
        }
        dTotal[s.bPng ? 0 : 1][0] += dReader;
        dTotal[s.bPng ? 0 : 1][1] += dBare;
        printf("%-30s %12.3f %12.3f %8.3f\n", s.pszName, dReader * 1000, dBare * 1000, dReader / dBare);
    }
    printf("PNG overall ratio  %.3f\n", dTotal[0][0] / dTotal[0][1]);
    printf("JPEG overall ratio %.3f\n", dTotal[1][0] / dTotal[1][1]);

    // A large animation: 20 frames of 640x480 with a moving pattern.
    GifRecipe g;
    g.cx = 640;
    g.cy = 480;
    for (int i = 0; i < 256; i++)
        g.globalTable.push_back(RGB(i, (i * 7) & 255, 255 - i));
    uint64_t nPixels = 0;
    for (int n = 0; n < 20; n++) {
        GifFrameRecipe f;
        f.cx = 640;
        f.cy = 480;
        f.bControl = true;
        f.nDelayCs = 5;
        f.nTransparent = n % 2 ? 0 : -1;
        f.bInterlaced = n % 3 == 0;
        const std::vector<BYTE> v = Samples(640, 480, 1, 100 + n);
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                f.pixels.push_back(BYTE(((x + n * 8) / 16 + y / 16) * 9 + (v[y * 640 + x] & 3)));
        nPixels += 640 * 480;
        g.frames.push_back(f);
    }
    const Bytes gif = MakeGif(g);
    const double dGif = Time(nRounds, [&] {
        CGifReader r;
        return r.Load(gif.data(), uint32_t(gif.size()), TRUE) != 0 && r.GetFrameCount() == 20;
    });
    if (dGif < 0) {
        fprintf(stderr, "gif: decoding failed\n");
        return 1;
    }
    printf("GIF 640x480x20 (%u bytes): %.3f ms, %.1f megapixels/s\n", unsigned(gif.size()), dGif * 1000,
           double(nPixels) / dGif / 1e6);
    return 0;
}
