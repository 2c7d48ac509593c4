#include "collection/JpegReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

const int kSourceBuffer = 4096;

struct MemorySource
{
    jpeg_source_mgr pub;
    const BYTE* pData;
    uint32_t nPos;
    uint32_t nSize;
    JOCTET* pBuffer;
    boolean bStartOfFile;
};

void memsrc_init_source(j_decompress_ptr cinfo)
{
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    src->bStartOfFile = TRUE;
    src->nPos = 0;
}

boolean memsrc_fill_input_buffer(j_decompress_ptr cinfo)
{
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    size_t n = src->nSize - src->nPos;
    if (n > size_t(kSourceBuffer))
        n = kSourceBuffer;
    if (n == 0) {
        if (src->bStartOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // Data that ends early is finished as if an end-of-image marker
        // followed, so a cut picture still shows the rows it has.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->pBuffer[0] = 0xFF;
        src->pBuffer[1] = JPEG_EOI;
        n = 2;
    } else {
        memcpy(src->pBuffer, src->pData + src->nPos, n);
        src->nPos += uint32_t(n);
    }
    src->pub.next_input_byte = src->pBuffer;
    src->pub.bytes_in_buffer = n;
    src->bStartOfFile = FALSE;
    return TRUE;
}

void memsrc_skip_input_data(j_decompress_ptr cinfo, long nCount)
{
    if (nCount <= 0)
        return;
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    while (nCount > long(src->pub.bytes_in_buffer)) {
        nCount -= long(src->pub.bytes_in_buffer);
        memsrc_fill_input_buffer(cinfo);
    }
    src->pub.next_input_byte += nCount;
    src->pub.bytes_in_buffer -= size_t(nCount);
}

void memsrc_term_source(j_decompress_ptr) {}

// libjpeg's default error exit ends the process with exit(); ours leaves the
// decoder by a long jump back into DecodeJpeg, which frees everything.
struct ErrorManager
{
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings, trace and error texts go nowhere: a GUI program has no console.
void EmitNothing(j_common_ptr, int) {}
void OutputNothing(j_common_ptr) {}

inline BYTE CmykPart(unsigned k, unsigned x, bool bAdobe)
{
    unsigned v = bAdobe ? (255 - k) + k * (255 - x) / 255 : k + (255 - k) * x / 255;
    return BYTE(255 - (v > 255 ? 255 : v));
}

// Decodes into a new packed 24-bit DIB. Nothing that has a destructor lives in
// this frame: the long jump from the error exit would skip it. Locals that
// change after setjmp and are read after the jump are volatile.
bool DecodeJpeg(const BYTE* pData, uint32_t nSize, BYTE** ppBitmap, uint32_t* pnBitmapSize)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    BYTE* volatile pBitmap = nullptr;
    BYTE* volatile pWork = nullptr;
    memset(&cinfo, 0, sizeof(cinfo));
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitNothing;
    err.pub.output_message = OutputNothing;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        free(pBitmap);
        free(pWork);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // No backing store: whole-image buffers above this fail instead of growing.
    cinfo.mem->max_memory_to_use = 256L * 1024 * 1024;
    jpeg_memory_block_src(&cinfo, pData, nSize);
    jpeg_read_header(&cinfo, TRUE);

    const uint64_t nWidth = cinfo.image_width, nHeight = cinfo.image_height;
    const uint64_t nStride64 = ((nWidth * 24 + 31) / 8) & ~uint64_t(3);
    if (nWidth * nHeight > kMaxPicturePixels || 40 + nStride64 * nHeight > kMaxPictureBytes) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.dither_mode = JDITHER_ORDERED;
    cinfo.two_pass_quantize = FALSE;
    // The library delivers blue, green, red itself, which is the DIB's order.
    if (cinfo.out_color_space == JCS_GRAYSCALE || cinfo.out_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const bool bCmyk = cinfo.out_color_space == JCS_CMYK && cinfo.output_components == 4;
    if (!bCmyk && !(cinfo.out_color_space == JCS_EXT_BGR && cinfo.output_components == 3)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    const uint32_t nOutWidth = cinfo.output_width, nOutHeight = cinfo.output_height;
    const size_t nStride = size_t(((uint64_t(nOutWidth) * 24 + 31) / 8) & ~uint64_t(3));
    const size_t nBitmapSize = 40 + nStride * nOutHeight;
    if (uint64_t(nOutWidth) * nOutHeight > kMaxPicturePixels || nBitmapSize > kMaxPictureBytes) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    pBitmap = static_cast<BYTE*>(calloc(1, nBitmapSize));
    if (bCmyk)
        pWork = static_cast<BYTE*>(malloc(size_t(nOutWidth) * 4));
    if (!pBitmap || (bCmyk && !pWork)) {
        jpeg_destroy_decompress(&cinfo);
        free(pBitmap);
        free(pWork);
        return false;
    }
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(pBitmap);
    pHeader->biSize = sizeof(BITMAPINFOHEADER);
    pHeader->biWidth = LONG(nOutWidth);
    pHeader->biHeight = LONG(nOutHeight);
    pHeader->biPlanes = 1;
    pHeader->biBitCount = 24;
    pHeader->biCompression = BI_RGB;
    pHeader->biSizeImage = DWORD(nStride * nOutHeight);

    BYTE* const pRows = pBitmap + 40;
    const bool bAdobe = cinfo.saw_Adobe_marker != 0;
    while (cinfo.output_scanline < nOutHeight) {
        BYTE* pDst = pRows + nStride * (nOutHeight - 1 - cinfo.output_scanline);
        memset(pDst + nStride - 4, 0, 4);
        JSAMPROW row = bCmyk ? pWork : pDst;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            break;
        if (bCmyk) {
            const BYTE* s = pWork;
            for (uint32_t x = 0; x < nOutWidth; x++, s += 4, pDst += 3) {
                pDst[0] = CmykPart(s[3], s[2], bAdobe);
                pDst[1] = CmykPart(s[3], s[1], bAdobe);
                pDst[2] = CmykPart(s[3], s[0], bAdobe);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    free(pWork);
    *ppBitmap = pBitmap;
    *pnBitmapSize = uint32_t(nBitmapSize);
    return true;
}

}  // namespace

void jpeg_memory_block_src(j_decompress_ptr cinfo, const BYTE* pData, uint32_t nSize)
{
    if (!cinfo->src) {
        MemorySource* src = static_cast<MemorySource*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
        src->pBuffer = static_cast<JOCTET*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kSourceBuffer));
        cinfo->src = &src->pub;
    }
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    src->pub.init_source = memsrc_init_source;
    src->pub.fill_input_buffer = memsrc_fill_input_buffer;
    src->pub.skip_input_data = memsrc_skip_input_data;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = memsrc_term_source;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
    src->pData = pData;
    src->nSize = pData ? nSize : 0;
    src->nPos = 0;
}

BOOL CJpegReader::Load(const BYTE* pData, uint32_t nSize, BOOL)
{
    BYTE* pBitmap = nullptr;
    uint32_t nBitmapSize = 0;
    if (!DecodeJpeg(pData, nSize, &pBitmap, &nBitmapSize))
        return FALSE;
    Empty();
    m_pBitmap = pBitmap;
    m_nBitmapSize = nBitmapSize;
    m_nBitsOffset = 40;
    m_nCrop = 0;
    m_nSourceSize = nSize;
    return TRUE;
}

void CJpegReader::CopyFrom(const CJpegReader& src)
{
    CBmpReader::CopyFrom(src);
    m_nSourceSize = src.m_nSourceSize;
}
