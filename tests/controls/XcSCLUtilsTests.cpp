#include <gtest/gtest.h>

#include "controls/XcSCLUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace {

// Replaces the process's locale separators for one test.
class TSeparatorsScope {
public:
    TSeparatorsScope(char16_t decimal, char16_t thousand) : saved_(FormatSettings()) {
        FormatSettings().DecimalSeparator = decimal;
        FormatSettings().ThousandSeparator = thousand;
    }
    ~TSeparatorsScope() { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};

} // namespace

TEST(XcWordsTest, NthWordAndItsStart) {
    const TXcCharSet comma(u",");
    struct Case {
        int n;
        const char16_t* text;
        const char16_t* word;
        int start;
    };
    const Case cases[] = {
        {2, u"10,20,30,40", u"20", 4},  {5, u"10,20,30,40", u"", 0},   {1, u",,10,20", u"10", 3},
        {2, u",,10,,20,", u"20", 7},    {4, u"10,20,30,40", u"40", 10}, {1, u"", u"", 0},
        {1, u",,,", u"", 0},            {0, u"10,20", u"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NthWord(c.n, c.text, comma), String(c.word)) << c.n << " of " << String(c.text);
        EXPECT_EQ(NthWordStart(c.n, c.text, comma), c.start) << c.n << " of " << String(c.text);
    }
}

TEST(XcWordsTest, CharactersAbove255AreNeverDelimiters) {
    const TXcCharSet set(u"\u0120,");
    EXPECT_EQ(NthWord(2, u"a\u0120b,c", set), String(u"c"));
}

TEST(XcWordsTest, TakeUntilDelimiterStepsPastTheDelimiter) {
    const TXcCharSet delimiters(u";,");
    struct Case {
        const char16_t* text;
        int pos;
        const char16_t* taken;
        int next;
    };
    const Case cases[] = {
        {u"ab;cd", 1, u"ab", 4}, {u"ab;cd", 4, u"cd", 6}, {u";ab", 1, u"", 2},
        {u"ab;", 1, u"ab", 4},   {u"ab", 3, u"", 3},      {u"a,,b", 3, u"", 4},
        {u"ab", 5, u"", 5},
    };
    for (const Case& c : cases) {
        int pos = c.pos;
        EXPECT_EQ(TakeUntilDelimiter(c.text, pos, delimiters), String(c.taken)) << String(c.text) << " at " << c.pos;
        EXPECT_EQ(pos, c.next) << String(c.text) << " at " << c.pos;
    }
}

TEST(XcFillingTest, FilledStringAndPadding) {
    EXPECT_EQ(FilledString(u'x', 3), String(u"xxx"));
    EXPECT_EQ(FilledString(u'x', 0), String());
    EXPECT_EQ(FilledString(u'x', -1), String());
    EXPECT_EQ(CharString(u'-', 2), String(u"--"));
    EXPECT_EQ(PadLeftWith(u'0', u"7", 3), String(u"007"));
    EXPECT_EQ(PadLeftWith(u'0', u"1234", 3), String(u"1234"));
    EXPECT_TRUE(ContainsAnyChar(u"a?b", u"*?"));
    EXPECT_FALSE(ContainsAnyChar(u"ab", u"*?"));
}

TEST(XcBaseDigitsTest, WholeSixtyFourBitValuesReadAsUnsigned) {
    struct Case {
        int width, base;
        int64_t value;
        const char16_t* digits;
    };
    const Case cases[] = {
        {4, 16, 255, u"00FF"},
        {4, 16, 0, u"0000"},
        {0, 16, int64_t{1} << 32, u"100000000"},
        {0, 2, 5, u"101"},
        {3, 8, 8, u"010"},
        {0, 36, 35, u"Z"},
        {0, 16, -1, u"FFFFFFFFFFFFFFFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntToBaseDigits(c.width, c.base, c.value), String(c.digits)) << c.value << " in base " << c.base;
        EXPECT_EQ(BaseDigitsToInt64(c.digits, c.base), c.value) << String(c.digits);
    }
    EXPECT_EQ(BaseDigitsToInt64(u"ff", 16), 255);
    EXPECT_THROW(IntToBaseDigits(0, 1, 5), EArgumentOutOfRangeException);
}

TEST(XcFourDigitYearTest, YearsAroundThePivot) {
    struct Case {
        int year, pivot, result;
    };
    const Case cases[] = {
        {5, 1950, 2005}, {75, 1950, 1975}, {2010, 1950, 2010}, {50, 1950, 1950},
        {100, 1950, 2000}, {5, 50, 2005}, {5, 100, 1905}, {-3, 1950, -3},
    };
    for (const Case& c : cases) EXPECT_EQ(FourDigitYear(c.year, c.pivot), c.result) << c.year << " / " << c.pivot;
    try {
        FourDigitYear(5, -1);
        ADD_FAILURE() << "a negative pivot raises";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), String(u"XcSCLUtils.MakeYear4Digit: Pivot < 0"));
    }
}

TEST(XcLocaleNumbersTest, TryTextToFloatLocaleReadsTheSettingsAtEveryCall) {
    struct Case {
        char16_t localeDecimal;
        const char16_t* text;
        char16_t decimal;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {u'.', u"1,5", u',', true, 1.5},   {u'.', u"12-", u' ', false, 0},  {u'.', u"3.", u' ', true, 3},
        {u',', u"2,25", u' ', true, 2.25}, {u',', u"2.5", u' ', true, 2.5}, {u'.', u"1 234.5 kg", u'.', true, 1234.5},
        {u'.', u"", u'.', false, 0},       {u'.', u"-", u'.', true, 0},     {u'.', u"1e3", u'.', true, 1000},
    };
    for (const Case& c : cases) {
        TSeparatorsScope separators(c.localeDecimal, u' ');
        double value = -99;
        EXPECT_EQ(TryTextToFloatLocale(c.text, c.decimal, value), c.ok) << String(c.text);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << String(c.text);
        }
        EXPECT_DOUBLE_EQ(TextToFloatLocaleDef(c.text, c.decimal, -7), c.ok ? c.value : -7) << String(c.text);
    }
}

TEST(XcLocaleNumbersTest, TextToCurrencyDefKeepsFourDecimals) {
    TSeparatorsScope separators(u',', u'.');
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"1.234,56789 €", -1), 1234.5679);
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"-0,5", -1), -0.5);
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"", -1), -1);
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"abc", -1), -1);
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"1-2", -1), -1);
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"922337203685477,5", -1), 922337203685477.5);
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"-922337203685478", -1), -1) << "beyond a currency value";
    EXPECT_DOUBLE_EQ(TextToCurrencyDef(u"100000000000000000000", -1), -1) << "beyond a currency value";
}

TEST(XcRectSpanTest, AbsoluteSpans) {
    EXPECT_EQ(RectSpanX(TRect{10, 0, 4, 0}), 6);
    EXPECT_EQ(RectSpanY(TRect{0, 3, 0, 8}), 5);
}

TEST(XcPCharCopyTest, CopyIsTerminated) {
    const auto copy = NewPCharCopy(u"ab");
    EXPECT_EQ(std::u16string_view(copy.get()), u"ab");
}
