// The installed skins, and the user's colouring of the loaded one.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

// One skin file below the program's "Skins" folder: its title, and its path
// relative to the program folder ("Skins\<folder>\<file>.skn").
struct CFOUNDSKIN
{
    CString name;
    CString path;

    CFOUNDSKIN() {}
    CFOUNDSKIN(const CString& strName, const CString& strPath) : name(strName), path(strPath) {}
};

// Appends every non-empty "*.skn" file of each folder directly below the
// program's "Skins" folder; returns how many were appended.
int ScanSkins(CSequence<CFOUNDSKIN>& skins);
// The same below pszProgramFolder (without a trailing backslash).
int ScanSkinsIn(const char* pszProgramFolder, CSequence<CFOUNDSKIN>& skins);

// The colour scheme (0..5) that picks one colour of every COLORSET.
extern int g_nSkinColorScheme;

// Applies the settings SkinColorScheme, SkinColoringEnabled and SkinColor to
// g_nSkinColorScheme and to the loaded skin g_pSkin; callers repaint.
void ApplySkinColoring();
