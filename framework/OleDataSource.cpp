#include "framework/OleDataSource.h"

#include <cstring>
#include <new>
#include <typeinfo>
#include "framework/Exception.h"
#include "framework/OleDropSource.h"
#include "framework/OleGlobal.h"
#include "framework/Wnd.h"

namespace {

// A snapshot of the offered formats, as IEnumFORMATETC hands them out.
class FormatEnum : public IEnumFORMATETC
{
public:
    FormatEnum(const std::vector<FORMATETC>& formats, size_t next)
        : m_cRef(1), m_formats(formats), m_next(next) {}
    virtual ~FormatEnum() {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
            *ppv = static_cast<IEnumFORMATETC*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_cRef); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&m_cRef);
        if (n == 0)
            delete this;
        return n;
    }
    STDMETHODIMP Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override
    {
        if (rgelt == NULL || (celt != 1 && pceltFetched == NULL))
            return E_INVALIDARG;
        ULONG fetched = 0;
        while (fetched < celt && m_next < m_formats.size())
            rgelt[fetched++] = m_formats[m_next++];
        if (pceltFetched != NULL)
            *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG celt) override
    {
        size_t left = m_formats.size() - m_next;
        if (celt > left) {
            m_next = m_formats.size();
            return S_FALSE;
        }
        m_next += celt;
        return S_OK;
    }
    STDMETHODIMP Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumFORMATETC** ppEnum) override
    {
        if (ppEnum == NULL)
            return E_POINTER;
        *ppEnum = new (std::nothrow) FormatEnum(m_formats, m_next);
        return *ppEnum != NULL ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG m_cRef;
    std::vector<FORMATETC> m_formats;
    size_t m_next;
};

// The result a COM method gives for an exception that reached it.
HRESULT FailureFor(CException* e)
{
    HRESULT hr = dynamic_cast<CMemoryException*>(e) != NULL ? E_OUTOFMEMORY : E_UNEXPECTED;
    e->Delete();
    return hr;
}

}  // namespace

// Exceptions never leave a COM method: the caller is the system or another
// program, which knows nothing of ours.
#define OLE_GUARD(call)                                   \
    try {                                                 \
        return call;                                      \
    } catch (CException* e) {                             \
        return FailureFor(e);                             \
    } catch (const std::bad_alloc&) {                     \
        return E_OUTOFMEMORY;                             \
    } catch (...) {                                       \
        return E_UNEXPECTED;                              \
    }

COleDataSource::COleDataSource() : m_cRef(1), m_pDataObject(NULL)
{
    m_pDataObject = new (std::nothrow) DataObject(this);
    if (m_pDataObject == NULL)
        AfxThrowMemoryException();
}

COleDataSource::~COleDataSource()
{
    m_pDataObject->DetachOwner();
}

COleDataSource::DataObject::~DataObject()
{
    Empty();
}

void COleDataSource::DataObject::DetachOwner()
{
    m_owner = NULL;
    Release();
}

ULONG COleDataSource::InternalAddRef()
{
    return InterlockedIncrement(&m_cRef);
}

ULONG COleDataSource::InternalRelease()
{
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return n;
}

COleDataSource::Entry* COleDataSource::DataObject::Find(const FORMATETC& format)
{
    for (Entry& e : m_entries) {
        if (e.format.cfFormat == format.cfFormat && e.format.dwAspect == format.dwAspect &&
            e.format.lindex == format.lindex)
            return &e;
    }
    return NULL;
}

COleDataSource::Entry* COleDataSource::DataObject::Offer(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC format = {cfFormat, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (lpFormatEtc != NULL) {
        format.dwAspect = lpFormatEtc->dwAspect;
        format.lindex = lpFormatEtc->lindex;
    }
    // Only global memory is served; a target device is not kept.
    Entry* entry = Find(format);
    if (entry != NULL) {
        if (entry->hGlobal != NULL)
            GlobalFree(entry->hGlobal);
        entry->hGlobal = NULL;
        return entry;
    }
    try {
        m_entries.push_back(Entry{format, NULL});
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    return &m_entries.back();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    // No block is no data; an entry without a block would read as delayed.
    if (hGlobal == NULL)
        return;
    Entry* entry = m_pDataObject->Offer(cfFormat, lpFormatEtc);
    entry->hGlobal = hGlobal;
}

void COleDataSource::DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    m_pDataObject->Offer(cfFormat, lpFormatEtc);
}

void COleDataSource::Empty()
{
    m_pDataObject->Empty();
}

void COleDataSource::DataObject::Empty()
{
    for (Entry& e : m_entries) {
        if (e.hGlobal != NULL)
            GlobalFree(e.hGlobal);
    }
    m_entries.clear();
}

BOOL COleDataSource::OnRenderGlobalData(LPFORMATETC, HGLOBAL*)
{
    return FALSE;
}

BOOL COleDataSource::SetClipboard()
{
    HRESULT hr = OleSetClipboard(m_pDataObject);
    // The clipboard holds its own reference now; the creator's goes.
    InternalRelease();
    return SUCCEEDED(hr);
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource)
{
    COleDropSource plainSource;
    if (pDropSource == NULL)
        pDropSource = &plainSource;
    // The window that was tracking the mouse started the drag.
    HWND hWndStart = ::GetCapture() != NULL ? ::GetCapture() : ::GetFocus();
    if (!pDropSource->PrepareDrag(lpRectStartDrag, CWnd::FromHandle(hWndStart)))
        return DROPEFFECT_NONE;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(m_pDataObject, pDropSource->GetInterface(), dwEffects, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

HRESULT COleDataSource::DataObject::QueryEntry(const FORMATETC* pFormat, Entry** ppEntry)
{
    if (pFormat == NULL)
        return E_INVALIDARG;
    bool formatSeen = false;
    for (Entry& e : m_entries) {
        if (e.format.cfFormat != pFormat->cfFormat)
            continue;
        formatSeen = true;
        if (e.format.dwAspect != pFormat->dwAspect)
            continue;
        if (pFormat->lindex != -1 && pFormat->lindex != e.format.lindex)
            continue;
        if ((pFormat->tymed & e.format.tymed) == 0)
            return DV_E_TYMED;
        if (ppEntry != NULL)
            *ppEntry = &e;
        return S_OK;
    }
    return formatSeen ? DV_E_DVASPECT : DV_E_FORMATETC;
}

HRESULT COleDataSource::DataObject::GetDataOf(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    if (pMedium == NULL)
        return E_INVALIDARG;
    memset(pMedium, 0, sizeof(*pMedium));
    Entry* entry = NULL;
    HRESULT hr = QueryEntry(pFormat, &entry);
    if (FAILED(hr))
        return hr;
    if (entry->hGlobal != NULL) {
        // The reader frees what it gets, so it gets a copy.
        HGLOBAL copy = CopyGlobalBlock(entry->hGlobal);
        if (copy == NULL)
            return E_OUTOFMEMORY;
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = copy;
        return S_OK;
    }
    if (m_owner == NULL)
        return E_FAIL;   // nobody is left to render it
    FORMATETC format = *pFormat;
    format.tymed = TYMED_HGLOBAL;
    HGLOBAL rendered = NULL;
    BOOL ok = m_owner->OnRenderGlobalData(&format, &rendered);
    if (!ok || rendered == NULL) {
        if (rendered != NULL)
            GlobalFree(rendered);
        return E_FAIL;
    }
    pMedium->tymed = TYMED_HGLOBAL;
    pMedium->hGlobal = rendered;
    return S_OK;
}

HRESULT COleDataSource::DataObject::GetDataHereOf(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    if (pMedium == NULL)
        return E_INVALIDARG;
    Entry* entry = NULL;
    HRESULT hr = QueryEntry(pFormat, &entry);
    if (FAILED(hr))
        return hr;
    if (pMedium->tymed != TYMED_HGLOBAL || pMedium->hGlobal == NULL)
        return DV_E_TYMED;
    if (entry->hGlobal != NULL)
        return CopyGlobalInto(entry->hGlobal, pMedium->hGlobal) ? S_OK : STG_E_MEDIUMFULL;
    if (m_owner == NULL)
        return E_FAIL;
    FORMATETC format = *pFormat;
    format.tymed = TYMED_HGLOBAL;
    HGLOBAL given = pMedium->hGlobal;
    HGLOBAL rendered = given;
    BOOL ok = m_owner->OnRenderGlobalData(&format, &rendered);
    if (rendered != given) {
        // The block is the reader's; a renderer that swapped it in spite of that
        // has made one of its own, which nobody else would free.
        if (rendered != NULL)
            GlobalFree(rendered);
        return E_FAIL;
    }
    return ok ? S_OK : E_FAIL;
}

HRESULT COleDataSource::DataObject::EnumFormats(IEnumFORMATETC** ppEnum)
{
    if (ppEnum == NULL)
        return E_POINTER;
    *ppEnum = NULL;
    std::vector<FORMATETC> formats;
    formats.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        formats.push_back(e.format);
    *ppEnum = new FormatEnum(formats, 0);
    return S_OK;
}

// --- the COM face ----------------------------------------------------------

STDMETHODIMP COleDataSource::DataObject::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

// While the source lives, every reference to the COM object also holds the
// source (a source handed to the clipboard is deleted by its last release).
STDMETHODIMP_(ULONG) COleDataSource::DataObject::AddRef()
{
    LONG n = InterlockedIncrement(&m_cRef);
    if (m_owner != NULL)
        m_owner->InternalAddRef();
    return static_cast<ULONG>(n);
}

STDMETHODIMP_(ULONG) COleDataSource::DataObject::Release()
{
    COleDataSource* owner = m_owner;
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) {
        delete this;
        return 0;
    }
    // The source's own reference keeps this object alive through the call
    // below, which may delete the source and with it that reference.
    if (owner != NULL)
        owner->InternalRelease();
    return static_cast<ULONG>(n);
}

STDMETHODIMP COleDataSource::DataObject::GetData(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    OLE_GUARD(GetDataOf(pFormat, pMedium))
}

STDMETHODIMP COleDataSource::DataObject::GetDataHere(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    OLE_GUARD(GetDataHereOf(pFormat, pMedium))
}

STDMETHODIMP COleDataSource::DataObject::QueryGetData(FORMATETC* pFormat)
{
    OLE_GUARD(QueryEntry(pFormat, NULL))
}

STDMETHODIMP COleDataSource::DataObject::GetCanonicalFormatEtc(FORMATETC* pFormatIn, FORMATETC* pFormatOut)
{
    if (pFormatOut == NULL)
        return E_INVALIDARG;
    // Every format is served the same whatever the target device: the
    // caller's format is the canonical one.
    pFormatOut->ptd = NULL;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::DataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleDataSource::DataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum)
{
    if (ppEnum != NULL)
        *ppEnum = NULL;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    OLE_GUARD(EnumFormats(ppEnum))
}

STDMETHODIMP COleDataSource::DataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::DataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::DataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
