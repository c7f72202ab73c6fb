// Every statement the task store runs, against the application's two tables.

#include <gtest/gtest.h>

#include "platform/data/FieldValue.h"
#include "platform/rtl/Conversions.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteFixture.h"

namespace {

const char16_t* const kSchema =
    u"create table Categories(ID integer primary key autoincrement, Category varchar(255), "
    u"Path varchar(1024), Parent integer);"
    u"insert into Categories(ID, Category, Path, Parent) values(1, '\u9ed8\u8ba4', '/home/u/Conversion', -1);"
    u"create table Conversions(ID integer primary key autoincrement, CategoryID integer, Converting Boolean, "
    u"ConvertSettings text, ConvertedDate datetime, Log text);";

class TaskStoreTest : public SQLiteTest {
protected:
    TaskStoreTest() {
        mapper_.Mappings() = AppMappings();
        Connect()->RunStatements(kSchema);
        db_.SetMapper(&mapper_);
        db_.SetDatabase(String(DbPath().string()));
        db_.SetMustExist(true);
        db_.SetConnected(true);
        query_.SetConnection(&db_);
        table_.SetConnection(&db_);
        table_.SetPrimaryAutoInc(true);
        table_.SetTableName(u"Conversions");
        table_.Open();
    }

    // Close, set the text, bind the values in order, open.
    TASQLite3Query& Run(const String& sql, std::vector<Variant> values = {}) {
        query_.Close();
        query_.SetSQL(sql);
        EXPECT_EQ(query_.Params().Count(), static_cast<int>(values.size())) << sql;
        for (size_t i = 0; i < values.size(); ++i) query_.Params()[static_cast<int>(i)].SetValue(values[i]);
        query_.Open();
        return query_;
    }

    int InsertCategory(const String& name, const String& path, int parent) {
        Run(u"insert into categories(Category, Path, Parent) values(?, ?, ?)", {name, path, parent});
        return static_cast<int>(db_.LastInsertRowId());
    }

    int InsertTask(const String& settings) {
        table_.Close();
        table_.Open();
        table_.Append();
        table_.FieldByName(u"Converting").SetAsBoolean(true);
        table_.FieldByName(u"ConvertSettings").SetAsString(settings);
        table_.Post();
        return table_.FieldByName(u"ID").AsInteger();
    }

    void SaveFinishedTask(int id, const String& settings, TDateTime date, int categoryId, const String& log) {
        const String known = db_.QueryValue("select ID from Categories where ID=" + IntToStr(categoryId));
        Run("update conversions set Converting=0, ConvertSettings=?, ConvertedDate=?, CategoryId=?, Log=? where ID=" +
                IntToStr(id),
            {settings, DateTimeValue(date), known.IsEmpty() ? 1 : categoryId, log});
    }

    std::vector<String> Column(TDataSet& data, const String& name) {
        std::vector<String> values;
        for (data.First(); !data.Eof(); data.Next()) values.push_back(data.FieldByName(name).AsString());
        return values;
    }

    TSpSqliteMapper mapper_;
    TASQLite3DB db_;
    TASQLite3Query query_;
    TASQLite3Table table_;
};

TEST_F(TaskStoreTest, CategoriesAreInsertedLoadedUpdatedAndDeleted) {
    const int video = InsertCategory(u"\u89c6\u9891", u"/v", 1);
    const int audio = InsertCategory(u"Audio", u"/a", 1);
    const int clips = InsertCategory(u"Clips", u"/v/c", video);
    EXPECT_EQ(video, 2);
    EXPECT_EQ(clips, 4);

    Run(u"select * from Categories where Parent=1");
    EXPECT_EQ(Column(query_, u"Category"), (std::vector<String>{u"\u89c6\u9891", u"Audio"}));
    query_.First();
    EXPECT_EQ(query_.FieldByName(u"ID").AsInteger(), video);
    EXPECT_EQ(query_.FieldByName(u"Path").AsString(), u"/v");

    Run("update categories set category=?, path=? where ID=" + IntToStr(audio), {u"Music", u"/m"});
    EXPECT_EQ(query_.RecordCount(), 0);
    Run(u"select * from Categories where Parent=1");
    EXPECT_EQ(Column(query_, u"Path"), (std::vector<String>{u"/v", u"/m"}));

    const int task = InsertTask(u"<a/>");
    SaveFinishedTask(task, u"<a/>", EncodeDateTime(2026, 12, 10, 9, 0, 0, 0), clips, u"done");
    Run("delete from categories where ID=" + IntToStr(clips));
    Run("delete from conversions where CategoryID=" + IntToStr(clips));
    EXPECT_EQ(db_.QueryValue(u"select count(*) from Categories"), u"3");
    EXPECT_EQ(db_.QueryValue(u"select count(*) from Conversions"), u"0");
}

TEST_F(TaskStoreTest, TaskIsInsertedFinishedClearedAndDeleted) {
    const int first = InsertTask(u"<TConversionSettings a=\"1\"/>");
    const int second = InsertTask(u"<TConversionSettings a=\"2\"/>");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);

    Run(u"select * from Conversions where Converting=1");
    ASSERT_EQ(query_.RecordCount(), 2);
    EXPECT_EQ(query_.FieldByName(u"ID").AsInteger(), first);
    EXPECT_TRUE(query_.FieldByName(u"Converting").AsBoolean());
    EXPECT_EQ(query_.FieldByName(u"ConvertSettings").AsString(), u"<TConversionSettings a=\"1\"/>");
    EXPECT_TRUE(query_.FieldByName(u"Log").IsNull());
    EXPECT_TRUE(query_.FieldByName(u"CategoryID").IsNull());

    const TDateTime finished = EncodeDateTime(2026, 12, 10, 14, 5, 6, 0);
    SaveFinishedTask(first, u"<done/>", finished, 1, u"line 1\nline 2");
    Run(u"select * from Conversions where Converting=1");
    EXPECT_EQ(Column(query_, u"ID"), std::vector<String>{u"2"});
    Run(u"select * from Conversions where Converting=0 and CategoryId=1 order by ConvertedDate desc");
    ASSERT_EQ(query_.RecordCount(), 1);
    EXPECT_EQ(query_.FieldByName(u"Log").AsString(), u"line 1\nline 2");
    EXPECT_EQ(query_.FieldByName(u"ConvertedDate").AsDateTime(), finished);
    EXPECT_EQ(db_.QueryValue(u"select ConvertedDate from Conversions where ID=1"), u"2026-12-10 14:05:06");

    Run(u"update conversions set Log=NULL where ID=1");
    EXPECT_EQ(db_.QueryValue(u"select count(*) from Conversions where Log is null"), u"2");
    Run(u"delete from conversions where ID=2");
    EXPECT_EQ(db_.QueryValue(u"select group_concat(ID) from Conversions"), u"1");
}

TEST_F(TaskStoreTest, FinishedTasksAreListedNewestFirst) {
    const TDateTime dates[] = {
        EncodeDateTime(2026, 2, 1, 9, 0, 0, 0),   EncodeDateTime(2026, 12, 1, 8, 0, 0, 0),
        EncodeDateTime(2026, 10, 3, 23, 59, 59, 0), EncodeDateTime(2025, 12, 31, 23, 0, 0, 0),
        EncodeDateTime(2026, 10, 3, 7, 0, 0, 0),
    };
    for (const TDateTime date : dates) SaveFinishedTask(InsertTask(u"<s/>"), u"<s/>", date, 1, u"");
    Run(u"select * from Conversions where Converting=0 and CategoryId=1 order by ConvertedDate desc");
    EXPECT_EQ(Column(query_, u"ID"), (std::vector<String>{u"2", u"3", u"5", u"1", u"4"}));
}

} // namespace
