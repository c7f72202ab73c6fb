#include <gtest/gtest.h>

#include "TestFaceCanvas.h"
#include "controls/XcTextFitting.h"
#include "platform/win/text/Text.h"

namespace {

bool HasLoneSurrogate(const String& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && !(i + 1 < text.size() && IsLowSurrogate(text[i + 1]))) return true;
        if (IsLowSurrogate(text[i]) && !(i > 0 && IsHighSurrogate(text[i - 1]))) return true;
    }
    return false;
}

} // namespace

TEST(XcTextFittingTest, CharacterBoundariesKeepSurrogatePairsTogether) {
    EXPECT_EQ(CharacterBoundaries(u"a𠮷b"), (std::vector<size_t>{0, 1, 3, 4}));
    EXPECT_EQ(CharacterBoundaries(u""), (std::vector<size_t>{0}));
}

TEST(XcTextFittingTest, CompactPathKeepsTheFileName) {
    TTestFaceCanvas canvas;
    const String path = u"/home/user/videos/holiday/clip.mp4";
    const String compact = CompactPathToWidth(path, canvas.get(), 160);
    EXPECT_TRUE(EndsStr(u"/clip.mp4", compact)) << compact;
    EXPECT_NE(compact.find(u"..."), String::npos) << compact;
    EXPECT_LE(canvas->TextWidth(compact), 160);
    EXPECT_EQ(CompactPathToWidth(path, canvas.get(), 1000), path);
}

TEST(XcTextFittingTest, EllipsizeDropsWholeCharactersUntilItFits) {
    TTestFaceCanvas canvas;
    struct Case {
        const char16_t* text;
        int width;
        const char16_t* result;
    };
    const Case cases[] = {
        {u"abcdef", 48, u"abcdef"}, {u"abcdef", 47, u"ab..."}, {u"abcdefgh", 56, u"abcd..."},
        {u"abcdef", 32, u"a..."},   {u"abcdef", 1, u"..."},    {u"a", 1, u"..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EllipsizeToWidth(c.text, canvas.get(), c.width), String(c.result)) << String(c.text) << " " << c.width;
    EXPECT_EQ(EllipsizeToWidth(u"ab𠮷cd", canvas.get(), 47), String(u"ab..."));
    for (const char16_t* text : {u"a𠮷b", u"ab𠮷cd", u"𠮷𠮷𠮷𠮷"})
        for (int width = 0; width <= 80; ++width) {
            const String fitted = EllipsizeToWidth(text, canvas.get(), width);
            EXPECT_FALSE(HasLoneSurrogate(fitted)) << String(text) << " " << width;
        }
}

TEST(XcTextFittingTest, CanvasDrawTextNeverWritesIntoTheText) {
    TTestFaceCanvas canvas;
    const String text = u"abcdefghij";
    TRect rect{0, 0, 40, 16};
    EXPECT_EQ(CanvasDrawText(canvas.get(), text, -1, rect, DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT | DT_SINGLELINE), 16);
    EXPECT_EQ(text, String(u"abcdefghij"));
}
