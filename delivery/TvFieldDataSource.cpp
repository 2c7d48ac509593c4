#include "delivery/TvFieldDataSource.h"

#include "collection/CheckUrl.h"
#include "collection/Smilie.h"
#include "delivery/ComposeChecks.h"
#include "delivery/ForeignWindows.h"
#include "delivery/Insertion.h"
#include "delivery/MessengerRequest.h"
#include "delivery/SmiliePayloads.h"
#include "delivery/TargetApps.h"
#include "dialogs/Notices.h"
#include "framework/Exception.h"
#include "services/ChangeTracking.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Registered.h"
#include "services/Settings.h"

#include <cstring>
#include <new>

// ---- CTvDataObject --------------------------------------------------------------

CTvDataObject::CTvDataObject(const CTvDataObject& src) : cfFormat(0), data(NULL), size(0), kind(kindPicture)
{
    *this = src;
}

CTvDataObject& CTvDataObject::operator=(const CTvDataObject& src)
{
    if (this == &src)
        return *this;
    SetData(src.data, src.size);
    cfFormat = src.cfFormat;
    kind = src.kind;
    targets = src.targets;
    exclusions = src.exclusions;
    return *this;
}

CTvDataObject::~CTvDataObject()
{
    delete[] data;
}

void CTvDataObject::SetData(const void* pData, UINT nSize)
{
    BYTE* pCopy = NULL;
    if (pData != NULL && nSize > 0) {
        pCopy = new (std::nothrow) BYTE[nSize];
        if (pCopy == NULL)
            AfxThrowMemoryException();
        memcpy(pCopy, pData, nSize);
    }
    delete[] data;
    data = pCopy;
    size = pCopy != NULL ? nSize : 0;
}

// ---- helpers ----------------------------------------------------------------------

namespace {

CWnd* NoticeParent()
{
    const HWND hParent = GetNoticeParent();
    return hParent != NULL ? CWnd::FromHandle(hParent) : NULL;
}

HWND TopLevelOf(HWND hWnd)
{
    // GetParent gives the owner of a popup; the bound keeps a broken chain
    // from hanging the program that waits for data.
    for (int i = 0; i < 1000 && hWnd != NULL; i++) {
        const HWND hParent = ::GetParent(hWnd);
        if (hParent == NULL)
            break;
        hWnd = hParent;
    }
    return hWnd;
}

bool IsExe(const CString& strExe, const char* pszName)
{
    return _stricmp(strExe, pszName) == 0;
}

void AddPayload(CTvFieldDataSource* source, UINT cfFormat, const PAYLOADBYTES& bytes, int kind, const char* pszList,
                int* pnAdded)
{
    if (bytes.pData == NULL || bytes.nSize == 0)
        return;
    CTvDataObject payload;
    payload.SetData(bytes.pData, bytes.nSize);
    payload.kind = kind;
    if (pszList != NULL)
        ParseAppAttrList(payload.targets, pszList);
    source->AddDataObject(cfFormat, payload);
    ++*pnAdded;
}

}  // namespace

// ---- CTvFieldDataSource ---------------------------------------------------------------

CTvFieldDataSource::CTvFieldDataSource()
    : m_bDragging(FALSE), m_pLastRendered(NULL), m_bEudoraRefused(FALSE), m_hNotifyWindow(NULL),
      m_nPictureWidth(0), m_nPictureHeight(0), m_bRequestSent(FALSE)
{
    m_szPicturePath[0] = '\0';
}

CTvFieldDataSource::~CTvFieldDataSource()
{
}

void CTvFieldDataSource::AddDataObject(UINT cfFormat, const CTvDataObject& payload)
{
    DelayRenderData(CLIPFORMAT(cfFormat));
    const int i = m_Payloads.Add(payload);
    m_Payloads[i].cfFormat = CLIPFORMAT(cfFormat);
}

void CTvFieldDataSource::OnDataRendered(CTvDataObject* payload, int)
{
    if (payload != NULL && payload->kind == CTvDataObject::kindGeneric && g_Settings.WarnNoInternetConnection)
        CCheckUrl::ProbeConnection(GetTrayWindow());
}

CTvDataObject* CTvFieldDataSource::ChoosePayload(CLIPFORMAT cfFormat, const CAppAttr& asking, BOOL* pbListMatch)
{
    CTvDataObject* pBest = NULL;
    double dBest = 0;
    for (int i = 0; i < m_Payloads.GetSize(); i++) {
        CTvDataObject& payload = m_Payloads[i];
        if (payload.cfFormat != cfFormat)
            continue;
        const double d = MatchAppAttrLists(asking, payload.targets, payload.exclusions);
        if (d > dBest) {
            dBest = d;
            pBest = &payload;
        }
    }
    *pbListMatch = pBest != NULL;
    if (pBest != NULL)
        return pBest;
    for (int i = 0; i < m_Payloads.GetSize(); i++) {
        CTvDataObject& payload = m_Payloads[i];
        if (payload.cfFormat == cfFormat && payload.targets.GetSize() == 0 && payload.exclusions.GetSize() == 0)
            return &payload;
    }
    return NULL;
}

BOOL CTvFieldDataSource::OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal)
{
    // Every refusal below leaves nothing rendered: a drop that follows must
    // not report an earlier format's payload as the one the target took.
    m_pLastRendered = NULL;
    if (lpFormatEtc == NULL || phGlobal == NULL)
        return FALSE;

    // 1. Who asks. A window of this program, or none, is nobody: no rule
    // below applies, and only payloads without lists can be chosen.
    CString strTitle, strExe;
    DWORD version[2] = {0, 0};
    HWND hWindow = NULL;
    const BOOL bKnown = GetTargetApplication(strTitle, strExe, version, &hWindow, m_bDragging);
    CAppAttr asking;
    if (bKnown) {
        asking.SetExeName(strExe);
        asking.versionFrom = asking.versionTo = (ULONGLONG(version[1]) << 32) | version[0];
        asking.SetParam(strTitle);
    } else {
        strExe.Empty();
        strTitle.Empty();
        hWindow = NULL;
        version[0] = version[1] = 0;
    }
    const double dVersion = GetVersionNumber(version[1]);

    // 2. Eudora: 6.1 cannot take smilies; 6.0 takes a paste but no drop;
    // below 6 only the bitmap, and only when the user asked for it.
    if (bKnown && IsExe(strExe, "eudora.exe")) {
        if (dVersion >= 6.1 && dVersion < 6.2) {
            ShowWarnUnsupportedApp("eudora.exe", "Eudora 6.1", NoticeParent());
            return FALSE;
        }
        if (m_bDragging && dVersion >= 6.0 && dVersion < 6.1) {
            m_bEudoraRefused = TRUE;
            return FALSE;
        }
        m_bEudoraRefused = FALSE;
        if (!g_Settings.EudoraOnly && dVersion < 6.0) {
            ShowTurnOnEudoraSupport(NoticeParent());
            return FALSE;
        }
    } else {
        m_bEudoraRefused = FALSE;
    }

    // 3. The payload.
    BOOL bListMatch = FALSE;
    CTvDataObject* pChosen = ChoosePayload(lpFormatEtc->cfFormat, asking, &bListMatch);
    if (pChosen == NULL)
        return FALSE;
    const bool bTextOnly = pChosen->kind == CTvDataObject::kindTextOnly;

    // 4. The messenger takes a picture through its own dialogs: the field
    // window runs the exporter once per transfer; its text stays empty.
    if (bKnown && m_hNotifyWindow != NULL && m_szPicturePath[0] != '\0' && !bTextOnly &&
        IsExe(strExe, "msnmsgr.exe") && HIWORD(version[1]) >= 6) {
        if (!m_bRequestSent) {
            g_MsnExportRequest.size = kMsnExportRequestSize;
            g_MsnExportRequest.window = hWindow;
            g_MsnExportRequest.app = asking;
            g_MsnExportRequest.dragging = m_bDragging;
            lstrcpynA(g_MsnExportRequest.picturePath, m_szPicturePath, sizeof(g_MsnExportRequest.picturePath));
            g_MsnExportRequest.pictureWidth = m_nPictureWidth;
            g_MsnExportRequest.pictureHeight = m_nPictureHeight;
            ::PostMessageA(m_hNotifyWindow, WM_EXPORTTOMESSENGER, 1, reinterpret_cast<LPARAM>(&g_MsnExportRequest));
            m_bRequestSent = TRUE;
        }
        if (lpFormatEtc->cfFormat != CF_TEXT)
            return FALSE;
        static const char kEmpty[1] = {'\0'};
        if (!CopyToGlobal(kEmpty, 1, phGlobal))
            return FALSE;
        m_pLastRendered = NULL;
        return TRUE;
    }

    // 5. AOL 9.5 and later takes no picture from the clipboard: it goes into
    // the editor's document, once per transfer.
    if (bKnown && g_Settings.InsertLocalSmilies && IsExe(strExe, "waol.exe") && dVersion >= 9.5) {
        if (pChosen->targets.GetSize() > 0 && !m_bRequestSent) {
            // The asking window is the one that had the focus, somewhere
            // inside AOL's frame window.
            InsertAolImage(TopLevelOf(hWindow), m_szPicturePath);
            m_bRequestSent = TRUE;
        }
        return FALSE;
    }

    // 6. A payload no list chose for this program: programs that cannot
    // take smilies are told so; The Bat! 3 gets the bitmap instead.
    if (bKnown && !bListMatch && !bTextOnly) {
        if (const UNSUPPORTEDAPP* pApp = FindUnsupportedApp(strExe)) {
            ShowWarnUnsupportedApp(pApp->pszExeName, pApp->pszAppName, NoticeParent());
            return FALSE;
        }
        if (IsExe(strExe, "thebat.exe") && HIWORD(DWORD(g_TheBatVersion >> 32)) >= 3)
            return FALSE;
    }

    // 7. The compose windows of Outlook Express and Windows Mail, searched
    // from the asking window's top-level window (the asking window is the
    // focused child). These only advise.
    if (bKnown && hWindow != NULL && ::IsWindow(hWindow)) {
        const HWND hCompose = TopLevelOf(hWindow);
        if (!bTextOnly && IsExe(strExe, "msimn.exe") && dVersion >= 4)
            CheckOutlookExpressCompose(hCompose);
        if (IsExe(strExe, "winmail.exe") && dVersion >= 6) {
            if (!CheckWindowsMailSettings(dVersion) && !bTextOnly)
                CheckWindowsMailCompose(hCompose);
        }
    }

    // 8. Mail programs that write plain text would get the text in place of
    // the picture: they are told how to switch HTML on.
    if (bKnown && pChosen->cfFormat == CF_TEXT && !bTextOnly) {
        if (const HTMLOFFAPP* pApp = FindHtmlOffApp(strExe, version[1])) {
            ShowWarnAppHtmlIsOff(pApp->pszAppName, pApp->pszAdvice, 0, NoticeParent());
            return FALSE;
        }
    }

    // 9. Render.
    if (pChosen->data == NULL || pChosen->size == 0)
        return FALSE;
    if (!CopyToGlobal(pChosen->data, pChosen->size, phGlobal))
        return FALSE;
    m_pLastRendered = pChosen;
    if (!m_bDragging)
        OnDataRendered(pChosen, 0);
    return TRUE;
}

// ---- filling ---------------------------------------------------------------------------

void RecordSmilieUse(CSequence<CSmilie*>* smilies)
{
    if (smilies == NULL)
        return;
    for (int i = 0; i < smilies->GetSize(); i++) {
        CSmilie* pSmilie = (*smilies)[i];
        if (pSmilie == NULL)
            continue;
        ::GetLocalTime(&pSmilie->m_Date);
        pSmilie->m_nUsageCount++;
    }
    if (g_bChangeTracking)
        g_bCollectionChanged = TRUE;
}

int FillDataSource(CSequence<CSmilie*>* smilies, HWND fieldWindow, CTvFieldDataSource* source, BOOL bEudoraOnly)
{
    if (smilies == NULL || smilies->GetSize() == 0 || source == NULL || (*smilies)[0] == NULL)
        return 0;
    const CSmilie* pFirst = (*smilies)[0];
    CString strSource;
    pFirst->GetSource(strSource);
    const bool bPicture = pFirst->m_nImageRecord != 0;
    const bool bLocalPicture = bPicture && strSource.IsEmpty();
    const bool bTextOnly = !bPicture && strSource.IsEmpty() && !pFirst->m_strPhrase.IsEmpty();

    // A drag counts its use after a drop elsewhere; the clipboard road here.
    if (!source->m_bDragging)
        RecordSmilieUse(smilies);

    CString strText;
    if (bLocalPicture) {
        strText = GetLangString(smilies->GetSize() == 1 ? 421 : 420);
    } else {
        for (int i = 0; i < smilies->GetSize(); i++) {
            if ((*smilies)[i] == NULL)
                continue;
            CString strOne;
            (*smilies)[i]->ComposeText(strOne);
            strText += strOne;
        }
    }

    int nAdded = 0;
    if (!strText.IsEmpty() && (!bEudoraOnly || bTextOnly)) {
        PAYLOADBYTES text;
        text.pData = reinterpret_cast<BYTE*>(const_cast<char*>(strText.GetString()));
        text.nSize = UINT(strText.GetLength() + 1);
        AddPayload(source, CF_TEXT, text, bTextOnly ? CTvDataObject::kindTextOnly : CTvDataObject::kindPicture,
                   NULL, &nAdded);
    }

    const CLIPFORMAT cfHtml = GetHtmlClipFormat();
    const CLIPFORMAT cfNetscape = GetNetscapeEditorClipFormat();
    const CLIPFORMAT cfRtf = CLIPFORMAT(::RegisterClipboardFormatA("Rich Text Format"));
    const int kPic = CTvDataObject::kindPicture, kGen = CTvDataObject::kindGeneric;
    SMILIEPAYLOADS out;
    if (g_Settings.InsertLocalSmilies || bLocalPicture) {
        if (RenderSmiliePayloads(&out, pFirst, strSource)) {
            if (bEudoraOnly) {
                AddPayload(source, CF_DIB, out.dib, kPic, EudoraDibList, &nAdded);
            } else {
                AddPayload(source, cfHtml, out.htmlMail, kPic, HtmlMailList, &nAdded);
                AddPayload(source, cfHtml, out.htmlPage, kPic, HtmlPageList, &nAdded);
                AddPayload(source, cfHtml, out.incrediMailPage, kPic, IncrediMailList, &nAdded);
                AddPayload(source, cfHtml, out.htmlFragmentByAddress, kGen, NULL, &nAdded);
                AddPayload(source, cfHtml, out.htmlMailByAddress, kGen, WebShopList, &nAdded);
                AddPayload(source, cfHtml, out.htmlFragment, kPic, HtmlFragmentList, &nAdded);
                AddPayload(source, cfHtml, out.htmlFragmentSized, kPic, EudoraHtmlList, &nAdded);
                AddPayload(source, cfNetscape, out.netscapeEditor, kPic, NetscapeList, &nAdded);
                AddPayload(source, cfRtf, out.rtf, kPic, PegasusList, &nAdded);
                AddPayload(source, CF_DIB, out.dib, kPic, TheBat3List, &nAdded);
            }
        }
    } else {
        // The picture has a web address and the user does not insert local
        // copies: the address goes first.
        out.textHtml.nSize = 1;
        if (RenderSmiliePayloads(&out, pFirst, strSource)) {
            if (bEudoraOnly) {
                AddPayload(source, CF_DIB, out.dib, kPic, EudoraDibList, &nAdded);
            } else {
                AddPayload(source, cfHtml, out.htmlMail, kPic, HtmlMailByAddressList, &nAdded);
                AddPayload(source, cfHtml, out.htmlFragmentByAddress, kGen, NULL, &nAdded);
                AddPayload(source, cfHtml, out.htmlPage, kPic, HtmlPageList, &nAdded);
                AddPayload(source, cfHtml, out.htmlMailByAddress, kGen, WebShopList, &nAdded);
                AddPayload(source, GetTextHtmlClipFormat(), out.textHtmlByAddress, kGen, NULL, &nAdded);
                AddPayload(source, cfHtml, out.htmlFragment, kPic, HtmlFragmentByAddressList, &nAdded);
                AddPayload(source, cfHtml, out.htmlFragmentSized, kPic, EudoraHtmlList, &nAdded);
                AddPayload(source, cfNetscape, out.netscapeEditor, kPic, NetscapeList, &nAdded);
                AddPayload(source, cfRtf, out.rtf, kPic, PegasusList, &nAdded);
                AddPayload(source, CF_DIB, out.dib, kPic, TheBat3List, &nAdded);
            }
        }
    }
    if (fieldWindow != NULL && out.picturePath != NULL && out.picturePath[0] != '\0')
        SetMessengerRequest(fieldWindow, out.picturePath, source, out.pictureWidth, out.pictureHeight);
    return nAdded > 0;
}

void SetMessengerRequest(HWND fieldWindow, const char* picturePath, CTvFieldDataSource* source, int width, int height)
{
    if (source == NULL)
        return;
    source->m_hNotifyWindow = fieldWindow;
    lstrcpynA(source->m_szPicturePath, picturePath != NULL ? picturePath : "", sizeof(source->m_szPicturePath));
    source->m_nPictureWidth = width;
    source->m_nPictureHeight = height;
    source->m_bRequestSent = FALSE;
}

int CopyToGlobal(const void* pBytes, UINT nSize, HGLOBAL* phGlobal)
{
    if (phGlobal == NULL || (pBytes == NULL && nSize > 0))
        return 0;
    HGLOBAL hGlobal = *phGlobal;
    const bool bNew = hGlobal == NULL;
    if (bNew) {
        hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, nSize != 0 ? nSize : 1);
        if (hGlobal == NULL)
            return 0;
    } else if (::GlobalSize(hGlobal) < nSize) {
        return 0;
    }
    void* p = ::GlobalLock(hGlobal);
    if (p == NULL) {
        if (bNew)
            ::GlobalFree(hGlobal);
        return 0;
    }
    if (nSize > 0)
        memcpy(p, pBytes, nSize);
    ::GlobalUnlock(hGlobal);
    *phGlobal = hGlobal;
    return 1;
}
