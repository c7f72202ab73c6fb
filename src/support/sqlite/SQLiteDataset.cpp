#include "support/sqlite/SQLiteDataset.h"

#include <string_view>

#include "platform/data/FieldValue.h"
#include "platform/rtl/AppServices.h"
#include "platform/rtl/Conversions.h"

namespace {
// In brackets, which name only columns (a double-quoted name that matches none
// would be taken for a text); a name holding "]" in double quotes.
String QuoteIdentifier(const String& name) {
    return name.find(u']') == String::npos ? u"[" + name + u"]" : AnsiQuotedStr(name, u'"');
}

// Runs an update or delete of one row by rowid; the row is gone when another
// writer removed it.
void WriteRow(TASQLite3DB& db, const String& sql, const std::vector<TField*>* fields = nullptr) {
    db.RunStatements(sql, fields);
    if (db.Driver().sqlite3_changes(db.DBHandle()) == 0)
        throw ESQLiteError("Record not found or changed by another user");
}
} // namespace

TSQLite3CustomDataset::~TSQLite3CustomDataset() {
    SetConnection(nullptr);
    InternalClose();
}

void TSQLite3CustomDataset::InternalClose() {
    for (TSQLiteBlobStream* stream : blobStreams_) stream->Detach();
    blobStreams_.clear();
}

std::unique_ptr<TSQLiteBlobStream> TSQLite3CustomDataset::CreateBlobStream(TField& field, TBlobStreamMode mode) {
    if (&field.DataSet() != this) throw EDatabaseError("Field '" + field.DisplayName() + "' not found");
    return std::make_unique<TSQLiteBlobStream>(*this, field, mode);
}

void TSQLite3CustomDataset::SetConnection(TASQLite3DB* value) {
    if (value == connection_) return;
    Close();
    if (connection_) connection_->DetachDataset(this);
    connection_ = value;
    if (connection_) connection_->AttachDataset(this);
}

TASQLite3DB& TSQLite3CustomDataset::Database() const {
    if (!connection_ || !connection_->Connected()) throw ESQLiteError("Database is not connected");
    return *connection_;
}

TSQLiteStatement TSQLite3CustomDataset::PrepareStatement() {
    TASQLite3DB& db = Database();
    const TSQLiteDriver& d = db.Driver();
    const String text = StatementText();
    TSQLiteStatement statement = db.Prepare(text.c_str());
    sqlite3_stmt* stmt = statement.Handle();
    if (!stmt) throw ESQLiteError("no query specified");

    const int paramCount = d.sqlite3_bind_parameter_count(stmt);
    if (paramCount != params_.Count()) {
        params_.Clear();
        for (int i = 1; i <= paramCount; ++i) {
            const char* name = d.sqlite3_bind_parameter_name(stmt, i);
            params_.Add(name ? String(name + 1) : String());
        }
    }

    rowidColumn_ = -1;
    TFieldDefs& defs = FieldDefs();
    defs.Clear();
    const int columns = d.sqlite3_column_count(stmt);
    for (int j = 0; j < columns; ++j) {
        const auto* rawName = static_cast<const char16_t*>(d.sqlite3_column_name16(stmt, j));
        String name = rawName ? String(rawName) : String();
        if (SameText(name, u"_sqlite_rowid")) {
            rowidColumn_ = j;
            continue;
        }
        if (defs.IndexOf(name) >= 0) {
            int n = 1;
            while (defs.IndexOf(name + "_" + IntToStr(n)) >= 0) ++n;
            name += "_" + IntToStr(n);
        }
        const auto* decl = static_cast<const char16_t*>(d.sqlite3_column_decltype16(stmt, j));
        TFieldDef def{name};
        db.FieldTypeFromDecl(decl ? String(decl) : String(u"string"), def.DataType, def.Size, def.Precision);
        defs.Add(std::move(def));
    }
    return statement;
}

void TSQLite3CustomDataset::InternalOpen() {
    TASQLite3DB& db = Database();
    TSQLiteStatement statement = PrepareStatement();
    sqlite3_stmt* stmt = statement.Handle();
    BindParams(stmt);
    if (!sqlCursor_) {
        FetchRows(db, stmt);
        return statement.Close();
    }
    IAppServices& services = AppServices();
    const TCursor previous = services.ScreenCursor();
    services.SetScreenCursor(crSQLWait);
    const auto restore = [&] {
        services.SetScreenCursor(previous);
        if (services.ScreenCursor() == crSQLWait) services.SetScreenCursor(crDefault);
    };
    try {
        FetchRows(db, stmt);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    statement.Close();
}

void TSQLite3CustomDataset::FetchRows(TASQLite3DB& db, sqlite3_stmt* stmt) {
    const int columns = db.Driver().sqlite3_column_count(stmt);
    std::vector<TFieldType> types;
    for (int j = 0, field = 0; j < columns; ++j)
        types.push_back(j == rowidColumn_ ? ftUnknown : FieldDefs()[field++].DataType);
    bool first = true;
    int rc;
    while ((rc = db.Step(stmt, first)) == SQLITE_ROW) {
        first = false;
        std::int64_t rowId = -1;
        std::vector<Variant> values;
        values.reserve(FieldDefs().Count());
        for (int j = 0; j < columns; ++j) {
            if (j == rowidColumn_) rowId = db.Driver().sqlite3_column_int64(stmt, j);
            else values.push_back(ReadColumn(stmt, j, types[j]));
        }
        AddRow(rowId, std::move(values));
    }
    if (rc != SQLITE_DONE) throw db.LastError(rc);
}

// Every value reaches SQLite as its text, a date in its stored form and a
// number in the invariant form (a decimal comma would make it a word). Bytes
// stay a blob: a text could not hold every byte.
void TSQLite3CustomDataset::BindParams(sqlite3_stmt* stmt) const {
    const TSQLiteDriver& d = Database().Driver();
    for (int i = 0; i < params_.Count(); ++i) {
        const Variant& value = params_[i].Value();
        const int index = i + 1;
        switch (ValueKind(value)) {
        case TValueKind::Null: break;
        case TValueKind::Bytes: {
            const std::string bytes = ValueToBytes(value);
            d.sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const String text = ValueKind(value) == TValueKind::Float
                                    ? FloatToStr(ValueToFloat(value), TFormatSettings::Invariant())
                                    : ValueToString(value);
            d.sqlite3_bind_text16(stmt, index, text.c_str(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
            break;
        }
        }
    }
}

Variant TSQLite3CustomDataset::ReadColumn(sqlite3_stmt* stmt, int column, TFieldType type) const {
    const TSQLiteDriver& d = Database().Driver();
    // An empty text or blob is no value.
    if (d.sqlite3_column_type(stmt, column) == SQLITE_NULL || d.sqlite3_column_bytes(stmt, column) == 0)
        return Null();
    // By length: a text may hold zero characters.
    const auto text16 = [&] {
        if (!d.sqlite3_column_bytes16) {
            const auto* utf8 = reinterpret_cast<const char*>(d.sqlite3_column_text(stmt, column));
            const auto bytes = static_cast<size_t>(d.sqlite3_column_bytes(stmt, column));
            return String(std::string_view(utf8 ? utf8 : "", bytes));
        }
        const auto* text = static_cast<const char16_t*>(d.sqlite3_column_text16(stmt, column));
        return String(text ? text : u"", static_cast<size_t>(d.sqlite3_column_bytes16(stmt, column)) / 2);
    };
    switch (type) {
    case ftString:
    case ftMemo:
    case ftGuid:
    case ftWideString:
    case ftWideMemo: return text16();
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftByte:
    case ftLargeint: {
        // Declared widths do not limit what SQLite stores.
        const std::int64_t value = d.sqlite3_column_int64(stmt, column);
        return value == static_cast<std::int32_t>(value) && type != ftLargeint ? Variant(static_cast<std::int32_t>(value))
                                                                                : Variant(value);
    }
    case ftBoolean: {
        // A Boolean bound as a parameter arrives as its text ("True", "False").
        bool flag = false;
        if (d.sqlite3_column_type(stmt, column) == SQLITE_TEXT && TryStrToBool(text16(), flag)) return Variant(flag);
        return Variant(d.sqlite3_column_int(stmt, column) != 0);
    }
    case ftFloat:
    case ftCurrency: return Variant(d.sqlite3_column_double(stmt, column));
    case ftDate:
    case ftTime:
    case ftDateTime: {
        String text = text16();
        TASQLite3DB& db = Database();
        // SQLite's own functions read the texts of every output format. What
        // they give is in the fixed form, whatever the locale's patterns.
        if (db.Mapper().SQLiteDateFormat() == sdfSQLite)
            text = type == ftDate   ? db.SQLiteDateText(text)
                   : type == ftTime ? db.SQLiteTimeText(text)
                                    : db.SQLiteDateTimeText(text);
        return DateTimeValue(ParseStoredDate(text));
    }
    case ftBlob:
    case ftGraphic:
    case ftVariant:
    case ftBytes: {
        const auto* data = static_cast<const char*>(d.sqlite3_column_blob(stmt, column));
        return BytesValue(std::string(data ? data : "", static_cast<size_t>(d.sqlite3_column_bytes(stmt, column))));
    }
    default: return Null();
    }
}

class TASQLite3Table::TMasterDataLink : public TDataLink {
public:
    explicit TMasterDataLink(TASQLite3Table& table) : table_(table) {}

protected:
    void ActiveChanged() override { table_.ApplyMasterValues(); }
    void DataSetScrolled() override { table_.ApplyMasterValues(); }
    void DataSetChanged() override { table_.ApplyMasterValues(); }
    void RecordChanged(TField*) override { table_.ApplyMasterValues(); }

private:
    TASQLite3Table& table_;
};

TASQLite3Table::TASQLite3Table()
    : TSQLite3CustomDataset(true, 1000), masterLink_(std::make_unique<TMasterDataLink>(*this)) {}

TASQLite3Table::~TASQLite3Table() { masterLink_.reset(); }

void TASQLite3Query::SetSQL(const String& value) {
    Close();
    Params().Clear();
    sql_ = value;
    if (Connection() && Connection()->Connected()) PrepareStatement().Close();
}

String TASQLite3Query::StatementText() {
    if (Trim(sql_).IsEmpty()) throw ESQLiteError("no query specified");
    return sql_;
}

void TASQLite3Table::SetTableName(const String& value) {
    Close();
    tableName_ = value;
    if (Connection() && Connection()->Connected()) PrepareStatement().Close();
}

void TASQLite3Table::SetOrderBy(const String& value) {
    if (value == orderBy_) return;
    Close();
    orderBy_ = value;
}

String TASQLite3Table::StatementText() {
    if (tableName_.IsEmpty()) throw ESQLiteError("no table specified");
    if (masterLink_->Active() && !masterFields_.IsEmpty()) SetMasterValues(MasterValues());
    String text = "select *, rowid as _sqlite_rowid from " + tableName_;
    if (!Filter().IsEmpty()) text += "\n where " + Filter();
    if (!orderBy_.IsEmpty()) text += "\n order by " + orderBy_;
    if (RecordLimit() != 0) {
        text += "\n limit " + IntToStr(RecordLimit());
        if (RecordOffset() != 0) text += "\n offset " + IntToStr(RecordOffset());
    }
    return text;
}

void TASQLite3Table::SetMasterValues(std::vector<std::pair<String, Variant>> values) {
    String condition;
    for (const auto& [name, value] : values) {
        if (!condition.IsEmpty()) condition += " AND ";
        condition += QuoteIdentifier(name);
        condition += ValueKind(value) == TValueKind::Null ? String(u" is null") : "=" + SqlLiteral(value);
    }
    masterValues_ = std::move(values);
    if (condition != Filter()) SetFilter(condition);
}

TDataSource* TASQLite3Table::MasterSource() const noexcept { return masterLink_->DataSource(); }

void TASQLite3Table::SetMasterSource(TDataSource* value) {
    if (value == MasterSource()) return;
    masterLink_->SetDataSource(value);
    if (!value) SetMasterValues({});
}

void TASQLite3Table::SetMasterFields(const String& value) {
    if (value == masterFields_) return;
    masterFields_ = value;
    if (masterFields_.IsEmpty()) SetMasterValues({});
    else ApplyMasterValues();
}

std::vector<std::pair<String, Variant>> TASQLite3Table::MasterValues() const {
    std::vector<std::pair<String, Variant>> values;
    const TDataSet* master = masterLink_->DataSet();
    if (!master || !master->Active()) return values;
    for (size_t start = 0; start <= masterFields_.size();) {
        size_t end = masterFields_.find(u';', start);
        if (end == String::npos) end = masterFields_.size();
        const String name = Trim(masterFields_.substr(start, end - start));
        if (!name.IsEmpty()) values.emplace_back(name, master->FieldByName(name).Value());
        start = end + 1;
    }
    return values;
}

void TASQLite3Table::ApplyMasterValues() {
    if (masterLink_->Active() && !masterFields_.IsEmpty()) SetMasterValues(MasterValues());
}

void TASQLite3Table::DataEvent(TDataEvent event, TField* field) {
    TSQLite3CustomDataset::DataEvent(event, field);
    if (event != TDataEvent::deDataSetChange || !reopenPending_) return;
    reopenPending_ = false;
    Close();
    Open();
}

void TASQLite3Table::DoNewRecord() {
    for (const auto& [name, value] : masterValues_)
        if (TField* field = FindField(name)) field->SetValue(value);
}

template <class Work>
void TASQLite3Table::WriteInTransaction(const String& kind, Work&& work) {
    TASQLite3DB& db = Database();
    // Inside a transaction the caller began, the write joins it.
    if (!AutoCommit() || db.Driver().sqlite3_get_autocommit(db.DBHandle()) == 0) {
        work(db);
        return;
    }
    db.StartTransaction(kind);
    try {
        work(db);
        db.CommitTransaction();
    } catch (...) {
        try {
            db.RollbackTransaction();
        } catch (const Exception&) {
            // the first failure is the one to report
        }
        throw;
    }
}

void TASQLite3Table::InternalPost(TDataRow& row, bool inserting) {
    if (ReadOnly()) throw ESQLiteError("Cannot post into a read-only dataset");
    const std::vector<TField*> fields = FieldList();
    const auto param = [](const TField* field) { return ":" + IntToStr(field->Index()); };
    WriteInTransaction(u"DEFAULT", [&](TASQLite3DB& db) {
        if (!inserting) {
            String sql = "update " + tableName_ + " set ";
            for (size_t i = 0; i < fields.size(); ++i) {
                if (i > 0) sql += ",";
                sql += QuoteIdentifier(fields[i]->FieldName()) + "=" + param(fields[i]);
            }
            sql += " where rowid=" + IntToStr(row.RowId);
            WriteRow(db, sql, &fields);
            return;
        }
        const bool autoKey = primaryAutoInc_ && !fields.empty() &&
                             (fields[0]->DataType() == ftInteger || fields[0]->DataType() == ftLargeint);
        String names, values;
        for (const TField* field : fields) {
            if (!names.IsEmpty()) {
                names += ",";
                values += ",";
            }
            names += QuoteIdentifier(field->FieldName());
            values += autoKey && field == fields[0] ? String(u"null") : param(field);
        }
        db.RunStatements("insert into " + tableName_ + " (" + names + ") values (" + values + ")", &fields);
        row.RowId = db.LastInsertRowId();
        if (autoKey) row.Values[0] = Variant(row.RowId);
    });
    for (const auto& [name, value] : MasterValues())
        if (const TField* field = FindField(name); field && !FieldValuesMatch(row.Values[field->Index()], value, false))
            reopenPending_ = true;
}

void TASQLite3Table::InternalDelete(const TDataRow& row) {
    if (ReadOnly()) throw ESQLiteError("Cannot delete from a read-only dataset");
    WriteInTransaction(TransactionType(), [&](TASQLite3DB& db) {
        WriteRow(db, "delete from " + tableName_ + " where rowid=" + IntToStr(row.RowId));
    });
}
