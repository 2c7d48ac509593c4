#include "framework/OleDataObject.h"

#include "framework/OleGlobal.h"

namespace {

FORMATETC GlobalFormat(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC format = {cfFormat, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (lpFormatEtc != NULL) {
        format = *lpFormatEtc;
        format.cfFormat = cfFormat;
        format.tymed = TYMED_HGLOBAL;
    }
    return format;
}

}  // namespace

COleDataObject::COleDataObject() : m_lpDataObject(NULL), m_bAutoRelease(TRUE), m_lpEnumerator(NULL)
{
}

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    ReleaseEnumerator();
    LPDATAOBJECT lpDataObject = m_lpDataObject;
    m_lpDataObject = NULL;
    return lpDataObject;
}

BOOL COleDataObject::AttachClipboard()
{
    Release();
    LPDATAOBJECT lpDataObject = NULL;
    if (FAILED(OleGetClipboard(&lpDataObject)) || lpDataObject == NULL)
        return FALSE;
    Attach(lpDataObject, TRUE);
    return TRUE;
}

void COleDataObject::ReleaseEnumerator()
{
    if (m_lpEnumerator != NULL)
        m_lpEnumerator->Release();
    m_lpEnumerator = NULL;
}

void COleDataObject::Release()
{
    ReleaseEnumerator();
    if (m_lpDataObject != NULL && m_bAutoRelease)
        m_lpDataObject->Release();
    m_lpDataObject = NULL;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == NULL)
        return FALSE;
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    return m_lpDataObject->QueryGetData(&format) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == NULL)
        return NULL;
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    STGMEDIUM medium = {};
    if (FAILED(m_lpDataObject->GetData(&format, &medium)))
        return NULL;
    if (medium.tymed != TYMED_HGLOBAL || medium.hGlobal == NULL) {
        ReleaseStgMedium(&medium);
        return NULL;
    }
    // Without pUnkForRelease the block is ours now; with it, the block stays
    // with the data object and only a copy can be given away.
    if (medium.pUnkForRelease == NULL)
        return medium.hGlobal;
    HGLOBAL copy = CopyGlobalBlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return copy;
}

void COleDataObject::BeginEnumFormats()
{
    ReleaseEnumerator();
    if (m_lpDataObject != NULL && FAILED(m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator)))
        m_lpEnumerator = NULL;
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    if (m_lpEnumerator == NULL || lpFormatEtc == NULL)
        return FALSE;
    ULONG fetched = 0;
    return m_lpEnumerator->Next(1, lpFormatEtc, &fetched) == S_OK && fetched == 1;
}

LPDATAOBJECT COleDataObject::GetIDataObject(BOOL bAddRef)
{
    if (m_lpDataObject != NULL && bAddRef)
        m_lpDataObject->AddRef();
    return m_lpDataObject;
}
