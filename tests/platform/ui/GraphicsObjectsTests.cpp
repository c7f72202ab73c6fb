#include <gtest/gtest.h>

#include "DibFixture.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Properties.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Font.h"
#include "platform/ui/Pen.h"
#include "platform/ui/Themes.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/Text.h"

namespace {

using GraphicsObjects = GdiObjectsTest;

LOGFONTW LogFontOf(HFONT font) {
    LOGFONTW lf{};
    EXPECT_NE(GetObjectW(ToGdiObject(font), sizeof lf, &lf), 0);
    return lf;
}

// Counts OnChange calls of a graphics object.
struct TChangeCounter {
    explicit TChangeCounter(TGraphicsObject& object) {
        object.OnChange = [this, &object](TObject* sender) {
            EXPECT_EQ(sender, &object);
            ++count;
        };
    }
    int count = 0;
};

TEST_F(GraphicsObjects, ANewFontIsTheDefaultGuiFontAtNinePoints) {
    TFont font;
    EXPECT_EQ(font.Name(), String("Tahoma"));
    EXPECT_EQ(font.Height(), -12);
    EXPECT_EQ(font.Size(), 9);
    EXPECT_EQ(font.PixelsPerInch(), 96);
    EXPECT_EQ(font.Color(), clWindowText);
    EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(font.Pitch(), fpDefault);
    EXPECT_EQ(font.Style(), TFontStyles{});

    EXPECT_TRUE(IsDefaultOrdValue(&font, GetPropInfo(&font, "Pitch")));
    EXPECT_TRUE(IsDefaultOrdValue(&font, GetPropInfo(&font, "Style")));
    EXPECT_FALSE(GetPropInfo(&font, "Size")->IsStored(font));
    EXPECT_EQ(GetPropInfo(&font, "Color")->PropType()->Name, String("TColor"));
}

TEST_F(GraphicsObjects, FontSizeAndHeightConvertThroughPixelsPerInch) {
    struct {
        int size, height;
    } const cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {16, -21}};
    TFont font;
    for (const auto& [size, height] : cases) {
        font.SetSize(size);
        EXPECT_EQ(font.Height(), height) << size << " pt";
        font.SetHeight(height);
        EXPECT_EQ(font.Size(), size) << height << " px";
    }
    font.SetPixelsPerInch(120);
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -15);
}

TEST_F(GraphicsObjects, TheFontMakesItsHandleWhenAskedAndAgainAfterADescriptionChange) {
    TFont font;
    TChangeCounter changes(font);
    EXPECT_FALSE(font.HandleAllocated());
    font.SetName(kTestFaceName);
    font.SetStyle(TFontStyles{fsBold, fsUnderline});
    EXPECT_FALSE(font.HandleAllocated());
    EXPECT_EQ(changes.count, 2);

    const HFONT first = font.Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(font.Handle(), first);
    LOGFONTW lf = LogFontOf(first);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(std::u16string_view(lf.lfFaceName), std::u16string_view(kTestFaceName));

    font.SetColor(clRed); // not part of the handle
    EXPECT_TRUE(font.HandleAllocated());
    EXPECT_EQ(changes.count, 3);

    font.SetSize(12);
    EXPECT_FALSE(font.HandleAllocated());
    EXPECT_EQ(changes.count, 4);
    EXPECT_EQ(LogFontOf(font.Handle()).lfHeight, -16);

    // Setting what is already there tells nobody.
    font.SetSize(12);
    font.SetColor(clRed);
    font.SetStyle(TFontStyles{fsBold, fsUnderline});
    EXPECT_EQ(changes.count, 4);
}

TEST_F(GraphicsObjects, AFontGivenAHandleTakesItsDescriptionAndDeletesItLater) {
    const size_t fonts = GdiLiveObjects(OBJ_FONT);
    {
        TFont font;
        TChangeCounter changes(font);
        font.SetColor(clGreen);
        const HFONT given = CreateFontW(-20, 0, 0, 0, FW_BOLD, 1, 0, 1, GB2312_CHARSET, 0, 0, 0, FIXED_PITCH,
                                        kTestFaceName);
        font.SetHandle(given);
        EXPECT_EQ(font.Handle(), given);
        EXPECT_EQ(font.Name(), String(kTestFaceName));
        EXPECT_EQ(font.Height(), -20);
        EXPECT_EQ(font.Size(), 15);
        EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic, fsStrikeOut}));
        EXPECT_EQ(font.Charset(), GB2312_CHARSET);
        EXPECT_EQ(font.Pitch(), fpFixed);
        EXPECT_EQ(font.Color(), clGreen);
        EXPECT_EQ(changes.count, 2);

        font.SetHeight(-30); // makes another: the given one is deleted
        EXPECT_EQ(GdiLiveObjects(OBJ_FONT), fonts);
        font.Handle();
    }
    EXPECT_EQ(GdiLiveObjects(OBJ_FONT), fonts);
}

TEST_F(GraphicsObjects, AssignCopiesTheWholeDescriptionWithOneChangeAndRefusesOtherClasses) {
    TFont source;
    source.SetName(kTestFaceName);
    source.SetHeight(-17);
    source.SetStyle(TFontStyles{fsItalic});
    source.SetColor(clHighlight);
    source.SetCharset(GB2312_CHARSET);
    source.SetPitch(fpVariable);
    TFont font;
    font.Handle();
    TChangeCounter changes(font);
    font.Assign(&source);
    EXPECT_EQ(changes.count, 1);
    EXPECT_FALSE(font.HandleAllocated());
    EXPECT_EQ(font.Name(), source.Name());
    EXPECT_EQ(font.Height(), -17);
    EXPECT_EQ(font.Style(), TFontStyles{fsItalic});
    EXPECT_EQ(font.Color(), clHighlight);
    EXPECT_EQ(font.Charset(), GB2312_CHARSET);
    EXPECT_EQ(font.Pitch(), fpVariable);
    EXPECT_EQ(LogFontOf(font.Handle()).lfPitchAndFamily & 0x0F, VARIABLE_PITCH);

    TPen pen;
    EXPECT_THROW(font.Assign(&pen), EConvertError);

    TPen other;
    other.SetColor(clBtnShadow);
    other.SetWidth(3);
    other.SetStyle(psInsideFrame);
    other.SetMode(pmXor);
    pen.Assign(&other);
    EXPECT_EQ(pen.Color(), clBtnShadow);
    EXPECT_EQ(pen.Width(), 3);
    EXPECT_EQ(pen.Style(), psInsideFrame);
    EXPECT_EQ(pen.Mode(), pmXor);

    TBrush brush;
    TBrush clear;
    clear.SetStyle(bsClear);
    brush.Assign(&clear);
    EXPECT_EQ(brush.Style(), bsClear);
}

TEST_F(GraphicsObjects, PenHandlesFollowColourWidthAndStyle) {
    TPen pen;
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Style(), psSolid);
    EXPECT_EQ(pen.Mode(), pmCopy);
    for (const char* name : {"Color", "Width", "Style", "Mode"})
        EXPECT_TRUE(IsDefaultOrdValue(&pen, GetPropInfo(&pen, name))) << name;

    TChangeCounter changes(pen);
    pen.SetColor(clBtnShadow);
    pen.SetWidth(2);
    LOGPEN lp{};
    ASSERT_NE(GetObjectW(ToGdiObject(pen.Handle()), sizeof lp, &lp), 0);
    EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(lp.lopnWidth.x, 2);
    EXPECT_EQ(lp.lopnStyle, PS_SOLID);

    pen.SetStyle(psDashDot); // drawn solid
    ASSERT_NE(GetObjectW(ToGdiObject(pen.Handle()), sizeof lp, &lp), 0);
    EXPECT_EQ(lp.lopnStyle, PS_SOLID);
    pen.SetStyle(psClear);
    ASSERT_NE(GetObjectW(ToGdiObject(pen.Handle()), sizeof lp, &lp), 0);
    EXPECT_EQ(lp.lopnStyle, PS_NULL);

    const HPEN handle = pen.Handle();
    pen.SetMode(pmNotXor); // the canvas applies it; the handle stays
    EXPECT_EQ(pen.Handle(), handle);
    EXPECT_EQ(changes.count, 5);
    EXPECT_EQ(PenModeToRop2(pmCopy), R2_COPYPEN);
    EXPECT_EQ(PenModeToRop2(pmNot), R2_NOT);
    EXPECT_EQ(PenModeToRop2(pmMergePenNot), R2_MERGEPENNOT);
}

TEST_F(GraphicsObjects, BrushHandlesAreSolidClearOrThePattern) {
    TBrush brush;
    EXPECT_EQ(brush.Color(), clWhite);
    EXPECT_EQ(brush.Style(), bsSolid);
    EXPECT_TRUE(IsDefaultOrdValue(&brush, GetPropInfo(&brush, "Color")));
    EXPECT_TRUE(IsDefaultOrdValue(&brush, GetPropInfo(&brush, "Style")));

    LOGBRUSH lb{};
    brush.SetColor(clInfoBk);
    ASSERT_NE(GetObjectW(ToGdiObject(brush.Handle()), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_INFOBK));

    brush.SetStyle(bsClear);
    ASSERT_NE(GetObjectW(ToGdiObject(brush.Handle()), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, BS_NULL);
    brush.SetColor(clRed); // a colour makes the brush solid again
    EXPECT_EQ(brush.Style(), bsSolid);
    ASSERT_NE(GetObjectW(ToGdiObject(brush.Handle()), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    EXPECT_EQ(lb.lbColor, 0x0000FFu);

    const HBITMAP pattern = NewDibSection(8, -8, 32);
    brush.SetBitmap(pattern);
    ASSERT_NE(GetObjectW(ToGdiObject(brush.Handle()), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, BS_PATTERN);
    EXPECT_EQ(lb.lbHatch, reinterpret_cast<ULONG_PTR>(pattern));
    brush.SetBitmap(nullptr);
    ASSERT_NE(GetObjectW(ToGdiObject(brush.Handle()), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    DeleteObject(ToGdiObject(pattern));
}

TEST(Themes, AreOff) { EXPECT_FALSE(ThemeServices().ThemesEnabled()); }

} // namespace
