#pragma once
// The options of an application storage: how Booleans, enumerations, typed
// integers, sets, date-times and floats are written, what reading a missing or
// unconvertible value gives, and how list items are named.

#include "platform/rtl/Persistent.h"

class TXcCustomAppStorageOptions : public TPersistent {
    RTL_CLASS(TXcCustomAppStorageOptions, TPersistent);

public:
    TXcCustomAppStorageOptions() = default;

    // Copies every option from another options object.
    void Assign(TPersistent* source) override;

    // Comma-separated texts read as true (false); the first one, trimmed, is
    // written. Setting a list whose first entry is empty clears BooleanAsString.
    const String& BooleanStringTrueValues() const noexcept { return trueValues_; }
    void SetBooleanStringTrueValues(const String& value);
    const String& BooleanStringFalseValues() const noexcept { return falseValues_; }
    void SetBooleanStringFalseValues(const String& value);
    // Stays false unless both first entries are non-empty.
    bool BooleanAsString() const noexcept { return booleanAsString_; }
    void SetBooleanAsString(bool value);
    bool EnumerationAsString() const noexcept { return enumerationAsString_; }
    void SetEnumerationAsString(bool value) { enumerationAsString_ = value; }
    bool TypedIntegerAsString() const noexcept { return typedIntegerAsString_; }
    void SetTypedIntegerAsString(bool value) { typedIntegerAsString_ = value; }
    bool SetAsString() const noexcept { return setAsString_; }
    void SetSetAsString(bool value) { setAsString_ = value; }
    bool DateTimeAsString() const noexcept { return dateTimeAsString_; }
    void SetDateTimeAsString(bool value) { dateTimeAsString_ = value; }
    bool FloatAsString() const noexcept { return floatAsString_; }
    void SetFloatAsString(bool value) { floatAsString_ = value; }
    bool DefaultIfReadConvertError() const noexcept { return defaultIfReadConvertError_; }
    void SetDefaultIfReadConvertError(bool value) { defaultIfReadConvertError_ = value; }
    bool DefaultIfValueNotExists() const noexcept { return defaultIfValueNotExists_; }
    void SetDefaultIfValueNotExists(bool value) { defaultIfValueNotExists_ = value; }
    bool StoreDefaultValues() const noexcept { return storeDefaultValues_; }
    void SetStoreDefaultValues(bool value) { storeDefaultValues_ = value; }
    bool UseOldItemNameFormat() const noexcept { return useOldItemNameFormat_; }
    void SetUseOldItemNameFormat(bool value) { useOldItemNameFormat_ = value; }
    bool UseTranslateStringEngineDateTimeFormats() const noexcept { return useEngineDateTimeFormats_; }
    void SetUseTranslateStringEngineDateTimeFormats(bool value) { useEngineDateTimeFormats_ = value; }
    // String lists as one text of lines instead of counted items; published by
    // the registry storage's options.
    bool StoreStringListAsSingleString() const noexcept { return storeStringListAsSingleString_; }
    void SetStoreStringListAsSingleString(bool value) { storeStringListAsSingleString_ = value; }

    // Whether Text is one of the true (false) texts, ignoring case.
    bool IsValueTrueString(const String& text) const;
    bool IsValueFalseString(const String& text) const;
    // The texts written for true and false.
    String DefaultTrueString() const;
    String DefaultFalseString() const;

private:
    String trueValues_ = u"TRUE, YES, Y";
    String falseValues_ = u"FALSE, NO, N";
    bool booleanAsString_ = true;
    bool enumerationAsString_ = true;
    bool typedIntegerAsString_ = true;
    bool setAsString_ = false;
    bool dateTimeAsString_ = true;
    bool floatAsString_ = false;
    bool defaultIfReadConvertError_ = false;
    bool defaultIfValueNotExists_ = true;
    bool storeDefaultValues_ = true;
    bool useOldItemNameFormat_ = true;
    bool useEngineDateTimeFormats_ = false;
    bool storeStringListAsSingleString_ = false;
};

class TXcAppStorageOptions : public TXcCustomAppStorageOptions {
    RTL_CLASS(TXcAppStorageOptions, TXcCustomAppStorageOptions);

public:
    TXcAppStorageOptions() = default;
};
