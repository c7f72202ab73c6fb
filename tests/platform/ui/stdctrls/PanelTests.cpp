#include "../ControlFixture.h"
#include "../DibFixture.h"

#include "platform/ui/stdctrls/Panel.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class PanelTest : public FormTest {
protected:
    TPanel* AddPanel(TWinControl* parent, TRect bounds) {
        auto* panel = new TPanel(form);
        panel->SetBoundsRect(bounds);
        panel->SetParent(parent);
        return panel;
    }
    void Click(TControl* control, int x, int y) {
        const TPoint p = control->ClientToScreen({x, y});
        DesktopMouseButton(TDesktopButton::Left, true, {p.X, p.Y});
        DesktopMouseButton(TDesktopButton::Left, false, {p.X, p.Y});
        Application().ProcessMessages();
    }

    TForm* form = ShownForm({100, 100, 500, 400});
};

// The bevels, the border between them and the face: what the panel paints,
// ring by ring from the edge, and the room its aligned children get.
TEST_F(PanelTest, BevelsAndBorderFrameTheFaceAndTheChildren) {
    const COLORREF light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
    struct TCase {
        const char* name;
        TBevelCut outer, inner;
        int bevelWidth, borderWidth;
        // Top-left and bottom-right pixel of each ring from the edge inwards, then the face.
        std::vector<std::pair<COLORREF, COLORREF>> rings;
    } const cases[] = {
        {"raised (the default)", bvRaised, bvNone, 1, 0, {{light, dark}, {face, face}}},
        {"lowered", bvLowered, bvNone, 1, 0, {{dark, light}, {face, face}}},
        {"raised, border, lowered", bvRaised, bvLowered, 1, 1, {{light, dark}, {face, face}, {dark, light}, {face, face}}},
        {"two pixels wide", bvLowered, bvNone, 2, 0, {{dark, light}, {dark, light}, {face, face}}},
        {"no bevels", bvNone, bvNone, 1, 0, {{face, face}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPanel* panel = AddPanel(form, {10, 10, 110, 60});
        panel->SetBevelOuter(c.outer);
        panel->SetBevelInner(c.inner);
        panel->SetBevelWidth(c.bevelWidth);
        panel->SetBorderWidth(c.borderWidth);
        auto* child = new TTestPanel(form);
        child->SetAlign(alClient);
        child->SetParent(panel);

        TDibDc dib(100, 50);
        SendMessageW(panel->Handle(), WM_PAINT, WPARAM(dib.dc), 0);
        for (int i = 0; i < int(c.rings.size()); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(dib.At(i, i), c.rings[size_t(i)].first);
            EXPECT_EQ(dib.At(99 - i, 49 - i), c.rings[size_t(i)].second);
        }
        const int frame = int(c.rings.size()) - 1;
        EXPECT_EQ(child->BoundsRect(), (TRect{frame, frame, 100 - frame, 50 - frame}));
        delete panel;
    }
}

TEST_F(PanelTest, TheCaptionIsDrawnWhereTheAlignmentPutsIt) {
    TPanel* panel = AddPanel(form, {0, 0, 200, 40});
    panel->SetBevelOuter(bvNone);
    panel->Font()->SetColor(clBlack);
    panel->SetCaption(u"WWW");
    const COLORREF black = ColorToRGB(clBlack);
    // The columns where ink is found along the middle band.
    auto inkColumns = [&](TAlignment alignment) {
        panel->SetAlignment(alignment);
        TDibDc dib(200, 40);
        SendMessageW(panel->Handle(), WM_PAINT, WPARAM(dib.dc), 0);
        int first = -1, last = -1;
        for (int x = 0; x < 200; ++x)
            for (int y = 5; y < 35; ++y)
                if (dib.At(x, y) == black) {
                    if (first < 0) first = x;
                    last = x;
                }
        return std::pair{first, last};
    };
    const auto [leftFirst, leftLast] = inkColumns(taLeftJustify);
    const auto [centreFirst, centreLast] = inkColumns(taCenter);
    const auto [rightFirst, rightLast] = inkColumns(taRightJustify);
    ASSERT_GE(leftFirst, 0);
    EXPECT_LT(leftFirst, 5);
    EXPECT_GT(rightLast, 194);
    EXPECT_NEAR(centreFirst + centreLast, 200, 3);
    EXPECT_EQ(leftLast - leftFirst, rightLast - rightFirst);
}

// A disabled panel takes its children with it: clicks and focus do not
// reach them, and they come back when it is enabled again.
TEST_F(PanelTest, DisablingThePanelMakesItsChildrenRefuseInput) {
    TPanel* panel = AddPanel(form, {0, 0, 300, 200});
    auto* child = new TTestPanel(form);
    child->SetTabStop(true);
    child->SetBounds(20, 20, 100, 50);
    child->SetParent(panel);
    child->log.watched = {WM_LBUTTONDOWN};
    PumpMessages();

    panel->SetEnabled(false);
    Click(child, 10, 10);
    EXPECT_TRUE(child->log.seen.empty());
    EXPECT_FALSE(child->CanFocus());
    EXPECT_TRUE(child->Enabled()) << "the child keeps its own setting";

    panel->SetEnabled(true);
    Click(child, 10, 10);
    EXPECT_EQ(child->log.Messages(), std::vector<UINT>{WM_LBUTTONDOWN});
    EXPECT_TRUE(child->CanFocus());
}

// Focus on a child goes when its panel is disabled.
TEST_F(PanelTest, DisablingThePanelTakesTheFocusFromItsChild) {
    TPanel* panel = AddPanel(form, {0, 0, 300, 200});
    auto* child = new TTestPanel(form);
    child->SetTabStop(true);
    child->SetParent(panel);
    child->SetFocus();
    PumpMessages();
    ASSERT_EQ(GetFocus(), child->Handle());
    panel->SetEnabled(false);
    PumpMessages();
    EXPECT_NE(GetFocus(), child->Handle());
}

TEST_F(PanelTest, ASingleBorderIsAClientEdgeThatANewWindowKeeps) {
    TPanel* panel = AddPanel(form, {0, 0, 100, 50});
    EXPECT_EQ(GetWindowLongW(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    panel->SetBorderStyle(kSingleBorder);
    EXPECT_NE(GetWindowLongW(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_LT(panel->ClientWidth(), 100);
    panel->SetCtl3D(false);
    EXPECT_EQ(GetWindowLongW(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLongW(panel->Handle(), GWL_STYLE) & WS_BORDER, 0);
}

} // namespace
