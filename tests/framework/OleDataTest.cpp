// The data source and the data object spoken to through IDataObject, as the
// system and other programs speak to them: which requests are served, what
// is rendered when, who owns the blocks handed out, and that nothing thrown
// inside crosses the COM boundary.
#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "framework/Framework.h"

namespace {

HGLOBAL MakeBlock(const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block != NULL && !bytes.empty()) {
        memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

std::string BytesOf(HGLOBAL block)
{
    if (block == NULL)
        return "<null>";
    std::string bytes(GlobalSize(block), '\0');
    if (!bytes.empty()) {
        memcpy(&bytes[0], GlobalLock(block), bytes.size());
        GlobalUnlock(block);
    }
    return bytes;
}

// What a test source is to render, and what it did.
struct RenderPlan
{
    std::map<UINT, std::string> payloads;  // formats rendered with these bytes
    std::map<UINT, int> renders;           // OnRenderGlobalData calls per format
    UINT throwMemory = 0;                  // format whose rendering throws CMemoryException*
    UINT throwOther = 0;                   // format whose rendering throws an int
    UINT swapBlock = 0;                    // format rendered into a new block even when given one
    int destroyed = 0;
};

class PlannedSource : public COleDataSource
{
public:
    explicit PlannedSource(RenderPlan* plan) : m_plan(plan) {}
    ~PlannedSource() override { ++m_plan->destroyed; }

protected:
    BOOL OnRenderGlobalData(LPFORMATETC format, HGLOBAL* block) override
    {
        ++m_plan->renders[format->cfFormat];
        if (format->cfFormat == m_plan->throwMemory)
            AfxThrowMemoryException();
        if (format->cfFormat == m_plan->throwOther)
            throw 7;
        auto it = m_plan->payloads.find(format->cfFormat);
        if (it == m_plan->payloads.end())
            return FALSE;
        const std::string& bytes = it->second;
        if (*block == NULL || format->cfFormat == m_plan->swapBlock) {
            *block = MakeBlock(bytes);
            return *block != NULL;
        }
        if (GlobalSize(*block) < bytes.size())
            return FALSE;
        memcpy(GlobalLock(*block), bytes.data(), bytes.size());
        GlobalUnlock(*block);
        return TRUE;
    }

private:
    RenderPlan* m_plan;
};

FORMATETC Format(UINT cf, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT, LONG lindex = -1)
{
    FORMATETC f = {static_cast<CLIPFORMAT>(cf), NULL, aspect, lindex, tymed};
    return f;
}

class OleDataSourceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        cfCached = RegisterClipboardFormatA("TvnxTest Cached");
        cfDelayed = RegisterClipboardFormatA("TvnxTest Delayed");
        cfRefused = RegisterClipboardFormatA("TvnxTest Refused");
        cfAbsent = RegisterClipboardFormatA("TvnxTest Never Offered");
        plan.payloads[cfDelayed] = std::string("delayed\0", 8);
        source = new PlannedSource(&plan);
        source->CacheGlobalData(static_cast<CLIPFORMAT>(cfCached), MakeBlock("cached"));
        source->DelayRenderData(static_cast<CLIPFORMAT>(cfDelayed));
        source->DelayRenderData(static_cast<CLIPFORMAT>(cfRefused));
        data = source->GetInterface();
    }
    void TearDown() override
    {
        source->InternalRelease();
        EXPECT_EQ(plan.destroyed, 1);
    }

    UINT cfCached = 0, cfDelayed = 0, cfRefused = 0, cfAbsent = 0;
    RenderPlan plan;
    PlannedSource* source = nullptr;
    IDataObject* data = nullptr;
};

TEST_F(OleDataSourceTest, ServesWhatIsOfferedAndRendersOnlyInGetData)
{
    struct Row
    {
        const char* name;
        UINT cf;
        DWORD tymed;
        DWORD aspect;
        LONG lindex;
        HRESULT query;    // QueryGetData: offered or not, never rendered
        HRESULT get;      // GetData
        std::string bytes;
    };
    const Row rows[] = {
        {"cached", cfCached, TYMED_HGLOBAL, DVASPECT_CONTENT, -1, S_OK, S_OK, "cached"},
        {"delayed", cfDelayed, TYMED_HGLOBAL, DVASPECT_CONTENT, -1, S_OK, S_OK, std::string("delayed\0", 8)},
        {"several media asked", cfDelayed, TYMED_HGLOBAL | TYMED_ISTREAM, DVASPECT_CONTENT, -1, S_OK, S_OK,
         std::string("delayed\0", 8)},
        {"refused by the renderer", cfRefused, TYMED_HGLOBAL, DVASPECT_CONTENT, -1, S_OK, E_FAIL, ""},
        {"never offered", cfAbsent, TYMED_HGLOBAL, DVASPECT_CONTENT, -1, DV_E_FORMATETC, DV_E_FORMATETC, ""},
        {"stream only", cfCached, TYMED_ISTREAM, DVASPECT_CONTENT, -1, DV_E_TYMED, DV_E_TYMED, ""},
        {"icon aspect", cfCached, TYMED_HGLOBAL, DVASPECT_ICON, -1, DV_E_DVASPECT, DV_E_DVASPECT, ""},
        {"other piece", cfCached, TYMED_HGLOBAL, DVASPECT_CONTENT, 3, DV_E_DVASPECT, DV_E_DVASPECT, ""},
    };
    for (const Row& row : rows) {
        FORMATETC f = Format(row.cf, row.tymed, row.aspect, row.lindex);
        int before = plan.renders[row.cf];
        EXPECT_EQ(data->QueryGetData(&f), row.query) << row.name;
        EXPECT_EQ(plan.renders[row.cf], before) << row.name << ": QueryGetData rendered";

        STGMEDIUM medium;
        HRESULT hr = data->GetData(&f, &medium);
        EXPECT_EQ(hr, row.get) << row.name;
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(medium.tymed, (DWORD)TYMED_HGLOBAL) << row.name;
            EXPECT_TRUE(medium.pUnkForRelease == NULL) << row.name;
            EXPECT_EQ(BytesOf(medium.hGlobal), row.bytes) << row.name;
            ReleaseStgMedium(&medium);
        }
        bool delayed = row.cf == cfDelayed || row.cf == cfRefused;
        int expected = before + (delayed && row.query == S_OK ? 1 : 0);
        EXPECT_EQ(plan.renders[row.cf], expected) << row.name << ": renders per GetData";
    }
    EXPECT_EQ(plan.renders[cfCached], 0);
}

TEST_F(OleDataSourceTest, ReadersGetCopiesOfTheCachedBlock)
{
    FORMATETC f = Format(cfCached);
    STGMEDIUM first;
    ASSERT_EQ(data->GetData(&f, &first), S_OK);
    memset(GlobalLock(first.hGlobal), 'X', 6);
    GlobalUnlock(first.hGlobal);
    ReleaseStgMedium(&first);  // frees the reader's block, not the source's

    STGMEDIUM second;
    ASSERT_EQ(data->GetData(&f, &second), S_OK);
    EXPECT_EQ(BytesOf(second.hGlobal), "cached");
    ReleaseStgMedium(&second);
}

TEST_F(OleDataSourceTest, GetDataHereFillsTheReadersBlockOrRefuses)
{
    plan.payloads[cfRefused] = "swapped";
    plan.swapBlock = cfRefused;
    struct Row
    {
        const char* name;
        UINT cf;
        SIZE_T blockSize;
        HRESULT expected;
        std::string prefix;  // the block's first bytes afterwards
    };
    const Row rows[] = {
        {"cached, room enough", cfCached, 10, S_OK, "cached"},
        {"cached, block too small", cfCached, 3, STG_E_MEDIUMFULL, ""},
        {"delayed, room enough", cfDelayed, 8, S_OK, std::string("delayed\0", 8)},
        {"delayed, block too small", cfDelayed, 4, E_FAIL, ""},
        {"renderer swaps the block", cfRefused, 16, E_FAIL, ""},
        {"never offered", cfAbsent, 16, DV_E_FORMATETC, ""},
    };
    for (const Row& row : rows) {
        FORMATETC f = Format(row.cf);
        HGLOBAL given = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, row.blockSize);
        STGMEDIUM medium = {};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = given;
        EXPECT_EQ(data->GetDataHere(&f, &medium), row.expected) << row.name;
        EXPECT_EQ(medium.hGlobal, given) << row.name << ": the reader's block was replaced";
        EXPECT_EQ(BytesOf(given).substr(0, row.prefix.size()), row.prefix) << row.name;
        GlobalFree(given);
    }
}

TEST_F(OleDataSourceTest, OfferingAFormatAgainReplacesItAndEnumeratesOnce)
{
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfCached));       // cached becomes delayed
    source->CacheGlobalData(static_cast<CLIPFORMAT>(cfDelayed), MakeBlock("now"));  // and the reverse
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfRefused));
    source->CacheGlobalData(static_cast<CLIPFORMAT>(cfAbsent), NULL);  // no block, no format

    FORMATETC f = Format(cfDelayed);
    STGMEDIUM medium;
    ASSERT_EQ(data->GetData(&f, &medium), S_OK);
    EXPECT_EQ(BytesOf(medium.hGlobal), "now");
    ReleaseStgMedium(&medium);
    EXPECT_EQ(plan.renders[cfDelayed], 0);
    f = Format(cfCached);
    EXPECT_EQ(data->GetData(&f, &medium), E_FAIL);  // delayed now, and this plan renders nothing for it
    EXPECT_EQ(plan.renders[cfCached], 1);

    IEnumFORMATETC* formats = NULL;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    std::vector<UINT> seen;
    FORMATETC one;
    while (formats->Next(1, &one, NULL) == S_OK)
        seen.push_back(one.cfFormat);
    formats->Release();
    EXPECT_EQ(seen, (std::vector<UINT>{cfCached, cfDelayed, cfRefused}));
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
}

TEST_F(OleDataSourceTest, ExceptionsInTheRendererStayInside)
{
    UINT cfThrowsMemory = RegisterClipboardFormatA("TvnxTest Throws Memory");
    UINT cfThrowsOther = RegisterClipboardFormatA("TvnxTest Throws Other");
    plan.throwMemory = cfThrowsMemory;
    plan.throwOther = cfThrowsOther;
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfThrowsMemory));
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfThrowsOther));
    STGMEDIUM medium;
    FORMATETC f = Format(cfThrowsMemory);
    EXPECT_EQ(data->GetData(&f, &medium), E_OUTOFMEMORY);
    f = Format(cfThrowsOther);
    EXPECT_EQ(data->GetData(&f, &medium), E_UNEXPECTED);
    HGLOBAL given = GlobalAlloc(GMEM_MOVEABLE, 8);
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = given;
    medium.pUnkForRelease = NULL;
    EXPECT_EQ(data->GetDataHere(&f, &medium), E_UNEXPECTED);
    GlobalFree(given);
}

TEST(OleDataSourceLifetime, TheLastReleaseDeletesTheSource)
{
    RenderPlan plan;
    PlannedSource* source = new PlannedSource(&plan);
    IDataObject* data = source->GetInterface();
    IUnknown* unknown = NULL;
    ASSERT_EQ(data->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    IDropTarget* wrong = NULL;
    EXPECT_EQ(data->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&wrong)), E_NOINTERFACE);
    EXPECT_TRUE(wrong == NULL);
    source->InternalRelease();  // the creator lets go; the other reference keeps it
    EXPECT_EQ(plan.destroyed, 0);
    unknown->Release();
    EXPECT_EQ(plan.destroyed, 1);
}

TEST(OleDataSourceLifetime, AReaderThatKeepsTheDataObjectOutlivesTheSource)
{
    // A drop target may keep the data object after the drop and read it later,
    // when the source (on the stack of the code that started the drag) is gone.
    // The source's bytes are overwritten after its destructor, so that any use
    // of the dead object shows at once.
    const UINT cfCached = RegisterClipboardFormatA("TvnxTest Cached");
    const UINT cfDelayed = RegisterClipboardFormatA("TvnxTest Delayed");
    RenderPlan plan;
    plan.payloads[cfDelayed] = "delayed";
    alignas(PlannedSource) unsigned char storage[sizeof(PlannedSource)];
    PlannedSource* source = new (storage) PlannedSource(&plan);
    source->CacheGlobalData(static_cast<CLIPFORMAT>(cfCached), MakeBlock("cached"));
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfDelayed));
    IDataObject* kept = source->GetInterface();
    kept->AddRef();
    source->~PlannedSource();
    memset(storage, 0xDD, sizeof(storage));
    EXPECT_EQ(plan.destroyed, 1);

    FORMATETC cached = {static_cast<CLIPFORMAT>(cfCached), NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    ASSERT_EQ(kept->GetData(&cached, &medium), S_OK) << "the cached data stays readable";
    EXPECT_EQ(BytesOf(medium.hGlobal), "cached");
    ReleaseStgMedium(&medium);
    FORMATETC delayed = {static_cast<CLIPFORMAT>(cfDelayed), NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_TRUE(FAILED(kept->GetData(&delayed, &medium))) << "nobody is left to render";
    EXPECT_TRUE(plan.renders.empty());
    EXPECT_EQ(kept->Release(), 0u);
}

// A foreign data object whose GetData hands out what a test sets up.
class ForeignData : public IDataObject
{
public:
    LONG refs = 1;
    LONG holderRefs = 1;  // references to the holder of a block lent with pUnkForRelease
    DWORD askedTymed = 0;
    STGMEDIUM answer = {};

    // The holder of a lent block: counts its releases.
    struct Holder : IUnknown
    {
        ForeignData* owner;
        STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        STDMETHODIMP_(ULONG) AddRef() override { return ++owner->holderRefs; }
        STDMETHODIMP_(ULONG) Release() override { return --owner->holderRefs; }
    } holder;

    ForeignData() { holder.owner = this; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetData(FORMATETC* f, STGMEDIUM* m) override
    {
        askedTymed = f->tymed;
        if (answer.tymed == TYMED_NULL)
            return DV_E_FORMATETC;
        *m = answer;
        if (m->pUnkForRelease != NULL)
            m->pUnkForRelease->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* f) override
    {
        askedTymed = f->tymed;
        return answer.tymed == TYMED_NULL ? S_FALSE : S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

TEST(OleDataObject, GlobalDataIsAlwaysTheCallersOwnBlock)
{
    // A block lent with pUnkForRelease stays with the foreign object: the
    // caller gets a copy, and the loan is returned.
    ForeignData lender;
    HGLOBAL lent = MakeBlock("lent bytes");
    lender.answer.tymed = TYMED_HGLOBAL;
    lender.answer.hGlobal = lent;
    lender.answer.pUnkForRelease = &lender.holder;
    {
        COleDataObject view;
        view.Attach(&lender, FALSE);
        EXPECT_TRUE(view.IsDataAvailable(CF_TEXT));
        EXPECT_EQ(lender.askedTymed, (DWORD)TYMED_HGLOBAL);
        HGLOBAL got = view.GetGlobalData(CF_TEXT);
        ASSERT_TRUE(got != NULL);
        EXPECT_NE(got, lent);
        EXPECT_EQ(BytesOf(got), "lent bytes");
        GlobalFree(got);
        EXPECT_EQ(lender.holderRefs, 1);
        EXPECT_EQ(BytesOf(lent), "lent bytes");  // still alive and untouched
    }
    EXPECT_EQ(lender.refs, 1);  // attached without a reference of its own
    GlobalFree(lent);

    // A block given outright is handed on as it is.
    ForeignData giver;
    HGLOBAL given = MakeBlock("given");
    giver.answer.tymed = TYMED_HGLOBAL;
    giver.answer.hGlobal = given;
    giver.AddRef();
    {
        COleDataObject view;
        view.Attach(&giver, TRUE);
        HGLOBAL got = view.GetGlobalData(CF_TEXT);
        EXPECT_EQ(got, given);
        GlobalFree(got);
    }
    EXPECT_EQ(giver.refs, 1);  // the reference handed over was released

    // Another medium is no global data: released and refused.
    ForeignData streamer;
    IStream* stream = NULL;
    ASSERT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream), S_OK);
    streamer.answer.tymed = TYMED_ISTREAM;
    streamer.answer.pstm = stream;
    stream->AddRef();  // the reference that the caller's release takes
    COleDataObject view;
    view.Attach(&streamer, FALSE);
    EXPECT_TRUE(view.GetGlobalData(CF_TEXT) == NULL);
    EXPECT_EQ(stream->Release(), 0u);

    ForeignData empty;
    view.Attach(&empty, FALSE);
    EXPECT_FALSE(view.IsDataAvailable(CF_TEXT));
    EXPECT_TRUE(view.GetGlobalData(CF_TEXT) == NULL);
}

TEST(OleDataObject, ReadsOurOwnSourceAndWalksItsFormats)
{
    RenderPlan plan;
    UINT cfDelayed = RegisterClipboardFormatA("TvnxTest Delayed");
    plan.payloads[cfDelayed] = "rendered";
    PlannedSource* source = new PlannedSource(&plan);
    source->CacheGlobalData(CF_TEXT, MakeBlock("text"));
    source->DelayRenderData(static_cast<CLIPFORMAT>(cfDelayed));
    {
        COleDataObject view;
        view.Attach(source->GetInterface(), FALSE);
        EXPECT_TRUE(view.IsDataAvailable(static_cast<CLIPFORMAT>(cfDelayed)));
        EXPECT_FALSE(view.IsDataAvailable(CF_UNICODETEXT));
        EXPECT_EQ(plan.renders[cfDelayed], 0);
        HGLOBAL got = view.GetGlobalData(static_cast<CLIPFORMAT>(cfDelayed));
        EXPECT_EQ(BytesOf(got), "rendered");
        GlobalFree(got);
        EXPECT_EQ(plan.renders[cfDelayed], 1);

        std::vector<UINT> seen;
        view.BeginEnumFormats();
        FORMATETC f;
        while (view.GetNextFormat(&f))
            seen.push_back(f.cfFormat);
        EXPECT_EQ(seen, (std::vector<UINT>{CF_TEXT, cfDelayed}));
    }
    EXPECT_EQ(plan.destroyed, 0);
    source->InternalRelease();
    EXPECT_EQ(plan.destroyed, 1);
}

}  // namespace
