#pragma once
// The string, number and value routines the extended controls share: words
// between delimiters, left filling, numbers in any base, locale-tolerant
// numbers and two-digit years. Positions are 1-based, as the edits count them.

#include <bitset>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/rtl/Geometry.h"
#include "platform/rtl/String.h"

// A set of the first 256 code points; a character above 255 is never a member.
class TXcCharSet {
public:
    constexpr TXcCharSet() = default;
    TXcCharSet(std::u16string_view members) {
        for (char16_t c : members)
            if (c < 256) bits_.set(c);
    }
    bool Contains(char16_t c) const noexcept { return c < 256 && bits_.test(c); }

private:
    std::bitset<256> bits_;
};

// The N-th word (1-based) of the runs between delimiters; empty when there are fewer.
String NthWord(int n, const String& text, const TXcCharSet& delimiters);
// Where the N-th word starts (1-based), leading delimiters skipped; 0 when there is none.
int NthWordStart(int n, const String& text, const TXcCharSet& delimiters);
// The characters from Pos up to the next delimiter or the end. Pos then lies
// past that delimiter, or at Length + 1 at the end; a Pos already past the end
// stays where it is.
String TakeUntilDelimiter(const String& text, int& pos, const TXcCharSet& delimiters);

// N copies of C; empty for N of 0 or less.
String CharString(char16_t c, int n);
String FilledString(char16_t c, int n);
// C in front of Text up to Width characters; Text itself when not shorter.
String PadLeftWith(char16_t c, const String& text, int width);
bool ContainsAnyChar(const String& text, const String& chars);

// The digits of Value read as an unsigned 64-bit number in Base (2 to 36;
// 0-9 then A-Z), most significant first, left-padded with "0" to Width.
// Raises EArgumentOutOfRangeException for another base.
String IntToBaseDigits(int width, int base, int64_t value);
// Sums digit x Base^k from the last character back, upper-cased; a character
// below "A" is worth its code - 48, any other its code - 55. Nothing is validated.
int64_t BaseDigitsToInt64(const String& text, int base);

// Parses Text, tolerant of its decimal character: " " stands for the locale's
// (FormatSettings(), read at every call); a text holding "." but not the
// decimal character uses "."; every character but signs, digits, "E", "e" and
// the decimal character is dropped, and a trailing sign or decimal character
// gets a "0". False for an empty or unparsable text.
bool TryTextToFloatLocale(const String& text, char16_t decimalChar, double& value);
double TextToFloatLocaleDef(const String& text, char16_t decimalChar, double defaultValue);
// Signs, digits and the locale's decimal separator of Text read as a currency
// amount (rounded to four decimals); Default when nothing parses or the
// amount lies beyond what a currency value holds (about 9.2e14).
double TextToCurrencyDef(const String& text, double defaultValue);

// A year 0-99 (100 counts as 0) in the century of Pivot, moved a century on
// when it falls before Pivot; a pivot below 100 counts from 1900. Any other
// year comes back unchanged. Raises Exception for a negative pivot.
int FourDigitYear(int year, int pivot);

// The absolute width and height of a rectangle.
inline int RectSpanX(const TRect& r) noexcept { return std::abs(r.Right - r.Left); }
inline int RectSpanY(const TRect& r) noexcept { return std::abs(r.Bottom - r.Top); }

// A zero-terminated copy of Text.
std::unique_ptr<char16_t[]> NewPCharCopy(const String& text);
