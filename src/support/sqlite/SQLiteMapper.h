#pragma once
// Maps the declared types of result columns to field types.

#include <vector>

#include "platform/data/FieldType.h"
#include "platform/rtl/TObject.h"

enum TEncodingMap { emUnicode, emAnsi };

struct TMapItem {
    String DataType;
    TFieldType FieldType = ftUnknown;
    bool Enabled = true;
};

class TSpSqliteMapper : public TObject {
public:
    std::vector<TMapItem>& Mappings() noexcept { return mappings_; }
    const std::vector<TMapItem>& Mappings() const noexcept { return mappings_; }
    TEncodingMap Encoding() const noexcept { return encoding_; }
    void SetEncoding(TEncodingMap value) noexcept { encoding_ = value; }

    // The first enabled row naming the type (ignoring case), else the default
    // text type of the encoding.
    TFieldType MapDeclaredType(const String& name) const;

private:
    std::vector<TMapItem> mappings_;
    TEncodingMap encoding_ = emUnicode;
};
