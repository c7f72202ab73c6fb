#include <gtest/gtest.h>

#include <memory>

#include "controls/XcMaxPixel.h"
#include "platform/rtl/Properties.h"
#include "platform/ui/ControlFixture.h"
#include "platform/ui/Font.h"
#include "platform/ui/StartedUiUnits.h"
#include "platform/win/text/FontEngine.h"

namespace {

// A shown form whose canvas measures, and the test face 16 pixels high
// (8 pixels a character, 16 for East Asian wide ones).
class XcMaxPixelTest : public FormTest {
protected:
    void SetUp() override {
        form_ = ShownForm({0, 0, 200, 100});
        testFace_.SetName(kTestFaceName);
        testFace_.SetHeight(-16);
    }

    TStartedUiUnits units_;
    TForm* form_ = nullptr;
    TFont testFace_;
};

} // namespace

TEST_F(XcMaxPixelTest, CutsWholeCharactersFromTheEndUntilTheTextFits) {
    TXcMaxPixel limit(form_);
    limit.SetLength(50);
    struct Case {
        const char16_t* text;
        const char16_t* limited;
    };
    const Case cases[] = {
        {u"abcdefghij", u"abcdef"}, {u"abcde𠮷", u"abcde"}, {u"abcd𠮷", u"abcd𠮷"},
        {u"视频文件名", u"视频文"},     {u"", u""},
    };
    for (const Case& c : cases) {
        String text = c.text;
        limit.LimitText(text, &testFace_);
        EXPECT_EQ(text, String(c.limited)) << String(c.text);
    }
}

TEST_F(XcMaxPixelTest, LengthZeroLeavesAnyText) {
    TXcMaxPixel limit(form_);
    String text(500, u'w');
    limit.LimitText(text, &testFace_);
    EXPECT_EQ(text.size(), 500u);
}

TEST_F(XcMaxPixelTest, MeasuresInTheControlsFontOrInItsOwn) {
    TXcMaxPixel limit(form_);
    limit.SetLength(50);
    TFont symbols; // every character as wide as the face is high
    symbols.SetName(kSymbolFaceName);
    symbols.SetHeight(-20);
    limit.SetFont(&symbols);
    String text = u"abcdefghij";
    limit.LimitText(text, &testFace_);
    EXPECT_EQ(text, String(u"abcdef")) << "the control's font";
    limit.SetUseControlFont(false);
    text = u"abcdefghij";
    limit.LimitText(text, &testFace_);
    EXPECT_EQ(text, String(u"ab")) << "its own font";
}

TEST_F(XcMaxPixelTest, NotifiesChangesAndStoresTheFontOnlyWhenUsed) {
    TXcMaxPixel limit(form_);
    int changes = 0;
    limit.OnChanged = [&](TObject*) { ++changes; };
    limit.SetLength(10);
    limit.SetLength(10);
    limit.SetUseControlFont(false);
    limit.SetFont(&testFace_);
    limit.SetFont(limit.Font());
    EXPECT_EQ(changes, 3);
    const TPropInfo* font = GetPropInfo(TXcMaxPixel::StaticClass(), "Font");
    EXPECT_TRUE(font->IsStored(limit));
    limit.SetUseControlFont(true);
    EXPECT_FALSE(font->IsStored(limit));
    EXPECT_EQ(GetPropInfo(TXcMaxPixel::StaticClass(), "UseControlFont")->Default(), 1);
    EXPECT_EQ(GetPropInfo(TXcMaxPixel::StaticClass(), "Length")->Default(), 0);
}
