#include <gtest/gtest.h>

#include "platform/data/DataSource.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteFixture.h"

namespace {

// Masters whose keys hold quotes and a column's name; each detail row names its master's key.
class MasterDetailTest : public SQLiteTest {
protected:
    MasterDetailTest() {
        mapper_.Mappings() = AppMappings();
        db_ = Connect();
        db_->SetMapper(&mapper_);
        db_->RunStatements(
            u"create table masters(id integer primary key, k varchar);"
            u"insert into masters(k) values('plain'), ('O''Brien'), ('say \"hi\"'), ('name'), ('empty');"
            u"create table details(id integer primary key, k varchar, name varchar);"
            u"insert into details(k, name) values('plain', 'p1'), ('plain', 'p2'), ('O''Brien', 'o1'),"
            u"  ('say \"hi\"', 's1'), ('name', 'n1'), ('k', 'x1');");
        master_.SetConnection(db_.get());
        master_.SetSQL(u"select id, k from masters order by id");
        source_.SetDataSet(&master_);
        detail_.SetConnection(db_.get());
        detail_.SetTableName(u"details");
        detail_.SetOrderBy(u"id");
        detail_.SetMasterFields(u"k");
        detail_.SetMasterSource(&source_);
    }

    std::vector<String> DetailNames() {
        std::vector<String> names;
        for (detail_.First(); !detail_.Eof(); detail_.Next()) names.push_back(detail_.FieldByName(u"name").AsString());
        return names;
    }

    TSpSqliteMapper mapper_;
    std::unique_ptr<TASQLite3DB> db_;
    TASQLite3Query master_;
    TDataSource source_;
    TASQLite3Table detail_;
};

TEST_F(MasterDetailTest, ADetailTableFollowsItsMasterRowByRow) {
    master_.Open();
    detail_.Open();
    const std::vector<std::vector<String>> expected = {
        {u"p1", u"p2"}, {u"o1"}, {u"s1"}, {u"n1"}, {}};
    std::vector<std::vector<String>> seen;
    for (master_.First(); !master_.Eof(); master_.Next()) {
        EXPECT_TRUE(detail_.Active());
        seen.push_back(DetailNames());
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(MasterDetailTest, NewDetailRowsCarryTheMastersValues) {
    master_.Open();
    master_.SetRecNo(1);
    detail_.Open();
    detail_.Append();
    EXPECT_EQ(detail_.FieldByName(u"k").AsString(), u"O'Brien");
    detail_.FieldByName(u"name").SetAsString(u"o2");
    detail_.Post();
    EXPECT_EQ(DetailNames(), (std::vector<String>{u"o1", u"o2"}));
    EXPECT_EQ(db_->QueryValue(u"select k from details where name='o2'"), u"O'Brien");
}

TEST_F(MasterDetailTest, ARowWhoseLinkFieldLeavesTheMastersValueGoesAfterThePost) {
    master_.Open();
    detail_.Open();
    detail_.Edit();
    detail_.FieldByName(u"k").SetAsString(u"elsewhere");
    detail_.Post();
    EXPECT_EQ(DetailNames(), std::vector<String>{u"p2"});
    detail_.Edit();
    detail_.FieldByName(u"name").SetAsString(u"p3");
    detail_.Post();
    EXPECT_EQ(DetailNames(), std::vector<String>{u"p3"});
}

TEST_F(MasterDetailTest, AMasterFieldTheDetailLacksIsAnErrorNotAnEmptyResult) {
    master_.SetSQL(u"select id, k as missing from masters");
    detail_.SetMasterFields(u"missing");
    master_.Open();
    EXPECT_THROW(detail_.Open(), ESQLiteError);
}

TEST_F(MasterDetailTest, WithoutAMasterEveryRowShows) {
    master_.Open();
    detail_.Open();
    detail_.SetMasterSource(nullptr);
    EXPECT_EQ(detail_.RecordCount(), 6);
}

} // namespace
