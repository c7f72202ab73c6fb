#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace {

// A settings set unlike the defaults, to see that every directive reads them.
TFormatSettings German() {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    s.CurrencyString = u"EUR";
    s.CurrencyFormat = 3;
    s.NegCurrFormat = 8;
    return s;
}

} // namespace

TEST(FormatTest, Directives) {
    const String a = "a";
    struct Case {
        const char* fmt;
        std::initializer_list<TVarRec> args;
        const char* expected;
    };
    const Case cases[] = {
        {"plain text", {}, "plain text"},
        {"100%%", {}, "100%"},
        {"%d|%d|%d", {0, -42, INT64_C(-9223372036854775807) - 1}, "0|-42|-9223372036854775808"},
        {"%5d|%-5d|%.4d|%6.4d", {42, 42, -42, 42}, "   42|42   |-0042|  0042"},
        {"%u|%u|%u", {-1, INT64_C(-1), 7u}, "4294967295|18446744073709551615|7"},
        {"%x|%X|%.4x|%x|%x", {255, -1, 10, INT64_C(-1), UINT64_C(0xABCDEF0123)},
         "FF|FFFFFFFF|000A|FFFFFFFFFFFFFFFF|ABCDEF0123"},
        {"%e|%.3e|%e", {1234.5678, -0.000123456, 0.0},
         "1.23456780000000E+003|-1.23E-004|0.00000000000000E+000"},
        {"%g|%g|%g|%g|%.3g", {0.1 + 0.2, 1e20, 0.00001, 123456.0, 2.71828}, "0.3|1E20|1E-5|123456|2.72"},
        {"%f|%.0f|%.1f|%.3f|%f", {1234.5678, 2.5, -0.04, 1.0625, -1e-10}, "1234.57|3|0.0|1.063|0.00"},
        {"%n|%.0n|%n", {1234567.891, -1234.5, 12.0}, "1,234,567.89|-1,235|12.00"},
        {"%m|%m|%.0m", {1234.5, -2.0, 3.0}, "$1,234.50|($2.00)|$3"},
        {"%p|%p", {static_cast<const void*>(nullptr), reinterpret_cast<const void*>(uintptr_t(0xBEEF))},
         "00000000|0000BEEF"},
        {"%s|%s|%s|%s", {a, u"b", "\xE4\xB8\xAD", u'c'}, "a|b|\xE4\xB8\xAD|c"},
        {"[%6s][%-6s][%.2s][%4.2s]", {"abc", "abc", "abc", "abc"}, "[   abc][abc   ][ab][  ab]"},
        {"%1:s %0:s %s", {"a", "b", "c"}, "b a b"},
        {"%*d|%-*d|%.*f|%*.*f", {4, 7, 3, 7, 1, 2.25, 6, 2, 1.5}, "   7|7  |2.3|  1.50"},
        {"%d%s", {1, "x"}, "1x"},
        {"%S %D", {"up", 3}, "up 3"},
    };
    for (const auto& c : cases) EXPECT_EQ(Format(c.fmt, c.args).ToUtf8(), c.expected) << c.fmt;
}

TEST(FormatTest, PointersWiderThan32BitsKeepAllDigits) {
    const auto p = reinterpret_cast<const void*>(uintptr_t(0x7FFF12345678));
    EXPECT_EQ(Format("%p", {p}), "00007FFF12345678");
}

TEST(FormatTest, SettingsSeparatorsAndCurrency) {
    const TFormatSettings s = German();
    EXPECT_EQ(Format("%.2f %n %m %m %g", {1.5, 1234567.0, 1234.5, -1.0, 0.25}, s),
              "1,50 1.234.567,00 1.234,50 EUR -1,00 EUR 0,25");
}

TEST(FormatTest, BadFormatsAndArgumentsRaise) {
    struct Case {
        const char* fmt;
        std::initializer_list<TVarRec> args;
        const char* message;
    };
    const Case cases[] = {
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%s", {7}, "Format '%s' invalid or incompatible with argument"},
        {"%p", {7}, "Format '%p' invalid or incompatible with argument"},
        {"%x", {"a"}, "Format '%x' invalid or incompatible with argument"},
        {"%k", {1}, "Format '%k' invalid or incompatible with argument"},
        {"50%", {}, "Format '50%' invalid or incompatible with argument"},
        {"%*d", {1.0, 2}, "Format '%*d' invalid or incompatible with argument"},
        {"%99999999999d", {1}, "Format '%99999999999d' invalid or incompatible with argument"},
        {"%999999999d", {1}, "Format '%999999999d' invalid or incompatible with argument"},
        {"%.999999999x", {1}, "Format '%.999999999x' invalid or incompatible with argument"},
        {"%.2000000000f", {1.0}, "Format '%.2000000000f' invalid or incompatible with argument"},
        {"%-*s", {1048577, "a"}, "Format '%-*s' invalid or incompatible with argument"},
        {"%*.*d", {1, 2000000000, 1}, "Format '%*.*d' invalid or incompatible with argument"},
        {"a %d b %d", {1}, "No argument for format 'a %d b %d'"},
        {"%2:d", {1, 2}, "No argument for format '%2:d'"},
        {"%*d", {}, "No argument for format '%*d'"},
    };
    for (const auto& c : cases) {
        try {
            Format(c.fmt, c.args);
            ADD_FAILURE() << c.fmt << " did not raise";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(FormatTest, WidthAndPrecisionUpToTheLimitPad) {
    EXPECT_EQ(Format("%1048576d", {7}).Length(), 1048576);
    EXPECT_EQ(Format("%.*u", {1048576, 7u}).Length(), 1048576);
}

TEST(FormatTest, PrecisionNeverSplitsASurrogatePair) {
    EXPECT_EQ(Format("%.2s", {u"a\U0001F600"}), "a");
    EXPECT_EQ(Format("%.3s", {u"a\U0001F600"}).Std(), u"a\U0001F600");
}

TEST(FormatTest, FmtForwardsItsArguments) {
    const String name = "clip";
    EXPECT_EQ(Fmt("%s-%d.%s", name, 3, "mp4"), "clip-3.mp4");
}

TEST(FormatTest, InvariantSettings) {
    const TFormatSettings inv = TFormatSettings::Invariant();
    EXPECT_EQ(inv.DecimalSeparator, u'.');
    EXPECT_EQ(inv.ShortDateFormat, "yyyy-mm-dd");
    EXPECT_EQ(inv.LongTimeFormat, "hh:nn:ss");
}
