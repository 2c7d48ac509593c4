// Reading what another program drops on a field or leaves on the clipboard:
// file lists, a browser's CF_HTML fragment and link address, plain and
// Unicode text, and a device-independent bitmap's header. The result is a
// list of pictures (web address, local file, or both, with a size when one
// is known) or a text for a phrase; the field control makes the smilies.
//
// Every block comes from another program: its real size (GlobalSize) bounds
// every read, whatever its own header or terminator claims.
#pragma once

#include "services/Registered.h"
#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

class COleDataObject;

// One picture found in the data. An empty text means none.
struct ODOIMGINFO
{
    CString strUrl;     // web address
    CString strPath;    // local file
    LONG nWidth = 0;    // pixels; 0 when not given
    LONG nHeight = 0;
};

// One image tag of an HTML fragment; width and height 0 when the tag has none.
struct IMGLINKINFO
{
    CString strSource;
    LONG nWidth = 0;
    LONG nHeight = 0;
};

// Picture sizes a tag may state; tags outside them are left out (spacers,
// tracking pixels, absurd sizes).
struct IMGSIZELIMITS
{
    LONG nMinWidth, nMinHeight;
    LONG nMaxWidth, nMaxHeight;
};

// Paths and addresses use either separator.
inline bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}
// Index of the last backslash or slash, whichever comes last; -1 when none.
inline int FindLastSeparator(const CString& str)
{
    const int nBack = str.ReverseFind('\\');
    const int nSlash = str.ReverseFind('/');
    return nBack > nSlash ? nBack : nSlash;
}

// Empties the list (the records and the texts they own).
void FreeImageInfoList(CSequence<ODOIMGINFO>& list);

// TRUE when the data offers HTML, a link address, or a file list holding a
// picture file or a file without extension.
BOOL HasDroppedPictures(COleDataObject* pData);
// TRUE when plain or Unicode text is offered.
BOOL HasDroppedText(COleDataObject* pData);

// 1 when the data holds pictures (in list) or a phrase text (in strText), only
// one of them; 0 when nothing usable was found. Both are emptied first.
int ReadDroppedData(COleDataObject* pData, CSequence<ODOIMGINFO>& list, CString& strText);
// The pictures of file lists, HTML and a bitmap header; their count.
int ReadDroppedImages(CSequence<ODOIMGINFO>& list, COleDataObject* pData);

// The image tags of a CF_HTML text with their sources made absolute against
// its "SourceURL:" line; tags beyond pLimits (when given) are left out.
// Returns the number of tags in list.
int ParseHtmlFragment(const char* pszHtml, CSequence<IMGLINKINFO>& list,
                      const IMGSIZELIMITS* pLimits = NULL);

enum {
    URL_NEITHER = 0,
    URL_WEB = 1,
    URL_LOCAL = 2
};
// Trims the text and tells a web address from a local path, rewriting a
// "file://" address as the plain path; with bCutToFolder a recognised text
// keeps only its folder (up to and including its last separator).
int ClassifyUrl(CString& strText, BOOL bCutToFolder);

// Asks the document of an "Internet Explorer_Server" window for the picture
// inside the link strUrl (the one at x, y client coordinates when both are 0
// or more, else the first of its images); TRUE when strUrl was replaced by
// the picture's address. Waits at most a second for the window.
BOOL ResolveLinkedImage(HWND hBrowser, CString& strUrl, int x, int y);

// The "UniformResourceLocator" address; TRUE when it is not empty.
BOOL GetDroppedUrl(COleDataObject* pData, CString& strUrl);
// Unicode text (converted to the system code page) or else plain text, cut
// to its first 10000 characters; TRUE when it is not empty.
BOOL GetDroppedText(COleDataObject* pData, CString& strText);
