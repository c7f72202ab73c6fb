#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/FontEngine.h"
#include "treeview/TreeText.h"

namespace {

// A memory DC with the built-in test face: every narrow character is 8
// pixels wide (so "..." is 24) and a line 16 high.
class TTestFaceDc {
public:
    TTestFaceDc() {
        LOGFONTW lf{};
        lf.lfHeight = 16;
        lf.lfWeight = FW_NORMAL;
        std::copy_n(kTestFaceName, std::char_traits<char16_t>::length(kTestFaceName), lf.lfFaceName);
        font_ = CreateFontIndirectW(&lf);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, ToGdiObject(font_));
    }
    ~TTestFaceDc() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(ToGdiObject(font_));
    }
    TTestFaceDc(const TTestFaceDc&) = delete;
    TTestFaceDc& operator=(const TTestFaceDc&) = delete;

    HDC Dc() const noexcept { return dc_; }

private:
    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

} // namespace

TEST(TreeText, TruncateWithEllipsisKeepsTheLongestStartThatFits) {
    TTestFaceDc face;
    const struct {
        const char16_t* text;
        int width, ellipsisWidth;
        const char16_t* expected;
    } cases[] = {
        {u"abcdef", 1000, 0, u"abcde..."},
        {u"a", 1000, 0, u"..."},
        {u"abcdef", 40, 0, u"ab..."},
        {u"abcdef", 39, 0, u"a..."},
        {u"abcdef", 25, 0, u"..."},
        {u"abcdef", 24, 0, u""},
        {u"abcdef", 26, 10, u"ab..."},
        {u"abcdef", 0, 0, u""},
        {u"abcdef", -5, 0, u""},
        {u"", 1000, 0, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TruncateWithEllipsis(face.Dc(), c.text, c.width, c.ellipsisWidth), String(c.expected))
            << String(c.text) << " in " << c.width;
}

TEST(TreeText, WrapTextToWidthFillsLinesFromTheReadingStart) {
    TTestFaceDc face;
    const struct {
        const char16_t* text;
        int width;
        bool rightToLeft;
        const char16_t* expected;
    } cases[] = {
        {u"aa bb cc", 40, false, u"aa bb\ncc"},
        {u"aa bb cc", 40, true, u"bb cc\naa"},
        {u"aa bb cc", 39, false, u"aa\nbb\ncc"},
        {u"aa bb cc", 200, true, u"aa bb cc"},
        {u"abcdefgh", 24, false, u"abc\ndef\ngh"},
        {u"abcdefgh", 24, true, u"fgh\ncde\nab"},
        {u"xy abcdefgh", 24, false, u"xy\nabc\ndef\ngh"},
        {u"ab", 4, false, u"a\nb"},
        {u"  aa bb  ", 40, false, u"aa bb"},
        {u"aa  bb", 200, false, u"aa  bb"},
        {u"   ", 40, false, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WrapTextToWidth(face.Dc(), c.text, TRect{10, 0, 10 + c.width, 50}, c.rightToLeft, DT_SINGLELINE),
                  String(c.expected))
            << String(c.text) << " in " << c.width << (c.rightToLeft ? " right to left" : "");
}

TEST(TreeText, MeasureTextRectGrowsTheRectangleFromItsCorner) {
    TTestFaceDc face;
    TRect r{5, 7, 100, 100};
    MeasureTextRect(face.Dc(), u"abc", r, DT_SINGLELINE);
    EXPECT_EQ(r, (TRect{5, 7, 29, 23}));
    r = TRect{0, 0, 0, 0};
    MeasureTextRect(face.Dc(), u"ab\nabcd", r, 0);
    EXPECT_EQ(r, (TRect{0, 0, 32, 32})) << "the widest of two lines";
}

TEST(TreeText, BufferedStringsCollectTheirPiecesWithLineBreaks) {
    TWideBufferedString wide;
    TBufferedAnsiString narrow;
    for (int i = 0; i < 3; ++i) {
        wide.Add(u"任务");
        narrow.Add(String(u"任务"));
        narrow.Add(std::string_view(";"));
        wide.AddNewLine();
        narrow.AddNewLine();
    }
    EXPECT_EQ(wide.AsString(), u"任务\r\n任务\r\n任务\r\n");
    EXPECT_EQ(narrow.AsString(), "\xE4\xBB\xBB\xE5\x8A\xA1;\r\n\xE4\xBB\xBB\xE5\x8A\xA1;\r\n\xE4\xBB\xBB\xE5\x8A\xA1;\r\n")
        << "the system code page is UTF-8";
}
