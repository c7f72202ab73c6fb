#pragma once
// Temporary database files for the SQLite tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "support/sqlite/SQLiteConnection.h"

inline std::filesystem::path TestFolder() {
    const char* home = std::getenv("OSTREL_HOME");
    return home ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
}

// The mappings of the application's connection.
inline std::vector<TMapItem> AppMappings() {
    return {{u"Boolean", ftBoolean}, {u"integer", ftInteger}, {u"varchar", ftWideString},
            {u"datetime", ftDateTime}, {u"blob", ftBlob},    {u"memo", ftBlob}};
}

// A fresh, empty database file per test, named after the test.
class SQLiteTest : public testing::Test {
protected:
    SQLiteTest() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        path_ = TestFolder() / (std::string(info->test_suite_name()) + "." + info->name() + ".db");
        std::filesystem::remove(path_);
    }
    ~SQLiteTest() override { std::filesystem::remove(path_); }

    const std::filesystem::path& DbPath() const { return path_; }

    std::unique_ptr<TASQLite3DB> Connect(const std::filesystem::path& path) {
        auto db = std::make_unique<TASQLite3DB>();
        db->SetDatabase(String(path.string()));
        db->SetConnected(true);
        return db;
    }
    std::unique_ptr<TASQLite3DB> Connect() { return Connect(path_); }

private:
    std::filesystem::path path_;
};

// Runs fn and returns the ESQLiteError it raises; fails the test when it raises none.
template <class Fn>
ESQLiteError CatchSQLiteError(Fn&& fn) {
    try {
        fn();
    } catch (const ESQLiteError& e) {
        return e;
    }
    ADD_FAILURE() << "no ESQLiteError raised";
    return ESQLiteError(String());
}
