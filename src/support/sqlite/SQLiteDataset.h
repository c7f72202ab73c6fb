#pragma once
// Data sets over one SQLite statement: every result row is read into memory
// at open. The query runs its SQL text with parameters; the table selects
// from a table and writes posted and deleted rows back by rowid.

#include <memory>
#include <utility>
#include <vector>

#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "support/sqlite/SQLiteBlobStream.h"
#include "support/sqlite/SQLiteConnection.h"

class TSQLite3CustomDataset : public TDataSet {
public:
    ~TSQLite3CustomDataset() override;

    TASQLite3DB* Connection() const noexcept { return connection_; }
    void SetConnection(TASQLite3DB* value);
    bool AutoCommit() const noexcept { return autoCommit_; }
    void SetAutoCommit(bool value) noexcept { autoCommit_ = value; }
    const String& TransactionType() const noexcept { return transactionType_; }
    void SetTransactionType(const String& value) { transactionType_ = value; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value) noexcept { readOnly_ = value; }
    int RecordLimit() const noexcept { return recordLimit_; }
    void SetRecordLimit(int value) noexcept { recordLimit_ = value; }
    int RecordOffset() const noexcept { return recordOffset_; }
    void SetRecordOffset(int value) noexcept { recordOffset_ = value; }
    TParams& Params() noexcept { return params_; }
    // While rows are fetched the screen shows the SQL-wait cursor.
    bool SQLCursor() const noexcept { return sqlCursor_; }
    void SetSQLCursor(bool value) noexcept { sqlCursor_ = value; }
    // Kept with the data set; they change nothing.
    bool TypeLess() const noexcept { return typeLess_; }
    void SetTypeLess(bool value) noexcept { typeLess_ = value; }
    bool SQLiteDateFormat() const noexcept { return sqliteDateFormat_; }
    void SetSQLiteDateFormat(bool value) noexcept { sqliteDateFormat_ = value; }
    const String& TableDateFormat() const noexcept { return tableDateFormat_; }
    void SetTableDateFormat(const String& value) { tableDateFormat_ = value; }

    // A stream over a blob or memo field of the current row (SQLiteBlobStream.h).
    std::unique_ptr<TSQLiteBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode);

protected:
    TSQLite3CustomDataset(bool autoCommit, int recordLimit) : autoCommit_(autoCommit), recordLimit_(recordLimit) {}

    virtual String StatementText() = 0;
    // The connection, which must be open.
    TASQLite3DB& Database() const;
    // Prepares the statement and defines its parameters (unless their number
    // is unchanged) and its fields.
    TSQLiteStatement PrepareStatement();
    void InternalOpen() override;
    void InternalClose() override;

private:
    friend class TSQLiteBlobStream;
    void FetchRows(TASQLite3DB& db, sqlite3_stmt* stmt);
    void BindParams(sqlite3_stmt* stmt) const;
    Variant ReadColumn(sqlite3_stmt* stmt, int column, TFieldType type) const;

    TASQLite3DB* connection_ = nullptr;
    bool autoCommit_;
    String transactionType_;
    bool readOnly_ = false;
    int recordLimit_;
    int recordOffset_ = 0;
    TParams params_;
    int rowidColumn_ = -1;
    bool sqlCursor_ = true;
    bool typeLess_ = false;
    bool sqliteDateFormat_ = false;
    String tableDateFormat_;
    std::vector<TSQLiteBlobStream*> blobStreams_;
};

class TASQLite3Query : public TSQLite3CustomDataset {
public:
    TASQLite3Query() : TSQLite3CustomDataset(false, 0) {}

    const String& SQL() const noexcept { return sql_; }
    // Closes, forgets the parameters and, when connected, prepares the text so
    // that its parameters and fields are known before opening.
    void SetSQL(const String& value);

protected:
    String StatementText() override;

private:
    String sql_;
};

class TASQLite3Table : public TSQLite3CustomDataset {
public:
    TASQLite3Table();
    ~TASQLite3Table() override;

    const String& TableName() const noexcept { return tableName_; }
    void SetTableName(const String& value);
    const String& OrderBy() const noexcept { return orderBy_; }
    void SetOrderBy(const String& value);
    bool PrimaryAutoInc() const noexcept { return primaryAutoInc_; }
    void SetPrimaryAutoInc(bool value) noexcept { primaryAutoInc_ = value; }
    // Restricts the rows to those whose fields hold these values (the filter
    // becomes the condition) and gives new rows these values.
    void SetMasterValues(std::vector<std::pair<String, Variant>> values);
    // The master data set whose current row this table follows: the rows are
    // those whose MasterFields (names separated by ";") hold the master's
    // values of the fields of those names, and new rows get these values.
    TDataSource* MasterSource() const noexcept;
    void SetMasterSource(TDataSource* value);
    const String& MasterFields() const noexcept { return masterFields_; }
    void SetMasterFields(const String& value);

protected:
    String StatementText() override;
    void InternalPost(TDataRow& row, bool inserting) override;
    void InternalDelete(const TDataRow& row) override;
    void DoNewRecord() override;
    // A posted row whose link fields left the master's values goes at the next change.
    void DataEvent(TDataEvent event, TField* field) override;

private:
    class TMasterDataLink;
    template <class Work>
    void WriteInTransaction(const String& kind, Work&& work);
    // The master's values of the link fields; none without an open master.
    std::vector<std::pair<String, Variant>> MasterValues() const;
    void ApplyMasterValues();

    String tableName_;
    String orderBy_;
    bool primaryAutoInc_ = false;
    std::vector<std::pair<String, Variant>> masterValues_;
    std::unique_ptr<TMasterDataLink> masterLink_;
    String masterFields_;
    bool reopenPending_ = false;
};
