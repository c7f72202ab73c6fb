#include "support/sqlite/SQLiteMapper.h"

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
