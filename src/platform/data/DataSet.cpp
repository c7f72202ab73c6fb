#include "platform/data/DataSet.h"

#include <algorithm>
#include <utility>

#include "platform/data/FieldValue.h"

int TFieldDefs::IndexOf(const String& name) const {
    for (size_t i = 0; i < defs_.size(); ++i)
        if (SameText(defs_[i].Name, name)) return static_cast<int>(i);
    return -1;
}

TParam& TParams::ParamByName(const String& name) {
    for (TParam& param : items_)
        if (SameText(param.Name(), name)) return param;
    throw EDatabaseError("Parameter '" + name + "' not found");
}

TDataSet::~TDataSet() {
    for (TDataSource* source : std::vector(sources_)) source->SetDataSet(nullptr);
}

void TDataSet::DataEvent(TDataEvent event, TField* field) {
    for (TDataSource* source : std::vector(sources_))
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end()) source->Notify(event, field);
}

void TDataSet::SetActive(bool value) {
    if (value == Active()) return;
    if (!value) {
        InternalClose();
        rows_.clear();
        fields_.clear();
        editRow_ = TDataRow();
        state_ = dsInactive;
        current_ = -1;
        eof_ = bof_ = true;
        DataEvent(TDataEvent::deActiveChange, nullptr);
        return;
    }
    try {
        InternalOpen();
        for (int i = 0; i < fieldDefs_.Count(); ++i)
            fields_.push_back(std::make_unique<TField>(*this, fieldDefs_[i], i));
    } catch (...) {
        InternalClose();
        rows_.clear();
        fields_.clear();
        throw;
    }
    state_ = dsBrowse;
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    DataEvent(TDataEvent::deActiveChange, nullptr);
}

void TDataSet::SetFilter(const String& value) {
    const bool wasActive = Active();
    Close();
    filter_ = value;
    if (wasActive) Open();
}

TField* TDataSet::FindField(const String& name) const {
    for (const auto& field : fields_)
        if (SameText(field->FieldName(), name)) return field.get();
    return nullptr;
}

TField& TDataSet::FieldByName(const String& name) const {
    if (TField* field = FindField(name)) return *field;
    throw EDatabaseError("Field '" + name + "' not found");
}

std::vector<TField*> TDataSet::FieldList() const {
    std::vector<TField*> list;
    list.reserve(fields_.size());
    for (const auto& field : fields_) list.push_back(field.get());
    return list;
}

void TDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckBrowse() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) Post();
}

void TDataSet::MovedFrom(int previous) {
    if (current_ != previous) DataEvent(TDataEvent::deDataSetScroll, nullptr);
}

void TDataSet::First() {
    CheckBrowse();
    const int previous = current_;
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    MovedFrom(previous);
}

void TDataSet::Last() {
    CheckBrowse();
    const int previous = current_;
    current_ = static_cast<int>(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.empty();
    MovedFrom(previous);
}

void TDataSet::Next() {
    CheckBrowse();
    if (current_ + 1 < RecordCount()) {
        ++current_;
        bof_ = false;
        MovedFrom(current_ - 1);
    } else {
        eof_ = true;
    }
}

void TDataSet::Prior() {
    CheckBrowse();
    if (current_ > 0) {
        --current_;
        eof_ = false;
        MovedFrom(current_ + 1);
    } else {
        bof_ = true;
    }
}

int TDataSet::RecNo() const noexcept {
    return state_ == dsInsert || current_ >= RecordCount() ? -1 : current_;
}

void TDataSet::SetRecNo(int value) {
    CheckBrowse();
    if (value < 0 || value >= RecordCount()) throw EDatabaseError("Record not found");
    const int previous = std::exchange(current_, value);
    eof_ = bof_ = false;
    MovedFrom(previous);
}

const TDataRow* TDataSet::CurrentRow() const noexcept {
    return current_ >= 0 && current_ < RecordCount() ? &rows_[current_] : nullptr;
}

TBookmark TDataSet::GetBookmark() const noexcept {
    const TDataRow* row = CurrentRow();
    return row ? row->Bookmark : 0;
}

int TDataSet::IndexOfBookmark(TBookmark bookmark) const noexcept {
    const auto it = std::find_if(rows_.begin(), rows_.end(), [&](const TDataRow& r) { return r.Bookmark == bookmark; });
    return bookmark != 0 && it != rows_.end() ? static_cast<int>(it - rows_.begin()) : -1;
}

void TDataSet::GotoBookmark(TBookmark bookmark) {
    CheckBrowse();
    const int index = IndexOfBookmark(bookmark);
    if (index < 0) throw EDatabaseError("Bookmark not found");
    const int previous = std::exchange(current_, index);
    eof_ = bof_ = false;
    MovedFrom(previous);
}

bool TDataSet::Locate(const String& fieldName, const Variant& value, bool caseInsensitive) {
    CheckBrowse();
    const int index = FieldByName(fieldName).Index();
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (FieldValuesMatch(rows_[i].Values[index], value, caseInsensitive)) {
            const int previous = std::exchange(current_, static_cast<int>(i));
            eof_ = bof_ = false;
            MovedFrom(previous);
            return true;
        }
    }
    return false;
}

void TDataSet::AddRow(std::int64_t rowId, std::vector<Variant> values) {
    rows_.push_back(TDataRow{++lastBookmark_, rowId, std::move(values)});
}

void TDataSet::StartInsert(bool append) {
    CheckBrowse();
    editRow_ = TDataRow{0, -1, std::vector<Variant>(fields_.size(), Null())};
    appending_ = append;
    state_ = dsInsert;
    DoNewRecord();
    if (OnNewRecord) OnNewRecord(*this);
}

void TDataSet::Insert() { StartInsert(false); }
void TDataSet::Append() { StartInsert(true); }

void TDataSet::Edit() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (!CurrentRow()) {
        Insert();
        return;
    }
    editRow_ = *CurrentRow();
    state_ = dsEdit;
}

void TDataSet::InternalPost(TDataRow&, bool) {}
void TDataSet::InternalDelete(const TDataRow&) {}

void TDataSet::Post() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    for (const auto& field : fields_)
        if (field->Required() && field->IsNull())
            throw EDatabaseError(field->DisplayName() + " is required.");
    const bool inserting = state_ == dsInsert;
    InternalPost(editRow_, inserting);
    if (inserting) {
        editRow_.Bookmark = ++lastBookmark_;
        if (appending_ || !CurrentRow()) {
            rows_.push_back(std::move(editRow_));
            current_ = RecordCount() - 1;
        } else {
            rows_.insert(rows_.begin() + current_, std::move(editRow_));
        }
    } else {
        rows_[current_] = std::move(editRow_);
    }
    editRow_ = TDataRow();
    state_ = dsBrowse;
    eof_ = bof_ = false;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::Cancel() {
    if (state_ != dsEdit && state_ != dsInsert) return;
    editRow_ = TDataRow();
    state_ = dsBrowse;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    Cancel();
    if (!CurrentRow()) throw EDatabaseError("Cannot perform this operation on an empty dataset");
    InternalDelete(rows_[current_]);
    rows_.erase(rows_.begin() + current_);
    if (current_ >= RecordCount()) current_ = RecordCount() - 1;
    eof_ = rows_.empty();
    bof_ = current_ <= 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

const Variant& TDataSet::FieldValue(int index) const {
    static const Variant null = Null();
    if (state_ == dsEdit || state_ == dsInsert) return editRow_.Values[index];
    const TDataRow* row = CurrentRow();
    return row ? row->Values[index] : null;
}

void TDataSet::SetFieldValue(int index, const Variant& value) {
    if (state_ != dsEdit && state_ != dsInsert) throw EDatabaseError("Dataset not in edit or insert mode");
    const TField& field = *fields_[index];
    if (field.ReadOnly()) throw EDatabaseError("Field '" + field.DisplayName() + "' cannot be modified");
    editRow_.Values[index] = value;
    DataEvent(TDataEvent::deFieldChange, fields_[index].get());
}
