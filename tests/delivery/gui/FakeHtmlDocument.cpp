// The fakes fill only the vtable slots the insertion uses; a call to any other
// slot would crash and fail the test.
#define CINTERFACE
#include "tests/delivery/gui/FakeHtmlDocument.h"
#include "delivery/ForeignWindows.h"

#include <mshtml.h>

namespace {

FakeDocumentLog* g_pLog = nullptr;

// One fake object: a vtable pointer first, as every COM object.
template <class Vtbl> struct Fake
{
    const Vtbl* lpVtbl;
    LONG nRefs;
};

template <class T> ULONG STDMETHODCALLTYPE AddRefFake(T* This)
{
    return ULONG(++reinterpret_cast<Fake<void>*>(This)->nRefs);
}

template <class T> ULONG STDMETHODCALLTYPE ReleaseFake(T* This)
{
    Fake<void>* p = reinterpret_cast<Fake<void>*>(This);
    const LONG n = --p->nRefs;
    if (n == 0) {
        g_pLog->nLiveObjects--;
        delete p;
    }
    return ULONG(n);
}

template <class Vtbl> void* NewFake(const Vtbl* vtbl)
{
    g_pLog->nLiveObjects++;
    return new Fake<Vtbl>{vtbl, 1};
}

template <class T> HRESULT AnswerQuery(T* This, REFIID riid, void** ppv, REFIID own)
{
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) || IsEqualGUID(riid, own)) {
        AddRefFake(This);
        *ppv = This;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

void Record(const char* pszKind, BSTR cmd, VARIANT_BOOL showUi, VARIANT value, VARIANT_BOOL* pfRet)
{
    g_pLog->nExecCalls++;
    g_pLog->rangeKind = pszKind;
    g_pLog->command = cmd != nullptr ? cmd : L"";
    g_pLog->argument = value.vt == VT_BSTR && value.bstrVal != nullptr ? value.bstrVal : L"";
    g_pLog->showUi = showUi;
    *pfRet = g_pLog->result;
}

// ---- ranges: a text range and a control range, alike but for their interface ----
template <class Itf, class Vtbl, const IID& Iid, bool bControl> struct RangeFake
{
    static HRESULT STDMETHODCALLTYPE Query(Itf* This, REFIID riid, void** ppv)
    {
        return AnswerQuery(This, riid, ppv, Iid);
    }
    static HRESULT STDMETHODCALLTYPE Exec(Itf*, BSTR cmd, VARIANT_BOOL ui, VARIANT v, VARIANT_BOOL* pf)
    {
        Record(bControl ? "control" : "text", cmd, ui, v, pf);
        return S_OK;
    }
    static Vtbl Make()
    {
        Vtbl v = {};
        v.QueryInterface = Query;
        v.AddRef = AddRefFake<Itf>;
        v.Release = ReleaseFake<Itf>;
        v.execCommand = Exec;
        return v;
    }
};
const IHTMLTxtRangeVtbl g_TxtVtbl = RangeFake<IHTMLTxtRange, IHTMLTxtRangeVtbl, IID_IHTMLTxtRange, false>::Make();
const IHTMLControlRangeVtbl g_CtlVtbl =
    RangeFake<IHTMLControlRange, IHTMLControlRangeVtbl, IID_IHTMLControlRange, true>::Make();

// ---- selection ----
HRESULT STDMETHODCALLTYPE SelQuery(IHTMLSelectionObject* This, REFIID riid, void** ppv)
{
    return AnswerQuery(This, riid, ppv, IID_IHTMLSelectionObject);
}
HRESULT STDMETHODCALLTYPE SelType(IHTMLSelectionObject*, BSTR* p)
{
    *p = SysAllocString(g_pLog->selectionType.c_str());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE SelRange(IHTMLSelectionObject*, IDispatch** pp)
{
    // The range kind follows the selection, as in a real document.
    if (g_pLog->selectionType == L"control")
        *pp = static_cast<IDispatch*>(NewFake(&g_CtlVtbl));
    else
        *pp = static_cast<IDispatch*>(NewFake(&g_TxtVtbl));
    return S_OK;
}
IHTMLSelectionObjectVtbl MakeSelVtbl()
{
    IHTMLSelectionObjectVtbl v = {};
    v.QueryInterface = SelQuery;
    v.AddRef = AddRefFake<IHTMLSelectionObject>;
    v.Release = ReleaseFake<IHTMLSelectionObject>;
    v.get_type = SelType;
    v.createRange = SelRange;
    return v;
}
const IHTMLSelectionObjectVtbl g_SelVtbl = MakeSelVtbl();

// ---- document ----
HRESULT STDMETHODCALLTYPE DocQuery(IHTMLDocument2* This, REFIID riid, void** ppv)
{
    return AnswerQuery(This, riid, ppv, IID_IHTMLDocument2);
}
HRESULT STDMETHODCALLTYPE DocSelection(IHTMLDocument2*, IHTMLSelectionObject** pp)
{
    *pp = static_cast<IHTMLSelectionObject*>(NewFake(&g_SelVtbl));
    return S_OK;
}
IHTMLDocument2Vtbl MakeDocVtbl()
{
    IHTMLDocument2Vtbl v = {};
    v.QueryInterface = DocQuery;
    v.AddRef = AddRefFake<IHTMLDocument2>;
    v.Release = ReleaseFake<IHTMLDocument2>;
    v.get_selection = DocSelection;
    return v;
}
const IHTMLDocument2Vtbl g_DocVtbl = MakeDocVtbl();

HRESULT WINAPI FakeFromLresult(LRESULT lResult, REFIID riid, WPARAM, void** ppv)
{
    *ppv = nullptr;
    if (lResult != kMagicLresult)
        return E_INVALIDARG;
    if (!IsEqualGUID(riid, IID_IHTMLDocument2))
        return E_NOINTERFACE;
    *ppv = NewFake(&g_DocVtbl);
    return S_OK;
}

}   // namespace

FakeDocumentLookup::FakeDocumentLookup(FakeDocumentLog* log)
{
    g_pLog = log;
    g_pfnDocumentFromLresult = FakeFromLresult;
}

FakeDocumentLookup::~FakeDocumentLookup()
{
    g_pfnDocumentFromLresult = nullptr;
    g_pLog = nullptr;
}
