#pragma once
// Maps the declared types of result columns to field types, and says how
// dates are written to and read from the database.

#include <vector>

#include "platform/data/FieldType.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/TObject.h"

enum TEncodingMap { emUnicode, emAnsi };

// sdfStandard stores dates in the fixed text form of the data sets;
// sdfSQLite in the output formats below, read back through SQLite's date functions.
enum TSQLiteDateFormat { sdfStandard, sdfSQLite };

// The texts of dates in sdfSQLite mode (TASQLite3DB::FormatDateText).
enum TOutputDateFormat { dof1, dof2, dof3, dof4, dof5, dof6, dof7, dof8, dof9, dof10, dof11, dof12 };

// "dof1" .. "dof12".
String OutputDateFormatName(TOutputDateFormat format);

struct TMapItem {
    String DataType;
    TFieldType FieldType = ftUnknown;
    bool Enabled = true;
};

class TSpSqliteMapper : public TObject {
public:
    // The formatting settings are those of the moment.
    TSpSqliteMapper();

    std::vector<TMapItem>& Mappings() noexcept { return mappings_; }
    const std::vector<TMapItem>& Mappings() const noexcept { return mappings_; }
    TEncodingMap Encoding() const noexcept { return encoding_; }
    void SetEncoding(TEncodingMap value) noexcept { encoding_ = value; }
    TSQLiteDateFormat SQLiteDateFormat() const noexcept { return sqliteDateFormat_; }
    void SetSQLiteDateFormat(TSQLiteDateFormat value) noexcept { sqliteDateFormat_ = value; }
    TOutputDateFormat OutputDateTimeFormat() const noexcept { return outputDateTimeFormat_; }
    void SetOutputDateTimeFormat(TOutputDateFormat value) noexcept { outputDateTimeFormat_ = value; }
    TOutputDateFormat OutputDateFormat() const noexcept { return outputDateFormat_; }
    void SetOutputDateFormat(TOutputDateFormat value) noexcept { outputDateFormat_ = value; }
    TOutputDateFormat OutputTimeFormat() const noexcept { return outputTimeFormat_; }
    void SetOutputTimeFormat(TOutputDateFormat value) noexcept { outputTimeFormat_ = value; }
    // The output format of a date, time or date-time field.
    TOutputDateFormat OutputFormatOf(TFieldType type) const noexcept;
    // The separators dates are written with.
    const TFormatSettings& DateSettings() const noexcept { return settings_; }
    void SetDateSettings(const TFormatSettings& value) { settings_ = value; }

    // The first enabled row naming the type (ignoring case), else the default
    // text type of the encoding.
    TFieldType MapDeclaredType(const String& name) const;

private:
    std::vector<TMapItem> mappings_;
    TEncodingMap encoding_ = emUnicode;
    TSQLiteDateFormat sqliteDateFormat_ = sdfStandard;
    TOutputDateFormat outputDateTimeFormat_ = dof1;
    TOutputDateFormat outputDateFormat_ = dof1;
    TOutputDateFormat outputTimeFormat_ = dof1;
    TFormatSettings settings_;
};
