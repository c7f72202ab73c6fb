#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"

namespace {

struct TMoment {
    int year, month, day, hour, minute, second, msec;
};

TMoment Decoded(TDateTime value) {
    TMoment m;
    DecodeDateTime(value, m.year, m.month, m.day, m.hour, m.minute, m.second, m.msec);
    return m;
}

void ExpectMoment(TDateTime value, const TMoment& e) {
    const TMoment m = Decoded(value);
    EXPECT_EQ(m.year, e.year) << value;
    EXPECT_EQ(m.month, e.month) << value;
    EXPECT_EQ(m.day, e.day) << value;
    EXPECT_EQ(m.hour, e.hour) << value;
    EXPECT_EQ(m.minute, e.minute) << value;
    EXPECT_EQ(m.second, e.second) << value;
    EXPECT_EQ(m.msec, e.msec) << value;
}

} // namespace

TEST(DateTimeTest, KnownSerialNumbers) {
    struct Case { int year, month, day; double serial; int dayOfWeek; };
    const Case cases[] = {
        {1899, 12, 30, 0, 7},       {1899, 12, 31, 1, 1},      {1899, 12, 29, -1, 6},
        {1900, 1, 1, 2, 2},         {1970, 1, 1, 25569, 5},     {2000, 2, 29, 36585, 3},
        {2024, 2, 29, 45351, 5},    {1, 1, 1, -693593, 2},      {9999, 12, 31, 2958465, 6},
        {1600, 3, 1, -109511, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.serial) << c.year << "-" << c.month << "-" << c.day;
        ExpectMoment(c.serial, {c.year, c.month, c.day, 0, 0, 0, 0});
        EXPECT_EQ(DayOfWeek(c.serial), c.dayOfWeek) << c.serial;
    }
}

TEST(DateTimeTest, EveryDayRoundTripsAndLeapYearsHaveTheirDay) {
    int checked = 0;
    for (int year : {1, 4, 100, 1600, 1899, 1900, 2000, 2023, 2024, 2100, 9999}) {
        EXPECT_EQ(DaysInAMonth(year, 2), IsLeapYear(year) ? 29 : 28) << year;
        TDateTime previous = EncodeDate(year, 1, 1) - 1;
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInAMonth(year, month); ++day) {
                const TDateTime d = EncodeDate(year, month, day);
                EXPECT_EQ(d, previous + 1);
                int y, m, dd;
                DecodeDate(d, y, m, dd);
                ASSERT_TRUE(y == year && m == month && dd == day) << year << "-" << month << "-" << day;
                previous = d;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 4000);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 2, 10)), 28);
}

TEST(DateTimeTest, InvalidPartsRaise) {
    TDateTime v = 123;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(2023, 13, 1, v));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
    EXPECT_EQ(v, 123);
    try {
        EncodeDate(2023, 2, 29);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeDateTime(2023, 1, 1, 25, 0, 0, 0), EConvertError);
    EXPECT_THROW(DaysInAMonth(2023, 0), EArgumentOutOfRangeException);
    EXPECT_THROW(DaysInAMonth(2023, 13), EArgumentOutOfRangeException);
}

TEST(DateTimeTest, TimesRoundTripOnBothSidesOfTheEpoch) {
    const TMoment moments[] = {
        {2024, 2, 29, 23, 59, 59, 999}, {1899, 12, 30, 6, 0, 0, 0},  {1899, 12, 29, 6, 0, 0, 0},
        {1899, 12, 29, 18, 30, 15, 250}, {1, 1, 1, 12, 0, 0, 1},      {1850, 7, 4, 0, 0, 0, 0},
        {9999, 12, 31, 23, 59, 59, 999},
    };
    for (const auto& m : moments) {
        const TDateTime v = EncodeDateTime(m.year, m.month, m.day, m.hour, m.minute, m.second, m.msec);
        ExpectMoment(v, m);
    }
    // Before the epoch the fraction still counts forward from midnight.
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_EQ(EncodeDateTime(1899, 12, 28, 18, 0, 0, 0), -2.75);
    // A value that rounds to the next millisecond day moves to that day.
    ExpectMoment(EncodeDate(2024, 2, 28) + 0.9999999999, {2024, 2, 29, 0, 0, 0, 0});
}

TEST(DateTimeTest, IncrementsCrossMidnightAndTheEpoch) {
    EXPECT_EQ(IncHour(EncodeDateTime(1899, 12, 30, 3, 0, 0, 0), -6), EncodeDateTime(1899, 12, 29, 21, 0, 0, 0));
    EXPECT_EQ(IncMinute(-1.25, 60 * 24), 0.25);
    EXPECT_EQ(IncDay(-1.25, -1), -2.25);
    EXPECT_EQ(IncSecond(EncodeDateTime(2023, 12, 31, 23, 59, 59, 0)), EncodeDate(2024, 1, 1));
    EXPECT_EQ(IncMilliSecond(EncodeDate(2024, 1, 1), -1), EncodeDateTime(2023, 12, 31, 23, 59, 59, 999));
}

TEST(DateTimeTest, UnixTime) {
    EXPECT_EQ(UnixToDateTime(0), 25569);
    EXPECT_EQ(UnixToDateTime(86400 + 43200), 25570.5);
    EXPECT_EQ(DateTimeToUnix(EncodeDateTime(2021, 6, 1, 12, 30, 0, 0)), 1622550600);
    // Before 1899-12-30 the day and its time must not be subtracted from each other.
    const int64_t beforeEpoch = -2209226400; // 1899-12-29 06:00 UTC
    EXPECT_EQ(UnixToDateTime(beforeEpoch), -1.25);
    EXPECT_EQ(DateTimeToUnix(-1.25), beforeEpoch);
    for (int64_t t : {int64_t(-62135596800), int64_t(-1), int64_t(1), int64_t(253402300799)})
        EXPECT_EQ(DateTimeToUnix(UnixToDateTime(t)), t) << t;
}

TEST(DateTimeTest, FormatDateTimeDirectives) {
    const TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    struct Case { const char* format; const char* text; };
    const Case cases[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", "2024-03-05 14:07:09.045"},
        {"d/m/yy h:n:s z", "5/3/24 14:7:9 45"},
        {"ddd dddd mmm mmmm", "Tue Tuesday Mar March"},
        {"hh:mm", "14:07"},
        {"h:mm am/pm", "2:07 pm"},
        {"h:mm AM/PM", "2:07 PM"},
        {"hh a/p", "02 p"},
        {"h ampm", "2 PM"},
        {"'at' hh\"h\"nn", "at 14h07"},
        {"c", "3/5/2024 2:07:09 PM"},
        {"ddddd|dddddd", "3/5/2024|Tuesday, March 5, 2024"},
        {"t|tt", "2:07 PM|2:07:09 PM"},
        {"YYYY MM DD", "2024 03 05"},
        {"x#", "x#"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, v).ToUtf8(), c.text) << c.format;
    EXPECT_EQ(FormatDateTime("h am/pm|h am/pm", EncodeTime(0, 30, 0, 0)), "12 am|12 am");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5)), "3/5/2024"); // no time at midnight
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
}

TEST(DateTimeTest, FormatDateTimeWithSettings) {
    TFormatSettings s;
    s.DateSeparator = u'.';
    s.TimeSeparator = u'-';
    s.ShortDateFormat = u"dd/mm/yyyy";
    s.LongTimeFormat = u"hh:nn:ss";
    const TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    EXPECT_EQ(FormatDateTime("c", v, s), "05.03.2024 14-07-09");
    EXPECT_EQ(DateToStr(v, s), "05.03.2024");
    EXPECT_EQ(TimeToStr(v, s), "14-07-09");
    EXPECT_EQ(DateTimeToStr(v, TFormatSettings::Invariant()), "2024-03-05 14:07:09");
    // Settings that name themselves do not recurse for ever.
    s.ShortDateFormat = u"ddddd";
    EXPECT_NO_THROW(FormatDateTime("c", v, s));
}

TEST(DateTimeTest, ParsingByTheSettings) {
    const TFormatSettings us;
    TFormatSettings de;
    de.DateSeparator = u'.';
    de.ShortDateFormat = u"dd.mm.yyyy";
    const TFormatSettings inv = TFormatSettings::Invariant();
    struct Case { const char* text; const TFormatSettings* settings; TDateTime expected; };
    const Case cases[] = {
        {"3/5/2024", &us, EncodeDate(2024, 3, 5)},
        {" 3 / 5 / 2024 ", &us, EncodeDate(2024, 3, 5)},
        {"5.3.2024", &de, EncodeDate(2024, 3, 5)},
        {"2024-03-05", &de, EncodeDate(2024, 3, 5)},
        {"2024-03-05", &inv, EncodeDate(2024, 3, 5)},
        {"2024-03-05 14:07:09", &us, EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)},
        {"2024-03-05T14:07:09.5", &us, EncodeDateTime(2024, 3, 5, 14, 7, 9, 500)},
        {"3/5/2024 2:07 PM", &us, EncodeDateTime(2024, 3, 5, 14, 7, 0, 0)},
        {"3/5/2024 12:00 AM", &us, EncodeDate(2024, 3, 5)},
        {"5.3.2024 23:59:59.999", &de, EncodeDateTime(2024, 3, 5, 23, 59, 59, 999)},
        {"12/29/1899 6:00", &us, -1.25},
        {"14:07", &us, EncodeTime(14, 7, 0, 0)},
        {"2 pm", &us, EncodeTime(14, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        TDateTime v = 0;
        EXPECT_TRUE(TryStrToDateTime(c.text, v, *c.settings)) << c.text;
        EXPECT_EQ(v, c.expected) << c.text;
        EXPECT_EQ(StrToDateTime(c.text, *c.settings), c.expected) << c.text;
    }
    const char* bad[] = {"", "2024", "3/", "13/1/2024", "2/30/2024", "3/5/2024 25:00", "3/5/2024 10:00 x",
                         "10:60", "13:00 PM", "2024-02-30", "1/1/2024/1", "3/5/2024T10:00"};
    for (const char* text : bad) {
        TDateTime v = 7;
        EXPECT_FALSE(TryStrToDateTime(text, v, us)) << text;
        EXPECT_EQ(v, 7) << text;
    }
}

TEST(DateTimeTest, ParsingYearsLeftOutOrShort) {
    int year, month, day;
    DecodeDate(Now(), year, month, day);
    EXPECT_EQ(StrToDate("2/3"), EncodeDate(year, 2, 3));
    TFormatSettings s;
    s.TwoDigitYearCenturyWindow = 50;
    int y, m, d;
    DecodeDate(StrToDate("1/1/05", s), y, m, d);
    EXPECT_TRUE(y > year - 50 && y <= year + 50 && y % 100 == 5) << y;
    DecodeDate(StrToDate("1/1/0005", s), y, m, d);
    EXPECT_EQ(y, 5); // four digits are taken as written
    s.TwoDigitYearCenturyWindow = 0;
    DecodeDate(StrToDate("1/1/05", s), y, m, d);
    EXPECT_EQ(y, year / 100 * 100 + 5);
}

TEST(DateTimeTest, ParseErrorsNameTheirKind) {
    struct Case { TDateTime (*parse)(const String&); const char* message; };
    const Case cases[] = {
        {[](const String& s) { return StrToDate(s); }, "'x' is not a valid date"},
        {[](const String& s) { return StrToTime(s); }, "'x' is not a valid time"},
        {[](const String& s) { return StrToDateTime(s); }, "'x' is not a valid date and time"},
    };
    for (const auto& c : cases) {
        try {
            c.parse("x");
            ADD_FAILURE() << c.message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_THROW(StrToDate("3/5/2024 10:00"), EConvertError);
    EXPECT_THROW(StrToTime("3/5/2024"), EConvertError);
}

TEST(DateTimeTest, FormattedTextParsesBack) {
    const TFormatSettings inv = TFormatSettings::Invariant();
    for (TDateTime v : {EncodeDateTime(2024, 3, 5, 14, 7, 9, 0), EncodeDateTime(1850, 1, 2, 23, 0, 1, 0),
                        EncodeDate(2000, 2, 29)}) {
        EXPECT_EQ(StrToDateTime(DateTimeToStr(v)), v);
        EXPECT_EQ(StrToDateTime(DateTimeToStr(v, inv), inv), v);
    }
}

TEST(DateTimeTest, NowIsConsistent) {
    const TDateTime before = Now();
    const TDateTime today = Date();
    const TDateTime t = Time();
    EXPECT_GE(today, std::floor(before));
    EXPECT_GE(t, 0);
    EXPECT_LT(t, 1);
    EXPECT_LT(std::fabs(Now() - before), 1.0 / 24);
}
