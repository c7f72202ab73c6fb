#include <gtest/gtest.h>

#include <map>

#include "SQLiteServicesFake.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteFixture.h"
#include "support/sqlite/SQLiteProfile.h"

namespace {

class CursorTest : public SQLiteTest {
protected:
    CursorTest() {
        db_ = Connect();
        db_->RunStatements(u"create table t(x); insert into t values(1), (2), (3)");
        query_.SetConnection(db_.get());
        query_.SetSQL(u"select x from t");
        db_->OnProgress = [this](TASQLite3DB*, int&) { during_.push_back(services_.cursor); };
    }

    TSQLiteServicesFake services_;
    TAppServicesScope scope_{services_};
    std::unique_ptr<TASQLite3DB> db_;
    TASQLite3Query query_;
    std::vector<TCursor> during_;
};

TEST_F(CursorTest, TheScreenShowsTheSQLWaitCursorWhileRowsAreFetched) {
    query_.Open();
    ASSERT_FALSE(during_.empty());
    EXPECT_EQ(during_.back(), crSQLWait);
    EXPECT_EQ(services_.cursor, crDefault);
    EXPECT_EQ(services_.cursors, (std::vector<TCursor>{crSQLWait, crDefault}));
}

TEST_F(CursorTest, AnSQLWaitCursorLeftOverIsReset) {
    services_.cursor = crSQLWait;
    query_.Open();
    EXPECT_EQ(services_.cursors, (std::vector<TCursor>{crSQLWait, crSQLWait, crDefault}));
}

TEST_F(CursorTest, AFailingFetchRestoresTheCursorToo) {
    services_.cursor = 5;
    query_.SetSQL(u"select abs(-9223372036854775807 - 1) from t");
    EXPECT_THROW(query_.Open(), ESQLiteError);
    EXPECT_EQ(services_.cursor, 5);
}

TEST_F(CursorTest, WithoutSQLCursorTheCursorIsLeftAlone) {
    query_.SetSQLCursor(false);
    query_.Open();
    EXPECT_TRUE(services_.cursors.empty());
    EXPECT_FALSE(during_.empty());
}

TEST_F(SQLiteTest, AProfileListenerHearsEveryFinishedStatementOnce) {
    const std::unique_ptr<TASQLite3DB> db = Connect();
    std::map<String, int> heard;
    const int key = AddSQLiteProfileListener([&](TASQLite3DB& connection, const String& sql, uint64_t) {
        if (&connection == db.get()) ++heard[Trim(sql)];
    });
    db->RunStatements(u"create table p(x); insert into p values(1); insert into p values(2);");
    EXPECT_EQ(heard, (std::map<String, int>{
                         {u"create table p(x);", 1}, {u"insert into p values(1);", 1}, {u"insert into p values(2);", 1}}));
    RemoveSQLiteProfileListener(key);
    db->RunStatements(u"insert into p values(3)");
    EXPECT_EQ(heard.size(), 3u);
}

} // namespace
