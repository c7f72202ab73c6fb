#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"

namespace {

class TRowsDataSet : public TDataSet {
protected:
    void InternalOpen() override {
        FieldDefs().Clear();
        FieldDefs().Add({u"Name", ftWideString, 20});
        for (const char16_t* name : {u"a", u"b", u"c"}) AddRow(0, {Variant(String(name))});
    }
};

// Writes down what it hears: A(ctive), S(croll), C(hange), F(ield).
class TRecordingLink : public TDataLink {
public:
    String heard;

protected:
    void ActiveChanged() override { heard += Active() ? u"A+" : u"A-"; }
    void DataSetScrolled() override { heard += u"S"; }
    void DataSetChanged() override { heard += u"C"; }
    void RecordChanged(TField* field) override { heard += u"F:" + field->FieldName(); }
};

class DataSourceTest : public testing::Test {
protected:
    DataSourceTest() {
        source.SetDataSet(&data);
        link.SetDataSource(&source);
        link.heard.clear();
    }
    TRowsDataSet data;
    TDataSource source;
    TRecordingLink link;
};

TEST_F(DataSourceTest, LinksHearTheDataSetsEvents) {
    struct TCase {
        const char* name;
        std::function<void(TDataSet&)> action;
        const char16_t* heard;
    };
    const TCase cases[] = {
        {"open", [](TDataSet& d) { d.Open(); }, u"A+"},
        {"next", [](TDataSet& d) { d.Next(); }, u"S"},
        {"next at the end", [](TDataSet& d) { d.Last(); d.Next(); }, u"S"},
        {"same row", [](TDataSet& d) { d.SetRecNo(2); }, u""},
        {"locate", [](TDataSet& d) { d.Locate(u"Name", Variant(String(u"a"))); }, u"S"},
        {"field", [](TDataSet& d) { d.Edit(); d.Fields(0).SetAsString(u"z"); }, u"F:Name"},
        {"post", [](TDataSet& d) { d.Post(); }, u"C"},
        {"cancel", [](TDataSet& d) { d.Append(); d.Cancel(); }, u"C"},
        {"delete", [](TDataSet& d) { d.Delete(); }, u"C"},
        {"close", [](TDataSet& d) { d.Close(); }, u"A-"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.action(data);
        EXPECT_EQ(link.heard, String(c.heard));
        link.heard.clear();
    }
}

TEST_F(DataSourceTest, LinksSourcesAndDataSetsMayGoInAnyOrder) {
    data.Open();
    link.heard.clear();
    {
        TRecordingLink shortLived;
        shortLived.SetDataSource(&source);
        EXPECT_EQ(shortLived.heard, u"A+");
    }
    data.Next();
    EXPECT_EQ(link.heard, u"S");

    auto dataSet = std::make_unique<TRowsDataSet>();
    dataSet->Open();
    auto other = std::make_unique<TDataSource>();
    other->SetDataSet(dataSet.get());
    link.SetDataSource(other.get());
    dataSet.reset();
    EXPECT_EQ(other->DataSet(), nullptr);
    EXPECT_EQ(link.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    other.reset();
    EXPECT_EQ(link.DataSource(), nullptr);
    link.SetDataSource(&source);
    EXPECT_TRUE(link.Active());
}

} // namespace
