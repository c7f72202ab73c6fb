#include <gtest/gtest.h>

#include "StartedUiUnits.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Colors.h"
#include "platform/win/system/SystemColors.h"

namespace {

struct TColorText {
    TColor color;
    const char* text;
};

TEST(Colors, NamesAndHexTextRoundTrip) {
    const TColorText cases[] = {
        {clBlack, "clBlack"},
        {clRed, "clRed"},
        {clMoneyGreen, "clMoneyGreen"},
        {clBtnFace, "clBtnFace"},
        {clWindowText, "clWindowText"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {clMenuBar, "clMenuBar"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {0x00123456, "$00123456"},
        {SystemColor(25), "$FF000019"}, // a system index without a name
        {clPaletteRelative | 0x0080FF, "$020080FF"},
        {-1, "$FFFFFFFF"},
    };
    for (const auto& [color, text] : cases) {
        EXPECT_EQ(ColorToString(color), String(text)) << text;
        EXPECT_EQ(StringToColor(text), color) << text;
    }
}

TEST(Colors, StringToColorTakesAnyCaseAndIntegerTextAndRefusesTheRest) {
    EXPECT_EQ(StringToColor("CLWINDOW"), clWindow);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("$FF0000"), clBlue);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
    EXPECT_THROW(StringToColor(""), EConvertError);

    TColor color = 7;
    EXPECT_FALSE(IdentToColor("$000000FF", color));
    EXPECT_EQ(color, 7);
    String ident;
    EXPECT_FALSE(ColorToIdent(0x00123456, ident));
}

TEST(Colors, ColorToRGBReadsSystemColoursAndPassesEverythingElse) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clInfoBk), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(clDefault), 0x20000000u);
    EXPECT_EQ(ColorToRGB(clPaletteRelative | 0x0080FF), 0x020080FFu);
}

TEST(Colors, TheGraphicsUnitMakesColourPropertiesSpeakNamesAndRegistersTheClasses) {
    TStartedUiUnits units;
    const TIntToIdent toIdent = FindIntToIdent(TColorTypeInfo());
    const TIdentToInt toInt = FindIdentToInt(TColorTypeInfo());
    ASSERT_TRUE(toIdent && toInt);
    String ident;
    EXPECT_TRUE(toIdent(clInfoBk, ident));
    EXPECT_EQ(ident, String("clInfoBk"));
    int32_t value = 0;
    EXPECT_TRUE(toInt("clHighlight", value));
    EXPECT_EQ(value, clHighlight);
    for (const char* name : {"TFont", "TPen", "TBrush"}) EXPECT_NE(GetClass(name), nullptr) << name;
    units.Finalize();
    EXPECT_EQ(GetClass("TFont"), nullptr);
}

} // namespace
