#include "ui3d/menus/MenuMarkup.h"

#include <cstring>

namespace {

const int NOT_FOUND = 0xFFFF;

// Search order, which also breaks ties between tags found at one position.
struct TAGSLOT
{
    int nTag;
    int nKind;
};
const TAGSLOT kTagOrder[] = {
    {MARKUP_NORMAL, 0},     {MARKUP_BOLD, 1},          {MARKUP_ITALIC, 2},
    {MARKUP_BOLDITALIC, 3}, {MARKUP_RGBSTART, 4},      {MARKUP_NOCOLOR, 4},
    {MARKUP_MNEMONIC, 5},   {MARKUP_3DON, 6},          {MARKUP_3DOFF, 7},
};

int CharLength(LPCSTR p)
{
    return (p[0] != '\0' && IsDBCSLeadByte(static_cast<BYTE>(p[0])) && p[1] != '\0') ? 2 : 1;
}

// Where pszTag occurs first at or after nFrom, which starts a character;
// -1 when it does not.
int FindFromCharStart(LPCSTR pszText, LPCSTR pszTag, int nFrom)
{
    const size_t nTagLen = strlen(pszTag);
    for (int i = nFrom; pszText[i] != '\0'; i += CharLength(pszText + i)) {
        if (strncmp(pszText + i, pszTag, nTagLen) == 0)
            return i;
    }
    return -1;
}

// The next position of each tag at or after a search position that only moves
// forward through one text: a tag's text is searched again only once the
// search has passed where it was last found, so a whole scan reads the text
// once per tag rather than once per tag and step.
class CTagFinder
{
public:
    CTagFinder() { Reset(); }
    // The text changed: every position is searched anew.
    void Reset()
    {
        for (int& n : m_nPos)
            n = kUnknown;
    }
    int Find(LPCSTR pszText, LPCSTR pszTag, int nTag, int nFrom)
    {
        int& nPos = m_nPos[nTag];
        if (nPos == kUnknown || (nPos != -1 && nPos < nFrom))
            nPos = pszTag[0] != '\0' ? FindFromCharStart(pszText, pszTag, nFrom) : -1;
        return nPos;
    }

private:
    static const int kUnknown = -2;
    int m_nPos[MARKUP_COUNT];
};

// The first character start at or after nFrom (the end of the text when none).
int CharStartAtOrAfter(LPCSTR pszText, int nFrom)
{
    int i = 0;
    while (i < nFrom && pszText[i] != '\0')
        i += CharLength(pszText + i);
    return i;
}

// Appends, growing the array by half its size: an item text may hold
// thousands of runs.
void AddRun(CSequence<CMarkupRun>& runs, const CMarkupRun& run)
{
    if (runs.GetSize() == runs.m_nCapacity && runs.m_nCapacity >= 16)
        runs.Grow(runs.m_nCapacity / 2);
    runs.Add(run);
}

int NextMarkupTag(const TEXTSTYLE& style, int nScheme, LPCSTR pszText, int nFrom, CTagFinder& finder, int* pnTagPos,
                  int* pnKind, COLORREF* pClr, BOOL bMnemonicAllowed);

char LowerChar(char c)
{
    char sz[2] = {c, '\0'};
    CharLowerA(sz);
    return sz[0];
}

} // namespace

int FindTextByChar(LPCSTR pszText, LPCSTR pszTag, int nFrom)
{
    if (pszText == NULL || pszTag == NULL || pszTag[0] == '\0' || nFrom < 0)
        return -1;
    const int nLen = static_cast<int>(strlen(pszText));
    const size_t nTagLen = strlen(pszTag);
    if (nFrom > nLen)
        return -1;
    // The C library's multibyte search can match inside a double-byte
    // character on DBCS code pages, so walk whole characters ourselves.
    for (int i = 0; i < nLen; i += CharLength(pszText + i)) {
        if (i >= nFrom && strncmp(pszText + i, pszTag, nTagLen) == 0)
            return i;
    }
    return -1;
}

int ParseRgbTag(LPCSTR pszText, int nFrom, int nEnd, COLORREF* pClr)
{
    if (pszText == NULL || nFrom < 0 || nEnd <= nFrom)
        return 0;
    // Only the low 8 bits of each number count, so they are all that is kept
    // while reading it: a number of any length keeps its value (leading zeros
    // included) and none overflows.
    unsigned nParts[3] = {};
    int nPart = 0;
    for (int i = nFrom; i < nEnd; ++i) {
        const char c = pszText[i];
        if (c >= '0' && c <= '9') {
            nParts[nPart] = (nParts[nPart] * 10 + unsigned(c - '0')) & 0xFF;
        } else if (c == ',' || c == ';' || c == ' ') {
            if (++nPart > 2)
                return 0;
        } else {
            return 0;
        }
    }
    if (nPart < 2)
        return 0;
    if (pClr != NULL)
        *pClr = RGB(nParts[0], nParts[1], nParts[2]);
    return 1;
}

int FindNextMarkupTag(const TEXTSTYLE& style, int nScheme, LPCSTR pszText, int nFrom, int* pnTagPos, int* pnKind,
                      COLORREF* pClr, BOOL bMnemonicAllowed)
{
    if (pszText == NULL || nFrom < 0 || nFrom > static_cast<int>(strlen(pszText)))
        return -1;
    CTagFinder finder;
    return NextMarkupTag(style, nScheme, pszText, CharStartAtOrAfter(pszText, nFrom), finder, pnTagPos, pnKind, pClr,
                         bMnemonicAllowed);
}

namespace {

// FindNextMarkupTag from nFrom, a character start, with the tag positions
// already known to the finder.
int NextMarkupTag(const TEXTSTYLE& style, int nScheme, LPCSTR pszText, int nFrom, CTagFinder& finder, int* pnTagPos,
                  int* pnKind, COLORREF* pClr, BOOL bMnemonicAllowed)
{
    int nBest = NOT_FOUND;
    const TAGSLOT* pBest = NULL;
    for (const TAGSLOT& slot : kTagOrder) {
        if (slot.nTag == MARKUP_MNEMONIC && !bMnemonicAllowed)
            continue;
        const int nPos = finder.Find(pszText, style.szTags[slot.nTag], slot.nTag, nFrom);
        if (nPos >= 0 && nPos < nBest) {
            nBest = nPos;
            pBest = &slot;
        }
    }
    if (pBest == NULL)
        return -1;
    int nNext = nBest + static_cast<int>(strlen(style.szTags[pBest->nTag]));
    COLORREF clr = 0;
    if (pBest->nTag == MARKUP_RGBSTART) {
        const int nClose = finder.Find(pszText, style.szTags[MARKUP_RGBEND], MARKUP_RGBEND, nNext);
        if (nClose < 0 || !ParseRgbTag(pszText, nNext, nClose, &clr))
            return -1;
        nNext = nClose + static_cast<int>(strlen(style.szTags[MARKUP_RGBEND]));
    } else if (pBest->nTag == MARKUP_NOCOLOR) {
        clr = style.textColors.Get(nScheme);
    }
    if (pnTagPos != NULL)
        *pnTagPos = nBest;
    if (pnKind != NULL)
        *pnKind = pBest->nKind;
    if (pClr != NULL && pBest->nKind == MARKUPKIND_COLOR)
        *pClr = clr;
    return nNext;
}

} // namespace

char SplitMarkupText(const TEXTSTYLE& style, int nScheme, LPCSTR pszText, CSequence<CMarkupRun>& runs)
{
    CString strWork(pszText != NULL ? pszText : "");
    char chMnemonic = 0;
    BOOL bMnemonicSeen = FALSE;

    CMarkupRun cur;
    cur.nFont = MENUFONT_NORMAL;
    cur.clr = style.textColors.Get(nScheme);
    cur.b3D = (style.nFlags & TEXTSTYLE_3DTEXT) ? 1 : 0;
    AddRun(runs, cur);

    CTagFinder finder;
    int p = 0;
    for (;;) {
        int nTagPos = 0, nKind = 0;
        COLORREF clrTag = 0;
        const int nNext = NextMarkupTag(style, nScheme, strWork, p, finder, &nTagPos, &nKind, &clrTag, !bMnemonicSeen);
        if (nNext < 0)
            break;
        if (nKind == MARKUPKIND_MNEMONIC) {
            // Close the mnemonic look right behind its one character by
            // inserting the tag of the font in force.
            LPCSTR pszAfter = static_cast<LPCSTR>(strWork) + nNext;
            if (*pszAfter != '\0') {
                const int nInsert = nNext + CharLength(pszAfter);
                CString strHead = strWork.Left(nInsert);
                strWork = strHead + style.szTags[MARKUP_NORMAL + cur.nFont] + strWork.Mid(nInsert);
                finder.Reset();
            }
        }
        CMarkupRun& last = runs[runs.GetSize() - 1];
        if (nTagPos > p) {
            last.strText = strWork.Mid(p, nTagPos - p);
            AddRun(runs, cur);
        }
        CMarkupRun& run = runs[runs.GetSize() - 1];
        switch (nKind) {
        case 0: case 1: case 2: case 3:
            cur.nFont = nKind;
            run.nFont = cur.nFont;
            run.clr = cur.clr;
            break;
        case MARKUPKIND_COLOR:
            cur.clr = clrTag;
            run.nFont = cur.nFont;
            run.clr = cur.clr;
            break;
        case MARKUPKIND_MNEMONIC: {
            const BOOL bBold = cur.nFont == MENUFONT_BOLD || cur.nFont == MENUFONT_BOLDITALIC;
            if (style.nFlags & 0x08)
                run.nFont = bBold ? MENUFONT_UNDERLINEBOLD : MENUFONT_UNDERLINE;
            else
                run.nFont = cur.nFont;
            const COLORREF clrMnemonic = style.mnemonicColors.Get(nScheme);
            run.clr = clrMnemonic != 0 ? clrMnemonic : cur.clr;
            chMnemonic = LowerChar(static_cast<LPCSTR>(strWork)[nNext]);
            bMnemonicSeen = chMnemonic != 0;
            break;
        }
        default:
            cur.b3D = nKind == MARKUPKIND_3DON ? 1 : 0;
            run.b3D = cur.b3D;
            run.clr = cur.clr;
            break;
        }
        p = nNext;
    }
    // A malformed colour tag ends the parsing: the rest, tag included, is text.
    CMarkupRun& last = runs[runs.GetSize() - 1];
    last.strText = strWork.Mid(p);
    if (last.strText.IsEmpty())
        runs.RemoveAt(runs.GetSize() - 1);
    return chMnemonic;
}
