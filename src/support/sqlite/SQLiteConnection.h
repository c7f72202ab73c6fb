#pragma once
// The connection to one SQLite database file: loads the library on connect,
// runs statements, transactions and single-value queries.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "platform/data/FieldType.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/TObject.h"
#include "support/sqlite/SQLiteDriver.h"
#include "support/sqlite/SQLiteError.h"
#include "support/sqlite/SQLiteMapper.h"
#include "support/sqlite/SQLiteStatement.h"

class TField;
class TSQLite3CustomDataset;

class TASQLite3DB : public TObject {
public:
    using TNotifyEvent = std::function<void(TASQLite3DB* sender)>;
    using TProgressEvent = std::function<void(TASQLite3DB* sender, int& abort)>;

    TASQLite3DB();
    ~TASQLite3DB() override;

    const String& Database() const noexcept { return database_; }
    // Trims blanks and appends DefaultExt to a name without extension.
    void SetDatabase(const String& value);
    // ".sqb" when never set.
    const String& DefaultExt();
    void SetDefaultExt(const String& value) { defaultExt_ = value; }
    const String& DefaultDir() const noexcept { return defaultDir_; }
    void SetDefaultDir(const String& value) { defaultDir_ = value; }
    // "libsqlite3.so.0" when never set.
    const String& DriverDLL();
    void SetDriverDLL(const String& value) { driverDll_ = value; }
    bool Connected() const noexcept { return connected_; }
    void SetConnected(bool value);
    bool MustExist() const noexcept { return mustExist_; }
    void SetMustExist(bool value) noexcept { mustExist_ = value; }
    const String& TransactionType() const noexcept { return transactionType_; }
    void SetTransactionType(const String& value) { transactionType_ = value; }
    const String& Password() const noexcept { return password_; }
    void SetPassword(const String& value) { password_ = value; }
    bool HexPassword() const noexcept { return hexPassword_; }
    void SetHexPassword(bool value) noexcept { hexPassword_ = value; }
    int MaxStringSize() const noexcept { return maxStringSize_; }
    void SetMaxStringSize(int value) noexcept { maxStringSize_ = value; }
    // How long a statement waits for a database that another connection holds
    // busy or locked before it fails, in milliseconds.
    int BusyTimeout() const noexcept { return busyTimeout_; }
    void SetBusyTimeout(int milliseconds);
    // The mapper must outlive the connection or be reset to null first.
    TSpSqliteMapper& Mapper() noexcept { return mapper_ ? *mapper_ : ownMapper_; }
    void SetMapper(TSpSqliteMapper* value) noexcept { mapper_ = value; }
    const String& Version() const noexcept { return version_; }
    bool InTransaction() const noexcept { return inTransaction_; }

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;
    // Runs inside SQLite: it may not disconnect (that raises) nor destroy the
    // connection.
    TProgressEvent OnProgress;

    bool LoadDriver();
    // Runs every statement of the text. A parameter ":n" is bound to fields[n].
    void RunStatements(const String& sql, const std::vector<TField*>* fields = nullptr);
    void StartTransaction(const String& kind = String());
    void CommitTransaction();
    void RollbackTransaction();
    // First column of the first row; empty when there is none. A statement that
    // fails (a damaged database among others) raises ESQLiteError with SQLite's message.
    String QueryValue(const String& sql);
    [[noreturn]] void RaiseLastError(int resultCode);
    void FieldTypeFromDecl(const String& declaredType, TFieldType& type, int& size, int& precision);

    // The text of a date in one of the output formats, with the settings'
    // time separator; dof12 is SQLite's Julian day of the dof4 text. dof11
    // has no text form: ESQLiteError (-1).
    String FormatDateText(TOutputDateFormat format, const TFormatSettings& settings, TDateTime value);
    // What SQLite's Date, Time, DateTime and Julianday functions make of the
    // text; empty when they make nothing of it.
    String SQLiteDateText(const String& text);
    String SQLiteTimeText(const String& text);
    String SQLiteDateTimeText(const String& text);
    String SQLiteJulianDayText(const String& text);

    // Statement services of the data sets.
    const TSQLiteDriver& Driver() const { return *driver_; }
    sqlite3* DBHandle() const noexcept { return db_; }
    std::int64_t LastInsertRowId() const;
    // Prepares the first statement of sql; tail receives the rest (may be null).
    // The statement is empty when sql holds only blanks or comments.
    TSQLiteStatement Prepare(const char16_t* sql, const char16_t** tail = nullptr);
    // Steps once. A statement that has returned no row yet is retried while
    // another connection keeps the database busy or locked, until BusyTimeout
    // has passed.
    int Step(sqlite3_stmt* stmt, bool restartable);
    // SQLite's message and code for a failed call.
    ESQLiteError LastError(int resultCode) const;

    void AttachDataset(TSQLite3CustomDataset* dataset);
    void DetachDataset(TSQLite3CustomDataset* dataset) noexcept;

private:
    friend class TSQLiteStatement;

    void Connect();
    void Disconnect();
    // Finalizes the statements still alive (SQLite keeps a connection open
    // while it has any) and closes the database; SQLite's result.
    int CloseDatabase() noexcept;
    String DatabasePath();
    // The first value of the statement with Text bound to its parameter; empty when none.
    String QueryBoundValue(const char16_t* sql, const String& text);
    static void ProfileCallback(void* self, const char* sql, sqlite3_uint64 nanoseconds);
    void BindField(sqlite3_stmt* stmt, int index, const TField& field);
    bool HeldByOtherConnection(int resultCode) const;
    static int ProgressHandler(void* self);
    // Raises what OnProgress raised inside the last SQLite call, if anything.
    void RaiseProgressError();

    String database_, defaultExt_, defaultDir_, driverDll_, transactionType_, password_, version_;
    bool connected_ = false;
    bool mustExist_ = false;
    bool hexPassword_ = false;
    bool inTransaction_ = false;
    bool inProgressEvent_ = false;
    int maxStringSize_ = 8192;
    int busyTimeout_ = 5000;
    TSpSqliteMapper ownMapper_;
    TSpSqliteMapper* mapper_ = nullptr;
    std::unique_ptr<TSQLiteDriver> driver_;
    sqlite3* db_ = nullptr;
    std::vector<TSQLite3CustomDataset*> datasets_;
    std::vector<TSQLiteStatement*> statements_;
    std::exception_ptr progressError_;
};
