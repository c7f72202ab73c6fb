// The painter's helpers: animation steps, line images, the first cell, the
// dotted lines and buttons, and the background picture.
#include <gtest/gtest.h>

#include "TreeFixture.h"
#include "TreePaintFixture.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/Picture.h"
#include "platform/win/gdi/Gdi.h"
#include "treeview/BaseViewTree.h"

namespace {

// ---- ToggleStep ----

// Two areas side by side, 10 x 40 each; every row of the DIB has its own colour.
struct TToggleBench {
    TBaseViewTree tree{nullptr};
    TTreeDib dib{20, 40};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    TToggleStepData data;
    TToggleBench() {
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 20; ++x) dib.At(x, y) = uint32_t(y + 1);
        data.DC = dib.Dc();
        data.Brush = white;
        data.R1 = TRect{0, 0, 10, 40};
        data.R2 = TRect{10, 0, 20, 40};
    }
    ~TToggleBench() { DeleteObject(ToGdiObject(white)); }
    // How far the area starting at column X moved up (its top row's colour tells).
    int MovedUp(int x) { return int(dib.At(x, 0)) - 1; }
};

struct TToggleCase {
    const char* name;
    TToggleAnimationMode mode1, mode2;
    double scale;
    int stepSize;
    int firstMoves, secondMoves;
};

TEST(TreeToggleStep, MovesTheAreasByTheStepAndTheScaledStep) {
    const TToggleCase cases[] = {
        {"first area still: the second moves the full step", tamNoScroll, tamScrollUp, 0.5, 3, 0, 3},
        {"scale 0: the second stays", tamScrollUp, tamScrollUp, 0.0, 3, 3, 0},
        {"scale 0.5, step 3: two pixels (half to even)", tamScrollUp, tamScrollUp, 0.5, 3, 3, 2},
        {"step size 0 draws nothing", tamScrollUp, tamScrollUp, 1.0, 0, 0, 0},
    };
    for (const TToggleCase& c : cases) {
        SCOPED_TRACE(c.name);
        TToggleBench bench;
        bench.data.Mode1 = c.mode1;
        bench.data.Mode2 = c.mode2;
        bench.data.ScaleFactor = c.scale;
        EXPECT_TRUE(bench.tree.ToggleStep(1, c.stepSize, bench.data));
        EXPECT_EQ(bench.MovedUp(0), c.firstMoves);
        EXPECT_EQ(bench.MovedUp(10), c.secondMoves);
    }
}

TEST(TreeToggleStep, TheMissedFractionCarriesToTheNextStep) {
    TToggleBench bench;
    bench.data.Mode1 = tamScrollUp;
    bench.data.Mode2 = tamScrollUp;
    bench.data.ScaleFactor = 0.5;
    bench.tree.ToggleStep(1, 3, bench.data);
    EXPECT_DOUBLE_EQ(bench.data.MissedSteps, -0.5);
    bench.tree.ToggleStep(2, 3, bench.data);
    EXPECT_EQ(bench.MovedUp(10), 3) << "2 pixels, then 1";
    EXPECT_DOUBLE_EQ(bench.data.MissedSteps, 0.0);
}

TEST(TreeToggleStep, OnlyTheFirstStepErasesTheUncoveredStrip) {
    for (int step : {0, 1}) {
        SCOPED_TRACE(step);
        TToggleBench bench;
        bench.data.Mode1 = tamScrollUp;
        bench.data.Mode2 = tamScrollDown;
        bench.data.ScaleFactor = 1;
        bench.tree.ToggleStep(step, 3, bench.data);
        const bool erased = step == 0;
        // Up: rows 36..39 of the first area; down: rows 0..3 of the second.
        EXPECT_EQ(bench.dib.At(5, 36) == 0xFFFFFF, erased);
        EXPECT_EQ(bench.dib.At(5, 39) == 0xFFFFFF, erased);
        EXPECT_NE(bench.dib.At(5, 35), 0xFFFFFFu);
        EXPECT_EQ(bench.dib.At(15, 0) == 0xFFFFFF, erased);
        EXPECT_EQ(bench.dib.At(15, 3) == 0xFFFFFF, erased);
        EXPECT_NE(bench.dib.At(15, 4), 0xFFFFFFu);
    }
}

// ---- ComputeLineImages ----

struct TLineCase {
    const char* node;
    TLineImage lines;
};

void ExpectLineImages(TNamedTree& t, const std::vector<TLineCase>& cases) {
    std::map<std::string, PViewNode> byName;
    for (const auto& [node, name] : t.names) byName[name] = node;
    for (const TLineCase& c : cases) {
        SCOPED_TRACE(c.node);
        TLineImage lines;
        t.tree.ComputeLineImages(byName[c.node], lines);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(TreeLineImages, NormalOrderWithRootLinesSkipsHiddenSiblings) {
    TNamedTree t; // B is hidden and C invisible: D follows A
    ExpectLineImages(t, {{"A", {ltBottomRight}},
                         {"A1", {ltTopDown, ltTopDownRight}},
                         {"A1a", {ltTopDown, ltTopDown, ltTopRight}},
                         {"A2", {ltTopDown, ltTopRight}},
                         {"D", {ltTopRight}}});
    t.tree.SetNodeVisibility(t.D, false);
    ExpectLineImages(t, {{"A", {ltRight}}, {"A1", {ltNone, ltTopDownRight}}});
}

TEST(TreeLineImages, NormalOrderWithoutRootLines) {
    TNamedTree t;
    t.SetPaintOption(toShowRoot, false);
    ExpectLineImages(t, {{"A", {}}, {"A1", {ltTopDownRight}}, {"A1a", {ltTopDown, ltTopRight}}, {"A2", {ltTopRight}}});
}

TEST(TreeLineImages, ChildrenAboveOrder) {
    TNamedTree t;
    t.SetPaintOption(toChildrenAbove, true);
    ExpectLineImages(t, {{"A", {ltBottomRight}},
                         {"A1", {ltNone, ltBottomRight}},
                         {"A2", {ltNone, ltTopDownRight}},
                         {"A1a", {ltNone, ltNone, ltBottomRight}},
                         {"D", {ltTopRight}}});
    t.SetPaintOption(toShowRoot, false);
    ExpectLineImages(t, {{"A2", {ltTopDownRight}}, {"A1a", {ltNone, ltBottomRight}}});
}

TEST(TreeLineImages, WithoutTreeLinesEveryLevelIsEmptyAndSelectedAncestorsAreCounted) {
    TNamedTree t;
    t.SetPaintOption(toShowTreeLines, false);
    t.tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    t.tree.SetNodeSelected(t.A, true);
    t.tree.SetNodeSelected(t.A1, true);
    t.tree.SetNodeSelected(t.A1a, true);
    TLineImage lines;
    EXPECT_EQ(t.tree.ComputeLineImages(t.A1a, lines), 2) << "the node itself is not its ancestor";
    EXPECT_EQ(lines, (TLineImage{ltNone, ltNone, ltNone}));
    EXPECT_EQ(t.tree.ComputeLineImages(t.D, lines), 0);
}

TEST(TreeCellLayout, StartAtFirstColumnWithoutColumnsKeepsTheCell) {
    TBaseViewTree tree(nullptr);
    TVTPaintInfo info;
    info.Column = 3;
    info.Position = 5;
    info.CellRect = TRect{1, 2, 30, 40};
    tree.StartAtFirstColumn(info, false);
    EXPECT_EQ(info.Column, kNoColumn);
    EXPECT_EQ(info.Position, 0);
    EXPECT_EQ(info.CellRect, (TRect{1, 2, 30, 40}));
}

TEST(TreeCellLayout, ImagesArePlacedFromTheReadingSideAndShiftedByTheIndent) {
    TBaseViewTree tree(nullptr);
    tree.SetIndent(10);
    for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
        SCOPED_TRACE(int(mode));
        TVTPaintInfo info;
        info.BidiMode = mode;
        info.ContentRect = TRect{0, 0, 100, 18};
        info.VAlign = 9;
        tree.PlaceCellImage(info, iiState, 16, 16);
        tree.PlaceCellImage(info, iiNormal, 16, 16);
        tree.ShiftByIndent(info, 2);
        const bool ltr = mode == bdLeftToRight;
        EXPECT_EQ(info.ImageInfo[iiState].XPos, ltr ? 20 : 64);
        EXPECT_EQ(info.ImageInfo[iiNormal].XPos, ltr ? 38 : 46);
        EXPECT_EQ(info.ImageInfo[iiNormal].YPos, 1);
        EXPECT_EQ(info.ContentRect, ltr ? (TRect{56, 0, 100, 18}) : (TRect{0, 0, 44, 18}));
    }
}

// ---- Lines and buttons ----

// A parent with four children of odd height (17) under it: their vertical line at x 27 runs from
// row 1 (17) to the last child's middle (68 + 8), across rows of both parities.
constexpr int kLineTop = 17, kLineEnd = 76;
struct TLinedTree : TPaintedTree<TBaseViewTree> {
    TLinedTree() : TPaintedTree<TBaseViewTree>(0) {
        tree->SetDefaultNodeHeight(17);
        rows.push_back(tree->AddChildNode(nullptr));
        tree->Colors()->SetColor(TVTColors::TreeLineColor, clRed);
        tree->ChangeChildCount(rows[0], 4);
        tree->ToggleExpanded(rows[0]);
    }
};

TEST(TreeLinePixels, DottedLinesOfConsecutiveRowsJoinIntoOneCheckerboard) {
    TLinedTree t;
    auto dib = t.Render();
    const uint32_t red = DibPixel(clRed), white = DibPixel(clWhite);
    for (int y = kLineTop; y < kLineEnd; ++y) {
        SCOPED_TRACE(y);
        const uint32_t here = dib->At(27, y), below = dib->At(27, y + 1);
        ASSERT_TRUE(here == red || here == white);
        EXPECT_NE(here, below);
    }
    // The horizontal stubs continue the pattern: diagonal neighbours agree.
    EXPECT_EQ(dib->At(28, 25), dib->At(27, 24));
}

TEST(TreeLinePixels, SolidAndOwnerPatterns) {
    TLinedTree t;
    t.tree->SetLineStyle(lsSolid);
    auto solid = t.Render();
    for (int y = kLineTop; y <= kLineEnd; ++y) EXPECT_EQ(solid->At(27, y), DibPixel(clRed)) << y;

    // Whole rows on and off: the line shows on even tree rows only.
    static const uint16_t stripes[8] = {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF};
    t.tree->OnGetLineStyle = [](TBaseViewTree*, void*& bits) { bits = const_cast<uint16_t*>(stripes); };
    t.tree->SetLineStyle(lsCustomStyle);
    t.tree->SetColor(clWhite); // the setters do not rebuild: the next paint does when an input changed
    t.tree->Colors()->SetColor(TVTColors::TreeLineColor, clMaroon);
    auto custom = t.Render();
    for (int y = kLineTop; y <= kLineEnd; ++y) EXPECT_EQ(custom->At(27, y), y % 2 == 0 ? DibPixel(clMaroon) : DibPixel(clWhite)) << y;
}

struct TButtonCase {
    const char* name;
    TVTButtonStyle style;
    TVTButtonFillMode fill;
    bool expanded;
    // Pixels as (x, y, colour); 0xFF00FF is transparent.
    std::vector<std::tuple<int, int, uint32_t>> probes;
};

TEST(TreeButtonPixels, PlusAndMinusForEachFillModeAndTheTriangles) {
    constexpr uint32_t key = 0xFF00FF, frame = 0xFF0000, bar = 0x000000;
    const uint32_t tree = DibPixel(clYellow), window = DibPixel(clWindow);
    const TButtonCase cases[] = {
        {"tree colour plus", bsRectangle, fmTreeColor, false, {{0, 0, frame}, {8, 8, frame}, {1, 1, tree}, {4, 4, bar}, {4, 2, bar}, {2, 4, bar}}},
        {"tree colour minus", bsRectangle, fmTreeColor, true, {{1, 1, tree}, {2, 4, bar}, {6, 4, bar}, {4, 2, tree}, {4, 6, tree}}},
        {"window colour plus", bsRectangle, fmWindowColor, false, {{1, 1, window}, {4, 6, bar}, {0, 4, frame}}},
        {"transparent minus", bsRectangle, fmTransparent, true, {{1, 1, key}, {4, 2, key}, {2, 4, bar}, {8, 0, frame}}},
        {"shaded plus", bsRectangle, fmShaded, false, {{0, 0, key}, {4, 2, 0x1F3A68}, {4, 4, 0x1F3A68}, {1, 0, 0x7A90AC}}},
        {"shaded minus", bsRectangle, fmShaded, true, {{8, 8, key}, {2, 4, 0x1F3A68}, {4, 2, 0xF3F3F9}}},
        {"triangle pointing down", bsTriangle, fmTreeColor, true, {{0, 2, bar}, {8, 2, bar}, {4, 6, bar}, {0, 3, key}, {4, 7, key}, {4, 1, key}}},
        {"triangle pointing right", bsTriangle, fmTreeColor, false, {{2, 0, bar}, {2, 8, bar}, {6, 4, bar}, {3, 0, key}, {7, 4, key}, {6, 3, key}}},
    };
    TBaseViewTree treeView(nullptr);
    treeView.SetColor(clYellow);
    treeView.Font()->SetColor(clBlack);
    treeView.Colors()->SetColor(TVTColors::TreeLineColor, clRed);
    for (const TButtonCase& c : cases) {
        SCOPED_TRACE(c.name);
        treeView.SetButtonStyle(c.style);
        treeView.SetButtonFillMode(c.fill);
        treeView.BuildButtonBitmaps(true, false);
        for (bool hot : {false, true}) {
            BITMAP bm{};
            ASSERT_TRUE(GetObjectW(ToGdiObject(treeView.ButtonBitmap(c.expanded, hot)), sizeof bm, &bm));
            ASSERT_EQ(bm.bmWidth, 9);
            ASSERT_EQ(bm.bmHeight, 9);
            const auto* bits = static_cast<const uint32_t*>(bm.bmBits);
            for (const auto& [x, y, colour] : c.probes)
                EXPECT_EQ(bits[y * 9 + x] & 0xFFFFFF, colour) << "(" << x << ", " << y << ") hot " << hot;
        }
    }
}

// ---- Background ----

// A picture of W x H where pixel (x, y) has the colour x + 16 y + 1.
void FillNumberedPicture(TBaseViewTree& tree, int w, int h) {
    TBitmap* bitmap = tree.Background()->Bitmap();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bitmap->Canvas()->SetPixel(x, y, TColor(RGB(x + 16 * y + 1, 0, 0)));
}

uint32_t NumberedPixel(int x, int y) { return uint32_t(x + 16 * y + 1) << 16; }

TEST(TreeBackgroundPixels, TheStaticPictureIsCopiedOnlyWhereItMeetsR) {
    TBaseViewTree tree(nullptr);
    tree.SetColor(clWhite);
    FillNumberedPicture(tree, 4, 3);
    tree.SetBackgroundOffset(0, 5);
    tree.SetBackgroundOffset(1, 2);
    TTreeDib dib(12, 10);
    dib.Fill(0x123456);
    TCanvas canvas;
    canvas.SetHandle(dib.Dc());
    // R at (1, 1) in the canvas stands for (3, 1) of the window.
    tree.PaintStaticBackground(&canvas, TRect{1, 1, 11, 9}, TPoint{2, 0});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool inR = x >= 1 && x < 11 && y >= 1 && y < 9;
            const int px = x + 2 - 5, py = y - 2;
            const bool inPicture = px >= 0 && px < 4 && py >= 0 && py < 3;
            EXPECT_EQ(dib.At(x, y), !inR ? 0x123456u : inPicture ? NumberedPixel(px, py) : 0xFFFFFFu);
        }
    canvas.SetHandle(nullptr);
}

TEST(TreeBackgroundPixels, AStaticTransparentPictureShowsTheColour) {
    TBaseViewTree tree(nullptr);
    tree.SetColor(clWhite);
    TBitmap* bitmap = tree.Background()->Bitmap();
    bitmap->SetSize(4, 4);
    bitmap->Canvas()->Brush()->SetColor(clLime);
    bitmap->Canvas()->FillRect(TRect{0, 0, 4, 4});
    bitmap->Canvas()->Brush()->SetColor(clBlue);
    bitmap->Canvas()->FillRect(TRect{2, 0, 4, 4});
    bitmap->SetTransparentColor(clLime);
    bitmap->SetTransparent(true);
    TTreeDib dib(6, 6);
    TCanvas canvas;
    canvas.SetHandle(dib.Dc());
    tree.PaintStaticBackground(&canvas, TRect{0, 0, 6, 6}, TPoint{0, 0});
    EXPECT_EQ(dib.At(0, 0), 0xFFFFFFu) << "transparent";
    EXPECT_EQ(dib.At(3, 3), DibPixel(clBlue));
    EXPECT_EQ(dib.At(5, 5), 0xFFFFFFu) << "beyond the picture";
    canvas.SetHandle(nullptr);
}

TEST(TreeBackgroundPixels, TheTiledPictureCoversRExactlyWithNegativeOffsets) {
    TBaseViewTree tree(nullptr);
    FillNumberedPicture(tree, 3, 2);
    tree.SetBackgroundOffset(0, -1);
    TTreeDib dib(12, 10);
    dib.Fill(0x123456);
    TCanvas canvas;
    canvas.SetHandle(dib.Dc());
    tree.PaintTiledBackground(&canvas, TRect{1, 2, 10, 9}, TPoint{-7, -4});
    auto wrap = [](int v, int n) { return (v % n + n) % n; };
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool inR = x >= 1 && x < 10 && y >= 2 && y < 9;
            EXPECT_EQ(dib.At(x, y), inR ? NumberedPixel(wrap(x - 7 - 1, 3), wrap(y - 4, 2)) : 0x123456u);
        }
    canvas.SetHandle(nullptr);
}

TEST(TreeBackgroundPixels, AnEmptyPictureLeavesRInTheColour) {
    TBaseViewTree tree(nullptr);
    tree.SetColor(clYellow);
    tree.Background()->Bitmap()->SetSize(0, 0);
    TTreeDib dib(8, 8);
    TCanvas canvas;
    canvas.SetHandle(dib.Dc());
    tree.PaintTiledBackground(&canvas, TRect{0, 0, 8, 8}, TPoint{-3, 5});
    tree.PaintStaticBackground(&canvas, TRect{0, 0, 8, 8}, TPoint{-3, 5});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dib.At(x, y), DibPixel(clYellow));
    canvas.SetHandle(nullptr);
}

} // namespace
