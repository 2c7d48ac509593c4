#include "ui3d/StyleRecords.h"

#include "framework/Exception.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

int g_nSkinColorScheme = 0;

COLORSET::COLORSET()
{
    clr[0] = 0x7F7F7F;
    for (int i = 1; i < 6; i++)
        clr[i] = 0;
}

COLORSET::COLORSET(COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4, COLORREF c5)
{
    clr[0] = c0;
    clr[1] = c1;
    clr[2] = c2;
    clr[3] = c3;
    clr[4] = c4;
    clr[5] = c5;
}

COLORREF COLORSET::Get(int nScheme) const
{
    if (nScheme < 0)
        nScheme = 0;
    if (nScheme > 5)
        nScheme = 5;
    return clr[nScheme];
}

static int ClampPercent(int n)
{
    return n < 0 ? 0 : (n > 100 ? 100 : n);
}

GRADIENTSTYLE::GRADIENTSTYLE(int nLightAmount, int nDarkAmount, int nGradientNumber)
    : nLight(ClampPercent(nLightAmount)), nDark(ClampPercent(nDarkAmount))
{
    if (nGradientNumber > 3) {
        nKind = nGradientNumber - 3;
        bMirrored = 1;
    } else {
        nKind = nGradientNumber;
        bMirrored = 0;
    }
}

// ---------------------------------------------------------------------------

static const char* const s_pszDefaultTags[MARKUP_COUNT] = {
    "<n>", "<b>", "<i>", "<bi>", "<rgb(", ")>", "<noclr>", "&", "<3d>", "<no3d>"};

void TEXTSTYLE::SetDefaultTags()
{
    memset(szTags, 0, sizeof(szTags));
    for (int i = 0; i < MARKUP_COUNT; i++)
        strcpy(szTags[i], s_pszDefaultTags[i]);
}

TEXTSTYLE::TEXTSTYLE()
    : TEXTSTYLE(COLORSET(), COLORSET(), COLORSET(), COLORSET(), GRADIENTSTYLE(), IMAGELAYER(),
                IMAGELAYER(), IMAGELAYER(), COLORSET(), COLORSET(), COLORSET(), COLORSET(), 0,
                COLORSET(), 0, 0, 0, "; ", 0x5D)
{
}

TEXTSTYLE::TEXTSTYLE(const COLORSET& item, const COLORSET& hotItem, const COLORSET& text,
                     const COLORSET& hotText, const GRADIENTSTYLE& gradient, const IMAGELAYER& layer,
                     const IMAGELAYER& hotLayer, const IMAGELAYER& sepLayer,
                     const COLORSET& borderLight, const COLORSET& borderDark,
                     const COLORSET& hotBorderLight, const COLORSET& hotBorderDark, int nSepHeight,
                     const COLORSET& mnemonic, int nTipTime, COLORREF clrTipBk, COLORREF clrTipTxt,
                     LPCTSTR pszSeparator, int nFlagWord)
    : itemColors(item), hotItemColors(hotItem), textColors(text), hotTextColors(hotText),
      itemGradient(gradient), itemLayer(layer), hotItemLayer(hotLayer), separatorLayer(sepLayer),
      nIconZoneWidth(0), bItemBorder(1), bHotItemBorder(1), borderLightColors(borderLight),
      borderDarkColors(borderDark), hotBorderLightColors(hotBorderLight),
      hotBorderDarkColors(hotBorderDark), nItemHeight(0), nSeparatorHeight(nSepHeight),
      mnemonicColors(mnemonic), nTipMaxWidth(300), nTipDisplayTime(nTipTime), clrTipBack(clrTipBk),
      clrTipText(clrTipTxt), strSeparator(pszSeparator), nFlags(nFlagWord)
{
    SetDefaultTags();
}

// ---------------------------------------------------------------------------

BODYSTYLE::BODYSTYLE(const FRAMESTYLE& frame, CImageReader* const* ppCheck,
                     CImageReader* const* ppRadio, COLORREF face, COLORREF text, COLORREF text2,
                     COLORREF highlight, COLORREF shadow, COLORREF darkShadow,
                     COLORREF darkShadow2, int nDarken, const TEXTSTYLE& text3, int nFlagWord)
    : cbSize(BODYSTYLE_SIZE), body(frame), clrFace(face), clrText(text), clrText2(text2),
      clrHighlight(highlight), clrShadow(shadow), clrDarkShadow(darkShadow),
      clrDarkShadow2(darkShadow2), nLightenPercent(30), nDarkenPercent(nDarken), nGradientKind(2),
      textStyle(text3), nFlags(nFlagWord)
{
    for (int i = 0; i < 4; i++) {
        pCheckImages[i] = ppCheck ? ppCheck[i] : nullptr;
        pRadioImages[i] = ppRadio ? ppRadio[i] : nullptr;
    }
}

BODYSTYLE BODYSTYLE::FromSystemColors()
{
    return BODYSTYLE(FRAMESTYLE(), nullptr, nullptr, GetSysColor(COLOR_BTNFACE),
                     GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNTEXT),
                     GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW),
                     GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW), 30, TEXTSTYLE(),
                     0x3B);
}

// ---------------------------------------------------------------------------

MENUBARSTYLE::MENUBARSTYLE()
{
    memset(&font, 0, sizeof(font));
}

TOOLTIPSTYLE::TOOLTIPSTYLE(COLORREF back, COLORREF text, LPCTSTR pszSeparator, int nFlagWord)
    : nMaxWidth(300), nInitialDelay(-1), nDisplayTime(0), clrBack(back), clrText(text),
      strSeparator(pszSeparator), nFlags(nFlagWord)
{
}

// ---------------------------------------------------------------------------

FONTSTYLE::FONTSTYLE(COLORREF name, int nNameFontHeight, COLORREF frame, int nLighten, int nDarken,
                     COLORREF text, COLORREF textBack, DWORD extra1, DWORD extra2,
                     LPCTSTR pszNameFace, LPCTSTR pszTextFace)
    : clrPictureBack(0xFFFFFF), clrName(name), nNameHeight(nNameFontHeight), clrFrame(frame),
      nFrameLighten(nLighten), nFrameDarken(nDarken), nFrameGradientKind(1), clrText(text),
      clrTextBack(textBack), dwExtra1(extra1), dwExtra2(extra2), nTextHeight(-11)
{
    SetFace(szNameFace, pszNameFace);
    SetFace(szTextFace, pszTextFace);
}

void FONTSTYLE::SetFace(char (&szFace)[32], LPCTSTR pszFace)
{
    memset(szFace, 0, sizeof(szFace));
    if (pszFace && strlen(pszFace) < sizeof(szFace))
        strcpy(szFace, pszFace);
}

// ---------------------------------------------------------------------------

POINTARRAY::POINTARRAY(const POINTARRAY& src)
{
    Set(src.nCount, src.pPoints);
}

POINTARRAY& POINTARRAY::operator=(const POINTARRAY& src)
{
    // Copy before freeing: with a = a the source buffer is our own.
    if (this != &src)
        Set(src.nCount, src.pPoints);
    return *this;
}

POINTARRAY::~POINTARRAY()
{
    Free();
}

void POINTARRAY::Free()
{
    free(pPoints);
    pPoints = nullptr;
    nCount = 0;
}

void POINTARRAY::Set(int n, const POINT* pts)
{
    POINT* pNew = nullptr;
    if (pts && n > 0) {
        const uint64_t cb = uint64_t(n) * sizeof(POINT);
        if (cb > UINT32_MAX)
            AfxThrowMemoryException();
        pNew = static_cast<POINT*>(malloc(size_t(cb)));
        if (!pNew)
            AfxThrowMemoryException();
        memcpy(pNew, pts, size_t(cb));
    }
    // The new points are in place before the old buffer goes, so a source
    // that overlaps our own buffer is read while it is still valid.
    free(pPoints);
    pPoints = pNew;
    nCount = pNew ? n : 0;
}
