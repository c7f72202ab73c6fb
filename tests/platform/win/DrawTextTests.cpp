#include <vector>

#include "TextFixture.h"
#include "platform/win/text/BuiltinFaces.h"
#include "platform/win/text/TextLayout.h"

namespace {

class DrawTextTest : public TextTest {};

struct TDrawCase {
    const char* name;
    const char16_t* text;
    UINT format;
    SIZE box;                        // the rectangle, placed at (4, 4)
    std::vector<std::u16string> lines; // as drawn
    SIZE measured;                   // by DT_CALCRECT
};

// Where DrawTextW should put each line, drawn with ExtTextOutW.
void DrawReference(TTextCanvas& canvas, const TDrawCase& c, const RECT& r) {
    int y = r.top;
    if (c.format & DT_SINGLELINE) {
        if (c.format & DT_BOTTOM) y = r.bottom - 16;
        else if (c.format & DT_VCENTER) y = r.top + (r.bottom - r.top - 16) / 2;
    }
    for (const std::u16string& line : c.lines) {
        SIZE size;
        GetTextExtentPoint32W(canvas.dc, line.data(), int(line.size()), &size);
        int x = r.left;
        if (c.format & DT_RIGHT) x = r.right - size.cx;
        else if (c.format & DT_CENTER) x = r.left + (r.right - r.left - size.cx) / 2;
        ExtTextOutW(canvas.dc, x, y, c.format & DT_NOCLIP ? 0 : ETO_CLIPPED, &r, line.data(), UINT(line.size()),
                    nullptr);
        y += 16;
    }
}

TEST_F(DrawTextTest, LaysOutDrawsAndMeasuresEachCase) {
    const std::u16string latin30 = u"abcdefghijklmnopqrstuvwxyz0123";
    const std::vector<TDrawCase> cases = {
        {"breaks between ideographs", u"选择输出配置然后点开始", DT_WORDBREAK, {100, 40},
         {u"选择输出配置", u"然后点开始"}, {96, 32}},
        {"breaks at spaces", u"one two three", DT_WORDBREAK, {70, 48}, {u"one two", u"three"}, {56, 32}},
        {"breaks between Chinese and Latin", u"转换 test 中文", DT_WORDBREAK, {72, 48}, {u"转换 test", u"中文"}, {72, 32}},
        {"a long word overflows", latin30.c_str(), DT_WORDBREAK, {100, 48}, {latin30}, {240, 16}},
        {"an edit control breaks a long word and drops a partial line", latin30.c_str(),
         DT_WORDBREAK | DT_EDITCONTROL, {100, 40}, {u"abcdefghijkl", u"mnopqrstuvwx"}, {96, 48}},
        {"line ends", u"ab\r\ncd\ref\ngh", DT_LEFT, {100, 80}, {u"ab", u"cd", u"ef", u"gh"}, {16, 64}},
        {"one line keeps its line ends", u"ab\r\ncd", DT_SINGLELINE, {100, 20}, {u"ab\r\ncd"}, {32, 16}},
        {"end ellipsis", u"abcdefghij", DT_END_ELLIPSIS | DT_SINGLELINE, {56, 16}, {u"abcd..."}, {56, 16}},
        {"word ellipsis", u"one two three", DT_WORD_ELLIPSIS | DT_SINGLELINE, {90, 16}, {u"one two..."}, {80, 16}},
        {"end ellipsis cuts inside words", u"one two three", DT_END_ELLIPSIS | DT_SINGLELINE, {90, 16},
         {u"one two ..."}, {88, 16}},
        {"path ellipsis", u"/home/u/videos/clip.mp4", DT_PATH_ELLIPSIS | DT_SINGLELINE, {140, 16},
         {u"/home.../clip.mp4"}, {136, 16}},
        {"ellipsis on each wrapped line", u"abcdefghijklmnop qr", DT_WORDBREAK | DT_END_ELLIPSIS, {64, 48},
         {u"abcde...", u"qr"}, {64, 32}},
        {"fitting text keeps its end", u"abc", DT_END_ELLIPSIS | DT_SINGLELINE, {56, 16}, {u"abc"}, {24, 16}},
        {"right and centred vertically", u"abc", DT_SINGLELINE | DT_VCENTER | DT_RIGHT, {100, 40}, {u"abc"}, {24, 16}},
        {"bottom", u"abc", DT_SINGLELINE | DT_BOTTOM, {100, 40}, {u"abc"}, {24, 16}},
        {"centred", u"abcd", DT_CENTER, {100, 20}, {u"abcd"}, {32, 16}},
        {"clipped to the rectangle", u"abcdefghijklmnop", DT_SINGLELINE, {40, 16}, {u"abcdefghijklmnop"}, {128, 16}},
        {"not clipped", u"abcdefghijklmnop", DT_SINGLELINE | DT_NOCLIP, {40, 16}, {u"abcdefghijklmnop"}, {128, 16}},
        {"no prefix", u"&File", DT_NOPREFIX, {100, 16}, {u"&File"}, {40, 16}},
        {"a doubled prefix draws one", u"A&&B", DT_LEFT, {100, 16}, {u"A&B"}, {24, 16}},
        {"right-to-left reading is laid out left to right", u"ab", DT_RTLREADING, {100, 16}, {u"ab"}, {16, 16}},
    };
    for (const TDrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTextCanvas drawn(260, 100), reference(260, 100);
        const RECT box{4, 4, 4 + c.box.cx, 4 + c.box.cy};

        RECT measured = box;
        const int measuredHeight = DrawTextW(drawn.dc, c.text, -1, &measured, c.format | DT_CALCRECT);
        EXPECT_EQ(measured, (RECT{4, 4, 4 + c.measured.cx, 4 + c.measured.cy}));
        EXPECT_EQ(measuredHeight, c.measured.cy);
        EXPECT_EQ(drawn.InkBox(), RECT{}) << "measuring draws nothing";

        RECT r = box;
        const int height = DrawTextW(drawn.dc, c.text, -1, &r, c.format);
        EXPECT_EQ(r, box);
        DrawReference(reference, c, box);
        int expectedHeight = int(c.lines.size()) * 16;
        if (c.format & DT_BOTTOM) expectedHeight = c.box.cy;
        else if (c.format & DT_VCENTER) expectedHeight = (c.box.cy - 16) / 2 + 16;
        EXPECT_EQ(height, expectedHeight);
        ASSERT_NE(reference.InkBox(), RECT{});
        for (int y = 0; y < drawn.height; ++y) ASSERT_EQ(drawn.Row(y), reference.Row(y)) << "row " << y;
    }
}

TEST_F(DrawTextTest, NoLineStartsWithClosingOrEndsWithOpeningPunctuation) {
    const std::u16string text = u"转换完成，点我打开目录。（详见「日志」）";
    const auto face = TestFace();
    for (int width = 16; width <= 320; width += 8) {
        const TLayout layout{*face, DT_WORDBREAK, 0, width};
        std::u16string joined;
        for (const TLine& line : LayOutText(layout, text)) {
            ASSERT_FALSE(line.text.empty());
            EXPECT_FALSE(IsClosingPunctuation(line.text.front())) << width;
            EXPECT_FALSE(IsOpeningPunctuation(line.text.back())) << width;
            joined += line.text;
        }
        EXPECT_EQ(joined, text) << width;
    }
    // The table of the issue's sentence at a few widths.
    struct Case {
        int width;
        std::vector<std::u16string> lines;
    };
    for (const Case& c : {Case{64, {u"转换完", u"成，点我", u"打开目", u"录。"}}, Case{80, {u"转换完成，", u"点我打开目", u"录。"}},
                          Case{96, {u"转换完成，点", u"我打开目录。"}}, Case{176, {u"转换完成，点我打开目", u"录。"}},
                          Case{192, {u"转换完成，点我打开目录。"}}}) {
        const TLayout layout{*face, DT_WORDBREAK, 0, c.width};
        std::vector<std::u16string> lines;
        for (const TLine& line : LayOutText(layout, u"转换完成，点我打开目录。")) lines.push_back(line.text);
        EXPECT_EQ(lines, c.lines) << c.width;
    }
}

TEST_F(DrawTextTest, APrefixUnderlinesTheNextCharacterAndIsNotMeasured) {
    TTextCanvas canvas(40, 20);
    RECT r{0, 0, 40, 20};
    DrawTextW(canvas.dc, u"&File", -1, &r, DT_LEFT);
    EXPECT_EQ(canvas.Row(13), "########.######..######..######.........");
    EXPECT_EQ(canvas.Row(12), ".######..######..######..######.........");
    RECT measured{0, 0, 100, 20};
    DrawTextW(canvas.dc, u"&File", -1, &measured, DT_CALCRECT);
    EXPECT_EQ(measured.right, 32);
    // The underline follows its character onto the line it lands on and into a shortened line.
    canvas.Clear();
    r = RECT{0, 0, 48, 20};
    DrawTextW(canvas.dc, u"ab&cdefgh", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(canvas.Row(13).substr(0, 24), ".######..######.########");
}

TEST_F(DrawTextTest, TabsStopEveryEightAverageCharacters) {
    TTextCanvas canvas(100, 20);
    RECT r{0, 0, 100, 20};
    DrawTextW(canvas.dc, u"a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(canvas.Row(5).substr(0, 72), ".######" + std::string(58, '.') + "######.");
    RECT measured{0, 0, 100, 20};
    DrawTextW(canvas.dc, u"a\tb", -1, &measured, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(measured.right, 72);
    measured = RECT{0, 0, 100, 20};
    DrawTextW(canvas.dc, u"abcdefgh\tb", -1, &measured, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(measured.right, 136);
    measured = RECT{0, 0, 100, 20};
    DrawTextW(canvas.dc, u"a\tb", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(measured.right, 24); // a tab without DT_EXPANDTABS is as wide as a space
}

TEST_F(DrawTextTest, ModifyStringWritesTheShortenedLineWithinTheRoomGiven) {
    TTextCanvas canvas(200, 20);
    char16_t buffer[32];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    std::u16string_view(u"/home/u/videos/clip.mp4").copy(buffer, 23);
    buffer[23] = 0;
    RECT r{0, 0, 140, 20};
    DrawTextW(canvas.dc, buffer, -1, &r,
              DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(std::u16string(buffer), u"/home.../clip.mp4");
    EXPECT_EQ(r.right, 136);
    EXPECT_EQ(canvas.InkBox(), RECT{});

    // "ab/cdefgh" (count 9) at 10 pixels becomes ".../cdefgh", ten units and the null:
    // within the four units of room beyond the count, nothing past it.
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    std::u16string_view(u"ab/cdefgh").copy(buffer, 9);
    r = RECT{0, 0, 10, 20};
    DrawTextW(canvas.dc, buffer, 9, &r, DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE);
    EXPECT_EQ(std::u16string(buffer), u".../cdefgh");
    EXPECT_EQ(buffer[11], u'#');

    // Text that fits is left alone.
    std::u16string_view(u"abc").copy(buffer, 3);
    buffer[3] = 0;
    r = RECT{0, 0, 140, 20};
    DrawTextW(canvas.dc, buffer, -1, &r, DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE);
    EXPECT_EQ(std::u16string(buffer), u"abc");
}

TEST_F(DrawTextTest, EmptyTextMeasuresNothing) {
    TTextCanvas canvas(20, 20);
    RECT r{2, 3, 50, 60};
    EXPECT_EQ(DrawTextW(canvas.dc, u"", -1, &r, DT_CALCRECT | DT_WORDBREAK), 0);
    EXPECT_EQ(r, (RECT{2, 3, 2, 3}));
    r = RECT{2, 3, 50, 60};
    EXPECT_EQ(DrawTextW(canvas.dc, u" ", -1, &r, DT_CALCRECT | DT_WORDBREAK), 16); // a blank gives one line
    EXPECT_EQ(DrawTextW(nullptr, u"a", -1, &r, 0), 0);
    EXPECT_EQ(DrawTextW(canvas.dc, u"a", -1, nullptr, 0), 0);
}

TEST_F(DrawTextTest, OpaqueBackgroundFillsEachLineCell) {
    TTextCanvas canvas(60, 40);
    SetBkMode(canvas.dc, OPAQUE);
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    RECT r{0, 0, 60, 40};
    DrawTextW(canvas.dc, u"ab\ncde", -1, &r, DT_LEFT);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(15, 15), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(17, 0), RGB(255, 255, 255)); // past the first line's cell
    EXPECT_EQ(canvas.Pixel(23, 16), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(24, 16), RGB(255, 255, 255));
}

} // namespace
