#include "controls/XcSCLUtils.h"

#include <cmath>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace {

// Index (0-based) of the first character at or after From that is (or is not) a delimiter.
size_t SkipWhile(const String& text, size_t from, const TXcCharSet& delimiters, bool delimiter) {
    while (from < text.size() && delimiters.Contains(text[from]) == delimiter) ++from;
    return from;
}

// The number Text holds once only the characters Keep allows are left.
String KeptCharacters(const String& text, const auto& keep) {
    String kept;
    kept.reserve(text.size());
    for (char16_t c : text)
        if (keep(c)) kept += c;
    return kept;
}

// The largest amount a currency value holds: a 64-bit count of ten-thousandths.
constexpr double kXcCurrencyLimit = 922337203685477.5807;

bool IsSignOrDigit(char16_t c) { return c == u'+' || c == u'-' || (c >= u'0' && c <= u'9'); }

} // namespace

int NthWordStart(int n, const String& text, const TXcCharSet& delimiters) {
    size_t at = 0;
    for (int word = 1; word <= n; ++word) {
        at = SkipWhile(text, at, delimiters, true);
        if (at >= text.size()) return 0;
        if (word == n) return static_cast<int>(at) + 1;
        at = SkipWhile(text, at, delimiters, false);
    }
    return 0;
}

String NthWord(int n, const String& text, const TXcCharSet& delimiters) {
    const int start = NthWordStart(n, text, delimiters);
    if (start == 0) return String();
    const size_t from = static_cast<size_t>(start) - 1;
    return text.substr(from, SkipWhile(text, from, delimiters, false) - from);
}

String TakeUntilDelimiter(const String& text, int& pos, const TXcCharSet& delimiters) {
    const size_t from = pos > 1 ? static_cast<size_t>(pos) - 1 : 0;
    if (from >= text.size()) return String();
    const size_t stop = SkipWhile(text, from, delimiters, false);
    pos = static_cast<int>(stop < text.size() ? stop + 1 : stop) + 1;
    return text.substr(from, stop - from);
}

String CharString(char16_t c, int n) { return FilledString(c, n); }

String FilledString(char16_t c, int n) { return n > 0 ? String(static_cast<size_t>(n), c) : String(); }

String PadLeftWith(char16_t c, const String& text, int width) {
    return text.Length() >= width ? text : FilledString(c, width - text.Length()) + text;
}

bool ContainsAnyChar(const String& text, const String& chars) {
    return text.Std().find_first_of(chars.Std()) != std::u16string::npos;
}

String IntToBaseDigits(int width, int base, int64_t value) {
    if (base < 2 || base > 36) throw EArgumentOutOfRangeException(Format(u"Number base %d is out of range", {base}));
    static constexpr char16_t kBaseDigits[] = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    uint64_t rest = static_cast<uint64_t>(value);
    std::u16string digits;
    do {
        digits.push_back(kBaseDigits[rest % static_cast<uint64_t>(base)]);
        rest /= static_cast<uint64_t>(base);
    } while (rest != 0);
    return PadLeftWith(u'0', String(std::u16string(digits.rbegin(), digits.rend())), width);
}

int64_t BaseDigitsToInt64(const String& text, int base) {
    // Unsigned arithmetic: a text too long for 64 bits wraps rather than overflows.
    uint64_t sum = 0;
    uint64_t weight = 1;
    const String upper = UpperCase(text);
    for (size_t i = upper.size(); i-- > 0;) {
        const char16_t c = upper[i];
        const uint64_t digit = static_cast<uint64_t>(static_cast<int64_t>(c) - (c < u'A' ? 48 : 55));
        sum += digit * weight;
        weight *= static_cast<uint64_t>(static_cast<int64_t>(base));
    }
    return static_cast<int64_t>(sum);
}

bool TryTextToFloatLocale(const String& text, char16_t decimalChar, double& value) {
    if (text.empty()) return false;
    if (decimalChar == u' ') decimalChar = FormatSettings().DecimalSeparator;
    if (text.find(u'.') != String::npos && text.find(decimalChar) == String::npos) decimalChar = u'.';
    String number = KeptCharacters(text, [decimalChar](char16_t c) {
        return IsSignOrDigit(c) || c == u'E' || c == u'e' || c == decimalChar;
    });
    if (!number.empty() && (number.back() == u'-' || number.back() == decimalChar)) number += u'0';
    TFormatSettings settings = FormatSettings();
    settings.DecimalSeparator = decimalChar;
    try {
        return TryStrToFloat(number, value, settings);
    } catch (const std::exception&) {
        return false;
    }
}

double TextToFloatLocaleDef(const String& text, char16_t decimalChar, double defaultValue) {
    double value = 0;
    return TryTextToFloatLocale(text, decimalChar, value) ? value : defaultValue;
}

double TextToCurrencyDef(const String& text, double defaultValue) {
    const TFormatSettings& settings = FormatSettings();
    const char16_t decimal = settings.DecimalSeparator;
    const String number = KeptCharacters(text, [decimal](char16_t c) { return IsSignOrDigit(c) || c == decimal; });
    double value = 0;
    try {
        if (number.empty() || !TryStrToFloat(number, value, settings)) return defaultValue;
    } catch (const std::exception&) {
        return defaultValue;
    }
    const double amount = std::round(value * 10000.0) / 10000.0;
    return std::fabs(amount) <= kXcCurrencyLimit ? amount : defaultValue;
}

int FourDigitYear(int year, int pivot) {
    if (pivot < 0) throw Exception(u"XcSCLUtils.MakeYear4Digit: Pivot < 0");
    if (year == 100) year = 0;
    if (pivot == 100) pivot = 0;
    if (pivot < 100) pivot += 1900;
    if (year < 0 || year > 99) return year;
    int result = year + pivot / 100 * 100;
    if (result < pivot) result += 100;
    return result;
}

std::unique_ptr<char16_t[]> NewPCharCopy(const String& text) {
    auto copy = std::make_unique<char16_t[]>(text.size() + 1);
    std::copy(text.begin(), text.end(), copy.get());
    return copy;
}
