#pragma once
// TDateTime: days since 1899-12-30 in the integer part, the time of day in the
// fraction. Before that day the integer part is negative and the fraction
// still counts forward from midnight: -1.25 is 1899-12-29 06:00.
// Failures raise EConvertError.

#include <cstdint>

#include "platform/rtl/Format.h"
#include "platform/rtl/String.h"

using TDateTime = double;
using TDate = TDateTime;
using TTime = TDateTime;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
constexpr TDateTime UnixDateDelta = 25569; // 1970-01-01

bool IsLeapYear(int year);
// Raises EArgumentOutOfRangeException for a month outside 1 to 12.
int DaysInAMonth(int year, int month);
int DaysInMonth(TDateTime value);

// Years 1 to 9999; hours 0 to 23.
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value);
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& value);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec);
// The time is rounded to the nearest millisecond (which may move to the next day).
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// Local time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Steps through real time, across midnight and the 1899-12-30 boundary alike.
TDateTime IncDay(TDateTime value, int64_t days = 1);
TDateTime IncHour(TDateTime value, int64_t hours = 1);
TDateTime IncMinute(TDateTime value, int64_t minutes = 1);
TDateTime IncSecond(TDateTime value, int64_t seconds = 1);
TDateTime IncMilliSecond(TDateTime value, int64_t msecs = 1);

TDateTime UnixToDateTime(int64_t seconds);
// Whole seconds, rounded down.
int64_t DateTimeToUnix(TDateTime value);

// Directives (either case): c d dd ddd dddd ddddd dddddd m mm mmm mmmm (minutes
// right after an hour) yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / :
// and text in quotes; any other character stands for itself.
String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime value);
String DateToStr(TDateTime value, const TFormatSettings& settings);
String TimeToStr(TDateTime value);
String TimeToStr(TDateTime value, const TFormatSettings& settings);

// Dates in the order of ShortDateFormat with DateSeparator (the year may be
// left out, two-digit years follow TwoDigitYearCenturyWindow) or as
// yyyy-mm-dd; times as h:n[:s[.z]] with an optional AM/PM; a date and a time
// are separated by blanks (or "T" after yyyy-mm-dd).
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
