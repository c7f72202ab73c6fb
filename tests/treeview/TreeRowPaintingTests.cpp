// The row painter, probed on a rendered DIB: selection, focus, buttons,
// images, checks, drop marks, rubber band, erasing, the area below the rows,
// the paint events, and the window paint.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TreePaintFixture.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "treeview/TreeDrawing.h"

namespace {

constexpr TColor kFocusedColor = TColor(RGB(0, 0, 200));
constexpr TColor kUnfocusedColor = TColor(RGB(0, 160, 0));

// A tree of three rows "Node" whose selection colours are plain blue (focused) and green (unfocused).
struct TSelectionTree : TPaintedTree<> {
    TSelectionTree() {
        TVTColors* colors = tree->Colors();
        colors->SetColor(TVTColors::FocusedSelectionColor, kFocusedColor);
        colors->SetColor(TVTColors::FocusedSelectionBorderColor, kFocusedColor);
        colors->SetColor(TVTColors::UnfocusedSelectionColor, kUnfocusedColor);
        colors->SetColor(TVTColors::UnfocusedSelectionBorderColor, kUnfocusedColor);
        tree->SetNodeSelected(rows[0], true);
    }
};

struct TSelectionCase {
    const char* name;
    std::function<void(TSelectionTree&)> setUp;
    // Probes in row 0: (x, y, expected colour).
    std::vector<std::tuple<int, int, TColor>> probes;
};

TEST(TreeRowPainting, SelectionColoursAndShapes) {
    const uint32_t blended = [] {
        TTreeDib dib(1, 1);
        dib.At(0, 0) = 0xFFFFFF;
        BlendRect(nullptr, dib.Dc(), TRect{0, 0, 1, 1}, TPoint{}, bkColor, 128, int(ColorToRGB(kFocusedColor)));
        return dib.At(0, 0);
    }();
    const TSelectionCase cases[] = {
        {"full row, unfocused", [](auto& t) { t.SetSelectionOption(toFullRowSelect, true); },
         {{150, 9, kUnfocusedColor}, {2, 9, kUnfocusedColor}}},
        {"full row, popup mode", [](auto& t) {
             t.SetSelectionOption(toFullRowSelect, true);
             t.SetPaintOption(toPopupMode, true);
         }, {{150, 9, kFocusedColor}}},
        {"hide selection without focus", [](auto& t) {
             t.SetSelectionOption(toFullRowSelect, true);
             t.SetPaintOption(toHideSelection, true);
         }, {{150, 9, clWhite}}},
        {"always hide selection", [](auto& t) {
             t.SetSelectionOption(toFullRowSelect, true);
             t.SetPaintOption(toPopupMode, true);
             t.SetPaintOption(toAlwaysHideSelection, true);
         }, {{150, 9, clWhite}}},
        // Content starts at 22; the node is 4 + 32 + 4 wide: 22 .. 61.
        {"text only spans the node width", [](auto& t) { t.SetPaintOption(toPopupMode, true); },
         {{22, 9, kFocusedColor}, {24, 1, kFocusedColor}, {61, 9, kFocusedColor}, {62, 9, clWhite}, {150, 9, clWhite}}},
        {"curve radius rounds the corners", [](auto& t) {
             t.SetSelectionOption(toFullRowSelect, true);
             t.tree->SetSelectionCurveRadius(8);
         }, {{0, 0, clWhite}, {199, 17, clWhite}, {4, 4, kUnfocusedColor}, {100, 0, kUnfocusedColor}}},
    };
    for (const TSelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        TSelectionTree t;
        c.setUp(t);
        auto dib = t.Render();
        for (const auto& [x, y, colour] : c.probes)
            EXPECT_EQ(dib->At(x, y), DibPixel(colour)) << "(" << x << ", " << y << ")";
        EXPECT_EQ(dib->At(150, 27), DibPixel(clWhite)) << "the unselected row";
    }
    TSelectionTree t;
    t.SetSelectionOption(toFullRowSelect, true);
    t.SetPaintOption(toPopupMode, true);
    t.SetPaintOption(toUseBlendedSelection, true);
    EXPECT_EQ(t.Render()->At(150, 9), blended) << "blended at SelectionBlendFactor";
}

TEST(TreeRowPainting, AFocusedTreeDrawsTheFocusedColours) {
    TSelectionTree t;
    t.form->Show();
    t.tree->SetFocus();
    ASSERT_TRUE(t.tree->Focused());
    t.SetSelectionOption(toFullRowSelect, true);
    EXPECT_EQ(t.Render()->At(150, 9), DibPixel(kFocusedColor));
    t.SetPaintOption(toHideSelection, true);
    EXPECT_EQ(t.Render()->At(150, 9), DibPixel(kFocusedColor)) << "focused: hide selection does not apply";
}

TEST(TreeRowPainting, TheFocusRectangleFramesTheTextUnlessHidden) {
    TPaintedTree<> t;
    t.SetPaintOption(toPopupMode, true);
    t.tree->SetFocusedNode(t.rows[1]);
    auto framed = [&] {
        auto dib = t.Render();
        // The dotted frame on the row's top edge over the node width (22 .. 61).
        return 40 - InkIn(*dib, 22, 18, 62, 19, DibPixel(clWhite));
    };
    EXPECT_GT(framed(), 10);
    t.SetPaintOption(toHideFocusRect, true);
    EXPECT_EQ(framed(), 0);
}

TEST(TreeRowPainting, TheButtonFollowsTheNodeAlignment) {
    const struct {
        TVTNodeAlignment alignment;
        int top;
    } cases[] = {{naFromTop, 2}, {naFromBottom, 8}, {naProportional, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.alignment));
        TPaintedTree<> t;
        t.SetPaintOption(toShowTreeLines, false);
        t.tree->Colors()->SetColor(TVTColors::TreeLineColor, clRed);
        t.tree->ChangeChildCount(t.rows[0], 2);
        t.rows[0]->align = 6;
        t.tree->SetNodeAlignment(c.alignment);
        auto dib = t.Render();
        // The 9 x 9 frame's corner at x round((18 - 9) / 2) = 4.
        EXPECT_EQ(dib->At(4, c.top), DibPixel(clRed));
        EXPECT_EQ(dib->At(12, c.top + 8), DibPixel(clRed));
        if (c.top > 0) EXPECT_EQ(dib->At(4, c.top - 1), DibPixel(clWhite));
        EXPECT_EQ(dib->At(4, c.top + 9), DibPixel(clWhite));
    }
}

// 16 x 16 lists of solid images; image 2 of the normal list is a red 4 x 4 square at (12, 12), overlay 0.
struct TImageTree : TPaintedTree<> {
    std::unique_ptr<TImageList> normal = std::make_unique<TImageList>(nullptr);
    std::unique_ptr<TImageList> state = std::make_unique<TImageList>(nullptr);
    TImageTree() {
        AddSolid(*state, clGreen);
        AddSolid(*normal, clBlue);
        AddSolid(*normal, clNavy);
        TBitmap corner;
        corner.SetSize(16, 16);
        corner.Canvas()->Brush()->SetColor(clFuchsia);
        corner.Canvas()->FillRect(TRect{0, 0, 16, 16});
        corner.Canvas()->Brush()->SetColor(clRed);
        corner.Canvas()->FillRect(TRect{12, 12, 16, 16});
        normal->AddMasked(&corner, clFuchsia);
        normal->Overlay(2, 0);
        tree->SetStateImages(state.get());
        tree->SetImages(normal.get());
        tree->OnGetImageIndex = [](TBaseViewTree*, PViewNode, TVTImageKind kind, TColumnIndex, bool&, int& index) {
            index = kind == ikState ? 0 : kind == ikOverlay ? 0 : kind == ikSelected ? 1 : 0;
        };
    }
    ~TImageTree() {
        tree->SetImages(nullptr);
        tree->SetStateImages(nullptr);
    }
    static void AddSolid(TImageList& list, TColor color) {
        TBitmap bitmap;
        bitmap.SetSize(16, 16);
        bitmap.Canvas()->Brush()->SetColor(color);
        bitmap.Canvas()->FillRect(TRect{0, 0, 16, 16});
        list.AddMasked(&bitmap, clFuchsia);
    }
};

TEST(TreeRowPainting, StateNormalAndOverlayImagesInThatOrder) {
    TImageTree t;
    auto dib = t.Render();
    // Content at 22: state image 22 .. 37, normal 40 .. 55, rows 1 .. 16 (VAlign 9 - 8).
    EXPECT_EQ(dib->At(22, 1), DibPixel(clGreen));
    EXPECT_EQ(dib->At(37, 16), DibPixel(clGreen));
    EXPECT_EQ(dib->At(38, 9), DibPixel(clWhite));
    EXPECT_EQ(dib->At(40, 1), DibPixel(clBlue));
    EXPECT_EQ(dib->At(55, 16), DibPixel(clRed)) << "the overlay over the normal image";
    EXPECT_EQ(dib->At(51, 12), DibPixel(clBlue));
    EXPECT_EQ(InkIn(*dib, 56, 1, 62, 17), 0) << "the text moved past the images: 22 + 2 x 18 + 4";
    EXPECT_GT(InkIn(*dib, 62, 1, 100, 17), 0);
}

TEST(TreeRowPainting, SelectedAndCutImagesAreBlended) {
    TImageTree t;
    t.tree->Colors()->SetColor(TVTColors::UnfocusedSelectionColor, clYellow);
    t.SetPaintOption(toGhostedIfUnfocused, true);
    t.tree->SetNodeSelected(t.rows[0], true);
    t.rows[1]->states.Include(nsCutOrCopy);
    t.tree->ChangeTreeState({tsCutPending}, {});
    auto dib = t.Render();
    const uint32_t selected = dib->At(44, 5), cut = dib->At(44, 23), plain = dib->At(44, 41);
    EXPECT_EQ(plain, DibPixel(clBlue));
    EXPECT_NE(selected, DibPixel(clNavy)) << "the selected image (index 1) is blended";
    EXPECT_NE(cut, DibPixel(clBlue));
    EXPECT_NE(cut, selected);

    t.SetSelectionOption(toFullRowSelect, true);
    EXPECT_EQ(t.Render()->At(44, 5), DibPixel(clNavy)) << "full-row selection leaves the image alone";
}

TEST(TreeRowPainting, CheckImageIndexTable) {
    TPaintedTree<> t(1);
    PViewNode node = t.rows[0];
    const TCheckType types[] = {ctCheckBox, ctTriStateCheckBox, ctRadioButton, ctButton};
    const TCheckState states[] = {csUncheckedNormal, csUncheckedPressed, csCheckedNormal,
                                  csCheckedPressed,  csMixedNormal,      csMixedPressed};
    // Per type and state: disabled, enabled, hot.
    const int expected[4][6][3] = {
        {{12, 9, 10}, {12, 11, 11}, {16, 13, 14}, {16, 15, 15}, {20, 17, 18}, {20, 19, 19}},
        {{12, 9, 10}, {12, 11, 11}, {16, 13, 14}, {16, 15, 15}, {20, 17, 18}, {20, 19, 19}},
        {{4, 1, 2}, {4, 3, 3}, {8, 5, 6}, {8, 7, 7}, {20, 17, 18}, {20, 19, 19}},
        {{24, 21, 22}, {24, 23, 23}, {24, 21, 22}, {24, 23, 23}, {20, 17, 18}, {20, 19, 19}},
    };
    node->checkType = ctNone;
    EXPECT_EQ(t.tree->CheckImageIndex(node), -1);
    for (int type = 0; type < 4; ++type)
        for (int state = 0; state < 6; ++state) {
            SCOPED_TRACE(std::to_string(type) + " " + std::to_string(state));
            node->checkType = types[type];
            node->checkState = states[state];
            t.tree->SetNodeDisabled(node, true);
            t.tree->SetHotNode(node);
            EXPECT_EQ(t.tree->CheckImageIndex(node), expected[type][state][0]) << "disabled ignores hot";
            t.tree->SetNodeDisabled(node, false);
            t.tree->SetHotNode(nullptr);
            EXPECT_EQ(t.tree->CheckImageIndex(node), expected[type][state][1]);
            t.tree->SetHotNode(node);
            EXPECT_EQ(t.tree->CheckImageIndex(node), expected[type][state][2]);
            t.tree->SetHotNode(nullptr);
        }
}

TEST(TreeRowPainting, DropMarksAboveAndBelow) {
    TPaintedTree<> t;
    t.tree->Colors()->SetColor(TVTColors::DropMarkColor, clRed);
    t.tree->SetDropTarget(t.rows[1], dmAbove);
    auto above = t.Render();
    EXPECT_EQ(above->At(100, 19), DibPixel(clRed));
    EXPECT_EQ(above->At(100, 34), DibPixel(clWhite));
    t.tree->SetDropTarget(t.rows[1], dmBelow);
    auto below = t.Render();
    EXPECT_EQ(below->At(100, 34), DibPixel(clRed));
    EXPECT_EQ(below->At(100, 19), DibPixel(clWhite));
    t.tree->SetDropTarget(t.rows[1], dmOnNode);
    EXPECT_EQ(t.Render()->At(100, 19), DibPixel(clWhite)) << "no mark on the node";
}

TEST(TreeRowPainting, DottedAndBlendedRubberBand) {
    TPaintedTree<> t;
    t.tree->ChangeTreeState({tsDrawSelecting}, {});
    t.tree->SetDrawSelectionRect(TRect{150, 60, 110, 5}); // drawn from its far corner
    auto dotted = t.Render();
    // The frame crosses rows 0 .. 3 and the area below them (54 ..).
    int marks = 0;
    for (int y = 5; y < 60; ++y) marks += dotted->At(110, y) != DibPixel(clWhite);
    EXPECT_GT(marks, 20);
    EXPECT_EQ(dotted->At(130, 30), DibPixel(clWhite));

    t.tree->SetDrawSelectionMode(smBlendedRectangle);
    t.tree->Colors()->SetColor(TVTColors::SelectionRectangleBlendColor, clBlue);
    t.tree->Colors()->SetColor(TVTColors::SelectionRectangleBorderColor, clRed);
    auto blended = t.Render();
    for (int y : {10, 30, 57}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(blended->At(110, y), DibPixel(clRed));
        EXPECT_EQ(blended->At(149, y), DibPixel(clRed));
        const uint32_t inside = blended->At(130, y);
        EXPECT_NE(inside, DibPixel(clWhite));
        EXPECT_NE(inside, DibPixel(clBlue));
    }
    EXPECT_EQ(blended->At(130, 5), DibPixel(clRed));
    EXPECT_EQ(blended->At(130, 59), DibPixel(clRed));
    EXPECT_EQ(blended->At(130, 61), DibPixel(clWhite));
}

TEST(TreeRowPainting, OwnerErasingAndDrawingOfRows) {
    TPaintedTree<> t;
    t.tree->OnBeforeItemPaint = [&](TBaseViewTree*, TCanvas* canvas, PViewNode node, TRect r, bool& customDraw) {
        if (node != t.rows[0]) return;
        canvas->Brush()->SetColor(clFuchsia);
        canvas->FillRect(r);
        customDraw = true;
    };
    t.tree->OnBeforeItemErase = [&](TBaseViewTree*, TCanvas*, PViewNode node, TRect, TColor& color,
                                    TItemEraseAction& action) {
        if (node == t.rows[1]) {
            color = clYellow;
            action = eaColor;
        } else if (node == t.rows[2]) {
            action = eaNone;
        }
    };
    auto dib = t.Render();
    EXPECT_EQ(InkIn(*dib, 0, 0, 200, 18, DibPixel(clFuchsia)), 200 * 18) << "the owner's row stays as drawn";
    EXPECT_EQ(dib->At(150, 27), DibPixel(clYellow));
    EXPECT_GT(InkIn(*dib, 26, 19, 60, 35), 0) << "text over the owner's colour";
    EXPECT_NE(dib->At(150, 45), DibPixel(clWhite)) << "eaNone leaves the row unerased";
    EXPECT_EQ(dib->At(150, 70), DibPixel(clWhite)) << "below the rows: the tree colour";
}

TEST(TreeRowPainting, TheAreaBelowTheRowsAndOnlySelectedRows) {
    TPaintedTree<> t;
    bool handled = true;
    t.tree->OnPaintBackground = [&](TBaseViewTree*, TCanvas* canvas, TRect r, bool& h) {
        canvas->Brush()->SetColor(clAqua);
        canvas->FillRect(r);
        h = handled;
    };
    EXPECT_EQ(t.Render()->At(100, 80), DibPixel(clAqua));
    handled = false;
    EXPECT_EQ(t.Render()->At(100, 80), DibPixel(clWhite));

    t.tree->SetNodeSelected(t.rows[1], true);
    auto dib = t.Render(TPaintTreeOptions{ipSelectedOnly, ipDrawSelection}, 0x123456);
    EXPECT_EQ(dib->At(100, 9), 0x123456u) << "an unselected row is skipped";
    EXPECT_EQ(dib->At(100, 27), DibPixel(clWhite));
    EXPECT_EQ(dib->At(100, 45), 0x123456u);
}

TEST(TreeRowPainting, PaintEventsBracketEachRenderAndARenderDoesNotNest) {
    TPaintedTree<> t;
    std::string log;
    t.tree->OnBeforePaint = [&](TBaseViewTree* sender, TCanvas* canvas) {
        log += "[";
        sender->RenderTree(canvas, TRect{0, 0, 10, 10}, TPoint{}, kWindowPaintOptions);
    };
    t.tree->OnBeforeItemPaint = [&](TBaseViewTree*, TCanvas*, PViewNode, TRect, bool&) { log += "r"; };
    t.tree->OnAfterPaint = [&](TBaseViewTree*, TCanvas*) { log += "]"; };
    t.Render();
    t.Render();
    EXPECT_EQ(log, "[rrr][rrr]");
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsPainting));
}

TEST(TreeWindowPaint, TheUpdateRectangleDecidesWhichRowsPaint) {
    TPaintedTree<> t(5);
    t.form->Show();
    UpdateWindow(t.tree->Handle());
    std::vector<PViewNode> painted;
    t.tree->OnBeforeItemPaint = [&](TBaseViewTree*, TCanvas*, PViewNode node, TRect, bool&) {
        painted.push_back(node);
    };
    const RECT rows12{0, 18, 200, 54};
    InvalidateRect(t.tree->Handle(), &rows12, FALSE);
    UpdateWindow(t.tree->Handle());
    EXPECT_EQ(painted, (std::vector<PViewNode>{t.rows[1], t.rows[2]}));
    painted.clear();
    t.tree->Perform(WM_PAINT, 0, 0);
    EXPECT_TRUE(painted.empty()) << "nothing to update";
}

} // namespace
