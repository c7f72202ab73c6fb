#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <random>

#include "support/sqlite/SQLiteFixture.h"

namespace {

using ConnectionTest = SQLiteTest;

TEST_F(ConnectionTest, ResolvesTheFileAgainstDefaultDirAndKeepsTheSeparator) {
    const auto folder = TestFolder() / "Config";
    std::filesystem::create_directories(folder);
    { std::ofstream(folder / "av.cfg"); }

    TASQLite3DB db;
    db.SetDefaultExt(u".cfg");
    db.SetDatabase(u"  av  ");
    db.SetDefaultDir(String(folder.string()));
    db.SetMustExist(true);
    db.SetConnected(true);
    EXPECT_TRUE(db.Connected());
    EXPECT_EQ(db.Database(), u"av.cfg");
    EXPECT_EQ(db.DefaultDir(), String(folder.string() + "/"));
    db.RunStatements(u"create table t(x)");
    db.SetConnected(false);
    EXPECT_FALSE(db.Connected());
    EXPECT_GT(std::filesystem::file_size(folder / "av.cfg"), 0u);
    std::filesystem::remove_all(folder);
}

TEST_F(ConnectionTest, DatabaseNameTakesTheDefaultExtensionOnlyWhenItHasNone) {
    struct Case {
        const char16_t* ext;
        const char16_t* name;
        const char16_t* expected;
    } cases[] = {
        {u".cfg", u"tasks", u"tasks.cfg"},
        {u".cfg", u"tasks.db", u"tasks.db"},
        {u".cfg", u"dir.d/tasks", u"dir.d/tasks.cfg"},
        {u".cfg", u":MEMORY:", u":MEMORY:"},
        {u"", u"tasks", u"tasks"},
    };
    for (const Case& c : cases) {
        TASQLite3DB db;
        db.SetDefaultExt(c.ext);
        db.SetDatabase(c.name);
        EXPECT_EQ(db.Database(), c.expected) << String(c.name);
    }
    TASQLite3DB db;
    EXPECT_EQ(db.DefaultExt(), u".sqb");
    EXPECT_EQ(db.DriverDLL(), u"libsqlite3.so.0");
}

TEST_F(ConnectionTest, UpperCaseMemoryNameOpensAnInMemoryDatabase) {
    TASQLite3DB db;
    db.SetMustExist(true);
    db.SetDatabase(u":MEMORY:");
    db.SetConnected(true);
    db.RunStatements(u"create table t(x); insert into t values(42);");
    EXPECT_EQ(db.QueryValue(u"select x from t"), u"42");
}

TEST_F(ConnectionTest, EventsSurroundConnectAndDisconnect) {
    TASQLite3DB db;
    std::vector<String> events;
    const auto record = [&](const char* name) {
        return [&events, name](TASQLite3DB* sender) { events.push_back(name + String(sender->Connected() ? "+" : "-")); };
    };
    db.BeforeConnect = record("before connect");
    db.AfterConnect = record("after connect");
    db.BeforeDisconnect = record("before disconnect");
    db.AfterDisconnect = record("after disconnect");
    db.SetDatabase(String(DbPath().string()));
    db.SetConnected(true);
    EXPECT_FALSE(db.Version().IsEmpty());
    db.SetConnected(false);
    EXPECT_EQ(events, (std::vector<String>{u"before connect+", u"after connect+", u"before disconnect+",
                                           u"after disconnect+"}));
}

TEST_F(ConnectionTest, SqlCannotLoadExtensions) {
    auto db = Connect();
    const ESQLiteError e = CatchSQLiteError([&] { db->RunStatements(u"select load_extension('libm.so.6')"); });
    EXPECT_EQ(e.Message(), u"not authorized");
}

TEST_F(ConnectionTest, ConnectFailuresLeaveTheConnectionClosed) {
    TASQLite3DB db;
    EXPECT_EQ(CatchSQLiteError([&] { db.SetConnected(true); }).Message(), u"Missing database property");

    db.SetDatabase(String(DbPath().string()));
    db.SetMustExist(true);
    const ESQLiteError missing = CatchSQLiteError([&] { db.SetConnected(true); });
    EXPECT_EQ(missing.Message(), "Database " + String(DbPath().string()) + " does not exist");
    EXPECT_EQ(missing.ErrorCode(), -1);

    db.SetMustExist(false);
    db.SetDriverDLL(u"libno-such-sqlite.so");
    EXPECT_EQ(CatchSQLiteError([&] { db.SetConnected(true); }).Message(),
              u"Could not load SQLite library(libno-such-sqlite.so)");
    EXPECT_FALSE(db.Connected());

    db.SetDriverDLL(u"libsqlite3.so.0");
    db.SetDatabase(String((TestFolder() / "no-such-folder" / "x.db").string()));
    EXPECT_TRUE(CatchSQLiteError([&] { db.SetConnected(true); }).Message().starts_with(u"Can not open Database "));
    EXPECT_FALSE(db.Connected());
}

TEST_F(ConnectionTest, ConstraintViolationFailsWithoutRetryingAndTheConnectionStaysUsable) {
    auto db = Connect();
    db->RunStatements(u"create table t(id integer primary key, name text not null unique)");
    db->RunStatements(u"insert into t(name) values('a')");
    const auto start = std::chrono::steady_clock::now();
    const ESQLiteError e = CatchSQLiteError([&] { db->RunStatements(u"insert into t(name) values('a')"); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(e.Message(), u"UNIQUE constraint failed: t.name");
    EXPECT_EQ(e.ErrorCode() & 0xFF, SQLITE_CONSTRAINT);

    db->RunStatements(u"insert into t(name) values('b')");
    db->SetConnected(false);
    EXPECT_EQ(Connect()->QueryValue(u"select group_concat(name) from t"), u"a,b");
}

TEST_F(ConnectionTest, RunsEveryStatementOfATextAndStopsAtTheFailingOne) {
    auto db = Connect();
    db->RunStatements(u"create table t(x);\n insert into t values(1); -- first\n insert into t values(2);  ");
    EXPECT_EQ(db->QueryValue(u"select sum(x) from t"), u"3");
    EXPECT_THROW(db->RunStatements(u"insert into t values(3); insert into nowhere values(4); insert into t values(5)"),
                 ESQLiteError);
    EXPECT_EQ(db->QueryValue(u"select sum(x) from t"), u"6");
}

TEST_F(ConnectionTest, QueryValueGivesTheFirstValueOrEmptyAndRaisesWhenTheStatementFails) {
    auto db = Connect();
    db->RunStatements(u"create table t(x, y); insert into t values('\u4e2d\u6587', 2); insert into t values('b', 3)");
    EXPECT_EQ(db->QueryValue(u"select x, y from t order by y"), u"\u4e2d\u6587");
    EXPECT_EQ(db->QueryValue(u"select x from t where y > 10"), u"");
    EXPECT_EQ(db->QueryValue(u"select null"), u"");
    const ESQLiteError e = CatchSQLiteError([&] { db->QueryValue(u"select x from nowhere"); });
    EXPECT_EQ(e.Message(), u"no such table: nowhere");
    EXPECT_EQ(e.ErrorCode(), SQLITE_ERROR);
    EXPECT_EQ(db->QueryValue(u"select count(*) from t"), u"2");
}

TEST_F(ConnectionTest, IntegrityCheckOfADamagedDatabaseRaises) {
    const struct {
        const char* damage;
        std::streamoff at;  // where 512 bytes of 0xEE overwrite the file
        int code;
    } cases[] = {
        {"header", 0, SQLITE_NOTADB},
        {"schema page", 100, SQLITE_CORRUPT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        std::filesystem::remove(DbPath());
        Connect()->RunStatements(u"pragma page_size=1024; create table t(x); insert into t values(1)");
        {
            std::fstream file(DbPath(), std::ios::binary | std::ios::in | std::ios::out);
            file.seekp(c.at);
            file << std::string(512, '\xEE');
        }
        auto db = Connect();
        const ESQLiteError e = CatchSQLiteError([&] { db->QueryValue(u"pragma integrity_check"); });
        EXPECT_EQ(e.ErrorCode() & 0xFF, c.code) << e.Message();
        EXPECT_FALSE(e.Message().empty());
    }
}

TEST_F(ConnectionTest, TransactionsCommitAndRollBack) {
    auto db = Connect();
    db->RunStatements(u"create table t(x)");
    for (const char16_t* kind : {u"", u"deferred", u"immediate", u"EXCLUSIVE", u"whatever"}) {
        db->StartTransaction(kind);
        EXPECT_TRUE(db->InTransaction());
        EXPECT_EQ(db->Driver().sqlite3_get_autocommit(db->DBHandle()), 0);
        db->RunStatements(u"insert into t values(1)");
        db->RollbackTransaction();
        EXPECT_FALSE(db->InTransaction());
    }
    db->StartTransaction();
    db->RunStatements(u"insert into t values(1)");
    db->CommitTransaction();
    EXPECT_EQ(db->QueryValue(u"select count(*) from t"), u"1");
}

TEST_F(ConnectionTest, WaitsForAnExclusiveLockOnlyUpToBusyTimeout) {
    auto holder = Connect();
    holder->RunStatements(u"create table t(x)");
    holder->StartTransaction(u"exclusive");
    holder->RunStatements(u"insert into t values(1)");

    auto db = Connect();
    db->SetBusyTimeout(300);
    const auto start = std::chrono::steady_clock::now();
    const ESQLiteError e = CatchSQLiteError([&] { db->RunStatements(u"insert into t values(2)"); });
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(e.ErrorCode() & 0xFF, SQLITE_BUSY);
    EXPECT_EQ(e.Message(), u"database is locked");
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::seconds(3));

    holder->CommitTransaction();
    db->RunStatements(u"insert into t values(2)");
    EXPECT_EQ(db->QueryValue(u"select count(*) from t"), u"2");
}

TEST_F(ConnectionTest, WaitsForATableLockOnlyWhenAnotherConnectionHoldsIt) {
    using std::chrono::steady_clock;
    const auto timed = [](TASQLite3DB& db, const char16_t* sql) {
        const auto start = steady_clock::now();
        const ESQLiteError e = CatchSQLiteError([&] { db.RunStatements(sql); });
        EXPECT_EQ(e.ErrorCode() & 0xFF, SQLITE_LOCKED) << e.Message();
        return steady_clock::now() - start;
    };
    {
        auto db = Connect();
        db->RunStatements(u"create table t(x); insert into t values(1), (2)");
        db->SetBusyTimeout(3000);
        const TSQLiteStatement reading = db->Prepare(u"select x from t");
        ASSERT_EQ(db->Step(reading.Handle(), true), SQLITE_ROW);
        EXPECT_LT(timed(*db, u"drop table t"), std::chrono::milliseconds(1000));
    }
    const std::filesystem::path shared = "file:" + DbPath().string() + "?cache=shared";
    auto holder = Connect(shared);
    holder->StartTransaction();
    holder->RunStatements(u"insert into t values(3)");
    auto db = Connect(shared);
    db->SetBusyTimeout(300);
    const auto waited = timed(*db, u"select count(*) from t");
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::seconds(3));
    holder->RollbackTransaction();
    EXPECT_EQ(db->QueryValue(u"select count(*) from t"), u"2");
}

TEST_F(ConnectionTest, EndingTheConnectionFinalizesTheStatementsStillAlive) {
    // Keeps the library loaded: a connection left open would still hold the file.
    auto keeper = Connect();
    keeper->RunStatements(u"create table t(x); insert into t values(1), (2)");
    keeper->SetBusyTimeout(0);
    const std::function<void(std::unique_ptr<TASQLite3DB>&)> ends[] = {
        [](auto& db) { db->SetConnected(false); },
        [](auto& db) { db.reset(); },
    };
    for (const auto& end : ends) {
        auto db = Connect();
        std::optional<TSQLiteStatement> reading(db->Prepare(u"select x from t"));
        ASSERT_EQ(db->Step(reading->Handle(), true), SQLITE_ROW);
        end(db);
        keeper->StartTransaction(u"exclusive");
        keeper->RollbackTransaction();
        EXPECT_EQ(CatchSQLiteError([&] { reading->Handle(); }).Message(), u"Statement's connection is closed");
        reading.reset();
    }
}

TEST_F(ConnectionTest, DisconnectRefusedBySQLiteIsReportedAndKeepsTheConnection) {
    auto db = Connect();
    sqlite3_stmt* outside = nullptr;
    ASSERT_EQ(db->Driver().sqlite3_prepare_v2(db->DBHandle(), "select 1", -1, &outside, nullptr), SQLITE_OK);
    const ESQLiteError e = CatchSQLiteError([&] { db->SetConnected(false); });
    EXPECT_EQ(e.ErrorCode(), SQLITE_BUSY);
    EXPECT_EQ(e.Message(), u"unable to close due to unfinalized statements or unfinished backups");
    ASSERT_TRUE(db->Connected());
    EXPECT_EQ(db->QueryValue(u"select 2"), u"2");
    db->Driver().sqlite3_finalize(outside);
    db->SetConnected(false);
    EXPECT_FALSE(db->Connected());
}

TEST_F(ConnectionTest, RandomBytesAreNotADatabase) {
    {
        std::mt19937 random(7);
        std::ofstream out(DbPath(), std::ios::binary);
        for (int i = 0; i < 64 * 1024; ++i) out.put(static_cast<char>(random()));
    }
    auto db = Connect();
    const ESQLiteError e = CatchSQLiteError([&] { db->RunStatements(u"select * from sqlite_master"); });
    EXPECT_EQ(e.ErrorCode(), SQLITE_NOTADB);
    EXPECT_EQ(e.Message(), u"file is not a database");
}

TEST_F(ConnectionTest, TruncatedFileReportsCorruption) {
    {
        auto db = Connect();
        db->RunStatements(u"pragma page_size=1024; create table t(x); create index tx on t(x);"
                          u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                          u"insert into t select randomblob(100) from n");
    }
    std::filesystem::resize_file(DbPath(), std::filesystem::file_size(DbPath()) / 2);
    auto db = Connect();
    const ESQLiteError e = CatchSQLiteError([&] { db->RunStatements(u"select count(*) from t where x > x'00'"); });
    EXPECT_EQ(e.ErrorCode() & 0xFF, SQLITE_CORRUPT) << e.Message();
}

TEST_F(ConnectionTest, LibraryLackingErrcodeAndExtensionLoadingWorks) {
    TASQLite3DB db;
    db.SetDriverDLL(SQLITE_SHIM_OPTIONAL);
    db.SetDatabase(String(DbPath().string()));
    db.SetConnected(true);
    db.RunStatements(u"create table t(id integer primary key)");
    db.RunStatements(u"insert into t values(1)");
    const ESQLiteError e = CatchSQLiteError([&] { db.RunStatements(u"insert into t values(1)"); });
    EXPECT_EQ(e.Message(), u"UNIQUE constraint failed: t.id");
    EXPECT_EQ(e.ErrorCode(), SQLITE_CONSTRAINT);
    EXPECT_EQ(db.QueryValue(u"select count(*) from t"), u"1");
}

TEST_F(ConnectionTest, LibraryLackingProfileIsRefusedByName) {
    TASQLite3DB db;
    db.SetDriverDLL(SQLITE_SHIM_REQUIRED);
    db.SetDatabase(String(DbPath().string()));
    EXPECT_EQ(CatchSQLiteError([&] { db.SetConnected(true); }).Message(), u"DLL::SQlite3Profile not found");
    EXPECT_FALSE(db.Connected());
}

TEST_F(ConnectionTest, ProgressEventCanInterruptAStatement) {
    auto db = Connect();
    int calls = 0;
    db->OnProgress = [&](TASQLite3DB*, int& abort) { abort = ++calls > 10; };
    const ESQLiteError e = CatchSQLiteError([&] {
        db->RunStatements(u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
                          u"select count(*) from n");
    });
    EXPECT_EQ(e.ErrorCode(), SQLITE_INTERRUPT);
}

TEST_F(ConnectionTest, ExceptionFromTheProgressEventEndsTheStatementAndLeavesTheConnectionUsable) {
    auto db = Connect();
    db->RunStatements(u"create table t(x)");
    db->OnProgress = [](TASQLite3DB*, int&) { throw Exception("stop here"); };
    try {
        db->RunStatements(u"insert into t with recursive n(i) as (select 1 union all select i + 1 from n "
                          u"where i < 100000) select i from n");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"stop here");
    }
    db->OnProgress = nullptr;
    // SQLite released the connection: another thread can use it.
    auto other = std::async(std::launch::async, [&] { return db->QueryValue(u"select 7"); });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(other.get(), u"7");
    db->StartTransaction();
    db->RunStatements(u"insert into t values(1)");
    db->CommitTransaction();
    EXPECT_EQ(db->QueryValue(u"select count(*) from t"), u"1");
}

TEST_F(ConnectionTest, ProgressEventCannotDisconnectTheRunningStatement) {
    auto db = Connect();
    bool disconnected = false;
    db->OnProgress = [&](TASQLite3DB* sender, int&) {
        sender->OnProgress = nullptr;
        sender->SetConnected(false);
        disconnected = true;
    };
    const ESQLiteError e = CatchSQLiteError([&] {
        db->RunStatements(u"create table t as with recursive n(i) as (select 1 union all select i + 1 from n "
                          u"where i < 1000) select i from n");
    });
    EXPECT_EQ(e.Message(), u"Cannot disconnect while a statement is running");
    EXPECT_FALSE(disconnected);
    ASSERT_TRUE(db->Connected());
    EXPECT_EQ(db->QueryValue(u"select count(*) from sqlite_master"), u"0");
    db->SetConnected(false);
    EXPECT_FALSE(db->Connected());
}

TEST_F(ConnectionTest, DeclaredTypesMapToFieldTypes) {
    TSpSqliteMapper mapper;
    mapper.Mappings() = {{u"Boolean", ftBoolean}, {u"integer", ftInteger}, {u"varchar", ftWideString},
                         {u"datetime", ftDateTime}, {u"blob", ftBlob}, {u"memo", ftBlob}, {u"real", ftFloat, false}};
    TASQLite3DB db;
    db.SetMapper(&mapper);
    struct Case {
        const char16_t* decl;
        TFieldType type;
        int size, precision;
    } cases[] = {
        {u"varchar(255)", ftWideString, 255, 0}, {u"decimal(10,2)", ftWideString, 10, 2},
        {u"numeric(8.3)", ftWideString, 8, 3},   {u"nothing", ftWideString, 8192, 0},
        {u"BOOLEAN", ftBoolean, 0, 0},           {u"DateTime", ftDateTime, 24, 0},
        {u"real", ftWideString, 8192, 0},        {u"integer", ftInteger, 0, 0},
        // Sizes that do not read count as none.
        {u"numeric(10,)", ftWideString, 8192, 0}, {u"varchar(1e3)", ftWideString, 8192, 0},
        {u"decimal(1.5,2)", ftWideString, 8192, 0}, {u"varchar(-4)", ftWideString, 8192, 0},
        {u"integer(x)", ftInteger, 0, 0},
    };
    for (const Case& c : cases) {
        TFieldType type = ftUnknown;
        int size = -1, precision = -1;
        db.FieldTypeFromDecl(c.decl, type, size, precision);
        EXPECT_EQ(type, c.type) << String(c.decl);
        EXPECT_EQ(size, c.size) << String(c.decl);
        EXPECT_EQ(precision, c.precision) << String(c.decl);
    }
    mapper.SetEncoding(emAnsi);
    EXPECT_EQ(mapper.MapDeclaredType(u"varchar"), ftString);
}

} // namespace
