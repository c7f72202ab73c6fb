#pragma once
// Variant: a value of one of the variant types below, converting between them
// on request. Conversions of Null, and of text that does not read as the
// requested type, raise EVariantError.

#include <cstdint>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/String.h"

using TVarType = uint16_t;
constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varUInt64 = 0x0015;
constexpr TVarType varUString = 0x0102;

class Variant {
public:
    Variant() = default; // Unassigned
    Variant(int8_t v) : type_(varShortInt), int_(v) {}
    Variant(int16_t v) : type_(varSmallint), int_(v) {}
    Variant(int32_t v) : type_(varInteger), int_(v) {}
    Variant(int64_t v) : type_(varInt64), int_(v) {}
    Variant(uint8_t v) : type_(varByte), int_(v) {}
    Variant(uint16_t v) : type_(varWord), int_(v) {}
    Variant(uint32_t v) : type_(varLongWord), int_(v) {}
    Variant(uint64_t v) : type_(varUInt64), uint_(v) {}
    Variant(float v) : type_(varSingle), float_(v) {}
    Variant(double v) : type_(varDouble), float_(v) {}
    Variant(bool v) : type_(varBoolean), int_(v) {}
    Variant(String v) : type_(varUString), text_(std::move(v)) {}
    Variant(const char* utf8) : Variant(String(utf8)) {}
    Variant(const char16_t* s) : Variant(String(s)) {}
    // Other pointers would silently become Booleans.
    template <class T>
    Variant(T*) = delete;

    TVarType VarType() const noexcept { return type_; }

    // Empty reads as 0, False or ""; Booleans as -1 and 0 or "True" and "False";
    // floats round to integers with ties to even; text is parsed with the
    // process format settings.
    int AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBoolean() const;
    String AsString() const;
    TDateTime AsDateTime() const;

    // Null equals only Null; Empty equals "" and 0; numbers compare by value
    // across their types (True is -1); text compares with text ordinally and
    // with numbers by its numeric value (false when it has none).
    friend bool operator==(const Variant& a, const Variant& b);

    friend Variant Null();
    friend Variant VarFromDateTime(TDateTime value);
    friend Variant VarAsType(const Variant& value, TVarType type);

private:
    [[noreturn]] void CannotConvert(TVarType target) const;
    int64_t Integer(TVarType target, int64_t min, int64_t max) const;
    double Float(TVarType target) const;
    bool IsText() const noexcept { return type_ == varUString || type_ == varOleStr; }

    TVarType type_ = varEmpty;
    union {
        int64_t int_ = 0; // the integer types up to 32 bits unsigned, varInt64, varBoolean
        uint64_t uint_;   // varUInt64
        double float_;    // varSingle, varDouble, varDate
    };
    String text_; // varUString, varOleStr
};

Variant Unassigned();
Variant Null();
Variant VarFromDateTime(TDateTime value);
// The value converted to the given type (the integer types check their range).
Variant VarAsType(const Variant& value, TVarType type);

inline TVarType VarType(const Variant& v) noexcept { return v.VarType(); }
inline bool VarIsNull(const Variant& v) noexcept { return v.VarType() == varNull; }
inline bool VarIsEmpty(const Variant& v) noexcept { return v.VarType() == varEmpty; }
inline bool VarIsClear(const Variant& v) noexcept { return v.VarType() == varEmpty; }
// AsString, with Null as "".
String VarToStr(const Variant& v);
// "Empty", "Null", "Integer", "UnicodeString"...
String VarTypeAsText(TVarType type);
