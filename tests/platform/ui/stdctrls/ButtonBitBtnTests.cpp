#include "../ControlFixture.h"
#include "platform/ui/stdctrls/BitBtn.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class BitBtnTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({0, 0, 320, 240});
        button = new TBitBtn(form);
        button->SetBounds(10, 10, 100, 30);
        button->SetParent(form);
    }
    // The colours (alpha left out) of the button as painted.
    std::vector<uint32_t> Pixels() {
        Application().ProcessMessages();
        RunUntilIdle();
        HWND top = form->Handle();
        RECT window;
        GetWindowRect(top, &window);
        const TPoint origin = button->ClientToScreen({0, 0});
        std::vector<uint32_t> pixels;
        for (int y = 0; y < button->Height(); ++y)
            for (int x = 0; x < button->Width(); ++x)
                pixels.push_back(
                    WindowSurface(top)->Pixel(origin.X - window.left + x, origin.Y - window.top + y) & 0xFFFFFF);
        return pixels;
    }
    static bool Shows(const std::vector<uint32_t>& pixels, TColor color) {
        return std::find(pixels.begin(), pixels.end(), PixelOf(ColorToRGB(color)) & 0xFFFFFF) != pixels.end();
    }
    // Cells of 16 x 16 side by side in the colours given, on the olive transparent colour.
    static void MakeGlyph(TBitmap& glyph, std::initializer_list<TColor> cells) {
        glyph.SetPixelFormat(pf32bit);
        glyph.SetSize(16 * int(cells.size()), 16);
        TCanvas* canvas = glyph.Canvas();
        int left = 0;
        for (TColor color : cells) {
            canvas->Brush()->SetColor(clOlive);
            canvas->FillRect({left, 0, left + 16, 16});
            canvas->Brush()->SetColor(color);
            canvas->FillRect({left + 4, 4, left + 12, 12});
            left += 16;
        }
    }

    TForm* form = nullptr;
    TBitBtn* button = nullptr;
};

TEST_F(BitBtnTest, EachStateDrawsItsGlyphImageAndADisabledLookIsMadeWhenMissing) {
    struct TCase {
        const char* name;
        int numGlyphs;
        bool enabled;
        TColor shown;
        std::vector<TColor> hidden;
    };
    for (const TCase& c : {TCase{"up", 2, true, clRed, {clBlue, clOlive}},
                           TCase{"disabled, second image", 2, false, clBlue, {clRed, clOlive}},
                           TCase{"disabled, made from the first", 1, false, clBtnShadow, {clRed, clOlive}}}) {
        SCOPED_TRACE(c.name);
        TBitmap glyph;
        MakeGlyph(glyph, {clRed, clBlue});
        button->SetGlyph(&glyph);
        button->SetNumGlyphs(c.numGlyphs);
        button->SetEnabled(c.enabled);
        const std::vector<uint32_t> pixels = Pixels();
        EXPECT_TRUE(Shows(pixels, c.shown));
        for (TColor hidden : c.hidden) EXPECT_FALSE(Shows(pixels, hidden)) << hidden;
    }
}

TEST_F(BitBtnTest, KindsGiveCaptionGlyphModalResultAndDefaultOrCancel) {
    struct TCase {
        TBitBtnKind kind;
        const char16_t* caption;
        TModalResult result;
        bool isDefault, isCancel;
    };
    for (const TCase& c : {TCase{bkOK, u"确定", mrOk, true, false}, TCase{bkCancel, u"取消", mrCancel, false, true},
                           TCase{bkYes, u"是(&Y)", mrYes, true, false}, TCase{bkNo, u"否(&N)", mrNo, false, true},
                           TCase{bkAbort, u"中止(&A)", mrAbort, false, true},
                           TCase{bkRetry, u"重试(&R)", mrRetry, false, false},
                           TCase{bkIgnore, u"忽略(&I)", mrIgnore, false, false},
                           TCase{bkAll, u"全部(&A)", mrAll, true, false}, TCase{bkHelp, u"帮助(&H)", mrNone, false, false},
                           TCase{bkClose, u"关闭(&C)", mrNone, false, false}}) {
        SCOPED_TRACE(int(c.kind));
        auto* b = new TBitBtn(form);
        b->SetKind(c.kind);
        EXPECT_EQ(b->Kind(), c.kind);
        EXPECT_EQ(b->Caption(), String(c.caption));
        EXPECT_EQ(b->ModalResult(), c.result);
        EXPECT_EQ(b->Default(), c.isDefault);
        EXPECT_EQ(b->Cancel(), c.isCancel);
        EXPECT_EQ(b->Glyph()->Width(), 16);
        delete b;
    }
    TBitmap glyph;
    MakeGlyph(glyph, {clRed});
    button->SetKind(bkOK);
    button->SetGlyph(&glyph);
    EXPECT_EQ(button->Kind(), bkCustom);
}

TEST_F(BitBtnTest, TheLayoutPlacesGlyphAndCaptionByMarginAndSpacing) {
    struct TCase {
        const char* name;
        TButtonLayout layout;
        int margin, spacing;
        TPoint glyph;
        TPoint text;
    };
    // A 100 x 40 area, a 16 x 16 glyph and a 30 x 14 caption.
    for (const TCase& c : {TCase{"centred pair", blGlyphLeft, -1, 4, {25, 12}, {45, 13}},
                           TCase{"margin", blGlyphLeft, 2, 4, {2, 12}, {22, 13}},
                           TCase{"right", blGlyphRight, 2, 4, {82, 12}, {48, 13}},
                           TCase{"shared space", blGlyphLeft, -1, -1, {18, 12}, {52, 13}},
                           TCase{"top", blGlyphTop, -1, 4, {42, 3}, {35, 23}},
                           TCase{"bottom", blGlyphBottom, 0, 2, {42, 24}, {35, 8}}}) {
        SCOPED_TRACE(c.name);
        const TGlyphLayout placed = CalcButtonLayout({0, 0, 100, 40}, {16, 16}, {30, 14}, c.layout, c.margin, c.spacing);
        EXPECT_EQ(placed.glyph, c.glyph);
        EXPECT_EQ((TPoint{placed.text.Left, placed.text.Top}), c.text);
    }
    // The glyph is drawn where the layout puts it: two pixels inside the face's two-pixel edge.
    TBitmap glyph;
    MakeGlyph(glyph, {clRed});
    button->SetGlyph(&glyph);
    button->SetMargin(2);
    button->SetCaption(u"");
    const std::vector<uint32_t> pixels = Pixels();
    const uint32_t red = PixelOf(ColorToRGB(clRed)) & 0xFFFFFF;
    // The red square starts 4 pixels into the 16 x 16 glyph at x = 2 + 2.
    const int y = 15; // 7 + 4 rows: (30 - 4 - 16 + 1) / 2 + 2 + 4
    EXPECT_EQ(pixels[size_t(y * button->Width() + 8)], red);
    EXPECT_NE(pixels[size_t(y * button->Width() + 7)], red);
}

TEST_F(BitBtnTest, EnterClicksAnOkButtonWhichSetsTheFormsModalResult) {
    button->SetKind(bkOK);
    auto* other = new TBitBtn(form);
    other->SetBounds(150, 10, 100, 30);
    other->SetParent(form);
    other->SetKind(bkIgnore);
    form->SetActiveControl(nullptr);
    form->SetFocus();
    Application().ProcessMessages();
    // The default frame shows on the OK button.
    EXPECT_EQ(Pixels()[0], PixelOf(ColorToRGB(clWindowFrame)) & 0xFFFFFF);
    DesktopKey(VK_RETURN, true);
    DesktopKey(VK_RETURN, false);
    Application().ProcessMessages();
    EXPECT_EQ(form->ModalResult(), mrOk);
}

} // namespace
