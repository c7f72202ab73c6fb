#include "platform/rtl/Conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace {

void AppendAscii(String& out, std::string_view ascii) {
    for (char c : ascii) out.push_back(static_cast<char16_t>(c));
}

template <class T>
String IntegerText(T value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    String out;
    AppendAscii(out, std::string_view(buf, r.ptr - buf));
    return out;
}

String HexText(uint64_t bits, int digits) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, bits, 16);
    const int len = static_cast<int>(r.ptr - buf);
    String out(static_cast<String::size_type>(std::max(digits - len, 0)), u'0');
    for (const char* p = buf; p != r.ptr; ++p) out.push_back(static_cast<char16_t>(*p >= 'a' ? *p - 'a' + 'A' : *p));
    return out;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

int DigitValue(char16_t c, int base) {
    int d = 99;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
    return d < base ? d : -1;
}

template <class T>
bool ParseInteger(std::u16string_view s, T& value) {
    using U = std::make_unsigned_t<T>;
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
    int base = 10;
    if (i < s.size() && s[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return false;
    // Hex may use every bit; decimal stays inside the signed range.
    const U limit = base == 16 ? std::numeric_limits<U>::max()
                               : static_cast<U>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
    U acc = 0;
    for (; i < s.size(); ++i) {
        const int d = DigitValue(s[i], base);
        if (d < 0 || acc > (limit - static_cast<U>(d)) / static_cast<U>(base)) return false;
        acc = acc * static_cast<U>(base) + static_cast<U>(d);
    }
    value = static_cast<T>(negative ? U(0) - acc : acc);
    return true;
}

[[noreturn]] void NotAnInteger(const String& s) {
    throw EConvertError(u"'" + s + u"' is not a valid integer value");
}

// A finite non-negative magnitude as significant digits: value = 0.Digits * 10^Exponent.
// Empty digits mean zero.
struct TDecimal {
    std::string digits;
    int exponent = 0;
};

void TrimTrailingZeros(TDecimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
}

TDecimal ToDecimal(double magnitude) {
    TDecimal d;
    if (magnitude == 0) return d;
    // 17 significant digits identify every double.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 16);
    const std::string_view text(buf, r.ptr - buf);
    const size_t e = text.find('e');
    d.digits.push_back(text[0]);
    d.digits.append(text.substr(2, e - 2));
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    d.exponent = exponent + 1;
    TrimTrailingZeros(d);
    return d;
}

// Keeps Count significant digits, ties away from zero.
void RoundDecimal(TDecimal& d, int count) {
    if (count < 0) {
        d.digits.clear();
    } else if (static_cast<int>(d.digits.size()) > count) {
        const bool up = d.digits[count] >= '5';
        d.digits.resize(count);
        if (up) {
            while (!d.digits.empty() && d.digits.back() == '9') d.digits.pop_back();
            if (d.digits.empty()) {
                d.digits.push_back('1');
                ++d.exponent;
            } else {
                ++d.digits.back();
            }
        }
    }
    TrimTrailingZeros(d);
}

char16_t DigitAt(const TDecimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? static_cast<char16_t>(d.digits[index]) : u'0';
}

// Integer part (grouped by Thousands when not 0) and exactly Decimals decimals.
void AppendFixed(String& out, const TDecimal& d, int decimals, char16_t thousands, char16_t decimalSeparator) {
    if (d.exponent <= 0) out.push_back(u'0');
    for (int i = 0; i < d.exponent; ++i) {
        if (thousands && i > 0 && (d.exponent - i) % 3 == 0) out.push_back(thousands);
        out.push_back(DigitAt(d, i));
    }
    if (decimals > 0) out.push_back(decimalSeparator);
    for (int i = 0; i < decimals; ++i) out.push_back(DigitAt(d, d.exponent + i));
}

// d.ddd E exponent; Length is the number of digits shown (at least the stored ones).
void AppendExponent(String& out, const TDecimal& d, int length, int exponentDigits, bool plusSign,
                    char16_t decimalSeparator) {
    out.push_back(DigitAt(d, 0));
    if (length > 1) out.push_back(decimalSeparator);
    for (int i = 1; i < length; ++i) out.push_back(DigitAt(d, i));
    out.push_back(u'E');
    const int exponent = d.digits.empty() ? 0 : d.exponent - 1;
    if (exponent < 0) out.push_back(u'-');
    else if (plusSign) out.push_back(u'+');
    const String number = IntegerText(std::abs(exponent));
    out.append(static_cast<String::size_type>(std::max(exponentDigits - number.Length(), 0)), u'0');
    out += number;
}

void AppendCurrency(String& out, const String& amount, bool negative, const TFormatSettings& settings) {
    static constexpr const char* positive[] = {"$1", "1$", "$ 1", "1 $"};
    static constexpr const char* negatives[] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
                                                "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char* pattern = negative ? negatives[settings.NegCurrFormat < 16 ? settings.NegCurrFormat : 0]
                                   : positive[settings.CurrencyFormat < 4 ? settings.CurrencyFormat : 0];
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$') out += settings.CurrencyString;
        else if (*p == '1') out += amount;
        else out.push_back(static_cast<char16_t>(*p));
    }
}

} // namespace

String IntToStr(int value) { return IntegerText(value); }
String IntToStr(int64_t value) { return IntegerText(value); }
String UIntToStr(uint64_t value) { return IntegerText(value); }

String IntToHex(int value, int digits) { return HexText(static_cast<uint32_t>(value), digits); }
String IntToHex(unsigned value, int digits) { return HexText(value, digits); }
String IntToHex(int64_t value, int digits) { return HexText(static_cast<uint64_t>(value), digits); }
String IntToHex(uint64_t value, int digits) { return HexText(value, digits); }

bool TryStrToInt(const String& s, int& value) { return ParseInteger(std::u16string_view(s), value); }
bool TryStrToInt64(const String& s, int64_t& value) { return ParseInteger(std::u16string_view(s), value); }

int StrToInt(const String& s) {
    int value;
    if (!TryStrToInt(s, value)) NotAnInteger(s);
    return value;
}

int64_t StrToInt64(const String& s) {
    int64_t value;
    if (!TryStrToInt64(s, value)) NotAnInteger(s);
    return value;
}

int StrToIntDef(const String& s, int defaultValue) {
    int value;
    return TryStrToInt(s, value) ? value : defaultValue;
}

int64_t StrToInt64Def(const String& s, int64_t defaultValue) {
    int64_t value;
    return TryStrToInt64(s, value) ? value : defaultValue;
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
    precision = std::clamp(precision, 1, 18);
    TDecimal d = ToDecimal(std::fabs(value));
    if (format >= ffFixed && d.exponent > precision) format = ffGeneral;
    String body;
    switch (format) {
    case ffGeneral:
        RoundDecimal(d, precision);
        if (d.exponent > precision || d.exponent < -3) {
            AppendExponent(body, d, static_cast<int>(d.digits.size()), std::clamp(digits, 0, 4), false,
                           settings.DecimalSeparator);
        } else {
            AppendFixed(body, d, std::max(static_cast<int>(d.digits.size()) - d.exponent, 0), 0,
                        settings.DecimalSeparator);
        }
        break;
    case ffExponent:
        RoundDecimal(d, precision);
        AppendExponent(body, d, precision, std::clamp(digits, 0, 4), true, settings.DecimalSeparator);
        break;
    case ffFixed:
    case ffNumber:
    case ffCurrency:
        digits = std::clamp(digits, 0, 18);
        RoundDecimal(d, std::min(precision, d.exponent + digits));
        AppendFixed(body, d, digits, format == ffFixed ? 0 : settings.ThousandSeparator, settings.DecimalSeparator);
        break;
    }
    const bool negative = std::signbit(value) && !d.digits.empty();
    if (format == ffCurrency) {
        String out;
        AppendCurrency(out, body, negative, settings);
        return out;
    }
    return negative ? u"-" + body : body;
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

String FloatToStr(double value, const TFormatSettings& settings) {
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

namespace {

// Splits a FormatFloat pattern into its sections at ";" outside quotes.
std::vector<std::u16string_view> FloatSections(std::u16string_view format) {
    std::vector<std::u16string_view> sections;
    char16_t quote = 0;
    size_t start = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';' && sections.size() < 2) {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

struct TFloatPattern {
    int integerMin = 0; // '0' placeholders from the first one to the decimal point
    int fractionMin = 0;
    int fractionMax = 0;
    bool thousands = false;
};

TFloatPattern AnalysePattern(std::u16string_view section) {
    TFloatPattern p;
    char16_t quote = 0;
    bool point = false;
    bool zeroSeen = false;
    for (const char16_t c : section) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'.') {
            point = true;
        } else if (c == u',' && !point) {
            p.thousands = true;
        } else if (c == u'0' || c == u'#') {
            if (point) {
                ++p.fractionMax;
                if (c == u'0') p.fractionMin = p.fractionMax;
            } else {
                zeroSeen = zeroSeen || c == u'0';
                if (zeroSeen) ++p.integerMin;
            }
        }
    }
    return p;
}

String ApplyPattern(std::u16string_view section, const TDecimal& d, const TFloatPattern& p,
                    const TFormatSettings& settings) {
    String integer;
    for (int i = 0; i < d.exponent; ++i) integer.push_back(DigitAt(d, i));
    if (integer.Length() < p.integerMin) integer.insert(0, String(p.integerMin - integer.Length(), u'0'));
    String fraction;
    for (int i = 0; i < p.fractionMax; ++i) fraction.push_back(DigitAt(d, d.exponent + i));
    while (fraction.Length() > p.fractionMin && fraction.back() == u'0') fraction.pop_back();

    String out;
    char16_t quote = 0;
    bool point = false;
    bool integerDone = false;
    size_t fractionIndex = 0;
    const auto emitInteger = [&] {
        if (integerDone) return;
        integerDone = true;
        for (int i = 0; i < integer.Length(); ++i) {
            if (p.thousands && i > 0 && (integer.Length() - i) % 3 == 0) out.push_back(settings.ThousandSeparator);
            out.push_back(integer[i]);
        }
    };
    for (const char16_t c : section) {
        if (quote) {
            if (c == quote) quote = 0;
            else out.push_back(c);
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'.' && !point) {
            point = true;
            emitInteger();
            if (!fraction.empty()) out.push_back(settings.DecimalSeparator);
        } else if (c == u'0' || c == u'#') {
            if (!point) emitInteger();
            else if (fractionIndex < fraction.size()) out.push_back(fraction[fractionIndex++]);
        } else if (c != u',' || point) {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

String FormatFloat(const String& format, double value, const TFormatSettings& settings) {
    if (format.empty() || !std::isfinite(value)) return FloatToStr(value, settings);
    const auto sections = FloatSections(format);
    const bool negative = value < 0;
    size_t chosen = negative && sections.size() > 1 && !sections[1].empty() ? 1 : 0;
    TFloatPattern pattern = AnalysePattern(sections[chosen]);
    TDecimal d = ToDecimal(std::fabs(value));
    RoundDecimal(d, std::min(d.exponent + pattern.fractionMax, 18));
    if (d.digits.empty() && sections.size() > 2 && !sections[2].empty()) {
        chosen = 2;
        pattern = AnalysePattern(sections[chosen]);
    }
    const String text = ApplyPattern(sections[chosen], d, pattern, settings);
    return negative && chosen == 0 && !d.digits.empty() ? u"-" + text : text;
}

String FormatFloat(const String& format, double value) { return FormatFloat(format, value, FormatSettings()); }

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings) {
    const String text = Trim(s);
    size_t i = 0;
    const size_t n = text.size();
    std::string ascii;
    ascii.reserve(n);
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i < n && (UpCase(text[i]) == u'I' || UpCase(text[i]) == u'N')) {
        const String word = text.substr(i);
        const bool nan = SameText(word, u"NAN");
        if (!nan && !SameText(word, u"INF")) return false;
        value = nan ? std::numeric_limits<double>::quiet_NaN()
                    : (negative ? -1 : 1) * std::numeric_limits<double>::infinity();
        return true;
    }
    // Magnitude: the decimal position of the first significant digit, to tell
    // overflow from underflow when the value does not fit.
    int magnitude = 0;
    bool significant = false;
    int digits = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
        significant = significant || text[i] != u'0';
        if (significant) ++magnitude;
        ascii.push_back(static_cast<char>(text[i]));
    }
    if (i < n && text[i] == settings.DecimalSeparator) {
        ascii.push_back('.');
        for (++i; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
            if (!significant && text[i] == u'0') --magnitude;
            significant = significant || text[i] != u'0';
            ascii.push_back(static_cast<char>(text[i]));
        }
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == u'-' || text[i] == u'+')) negativeExponent = text[i++] == u'-';
        if (negativeExponent) ascii.push_back('-');
        int exponent = 0;
        const size_t first = i;
        for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            exponent = std::min(exponent * 10 + (text[i] - u'0'), 100000);
            ascii.push_back(static_cast<char>(text[i]));
        }
        if (i == first) return false;
        magnitude += negativeExponent ? -exponent : exponent;
    }
    if (i != n) return false;
    double parsed = 0;
    const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed);
    if (r.ec == std::errc::result_out_of_range) {
        if (magnitude > 0) return false;
        parsed = 0;
    } else if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }

double StrToFloat(const String& s, const TFormatSettings& settings) {
    double value;
    if (!TryStrToFloat(s, value, settings)) throw EConvertError(u"'" + s + u"' is not a valid floating point value");
    return value;
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings()); }

double StrToFloatDef(const String& s, double defaultValue, const TFormatSettings& settings) {
    double value;
    return TryStrToFloat(s, value, settings) ? value : defaultValue;
}

double StrToFloatDef(const String& s, double defaultValue) {
    return StrToFloatDef(s, defaultValue, FormatSettings());
}

String BoolToStr(bool value, bool useBoolStrs) {
    if (useBoolStrs) return value ? u"True" : u"False";
    return value ? u"-1" : u"0";
}

bool TryStrToBool(const String& s, bool& value) {
    double number;
    if (SameText(s, u"True")) value = true;
    else if (SameText(s, u"False")) value = false;
    else if (TryStrToFloat(s, number)) value = number != 0;
    else return false;
    return true;
}

bool StrToBool(const String& s) {
    bool value;
    if (!TryStrToBool(s, value)) throw EConvertError(u"'" + s + u"' is not a valid Boolean value");
    return value;
}

namespace {
int64_t ToInt64(double integral) {
    // 2^63 is exact as a double; anything from there on (or NaN) does not fit.
    if (!(integral >= -9223372036854775808.0 && integral < 9223372036854775808.0))
        throw EMathError(u"Invalid floating point operation");
    return static_cast<int64_t>(integral);
}
} // namespace

int64_t Round(double value) { return ToInt64(std::nearbyint(value)); }
int64_t Trunc(double value) { return ToInt64(std::trunc(value)); }

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    int64_t q = product / c;
    const int64_t r = product % c;
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -static_cast<int64_t>(c) : c)) q += (product < 0) == (c < 0) ? 1 : -1;
    if (q < std::numeric_limits<int>::min() || q > std::numeric_limits<int>::max()) return -1;
    return static_cast<int>(q);
}
