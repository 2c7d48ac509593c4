// Item texts of skinned menus carry a small inline markup that switches the
// font style, the colour and a raised (shadowed) look inside one item and
// marks the mnemonic. The tag texts come from the menu's TEXTSTYLE, so these
// functions take the style rather than fixed strings.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"
#include "ui3d/StyleRecords.h"

#include <windows.h>

// The six fonts of a menu, by index.
enum
{
    MENUFONT_NORMAL = 0,
    MENUFONT_BOLD,
    MENUFONT_ITALIC,
    MENUFONT_BOLDITALIC,
    MENUFONT_UNDERLINE,
    MENUFONT_UNDERLINEBOLD,
    MENUFONT_COUNT
};

// Tag kinds: 0..3 a font, 4 a colour, 5 the mnemonic marker, 6/7 3D on/off.
enum
{
    MARKUPKIND_COLOR = 4,
    MARKUPKIND_MNEMONIC = 5,
    MARKUPKIND_3DON = 6,
    MARKUPKIND_3DOFF = 7
};

// One run of an item text: drawn in one font and colour, with or without a shadow.
struct CMarkupRun
{
    CString strText;
    int nFont = MENUFONT_NORMAL;
    COLORREF clr = 0;
    int b3D = 0;
};

// Where the text of the given tag occurs first at or after nFrom, stepping by
// character (never matching inside a double-byte character); -1 when absent.
int FindTextByChar(LPCSTR pszText, LPCSTR pszTag, int nFrom);

// The position just behind the nearest tag at or after nFrom, or -1 when there
// is none or an "<rgb(" tag is malformed. Fills where the tag starts, its kind
// and, for kind 4, the colour ("<noclr>" gives the style's text colour of the
// scheme). The mnemonic marker is looked for only when bMnemonicAllowed.
int FindNextMarkupTag(const TEXTSTYLE& style, int nScheme, LPCSTR pszText, int nFrom, int* pnTagPos, int* pnKind,
                      COLORREF* pClr, BOOL bMnemonicAllowed);

// 1 and the colour when the characters [nFrom, nEnd) are three numbers parted
// by ",", ";" or a blank (each separator counts; empty numbers are 0; only the
// low 8 bits count); else 0.
int ParseRgbTag(LPCSTR pszText, int nFrom, int nEnd, COLORREF* pClr);

// Splits an item text into runs (appended to runs, which should be empty) and
// returns the mnemonic character in lower case, 0 for none.
char SplitMarkupText(const TEXTSTYLE& style, int nScheme, LPCSTR pszText, CSequence<CMarkupRun>& runs);
