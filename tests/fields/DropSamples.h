// Constructed drops: a data source with cached blocks, read through a data
// object view, in place of what another program would drop or paste.
#pragma once

#include "fields/DroppedData.h"
#include "framework/OleDataObject.h"
#include "framework/OleDataSource.h"

#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

Bytes TextBytes(const std::string& text, bool bWithZero = true);
Bytes WideTextBytes(const std::wstring& text);
// A CF_HDROP block: the DROPFILES header, then the names, each with its zero,
// and the empty name that ends the list.
Bytes FileListBytes(const std::vector<std::string>& paths, bool bWide = false);
// A CF_HTML text with the headers a browser writes; sourceUrl empty: no line.
std::string HtmlClip(const std::string& fragment, const std::string& sourceUrl = "");
// A bitmap header of the given header size.
Bytes DibBytes(DWORD cbHeader, LONG nWidth, LONG nHeight, WORD nPlanes = 1, WORD nBitCount = 24);

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

// "url|path|width|height" of every record, separated by "; ".
std::string Describe(const CSequence<ODOIMGINFO>& list);
