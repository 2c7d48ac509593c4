// CJpegReader: JFIF and Exif JPEG pictures, decoded once with libjpeg(-turbo)
// into a 24-bit bottom-up DIB (blue, green, red) that is then drawn as a
// bitmap file's picture. CMYK pictures are turned into RGB here.
#pragma once

#include "collection/BmpReader.h"

struct jpeg_decompress_struct;

// libjpeg reads the picture straight from memory through this source.
void jpeg_memory_block_src(jpeg_decompress_struct* cinfo, const BYTE* pData, uint32_t nSize);

class CJpegReader : public CBmpReader
{
public:
    CJpegReader() {}

    BOOL Load(const BYTE* pData, uint32_t nSize, BOOL bKeepAllFrames) override;
    uint32_t GetSourceSize() const override { return m_nSourceSize; }
    uint32_t GetMemorySize() const override { return 24 + (m_pBitmap ? m_nBitmapSize : 0); }

    void CopyFrom(const CJpegReader& src);

private:
    uint32_t m_nSourceSize = 0;
};
