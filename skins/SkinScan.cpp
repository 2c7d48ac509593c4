#include "skins/SkinScan.h"

#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/drawing/Contrast.h"
#include "ui3d/system/SysUtils.h"

#include <memory>

namespace {

// The contrast, in hundredths, of the body texts on a tinted face.
const int kFaceContrast100 = 500;

// FindFirstFile handle that closes itself.
struct CFindHandle
{
    HANDLE h;
    explicit CFindHandle(HANDLE handle) : h(handle) {}
    ~CFindHandle()
    {
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
    }
};

BOOL IsDirectory(const WIN32_FIND_DATAA& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int ScanSkinFolder(const CString& strBase, const CString& strFolder, CSequence<CFOUNDSKIN>& skins)
{
    WIN32_FIND_DATAA data;
    const CFindHandle find(FindFirstFileA(strBase + strFolder + "\\*.skn", &data));
    if (find.h == INVALID_HANDLE_VALUE)
        return 0;
    int nFound = 0;
    do {
        if (IsDirectory(data) || (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0))
            continue;
        const std::unique_ptr<char[]> pTitle(ExtractFileTitle(data.cFileName));
        if (!pTitle)
            continue;
        skins.Add(CFOUNDSKIN(pTitle.get(), CString("Skins\\") + strFolder + "\\" + data.cFileName));
        ++nFound;
    } while (FindNextFileA(find.h, &data));
    return nFound;
}

}  // namespace

int ScanSkinsIn(const char* pszProgramFolder, CSequence<CFOUNDSKIN>& skins)
{
    const CString strBase = CString(pszProgramFolder) + "\\Skins\\";
    WIN32_FIND_DATAA data;
    const CFindHandle find(FindFirstFileA(strBase + "*.*", &data));
    if (find.h == INVALID_HANDLE_VALUE)
        return 0;
    int nFound = 0;
    do {
        if (!IsDirectory(data) || strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0)
            continue;
        nFound += ScanSkinFolder(strBase, data.cFileName, skins);
    } while (FindNextFileA(find.h, &data));
    return nFound;
}

int ScanSkins(CSequence<CFOUNDSKIN>& skins)
{
    CString strFolder;
    GetProgramFolder(strFolder);
    return ScanSkinsIn(strFolder, skins);
}

void ApplySkinColoring()
{
    const int nScheme = g_Settings.SkinColorScheme;
    g_nSkinColorScheme = (nScheme >= 0 && nScheme <= 5) ? nScheme : 0;
    if (g_pSkin == nullptr)
        return;
    CSkin& skin = *g_pSkin;

    COLORREF clrTint = 0;
    int bColoring = 0;
    if (g_Settings.SkinColoringEnabled != 0) {
        clrTint = g_Settings.SkinColor;
        bColoring = g_Settings.SkinColoringEnabled;
        const int r = GetRValue(clrTint), g = GetGValue(clrTint), b = GetBValue(clrTint);
        // A contrast colour that stands out against the tint: red for blue
        // and green tints, blue for the rest.
        COLORREF clrContrast = 0xFF0000;
        if (b > r && b > g)
            clrContrast = 0x0000C0;
        else if (g > r && g > b)
            clrContrast = 0x0000B4;
        skin.m_bodyStyle.clrDarkShadow2 = clrContrast;
        // Push buttons and edits wear the tint under the skin's texts: a light
        // tint (a saturated green or orange under white) is darkened, keeping
        // its hue, until both texts read on it. A little above 4.5:1, since a
        // button's face is a gradient lighter above its middle.
        COLORREF clrFace = ReadableOn(clrTint, skin.m_bodyStyle.clrText, kFaceContrast100);
        clrFace = ReadableOn(clrFace, skin.m_bodyStyle.clrText2, kFaceContrast100);
        skin.m_bodyStyle.clrFace = clrFace;
    } else {
        // Untinted, faces and edits wear the skin's own dialog-button colour
        // of the scheme, and a focused text's shadow is the plain dark one:
        // a fixed light grey under white text could not be read, and a blue
        // shadow made focused texts look like links.
        skin.m_bodyStyle.clrFace = skin.m_bodyStyle.buttonLook.colors.Get(g_nSkinColorScheme);
        skin.m_bodyStyle.clrDarkShadow2 = skin.m_bodyStyle.clrDarkShadow;
    }
    skin.m_fieldsGrid.clrAccent = clrTint;
    skin.m_fieldsLook.grid.clrAccent = clrTint;
    skin.m_fieldsGrid.bAccent = bColoring;
    skin.m_fieldsLook.grid.bAccent = bColoring;

    skin.m_bodyStyle.textStyle = skin.m_menuTextStyle;
    skin.m_fieldsLook.textStyle = skin.m_menuTextStyle;
    skin.m_baseTabLook.menuStyle = skin.m_menuTextStyle;
    skin.m_fieldsLook.tabStrip.menuStyle = skin.m_menuTextStyle;
}
