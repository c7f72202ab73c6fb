#pragma once
// Locale settings of the text conversions and the printf-like Format of the
// run-time library.

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "platform/rtl/String.h"

struct TFormatSettings {
    char16_t DecimalSeparator = u'.';
    char16_t ThousandSeparator = u',';
    char16_t DateSeparator = u'/';
    char16_t TimeSeparator = u':';
    String ShortDateFormat = u"m/d/yyyy";
    String LongDateFormat = u"dddd, mmmm d, yyyy";
    String ShortTimeFormat = u"h:nn AMPM";
    String LongTimeFormat = u"h:nn:ss AMPM";
    String TimeAMString = u"AM";
    String TimePMString = u"PM";
    String CurrencyString = u"$";
    // Placement of the currency string: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    uint8_t CurrencyFormat = 0;
    // Negative amounts, 0 to 15: "($1)" "-$1" "$-1" "$1-" "(1$)" "-1$" "1-$" "1$-"
    // "-1 $" "-$ 1" "1 $-" "$ 1-" "$ -1" "1- $" "($ 1)" "(1 $)".
    uint8_t NegCurrFormat = 0;
    uint8_t CurrencyDecimals = 2;
    std::array<String, 12> ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                           u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    std::array<String, 12> LongMonthNames{u"January", u"February", u"March",     u"April",
                                          u"May",     u"June",     u"July",      u"August",
                                          u"September", u"October", u"November", u"December"};
    std::array<String, 7> ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    std::array<String, 7> LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                       u"Thursday", u"Friday", u"Saturday"};
    // Two-digit years read as dates fall within this many years before the current one
    // and the years after it; 0 keeps them in the current century.
    int TwoDigitYearCenturyWindow = 50;

    // Locale-independent settings: "." decimals, "yyyy-mm-dd" dates, "hh:nn:ss" times.
    // Built once; readers of stored values call it for every value.
    static const TFormatSettings& Invariant();
};

// The process-wide settings the overloads without settings use.
TFormatSettings& FormatSettings();

// One argument of Format. Holds text by reference: it lives as long as the
// argument list of the call.
class TVarRec {
public:
    enum Kind : uint8_t { vtInteger, vtInt64, vtUInt64, vtExtended, vtWideChar, vtUnicodeString, vtPChar, vtPointer };

    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char16_t> &&
                 !std::same_as<T, char32_t> && !std::same_as<T, wchar_t> && !std::same_as<T, char8_t>)
    TVarRec(T v) {
        if constexpr (std::signed_integral<T>) {
            kind_ = sizeof(T) <= 4 ? vtInteger : vtInt64;
            int_ = v;
        } else if constexpr (sizeof(T) <= 4) {
            kind_ = vtInt64;
            int_ = static_cast<int64_t>(v);
        } else {
            kind_ = vtUInt64;
            uint_ = v;
        }
    }
    // Booleans have no directive; refusing them here beats a silent number.
    TVarRec(bool) = delete;
    TVarRec(double v) : kind_(vtExtended), float_(v) {}
    TVarRec(char16_t c) : kind_(vtWideChar), char_(c) {}
    TVarRec(char c) : kind_(vtWideChar), char_(static_cast<unsigned char>(c)) {}
    TVarRec(const String& s) : TVarRec(std::u16string_view(s)) {}
    TVarRec(const std::u16string& s) : TVarRec(std::u16string_view(s)) {}
    TVarRec(std::u16string_view s) : kind_(vtUnicodeString), text_(s) {}
    TVarRec(const char16_t* s) : TVarRec(std::u16string_view(s ? s : u"")) {}
    TVarRec(const char* utf8) : kind_(vtPChar), utf8_(utf8 ? utf8 : "") {}
    TVarRec(const void* p) : kind_(vtPointer), pointer_(p) {}
    TVarRec(std::nullptr_t) : kind_(vtPointer), pointer_(nullptr) {}

    Kind VType() const noexcept { return kind_; }
    int64_t AsInt64() const noexcept { return int_; }     // vtInteger, vtInt64
    uint64_t AsUInt64() const noexcept { return uint_; }  // vtUInt64
    double AsExtended() const noexcept { return float_; } // vtExtended
    char16_t AsWideChar() const noexcept { return char_; }
    std::u16string_view AsText() const noexcept { return text_; }
    const char* AsPChar() const noexcept { return utf8_; }
    const void* AsPointer() const noexcept { return pointer_; }

private:
    Kind kind_;
    union {
        int64_t int_;
        uint64_t uint_;
        double float_;
        char16_t char_;
        std::u16string_view text_;
        const char* utf8_;
        const void* pointer_;
    };
};

// Directives: "%" [index ":"] ["-"] [width] ["." precision] type, where index,
// width and precision may be "*" (taken from the next integer argument) and
// type is one of d u x e f g n m p s (either case); "%%" writes "%".
// %x writes upper-case digits; %p writes a pointer as 8 upper-case hex digits,
// or 16 when its value does not fit in 32 bits. A width or precision above
// 1048576 is invalid. Raises EConvertError.
String Format(const String& fmt, std::initializer_list<TVarRec> args);
String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings);

template <class... A>
String Fmt(const String& fmt, A&&... args) {
    return Format(fmt, {TVarRec(args)...});
}
