#include <gtest/gtest.h>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/DateTime.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteFixture.h"

namespace {

class DateTextTest : public SQLiteTest {
protected:
    DateTextTest() {
        mapper_.Mappings() = AppMappings();
        db_ = Connect();
        db_->SetMapper(&mapper_);
        settings_.TimeSeparator = u':';
    }

    TSpSqliteMapper mapper_;
    std::unique_ptr<TASQLite3DB> db_;
    TFormatSettings settings_ = TFormatSettings::Invariant();
    // 5 March 2024, 14:07:09 and 7 ms.
    const TDateTime moment_ = EncodeDateTime(2024, 3, 5, 14, 7, 9, 7);
};

TEST_F(DateTextTest, EveryOutputFormatHasItsText) {
    const std::pair<TOutputDateFormat, const char*> cases[] = {
        {dof1, "2024-03-05"},
        {dof2, "2024-03-05 14:07"},
        {dof3, "2024-03-05 14:07:09"},
        {dof4, "2024-03-05 14:07:09.007"},
        {dof5, "2024-03-05T14:07"},
        {dof6, "2024-03-05T14:07:09"},
        {dof7, "2024-03-05T14:07:09.007"},
        {dof8, "14:07"},
        {dof9, "14:07:09"},
        {dof10, "14:07:09.007"},
    };
    for (const auto& [format, text] : cases)
        EXPECT_EQ(db_->FormatDateText(format, settings_, moment_), String(text)) << OutputDateFormatName(format);

    const double julian = StrToFloat(db_->FormatDateText(dof12, settings_, moment_), TFormatSettings::Invariant());
    EXPECT_NEAR(julian, moment_ + 2415018.5, 1e-7) << "the Julian day of the dof4 text";

    try {
        db_->FormatDateText(dof11, settings_, moment_);
        FAIL() << "dof11 has a text";
    } catch (const ESQLiteError& e) {
        EXPECT_EQ(e.ErrorCode(), -1);
        EXPECT_NE(e.Message().find(u"dof11"), String::npos) << e.Message();
    }
}

TEST_F(DateTextTest, TheTimeSeparatorIsTheSettings) {
    settings_.TimeSeparator = u'.';
    EXPECT_EQ(db_->FormatDateText(dof9, settings_, moment_), u"14.07.09");
}

TEST_F(DateTextTest, SQLitesDateFunctionsGetTheTextBound) {
    db_->RunStatements(u"create table t(x)");
    EXPECT_EQ(db_->SQLiteDateText(u"2024-03-05 14:07:09"), u"2024-03-05");
    EXPECT_EQ(db_->SQLiteTimeText(u"2024-03-05T14:07:09"), u"14:07:09");
    EXPECT_EQ(db_->SQLiteDateTimeText(u"2460374.5"), u"2024-03-05 00:00:00");
    for (const char16_t* text : {u"2024-01-01'); drop table t; --", u"'", u"2024-01-01\"", u"not a date"})
        EXPECT_EQ(db_->SQLiteDateText(text), String()) << String(text);
    EXPECT_EQ(db_->QueryValue(u"select count(*) from sqlite_master where name='t'"), u"1");
}

TEST_F(DateTextTest, ATableInSQLiteModeStoresAndReadsDatesBack) {
    mapper_.SetSQLiteDateFormat(sdfSQLite);
    db_->RunStatements(u"create table d(id integer primary key, at datetime)");
    const TDateTime whole = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    struct TCase {
        TOutputDateFormat format;
        const char* stored;
    };
    const TCase cases[] = {{dof6, "2024-03-05T14:07:09"}, {dof3, "2024-03-05 14:07:09"}, {dof12, "2460375.0882986"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(OutputDateFormatName(c.format).ToUtf8());
        mapper_.SetOutputDateTimeFormat(c.format);
        db_->RunStatements(u"delete from d");
        TASQLite3Table table;
        table.SetConnection(db_.get());
        table.SetTableName(u"d");
        table.Open();
        table.Append();
        table.FieldByName(u"at").SetAsDateTime(whole);
        table.Post();
        EXPECT_TRUE(db_->QueryValue(u"select at from d").starts_with(String(c.stored)))
            << db_->QueryValue(u"select at from d");
        table.Close();
        table.Open();
        EXPECT_NEAR(table.FieldByName(u"at").AsDateTime(), whole, 1e-9);
    }
}

} // namespace
