// Pictures of chosen names and sizes as records 1, 2, ... of an open
// collection, with an image cache bound to it, for the life of the object.
#pragma once

#include "tests/fields/gui/FieldTestKit.h"

#include <string>
#include <vector>

class NamedPictures
{
public:
    struct Picture
    {
        std::string strName;
        int cx, cy;
    };
    explicit NamedPictures(const std::vector<Picture>& pictures)
    {
        TestCollection c;
        for (size_t i = 0; i < pictures.size(); i++) {
            const COLORREF clr = RGB(40 * i, 200, 100);
            m_bytes.push_back(fieldkit::AnimatedGif(pictures[i].cx, pictures[i].cy, 10, 10, clr, clr));
            c.records.push_back(Rec(static_cast<uint32_t>(i + 1), pictures[i].strName, m_bytes.back()));
        }
        const std::string strPath = m_dir.Path("pictures.tvnx");
        m_bOpen = WriteBytes(strPath, c.Build());
        g_pCollectionFile = new CTvnxSave;
        m_bOpen = m_bOpen && g_pCollectionFile->OpenCollection(strPath.c_str(), FALSE, 0) == 0;
        g_pImgCache = new CImgCache;
        g_pImgCache->Reset();
    }
    ~NamedPictures()
    {
        delete g_pImgCache;
        g_pImgCache = NULL;
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
    }
    bool IsOpen() const { return m_bOpen; }
    const Bytes& BytesOf(uint32_t nRecord) const { return m_bytes[nRecord - 1]; }

    NamedPictures(const NamedPictures&) = delete;
    NamedPictures& operator=(const NamedPictures&) = delete;

private:
    TvnxTempDir m_dir;
    std::vector<Bytes> m_bytes;
    bool m_bOpen;
};
