#include "platform/rtl/Variant.h"

#include <cmath>
#include <limits>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"

namespace {

bool IsFloatType(TVarType t) { return t == varSingle || t == varDouble || t == varDate; }

[[noreturn]] void Overflow() { throw EVariantError(u"Variant overflow"); }

} // namespace

String VarTypeAsText(TVarType type) {
    switch (type) {
    case varEmpty: return u"Empty";
    case varNull: return u"Null";
    case varSmallint: return u"Smallint";
    case varInteger: return u"Integer";
    case varSingle: return u"Single";
    case varDouble: return u"Double";
    case varDate: return u"Date";
    case varOleStr: return u"OleStr";
    case varBoolean: return u"Boolean";
    case varShortInt: return u"ShortInt";
    case varByte: return u"Byte";
    case varWord: return u"Word";
    case varLongWord: return u"LongWord";
    case varInt64: return u"Int64";
    case varUInt64: return u"UInt64";
    case varUString: return u"UnicodeString";
    default: return u"$" + IntToHex(static_cast<int>(type), 4);
    }
}

void Variant::CannotConvert(TVarType target) const {
    throw EVariantError(u"Could not convert variant of type (" + VarTypeAsText(type_) + u") into type (" +
                        VarTypeAsText(target) + u")");
}

int64_t Variant::Integer(TVarType target, int64_t min, int64_t max) const {
    int64_t value = 0;
    double number;
    switch (type_) {
    case varEmpty: break;
    case varBoolean: value = int_ ? -1 : 0; break;
    case varUInt64:
        if (uint_ > static_cast<uint64_t>(max)) Overflow();
        value = static_cast<int64_t>(uint_);
        break;
    case varSingle:
    case varDouble:
    case varDate:
        // 2^63 is exact as a double; anything from there on (or NaN) does not fit.
        if (!(std::fabs(float_) < 9223372036854775808.0)) Overflow();
        value = Round(float_);
        break;
    case varUString:
    case varOleStr:
        if (TryStrToInt64(text_, value)) break;
        if (!TryStrToFloat(text_, number)) CannotConvert(target);
        if (!(std::fabs(number) < 9223372036854775808.0)) Overflow();
        value = Round(number);
        break;
    case varNull: CannotConvert(target);
    default: value = int_;
    }
    if (value < min || value > max) Overflow();
    return value;
}

double Variant::Float(TVarType target) const {
    double value = 0;
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return int_ ? -1 : 0;
    case varUInt64: return static_cast<double>(uint_);
    case varSingle:
    case varDouble:
    case varDate: return float_;
    case varUString:
    case varOleStr:
        if (target == varDate) {
            if (!TryStrToDateTime(text_, value) && !TryStrToFloat(text_, value)) CannotConvert(target);
        } else if (!TryStrToFloat(text_, value)) {
            CannotConvert(target);
        }
        return value;
    case varNull: CannotConvert(target);
    default: return static_cast<double>(int_);
    }
}

int Variant::AsInteger() const {
    return static_cast<int>(Integer(varInteger, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int64_t Variant::AsInt64() const {
    return Integer(varInt64, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
}

double Variant::AsDouble() const { return Float(varDouble); }

TDateTime Variant::AsDateTime() const { return Float(varDate); }

bool Variant::AsBoolean() const {
    bool value = false;
    switch (type_) {
    case varEmpty: return false;
    case varNull: CannotConvert(varBoolean);
    case varUString:
    case varOleStr:
        if (!TryStrToBool(text_, value)) CannotConvert(varBoolean);
        return value;
    case varUInt64: return uint_ != 0;
    case varSingle:
    case varDouble:
    case varDate: return float_ != 0;
    default: return int_ != 0;
    }
}

String Variant::AsString() const {
    switch (type_) {
    case varEmpty: return String();
    case varNull: CannotConvert(varUString);
    case varUString:
    case varOleStr: return text_;
    case varBoolean: return BoolToStr(int_ != 0, true);
    case varUInt64: return UIntToStr(uint_);
    case varSingle: return FloatToStrF(float_, ffGeneral, 7, 0);
    case varDouble: return FloatToStr(float_);
    case varDate: return DateTimeToStr(float_);
    default: return IntToStr(int_);
    }
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.type_ == varNull || b.type_ == varNull) return a.type_ == b.type_;
    if (a.IsText() && b.IsText()) return a.text_ == b.text_;
    if (a.type_ == varEmpty || b.type_ == varEmpty) {
        const Variant& other = a.type_ == varEmpty ? b : a;
        if (other.type_ == varEmpty) return true;
        return other.IsText() ? other.text_.empty() : other.AsDouble() == 0;
    }
    if (a.IsText() || b.IsText()) {
        const Variant& text = a.IsText() ? a : b;
        const Variant& number = a.IsText() ? b : a;
        double value;
        return TryStrToFloat(text.text_, value) && value == number.AsDouble();
    }
    if (IsFloatType(a.type_) || IsFloatType(b.type_)) return a.AsDouble() == b.AsDouble();
    // Integers and Booleans: exact, also across signedness.
    if (a.type_ == varUInt64 && b.type_ == varUInt64) return a.uint_ == b.uint_;
    if (a.type_ == varUInt64 || b.type_ == varUInt64) {
        const Variant& u = a.type_ == varUInt64 ? a : b;
        const int64_t s = (a.type_ == varUInt64 ? b : a).AsInt64();
        return s >= 0 && static_cast<uint64_t>(s) == u.uint_;
    }
    return a.AsInt64() == b.AsInt64();
}

Variant Unassigned() { return Variant(); }

Variant Null() {
    Variant v;
    v.type_ = varNull;
    return v;
}

Variant VarFromDateTime(TDateTime value) {
    Variant v(value);
    v.type_ = varDate;
    return v;
}

Variant VarAsType(const Variant& value, TVarType type) {
    switch (type) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varShortInt: return static_cast<int8_t>(value.Integer(type, INT8_MIN, INT8_MAX));
    case varSmallint: return static_cast<int16_t>(value.Integer(type, INT16_MIN, INT16_MAX));
    case varInteger: return static_cast<int32_t>(value.Integer(type, INT32_MIN, INT32_MAX));
    case varInt64: return value.Integer(type, INT64_MIN, INT64_MAX);
    case varByte: return static_cast<uint8_t>(value.Integer(type, 0, UINT8_MAX));
    case varWord: return static_cast<uint16_t>(value.Integer(type, 0, UINT16_MAX));
    case varLongWord: return static_cast<uint32_t>(value.Integer(type, 0, UINT32_MAX));
    case varUInt64:
        return value.type_ == varUInt64 ? value : Variant(static_cast<uint64_t>(value.Integer(type, 0, INT64_MAX)));
    case varSingle: {
        const double d = value.Float(type);
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) Overflow();
        return static_cast<float>(d);
    }
    case varDouble: return value.Float(type);
    case varDate: return VarFromDateTime(value.Float(type));
    case varBoolean: return value.AsBoolean();
    case varUString:
    case varOleStr: {
        Variant v(value.AsString());
        v.type_ = type;
        return v;
    }
    default: throw EVariantError(u"Invalid variant type");
    }
}

String VarToStr(const Variant& v) { return VarIsNull(v) ? String() : v.AsString(); }
