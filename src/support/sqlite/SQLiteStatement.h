#pragma once
// A prepared statement of one connection. Ending the connection finalizes the
// statements still alive; a statement then raises when it is used.

#include <sqlite3.h>

class TASQLite3DB;

class TSQLiteStatement {
public:
    TSQLiteStatement(TSQLiteStatement&& other) noexcept;
    TSQLiteStatement& operator=(TSQLiteStatement&&) = delete;
    ~TSQLiteStatement();

    // Null for a text without a statement. ESQLiteError once the connection is closed.
    sqlite3_stmt* Handle() const;
    // Resets and finalizes the statement when its work is done. A finalize
    // that fails raises ESQLiteError "SQLiteExecute error: <code>" (code -1);
    // a statement that goes out of scope unclosed is finalized silently.
    void Close();

private:
    friend class TASQLite3DB;
    // The connection must have room to record one more statement.
    TSQLiteStatement(TASQLite3DB& connection, sqlite3_stmt* handle) noexcept;
    void Finalize() noexcept;

    TASQLite3DB* connection_;
    sqlite3_stmt* handle_;
};
