#pragma once
// Conversions between the Variant values of fields and parameters and the
// native types, and the fixed text form in which dates are stored.

#include <cstdint>
#include <string>

#include "platform/data/FieldType.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Variant.h"

enum class TValueKind { Null, Boolean, Integer, Float, DateTime, Text, Bytes };

TValueKind ValueKind(const Variant& value);
String ValueToString(const Variant& value);
std::int64_t ValueToInt64(const Variant& value);
double ValueToFloat(const Variant& value);
bool ValueToBoolean(const Variant& value);
TDateTime ValueToDateTime(const Variant& value);
// Blob bytes; text gives its UTF-8 form.
std::string ValueToBytes(const Variant& value);
Variant DateTimeValue(TDateTime value);
Variant BytesValue(const std::string& bytes);
// Equal values; caseInsensitive compares texts ignoring case.
bool FieldValuesMatch(const Variant& a, const Variant& b, bool caseInsensitive);
// The value as an SQL literal: numbers as they stand, everything else quoted.
String SqlLiteral(const Variant& value);

// "yyyy-mm-dd" (ftDate), "hh:nn:ss" (ftTime) or "yyyy-mm-dd hh:nn:ss".
String FormatStoredDate(TDateTime value, TFieldType type);
// Reads the stored forms (also with 'T', fractions of seconds, or a date or time
// alone); a text that does not read gives 0.
TDateTime ParseStoredDate(const String& text);
