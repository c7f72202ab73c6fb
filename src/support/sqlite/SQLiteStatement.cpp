#include "support/sqlite/SQLiteStatement.h"

#include <algorithm>
#include <utility>

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

void TSQLiteStatement::Finalize() noexcept {
    if (handle_) connection_->driver_->sqlite3_finalize(handle_);
    handle_ = nullptr;
    connection_ = nullptr;
}
