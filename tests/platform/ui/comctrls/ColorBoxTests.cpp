#include "../ControlFixture.h"
#include "../DibFixture.h"

#include "platform/ui/comctrls/ColorBox.h"
#include "platform/win/User.h"

namespace {

class ColorBoxTest : public FormTest {
protected:
    TColorBox* MakeBox(TColorBoxStyles style) {
        auto* box = new TColorBox(form);
        box->SetStyle(style);
        box->SetBounds(10, 10, 150, 22);
        box->SetParent(form);
        box->OnChange = [this](TObject*) { ++changes; };
        return box;
    }
    // Item Index drawn as the list draws it, into a white 150×20 raster.
    static void DrawItem(TColorBox* box, int index, TDibDc& dib) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_COMBOBOX;
        item.itemID = UINT(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = box->Handle();
        item.hDC = dib.dc;
        item.rcItem = {0, 0, dib.width, dib.height};
        box->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
    // The leftmost column right of the swatch holding ink of Colour.
    static int TextStart(const TDibDc& dib, COLORREF colour) {
        for (int x = 20; x < dib.width; ++x)
            for (int y = 0; y < dib.height; ++y)
                if (dib.At(x, y) == colour) return x;
        return -1;
    }

    TForm* form = ShownForm({100, 100, 400, 300});
    int changes = 0;
};

TEST_F(ColorBoxTest, StandardColorsCarryTheirPlainNamesAndSwatches) {
    TColorBox* box = MakeBox({cbStandardColors, cbPrettyNames});
    const struct {
        const char16_t* name;
        TColor color;
    } expected[] = {{u"Black", clBlack},   {u"Maroon", clMaroon}, {u"Green", clGreen},  {u"Olive", clOlive},
                    {u"Navy", clNavy},     {u"Purple", clPurple}, {u"Teal", clTeal},    {u"Gray", clGray},
                    {u"Silver", clSilver}, {u"Red", clRed},       {u"Lime", clLime},    {u"Yellow", clYellow},
                    {u"Blue", clBlue},     {u"Fuchsia", clFuchsia}, {u"Aqua", clAqua}, {u"White", clWhite}};
    ASSERT_EQ(box->Items()->Count(), 16);
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(box->ColorNames(i), expected[i].name);
        EXPECT_EQ(box->Colors(i), expected[i].color);
        TDibDc dib(150, 20);
        DrawItem(box, i, dib);
        EXPECT_EQ(dib.At(2, 2), RGB(0, 0, 0)) << "the swatch's frame";
        EXPECT_EQ(dib.At(9, 10), ColorToRGB(expected[i].color)) << "the swatch";
        EXPECT_GT(TextStart(dib, ColorToRGB(box->Font()->Color())), 17) << "the name after the swatch";
    }
    box->SetStyle({cbStandardColors});
    EXPECT_EQ(box->ColorNames(11), u"clYellow") << "without pretty names";
}

TEST_F(ColorBoxTest, SelectedFollowsTheChosenItem) {
    TColorBox* box = MakeBox({cbStandardColors, cbPrettyNames});
    box->SetSelected(clYellow);
    EXPECT_EQ(box->ColorNames(box->ItemIndex()), u"Yellow");
    EXPECT_EQ(box->Selected(), clYellow);

    box->SetFocus();
    DesktopPress(VK_DOWN);
    Application().ProcessMessages();
    EXPECT_EQ(box->ColorNames(box->ItemIndex()), u"Blue");
    EXPECT_EQ(box->Selected(), clBlue);
    EXPECT_EQ(changes, 1);

    box->SetSelected(clMoneyGreen);
    EXPECT_EQ(box->ItemIndex(), -1) << "not in the list";
    EXPECT_EQ(box->Selected(), clBlack);

    box->SetSelected(clTeal);
    box->SetStyle({cbStandardColors, cbExtendedColors});
    EXPECT_EQ(box->Selected(), clTeal) << "kept across a new list";
    EXPECT_EQ(box->ColorNames(box->ItemIndex()), u"clTeal");
}

TEST_F(ColorBoxTest, CustomNoneAndDefaultItems) {
    TColorBox* box = MakeBox({cbCustomColor, cbStandardColors, cbIncludeNone, cbIncludeDefault, cbPrettyNames});
    ASSERT_EQ(box->Items()->Count(), 19);
    EXPECT_EQ(box->ColorNames(17), u"None");
    EXPECT_EQ(box->ColorNames(18), u"Default");
    box->SetSelected(clBlack);
    EXPECT_EQ(box->ItemIndex(), 1) << "a listed colour is not the custom item";
    box->SetSelected(TColor(0x123456));
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(box->Selected(), TColor(0x123456));

    box->SetNoneColorColor(clRed);
    box->SetDefaultColorColor(clLime);
    for (auto [index, swatch] : {std::pair{17, clRed}, std::pair{18, clLime}}) {
        TDibDc dib(150, 20);
        DrawItem(box, index, dib);
        EXPECT_EQ(dib.At(9, 10), ColorToRGB(swatch));
    }
}

} // namespace
