#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "platform/data/FieldValue.h"
#include "platform/rtl/Format.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteFixture.h"

namespace {

class DatasetTest : public SQLiteTest {
protected:
    DatasetTest() {
        mapper_.Mappings() = AppMappings();
        db_ = Connect();
        db_->SetMapper(&mapper_);
        db_->RunStatements(u"create table t(id integer primary key, name varchar(20) unique, n integer);"
                           u"insert into t(name, n) values('a', 1), ('b', 2), ('c', 3);");
        query_.SetConnection(db_.get());
        table_.SetConnection(db_.get());
    }

    std::vector<String> Names(TDataSet& data) {
        std::vector<String> names;
        for (data.First(); !data.Eof(); data.Next()) names.push_back(data.FieldByName(u"name").AsString());
        return names;
    }
    bool InTransaction() { return db_->Driver().sqlite3_get_autocommit(db_->DBHandle()) == 0; }

    TSpSqliteMapper mapper_;
    std::unique_ptr<TASQLite3DB> db_;
    TASQLite3Query query_;
    TASQLite3Table table_;
};

TEST_F(DatasetTest, FieldsComeFromTheResultColumns) {
    query_.SetSQL(u"select t.id, u.id, t.rowid as _SQLITE_ROWID, t.name, t.n * 2.5 from t join t u on u.id = t.id");
    ASSERT_EQ(query_.FieldDefs().Count(), 4);
    EXPECT_EQ(query_.FieldDefs()[0].Name, u"id");
    EXPECT_EQ(query_.FieldDefs()[1].Name, u"id_1");
    EXPECT_EQ(query_.FieldDefs()[2].DataType, ftWideString);
    EXPECT_EQ(query_.FieldDefs()[2].Size, 20);
    query_.Open();
    EXPECT_EQ(query_.FieldCount(), 4);
    EXPECT_EQ(query_.FindField(u"_sqlite_rowid"), nullptr);
    EXPECT_EQ(query_.RecordCount(), 3);
    query_.Last();
    EXPECT_EQ(query_.Fields(3).AsString(), u"7.5");
}

TEST_F(DatasetTest, IdsAndRowidsKeepTheir64Bits) {
    db_->RunStatements(u"insert into t(id, name) values(5000000000, 'big')");
    table_.SetTableName(u"t");
    table_.Open();
    ASSERT_TRUE(table_.Locate(u"name", Variant(String(u"big"))));
    EXPECT_EQ(table_.FieldByName(u"id").AsLargeInt(), 5000000000);
    table_.Edit();
    table_.FieldByName(u"n").SetAsInteger(1);
    table_.Post();
    table_.Delete();
    EXPECT_EQ(db_->QueryValue(u"select count(*) from t where id=5000000000"), u"0");
    EXPECT_EQ(db_->QueryValue(u"select count(*) from t"), u"3");
}

TEST_F(DatasetTest, EmptyQueryTextIsRefused) {
    EXPECT_EQ(CatchSQLiteError([&] { query_.SetSQL(u"  \n "); }).Message(), u"no query specified");
    EXPECT_EQ(CatchSQLiteError([&] { query_.SetSQL(u"-- nothing"); }).Message(), u"no query specified");
    EXPECT_EQ(CatchSQLiteError([&] { table_.Open(); }).Message(), u"no table specified");
}

// A finalize that answers SQLITE_BUSY after finalizing for real.
decltype(&sqlite3_finalize) RealFinalize = nullptr;
int BusyFinalize(sqlite3_stmt* statement) {
    RealFinalize(statement);
    return SQLITE_BUSY;
}

TEST_F(DatasetTest, AFailedFinalizeOfThePreparedStatementRaises) {
    auto& driver = const_cast<TSQLiteDriver&>(db_->Driver());
    RealFinalize = std::exchange(driver.sqlite3_finalize, BusyFinalize);
    const std::function<void()> steps[] = {
        [&] { query_.SetSQL(u"select name from t"); },
        [&] { table_.SetTableName(u"t"); },
        [&] { table_.Open(); },
    };
    for (const auto& step : steps) {
        const ESQLiteError error = CatchSQLiteError(step);
        EXPECT_EQ(error.Message(), u"SQLiteExecute error: 5");
        EXPECT_EQ(error.ErrorCode(), -1);
    }
    driver.sqlite3_finalize = RealFinalize;
    query_.Open();
    EXPECT_EQ(query_.RecordCount(), 3);
}

TEST_F(DatasetTest, ParametersBindByPositionAndNullStaysUnbound) {
    query_.SetSQL(u"select ?1 is null, :flag, :name || '!'");
    ASSERT_EQ(query_.Params().Count(), 3);
    EXPECT_EQ(query_.Params()[1].Name(), u"flag");
    query_.Params()[1].SetAsBoolean(true);
    query_.Params().ParamByName(u"NAME").SetAsString(u"x'); drop table t; --");
    query_.Open();
    EXPECT_EQ(query_.Fields(0).AsString(), u"1");
    EXPECT_EQ(query_.Fields(1).AsString(), u"True");
    EXPECT_EQ(query_.Fields(2).AsString(), u"x'); drop table t; --!");
    EXPECT_EQ(db_->QueryValue(u"select count(*) from t"), u"3");
    EXPECT_THROW(query_.Params().ParamByName(u"nothing"), EDatabaseError);
}

TEST_F(DatasetTest, ParametersReachSQLiteAsTheirText) {
    struct Case {
        Variant value;
        const char16_t* quoted;
    } cases[] = {
        {Variant(true), u"'True'"},
        {Variant(false), u"'False'"},
        {Variant(-42), u"'-42'"},
        {Variant(std::int64_t{5000000000}), u"'5000000000'"},
        {Variant(2.5), u"'2.5'"},
        {DateTimeValue(EncodeDateTime(2026, 12, 10, 14, 5, 6, 0)), u"'2026-12-10 14:05:06'"},
        {Variant(String(u"\u4e2d'")), u"'\u4e2d'''"},
        {Variant(String()), u"''"},
        {Null(), u"NULL"},
        // A text could not hold every byte.
        {BytesValue(std::string("\0\xff", 2)), u"X'00FF'"},
    };
    query_.SetSQL(u"select quote(?)");
    for (const Case& c : cases) {
        query_.Close();
        query_.Params()[0].SetValue(c.value);
        query_.Open();
        EXPECT_EQ(query_.Fields(0).AsString(), c.quoted);
    }
}

TEST_F(DatasetTest, BooleanParametersReadBackAsTheValueWritten) {
    db_->RunStatements(u"create table b(k integer, flag boolean); insert into b values(0, 1)");
    for (const bool flag : {true, false}) {
        query_.SetSQL(u"insert into b values(?, ?)");
        query_.Params()[0].SetValue(Variant(flag ? 1 : 2));
        query_.Params()[1].SetAsBoolean(flag);
        query_.Open();
    }
    query_.SetSQL(u"select flag from b order by k");
    query_.Open();
    for (const bool expected : {true, true, false}) {
        EXPECT_EQ(query_.Fields(0).AsBoolean(), expected);
        query_.Next();
    }
}

TEST_F(DatasetTest, NumberParametersKeepTheDecimalPointOfALocaleWithAComma) {
    struct CommaLocale {
        TFormatSettings saved = FormatSettings();
        CommaLocale() { FormatSettings().DecimalSeparator = u','; }
        ~CommaLocale() { FormatSettings() = saved; }
    } comma;
    db_->RunStatements(u"create table f(x real)");
    query_.SetSQL(u"insert into f values(?)");
    query_.Params()[0].SetValue(Variant(2.5));
    query_.Open();
    EXPECT_EQ(db_->QueryValue(u"select typeof(x) || ' ' || (x * 2) from f"), u"real 5.0");
}

TEST_F(DatasetTest, EmptyTextsAndBlobsReadAsNull) {
    db_->RunStatements(u"create table e(s varchar(10), b blob, n integer, z varchar(10));"
                       u"insert into e values('', x'', 0, '0')");
    table_.SetTableName(u"e");
    table_.Open();
    EXPECT_TRUE(table_.FieldByName(u"s").IsNull());
    EXPECT_TRUE(table_.FieldByName(u"b").IsNull());
    EXPECT_EQ(table_.FieldByName(u"n").AsString(), u"0");
    EXPECT_EQ(table_.FieldByName(u"z").AsString(), u"0");
}

TEST_F(DatasetTest, ErrorAfterSomeRowsFailsTheOpen) {
    db_->RunStatements(u"insert into t(name, n) values('min', -9223372036854775808)");
    query_.SetSQL(u"select name, abs(n) from t order by id");
    const ESQLiteError e = CatchSQLiteError([&] { query_.Open(); });
    EXPECT_EQ(e.Message(), u"integer overflow");
    EXPECT_FALSE(query_.Active());
    EXPECT_EQ(query_.RecordCount(), 0);
}

TEST_F(DatasetTest, QueryWaitsForALockOnlyUpToBusyTimeout) {
    auto holder = Connect();
    holder->StartTransaction(u"exclusive");
    holder->RunStatements(u"insert into t(name) values('held')");
    db_->SetBusyTimeout(200);
    query_.SetSQL(u"select * from t");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CatchSQLiteError([&] { query_.Open(); }).ErrorCode() & 0xFF, SQLITE_BUSY);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    holder->RollbackTransaction();
    query_.Open();
    EXPECT_EQ(query_.RecordCount(), 3);
}

TEST_F(DatasetTest, TableEditAndDeleteWriteBackByRowid) {
    table_.SetTableName(u"t");
    table_.Open();
    ASSERT_TRUE(table_.Locate(u"name", Variant(String(u"b"))));
    table_.Edit();
    table_.FieldByName(u"n").SetAsInteger(20);
    table_.Post();
    EXPECT_EQ(table_.FieldByName(u"n").AsInteger(), 20);
    EXPECT_EQ(db_->QueryValue(u"select n from t where name='b'"), u"20");

    table_.First();
    table_.Delete();
    EXPECT_EQ(Names(table_), (std::vector<String>{u"b", u"c"}));
    EXPECT_EQ(db_->QueryValue(u"select group_concat(name) from t"), u"b,c");
    EXPECT_FALSE(InTransaction());
}

TEST_F(DatasetTest, RejectedInsertOrUpdateEndsItsTransaction) {
    table_.SetTableName(u"t");
    table_.SetPrimaryAutoInc(true);
    table_.Open();
    table_.Append();
    table_.FieldByName(u"name").SetAsString(u"a");
    const ESQLiteError e = CatchSQLiteError([&] { table_.Post(); });
    EXPECT_EQ(e.Message(), u"UNIQUE constraint failed: t.name");
    EXPECT_FALSE(InTransaction());
    EXPECT_EQ(table_.State(), dsInsert);
    EXPECT_EQ(table_.RecordCount(), 3);

    table_.FieldByName(u"name").SetAsString(u"d");
    table_.Post();
    EXPECT_EQ(table_.FieldByName(u"id").AsInteger(), 4);
    EXPECT_EQ(db_->QueryValue(u"select name from t where id=4"), u"d");

    table_.Edit();
    table_.FieldByName(u"name").SetAsString(u"c");
    EXPECT_THROW(table_.Post(), ESQLiteError);
    EXPECT_FALSE(InTransaction());
    table_.Cancel();
    EXPECT_EQ(table_.FieldByName(u"name").AsString(), u"d");
}

TEST_F(DatasetTest, RejectedDeleteEndsItsTransaction) {
    db_->RunStatements(u"create trigger keep before delete on t when old.name = 'b' "
                       u"begin select raise(abort, 'b stays'); end");
    table_.SetTableName(u"t");
    table_.SetTransactionType(u"immediate");
    table_.Open();
    ASSERT_TRUE(table_.Locate(u"name", Variant(String(u"B")), true));
    EXPECT_EQ(CatchSQLiteError([&] { table_.Delete(); }).Message(), u"b stays");
    EXPECT_FALSE(InTransaction());
    EXPECT_EQ(table_.RecordCount(), 3);
    EXPECT_EQ(table_.FieldByName(u"name").AsString(), u"b");
}

TEST_F(DatasetTest, WritesJoinATransactionTheCallerBegan) {
    table_.SetTableName(u"t");
    table_.Open();
    db_->StartTransaction();
    table_.Edit();
    table_.FieldByName(u"n").SetAsInteger(10);
    table_.Post();
    table_.Edit();
    table_.FieldByName(u"name").SetAsString(u"b");
    EXPECT_THROW(table_.Post(), ESQLiteError);
    EXPECT_TRUE(InTransaction());
    table_.Cancel();
    db_->RollbackTransaction();
    EXPECT_EQ(db_->QueryValue(u"select n from t where name='a'"), u"1");
}

TEST_F(DatasetTest, ReadOnlyTableRefusesWrites) {
    table_.SetTableName(u"t");
    table_.SetReadOnly(true);
    table_.Open();
    table_.Edit();
    table_.FieldByName(u"n").SetAsInteger(5);
    EXPECT_EQ(CatchSQLiteError([&] { table_.Post(); }).Message(), u"Cannot post into a read-only dataset");
    table_.Cancel();
    EXPECT_EQ(CatchSQLiteError([&] { table_.Delete(); }).Message(), u"Cannot delete from a read-only dataset");
}

TEST_F(DatasetTest, TableLimitsAfterOrdering) {
    db_->RunStatements(u"with recursive k(i) as (select 4 union all select i + 1 from k where i < 1500) "
                       u"insert into t(name, n) select 'r' || i, i from k");
    table_.SetTableName(u"t");
    table_.SetOrderBy(u"n desc");
    table_.Open();
    EXPECT_EQ(table_.RecordCount(), 1000);
    EXPECT_EQ(table_.FieldByName(u"n").AsInteger(), 1500);
    table_.Close();
    table_.SetRecordLimit(2);
    table_.SetRecordOffset(1);
    table_.Open();
    EXPECT_EQ(table_.RecordCount(), 2);
    EXPECT_EQ(table_.FieldByName(u"n").AsInteger(), 1499);
}

TEST_F(DatasetTest, MasterValuesAreQuotedAndCopiedIntoNewRows) {
    db_->RunStatements(u"insert into t(name, n) values('O''Brien', 7), ('x'' or ''1''=''1', 8)");
    table_.SetTableName(u"t");
    table_.Open();
    table_.SetMasterValues({{u"name", Variant(String(u"O'Brien"))}});
    EXPECT_TRUE(table_.Active());
    EXPECT_EQ(Names(table_), std::vector<String>{u"O'Brien"});
    table_.SetMasterValues({{u"name", Variant(String(u"x' or '1'='1"))}});
    EXPECT_EQ(Names(table_), std::vector<String>{u"x' or '1'='1"});
    table_.SetMasterValues({{u"n", Variant(7)}});
    EXPECT_EQ(Names(table_), std::vector<String>{u"O'Brien"});

    table_.Append();
    EXPECT_EQ(table_.FieldByName(u"n").AsInteger(), 7);
    table_.FieldByName(u"name").SetAsString(u"new");
    table_.Post();
    EXPECT_EQ(db_->QueryValue(u"select n from t where name='new'"), u"7");
}

TEST_F(DatasetTest, ColumnNamesWithQuotesAndBracketsAreWrittenBack) {
    db_->RunStatements(u"create table q(\"odd \"\"name]\" varchar, [x] integer)");
    table_.SetTableName(u"q");
    table_.Open();
    table_.Append();
    table_.Fields(0).SetAsString(u"v");
    table_.Post();
    table_.Edit();
    table_.Fields(1).SetAsInteger(2);
    table_.Post();
    table_.SetMasterValues({{u"odd \"name]", Variant(String(u"v"))}});
    EXPECT_EQ(table_.RecordCount(), 1);
    EXPECT_EQ(db_->QueryValue(u"select \"odd \"\"name]\" || x from q"), u"v2");
}

TEST_F(DatasetTest, BlobsRoundTripWithEmbeddedZeros) {
    db_->RunStatements(u"create table b(id integer primary key, data blob)");
    table_.SetTableName(u"b");
    table_.Open();
    const std::string bytes("\0\x01\xff tail", 8);
    table_.Append();
    table_.FieldByName(u"data").SetAsBytes(bytes);
    table_.Post();
    table_.Close();
    table_.Open();
    EXPECT_EQ(table_.FieldByName(u"data").AsBytes(), bytes);
    EXPECT_EQ(db_->QueryValue(u"select length(data) from b"), u"8");
}

TEST_F(DatasetTest, TextsWithZeroCharactersReadInFull) {
    const String text(u"a\0b\u00e9\0", 5);
    table_.SetTableName(u"t");
    table_.Open();
    table_.Append();
    table_.FieldByName(u"name").SetAsString(text);
    table_.Post();
    ASSERT_EQ(db_->QueryValue(u"select length(cast(name as blob)) from t where id=4"), u"6");
    // The second library lacks the UTF-16 length and reads through UTF-8.
    for (const char* driver : {"libsqlite3.so.0", SQLITE_SHIM_OPTIONAL}) {
        TASQLite3DB db;
        db.SetDriverDLL(driver);
        db.SetDatabase(String(DbPath().string()));
        db.SetMapper(&mapper_);
        db.SetConnected(true);
        TASQLite3Query query;
        query.SetConnection(&db);
        query.SetSQL(u"select name, name || '' as copy from t where id=4");
        query.Open();
        EXPECT_EQ(query.FieldByName(u"name").AsString(), text) << driver;
        EXPECT_EQ(query.FieldByName(u"copy").AsString(), text) << driver;
    }
}

TEST_F(DatasetTest, RowRemovedByAnotherConnectionIsNotSilentlyLost) {
    table_.SetTableName(u"t");
    table_.Open();
    auto other = Connect();
    other->RunStatements(u"delete from t where name in ('a', 'b')");
    const auto rejected = [&](auto&& write) {
        const ESQLiteError e = CatchSQLiteError(write);
        EXPECT_EQ(e.Message(), u"Record not found or changed by another user");
        EXPECT_FALSE(InTransaction());
        EXPECT_EQ(table_.RecordCount(), 3);
    };
    table_.First();
    table_.Edit();
    table_.FieldByName(u"n").SetAsInteger(10);
    rejected([&] { table_.Post(); });
    EXPECT_EQ(table_.State(), dsEdit);
    table_.Cancel();
    table_.Next();
    rejected([&] { table_.Delete(); });
    EXPECT_EQ(table_.FieldByName(u"name").AsString(), u"b");
    EXPECT_EQ(db_->QueryValue(u"select group_concat(name) from t"), u"c");
}

TEST_F(DatasetTest, UnreadableDeclaredSizesOpen) {
    db_->RunStatements(u"create table d(a varchar(1e3), b decimal(1.5, 2)); insert into d values('x', 2.5)");
    table_.SetTableName(u"d");
    table_.Open();
    EXPECT_EQ(table_.FieldByName(u"a").AsString(), u"x");
    EXPECT_EQ(table_.FieldByName(u"b").AsString(), u"2.5");
}

TEST_F(DatasetTest, TruncatedFileFailsTheOpen) {
    db_.reset();
    {
        auto db = Connect();
        db->RunStatements(u"pragma page_size=1024;"
                          u"with recursive k(i) as (select 1 union all select i + 1 from k where i < 2000) "
                          u"insert into t(name, n) select hex(randomblob(60)), i from k");
    }
    std::filesystem::resize_file(DbPath(), std::filesystem::file_size(DbPath()) / 3);
    db_ = Connect();
    db_->SetMapper(&mapper_);
    query_.SetConnection(db_.get());
    const ESQLiteError e = CatchSQLiteError([&] {
        query_.SetSQL(u"select * from t order by n");
        query_.Open();
    });
    EXPECT_EQ(e.ErrorCode() & 0xFF, SQLITE_CORRUPT);
    EXPECT_EQ(e.Message(), u"database disk image is malformed");
    EXPECT_FALSE(query_.Active());
}

TEST_F(DatasetTest, DamagedPagesGiveErrorsOrRowsButNeverACrash) {
    db_.reset();
    {
        auto db = Connect();
        db->RunStatements(u"pragma page_size=1024; create index tn on t(n);"
                          u"with recursive k(i) as (select 1 union all select i + 1 from k where i < 500) "
                          u"insert into t(name, n) select printf('%040d', i * 7919), i from k");
    }
    std::string image;
    {
        std::ifstream in(DbPath(), std::ios::binary);
        image.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        std::string damaged = image;
        for (int i = 0; i < 16; ++i) damaged[random() % damaged.size()] = static_cast<char>(random());
        {
            std::ofstream out(DbPath(), std::ios::binary | std::ios::trunc);
            out << damaged;
        }
        TASQLite3DB db;
        db.SetDatabase(String(DbPath().string()));
        db.SetConnected(true);
        TASQLite3Query query;
        query.SetConnection(&db);
        try {
            query.SetSQL(u"select * from t where n > 10 order by name");
            query.Open();
            for (query.First(); !query.Eof(); query.Next())
                for (int i = 0; i < query.FieldCount(); ++i) query.Fields(i).AsString();
        } catch (const ESQLiteError& e) {
            EXPECT_FALSE(e.Message().IsEmpty());
        }
    }
}

TEST_F(DatasetTest, DisconnectClosesAndDestructionDetachesTheDatasets) {
    query_.SetSQL(u"select * from t");
    query_.Open();
    db_->SetConnected(false);
    EXPECT_FALSE(query_.Active());
    db_.reset();
    EXPECT_EQ(query_.Connection(), nullptr);
    EXPECT_EQ(CatchSQLiteError([&] { query_.Open(); }).Message(), u"Database is not connected");
}

} // namespace
