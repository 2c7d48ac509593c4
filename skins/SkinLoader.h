// LoadSkin: reads one skin file into the program's skin object g_pSkin,
// every parameter the file does not set (or sets wrongly) at its default.
#pragma once

#include "skins/Skin.h"
#include "skins/SkinParser.h"

// The parser's result: SKINPARSE_OK, SKINPARSE_SHOWN or SKINPARSE_NOT_SHOWN
// (the last also for a file that cannot be read). g_pSkin is whole with each.
int LoadSkin(const char* pszPath);

// What LoadSkin does after the parse: the built-in defaults, then every
// parameter of a table built by BuildSkinParams copied into its member.
void FillSkin(CSkin& skin, const CSkinParamTable& table);

// A font of nPoints points on the desktop's resolution; nFontKeyword is the
// value of a *_FONT_NAME keyword (0 Arial, 1 Times, 2 Verdana, 3 Tahoma,
// 4 System, 5 Impact).
void MakeSkinFont(LOGFONTA& font, int nPoints, BOOL bBold, BOOL bItalic, int nFontKeyword);

// Light and dark amounts clamped to 0..100; a gradient keyword value above 3
// is the same kind running the other way.
void MakeGradientStyle(GRADIENTSTYLE& gradient, int nLight, int nDark, int nGradientKeyword);

// Every component moved a fifth of the way towards 255 (rounded down).
COLORSET LightenColorSet(const COLORSET& colors);
