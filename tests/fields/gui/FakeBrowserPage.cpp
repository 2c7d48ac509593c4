// The fakes fill only the vtable slots the lookup uses; a call to any other
// slot would crash and fail the test.
#define CINTERFACE
#include "tests/fields/gui/FakeBrowserPage.h"
#include "delivery/ForeignWindows.h"

#include <mshtml.h>

namespace {

FakePage* g_pPage = nullptr;

// One fake object: a vtable pointer first, as every COM object, then the
// image it stands for (-1: the document or the collection).
struct Fake
{
    const void* lpVtbl;
    LONG nRefs;
    int nImage;
};

void* NewFake(const void* vtbl, int nImage)
{
    g_pPage->nLiveObjects++;
    return new Fake{vtbl, 1, nImage};
}

Fake* Self(void* p)
{
    return static_cast<Fake*>(p);
}

template <class T> ULONG STDMETHODCALLTYPE AddRefFake(T* This)
{
    return ULONG(++Self(This)->nRefs);
}

template <class T> ULONG STDMETHODCALLTYPE ReleaseFake(T* This)
{
    Fake* p = Self(This);
    const LONG n = --p->nRefs;
    if (n == 0) {
        g_pPage->nLiveObjects--;
        delete p;
    }
    return ULONG(n);
}

BSTR MakeBstr(const std::wstring& s)
{
    return SysAllocString(s.c_str());
}

IHTMLImgElementVtbl g_imgVtbl;
IHTMLElementVtbl g_elementVtbl;   // an image's element side
IHTMLElementVtbl g_parentVtbl;    // the link around an image
IHTMLElementCollectionVtbl g_collectionVtbl;
IHTMLDocument2Vtbl g_documentVtbl;

template <class T> HRESULT Answer(T* This, REFIID riid, void** ppv, REFIID own)
{
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) || IsEqualGUID(riid, own)) {
        AddRefFake(This);
        *ppv = This;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ImgQuery(IHTMLImgElement* This, REFIID riid, void** ppv)
{
    return Answer(This, riid, ppv, IID_IHTMLImgElement);
}
HRESULT STDMETHODCALLTYPE ImgHref(IHTMLImgElement* This, BSTR* p)
{
    *p = MakeBstr(g_pPage->images[Self(This)->nImage].href);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ElementQuery(IHTMLElement* This, REFIID riid, void** ppv)
{
    if (IsEqualGUID(riid, IID_IHTMLImgElement)) {
        *ppv = NewFake(&g_imgVtbl, Self(This)->nImage);
        return S_OK;
    }
    return Answer(This, riid, ppv, IID_IHTMLElement);
}
HRESULT STDMETHODCALLTYPE ElementParent(IHTMLElement* This, IHTMLElement** pp)
{
    *pp = static_cast<IHTMLElement*>(NewFake(&g_parentVtbl, Self(This)->nImage));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE ParentQuery(IHTMLElement* This, REFIID riid, void** ppv)
{
    return Answer(This, riid, ppv, IID_IHTMLElement);
}
HRESULT STDMETHODCALLTYPE ParentToString(IHTMLElement* This, BSTR* p)
{
    *p = MakeBstr(g_pPage->images[Self(This)->nImage].parentText);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionQuery(IHTMLElementCollection* This, REFIID riid, void** ppv)
{
    return Answer(This, riid, ppv, IID_IHTMLElementCollection);
}
HRESULT STDMETHODCALLTYPE CollectionLength(IHTMLElementCollection*, LONG* p)
{
    *p = LONG(g_pPage->images.size());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CollectionItem(IHTMLElementCollection*, VARIANT name, VARIANT, IDispatch** pp)
{
    if (name.vt != VT_I4 || name.lVal < 0 || size_t(name.lVal) >= g_pPage->images.size()) {
        *pp = nullptr;
        return E_INVALIDARG;
    }
    *pp = static_cast<IDispatch*>(NewFake(&g_elementVtbl, int(name.lVal)));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentQuery(IHTMLDocument2* This, REFIID riid, void** ppv)
{
    return Answer(This, riid, ppv, IID_IHTMLDocument2);
}
HRESULT STDMETHODCALLTYPE DocumentImages(IHTMLDocument2*, IHTMLElementCollection** pp)
{
    *pp = static_cast<IHTMLElementCollection*>(NewFake(&g_collectionVtbl, -1));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE DocumentFromPoint(IHTMLDocument2*, LONG x, LONG y, IHTMLElement** pp)
{
    g_pPage->ptAsked = {x, y};
    *pp = g_pPage->nAtPoint >= 0 ? static_cast<IHTMLElement*>(NewFake(&g_elementVtbl, g_pPage->nAtPoint)) : nullptr;
    return S_OK;
}

void FillVtables()
{
    g_imgVtbl = {};
    g_imgVtbl.QueryInterface = ImgQuery;
    g_imgVtbl.AddRef = AddRefFake<IHTMLImgElement>;
    g_imgVtbl.Release = ReleaseFake<IHTMLImgElement>;
    g_imgVtbl.get_href = ImgHref;

    g_elementVtbl = {};
    g_elementVtbl.QueryInterface = ElementQuery;
    g_elementVtbl.AddRef = AddRefFake<IHTMLElement>;
    g_elementVtbl.Release = ReleaseFake<IHTMLElement>;
    g_elementVtbl.get_parentElement = ElementParent;

    g_parentVtbl = {};
    g_parentVtbl.QueryInterface = ParentQuery;
    g_parentVtbl.AddRef = AddRefFake<IHTMLElement>;
    g_parentVtbl.Release = ReleaseFake<IHTMLElement>;
    g_parentVtbl.toString = ParentToString;

    g_collectionVtbl = {};
    g_collectionVtbl.QueryInterface = CollectionQuery;
    g_collectionVtbl.AddRef = AddRefFake<IHTMLElementCollection>;
    g_collectionVtbl.Release = ReleaseFake<IHTMLElementCollection>;
    g_collectionVtbl.get_length = CollectionLength;
    g_collectionVtbl.item = CollectionItem;

    g_documentVtbl = {};
    g_documentVtbl.QueryInterface = DocumentQuery;
    g_documentVtbl.AddRef = AddRefFake<IHTMLDocument2>;
    g_documentVtbl.Release = ReleaseFake<IHTMLDocument2>;
    g_documentVtbl.get_images = DocumentImages;
    g_documentVtbl.elementFromPoint = DocumentFromPoint;
}

HRESULT WINAPI LookupFakePage(LRESULT lResult, REFIID riid, WPARAM, void** ppv)
{
    if (lResult != kFakePageLresult || !IsEqualGUID(riid, IID_IHTMLDocument2)) {
        *ppv = nullptr;
        return E_FAIL;
    }
    *ppv = NewFake(&g_documentVtbl, -1);
    return S_OK;
}

} // namespace

FakePageLookup::FakePageLookup(FakePage* page)
{
    g_pPage = page;
    FillVtables();
    g_pfnDocumentFromLresult = LookupFakePage;
}

FakePageLookup::~FakePageLookup()
{
    g_pfnDocumentFromLresult = nullptr;
    g_pPage = nullptr;
}
