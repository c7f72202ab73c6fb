#include <gtest/gtest.h>

#include "platform/data/DataSet.h"
#include "platform/data/FieldValue.h"

namespace {

// Rows given up front; posts and deletes are recorded, and can be made to fail.
class TMemoryDataSet : public TDataSet {
public:
    std::vector<std::vector<Variant>> Source;
    std::vector<String> Log;
    bool FailWrites = false;

protected:
    void InternalOpen() override {
        FieldDefs().Clear();
        FieldDefs().Add({u"Name", ftWideString, 20});
        FieldDefs().Add({u"Count", ftInteger});
        std::int64_t rowId = 0;
        for (const auto& values : Source) AddRow(++rowId, values);
    }
    void InternalPost(TDataRow& row, bool inserting) override {
        if (FailWrites) throw EDatabaseError("refused");
        if (inserting) row.RowId = 100;
        Log.push_back((inserting ? u"insert " : u"update ") + ValueToString(row.Values[0]));
    }
    void InternalDelete(const TDataRow& row) override {
        if (FailWrites) throw EDatabaseError("refused");
        Log.push_back(u"delete " + ValueToString(row.Values[0]));
    }
};

class DataSetTest : public testing::Test {
protected:
    DataSetTest() {
        data_.Source = {{Variant(String(u"a")), Variant(1)}, {Variant(String(u"b")), Variant(2)},
                        {Variant(String(u"c")), Null()}};
        data_.Open();
    }
    String Names() {
        String names;
        for (data_.First(); !data_.Eof(); data_.Next()) names += data_.FieldByName(u"name").AsString();
        return names;
    }
    TMemoryDataSet data_;
};

TEST_F(DataSetTest, NavigatesTheRows) {
    EXPECT_EQ(data_.State(), dsBrowse);
    EXPECT_EQ(data_.RecordCount(), 3);
    EXPECT_TRUE(data_.Bof());
    EXPECT_EQ(data_.RecNo(), 0);
    EXPECT_EQ(Names(), u"abc");
    EXPECT_TRUE(data_.Eof());
    EXPECT_EQ(data_.RecNo(), 2);
    data_.Prior();
    EXPECT_FALSE(data_.Eof());
    EXPECT_EQ(data_.Fields(0).AsString(), u"b");
    data_.Last();
    EXPECT_TRUE(data_.Fields(1).IsNull());
    EXPECT_EQ(data_.Fields(1).AsInteger(), 0);
    data_.SetRecNo(0);
    EXPECT_EQ(data_.FieldByName(u"COUNT").AsInteger(), 1);
    EXPECT_THROW(data_.FieldByName(u"missing"), EDatabaseError);
    data_.Close();
    EXPECT_EQ(data_.RecordCount(), 0);
    EXPECT_EQ(data_.FieldCount(), 0);
    EXPECT_TRUE(data_.Eof());
}

TEST_F(DataSetTest, BookmarksAndLocateFindRows) {
    ASSERT_TRUE(data_.Locate(u"Name", Variant(String(u"B")), true));
    const TBookmark b = data_.GetBookmark();
    EXPECT_FALSE(data_.Locate(u"Name", Variant(String(u"B"))));
    EXPECT_EQ(data_.RecNo(), 1);
    ASSERT_TRUE(data_.Locate(u"Count", Variant(1)));
    data_.GotoBookmark(b);
    EXPECT_EQ(data_.Fields(0).AsString(), u"b");
    data_.Delete();
    EXPECT_FALSE(data_.BookmarkValid(b));
    try {
        data_.GotoBookmark(b);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Bookmark not found");
    }
}

TEST_F(DataSetTest, EditingCycle) {
    try {
        data_.Fields(0).SetAsString(u"x");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Dataset not in edit or insert mode");
    }
    data_.Next();
    data_.Edit();
    data_.Fields(0).SetAsString(u"B");
    EXPECT_EQ(data_.Fields(0).AsString(), u"B");
    data_.Cancel();
    EXPECT_EQ(data_.Fields(0).AsString(), u"b");

    data_.Edit();
    data_.Fields(1).SetAsInteger(20);
    data_.Post();
    EXPECT_EQ(data_.Fields(1).AsInteger(), 20);

    data_.Insert();
    EXPECT_EQ(data_.RecNo(), -1);
    EXPECT_TRUE(data_.Fields(0).IsNull());
    data_.Fields(0).SetAsString(u"i");
    data_.Post();
    EXPECT_EQ(data_.RecNo(), 1);
    data_.Append();
    data_.Fields(0).SetAsString(u"z");
    data_.Next(); // navigating posts
    EXPECT_EQ(Names(), u"aibcz");
    EXPECT_EQ(data_.Log, (std::vector<String>{u"update b", u"insert i", u"insert z"}));
}

TEST_F(DataSetTest, FailedWritesLeaveTheRowsUnchanged) {
    data_.FailWrites = true;
    data_.Edit();
    data_.Fields(0).SetAsString(u"x");
    EXPECT_THROW(data_.Post(), EDatabaseError);
    EXPECT_EQ(data_.State(), dsEdit);
    data_.Cancel();
    EXPECT_THROW(data_.Delete(), EDatabaseError);
    EXPECT_EQ(Names(), u"abc");
}

TEST_F(DataSetTest, RequiredAndReadOnlyFieldsAreChecked) {
    data_.FieldByName(u"Count").SetRequired(true);
    data_.Append();
    data_.Fields(0).SetAsString(u"n");
    try {
        data_.Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Count is required.");
    }
    data_.Cancel();
    data_.Fields(0).SetReadOnly(true);
    data_.Edit();
    try {
        data_.Fields(0).SetAsString(u"x");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Field 'Name' cannot be modified");
    }
}

TEST_F(DataSetTest, NewRecordEventFillsDefaults) {
    data_.OnNewRecord = [](TDataSet& d) { d.FieldByName(u"Count").SetAsInteger(9); };
    data_.Append();
    EXPECT_EQ(data_.Fields(1).AsInteger(), 9);
}

TEST_F(DataSetTest, FilterChangeReopens) {
    data_.SetFilter(u"whatever");
    EXPECT_TRUE(data_.Active());
    EXPECT_EQ(data_.Filter(), u"whatever");
    data_.Close();
    data_.SetFilter(u"");
    EXPECT_FALSE(data_.Active());
}

TEST(StoredDateTest, DatesRoundTripInASortableForm) {
    const TDateTime dt = EncodeDateTime(2026, 3, 4, 5, 6, 7, 0);
    EXPECT_EQ(FormatStoredDate(dt, ftDateTime), u"2026-03-04 05:06:07");
    EXPECT_EQ(FormatStoredDate(dt, ftDate), u"2026-03-04");
    EXPECT_EQ(FormatStoredDate(dt, ftTime), u"05:06:07");
    struct Case {
        const char16_t* text;
        TDateTime expected;
    } cases[] = {
        {u"2026-03-04 05:06:07", dt},
        {u"2026-03-04T05:06:07.250", EncodeDateTime(2026, 3, 4, 5, 6, 7, 250)},
        {u"2026-03-04 05:06", EncodeDateTime(2026, 3, 4, 5, 6, 0, 0)},
        {u"2026-03-04", EncodeDateTime(2026, 3, 4, 0, 0, 0, 0)},
        {u"05:06:07", EncodeDateTime(1899, 12, 30, 5, 6, 7, 0)},
        {u"04/03/2026", 0},
        {u"2026-13-01", 0},
        {u"2026-02-30 00:00:00", 0},
        {u"2026-03-04 25:00:00", 0},
        {u"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseStoredDate(c.text), c.expected) << String(c.text);
}

} // namespace
