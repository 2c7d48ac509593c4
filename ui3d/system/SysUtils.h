// Free helpers the whole program shares: text conversion and trimming, filling
// language templates, which program owns a window, the clipboard, program
// folder and file names, window placement and icon handles. None keeps state.
// Functions that need an optional system function take it from
// g_pExportedFuncs and do without it when it is missing.
//
// Buffers that a function returns as "char*" are allocated with new[]; the
// caller frees them with delete[]. Allocation failures throw CMemoryException*.
#pragma once

#include <windows.h>
#include <cstdarg>
#include "framework/Str.h"

class CBitmap;

// ---- text ----------------------------------------------------------------------

// A buffer that begins with the byte-order mark FF FE and has more than 3 bytes
// is UTF-16: its characters after the mark are converted to the ANSI code page
// and the text ends at its first zero. Any other buffer is taken byte for byte;
// it ends at its first zero only when its last byte is zero. Returns the length.
// nCodePage is the target code page; the program always uses the ANSI one.
int ConvertUnicodeTextToAnsi(int nBytes, const void* pBuffer, CString& strOut, UINT nCodePage = CP_ACP);
// The same rule, the mark recognised from 2 bytes on, into a new zero-terminated
// buffer that *ppOut receives and that is also returned.
char* ConvertUnicodeBufferToAnsi(int nBytes, const void* pBuffer, char** ppOut, UINT nCodePage = CP_ACP);
// UTF-16 text of nChars characters (-1: up to its zero) to the ANSI code page.
CString WideToAnsi(const WCHAR* pszWide, int nChars = -1, UINT nCodePage = CP_ACP);

// Remove blanks, CR, LF and TAB at the start / end, in place.
char* TrimLeftBlanks(char* psz);
char* TrimRightBlanks(char* psz);

// Fills pszDest (nDestSize bytes including the terminator) with pszTemplate in
// which every placeholder is replaced by its value. After the template come
// triples (placeholder, conversion, value) ended by a NULL placeholder; the
// letter after the conversion's '%' tells the value's type: c, d, u, f (double),
// ld, lu, s. Text that does not fit is dropped. Returns the characters written.
//   FormatTemplate(buf, sizeof(buf), "[NUM] of [TOTALNUM]",
//                  "[NUM]", "%d", 3, "[TOTALNUM]", "%d", 10, NULL);
int FormatTemplate(char* pszDest, int nDestSize, const char* pszTemplate, ...);
int FormatTemplateV(char* pszDest, int nDestSize, const char* pszTemplate, va_list args);

void SetStringFrom(CString& str, const char* psz);

// ---- processes and windows of other programs -----------------------------------

// The executable of a process: the name in lower case without folder, and its
// full path when pstrFullPath is given. 1 when found, 0 otherwise.
BOOL GetProcessExeNameByModules(DWORD dwProcessId, CString& strName, CString* pstrFullPath = NULL);
BOOL GetProcessExeNameBySnapshot(CString& strName, DWORD dwProcessId, CString* pstrFullPath = NULL);
// The modules way, then the snapshot way.
BOOL GetProcessExeName(CString& strName, CString& strFullPath, DWORD dwProcessId);
// Title (lower case), executable name and file version of the program that owns
// hWnd's top-level window. 0 for a null window, an unknown process and windows
// of this process.
BOOL GetWindowAppInfo(HWND hWnd, CString& strTitle, CString& strExeName, ULONGLONG& ullVersion);
// The file version (most significant word in the high half); 0 when the file has
// no version resource.
ULONGLONG GetFileVersion(const char* pszPath);

// ---- clipboard -------------------------------------------------------------------

// The clipboard's text (Unicode preferred, at most 10000 characters); 1 when text was read.
BOOL GetClipboardText(CString& strText);
// Empties the clipboard when a window of this process owns it; 1 when emptied.
BOOL ClearOwnClipboard();

// ---- files and folders -------------------------------------------------------------

// The folder of the program's executable, without a trailing separator.
void GetProgramFolder(CString& strFolder);
// Bytes of the character at p: 2 for a lead byte of the ANSI code page with
// a trail byte after it, else 1. No double-byte code page has a trail byte
// below 0x40 or at 0x7F, so a lead byte before '<', '"', ':' and the like
// stands alone (CharNextA pairs a lead byte with whatever follows).
int CharByteCount(const char* p);
// The last character of psz that is one of pszSet's (single-byte) characters,
// stepping by character, so the second byte of a double-byte character is
// never taken for a '\'; NULL when there is none.
const char* FindLastCharOf(const char* psz, const char* pszSet);
// Removes the characters Windows refuses in file names (control characters
// and < > : " / \ | ? *; double-byte characters stay whole), trims
// blanks at both ends, and empties a device name ("nul", "com1", "lpt1.txt"...).
void MakeValidFileName(CString& strName);
// The text after the name's extension dot, or NULL when the name has none.
const char* GetFileExtension(const char* pszName);
// The file name without folder and extension; NULL when that is empty.
char* ExtractFileTitle(const char* pszPath);
// Creates every missing folder of the path ("\" or "/" separated); a part
// written %NAME% is the environment variable's value. 1 when a folder was made.
BOOL CreateFolderPath(const char* pszPath);
// Removes trailing "\" and "/" in place.
char* StripTrailingSlashes(char* psz);

// ---- windows and screen ----------------------------------------------------------

int GetEditVisibleLineCount(HWND hEdit);
// Width (low 32 bits) and height (high 32 bits) of the text drawn in prc's width;
// a rectangle exactly 1 pixel wide asks for one line.
ULONGLONG MeasureText(const RECT& rc, const char* pszText, HFONT hFont);
// Docks prc to the outside of the anchor within 10 pixels; each axis once.
void SnapRectToRect(const RECT& rcAnchor, RECT& rc, BOOL& bXSnapped, BOOL& bYSnapped);
// Moves the window fully onto the primary screen.
void KeepWindowOnScreen(HWND hWnd);
// Repaints the visible children (those that meet prc, in hWnd's client coordinates) at once.
void InvalidateChildrenInRect(HWND hWnd, const RECT* prc);
// The smallest control id from nFirstId on that no direct child uses; 0 when none.
UINT GetFreeChildId(HWND hParent, UINT nFirstId);
// The taskbar notification area's screen rectangle, and optionally a copy of its
// image and a mask (new[] width*height bytes, 0xFF where the pixel is bright).
BOOL GetTrayNotifyRect(RECT* prc, CBitmap* pBitmap = NULL, BYTE** ppMask = NULL);
// Exact search of a small one-byte-per-pixel block inside a large one.
BOOL FindSubBitmap(int cxLarge, int cyLarge, int cxSmall, int cySmall, const BYTE* pLarge,
                   const BYTE* pSmall, POINT* pptFound);
// Flashes the caption briefly; 0 for a null or dead window.
BOOL FlashWindowBriefly(HWND hWnd);

// ---- icon handles -----------------------------------------------------------------

// One icon handle, null while empty.
class CIconHolder
{
public:
    CIconHolder() : m_hIcon(NULL) {}
    HICON m_hIcon;
};

// Loads icon resource nId of hModule at its own size.
BOOL LoadIconResource(HMODULE hModule, CIconHolder& holder, UINT nId);
// Destroys the held icon, if any, and empties the holder.
void DestroyIconHandle(CIconHolder& holder);
