#pragma once
// A small data-set framework: field definitions, fields, parameters, an
// in-memory row store with bookmarks, navigation and the editing cycle
// (Insert/Append/Edit, Post/Cancel, Delete). Each field of a row is one
// Variant. Descendants fill the rows at open and write posted and deleted
// rows to their store.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/data/DataSource.h"
#include "platform/data/FieldType.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TObject.h"
#include "platform/rtl/Variant.h"

RTL_DECLARE_EXCEPTION(EDatabaseError, Exception);

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct TFieldDef {
    String Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    int Precision = 0;
};

class TFieldDefs {
public:
    void Add(TFieldDef def) { defs_.push_back(std::move(def)); }
    void Clear() noexcept { defs_.clear(); }
    int Count() const noexcept { return static_cast<int>(defs_.size()); }
    const TFieldDef& operator[](int index) const { return defs_.at(index); }
    // Index of the definition of that name (ignoring case), or -1.
    int IndexOf(const String& name) const;

private:
    std::vector<TFieldDef> defs_;
};

class TDataSet;

class TField : public TObject {
public:
    TField(TDataSet& dataSet, const TFieldDef& def, int index);

    TDataSet& DataSet() const noexcept { return dataSet_; }
    const String& FieldName() const noexcept { return name_; }
    const String& DisplayName() const noexcept { return name_; }
    TFieldType DataType() const noexcept { return dataType_; }
    int Size() const noexcept { return size_; }
    int Index() const noexcept { return index_; }
    bool Required() const noexcept { return required_; }
    void SetRequired(bool value) noexcept { required_ = value; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value) noexcept { readOnly_ = value; }

    // The value of the current row (or of the row being edited); Null when there is none.
    const Variant& Value() const;
    void SetValue(const Variant& value);
    bool IsNull() const;
    void Clear() { SetValue(Null()); }

    String AsString() const;
    void SetAsString(const String& value);
    int AsInteger() const;
    void SetAsInteger(int value);
    std::int64_t AsLargeInt() const;
    void SetAsLargeInt(std::int64_t value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    double AsFloat() const;
    void SetAsFloat(double value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);
    // The bytes of a blob; text fields give their UTF-8 form.
    std::string AsBytes() const;
    void SetAsBytes(const std::string& value);

private:
    TDataSet& dataSet_;
    String name_;
    TFieldType dataType_;
    int size_;
    int index_;
    bool required_ = false;
    bool readOnly_ = false;
};

class TParam {
public:
    explicit TParam(const String& name) : name_(name) {}
    const String& Name() const noexcept { return name_; }
    const Variant& Value() const noexcept { return value_; }
    void SetValue(const Variant& value) { value_ = value; }
    bool IsNull() const;
    void Clear() { value_ = Null(); }
    String AsString() const;
    void SetAsString(const String& value) { value_ = value; }
    int AsInteger() const;
    void SetAsInteger(int value) { value_ = value; }
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { value_ = value; }

private:
    String name_;
    Variant value_ = Null();
};

class TParams {
public:
    TParam& Add(const String& name) { return items_.emplace_back(name); }
    void Clear() noexcept { items_.clear(); }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TParam& operator[](int index) { return items_.at(index); }
    const TParam& operator[](int index) const { return items_.at(index); }
    // Raises EDatabaseError "Parameter '%s' not found".
    TParam& ParamByName(const String& name);

private:
    std::vector<TParam> items_;
};

// A row identity; 0 is no row.
using TBookmark = std::uint64_t;

struct TDataRow {
    TBookmark Bookmark = 0;
    std::int64_t RowId = -1;
    std::vector<Variant> Values;
};

class TDataSet : public TObject {
public:
    // Its data sources lose it.
    ~TDataSet() override;

    TDataSetState State() const noexcept { return state_; }
    bool Active() const noexcept { return state_ != dsInactive; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    const String& Filter() const noexcept { return filter_; }
    // Closes and, when the data set was open, reopens with the new filter.
    void SetFilter(const String& value);

    TFieldDefs& FieldDefs() noexcept { return fieldDefs_; }
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    TField& Fields(int index) const { return *fields_.at(index); }
    TField* FindField(const String& name) const;
    // Raises EDatabaseError "Field '%s' not found".
    TField& FieldByName(const String& name) const;

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const noexcept { return eof_; }
    bool Bof() const noexcept { return bof_; }
    bool IsEmpty() const noexcept { return rows_.empty(); }
    int RecordCount() const noexcept { return static_cast<int>(rows_.size()); }
    // 0-based index of the current row; -1 while inserting or without a row.
    int RecNo() const noexcept;
    void SetRecNo(int value);
    TBookmark GetBookmark() const noexcept;
    bool BookmarkValid(TBookmark bookmark) const noexcept { return IndexOfBookmark(bookmark) >= 0; }
    // Raises EDatabaseError "Bookmark not found".
    void GotoBookmark(TBookmark bookmark);
    // Moves to the first row whose field equals the value; false leaves the position.
    bool Locate(const String& fieldName, const Variant& value, bool caseInsensitive = false);

    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    std::function<void(TDataSet& dataSet)> OnNewRecord;

protected:
    // Fills the field definitions and adds the rows.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() {}
    // Writes the row being posted; may set its RowId. A failure leaves the store unchanged.
    virtual void InternalPost(TDataRow& row, bool inserting);
    virtual void InternalDelete(const TDataRow& row);
    // Called with a fresh row in insert state, before OnNewRecord.
    virtual void DoNewRecord() {}
    // Tells the links of the data sources; Field is the changed field of deFieldChange.
    virtual void DataEvent(TDataEvent event, TField* field);

    void AddRow(std::int64_t rowId, std::vector<Variant> values);
    std::vector<TField*> FieldList() const;

private:
    friend class TDataSource;
    const TDataRow* CurrentRow() const noexcept;
    friend class TField;
    const Variant& FieldValue(int index) const;
    void SetFieldValue(int index, const Variant& value);
    int IndexOfBookmark(TBookmark bookmark) const noexcept;
    void StartInsert(bool append);
    // Tells of a move when the position is not Previous any more.
    void MovedFrom(int previous);
    void CheckBrowse();
    void CheckActive() const;

    TDataSetState state_ = dsInactive;
    String filter_;
    TFieldDefs fieldDefs_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<TDataRow> rows_;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    TBookmark lastBookmark_ = 0;
    TDataRow editRow_;
    bool appending_ = false;
    std::vector<TDataSource*> sources_;
};
