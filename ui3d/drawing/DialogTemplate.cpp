#include "ui3d/drawing/DialogTemplate.h"

#include <cstdlib>
#include <cstring>

static BYTE* Put16(BYTE* p, WORD w)
{
    p[0] = BYTE(w);
    p[1] = BYTE(w >> 8);
    return p + 2;
}

static BYTE* Put32(BYTE* p, DWORD d)
{
    return Put16(Put16(p, WORD(d)), WORD(d >> 16));
}

BOOL BuildDialogTemplate(const RECT& rect, DWORD dwStyle, LPCSTR pszTitle, BYTE** ppBlock, UINT* pcbBlock)
{
    static const char szFace[] = "MS Sans Serif";
    *ppBlock = nullptr;
    *pcbBlock = 0;
    int nTitle = 1;     // UTF-16 units with the terminator
    if (pszTitle && *pszTitle) {
        nTitle = MultiByteToWideChar(CP_ACP, 0, pszTitle, -1, nullptr, 0);
        if (nTitle <= 0)
            nTitle = 1;
    }
    const UINT cb = 22 + 2 * nTitle + 2 + 2 * sizeof(szFace);
    BYTE* pBlock = static_cast<BYTE*>(calloc(1, cb));
    if (!pBlock)
        return FALSE;
    BYTE* p = Put32(pBlock, dwStyle | DS_SETFONT);
    p = Put32(p, 0);
    p = Put16(p, 0);
    p = Put16(p, WORD(rect.left));
    p = Put16(p, WORD(rect.top));
    p = Put16(p, WORD(rect.right - rect.left));
    p = Put16(p, WORD(rect.bottom - rect.top));
    p = Put16(p, 0);    // no menu
    p = Put16(p, 0);    // the standard dialog class
    if (nTitle > 1) {
        WCHAR* pTitle = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * nTitle));
        if (!pTitle) {
            free(pBlock);
            return FALSE;
        }
        if (MultiByteToWideChar(CP_ACP, 0, pszTitle, -1, pTitle, nTitle) != nTitle)
            memset(pTitle, 0, sizeof(WCHAR) * nTitle);
        for (int i = 0; i < nTitle; i++)
            p = Put16(p, pTitle[i]);
        free(pTitle);
    } else {
        p = Put16(p, 0);
    }
    p = Put16(p, 8);
    for (const char* s = szFace; ; s++) {
        p = Put16(p, WORD(BYTE(*s)));
        if (!*s)
            break;
    }
    *ppBlock = pBlock;
    *pcbBlock = cb;
    return TRUE;
}
