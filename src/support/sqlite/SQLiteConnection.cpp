#include "support/sqlite/SQLiteConnection.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>

#include "platform/data/DataSet.h"
#include "platform/data/FieldValue.h"
#include "platform/rtl/Conversions.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteProfile.h"

namespace {
bool HasExtension(const String& name) {
    const int dot = LastDelimiter(u"./", name);
    return dot > 0 && name[dot - 1] == u'.';
}

bool IsMemory(const String& name) { return SameText(name, u":memory:"); }

String CurrentDir() {
    std::error_code ec;
    return String(std::filesystem::current_path(ec).string());
}
} // namespace

TASQLite3DB::TASQLite3DB() = default;

TASQLite3DB::~TASQLite3DB() {
    for (TSQLite3CustomDataset* dataset : std::vector(datasets_)) dataset->SetConnection(nullptr);
    // With its statements finalized nothing made through this connection keeps
    // it open; there is no one left to tell of a refusal.
    if (db_) CloseDatabase();
}

void TASQLite3DB::SetDatabase(const String& value) {
    database_ = Trim(value);
    if (!database_.IsEmpty() && !IsMemory(database_) && !HasExtension(database_)) database_ += defaultExt_;
}

const String& TASQLite3DB::DefaultExt() {
    if (defaultExt_.IsEmpty()) defaultExt_ = u".sqb";
    return defaultExt_;
}

const String& TASQLite3DB::DriverDLL() {
    if (driverDll_.IsEmpty()) driverDll_ = u"libsqlite3.so.0";
    return driverDll_;
}

void TASQLite3DB::SetBusyTimeout(int milliseconds) {
    busyTimeout_ = std::max(0, milliseconds);
    if (db_) driver_->sqlite3_busy_timeout(db_, busyTimeout_);
}

void TASQLite3DB::SetConnected(bool value) {
    if (value && !connected_) Connect();
    else if (!value && connected_) Disconnect();
}

bool TASQLite3DB::LoadDriver() {
    driver_ = TSQLiteDriver::Load(DriverDLL());
    return driver_ != nullptr;
}

String TASQLite3DB::DatabasePath() {
    if (IsMemory(database_)) return database_;
    if (!defaultDir_.IsEmpty()) {
        if (!defaultDir_.ends_with(u'/')) defaultDir_ += u'/';
        return defaultDir_ + database_;
    }
    if (database_.find(u'/') != String::npos) return database_;
    return CurrentDir() + u"/" + database_;
}

void TASQLite3DB::Connect() {
    if (database_.IsEmpty()) throw ESQLiteError("Missing database property");
    const String path = DatabasePath();
    if (mustExist_ && !IsMemory(path)) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(std::filesystem::path(path.ToUtf8()), ec))
            throw ESQLiteError("Database " + path + " does not exist");
    }
    if (!driver_ && !LoadDriver()) throw ESQLiteError("Could not load SQLite library(" + DriverDLL() + ")");
    connected_ = true;
    version_ = String(driver_->sqlite3_libversion());
    try {
        if (BeforeConnect) BeforeConnect(this);
        const std::string file = IsMemory(path) ? std::string(":memory:") : path.ToUtf8();
        if (driver_->sqlite3_open(file.c_str(), &db_) != SQLITE_OK) {
            driver_->sqlite3_close(db_);
            db_ = nullptr;
            throw ESQLiteError("Can not open Database " + path);
        }
        driver_->sqlite3_busy_timeout(db_, busyTimeout_);
        if (AfterConnect) AfterConnect(this);
        if (!password_.IsEmpty())
            RunStatements((hexPassword_ ? u"Pragma hexkey=" : u"Pragma key=") + QuotedStr(password_));
        driver_->sqlite3_progress_handler(db_, 5, &TASQLite3DB::ProgressHandler, this);
        driver_->sqlite3_profile(db_, &TASQLite3DB::ProfileCallback, this);
    } catch (...) {
        if (db_) CloseDatabase();
        db_ = nullptr;
        connected_ = false;
        throw;
    }
}

void TASQLite3DB::Disconnect() {
    // SQLite is still running the statement that raised OnProgress.
    if (inProgressEvent_) throw ESQLiteError("Cannot disconnect while a statement is running");
    if (driver_) {
        if (BeforeDisconnect) BeforeDisconnect(this);
        for (TSQLite3CustomDataset* dataset : std::vector(datasets_)) dataset->Close();
        if (const int rc = CloseDatabase(); rc != SQLITE_OK) RaiseLastError(rc);
        driver_.reset();
        if (AfterDisconnect) AfterDisconnect(this);
    }
    connected_ = false;
    inTransaction_ = false;
}

int TASQLite3DB::CloseDatabase() noexcept {
    for (TSQLiteStatement* statement : std::exchange(statements_, {})) statement->Finalize();
    const int rc = driver_->sqlite3_close(db_);
    if (rc == SQLITE_OK) db_ = nullptr;
    return rc;
}

// An exception must not unwind through SQLite: it would leave the connection
// locked. It interrupts the statement and is raised once SQLite has returned.
int TASQLite3DB::ProgressHandler(void* self) {
    auto* db = static_cast<TASQLite3DB*>(self);
    int abort = 0;
    const bool outer = std::exchange(db->inProgressEvent_, true);
    try {
        if (db->OnProgress) db->OnProgress(db, abort);
    } catch (...) {
        db->progressError_ = std::current_exception();
        abort = 1;
    }
    db->inProgressEvent_ = outer;
    return abort;
}

void TASQLite3DB::ProfileCallback(void* self, const char* sql, sqlite3_uint64 nanoseconds) {
    sqlite_detail::NotifyProfileListeners(*static_cast<TASQLite3DB*>(self), sql, nanoseconds);
}

void TASQLite3DB::RaiseProgressError() {
    if (progressError_) std::rethrow_exception(std::exchange(progressError_, nullptr));
}

ESQLiteError TASQLite3DB::LastError(int resultCode) const {
    const auto* text = static_cast<const char16_t*>(driver_->sqlite3_errmsg16(db_));
    const int code = driver_->sqlite3_errcode ? driver_->sqlite3_errcode(db_) : resultCode;
    return ESQLiteError(text ? String(text) : String(), code);
}

void TASQLite3DB::RaiseLastError(int resultCode) { throw LastError(resultCode); }

std::int64_t TASQLite3DB::LastInsertRowId() const {
    return db_ ? driver_->sqlite3_last_insert_rowid(db_) : 0;
}

TSQLiteStatement TASQLite3DB::Prepare(const char16_t* sql, const char16_t** tail) {
    if (!db_) throw ESQLiteError("Database is not connected");
    statements_.reserve(statements_.size() + 1);
    sqlite3_stmt* stmt = nullptr;
    const void* rest = nullptr;
    const int rc = driver_->sqlite3_prepare16_v2(db_, sql, -1, &stmt, &rest);
    TSQLiteStatement statement(*this, stmt);
    RaiseProgressError();
    if (rc != SQLITE_OK) RaiseLastError(rc);
    if (tail) *tail = static_cast<const char16_t*>(rest);
    return statement;
}

// A table locked by a statement of this connection stays locked until that
// statement ends: only a lock of another connection (busy, or a shared cache
// lock, which only the extended code tells apart) is worth waiting for.
bool TASQLite3DB::HeldByOtherConnection(int resultCode) const {
    const int primary = resultCode & 0xFF;
    if (primary == SQLITE_BUSY) return true;
    return primary == SQLITE_LOCKED && driver_->sqlite3_extended_errcode &&
           driver_->sqlite3_extended_errcode(db_) == SQLITE_LOCKED_SHAREDCACHE;
}

int TASQLite3DB::Step(sqlite3_stmt* stmt, bool restartable) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(busyTimeout_);
    for (;;) {
        const int rc = driver_->sqlite3_step(stmt);
        RaiseProgressError();
        if (!restartable || !HeldByOtherConnection(rc) || Clock::now() >= deadline) return rc;
        driver_->sqlite3_reset(stmt);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void TASQLite3DB::RunStatements(const String& sql, const std::vector<TField*>* fields) {
    const char16_t* next = sql.c_str();
    while (next && *next) {
        const TSQLiteStatement statement = Prepare(next, &next);
        sqlite3_stmt* stmt = statement.Handle();
        if (!stmt) continue;
        const int count = driver_->sqlite3_bind_parameter_count(stmt);
        for (int i = 1; i <= count; ++i) {
            const char* name = driver_->sqlite3_bind_parameter_name(stmt, i);
            const String index = name ? String(name + 1) : String();
            if (index.IsEmpty()) continue;
            const int n = StrToInt(index);
            if (!fields || n < 0 || n >= static_cast<int>(fields->size()))
                throw EListError("List index out of bounds (" + index + ")");
            BindField(stmt, i, *(*fields)[n]);
        }
        int rc;
        while ((rc = Step(stmt, true)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) RaiseLastError(rc);
    }
}

void TASQLite3DB::BindField(sqlite3_stmt* stmt, int index, const TField& field) {
    const TSQLiteDriver& d = *driver_;
    if (field.IsNull()) {
        d.sqlite3_bind_null(stmt, index);
        return;
    }
    switch (field.DataType()) {
    case ftString:
    case ftMemo:
    case ftGuid:
    case ftWideString:
    case ftWideMemo: {
        const String text = field.AsString();
        d.sqlite3_bind_text16(stmt, index, text.c_str(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
        break;
    }
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftByte:
    case ftLargeint:
        d.sqlite3_bind_int64(stmt, index, field.AsLargeInt());
        break;
    case ftBoolean:
        d.sqlite3_bind_int(stmt, index, field.AsBoolean() ? 1 : 0);
        break;
    case ftFloat:
    case ftCurrency:
        d.sqlite3_bind_double(stmt, index, field.AsFloat());
        break;
    case ftDate:
    case ftTime:
    case ftDateTime: {
        const TSpSqliteMapper& mapper = Mapper();
        const String text = mapper.SQLiteDateFormat() == sdfSQLite
                                ? FormatDateText(mapper.OutputFormatOf(field.DataType()), mapper.DateSettings(),
                                                 field.AsDateTime())
                                : FormatStoredDate(field.AsDateTime(), field.DataType());
        d.sqlite3_bind_text16(stmt, index, text.c_str(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
        break;
    }
    case ftBlob:
    case ftGraphic:
    case ftVariant:
    case ftBytes: {
        const std::string bytes = field.AsBytes();
        d.sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        throw ESQLiteError("Unsupported field type (" + FieldTypeName(field.DataType()) + ") in field " +
                           field.DisplayName());
    }
}

void TASQLite3DB::StartTransaction(const String& kind) {
    const String k = UpperCase(kind.IsEmpty() ? transactionType_ : kind);
    const char* statement = "begin transaction";
    if (k == "DEFERRED") statement = "begin deferred transaction";
    else if (k == "IMMEDIATE") statement = "begin immediate transaction";
    else if (k == "EXCLUSIVE") statement = "begin exclusive transaction";
    SetConnected(true);
    RunStatements(statement);
    inTransaction_ = true;
}

void TASQLite3DB::CommitTransaction() {
    SetConnected(true);
    RunStatements(u"commit transaction");
    inTransaction_ = false;
}

void TASQLite3DB::RollbackTransaction() {
    SetConnected(true);
    RunStatements(u"rollback transaction");
    inTransaction_ = false;
}

String TASQLite3DB::QueryValue(const String& sql) {
    SetConnected(true);
    char** table = nullptr;
    int rows = 0, columns = 0;
    char* error = nullptr;
    const int rc = driver_->sqlite3_get_table(db_, sql.ToUtf8().c_str(), &table, &rows, &columns, &error);
    driver_->sqlite3_free(error);
    String result;
    if (table && rows > 0 && columns > 0 && table[columns]) result = String(table[columns]);
    driver_->sqlite3_free_table(table);
    RaiseProgressError();
    if (rc != SQLITE_OK) RaiseLastError(rc);
    return result;
}

String TASQLite3DB::FormatDateText(TOutputDateFormat format, const TFormatSettings& settings, TDateTime value) {
    static constexpr const char16_t* patterns[] = {
        u"yyyy-mm-dd",           u"yyyy-mm-dd hh:nn",        u"yyyy-mm-dd hh:nn:ss",
        u"yyyy-mm-dd hh:nn:ss.zzz", u"yyyy-mm-dd'T'hh:nn",   u"yyyy-mm-dd'T'hh:nn:ss",
        u"yyyy-mm-dd'T'hh:nn:ss.zzz", u"hh:nn",             u"hh:nn:ss",
        u"hh:nn:ss.zzz",
    };
    switch (format) {
    case dof11: throw ESQLiteError("Output date format " + OutputDateFormatName(format) + " has no text form");
    case dof12: return SQLiteJulianDayText(FormatDateText(dof4, settings, value));
    default: return FormatDateTime(patterns[format], value, settings);
    }
}

// The text is bound, never pasted into the statement.
String TASQLite3DB::QueryBoundValue(const char16_t* sql, const String& text) {
    SetConnected(true);
    const TSQLiteStatement statement = Prepare(sql);
    sqlite3_stmt* stmt = statement.Handle();
    driver_->sqlite3_bind_text16(stmt, 1, text.c_str(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
    if (Step(stmt, true) != SQLITE_ROW) return String();
    const auto* value = static_cast<const char16_t*>(driver_->sqlite3_column_text16(stmt, 0));
    return value ? String(value) : String();
}

String TASQLite3DB::SQLiteDateText(const String& text) { return QueryBoundValue(u"Select Date(?)", text); }
String TASQLite3DB::SQLiteTimeText(const String& text) { return QueryBoundValue(u"Select Time(?)", text); }
String TASQLite3DB::SQLiteDateTimeText(const String& text) { return QueryBoundValue(u"Select DateTime(?)", text); }
String TASQLite3DB::SQLiteJulianDayText(const String& text) { return QueryBoundValue(u"Select Julianday(?)", text); }

void TASQLite3DB::FieldTypeFromDecl(const String& declaredType, TFieldType& type, int& size, int& precision) {
    precision = 0;
    const auto open = declaredType.find(u'(');
    const auto close = open == String::npos ? String::npos : declaredType.find(u')', open);
    if (close != String::npos) {
        type = Mapper().MapDeclaredType(LowerCase(Trim(declaredType.substr(0, open))));
        const String inner = declaredType.substr(open + 1, close - open - 1);
        auto split = inner.find(u'.');
        if (split == String::npos) split = inner.find(u',');
        // A size that does not read counts as none.
        const bool sized = split == String::npos ? TryStrToInt(inner, size)
                                                 : TryStrToInt(inner.substr(0, split), size) &&
                                                       TryStrToInt(inner.substr(split + 1), precision);
        if (sized && size >= 0 && precision >= 0) {
            if (type == ftLargeint) size = 12;
            return;
        }
        precision = 0;
    } else {
        type = Mapper().MapDeclaredType(LowerCase(declaredType));
    }
    switch (type) {
    case ftString:
    case ftWideString: size = maxStringSize_; break;
    case ftFloat:
    case ftLargeint: size = 12; break;
    case ftCurrency: size = 10; break;
    case ftDateTime: size = 24; break;
    default: size = 0; break;
    }
}

void TASQLite3DB::AttachDataset(TSQLite3CustomDataset* dataset) {
    if (std::find(datasets_.begin(), datasets_.end(), dataset) == datasets_.end()) datasets_.push_back(dataset);
}

void TASQLite3DB::DetachDataset(TSQLite3CustomDataset* dataset) noexcept {
    std::erase(datasets_, dataset);
}
