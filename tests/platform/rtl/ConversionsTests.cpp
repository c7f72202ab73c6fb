#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"

TEST(ConversionsTest, IntegerText) {
    EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::max()), "9223372036854775807");
    EXPECT_EQ(UIntToStr(std::numeric_limits<uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0xABCu, 0), "ABC");
}

TEST(ConversionsTest, StrToIntAcceptsAndRejects) {
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        {"0", true, 0},          {"  42", true, 42},          {"+7", true, 7},
        {"-2147483648", true, -2147483647 - 1},               {"2147483647", true, 2147483647},
        {"$1F", true, 31},       {"0x1f", true, 31},          {"-$10", true, -16},
        {"$FFFFFFFF", true, -1}, {"2147483648", false, 0},    {"-2147483649", false, 0},
        {"$100000000", false, 0}, {"", false, 0},             {" ", false, 0},
        {"-", false, 0},         {"$", false, 0},             {"12 ", false, 0},
        {"1.0", false, 0},       {"12a", false, 0},           {"0x", false, 0},
    };
    for (const auto& c : cases) {
        int v = -99;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
        EXPECT_EQ(StrToIntDef(c.text, -99), c.ok ? c.value : -99) << c.text;
    }
    int64_t big = 0;
    EXPECT_TRUE(TryStrToInt64("-9223372036854775808", big));
    EXPECT_EQ(big, std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(TryStrToInt64("$FFFFFFFFFFFFFFFF", big));
    EXPECT_EQ(big, -1);
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", big));
    EXPECT_EQ(StrToInt64Def("x", 5), 5);
    try {
        StrToInt("abc");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
    EXPECT_THROW(StrToInt64(""), EConvertError);
}

TEST(ConversionsTest, FloatToStrGeneralFormat) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {0, "0"},           {-0.0, "0"},          {1, "1"},          {-1.5, "-1.5"},
        {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"},    {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},           {1e20, "1E20"},
        {0.0001, "0.0001"}, {0.00001, "1E-5"},    {-2.5e-300, "-2.5E-300"},
        {std::numeric_limits<double>::infinity(), "INF"},      {std::nan(""), "NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value).ToUtf8(), c.text) << c.value;
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    EXPECT_EQ(FloatToStr(2.75, comma), "2,75");
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1, comma), "1,234,5"); // thousands stay ','
}

TEST(ConversionsTest, FloatTextRoundTrips) {
    const double values[] = {0.0, 1.0, -1.25, 3.14159265358979, 1e-300, 6.02214076e23, -123456.789, 0.1};
    for (double v : values) {
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(v)), v) << v;
        EXPECT_EQ(StrToFloat(FloatToStrF(v, ffExponent, 17, 0)), v) << v; // 17 digits are exact
    }
}

TEST(ConversionsTest, StrToFloatAcceptsAndRejects) {
    struct Case { const char* text; bool ok; double value; };
    const Case cases[] = {
        {"1", true, 1},          {" -2.5 ", true, -2.5},   {"+.5", true, 0.5},     {"5.", true, 5},
        {"1e3", true, 1000},     {"1.5E-2", true, 0.015},  {"1e-400", true, 0},    {"-inf", true, -INFINITY},
        {"", false, 0},          {".", false, 0},          {"1,5", false, 0},      {"1e", false, 0},
        {"1e+", false, 0},       {"1e400", false, 0},      {"--1", false, 0},      {"1 2", false, 0},
        {"0x10", false, 0},      {"1.2.3", false, 0},   {".55", true, 0.55},    {"NaNa", false, 0},
        {"in", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    EXPECT_EQ(StrToFloat("1,5", comma), 1.5);
    EXPECT_TRUE(std::isnan(StrToFloat("nan")));
    EXPECT_EQ(StrToFloatDef("1.5", 7, comma), 7);
    try {
        StrToFloat("x1");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
    }
}

TEST(ConversionsTest, FloatToStrFFormats) {
    EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 0), "3");
    EXPECT_EQ(FloatToStrF(-0.004, ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(999.999, ffFixed, 15, 2), "1000.00");
    EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2), "1E20"); // more integer digits than the precision
    EXPECT_EQ(FloatToStrF(123.456, ffFixed, 4, 2), "123.50");
    EXPECT_EQ(FloatToStrF(999999.5, ffNumber, 15, 0), "1,000,000");
    EXPECT_EQ(FloatToStrF(9.99, ffExponent, 2, 2), "1.0E+01");
    TFormatSettings s;
    s.CurrencyString = u"EUR";
    s.CurrencyFormat = 3;
    s.NegCurrFormat = 5;
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, s), "-1,234.50EUR");
    EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 0, s), "1 EUR");
}

TEST(ConversionsTest, FormatFloatPatterns) {
    struct Case { const char* format; double value; const char* text; };
    const Case cases[] = {
        {"0.00", 3.14159, "3.14"},      {"0.00", -0.001, "0.00"},      {"0.00", 2.005, "2.00"},
        {"0.00", 0.125, "0.13"},        {"#,##0.0", 1234567.89, "1,234,567.9"},
        {"#,##0.0", 0, "0.0"},          {"#,##0.0", -1234.56, "-1,234.6"},
        {"0.##", 1, "1"},               {"0.##", 1.5, "1.5"},          {"#.##", 0.5, ".5"},
        {"000", 7, "007"},              {"0", 2.5, "3"},               {"0 'kbps'", 128.4, "128 kbps"},
        {"0.0;(0.0)", -2.25, "(2.3)"},  {"0.0;(0.0);'zero'", 0.01, "zero"},
        {"", 1.5, "1.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value).ToUtf8(), c.text) << c.format << " " << c.value;
}

TEST(ConversionsTest, Booleans) {
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false), "0");
    EXPECT_EQ(BoolToStr(true, true), "True");
    EXPECT_EQ(BoolToStr(false, true), "False");
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_FALSE(StrToBool("FALSE"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_TRUE(StrToBool("0.5"));
    EXPECT_FALSE(StrToBool("0"));
    try {
        StrToBool("yes");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'yes' is not a valid Boolean value");
    }
}

TEST(ConversionsTest, RoundTiesToEvenAndTrunc) {
    struct Case { double value; int64_t rounded; int64_t truncated; };
    const Case cases[] = {
        {0.5, 0, 0},   {1.5, 2, 1},   {2.5, 2, 2},    {-0.5, 0, 0},  {-1.5, -2, -1},
        {-2.5, -2, -2}, {2.4999, 2, 2}, {-2.6, -3, -2}, {1e15 + 0.5, 1000000000000000, 1000000000000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Round(c.value), c.rounded) << c.value;
        EXPECT_EQ(Trunc(c.value), c.truncated) << c.value;
    }
    EXPECT_THROW(Round(1e19), EMathError);
    EXPECT_THROW(Round(std::nan("")), EMathError);
    EXPECT_THROW(Trunc(-1e19), EMathError);
    EXPECT_EQ(Trunc(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
}

TEST(ConversionsTest, MulDivRoundsHalfAwayFromZero) {
    struct Case { int a, b, c, result; };
    const Case cases[] = {
        {10, 10, 3, 33},  {1, 1, 2, 1},    {-1, 1, 2, -1},  {1, -1, -2, 1},  {5, 1, 4, 1},
        {3, 1, 4, 1},     {-3, 1, 4, -1},  {1, 1, 3, 0},    {2147483647, 2, 2, 2147483647},
        {2147483647, 3, 2, -1},            {1, 2, 0, -1},   {-2147483647 - 1, 1, -1, -1},
        {96, 120, 96, 120},
    };
    for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}
