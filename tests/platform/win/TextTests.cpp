#include <cstring>

#include "TextFixture.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

TEST_F(TextTest, FontsAnswerTheLogFontTheyWereMadeFromAndAreSelectedLikeOtherObjects) {
    LOGFONTW lf = LogFont(u"Tahoma", -16, 450);
    lf.lfWeight = FW_BOLD;
    lf.lfUnderline = 1;
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    const HFONT font = CreateFontIndirectW(&lf);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectType(ToGdiObject(font)), OBJ_FONT);
    LOGFONTW back;
    EXPECT_EQ(GetObjectW(ToGdiObject(font), sizeof back, &back), int(sizeof back));
    EXPECT_EQ(std::memcmp(&back, &lf, sizeof lf), 0);
    EXPECT_EQ(GetObjectW(ToGdiObject(font), sizeof back - 1, &back), 0);

    TCanvas canvas(4, 4);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), GetStockObject(SYSTEM_FONT)); // a new DC's font
    const HGDIOBJ old = SelectObject(canvas.dc, ToGdiObject(font));
    EXPECT_EQ(old, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), ToGdiObject(font));
    EXPECT_TRUE(DeleteObject(ToGdiObject(font))); // deferred while selected
    EXPECT_EQ(GetObjectType(ToGdiObject(font)), OBJ_FONT);
    SelectObject(canvas.dc, old);
    EXPECT_EQ(GetObjectType(ToGdiObject(font)), 0u);
}

TEST_F(TextTest, StockAndSystemFontsAreTheInterfaceFontAtNinePoints) {
    for (int index : {DEFAULT_GUI_FONT, SYSTEM_FONT, ANSI_VAR_FONT}) {
        const HGDIOBJ font = GetStockObject(index);
        ASSERT_NE(font, nullptr) << index;
        EXPECT_EQ(GetObjectType(font), OBJ_FONT);
        EXPECT_TRUE(DeleteObject(font)); // stock objects stay
        EXPECT_EQ(GetObjectType(font), OBJ_FONT);
    }
    LOGFONTW gui;
    ASSERT_EQ(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), int(sizeof gui));
    EXPECT_EQ(gui.lfHeight, -12);
    LOGFONTW icon{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0));
    EXPECT_EQ(icon.lfHeight, -12);
    EXPECT_EQ(std::u16string(icon.lfFaceName), std::u16string(gui.lfFaceName));
}

TEST_F(TextTest, TheTestFaceMeasuresEightOrSixteenPixelsACharacter) {
    TTextCanvas canvas(8, 8);
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent, 12);
    EXPECT_EQ(tm.tmDescent, 4);
    EXPECT_EQ(tm.tmInternalLeading, 0);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    EXPECT_EQ(tm.tmMaxCharWidth, 16);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);

    struct Case {
        const char16_t* text;
        int width;
    };
    for (const Case& c : {Case{u"", 0}, Case{u"abc", 24}, Case{u"中文", 32}, Case{u"a，b", 32},
                          Case{u"ｶ", 8}, Case{u"\U00020000x", 24}, Case{u"a\r\nb", 16}}) {
        SIZE size{-1, -1};
        ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc, c.text, int(std::u16string_view(c.text).size()), &size));
        EXPECT_EQ(size.cx, c.width) << std::string(String(c.text).ToUtf8());
        EXPECT_EQ(size.cy, 16);
    }

    // Partial extents count UTF-16 units; the two halves of a pair end together.
    const char16_t text[] = u"ab中\U00020000c";
    int dx[6] = {};
    int fit = -1;
    SIZE size;
    ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, text, 6, 40, &fit, dx, &size));
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(std::vector<int>(dx, dx + 6), (std::vector<int>{8, 16, 32, 48, 48, 56}));
    EXPECT_EQ(size.cx, 56);
    ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, text, 6, 48, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 5);
}

TEST_F(TextTest, TextFaceIsCopiedWithinTheCountGiven) {
    TTextCanvas canvas(8, 8);
    const int needed = int(std::u16string_view(kTestFaceName).size()) + 1;
    EXPECT_EQ(GetTextFaceW(canvas.dc, 0, nullptr), needed);
    char16_t buffer[64];
    EXPECT_EQ(GetTextFaceW(canvas.dc, 64, buffer), needed - 1);
    EXPECT_EQ(std::u16string(buffer), kTestFaceName);
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(GetTextFaceW(canvas.dc, 5, buffer), 4);
    EXPECT_EQ(std::u16string(buffer), u"Ostr");
    EXPECT_EQ(buffer[5], u'#');
}

TEST_F(TextTest, GlyphsAreBoxesInsetByOnePixelAndLeaveAlphaZero) {
    for (int bpp : {32, 24}) {
        TTextCanvas canvas(40, 24, LogFont(kTestFaceName), bpp);
        if (bpp == 32) canvas.Fill(0xFFFFFFFF);
        ASSERT_TRUE(TextOutW(canvas.dc, 2, 3, u"a中", 2));
        EXPECT_EQ(canvas.InkBox(), (RECT{3, 4, 25, 18})) << bpp;
        EXPECT_EQ(canvas.Row(10), "...######..##############...............") << bpp;
        EXPECT_FALSE(canvas.Ink(3, 3));
        EXPECT_FALSE(canvas.Ink(3, 18));
        if (bpp == 32) {
            EXPECT_EQ(canvas.At(3, 4), 0x00000000u); // black, alpha 0
            EXPECT_EQ(canvas.At(2, 4), 0xFFFFFFFFu); // untouched
        }
    }
}

TEST_F(TextTest, AlignmentPlacesTheRunAroundTheReferencePoint) {
    struct Case {
        UINT align;
        RECT ink;
    };
    for (const Case& c : {Case{TA_LEFT | TA_TOP, {21, 21, 35, 35}}, Case{TA_RIGHT | TA_TOP, {5, 21, 19, 35}},
                          Case{TA_CENTER | TA_TOP, {13, 21, 27, 35}}, Case{TA_LEFT | TA_BASELINE, {21, 9, 35, 23}},
                          Case{TA_LEFT | TA_BOTTOM, {21, 5, 35, 19}}}) {
        TTextCanvas canvas(48, 48);
        EXPECT_EQ(SetTextAlign(canvas.dc, c.align), 0u);
        EXPECT_EQ(GetTextAlign(canvas.dc), c.align);
        TextOutW(canvas.dc, 20, 20, u"ab", 2);
        EXPECT_EQ(canvas.InkBox(), c.ink) << c.align;
    }
}

TEST_F(TextTest, BackgroundClippingAndAdvancesOfExtTextOut) {
    TTextCanvas canvas(48, 20);
    SetBkMode(canvas.dc, OPAQUE);
    SetBkColor(canvas.dc, RGB(255, 0, 0));
    TextOutW(canvas.dc, 0, 0, u"a", 1);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0)); // the cell's background
    EXPECT_EQ(canvas.Pixel(7, 15), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(8, 0), RGB(255, 255, 255));

    canvas.Clear();
    const RECT box{0, 0, 30, 18};
    ASSERT_TRUE(ExtTextOutW(canvas.dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr));
    EXPECT_EQ(canvas.Pixel(29, 17), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(30, 17), RGB(255, 255, 255));

    canvas.Clear();
    SetBkMode(canvas.dc, TRANSPARENT);
    const RECT clip{0, 0, 12, 16};
    ExtTextOutW(canvas.dc, 0, 0, ETO_CLIPPED, &clip, u"abcd", 4, nullptr);
    EXPECT_EQ(canvas.InkBox(), (RECT{1, 1, 12, 15}));

    canvas.Clear();
    const INT dx[] = {20, 20};
    ExtTextOutW(canvas.dc, 0, 0, 0, nullptr, u"ab", 2, dx);
    EXPECT_EQ(canvas.Row(8).substr(0, 30), ".######..............######...");
}

TEST_F(TextTest, UnderlineAndStrikeOutSpanTheRun) {
    LOGFONTW lf = LogFont(kTestFaceName);
    lf.lfUnderline = 1;
    lf.lfStrikeOut = 1;
    TTextCanvas canvas(20, 20, lf);
    TextOutW(canvas.dc, 0, 0, u"ab", 2);
    EXPECT_EQ(canvas.Row(13), "################...."); // the baseline is row 12
    EXPECT_EQ(canvas.Row(8), "################....");
    EXPECT_EQ(canvas.Row(5), ".######..######.....");
}

TEST_F(TextTest, EscapementTurnsTheRunAboutTheReferencePoint) {
    struct Case {
        LONG escapement;
        RECT ink;
    };
    // Unturned, "ab" at (40, 40) would cover (41, 41) - (55, 55).
    for (const Case& c : {Case{900, {41, 25, 55, 39}}, Case{-900, {25, 41, 39, 55}}, Case{1800, {25, 25, 39, 39}}}) {
        TTextCanvas canvas(80, 80, LogFont(kTestFaceName, -12, c.escapement));
        TextOutW(canvas.dc, 40, 40, u"ab", 2);
        EXPECT_EQ(canvas.InkBox(), c.ink) << c.escapement;
    }
    // 45 degrees: the run climbs to the right.
    TTextCanvas canvas(80, 80, LogFont(kTestFaceName, -12, 450));
    TextOutW(canvas.dc, 20, 60, u"abcd", 4);
    const RECT ink = canvas.InkBox();
    EXPECT_GT(ink.right, 40);
    EXPECT_LT(ink.top, 40);
    EXPECT_TRUE(canvas.Ink(35, 50));
    EXPECT_FALSE(canvas.Ink(50, 60));
}

TEST_F(TextTest, TheSymbolFaceDrawsCaptionGlyphsAndNothingElse) {
    TTextCanvas canvas(13, 13, LogFont(kSymbolFaceName, -13));
    SIZE size;
    GetTextExtentPoint32W(canvas.dc, u"u", 1, &size);
    EXPECT_EQ(size, (SIZE{13, 13}));

    TextOutW(canvas.dc, 0, 0, u"u", 1);
    const RECT ink = canvas.InkBox();
    ASSERT_LT(ink.top, ink.bottom);
    // A downward triangle: each row narrower than the one above, centred.
    auto widthOf = [&](int y) {
        const std::string row = canvas.Row(y);
        return int(std::count(row.begin(), row.end(), '#'));
    };
    for (int y = ink.top + 1; y < ink.bottom; ++y) EXPECT_LE(widthOf(y), widthOf(y - 1)) << y;
    EXPECT_GT(widthOf(ink.top), widthOf(ink.bottom - 1) + 3);
    EXPECT_TRUE(canvas.Ink(6, ink.bottom - 1));

    canvas.Clear();
    TextOutW(canvas.dc, 0, 0, u"r", 1);
    for (POINT p : {POINT{6, 6}, POINT{4, 4}, POINT{8, 8}, POINT{8, 4}, POINT{4, 8}})
        EXPECT_TRUE(canvas.Ink(p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{6, 3}, POINT{3, 6}, POINT{9, 6}, POINT{6, 9}})
        EXPECT_FALSE(canvas.Ink(p.x, p.y)) << p.x << "," << p.y;

    for (const char16_t* other : {u"a", u"5", u"中"}) {
        canvas.Clear();
        TextOutW(canvas.dc, 0, 0, other, 1);
        EXPECT_EQ(canvas.InkBox(), RECT{}) << char(other[0]);
    }
}

} // namespace
