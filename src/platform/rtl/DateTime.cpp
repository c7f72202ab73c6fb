#include "platform/rtl/DateTime.h"

#include <cstdlib>
#include <ctime>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Days between 1970-01-01 and a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr int64_t UnixDay = 25569;

// A moment as its calendar day (serial day number) and the milliseconds since its midnight.
struct TStamp {
    int64_t day;
    int64_t msec;
};

TStamp ToStamp(TDateTime value) {
    const int64_t total = Round(value * MSecsPerDay);
    return {total / MSecsPerDay, std::llabs(total) % MSecsPerDay};
}

TDateTime FromStamp(TStamp s) {
    const double time = static_cast<double>(s.msec) / MSecsPerDay;
    return s.day >= 0 ? static_cast<double>(s.day) + time : static_cast<double>(s.day) - time;
}

TDateTime AddMSecs(TDateTime value, int64_t msecs) {
    const TStamp s = ToStamp(value);
    const int64_t linear = s.day * MSecsPerDay + s.msec + msecs;
    const int64_t day = FloorDiv(linear, MSecsPerDay);
    return FromStamp({day, linear - day * MSecsPerDay});
}

// A date and a time of day as one value; the time counts forward also before 1899-12-30.
TDateTime Combine(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

struct TParts {
    int year, month, day, hour, minute, second, msec, dayOfWeek;
    bool hasTime;
};

TParts Split(TDateTime value) {
    const TStamp s = ToStamp(value);
    TParts p;
    CivilFromDays(s.day - UnixDay, p.year, p.month, p.day);
    p.hour = static_cast<int>(s.msec / 3600000);
    p.minute = static_cast<int>(s.msec / 60000 % 60);
    p.second = static_cast<int>(s.msec / 1000 % 60);
    p.msec = static_cast<int>(s.msec % 1000);
    p.dayOfWeek = static_cast<int>(s.day - 1 - FloorDiv(s.day - 1, 7) * 7) + 1;
    p.hasTime = s.msec != 0;
    return p;
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) throw EArgumentOutOfRangeException(u"Invalid month " + IntToStr(month));
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int DaysInMonth(TDateTime value) {
    const TParts p = Split(value);
    return DaysInAMonth(p.year, p.month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, month, day) + UnixDay);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value) {
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || msec < 0 ||
        msec >= 1000)
        return false;
    value = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / MSecsPerDay;
    return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& value) {
    TDateTime date, time;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, msec, time)) return false;
    value = Combine(date, time);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime value;
    if (!TryEncodeDate(year, month, day, value)) throw EConvertError(u"Invalid argument to date encode");
    return value;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime value;
    if (!TryEncodeTime(hour, minute, second, msec, value)) throw EConvertError(u"Invalid argument to time encode");
    return value;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
    return Combine(EncodeDate(year, month, day), EncodeTime(hour, minute, second, msec));
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    const TParts p = Split(value);
    year = p.year;
    month = p.month;
    day = p.day;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
    const TParts p = Split(value);
    hour = p.hour;
    minute = p.minute;
    second = p.second;
    msec = p.msec;
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec) {
    const TParts p = Split(value);
    year = p.year;
    month = p.month;
    day = p.day;
    hour = p.hour;
    minute = p.minute;
    second = p.second;
    msec = p.msec;
}

int DayOfWeek(TDateTime value) { return Split(value).dayOfWeek; }

TDateTime Now() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local;
    localtime_r(&ts.tv_sec, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec < 60 ? local.tm_sec : 59, static_cast<int>(ts.tv_nsec / 1000000));
}

TDateTime Date() { return ToStamp(Now()).day; }

TDateTime Time() { return static_cast<double>(ToStamp(Now()).msec) / MSecsPerDay; }

TDateTime IncDay(TDateTime value, int64_t days) { return AddMSecs(value, days * MSecsPerDay); }
TDateTime IncHour(TDateTime value, int64_t hours) { return AddMSecs(value, hours * 3600000); }
TDateTime IncMinute(TDateTime value, int64_t minutes) { return AddMSecs(value, minutes * 60000); }
TDateTime IncSecond(TDateTime value, int64_t seconds) { return AddMSecs(value, seconds * 1000); }
TDateTime IncMilliSecond(TDateTime value, int64_t msecs) { return AddMSecs(value, msecs); }

TDateTime UnixToDateTime(int64_t seconds) {
    const int64_t day = FloorDiv(seconds, SecsPerDay);
    return FromStamp({day + UnixDay, (seconds - day * SecsPerDay) * 1000});
}

int64_t DateTimeToUnix(TDateTime value) {
    const TStamp s = ToStamp(value);
    return (s.day - UnixDay) * SecsPerDay + s.msec / 1000;
}

namespace {

void AppendNumber(String& out, int value, int minDigits) {
    const String digits = IntToStr(value);
    if (digits.Length() < minDigits) out.append(static_cast<String::size_type>(minDigits - digits.Length()), u'0');
    out += digits;
}

bool MatchesText(std::u16string_view text, size_t pos, std::u16string_view word) {
    return pos + word.size() <= text.size() && SameText(String(text.substr(pos, word.size())), String(word));
}

// Length of the quoted text starting at Pos (quotes included).
size_t QuotedLength(std::u16string_view format, size_t pos) {
    const size_t close = format.find(format[pos], pos + 1);
    return close == std::u16string_view::npos ? format.size() - pos : close - pos + 1;
}

// The am/pm marker at Pos: "ampm", "am/pm" or "a/p"; 0 when there is none.
size_t AmPmLength(std::u16string_view format, size_t pos) {
    if (MatchesText(format, pos, u"ampm")) return 4;
    if (MatchesText(format, pos, u"am/pm")) return 5;
    if (MatchesText(format, pos, u"a/p")) return 3;
    return 0;
}

bool AmPmFollows(std::u16string_view format, size_t pos) {
    while (pos < format.size()) {
        const char16_t c = format[pos];
        if (c == u'"' || c == u'\'') pos += QuotedLength(format, pos);
        else if (AmPmLength(format, pos)) return true;
        else ++pos;
    }
    return false;
}

class TDateFormatter {
public:
    TDateFormatter(const TParts& parts, const TFormatSettings& settings) : p_(parts), s_(settings) {}

    // Nested formats (c, ddddd, t...) go two levels deep at most, so that
    // settings naming themselves cannot recurse for ever.
    void Append(String& out, std::u16string_view format, int depth = 0) {
        if (depth > 2) return;
        char16_t lastLetter = 0;
        size_t i = 0;
        while (i < format.size()) {
            const char16_t c = format[i];
            char16_t token = UpCase(c);
            size_t run = 1;
            while (i + run < format.size() && UpCase(format[i + run]) == token) ++run;
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && lastLetter == u'H') token = u'N';
                lastLetter = token;
            }
            switch (token) {
            case u'Y':
                if (run <= 2) AppendNumber(out, p_.year % 100, 2);
                else AppendNumber(out, p_.year, 4);
                break;
            case u'M':
                if (run == 1) AppendNumber(out, p_.month, 1);
                else if (run == 2) AppendNumber(out, p_.month, 2);
                else if (run == 3) out += s_.ShortMonthNames[p_.month - 1];
                else out += s_.LongMonthNames[p_.month - 1];
                break;
            case u'D':
                if (run <= 2) AppendNumber(out, p_.day, static_cast<int>(run));
                else if (run == 3) out += s_.ShortDayNames[p_.dayOfWeek - 1];
                else if (run == 4) out += s_.LongDayNames[p_.dayOfWeek - 1];
                else Append(out, run == 5 ? s_.ShortDateFormat : s_.LongDateFormat, depth + 1);
                break;
            case u'H': {
                int hour = p_.hour;
                if (AmPmFollows(format, i + run)) hour = hour % 12 == 0 ? 12 : hour % 12;
                AppendNumber(out, hour, run >= 2 ? 2 : 1);
                break;
            }
            case u'N': AppendNumber(out, p_.minute, run >= 2 ? 2 : 1); break;
            case u'S': AppendNumber(out, p_.second, run >= 2 ? 2 : 1); break;
            case u'Z': AppendNumber(out, p_.msec, run >= 3 ? 3 : 1); break;
            case u'T': Append(out, run == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat, depth + 1); break;
            case u'C':
                run = 1;
                Append(out, s_.ShortDateFormat, depth + 1);
                if (p_.hasTime) {
                    out.push_back(u' ');
                    Append(out, s_.LongTimeFormat, depth + 1);
                }
                break;
            case u'A':
                run = AmPmLength(format, i);
                if (run == 4) out += p_.hour < 12 ? s_.TimeAMString : s_.TimePMString;
                else if (run == 5) out.append(format.substr(p_.hour < 12 ? i : i + 3, 2));
                else if (run == 3) out.push_back(format[p_.hour < 12 ? i : i + 2]);
                else {
                    run = 1;
                    out.push_back(c);
                }
                break;
            case u'"':
            case u'\'':
                run = QuotedLength(format, i);
                out.append(format.substr(i + 1, run >= 2 && format[i + run - 1] == c ? run - 2 : run - 1));
                break;
            case u'/':
                run = 1;
                out.push_back(s_.DateSeparator);
                break;
            case u':':
                run = 1;
                out.push_back(s_.TimeSeparator);
                break;
            default:
                run = 1;
                out.push_back(c);
            }
            i += run;
        }
    }

private:
    const TParts& p_;
    const TFormatSettings& s_;
};

} // namespace

String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings) {
    const TParts parts = Split(value);
    String out;
    TDateFormatter(parts, settings).Append(out, format);
    return out;
}

String FormatDateTime(const String& format, TDateTime value) {
    return FormatDateTime(format, value, FormatSettings());
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"c", value, settings);
}
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings()); }
String DateToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"ddddd", value, settings);
}
String DateToStr(TDateTime value) { return DateToStr(value, FormatSettings()); }
String TimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"tt", value, settings);
}
String TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings()); }

namespace {

class TDateScanner {
public:
    TDateScanner(std::u16string_view text, const TFormatSettings& settings) : text_(text), s_(settings) {}

    bool AtEnd() {
        SkipBlanks();
        return pos_ == text_.size();
    }

    // A "T" between an ISO date and its time.
    void SkipIsoTimeMark() {
        if (iso_ && pos_ < text_.size() && text_[pos_] == u'T') ++pos_;
    }

    bool Date(TDateTime& value) {
        int n[3] = {}, len[3] = {};
        if (!Number(n[0], len[0])) return false;
        int year, month, day, yearLength = 4;
        if (len[0] == 4 && pos_ < text_.size() && text_[pos_] == u'-') {
            ++pos_;
            iso_ = true;
            if (!Number(n[1], len[1]) || !Char(u'-') || !Number(n[2], len[2])) return false;
            year = n[0];
            month = n[1];
            day = n[2];
        } else {
            if (!Char(s_.DateSeparator) || !Number(n[1], len[1])) return false;
            const bool full = Char(s_.DateSeparator);
            if (full && !Number(n[2], len[2])) return false;
            const char16_t order = DateOrder();
            if (!full) {
                year = CurrentYear();
                month = order == u'D' ? n[1] : n[0];
                day = order == u'D' ? n[0] : n[1];
            } else if (order == u'Y') {
                year = n[0], month = n[1], day = n[2], yearLength = len[0];
            } else if (order == u'M') {
                month = n[0], day = n[1], year = n[2], yearLength = len[2];
            } else {
                day = n[0], month = n[1], year = n[2], yearLength = len[2];
            }
            if (yearLength <= 2) year = CenturyOf(year);
        }
        return TryEncodeDate(year, month, day, value);
    }

    bool Time(TDateTime& value) {
        int base = AmPm();
        int hour, minute = 0, second = 0, msec = 0, len;
        if (!Number(hour, len)) return false;
        const bool separated = Char(s_.TimeSeparator);
        if (separated) {
            if (!Number(minute, len)) return false;
            if (Char(s_.TimeSeparator)) {
                if (!Number(second, len)) return false;
                if (Char(s_.DecimalSeparator) || Char(u'.')) {
                    if (!Number(msec, len)) return false;
                    for (; len < 3; ++len) msec *= 10;
                    for (; len > 3; --len) msec /= 10;
                }
            }
        }
        if (base < 0) base = AmPm();
        if (!separated && base < 0) return false;
        if (base >= 0) {
            if (hour > 12) return false;
            hour = hour % 12 + base;
        }
        return TryEncodeTime(hour, minute, second, msec, value);
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == u' ' || text_[pos_] == u'\t')) ++pos_;
    }

    bool Char(char16_t c) {
        SkipBlanks();
        if (pos_ == text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }

    bool Number(int& value, int& length) {
        SkipBlanks();
        value = 0;
        length = 0;
        for (; pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9'; ++pos_, ++length) {
            if (length == 9) return false;
            value = value * 10 + (text_[pos_] - u'0');
        }
        return length > 0;
    }

    bool Word(const String& word) {
        SkipBlanks();
        if (word.empty() || !MatchesText(text_, pos_, word)) return false;
        pos_ += word.size();
        return true;
    }

    // 0 for a morning marker, 12 for an afternoon one, -1 when there is none.
    int AmPm() {
        if (Word(s_.TimeAMString) || Word(u"AM")) return 0;
        if (Word(s_.TimePMString) || Word(u"PM")) return 12;
        return -1;
    }

    // 'Y', 'M' or 'D': whichever comes first in the short date format.
    char16_t DateOrder() const {
        for (const char16_t c : s_.ShortDateFormat) {
            const char16_t u = UpCase(c);
            if (u == u'Y' || u == u'M' || u == u'D') return u;
        }
        return u'M';
    }

    static int CurrentYear() {
        int year, month, day;
        DecodeDate(Now(), year, month, day);
        return year;
    }

    int CenturyOf(int twoDigitYear) const {
        const int current = CurrentYear();
        if (s_.TwoDigitYearCenturyWindow <= 0) return current / 100 * 100 + twoDigitYear;
        const int pivot = current - s_.TwoDigitYearCenturyWindow;
        const int year = pivot / 100 * 100 + twoDigitYear;
        return year < pivot ? year + 100 : year;
    }

    std::u16string_view text_;
    const TFormatSettings& s_;
    size_t pos_ = 0;
    bool iso_ = false;
};

} // namespace

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings) {
    TDateScanner scanner(s, settings);
    return scanner.Date(value) && scanner.AtEnd();
}

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
    TDateScanner scanner(s, settings);
    return scanner.Time(value) && scanner.AtEnd();
}

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
    TDateScanner scanner(s, settings);
    TDateTime date, time;
    if (!scanner.Date(date)) return TryStrToTime(s, value, settings);
    if (!scanner.AtEnd()) {
        scanner.SkipIsoTimeMark();
        if (!scanner.Time(time) || !scanner.AtEnd()) return false;
        date = Combine(date, time);
    }
    value = date;
    return true;
}

bool TryStrToDate(const String& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings()); }
bool TryStrToTime(const String& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings()); }
bool TryStrToDateTime(const String& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings()); }

TDateTime StrToDate(const String& s, const TFormatSettings& settings) {
    TDateTime value;
    if (!TryStrToDate(s, value, settings)) throw EConvertError(u"'" + s + u"' is not a valid date");
    return value;
}

TDateTime StrToTime(const String& s, const TFormatSettings& settings) {
    TDateTime value;
    if (!TryStrToTime(s, value, settings)) throw EConvertError(u"'" + s + u"' is not a valid time");
    return value;
}

TDateTime StrToDateTime(const String& s, const TFormatSettings& settings) {
    TDateTime value;
    if (!TryStrToDateTime(s, value, settings)) throw EConvertError(u"'" + s + u"' is not a valid date and time");
    return value;
}

TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings()); }
TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings()); }
TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings()); }
