#include "support/sqlite/SQLiteStatement.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Conversions.h"
#include "support/sqlite/SQLiteConnection.h"

TSQLiteStatement::TSQLiteStatement(TASQLite3DB& connection, sqlite3_stmt* handle) noexcept
    : connection_(&connection), handle_(handle) {
    connection.statements_.push_back(this);
}

TSQLiteStatement::TSQLiteStatement(TSQLiteStatement&& other) noexcept
    : connection_(std::exchange(other.connection_, nullptr)), handle_(std::exchange(other.handle_, nullptr)) {
    if (connection_) std::ranges::replace(connection_->statements_, &other, this);
}

TSQLiteStatement::~TSQLiteStatement() {
    if (!connection_) return;
    std::erase(connection_->statements_, this);
    Finalize();
}

sqlite3_stmt* TSQLiteStatement::Handle() const {
    if (!connection_) throw ESQLiteError("Statement's connection is closed");
    return handle_;
}

void TSQLiteStatement::Close() {
    if (!connection_) return;
    TASQLite3DB* connection = std::exchange(connection_, nullptr);
    std::erase(connection->statements_, this);
    sqlite3_stmt* handle = std::exchange(handle_, nullptr);
    if (!handle) return;
    const TSQLiteDriver& driver = *connection->driver_;
    driver.sqlite3_reset(handle);
    if (const int result = driver.sqlite3_finalize(handle)) throw ESQLiteError("SQLiteExecute error: " + IntToStr(result));
}

void TSQLiteStatement::Finalize() noexcept {
    if (handle_) connection_->driver_->sqlite3_finalize(handle_);
    handle_ = nullptr;
    connection_ = nullptr;
}
