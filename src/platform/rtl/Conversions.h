#pragma once
// Conversions between numbers and text. Parsing failures raise EConvertError;
// the Try forms report them as false and the Def forms return the default.

#include <cstdint>

#include "platform/rtl/Format.h"
#include "platform/rtl/String.h"

String IntToStr(int value);
String IntToStr(int64_t value);
String UIntToStr(uint64_t value);
// Upper-case hex of at least Digits digits; negative values as two's complement
// of their own width (IntToHex(-1, 2) == "FFFFFFFF").
String IntToHex(int value, int digits);
String IntToHex(unsigned value, int digits);
String IntToHex(int64_t value, int digits);
String IntToHex(uint64_t value, int digits);

// Integer text: leading blanks, an optional sign, decimal digits or hex after
// "$", "0x" or "0X". Hex may fill every bit of the type ("$FFFFFFFF" == -1).
int StrToInt(const String& s);
int64_t StrToInt64(const String& s);
int StrToIntDef(const String& s, int defaultValue);
int64_t StrToInt64Def(const String& s, int64_t defaultValue);
bool TryStrToInt(const String& s, int& value);
bool TryStrToInt64(const String& s, int64_t& value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Precision counts significant digits; Digits is the minimum exponent length
// (ffGeneral, ffExponent) or the number of decimals (ffFixed, ffNumber,
// ffCurrency). Decimal ties round away from zero; a result that rounds to zero
// has no sign. Infinities and NaN give "INF", "-INF", "NAN".
String FloatToStrF(double value, TFloatFormat format, int precision, int digits);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// General format with 15 significant digits.
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
// Sections "positive;negative;zero" of placeholders 0 and #, one decimal point,
// "," for thousand grouping, quoted literals; an empty format is FloatToStr.
String FormatFloat(const String& format, double value);
String FormatFloat(const String& format, double value, const TFormatSettings& settings);

// Float text: surrounding blanks, sign, digits with the settings' decimal
// separator, optional exponent; also "INF", "-INF", "NAN".
double StrToFloat(const String& s);
double StrToFloat(const String& s, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double defaultValue);
double StrToFloatDef(const String& s, double defaultValue, const TFormatSettings& settings);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);

// "-1"/"0", or "True"/"False" with UseBoolStrs.
String BoolToStr(bool value, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (true when not zero).
bool StrToBool(const String& s);
bool TryStrToBool(const String& s, bool& value);

// Nearest integer, ties to even. Raises EMathError when the value does not fit.
int64_t Round(double value);
// Integer part, toward zero. Raises EMathError when the value does not fit.
int64_t Trunc(double value);
// a * b / c with a 64-bit product, rounded half away from zero; -1 when c is 0
// or the result does not fit in 32 bits.
int MulDiv(int a, int b, int c);
