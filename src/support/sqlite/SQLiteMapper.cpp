#include "support/sqlite/SQLiteMapper.h"

#include <string>

String OutputDateFormatName(TOutputDateFormat format) {
    return String("dof" + std::to_string(static_cast<int>(format) + 1));
}

TSpSqliteMapper::TSpSqliteMapper() : settings_(FormatSettings()) {}

TOutputDateFormat TSpSqliteMapper::OutputFormatOf(TFieldType type) const noexcept {
    switch (type) {
    case ftDate: return outputDateFormat_;
    case ftTime: return outputTimeFormat_;
    default: return outputDateTimeFormat_;
    }
}

TFieldType TSpSqliteMapper::MapDeclaredType(const String& name) const {
    TFieldType result = encoding_ == emAnsi ? ftString : ftWideString;
    for (const TMapItem& item : mappings_) {
        if (item.Enabled && AnsiSameText(item.DataType, name)) {
            result = item.FieldType;
            break;
        }
    }
    if (encoding_ == emAnsi) {
        if (result == ftWideString) result = ftString;
        if (result == ftWideMemo) result = ftMemo;
    }
    return result;
}
