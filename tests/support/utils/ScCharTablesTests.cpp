#include "support/utils/ScCharTables.h"

#include <gtest/gtest.h>

#include <set>

#include "support/utils/ScCharsets.h"
#include "support/utils/ScUnicode.h"

namespace {

TEST(ScCharTables, SharpSHasNoSingleCharacterUpperCase) {
    EXPECT_EQ(UpperChar(u'ß'), u'ß');
    EXPECT_EQ(LowerChar(u'Ä'), u'ä');
    EXPECT_EQ(UpperChar(u'я'), u'Я');
    EXPECT_TRUE(IsLowerChar(u'ß'));
    EXPECT_FALSE(IsUpperChar(u'ß'));
}

TEST(ScCharTables, SwapCaseChangesOnlyCasedLetters) {
    String s = u"aB7 ßÄ-";
    MapCaseInPlace(s, CaseMapSwap);
    EXPECT_EQ(s, u"Ab7 ßä-");
    String empty;
    MapCaseInPlace(empty, CaseMapUpper);
    EXPECT_TRUE(empty.empty());
}

TEST(ScCharTables, DigitsAreClassifiedAndMapToThemselves) {
    for (char16_t c = u'0'; c <= u'9'; ++c) {
        EXPECT_TRUE(WideCharType(c) & C1_DIGIT) << char(c);
        EXPECT_EQ(UpperChar(c), c);
        EXPECT_EQ(LowerChar(c), c);
    }
}

TEST(ScCharTables, HexCharsAreDigitsAndTheLettersAToFInEitherCase) {
    const std::u16string hex = u"0123456789abcdefABCDEF";
    for (char16_t c = 0; c < 0x80; ++c)
        EXPECT_EQ(IsHexChar(c), hex.find(c) != std::u16string::npos) << int(c);
}

TEST(ScCharTables, ByteTablesClassifyAsciiAndLeaveUtf8SequenceBytesAlone) {
    EXPECT_EQ(AnsiCharType('A'), WideCharType(u'A'));
    EXPECT_TRUE(AnsiIsUpper('Q'));
    EXPECT_TRUE(AnsiIsLower('q'));
    EXPECT_EQ(AnsiUpperChar('q'), 'Q');
    EXPECT_EQ(AnsiSwapCaseChar('Q'), 'q');
    EXPECT_EQ(AnsiSwapCaseChar('5'), '5');
    for (int c = 0x80; c < 0x100; ++c) {
        EXPECT_EQ(AnsiCharType(uint8_t(c)), 0) << c;
        EXPECT_EQ(AnsiLowerChar(uint8_t(c)), c);
        EXPECT_EQ(AnsiUpperChar(uint8_t(c)), c);
        EXPECT_EQ(AnsiSwapCaseChar(uint8_t(c)), c);
    }
}

TEST(ScUnicode, ComparisonsIgnoreCaseAndGiveTheSign) {
    for (auto compare : {&WideTextCompare, &CompareTextWide, &CompareTextByCodePage}) {
        EXPECT_EQ(compare(u"Straße", u"STRAßE", LOCALE_USER_DEFAULT), 0);
        EXPECT_EQ(compare(u"apple", u"Banana", LOCALE_USER_DEFAULT), -1);
        EXPECT_EQ(compare(u"Zebra", u"apple", LOCALE_USER_DEFAULT), 1);
    }
    EXPECT_EQ(LocaleCodePage(LOCALE_USER_DEFAULT), 65001);
}

TEST(ScUnicode, FindWideSubstringNeedsTwoNonEmptyTexts) {
    const char16_t* text = u"HKEY_CURRENT_USER\\Software";
    EXPECT_EQ(FindWideSubstring(text, u"USER"), text + 13);
    EXPECT_EQ(FindWideSubstring(text, u""), nullptr);
    EXPECT_EQ(FindWideSubstring(u"", u"a"), nullptr);
    EXPECT_EQ(FindWideSubstring(nullptr, u"a"), nullptr);
    EXPECT_EQ(FindWideSubstring(text, nullptr), nullptr);
    EXPECT_EQ(FindWideSubstring(text, u"user"), nullptr);
}

TEST(ScUnicode, BlockTableStartsWithNoBlockAndCoversUnicodeFiveInOrder) {
    const auto blocks = UnicodeBlocks();
    ASSERT_EQ(blocks.size(), 155u);
    EXPECT_STREQ(blocks[0].Name, "No-block");
    EXPECT_GT(blocks[0].RangeStart, blocks[0].RangeEnd);
    EXPECT_STREQ(blocks[1].Name, "Basic Latin");
    EXPECT_EQ(blocks[1].RangeStart, 0u);
    EXPECT_EQ(blocks[1].RangeEnd, 0x7Fu);
    EXPECT_STREQ(blocks[2].Name, "Latin-1 Supplement");
    EXPECT_STREQ(blocks.back().Name, "Supplementary Private Use Area-B");
    EXPECT_EQ(blocks.back().RangeStart, 0x100000u);
    EXPECT_EQ(blocks.back().RangeEnd, 0x10FFFFu);
    for (size_t i = 2; i < blocks.size(); ++i) {
        EXPECT_LE(blocks[i].RangeStart, blocks[i].RangeEnd) << blocks[i].Name;
        EXPECT_GT(blocks[i].RangeStart, blocks[i - 1].RangeEnd) << blocks[i].Name;
    }
}

TEST(ScCharsets, TableHoldsItsRowsCodePagesAndFamilies) {
    const auto rows = CharsetInfos();
    ASSERT_EQ(rows.size(), 302u);
    EXPECT_STREQ(rows.front().Name, "ASMO-708");
    EXPECT_EQ(rows.front().CodePage, 708);
    EXPECT_EQ(rows.front().FamilyCodePage, 1256);
    EXPECT_STREQ(rows.back().Name, "x-ansi");
    EXPECT_EQ(rows.back().CodePage, 1252);
    EXPECT_EQ(rows.back().FamilyCodePage, 1252);
    std::set<int> codePages, families;
    for (const auto& row : rows) {
        codePages.insert(row.CodePage);
        families.insert(row.FamilyCodePage);
    }
    EXPECT_EQ(codePages.size(), 118u);
    const std::set<int> expected{874,  932,  936,  949,  950,  1200, 1250,  1251,  1252,  1253,  1254,  1255,  1256,
                                 1257, 1258, 1361, 57002, 57003, 57004, 57005, 57006, 57007, 57008, 57009, 57010, 57011};
    EXPECT_EQ(families, expected);
}

} // namespace
