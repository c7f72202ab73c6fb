#pragma once
// The entry points of the SQLite library, loaded by name at run time and typed
// from the installed header. Required entry points are checked at load;
// optional ones stay null when the library lacks them.

#include <sqlite3.h>

#include <memory>

#include "platform/rtl/DynamicLibrary.h"

// X(name, text raised when missing)
#define SQLITE_REQUIRED_ENTRIES(X)                                                  \
    X(sqlite3_open, "DLL::SQlite3Open not found")                                   \
    X(sqlite3_close, "DLL::SQlite3Close not found")                                 \
    X(sqlite3_exec, "DLL::SQlite3Exe not found")                                    \
    X(sqlite3_libversion, "DLL::SQliteLibversion not found")                        \
    X(sqlite3_errmsg16, "DLL::SQlite3ErrorStringnot found")                         \
    X(sqlite3_get_table, "DLL::SQlite3GetTable not found")                          \
    X(sqlite3_free_table, "DLL::SQlite3FreeTable not found")                        \
    X(sqlite3_free, "DLL::SQlite3FreeMem not found")                                \
    X(sqlite3_complete, "DLL::SQlite3Complete not found")                           \
    X(sqlite3_last_insert_rowid, "DLL::SQlite3LastInsertRow not found")             \
    X(sqlite3_interrupt, "DLL::SQlite3Cancel not found")                            \
    X(sqlite3_busy_timeout, "DLL::SQlite3Busytimeout not found")                    \
    X(sqlite3_busy_handler, "DLL::SQlite3BusyHandler not found")                    \
    X(sqlite3_changes, "DLL::SQlite3Changes not found")                             \
    X(sqlite3_prepare_v2, "DLL::SQlite3Prepare not found")                          \
    X(sqlite3_prepare16_v2, "DLL::SQlite3Prepare16 not found")                      \
    X(sqlite3_finalize, "DLL::SQlite3Finalize not found")                           \
    X(sqlite3_reset, "DLL::SQlite3Reset not found")                                 \
    X(sqlite3_step, "DLL::SQlite3Step not found")                                   \
    X(sqlite3_column_blob, "DLL::SQlite3ColumnBlob not found")                      \
    X(sqlite3_column_bytes, "DLL::SQlite3ColumnBytes16 not found")                  \
    X(sqlite3_column_count, "DLL::SQlite3ColumnCount not found")                    \
    X(sqlite3_column_decltype16, "DLL::SQlite3ColumnDeclType not found")            \
    X(sqlite3_column_double, "DLL::SQlite3ColumnDouble not found")                  \
    X(sqlite3_column_int, "DLL::SQlite3ColumnInt not found")                        \
    X(sqlite3_column_int64, "DLL::SQlite3ColumnInt64 not found")                    \
    X(sqlite3_column_name, "DLL::SQlite3ColumnName not found")                      \
    X(sqlite3_column_name16, "DLL::SQlite3ColumnName16 not found")                  \
    X(sqlite3_column_text, "DLL::SQlite3ColumnText not found")                      \
    X(sqlite3_column_text16, "DLL::SQlite3ColumnText16 not found")                  \
    X(sqlite3_column_type, "DLL::SQlite3COlumnTypenot found")                       \
    X(sqlite3_bind_blob, "DLL::SQlite3BindBlob not found")                          \
    X(sqlite3_bind_value, "DLL::SQlite3BindValue not found")                        \
    X(sqlite3_bind_int, "DLL::SQlite3BindInt not found")                            \
    X(sqlite3_bind_int64, "DLL::SQlite3BindInt64 not found")                        \
    X(sqlite3_bind_double, "DLL::SQlite3BindDouble not found")                      \
    X(sqlite3_bind_null, "DLL::SQlite3BindNull not found")                          \
    X(sqlite3_bind_text, "DLL::SQlite3BindText not found")                          \
    X(sqlite3_bind_text16, "DLL::SQlite3BindText16 not found")                      \
    X(sqlite3_bind_parameter_count, "DLL::SQlite3BindParameterCount not found")     \
    X(sqlite3_bind_parameter_name, "DLL::SQlite3BindParameterName not found")       \
    X(sqlite3_create_collation, "DLL::SQlite3CreateCollation not found")            \
    X(sqlite3_get_autocommit, "DLL::SQlite3GetAutocommit not found")                \
    X(sqlite3_profile, "DLL::SQlite3Profile not found")                             \
    X(sqlite3_progress_handler, "DLL::SQlite3ProgressHandler not found")            \
    X(sqlite3_backup_init, "DLL::SQLite3_backup_init not found")

// The library may lack these; callers fall back when they are null. Extension
// loading is not bound at all: SQL in a database file must not load code.
#define SQLITE_OPTIONAL_ENTRIES(X) X(sqlite3_errcode) X(sqlite3_extended_errcode) X(sqlite3_column_bytes16)

class TSQLiteDriver {
public:
    // Null when the library cannot be loaded; ESQLiteError (code -1) naming the
    // first required entry point the library lacks.
    static std::unique_ptr<TSQLiteDriver> Load(const String& fileName);

#define SQLITE_DECLARE_ENTRY(name, ...) decltype(&::name) name = nullptr;
    SQLITE_REQUIRED_ENTRIES(SQLITE_DECLARE_ENTRY)
    SQLITE_OPTIONAL_ENTRIES(SQLITE_DECLARE_ENTRY)
#undef SQLITE_DECLARE_ENTRY

private:
    explicit TSQLiteDriver(std::unique_ptr<TDynamicLibrary> library) : library_(std::move(library)) {}
    std::unique_ptr<TDynamicLibrary> library_;
};
