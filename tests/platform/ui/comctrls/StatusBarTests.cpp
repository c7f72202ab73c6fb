#include "../ControlFixture.h"
#include "../DibFixture.h"

#include "platform/ui/comctrls/StatusBar.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

namespace {

class StatusBarFrameworkTest : public FormTest {
protected:
    TStatusBar* AddBar() {
        auto* bar = new TStatusBar(form);
        bar->SetParent(form);
        bar->Font()->SetColor(clBlack);
        return bar;
    }
    RECT PartRect(TStatusBar* bar, int part) {
        RECT r{};
        EXPECT_TRUE(SendMessageW(bar->Handle(), SB_GETRECT, WPARAM(part), reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    // The columns (first, last) holding black ink in the bar's painting; -1 when none.
    std::pair<int, int> InkColumns(TStatusBar* bar) {
        TDibDc dib(bar->Width(), bar->Height());
        SendMessageW(bar->Handle(), WM_PAINT, WPARAM(dib.dc), 0);
        int first = -1, last = -1;
        for (int x = 0; x < dib.width; ++x)
            for (int y = 0; y < dib.height; ++y)
                if (dib.At(x, y) == ColorToRGB(clBlack)) {
                    if (first < 0) first = x;
                    last = x;
                }
        return {first, last};
    }

    TForm* form = ShownForm({100, 100, 500, 300});
};

TEST_F(StatusBarFrameworkTest, APanelShowsItsTextWithinItsWidthAtTheFormsBottom) {
    TStatusBar* bar = AddBar();
    TStatusPanel* panel = bar->Panels()->Add();
    panel->SetWidth(240);
    panel->SetText(u"Position: 0:00:05");
    EXPECT_EQ(bar->BoundsRect(), (TRect{0, form->ClientHeight() - bar->Height(), form->ClientWidth(),
                                        form->ClientHeight()}));
    EXPECT_EQ(PartRect(bar, 0), (RECT{0, 2, 240, bar->Height()}));
    const auto [first, last] = InkColumns(bar);
    EXPECT_GT(first, 0);
    EXPECT_LT(last, 240);

    form->SetWidth(form->Width() + 50);
    EXPECT_EQ(bar->Width(), form->ClientWidth()) << "the framework keeps it aligned";
    EXPECT_EQ(PartRect(bar, 0), (RECT{0, 2, 240, bar->Height()}));
}

TEST_F(StatusBarFrameworkTest, AlignmentPlacesThePanelsText) {
    TStatusBar* bar = AddBar();
    TStatusPanel* panel = bar->Panels()->Add();
    panel->SetWidth(240);
    panel->SetText(u"状态");
    panel->SetAlignment(taLeftJustify);
    const auto [leftFirst, leftLast] = InkColumns(bar);
    const int inkWidth = leftLast - leftFirst;
    panel->SetAlignment(taCenter);
    const auto [centreFirst, centreLast] = InkColumns(bar);
    EXPECT_NEAR((centreFirst + centreLast) / 2, 120, 2);
    panel->SetAlignment(taRightJustify);
    const auto [rightFirst, rightLast] = InkColumns(bar);
    EXPECT_EQ(rightLast - rightFirst, inkWidth);
    EXPECT_GT(rightLast, 230);
    EXPECT_LT(rightLast, 240);
}

TEST_F(StatusBarFrameworkTest, SimplePanelShowsSimpleTextInstead) {
    TStatusBar* bar = AddBar();
    bar->Panels()->Add()->SetWidth(240);
    bar->Panels()->Items(0)->SetText(u"panel");
    bar->SetSimpleText(u"\t\tsimple");
    bar->SetSimplePanel(true);
    EXPECT_TRUE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
    EXPECT_GT(InkColumns(bar).first, 240) << "only the simple text, at the bar's right";
    bar->SetSimpleText(u"");
    EXPECT_EQ(InkColumns(bar).first, -1) << "the panel's text is not shown";
    bar->SetSimplePanel(false);
    EXPECT_LT(InkColumns(bar).second, 240);
}

TEST_F(StatusBarFrameworkTest, AnOwnerDrawnPanelIsDrawnByOnDrawPanel) {
    TStatusBar* bar = AddBar();
    bar->Panels()->Add()->SetWidth(100);
    TStatusPanel* drawn = bar->Panels()->Add();
    drawn->SetWidth(140);
    drawn->SetStyle(psOwnerDraw);
    TStatusPanel* seen = nullptr;
    TRect seenRect;
    bar->OnDrawPanel = [&](TStatusBar* sender, TStatusPanel* panel, const TRect& rect) {
        EXPECT_EQ(sender, bar);
        seen = panel;
        seenRect = rect;
        sender->Canvas()->Brush()->SetColor(clRed);
        sender->Canvas()->FillRect(rect);
    };
    TDibDc dib(bar->Width(), bar->Height());
    SendMessageW(bar->Handle(), WM_PAINT, WPARAM(dib.dc), 0);
    EXPECT_EQ(seen, drawn);
    EXPECT_EQ(seenRect, (TRect{103, 3, 239, bar->Height() - 1})) << "inside the panel's bevel";
    EXPECT_EQ(dib.At(150, bar->Height() / 2), ColorToRGB(clRed));
    EXPECT_NE(dib.At(50, bar->Height() / 2), ColorToRGB(clRed));
}

TEST_F(StatusBarFrameworkTest, PanelsAndSimpleModeSurviveANewWindow) {
    TStatusBar* bar = AddBar();
    TStatusPanel* panel = bar->Panels()->Add();
    panel->SetWidth(240);
    panel->SetText(u"kept");
    panel->SetBevel(pbRaised);
    bar->SetSimpleText(u"simple");
    bar->SetSimplePanel(true);
    const HWND before = bar->Handle();
    bar->SetSizeGrip(false);
    ASSERT_NE(bar->Handle(), before);
    EXPECT_FALSE(GetWindowLongPtrW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
    EXPECT_TRUE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(LOWORD(SendMessageW(bar->Handle(), SB_GETTEXTLENGTHW, SB_SIMPLEID, 0)), 6);
    int edge = 0;
    EXPECT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 1, reinterpret_cast<LPARAM>(&edge)), 1);
    EXPECT_EQ(edge, 240);
    const LRESULT length = SendMessageW(bar->Handle(), SB_GETTEXTLENGTHW, 0, 0);
    EXPECT_EQ(LOWORD(length), 4);
    EXPECT_EQ(HIWORD(length), SBT_POPOUT);
}

TEST_F(StatusBarFrameworkTest, AssignedPanelsReachTheWindow) {
    TStatusBar* source = AddBar();
    for (int width : {100, 140}) source->Panels()->Add()->SetWidth(width);
    source->Panels()->Items(1)->SetText(u"第二");
    source->Panels()->Items(1)->SetAlignment(taCenter);
    TStatusBar* copy = AddBar();
    copy->SetPanels(source->Panels());
    int edges[2] = {};
    EXPECT_EQ(SendMessageW(copy->Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[1], 240);
    std::u16string text(8, u'#');
    SendMessageW(copy->Handle(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text.data()));
    EXPECT_EQ(text.substr(0, 4), std::u16string(u"\t第二\0", 4)) << "centred by a tab";
}

} // namespace
