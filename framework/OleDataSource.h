// A data object of our own for the clipboard and for OLE drags: formats whose
// data is given now (CacheGlobalData) and formats promised for later
// (DelayRenderData) that are rendered through the virtual OnRenderGlobalData
// only when a reader asks for them.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <vector>

// What a drop does: DROPEFFECT_NONE, _COPY, _MOVE, _LINK, plus _SCROLL while a target scrolls.
typedef DWORD DROPEFFECT;

class COleDropSource;

class COleDataSource
{
public:
    COleDataSource();
    // A reader that still holds the IDataObject (a drop target may keep it
    // after the drop) is not left with a dead object: the COM object lives on
    // by its own count, serves the cached formats and refuses the delayed
    // ones, since there is nobody left to render them.
    virtual ~COleDataSource();

    // Offers cfFormat with data that exists now. When the call returns, the data
    // source owns hGlobal and frees it; when it throws (CMemoryException*), the
    // block still belongs to the caller. A format offered before is replaced;
    // a NULL block offers nothing. Readers get a copy of the block, never the
    // block itself.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = NULL);
    // Offers cfFormat without data: OnRenderGlobalData makes it when a reader
    // asks. A format offered before is replaced. Throws CMemoryException*.
    void DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
    // Withdraws every format and frees the cached blocks.
    void Empty();

    // Puts this data source on the clipboard. The clipboard owns it from then on,
    // whatever the outcome: it must have been made with new, and the caller must
    // not touch it afterwards (it is deleted when the clipboard lets it go, or at
    // once when it could not be set). Returns FALSE when it could not be set.
    // The owner thread must pump messages while other programs read, because the
    // system asks the owner for delayed data by message.
    BOOL SetClipboard();

    // Runs the system's drag loop with this data source. Before it starts, the
    // drop source's OnBeginDrag waits for the mouse to leave lpRectStartDrag
    // (screen coordinates; NULL: the system's drag distance around the cursor;
    // an all-zero rectangle: no wait). Without a drop source a plain one is used.
    // Returns the effect of the drop, DROPEFFECT_NONE when cancelled or refused.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = NULL, COleDropSource* pDropSource = NULL);

    // The IDataObject of this source, without a reference added.
    LPDATAOBJECT GetInterface() { return m_pDataObject; }

    // Reference counting of the COM object. The count starts at 1 (the creator's);
    // when it drops to 0 the object deletes itself. A source used only for a
    // drag may be destroyed like any object (on the stack, or with delete):
    // references a reader kept beyond the drag then hold the COM object alone.
    ULONG InternalAddRef();
    ULONG InternalRelease();

protected:
    // Renders a delayed format. *phGlobal is NULL when the reader wants a new
    // block (allocate a movable one and store it); otherwise it is the reader's
    // block, to be filled in place when it is big enough. Returns TRUE when it
    // rendered; FALSE refuses this request, and the format stays offered.
    virtual BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal);

private:
    struct Entry
    {
        FORMATETC format;
        HGLOBAL hGlobal;  // the cached block; NULL for a delayed format
    };

    // The COM face. It holds the offered formats and lives by its own count:
    // one reference for its source while the source lives, one per reader.
    class DataObject : public IDataObject
    {
    public:
        explicit DataObject(COleDataSource* owner) : m_owner(owner), m_cRef(1) {}
        virtual ~DataObject();
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
        STDMETHODIMP GetDataHere(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
        STDMETHODIMP QueryGetData(FORMATETC* pFormat) override;
        STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* pFormatIn, FORMATETC* pFormatOut) override;
        STDMETHODIMP SetData(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL fRelease) override;
        STDMETHODIMP EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
        STDMETHODIMP DAdvise(FORMATETC* pFormat, DWORD advf, IAdviseSink* pSink, DWORD* pConnection) override;
        STDMETHODIMP DUnadvise(DWORD dwConnection) override;
        STDMETHODIMP EnumDAdvise(IEnumSTATDATA** ppEnum) override;

        // The source is going: drops its reference; readers keep the rest.
        void DetachOwner();

        Entry* Find(const FORMATETC& format);
        Entry* Offer(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc);
        void Empty();
        HRESULT QueryEntry(const FORMATETC* pFormat, Entry** ppEntry);
        HRESULT GetDataOf(FORMATETC* pFormat, STGMEDIUM* pMedium);
        HRESULT GetDataHereOf(FORMATETC* pFormat, STGMEDIUM* pMedium);
        HRESULT EnumFormats(IEnumFORMATETC** ppEnum);

    private:
        // NULL once the source is gone: delayed formats then fail.
        COleDataSource* m_owner;
        LONG m_cRef;
        std::vector<Entry> m_entries;
    };

    LONG m_cRef;
    DataObject* m_pDataObject;

    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;
};
