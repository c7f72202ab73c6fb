#include "platform/data/DataSet.h"
#include "platform/data/FieldValue.h"

TField::TField(TDataSet& dataSet, const TFieldDef& def, int index)
    : dataSet_(dataSet), name_(def.Name), dataType_(def.DataType), size_(def.Size), index_(index) {}

const Variant& TField::Value() const { return dataSet_.FieldValue(index_); }
void TField::SetValue(const Variant& value) { dataSet_.SetFieldValue(index_, value); }
bool TField::IsNull() const { return ValueKind(Value()) == TValueKind::Null; }

String TField::AsString() const { return ValueToString(Value()); }
void TField::SetAsString(const String& value) { SetValue(value); }
int TField::AsInteger() const { return static_cast<int>(ValueToInt64(Value())); }
void TField::SetAsInteger(int value) { SetValue(value); }
std::int64_t TField::AsLargeInt() const { return ValueToInt64(Value()); }
void TField::SetAsLargeInt(std::int64_t value) { SetValue(value); }
bool TField::AsBoolean() const { return ValueToBoolean(Value()); }
void TField::SetAsBoolean(bool value) { SetValue(value); }
double TField::AsFloat() const { return ValueToFloat(Value()); }
void TField::SetAsFloat(double value) { SetValue(value); }
TDateTime TField::AsDateTime() const { return ValueToDateTime(Value()); }
void TField::SetAsDateTime(TDateTime value) { SetValue(DateTimeValue(value)); }
std::string TField::AsBytes() const { return ValueToBytes(Value()); }
void TField::SetAsBytes(const std::string& value) { SetValue(BytesValue(value)); }

bool TParam::IsNull() const { return ValueKind(value_) == TValueKind::Null; }
String TParam::AsString() const { return ValueToString(value_); }
int TParam::AsInteger() const { return static_cast<int>(ValueToInt64(value_)); }
TDateTime TParam::AsDateTime() const { return ValueToDateTime(value_); }
void TParam::SetAsDateTime(TDateTime value) { value_ = DateTimeValue(value); }
bool TParam::AsBoolean() const { return ValueToBoolean(value_); }
