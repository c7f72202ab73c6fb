#include "../ControlFixture.h"

#include "platform/ui/stdctrls/Panel.h"
#include "platform/ui/stdctrls/Splitter.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

// A 600 x 400 client area: a panel aligned to one side, a splitter next to
// it and a panel taking the rest, as the main window lays out its frames.
class SplitterTest : public FormTest {
protected:
    void Build(TAlign side, int size) {
        form->SetClientWidth(600);
        form->SetClientHeight(400);
        sidePanel = new TPanel(form);
        sidePanel->SetAlign(side);
        if (side == alLeft || side == alRight)
            sidePanel->SetWidth(size);
        else
            sidePanel->SetHeight(size);
        sidePanel->SetParent(form);
        splitter = new TSplitter(form);
        splitter->SetAlign(side);
        // Placed beyond the side panel, so the alignment puts it next to it.
        splitter->SetBounds(side == alRight ? 0 : 590, side == alBottom ? 0 : 390, 3, 3);
        splitter->SetParent(form);
        rest = new TPanel(form);
        rest->SetAlign(alClient);
        rest->SetParent(form);
        splitter->OnMoved = [this](TObject*) { ++moves; };
        PumpMessages();
    }
    int SideSize() const {
        return sidePanel->Align() == alLeft || sidePanel->Align() == alRight ? sidePanel->Width() : sidePanel->Height();
    }
    // Presses on the splitter's middle, moves the pointer by (dx, dy) in steps and releases.
    void Drag(int dx, int dy, bool release = true) {
        const TPoint start = splitter->ClientToScreen({splitter->Width() / 2, splitter->Height() / 2});
        DesktopMouseMove({start.X, start.Y});
        DesktopMouseButton(TDesktopButton::Left, true, {start.X, start.Y});
        Application().ProcessMessages();
        for (int step = 1; step <= 4; ++step) {
            DesktopMouseMove({start.X + dx * step / 4, start.Y + dy * step / 4});
            Application().ProcessMessages();
        }
        if (!release) return;
        DesktopMouseButton(TDesktopButton::Left, false, {start.X + dx, start.Y + dy});
        Application().ProcessMessages();
    }

    TForm* form = ShownForm({50, 50, 700, 500});
    TPanel* sidePanel = nullptr;
    TSplitter* splitter = nullptr;
    TPanel* rest = nullptr;
    int moves = 0;
};

TEST_F(SplitterTest, DraggingByFortyPixelsWidensTheLeftPanelFrom209To249) {
    Build(alLeft, 209);
    ASSERT_EQ(splitter->Left(), 209);
    Drag(40, 0);
    EXPECT_EQ(sidePanel->Width(), 249);
    EXPECT_EQ(splitter->Left(), 249);
    EXPECT_EQ(rest->BoundsRect(), (TRect{252, 0, 600, 400}));
    EXPECT_GT(moves, 0);
}

// Each side: the control before the splitter grows as the bar moves away from it.
TEST_F(SplitterTest, EachSideResizesTheControlAlignedBeforeIt) {
    struct TCase {
        TAlign side;
        int dx, dy;
        int expected;
        TCursor cursor;
    } const cases[] = {
        {alLeft, 50, 0, 150, crHSplit},
        {alRight, -40, 0, 140, crHSplit},
        {alTop, 0, 30, 130, crVSplit},
        {alBottom, 0, 30, 70, crVSplit},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.side));
        Build(c.side, 100);
        EXPECT_EQ(splitter->Cursor(), c.cursor);
        Drag(c.dx, c.dy);
        EXPECT_EQ(SideSize(), c.expected);
        // The bar follows the control's edge.
        const TRect side = sidePanel->BoundsRect(), bar = splitter->BoundsRect();
        switch (c.side) {
        case alLeft: EXPECT_EQ(bar.Left, side.Right); break;
        case alRight: EXPECT_EQ(bar.Right, side.Left); break;
        case alTop: EXPECT_EQ(bar.Top, side.Bottom); break;
        default: EXPECT_EQ(bar.Bottom, side.Top); break;
        }
        delete sidePanel;
        delete splitter;
        delete rest;
    }
}

// MinSize holds on both sides: the control keeps at least MinSize (or, with
// AutoSnap, collapses when it gets there), and leaves the rest MinSize.
TEST_F(SplitterTest, MinSizeLimitsTheControlAndWhatIsLeft) {
    struct TCase {
        const char* name;
        bool autoSnap;
        int dx;
        int expected;
    } const cases[] = {
        {"stopped at MinSize", false, -250, 30},
        {"just above MinSize", true, -170, 39},
        {"snapped shut at MinSize", true, -190, 0},
        {"the rest keeps MinSize", false, 500, 600 - 3 - 30},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Build(alLeft, 209);
        splitter->SetAutoSnap(c.autoSnap);
        Drag(c.dx, 0);
        EXPECT_EQ(sidePanel->Width(), c.expected);
        delete sidePanel;
        delete splitter;
        delete rest;
    }
}

TEST_F(SplitterTest, OnCanResizeMayChangeOrRefuseTheSize) {
    Build(alLeft, 209);
    splitter->OnCanResize = [](TObject*, int& newSize, bool& accept) {
        if (newSize > 260) accept = false;
        newSize -= newSize % 10;
    };
    Drag(23, 0);
    EXPECT_EQ(sidePanel->Width(), 230);
    Drag(60, 0);
    EXPECT_EQ(sidePanel->Width(), 260) << "the last size accepted stays";
}

TEST_F(SplitterTest, WithoutLiveResizingTheControlChangesOnRelease) {
    Build(alLeft, 209);
    splitter->SetResizeStyle(rsNone);
    Drag(40, 0, false);
    EXPECT_EQ(sidePanel->Width(), 209);
    EXPECT_EQ(moves, 0);
    const TPoint p = splitter->ClientToScreen({1 + 40, 1});
    DesktopMouseButton(TDesktopButton::Left, false, {p.X, p.Y});
    Application().ProcessMessages();
    EXPECT_EQ(sidePanel->Width(), 249);
    EXPECT_EQ(moves, 1);
}

} // namespace
