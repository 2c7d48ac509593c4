// Export of smilies to files: pictures as picture files with their own
// bytes, phrases as text files, and on request an HTML page that shows them
// all. One smilie is exported under a name the user picks in the save
// dialog (its filter picks the mode); several go into a folder picked in the
// folder dialog (its choice list picks the mode). Existing files are
// overwritten, skipped or kept beside a renamed copy as the user answers.
// User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

class CSmilie;
class CSmiliesField;
class CWnd;

// Export modes.
enum
{
    EXPORT_FILES = 1,          // files only
    EXPORT_PAGE_NAMES = 2,     // files and a page that refers to them by name
    EXPORT_PAGE_ADDRESSES = 3  // files and a page that refers to them by "file:///" address
};

// What CheckOverwrite decides for a file.
enum
{
    OVERWRITE_WRITE = 0,
    OVERWRITE_RENAME = 1,  // write under a name MakeUniqueFileName finds
    OVERWRITE_SKIP = 2,
    OVERWRITE_STOP = 3
};

// Exports the smilies of the list that have a picture or are phrases, after
// asking where to (nothing for an empty list or a cancelled dialog). The
// name of the field they come from titles the page.
void ExportSmilies(const CSequence<const CSmilie*>& list, CWnd* pParent, LPCTSTR pszFieldName);
// Exports every smilie of the field that has a picture or is a phrase.
void ExportField(CSmiliesField* pField);
// Numbers the name ("a.gif" -> "a-001.gif", "a-002.gif", ...) until no file
// of the folder has it. 0 when all 65535 numbers are taken (the name then
// holds the last one tried).
BOOL MakeUniqueFileName(CString& strName, LPCTSTR pszFolder);
// The decision for writing the file at pszPath (named pszName in the
// question): OVERWRITE_WRITE when nothing is there; else the remembered
// decision while *pbForAll is set, else the user's answer, which may set
// *pbForAll and *pnDecision for the files that follow.
int CheckOverwrite(int* pnDecision, LPCTSTR pszName, BOOL* pbForAll, LPCTSTR pszPath);

// Text as page content: '&', '<', '>' and '"' become entities wherever they
// stand, also after a lead byte of a double-byte code page.
CString EscapePageText(const CString& strText);
// A file name (or, bFileAddress, a path as a "file:///" address with ':' as
// '|' and '\' as '/') as a picture address of the page: the characters that
// end or change an address or its attribute are percent-encoded, also after
// a lead byte; double-byte characters stay whole.
CString PageAddress(const CString& strName, BOOL bFileAddress);

// How MakeUniqueFileName sees whether a name is taken. Tests put in their own.
extern DWORD(WINAPI* g_pfnExportFileAttributes)(LPCSTR pszPath);
