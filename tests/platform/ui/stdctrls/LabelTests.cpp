#include <string>

#include "../ControlFixture.h"
#include "../DialogControls.h"
#include "../DibFixture.h"

#include "platform/ui/stdctrls/Label.h"
#include "platform/ui/stdctrls/Panel.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class LabelTest : public FormTest {
protected:
    TLabel* AddLabel(const String& caption, TRect bounds = {10, 10, 75, 27}) {
        auto* label = new TLabel(form);
        label->SetBoundsRect(bounds);
        label->SetCaption(caption);
        label->SetParent(host);
        return label;
    }
    // The text's size in the label's font.
    TSize Extent(TLabel* label, const String& text) {
        TDibDc dib(1, 1);
        TCanvas canvas;
        canvas.SetHandle(dib.dc);
        canvas.SetFont(label->Font());
        const TSize size = canvas.TextExtent(text);
        canvas.SetHandle(nullptr);
        return size;
    }
    // The host's pixels under the label, with the label's top-left at (0, 0).
    std::unique_ptr<TDibDc> Painted(TLabel* label) {
        TDibDc dib(host->Width(), host->Height());
        host->PaintTo(dib.dc, 0, 0);
        auto shot = std::make_unique<TDibDc>(label->Width(), label->Height());
        BitBlt(shot->dc, 0, 0, label->Width(), label->Height(), dib.dc, label->Left(), label->Top(), SRCCOPY);
        return shot;
    }
    // Rows of the label holding ink of the colour.
    static std::pair<int, int> InkRows(const TDibDc& dib, COLORREF ink) {
        int first = -1, last = -1;
        for (int y = 0; y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x)
                if (dib.At(x, y) == ink) {
                    if (first < 0) first = y;
                    last = y;
                }
        return {first, last};
    }

    TForm* form = ShownForm({100, 100, 500, 400});
    // A plain face for the labels to sit on.
    TPanel* host = [this] {
        auto* panel = new TPanel(form);
        panel->SetBevelOuter(bvNone);
        panel->SetAlign(alClient);
        panel->SetParent(form);
        return panel;
    }();
};

// AutoSize measures the text shown: the accelerator mark takes no room unless
// it is shown as text; an empty label keeps one line; right-aligned labels keep their right edge.
TEST_F(LabelTest, AutoSizeFitsTheTextShown) {
    TLabel* label = AddLabel(u"&Name:");
    const TSize shown = Extent(label, u"Name:");
    EXPECT_EQ(label->Width(), shown.cx);
    EXPECT_EQ(label->Height(), shown.cy);

    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), Extent(label, u"&Name:").cx);

    label->SetCaption(u"");
    EXPECT_EQ(label->Height(), shown.cy);
    EXPECT_GT(label->Width(), 0);

    TLabel* right = AddLabel(u"视频");
    right->SetAlignment(taRightJustify);
    right->SetAutoSize(false);
    right->SetBounds(100, 50, 200, 17);
    right->SetAutoSize(true);
    EXPECT_EQ(right->BoundsRect().Right, 300);
    EXPECT_EQ(right->Width(), Extent(right, u"视频").cx);

    TLabel* fixed = AddLabel(u"x");
    fixed->SetAutoSize(false);
    fixed->SetBounds(10, 10, 200, 40);
    fixed->SetCaption(u"a much longer caption");
    EXPECT_EQ(fixed->Width(), 200);
}

TEST_F(LabelTest, WordWrapBreaksWithinTheWidth) {
    TLabel* label = AddLabel(u"");
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 17);
    label->SetWordWrap(true);
    label->SetAutoSize(true);
    label->SetCaption(u"one two three four");
    EXPECT_LE(label->Width(), 60);
    EXPECT_GE(label->Height(), 2 * Extent(label, u"one").cy);
}

// Alt and the underlined letter focus the label's FocusControl; without
// one, with the mark shown as text or with the label disabled nothing happens.
TEST_F(LabelTest, ItsAcceleratorFocusesTheFocusControl) {
    struct TCase {
        const char* name;
        bool withFocusControl, showAccelChar, enabled;
        UINT key;
        bool focused;
    } const cases[] = {
        {"alt and the letter", true, true, true, 'N', true},
        {"another letter", true, true, true, 'X', false},
        {"no focus control", false, true, true, 'N', false},
        {"the mark shown as text", true, false, true, 'N', false},
        {"a disabled label", true, true, false, 'N', false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto* other = new TTestEdit(form);
        other->SetBounds(10, 100, 80, 20);
        other->SetParent(host);
        auto* target = new TTestEdit(form);
        target->SetBounds(100, 100, 80, 20);
        target->SetParent(host);
        TLabel* label = AddLabel(u"&Name:");
        if (c.withFocusControl) label->SetFocusControl(target);
        label->SetShowAccelChar(c.showAccelChar);
        label->SetEnabled(c.enabled);
        other->SetFocus();
        PumpMessages();

        const String text(1, char16_t(c.key + 'a' - 'A'));
        DesktopKey(VK_MENU, true);
        DesktopKey(c.key, true, text);
        DesktopKey(c.key, false);
        DesktopKey(VK_MENU, false);
        Application().ProcessMessages();
        EXPECT_EQ(GetFocus() == target->Handle(), c.focused);
        delete label;
        delete target;
        delete other;
    }
}

TEST_F(LabelTest, AFreedFocusControlIsForgotten) {
    TLabel* label = AddLabel(u"&Name:");
    auto* target = new TTestEdit(form);
    target->SetParent(host);
    label->SetFocusControl(target);
    delete target;
    EXPECT_EQ(label->FocusControl(), nullptr);
}

// The face: opaque labels fill their bounds with their colour, transparent
// ones leave the parent showing; Layout puts the text at the top, middle or
// bottom; a disabled label draws its text in shadow.
TEST_F(LabelTest, PaintsItsTextWithLayoutTransparencyAndState) {
    host->SetColor(clSilver);
    TLabel* label = AddLabel(u"Mg");
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 60);
    label->SetColor(clYellow);
    label->Font()->SetColor(clBlack);
    const COLORREF black = ColorToRGB(clBlack);
    const int textHeight = Extent(label, u"Mg").cy;

    auto opaque = Painted(label);
    EXPECT_EQ(opaque->At(59, 59), ColorToRGB(clYellow));
    const auto [top, topEnd] = InkRows(*opaque, black);
    EXPECT_GE(top, 0);
    EXPECT_LT(topEnd, textHeight);

    label->SetTransparent(true);
    EXPECT_EQ(Painted(label)->At(59, 59), ColorToRGB(clSilver));

    label->SetLayout(tlBottom);
    const auto [bottom, bottomEnd] = InkRows(*Painted(label), black);
    EXPECT_GE(bottom, 60 - textHeight);
    label->SetLayout(tlCenter);
    const auto [centre, centreEnd] = InkRows(*Painted(label), black);
    EXPECT_NEAR(centre - top, (60 - textHeight) / 2, 1);

    label->SetEnabled(false);
    auto disabled = Painted(label);
    EXPECT_EQ(InkRows(*disabled, black).first, -1);
    EXPECT_GE(InkRows(*disabled, ColorToRGB(clBtnShadow)).first, 0);
}

} // namespace
