// The gallery's pictures of the smilie properties dialog: both templates on an
// animated smilie larger than its cell, whose picture is drawn here and stored
// in a small collection file made for the purpose.
#include "tests/tools/gallery/GallerySnap.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxHeader.h"
#include "collection/TvnxSave.h"
#include "dialogs/DlgSmilieProp.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"

#include <math.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

typedef std::vector<BYTE> Bytes;

const int kFaceWidth = 44, kFaceHeight = 40;

// Palette: 0 transparent, then the face's colours.
const COLORREF kPalette[16] = {
    RGB(255, 0, 255), RGB(255, 214, 40), RGB(240, 170, 0), RGB(150, 90, 0), RGB(40, 30, 20), RGB(255, 255, 255),
    RGB(210, 60, 50), RGB(255, 236, 140), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)};

// One frame of the face: 0 smiling, 1 winking, 2 grinning with open mouth.
std::vector<BYTE> DrawFace(int nKind)
{
    std::vector<BYTE> px(kFaceWidth * kFaceHeight, 0);
    const double cx = (kFaceWidth - 1) / 2.0, cy = (kFaceHeight - 1) / 2.0, r = 18.5;
    for (int y = 0; y < kFaceHeight; y++) {
        for (int x = 0; x < kFaceWidth; x++) {
            const double dx = x - cx, dy = y - cy, d = sqrt(dx * dx + dy * dy);
            BYTE c = 0;
            if (d <= r - 1.2)
                c = (dx + dy < -14) ? 7 : (d > r - 4 && dx + dy > 8 ? 2 : 1);
            else if (d <= r + 0.3)
                c = 3;
            // Eyes.
            const double ey = cy - 5;
            for (int side = -1; side <= 1; side += 2) {
                const double ex = cx + side * 6.5;
                const bool bWink = nKind == 1 && side < 0;
                if (bWink) {
                    if (fabs(y - ey - 1) < 0.8 && fabs(x - ex) < 3.2)
                        c = 4;
                } else if ((x - ex) * (x - ex) / 4.0 + (y - ey) * (y - ey) / 9.0 <= 1.0) {
                    c = 4;
                }
            }
            // Mouth: an arc, or an open grin with teeth.
            const double my = cy + 2, md = sqrt(dx * dx + (y - my) * (y - my));
            if (nKind == 2) {
                if (y > my + 1 && md <= 11) {
                    c = md > 9.8 ? 4 : (y < my + 4.5 ? 5 : 6);
                }
            } else if (y > my + 2 && md >= 9.2 && md <= 10.8 && fabs(dx) < 9) {
                c = 4;
            }
            px[y * kFaceWidth + x] = c;
        }
    }
    return px;
}

void PutWord(Bytes& b, int v)
{
    b.push_back(BYTE(v & 0xFF));
    b.push_back(BYTE((v >> 8) & 0xFF));
}

// The image data of 4-bit pixels without compression: a clear code before
// every twelve pixels keeps the codes 5 bits wide.
Bytes EncodeFrame(const std::vector<BYTE>& px)
{
    std::vector<int> codes;
    for (size_t i = 0; i < px.size(); i++) {
        if (i % 12 == 0)
            codes.push_back(16);
        codes.push_back(px[i]);
    }
    codes.push_back(17);
    Bytes packed;
    unsigned nBits = 0, nAcc = 0;
    for (int code : codes) {
        nAcc |= unsigned(code) << nBits;
        nBits += 5;
        while (nBits >= 8) {
            packed.push_back(BYTE(nAcc & 0xFF));
            nAcc >>= 8;
            nBits -= 8;
        }
    }
    if (nBits > 0)
        packed.push_back(BYTE(nAcc & 0xFF));
    Bytes out;
    out.push_back(4);
    for (size_t i = 0; i < packed.size(); i += 255) {
        const size_t n = packed.size() - i < 255 ? packed.size() - i : 255;
        out.push_back(BYTE(n));
        out.insert(out.end(), packed.begin() + i, packed.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

}  // namespace

Bytes MakeFaceGif()
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(b, kFaceWidth);
    PutWord(b, kFaceHeight);
    b.push_back(0xF3);
    b.push_back(0);
    b.push_back(0);
    for (COLORREF c : kPalette) {
        b.push_back(GetRValue(c));
        b.push_back(GetGValue(c));
        b.push_back(GetBValue(c));
    }
    const struct
    {
        int nKind, nDelayCs;
    } frames[] = {{0, 120}, {1, 30}, {0, 80}, {2, 100}};
    for (const auto& f : frames) {
        const BYTE control[] = {0x21, 0xF9, 4, (2 << 2) | 1, BYTE(f.nDelayCs), BYTE(f.nDelayCs >> 8), 0, 0};
        b.insert(b.end(), control, control + sizeof(control));
        b.push_back(0x2C);
        PutWord(b, 0);
        PutWord(b, 0);
        PutWord(b, kFaceWidth);
        PutWord(b, kFaceHeight);
        b.push_back(0);
        const Bytes data = EncodeFrame(DrawFace(f.nKind));
        b.insert(b.end(), data.begin(), data.end());
    }
    b.push_back(0x3B);
    return b;
}

bool WriteEmptyCollection(const std::string& strPath)
{
    TVNXHEADER h;
    h.bMagic = true;
    h.nVersion = TVNX_VERSION_CURRENT;
    h.nLayoutOffset = TVNX_HEADER_SIZE;
    h.nLayoutSize = 1;
    h.nLevel = TVNX_LEVEL_CLOSED;
    h.nFirstRecord = TVNX_HEADER_SIZE + 1;
    h.nHeaderSize = TVNX_HEADER_SIZE;
    BYTE file[TVNX_HEADER_SIZE + 1];
    h.Store(file);
    file[TVNX_HEADER_SIZE] = 'x';
    TvnxScramble(file + TVNX_HEADER_SIZE, 1, true);
    FILE* f = fopen(strPath.c_str(), "wb");
    if (f == NULL)
        return false;
    const bool bOk = fwrite(file, 1, sizeof(file), f) == sizeof(file);
    return fclose(f) == 0 && bOk;
}

bool OpenScratchCollection(const char* pszFile, const char* pszPicture, uint32_t* pnFace)
{
    *pnFace = 0;
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    const std::string strPath = std::string(szTemp) + pszFile;
    if (!WriteEmptyCollection(strPath)) {
        fprintf(stderr, "no collection file %s\n", pszFile);
        return false;
    }
    g_pCollectionFile = new CTvnxSave;
    g_pImgCache = new CImgCache;
    if (g_pCollectionFile->OpenCollection(strPath.c_str(), FALSE, 0) == 0) {
        g_pImgCache->Reset();
        const std::vector<BYTE> gif = MakeFaceGif();
        *pnFace = g_pCollectionFile->AppendRecord(gif.data(), pszPicture, static_cast<uint32_t>(gif.size()));
    }
    return true;
}

void CloseScratchCollection(const char* pszFile)
{
    delete g_pImgCache;
    g_pImgCache = NULL;
    delete g_pCollectionFile;
    g_pCollectionFile = NULL;
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    DeleteFileA((std::string(szTemp) + pszFile).c_str());
}

namespace {

// Snaps the running dialog; for the second picture it first moves the
// picture with its buttons and lets the animation run one step.
class CSnapProperties : public CModalAnswerer
{
public:
    CSnapProperties(const char* pszName, bool bMove) : m_pszName(pszName), m_bMove(bMove)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CSnapProperties() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        CDlgSmilieProp* pDlg = static_cast<CDlgSmilieProp*>(pDialog);
        SetForegroundWindow(pDlg->m_hWnd);
        if (m_bMove) {
            for (int i = 0; i < 4; i++)
                pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SMILIEPROP_LEFT, BN_CLICKED), 0);
            pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SMILIEPROP_DOWN, BN_CLICKED), 0);
            pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SMILIEPROP_DOWN, BN_CLICKED), 0);
            // One step of the animation: the wink.
            UpdateWindow(pDlg->m_hWnd);
            if (pDlg->m_nAnimTimer != 0)
                pDlg->SendMessage(WM_VTIMER, WPARAM(pDlg->m_nAnimTimer), 0);
        }
        SetFocus(GetDlgItem(pDlg->m_hWnd, IDOK));
        Snap(pDlg->m_hWnd, m_pszName);
        return IDCANCEL;
    }

private:
    const char* m_pszName;
    bool m_bMove;
    CModalAnswerer* m_pPrevious;
};

}  // namespace

void ShowSmilieProperties()
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    const std::string strPath = std::string(szTemp) + "tvnx-gallery-smilieprop.tvnx";
    if (!WriteEmptyCollection(strPath)) {
        fprintf(stderr, "the sample collection was not written\n");
        return;
    }
    CTvnxSave file;
    if (file.OpenCollection(strPath.c_str(), FALSE, 0) != CTvnxSave::openOk) {
        fprintf(stderr, "the sample collection did not open\n");
        DeleteFileA(strPath.c_str());
        return;
    }
    g_pCollectionFile = &file;
    CImgCache cache;
    cache.Reset();
    g_pImgCache = &cache;

    const Bytes gif = MakeFaceGif();
    const uint32_t nRecord = file.AppendRecord(gif.data(), "grin.gif", uint32_t(gif.size()));
    if (nRecord == 0)
        fprintf(stderr, "the sample picture was not stored\n");

    CSmilie smilie;
    smilie.m_nImageRecord = nRecord;
    smilie.m_nImageId = cache.AddCollectionImage(nRecord);
    smilie.m_nUsageCount = 27;
    SYSTEMTIME date = {2026, 11, 4, 24, 18, 42, 7, 0};
    smilie.m_Date = date;
    CString strTemplate;
    int nTextOnly = 0, nReload = 0, nCensored = 0;
    POINT offset = {0, 0};
    BYTE nCrop = 0;
    {
        CSnapProperties answerer("smilie-properties", false);
        CDlgSmilieProp dlg(&smilie, &strTemplate, &nTextOnly, NULL, &offset, &nCrop, &nCensored);
        dlg.Show();
    }
    Pump();
    smilie.SetSource("C:\\My Smilies\\Faces\\grin.gif");
    smilie.m_strPhrase = "[img]<SMILIE>[/img]";
    smilie.m_nFlags |= CSmilie::flagCensored;
    {
        CSnapProperties answerer("smilie-properties-source", true);
        CDlgSmilieProp dlg(&smilie, &strTemplate, &nTextOnly, &nReload, &offset, &nCrop, &nCensored);
        dlg.Show();
    }
    Pump();

    g_pImgCache = NULL;
    cache.RemoveAll();
    g_pCollectionFile = NULL;
    file.Close();
    DeleteFileA(strPath.c_str());
}
