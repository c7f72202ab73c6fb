#include <gtest/gtest.h>

#include <vector>

#include "platform/win/dataxfer/StoredDataObject.h"

namespace {

class TAdviseHolderSink : public TImplements<TInterfacedObject, IAdviseSink> {
public:
    std::vector<DWORD> media; // the medium kind of each change heard
    void OnDataChange(const FORMATETC&, const STGMEDIUM& medium) override { media.push_back(medium.tymed); }
    void OnViewChange(DWORD, LONG) override {}
    void OnRename(IInterface*) override {}
    void OnSave() override {}
    void OnClose() override {}
};

class AdviseHolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CreateDataAdviseHolder(holder), S_OK);
        data->SetText(u"x");
    }
    TIntfPtr<IDataAdviseHolder> holder;
    TIntfPtr<TStoredDataObject> data = MakeIntf<TStoredDataObject>();
    const FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
};

TEST_F(AdviseHolderTest, EachAdviseHearsEachChangeUntilUnadvised) {
    auto first = MakeIntf<TAdviseHolderSink>(), second = MakeIntf<TAdviseHolderSink>();
    DWORD a = 0, b = 0;
    ASSERT_EQ(holder->Advise(data.get(), text, 0, first.get(), a), S_OK);
    ASSERT_EQ(holder->Advise(data.get(), text, ADVF_NODATA, second.get(), b), S_OK);
    EXPECT_NE(a, b);
    EXPECT_EQ(holder->SendOnDataChange(data.get(), 0, 0), S_OK);
    EXPECT_EQ(first->media, std::vector<DWORD>{TYMED_HGLOBAL});
    EXPECT_EQ(second->media, std::vector<DWORD>{TYMED_NULL}); // no data asked for
    EXPECT_EQ(holder->Unadvise(a), S_OK);
    EXPECT_EQ(holder->Unadvise(a), OLE_E_NOCONNECTION);
    holder->SendOnDataChange(data.get(), 0, 0);
    EXPECT_EQ(first->media.size(), 1u);
    EXPECT_EQ(second->media.size(), 2u);
    EXPECT_EQ(first->RefCount(), 1); // the holder let it go
}

TEST_F(AdviseHolderTest, PrimeFirstAndOnlyOnce) {
    auto sink = MakeIntf<TAdviseHolderSink>();
    DWORD connection = 0;
    ASSERT_EQ(holder->Advise(data.get(), text, ADVF_PRIMEFIRST | ADVF_ONLYONCE, sink.get(), connection), S_OK);
    EXPECT_EQ(sink->media.size(), 1u);
    holder->SendOnDataChange(data.get(), 0, 0);
    EXPECT_EQ(sink->media.size(), 1u);

    ASSERT_EQ(holder->Advise(data.get(), text, ADVF_ONLYONCE, sink.get(), connection), S_OK);
    holder->SendOnDataChange(data.get(), 0, 0);
    holder->SendOnDataChange(data.get(), 0, 0);
    EXPECT_EQ(sink->media.size(), 2u);
}

TEST_F(AdviseHolderTest, EnumAdviseListsConnectionsWithCountedSinks) {
    auto sink = MakeIntf<TAdviseHolderSink>();
    DWORD connection = 0;
    holder->Advise(nullptr, text, ADVF_NODATA, sink.get(), connection);
    TIntfPtr<IEnumSTATDATA> advises;
    ASSERT_EQ(holder->EnumAdvise(advises), S_OK);
    STATDATA got[2];
    ULONG fetched = 0;
    EXPECT_EQ(advises->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].dwConnection, connection);
    EXPECT_EQ(got[0].advf, ADVF_NODATA);
    EXPECT_EQ(got[0].formatetc.cfFormat, CF_TEXT);
    EXPECT_EQ(got[0].pAdvSink, static_cast<IAdviseSink*>(sink.get()));
    got[0].pAdvSink->_Release();
    holder->Unadvise(connection);
    EXPECT_EQ(advises->Reset(), S_OK); // the enumerator kept its own list
    EXPECT_EQ(advises->Skip(1), S_OK);
    EXPECT_EQ(advises->Skip(1), S_FALSE);
    advises.Reset();
    EXPECT_EQ(sink->RefCount(), 1);
}

} // namespace
