#include "support/storage/XcAppStorageOptions.h"

#include "platform/rtl/ClassInfo.h"

namespace {

String FirstEntry(const String& list) { return Trim(list.substr(0, list.find(u','))); }

// Entries are separated by commas or blanks.
bool InList(const String& list, const String& text) {
    const String wanted = AnsiUpperCase(text);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(u", ", start);
        if (end == String::npos) end = list.size();
        if (end > start && AnsiUpperCase(list.substr(start, end - start)) == wanted) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

RTL_PUBLISHED(TXcCustomAppStorageOptions, c) {
    using T = TXcCustomAppStorageOptions;
    c.Property("BooleanStringTrueValues", &T::BooleanStringTrueValues, &T::SetBooleanStringTrueValues);
    c.Property("BooleanStringFalseValues", &T::BooleanStringFalseValues, &T::SetBooleanStringFalseValues);
    c.Property("BooleanAsString", &T::BooleanAsString, &T::SetBooleanAsString).Default(true);
    c.Property("EnumerationAsString", &T::EnumerationAsString, &T::SetEnumerationAsString).Default(true);
    c.Property("TypedIntegerAsString", &T::TypedIntegerAsString, &T::SetTypedIntegerAsString).Default(true);
    c.Property("SetAsString", &T::SetAsString, &T::SetSetAsString).Default(false);
    c.Property("DateTimeAsString", &T::DateTimeAsString, &T::SetDateTimeAsString).Default(true);
    c.Property("FloatAsString", &T::FloatAsString, &T::SetFloatAsString).Default(false);
    c.Property("DefaultIfReadConvertError", &T::DefaultIfReadConvertError, &T::SetDefaultIfReadConvertError)
        .Default(false);
    c.Property("DefaultIfValueNotExists", &T::DefaultIfValueNotExists, &T::SetDefaultIfValueNotExists).Default(true);
    c.Property("StoreDefaultValues", &T::StoreDefaultValues, &T::SetStoreDefaultValues).Default(true);
    c.Property("UseOldItemNameFormat", &T::UseOldItemNameFormat, &T::SetUseOldItemNameFormat).Default(true);
    c.Property("UseTranslateStringEngineDateTimeFormats", &T::UseTranslateStringEngineDateTimeFormats,
               &T::SetUseTranslateStringEngineDateTimeFormats)
        .Default(false);
}

RTL_PUBLISHED_NONE(TXcAppStorageOptions);

void TXcCustomAppStorageOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TXcCustomAppStorageOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    trueValues_ = other->trueValues_;
    falseValues_ = other->falseValues_;
    booleanAsString_ = other->booleanAsString_;
    enumerationAsString_ = other->enumerationAsString_;
    typedIntegerAsString_ = other->typedIntegerAsString_;
    setAsString_ = other->setAsString_;
    dateTimeAsString_ = other->dateTimeAsString_;
    floatAsString_ = other->floatAsString_;
    defaultIfReadConvertError_ = other->defaultIfReadConvertError_;
    defaultIfValueNotExists_ = other->defaultIfValueNotExists_;
    storeDefaultValues_ = other->storeDefaultValues_;
    useOldItemNameFormat_ = other->useOldItemNameFormat_;
    useEngineDateTimeFormats_ = other->useEngineDateTimeFormats_;
    storeStringListAsSingleString_ = other->storeStringListAsSingleString_;
}

void TXcCustomAppStorageOptions::SetBooleanStringTrueValues(const String& value) {
    trueValues_ = value;
    if (DefaultTrueString().empty()) booleanAsString_ = false;
}

void TXcCustomAppStorageOptions::SetBooleanStringFalseValues(const String& value) {
    falseValues_ = value;
    if (DefaultFalseString().empty()) booleanAsString_ = false;
}

void TXcCustomAppStorageOptions::SetBooleanAsString(bool value) {
    booleanAsString_ = value && !DefaultTrueString().empty() && !DefaultFalseString().empty();
}

bool TXcCustomAppStorageOptions::IsValueTrueString(const String& text) const { return InList(trueValues_, text); }

bool TXcCustomAppStorageOptions::IsValueFalseString(const String& text) const { return InList(falseValues_, text); }

String TXcCustomAppStorageOptions::DefaultTrueString() const { return FirstEntry(trueValues_); }

String TXcCustomAppStorageOptions::DefaultFalseString() const { return FirstEntry(falseValues_); }
