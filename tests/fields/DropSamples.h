// Constructed drops: a data source with cached blocks, read through a data
// object view, in place of what another program would drop or paste.
#pragma once

#include "fields/DroppedData.h"
#include "framework/OleDataObject.h"
#include "framework/OleDataSource.h"

#include <shlobj.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;


class CTestDrop
{
public:
    CTestDrop() { m_view.Attach(m_source.GetInterface(), FALSE); }
    ~CTestDrop() { m_view.Release(); }
    CTestDrop& Add(CLIPFORMAT cf, const Bytes& bytes);
    COleDataObject* Data() { return &m_view; }

private:
    COleDataSource m_source;
    COleDataObject m_view;
};

inline Bytes TextBytes(const std::string& text, bool bWithZero = true)
{
    Bytes b(text.begin(), text.end());
    if (bWithZero)
        b.push_back(0);
    return b;
}

inline Bytes WideTextBytes(const std::wstring& text)
{
    Bytes b((text.size() + 1) * sizeof(WCHAR), 0);
    memcpy(b.data(), text.c_str(), text.size() * sizeof(WCHAR));
    return b;
}

// A CF_HDROP block: the DROPFILES header, then the names, each with its zero,
// and the empty name that ends the list.
inline Bytes FileListBytes(const std::vector<std::string>& paths, bool bWide = false)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = bWide;
    Bytes b(sizeof(header));
    memcpy(b.data(), &header, sizeof(header));
    for (const std::string& path : paths) {
        if (bWide) {
            for (char ch : path) {
                b.push_back(static_cast<unsigned char>(ch));
                b.push_back(0);
            }
            b.push_back(0);
            b.push_back(0);
        } else {
            b.insert(b.end(), path.begin(), path.end());
            b.push_back(0);
        }
    }
    b.insert(b.end(), bWide ? 2 : 1, 0);
    return b;
}

// A CF_HTML text with the headers a browser writes; sourceUrl empty: no line.
inline std::string HtmlClip(const std::string& fragment, const std::string& sourceUrl = "")
{
    std::string header = "Version:0.9\r\nStartHTML:00000000\r\nEndHTML:00000000\r\n"
                         "StartFragment:00000000\r\nEndFragment:00000000\r\n";
    if (!sourceUrl.empty())
        header += "SourceURL:" + sourceUrl + "\r\n";
    return header + "<html><body>\r\n<!--StartFragment-->" + fragment + "<!--EndFragment-->\r\n</body></html>";
}

// A bitmap header of the given header size.
inline Bytes DibBytes(DWORD cbHeader, LONG nWidth, LONG nHeight, WORD nPlanes = 1, WORD nBitCount = 24)
{
    BITMAPINFOHEADER bih = {};
    bih.biSize = cbHeader;
    bih.biWidth = nWidth;
    bih.biHeight = nHeight;
    bih.biPlanes = nPlanes;
    bih.biBitCount = nBitCount;
    Bytes b(cbHeader > sizeof(bih) ? cbHeader : sizeof(bih), 0);
    memcpy(b.data(), &bih, sizeof(bih));
    return b;
}

inline CTestDrop& CTestDrop::Add(CLIPFORMAT cf, const Bytes& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (h == NULL)
        throw std::runtime_error("GlobalAlloc");
    if (!bytes.empty()) {
        memcpy(GlobalLock(h), bytes.data(), bytes.size());
        GlobalUnlock(h);
    }
    m_source.CacheGlobalData(cf, h);
    return *this;
}

// "url|path|width|height" of every record, separated by "; ".
inline std::string Describe(const CSequence<ODOIMGINFO>& list)
{
    std::string s;
    for (int i = 0; i < list.GetSize(); i++) {
        if (i > 0)
            s += "; ";
        s += std::string(list[i].strUrl) + "|" + std::string(list[i].strPath) + "|" +
             std::to_string(list[i].nWidth) + "|" + std::to_string(list[i].nHeight);
    }
    return s;
}
