#include "ControlFixture.h"
#include "DibFixture.h"

#include "platform/ui/PopupMenu.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/paint/Composite.h"

namespace {

// A windowed control that fills its client area and draws a frame.
class TFilledPanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;
    TColor fill = clGreen;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(fill);
        Canvas()->FillRect(ClientRect());
        Canvas()->Pen()->SetColor(clBlack);
        Canvas()->MoveTo(0, 0);
        Canvas()->LineTo(Width() - 1, Height() - 1);
    }
};

// A filled panel in a sunken border that the window system draws around its client area.
class TBorderedPanel : public TFilledPanel {
public:
    using TFilledPanel::TFilledPanel;

protected:
    void CreateParams(TCreateParams& params) override {
        TFilledPanel::CreateParams(params);
        params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

// A window-less control that paints well beyond its bounds.
class TSpillingGraphic : public TTestGraphic {
public:
    using TTestGraphic::TTestGraphic;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(fill);
        Canvas()->FillRect({-20, -20, Width() + 20, Height() + 20});
    }
};

// A window-less control that paints nothing.
class TEmptyGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

class PaintTest : public FormTest {
protected:
    // A form with a windowed child holding window-less ones, and window-less ones of its own.
    void BuildForm() {
        form = ShownForm({100, 100, 340, 260});
        form->SetColor(clSilver);
        panel = new TFilledPanel(form);
        panel->SetBounds(20, 30, 120, 80);
        panel->SetParent(form);
        inner = new TTestGraphic(form);
        inner->fill = clBlue;
        inner->SetBounds(10, 10, 30, 20);
        inner->SetParent(panel);
        lower = new TTestGraphic(form);
        lower->fill = clYellow;
        lower->SetBounds(160, 20, 50, 50);
        lower->SetParent(form);
        upper = new TSpillingGraphic(form);
        upper->fill = clMaroon;
        upper->SetBounds(190, 40, 30, 60);
        upper->SetParent(form);
        RunUntilIdle();
    }
    // The form's pixels as the desktop shows them.
    std::vector<uint32_t> Shown() {
        RECT r;
        GetWindowRect(form->Handle(), &r);
        return ComposeDesktop(r).pixels;
    }
    std::vector<uint32_t> Painted() {
        TDibDc dib(form->Width(), form->Height());
        dib.Fill(RGB(1, 2, 3));
        form->PaintTo(dib.dc, 0, 0);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x) pixels.push_back(PixelOf(dib.At(x, y)));
        return pixels;
    }
    uint32_t ShownAt(TControl* control, int x, int y) {
        const TPoint p = control->ClientToScreen({x, y});
        return ComposeDesktop(RECT{p.X, p.Y, p.X + 1, p.Y + 1}).Pixel(p.X, p.Y) | 0xFF000000u;
    }

    TForm* form = nullptr;
    TFilledPanel* panel = nullptr;
    TTestGraphic* inner = nullptr;
    TTestGraphic* lower = nullptr;
    TSpillingGraphic* upper = nullptr;
};

uint32_t Pixel(TColor color) { return PixelOf(COLORREF(ColorToRGB(color))); }

size_t Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    size_t n = a.size() == b.size() ? 0 : std::max(a.size(), b.size());
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += (a[i] | 0xFF000000u) != (b[i] | 0xFF000000u);
    return n;
}

TEST_F(PaintTest, PaintToGivesThePixelsTheDesktopShows) {
    BuildForm();
    const std::vector<uint32_t> shown = Shown();
    ASSERT_EQ(shown.size(), size_t(form->Width() * form->Height()));
    EXPECT_EQ(Differences(Painted(), shown), 0u);
    // And the picture is the one built: children in place, each clipped, in z-order.
    EXPECT_EQ(ShownAt(form, 5, 5), Pixel(clSilver));
    EXPECT_EQ(ShownAt(panel, 100, 70), Pixel(clGreen));
    EXPECT_EQ(ShownAt(inner, 5, 5), Pixel(clBlue));
    EXPECT_EQ(ShownAt(lower, 5, 5), Pixel(clYellow));
    EXPECT_EQ(ShownAt(upper, 5, 5), Pixel(clMaroon));       // above the lower one
    EXPECT_EQ(ShownAt(upper, -5, -5), Pixel(clYellow));     // its spill is clipped away
    EXPECT_EQ(ShownAt(upper, 5, 65), Pixel(clSilver));

    // Bringing the lower one to the front repaints the overlap.
    lower->BringToFront();
    RunUntilIdle();
    EXPECT_EQ(ShownAt(upper, 5, 5), Pixel(clYellow));
    EXPECT_EQ(Differences(Painted(), Shown()), 0u);
}

TEST_F(PaintTest, RealignedChildrenArePaintedWhereTheyWentAndNothingStaysBehind) {
    BuildForm();
    // Moved by alignment, the children paint nothing on the way; the form is painted once after.
    panel->SetAlign(alRight);
    lower->SetAlign(alBottom);
    RunUntilIdle();
    EXPECT_EQ(Differences(Painted(), Shown()), 0u);
    form->SetBounds(form->Left(), form->Top(), 300, 200);
    RunUntilIdle();
    EXPECT_EQ(ShownAt(panel, 100, 70), Pixel(clGreen));
    EXPECT_EQ(Differences(Painted(), Shown()), 0u);
}

TEST_F(PaintTest, EnlargingAFormRepaintsTheBordersOfItsAlignedChildren) {
    form = ShownForm({0, 0, 640, 400});
    for (TAlign align : {alTop, alLeft, alClient}) {
        auto* child = new TBorderedPanel(form);
        child->SetAlign(align);
        child->SetParent(form);
    }
    RunUntilIdle();
    form->SetBounds(0, 0, 1240, 760);
    RunUntilIdle();
    EXPECT_EQ(Differences(Painted(), Shown()), 0u);
}

TEST_F(PaintTest, AnOpaqueWindowLessChildIsLeftToPaintItsPartAlone) {
    BuildForm();
    auto* opaque = new TEmptyGraphic(form);
    opaque->SetControlStyle(opaque->ControlStyle() + TControlStyle{csOpaque});
    opaque->SetBounds(60, 40, 20, 20);
    opaque->SetParent(panel);
    auto* clear = new TEmptyGraphic(form);
    clear->SetBounds(90, 40, 20, 20);
    clear->SetParent(panel);
    panel->SetColor(clWhite);
    panel->Invalidate();
    RunUntilIdle();
    // The panel's own painting skips the opaque child; the background is all there is.
    EXPECT_EQ(ShownAt(opaque, 10, 10), Pixel(clWhite));
    EXPECT_EQ(ShownAt(clear, 10, 10), Pixel(clGreen));
}

TEST_F(PaintTest, DoubleBufferingPaintsTheSamePixels) {
    BuildForm();
    const std::vector<uint32_t> direct = Shown();
    for (TWinControl* c : std::initializer_list<TWinControl*>{form, panel}) c->SetDoubleBuffered(true);
    form->Repaint();
    panel->Repaint();
    RunUntilIdle();
    EXPECT_EQ(Differences(Shown(), direct), 0u);
    inner->fill = clRed;
    inner->Invalidate();
    RunUntilIdle();
    EXPECT_EQ(ShownAt(inner, 5, 5), Pixel(clRed));
    EXPECT_EQ(Differences(Painted(), Shown()), 0u);
}

class TRecordingPopupMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override { events->push_back("popup " + std::to_string(x) + "," + std::to_string(y)); }
    std::vector<std::string>* events = nullptr;
};

TEST_F(PaintTest, ARightClickAsksOnContextPopupBeforeThePopupMenu) {
    BuildForm();
    std::vector<std::string> events;
    auto* menu = new TRecordingPopupMenu(form);
    menu->events = &events;
    bool take = false;
    auto contextPopup = [&](const char* name) {
        return [&events, &take, name](TObject*, TPoint pos, bool& handled) {
            events.push_back(std::string(name) + " " + std::to_string(pos.X) + "," + std::to_string(pos.Y));
            handled = take;
        };
    };
    for (TControl* c : std::initializer_list<TControl*>{lower, panel, inner}) c->SetPopupMenu(menu);
    lower->OnContextPopup = contextPopup("lower");
    panel->OnContextPopup = contextPopup("panel");
    auto rightClick = [&](TControl* c, int x, int y) {
        const TPoint p = c->ClientToScreen({x, y});
        DesktopMouseMove({p.X, p.Y});
        DesktopMouseButton(TDesktopButton::Right, true, {p.X, p.Y});
        DesktopMouseButton(TDesktopButton::Right, false, {p.X, p.Y});
        Application().ProcessMessages();
        return " " + std::to_string(p.X) + "," + std::to_string(p.Y);
    };

    std::string at = rightClick(lower, 7, 9);
    EXPECT_EQ(events, (std::vector<std::string>{"lower 7,9", "popup" + at}));
    EXPECT_EQ(menu->PopupComponent(), lower);

    events.clear();
    at = rightClick(panel, 70, 50);
    EXPECT_EQ(events, (std::vector<std::string>{"panel 70,50", "popup" + at}));
    EXPECT_EQ(menu->PopupComponent(), panel);

    // A window-less child of the panel: its own menu, the panel not asked.
    events.clear();
    at = rightClick(inner, 3, 4);
    EXPECT_EQ(events, (std::vector<std::string>{"popup" + at}));
    EXPECT_EQ(menu->PopupComponent(), inner);

    // Handled in OnContextPopup: no menu.
    events.clear();
    take = true;
    rightClick(lower, 7, 9);
    EXPECT_EQ(events, (std::vector<std::string>{"lower 7,9"}));

    // From the keyboard: (-1, -1), and the menu at the control's corner.
    events.clear();
    take = false;
    panel->SetTabStop(true);
    panel->SetFocus();
    Application().ProcessMessages();
    ASSERT_TRUE(panel->Focused());
    DesktopKey(VK_APPS, true);
    DesktopKey(VK_APPS, false);
    Application().ProcessMessages();
    const TPoint corner = panel->ClientToScreen({0, 0});
    EXPECT_EQ(events, (std::vector<std::string>{"panel -1,-1", "popup " + std::to_string(corner.X) + "," +
                                                                     std::to_string(corner.Y)}));
}

} // namespace
