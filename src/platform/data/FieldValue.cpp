#include "platform/data/FieldValue.h"

#include <string>

#include "platform/rtl/Conversions.h"

TValueKind ValueKind(const Variant& value) {
    switch (VarType(value)) {
    case varEmpty:
    case varNull: return TValueKind::Null;
    case varBoolean: return TValueKind::Boolean;
    case varSingle:
    case varDouble: return TValueKind::Float;
    case varDate: return TValueKind::DateTime;
    case varOleStr: return TValueKind::Bytes;
    case varUString: return TValueKind::Text;
    default: return TValueKind::Integer;
    }
}

// Blob bytes travel as an OleStr variant holding one byte per code unit, which
// keeps them apart from text.
Variant BytesValue(const std::string& bytes) {
    return VarAsType(Variant(String(bytes.begin(), bytes.end())), varOleStr);
}

std::string ValueToBytes(const Variant& value) {
    if (ValueKind(value) != TValueKind::Bytes) return ValueToString(value).ToUtf8();
    const String units = value.AsString();
    std::string bytes(units.size(), '\0');
    for (size_t i = 0; i < units.size(); ++i) bytes[i] = static_cast<char>(units[i]);
    return bytes;
}

String ValueToString(const Variant& value) {
    switch (ValueKind(value)) {
    case TValueKind::Null: return String();
    case TValueKind::DateTime: return FormatStoredDate(value.AsDateTime(), ftDateTime);
    case TValueKind::Bytes: return String::FromUtf8(ValueToBytes(value));
    default: return value.AsString();
    }
}

std::int64_t ValueToInt64(const Variant& value) {
    return ValueKind(value) == TValueKind::Null ? 0 : value.AsInt64();
}

double ValueToFloat(const Variant& value) {
    return ValueKind(value) == TValueKind::Null ? 0 : value.AsDouble();
}

bool ValueToBoolean(const Variant& value) {
    return ValueKind(value) != TValueKind::Null && value.AsBoolean();
}

TDateTime ValueToDateTime(const Variant& value) {
    switch (ValueKind(value)) {
    case TValueKind::Null: return 0;
    case TValueKind::Text:
    case TValueKind::Bytes: return ParseStoredDate(ValueToString(value));
    default: return value.AsDateTime();
    }
}

Variant DateTimeValue(TDateTime value) { return VarFromDateTime(value); }

bool FieldValuesMatch(const Variant& a, const Variant& b, bool caseInsensitive) {
    const bool nullA = ValueKind(a) == TValueKind::Null, nullB = ValueKind(b) == TValueKind::Null;
    if (nullA || nullB) return nullA == nullB;
    return caseInsensitive ? AnsiSameText(ValueToString(a), ValueToString(b)) : a == b;
}

String SqlLiteral(const Variant& value) {
    switch (ValueKind(value)) {
    case TValueKind::Null: return u"null";
    case TValueKind::Boolean: return value.AsBoolean() ? u"1" : u"0";
    case TValueKind::Integer: return IntToStr(value.AsInt64());
    case TValueKind::Float: return FloatToStr(value.AsDouble(), TFormatSettings::Invariant());
    default: return QuotedStr(ValueToString(value));
    }
}

namespace {
// Reads exactly `digits` decimal digits at pos.
bool ReadNumber(const String& s, size_t& pos, size_t digits, int& value) {
    if (pos + digits > s.size()) return false;
    value = 0;
    for (size_t i = 0; i < digits; ++i) {
        const char16_t c = s[pos + i];
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    pos += digits;
    return true;
}

bool Expect(const String& s, size_t& pos, char16_t c) {
    if (pos >= s.size() || s[pos] != c) return false;
    ++pos;
    return true;
}

bool ReadTime(const String& s, size_t& pos, int& h, int& n, int& sec, int& ms) {
    if (!ReadNumber(s, pos, 2, h) || !Expect(s, pos, u':') || !ReadNumber(s, pos, 2, n)) return false;
    if (Expect(s, pos, u':')) {
        if (!ReadNumber(s, pos, 2, sec)) return false;
        if (Expect(s, pos, u'.')) {
            int scale = 100;
            const size_t start = pos;
            for (int digit; pos < s.size() && ReadNumber(s, pos, 1, digit); scale /= 10) ms += digit * scale;
            if (pos == start) return false;
        }
    }
    return true;
}
} // namespace

String FormatStoredDate(TDateTime value, TFieldType type) {
    switch (type) {
    case ftDate: return FormatDateTime(u"yyyy-mm-dd", value);
    case ftTime: return FormatDateTime(u"hh:nn:ss", value);
    default: return FormatDateTime(u"yyyy-mm-dd hh:nn:ss", value);
    }
}

TDateTime ParseStoredDate(const String& text) {
    const String s = Trim(text);
    size_t pos = 0;
    int y = 1899, m = 12, d = 30, h = 0, n = 0, sec = 0, ms = 0;
    if (s.size() >= 10 && s[4] == u'-') {
        if (!ReadNumber(s, pos, 4, y) || !Expect(s, pos, u'-') || !ReadNumber(s, pos, 2, m) ||
            !Expect(s, pos, u'-') || !ReadNumber(s, pos, 2, d))
            return 0;
        if (pos < s.size() && !((Expect(s, pos, u' ') || Expect(s, pos, u'T')) && ReadTime(s, pos, h, n, sec, ms)))
            return 0;
    } else if (!ReadTime(s, pos, h, n, sec, ms)) {
        return 0;
    }
    TDateTime value = 0;
    return pos == s.size() && TryEncodeDateTime(y, m, d, h, n, sec, ms, value) ? value : 0;
}
