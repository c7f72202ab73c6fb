#include "GdiFixture.h"

#include "platform/win/backend/qt/QtShapeRasterizer.h"
#include "platform/win/system/SystemColors.h"

namespace {

class DrawingTest : public GdiTest {};

TEST_F(DrawingTest, FocusRectangleIsDottedAndDrawingItTwiceRestoresEveryPixel) {
    TCanvas canvas(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) canvas.At(x, y) = uint32_t(0x11000000 + x * 0x10203 + y * 0x30201);
    std::vector<uint32_t> before(canvas.bits, canvas.bits + 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) before.push_back(canvas.At(x, y));
    const RECT r{0, 0, 6, 5};
    ASSERT_TRUE(DrawFocusRect(canvas.dc, &r));
    EXPECT_EQ(canvas.At(0, 0), before[0] ^ 0x00FFFFFF);
    EXPECT_EQ(canvas.At(1, 0), before[1]);
    EXPECT_EQ(canvas.At(2, 0), before[2] ^ 0x00FFFFFF);
    EXPECT_EQ(canvas.At(2, 2), before[2 * 6 + 2]); // inside untouched
    ASSERT_TRUE(DrawFocusRect(canvas.dc, &r));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(canvas.At(x, y), before[size_t(y * 6 + x)]) << x << "," << y;
}

TEST_F(DrawingTest, RaisedEdgeDrawsOuterAndInnerLinesAndAdjustsTheRectangle) {
    TCanvas canvas(6, 6);
    canvas.Fill(1);
    RECT r{0, 0, 6, 6};
    ASSERT_TRUE(DrawEdge(canvas.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST));
    EXPECT_EQ(r, (RECT{2, 2, 4, 4}));
    struct {
        int x, y;
        uint32_t pixel;
    } const expected[] = {
        {0, 0, Sys(COLOR_3DLIGHT)},     {3, 0, Sys(COLOR_3DLIGHT)},      {0, 4, Sys(COLOR_3DLIGHT)},
        {5, 0, Sys(COLOR_3DDKSHADOW)},  {0, 5, Sys(COLOR_3DDKSHADOW)},   {5, 5, Sys(COLOR_3DDKSHADOW)},
        {1, 1, Sys(COLOR_BTNHIGHLIGHT)}, {3, 1, Sys(COLOR_BTNHIGHLIGHT)}, {4, 1, Sys(COLOR_BTNSHADOW)},
        {1, 4, Sys(COLOR_BTNSHADOW)},   {4, 4, Sys(COLOR_BTNSHADOW)},    {2, 2, 1},
        {3, 3, 1},
    };
    for (const auto& e : expected) EXPECT_EQ(canvas.At(e.x, e.y), e.pixel) << e.x << "," << e.y;
}

TEST_F(DrawingTest, EdgeFlagsPickSidesAndFillTheMiddle) {
    TCanvas canvas(4, 4);
    canvas.Fill(1);
    RECT r{0, 0, 4, 4};
    DrawEdge(canvas.dc, &r, BDR_SUNKENOUTER, BF_TOP | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(r, (RECT{0, 1, 4, 4}));
    EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(3, 3), Sys(COLOR_BTNFACE));
    RECT flat{0, 0, 4, 4};
    DrawEdge(canvas.dc, &flat, EDGE_RAISED, BF_RECT | BF_FLAT);
    EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(3, 3), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(1, 1), Sys(COLOR_BTNFACE));
}

TEST_F(DrawingTest, CheckedCheckBoxIsA13PixelSunkenBoxWithACheckMark) {
    TCanvas canvas(15, 15);
    canvas.Fill(1);
    RECT r{1, 1, 14, 14};
    ASSERT_TRUE(DrawFrameControl(canvas.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED));
    EXPECT_EQ(canvas.At(0, 0), 1u);
    EXPECT_EQ(canvas.At(14, 14), 1u);
    EXPECT_EQ(canvas.At(1, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(2, 2), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(13, 13), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(12, 12), Sys(COLOR_3DLIGHT));
    // The mark's ends and middle; the box's inside around it.
    EXPECT_EQ(canvas.At(10, 4), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(canvas.At(4, 6), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(canvas.At(6, 10), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(canvas.At(4, 4), Sys(COLOR_WINDOW));
    EXPECT_EQ(canvas.At(11, 11), Sys(COLOR_WINDOW));
    // Unchecked and pushed: the face colour inside, no mark.
    DrawFrameControl(canvas.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_PUSHED);
    EXPECT_EQ(canvas.At(10, 4), Sys(COLOR_BTNFACE));
}

TEST_F(DrawingTest, ScrollArrowsAreRaisedButtonsWithATriangle) {
    TCanvas canvas(16, 16);
    RECT r{0, 0, 16, 16};
    DrawFrameControl(canvas.dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN);
    EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.At(15, 15), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(3, 3), Sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(7, 8), Sys(COLOR_BTNTEXT)); // near the tip of the arrow
    DrawFrameControl(canvas.dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
    EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(15, 15), Sys(COLOR_BTNSHADOW));
}

TEST_F(DrawingTest, ClipRectanglesInsideSavedStatesAndViewportOrigins) {
    TCanvas canvas(20, 20);
    canvas.Fill(1);
    const HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all{0, 0, 20, 20};
    ASSERT_EQ(SaveDC(canvas.dc), 1);
    EXPECT_EQ(IntersectClipRect(canvas.dc, 2, 2, 18, 18), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(canvas.dc, 5, 5, 10, 10), COMPLEXREGION);
    RECT box{};
    EXPECT_EQ(GetClipBox(canvas.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{2, 2, 18, 18}));
    FillRect(canvas.dc, &all, brush);
    EXPECT_EQ(canvas.At(1, 1), 1u);
    EXPECT_EQ(canvas.At(2, 2), 0x00FF0000u);
    EXPECT_EQ(canvas.At(7, 7), 1u);
    EXPECT_EQ(canvas.At(18, 18), 1u);
    EXPECT_TRUE(RestoreDC(canvas.dc, -1));
    EXPECT_EQ(GetClipBox(canvas.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, all);

    // A child's DC lent to its parent at (10, 5): the parent's coordinates land in the child.
    canvas.Fill(1);
    SaveDC(canvas.dc);
    SetViewportOrgEx(canvas.dc, -10, -5, nullptr);
    IntersectClipRect(canvas.dc, 10, 5, 13, 7);
    EXPECT_EQ(GetClipBox(canvas.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{10, 5, 13, 7}));
    const RECT parentArea{0, 0, 40, 40};
    FillRect(canvas.dc, &parentArea, brush);
    POINT p{10, 5};
    LPtoDP(canvas.dc, &p, 1);
    EXPECT_EQ(p, (POINT{0, 0}));
    RestoreDC(canvas.dc, -1);
    EXPECT_EQ(canvas.At(0, 0), 0x00FF0000u);
    EXPECT_EQ(canvas.At(2, 1), 0x00FF0000u);
    EXPECT_EQ(canvas.At(3, 0), 1u);
    EXPECT_EQ(canvas.At(0, 2), 1u);
    POINT origin{};
    GetViewportOrgEx(canvas.dc, &origin);
    EXPECT_EQ(origin, (POINT{0, 0}));
    DeleteObject(ToGdiObject(brush));
}

TEST_F(DrawingTest, SavedLevelsRestoreByNumberAndRelativeLevels) {
    TCanvas canvas(2, 2);
    SetTextColor(canvas.dc, 1);
    EXPECT_EQ(SaveDC(canvas.dc), 1);
    SetTextColor(canvas.dc, 2);
    EXPECT_EQ(SaveDC(canvas.dc), 2);
    SetTextColor(canvas.dc, 3);
    EXPECT_EQ(SaveDC(canvas.dc), 3);
    EXPECT_FALSE(RestoreDC(canvas.dc, 4));
    EXPECT_TRUE(RestoreDC(canvas.dc, -2));
    EXPECT_EQ(GetTextColor(canvas.dc), 2u);
    EXPECT_TRUE(RestoreDC(canvas.dc, 1));
    EXPECT_EQ(GetTextColor(canvas.dc), 1u);
    EXPECT_FALSE(RestoreDC(canvas.dc, -1));
}

TEST_F(DrawingTest, RegionsCombineAndClipInDeviceCoordinates) {
    const HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6), out = CreateRectRgn(0, 0, 0, 0);
    struct {
        int mode, complexity;
        RECT box;
    } const cases[] = {
        {RGN_AND, SIMPLEREGION, {2, 2, 4, 4}},  {RGN_OR, COMPLEXREGION, {0, 0, 6, 6}},
        {RGN_XOR, COMPLEXREGION, {0, 0, 6, 6}}, {RGN_DIFF, COMPLEXREGION, {0, 0, 4, 4}},
        {RGN_COPY, SIMPLEREGION, {0, 0, 4, 4}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.complexity) << c.mode;
        RECT box{};
        GetRgnBox(out, &box);
        EXPECT_EQ(box, c.box) << c.mode;
    }
    EXPECT_EQ(CombineRgn(out, a, b, 99), RGN_ERROR);
    CombineRgn(out, a, b, RGN_DIFF);
    EXPECT_TRUE(PtInRegion(out, 1, 3));
    EXPECT_FALSE(PtInRegion(out, 3, 3));
    const RECT inside{3, 3, 4, 4};
    EXPECT_FALSE(RectInRegion(out, &inside));
    EXPECT_EQ(OffsetRgn(out, 10, 0), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(out, 11, 3));
    EXPECT_FALSE(EqualRgn(a, b));
    SetRectRgn(b, 0, 0, 4, 4);
    EXPECT_TRUE(EqualRgn(a, b));

    // The clip region is a copy in device coordinates; origins do not move it.
    TCanvas canvas(8, 1);
    canvas.Fill(1);
    const HRGN clip = CreateRectRgn(2, 0, 4, 1);
    EXPECT_EQ(ToGdiObject(intptr_t(SIMPLEREGION)), SelectObject(canvas.dc, ToGdiObject(clip)));
    DeleteObject(ToGdiObject(clip));
    SetWindowOrgEx(canvas.dc, 1, 0, nullptr);
    const HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    const RECT logical{0, 0, 10, 1};
    FillRect(canvas.dc, &logical, brush);
    EXPECT_EQ(canvas.At(1, 0), 1u);
    EXPECT_EQ(canvas.At(2, 0), 0x000000FFu);
    EXPECT_EQ(canvas.At(3, 0), 0x000000FFu);
    EXPECT_EQ(canvas.At(4, 0), 1u);
    const HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(canvas.dc, copy), 1);
    RECT box{};
    GetRgnBox(copy, &box);
    EXPECT_EQ(box, (RECT{2, 0, 4, 1}));
    SelectClipRgn(canvas.dc, nullptr);
    EXPECT_EQ(GetClipRgn(canvas.dc, copy), 0);
    for (HRGN r : {a, b, out, copy}) DeleteObject(ToGdiObject(r));
    DeleteObject(ToGdiObject(brush));
}

TEST_F(DrawingTest, LinesExcludeTheirEndPointAndRectanglesFrameWithThePen) {
    TCanvas canvas(5, 5);
    const HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    const HGDIOBJ oldPen = SelectObject(canvas.dc, ToGdiObject(pen));
    MoveToEx(canvas.dc, 0, 0, nullptr);
    LineTo(canvas.dc, 4, 0);
    EXPECT_EQ(canvas.At(3, 0), 0x00FF0000u);
    EXPECT_EQ(canvas.At(4, 0), 0u);
    LineTo(canvas.dc, 4, 4);
    EXPECT_EQ(canvas.At(4, 0), 0x00FF0000u);
    EXPECT_EQ(canvas.At(4, 4), 0u);
    POINT position{};
    GetCurrentPositionEx(canvas.dc, &position);
    EXPECT_EQ(position, (POINT{4, 4}));
    MoveToEx(canvas.dc, 0, 1, nullptr);
    LineTo(canvas.dc, 3, 4);
    EXPECT_EQ(canvas.At(1, 2), 0x00FF0000u);
    EXPECT_EQ(canvas.At(2, 3), 0x00FF0000u);
    EXPECT_EQ(canvas.At(3, 4), 0u);

    canvas.Fill(0);
    const HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    const HGDIOBJ oldBrush = SelectObject(canvas.dc, ToGdiObject(brush));
    Rectangle(canvas.dc, 0, 0, 4, 4);
    EXPECT_EQ(canvas.At(0, 0), 0x00FF0000u);
    EXPECT_EQ(canvas.At(3, 3), 0x00FF0000u);
    EXPECT_EQ(canvas.At(1, 1), 0x000000FFu);
    EXPECT_EQ(canvas.At(4, 4), 0u);
    SelectObject(canvas.dc, oldPen);
    SelectObject(canvas.dc, oldBrush);
    DeleteObject(ToGdiObject(pen));
    DeleteObject(ToGdiObject(brush));
}

TEST_F(DrawingTest, CurvesAndPolygonsFillWhatTheRasteriserCovers) {
    InstallQtShapeRasterizer();
    TCanvas canvas(12, 12);
    const HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    const HGDIOBJ oldBrush = SelectObject(canvas.dc, ToGdiObject(brush));
    canvas.Fill(1);
    ASSERT_TRUE(Ellipse(canvas.dc, 0, 0, 12, 12));
    EXPECT_EQ(canvas.At(0, 0), 1u);          // outside the circle
    EXPECT_EQ(canvas.At(6, 0), 0u);          // the black pen's outline
    EXPECT_EQ(canvas.At(6, 6), 0x000000FFu); // inside
    EXPECT_EQ(canvas.At(11, 11), 1u);

    canvas.Fill(1);
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    // Two overlapping squares drawn as one outline: the overlap is a hole with ALTERNATE only.
    const POINT star[] = {{0, 0}, {8, 0}, {8, 8}, {4, 8}, {4, 4}, {12, 4}, {12, 12}, {0, 12}};
    SetPolyFillMode(canvas.dc, ALTERNATE);
    Polygon(canvas.dc, star, 8);
    const uint32_t alternate = canvas.At(6, 6);
    canvas.Fill(1);
    SetPolyFillMode(canvas.dc, WINDING);
    Polygon(canvas.dc, star, 8);
    EXPECT_EQ(canvas.At(2, 2), 0x000000FFu);
    EXPECT_EQ(canvas.At(6, 6), 0x000000FFu);
    EXPECT_EQ(alternate, 1u);
    SelectObject(canvas.dc, oldBrush);
    DeleteObject(ToGdiObject(brush));
}

TEST_F(DrawingTest, SelectedObjectsAreDeletedWhenDeselected) {
    TCanvas canvas(1, 1);
    const size_t pens = GdiLiveObjects(OBJ_PEN);
    const HPEN pen = CreatePen(PS_SOLID, 1, 0);
    const HGDIOBJ old = SelectObject(canvas.dc, ToGdiObject(pen));
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), ToGdiObject(pen));
    EXPECT_TRUE(DeleteObject(ToGdiObject(pen)));
    EXPECT_EQ(GetObjectType(ToGdiObject(pen)), OBJ_PEN);
    LOGPEN logPen{};
    EXPECT_EQ(GetObjectW(ToGdiObject(pen), sizeof logPen, &logPen), int(sizeof logPen));
    SelectObject(canvas.dc, old);
    EXPECT_EQ(GetObjectType(ToGdiObject(pen)), 0u);
    EXPECT_EQ(GdiLiveObjects(OBJ_PEN), pens);

    // Stock objects survive deletion.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    LOGBRUSH logBrush{};
    EXPECT_EQ(GetObjectW(GetStockObject(LTGRAY_BRUSH), sizeof logBrush, &logBrush), int(sizeof logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(192, 192, 192));
    EXPECT_EQ(GetObjectW(ToGdiObject(GetSysColorBrush(COLOR_BTNSHADOW)), sizeof logBrush, &logBrush),
              int(sizeof logBrush));
    EXPECT_EQ(logBrush.lbColor, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetObjectType(canvas.dc), OBJ_MEMDC);
}

TEST_F(DrawingTest, RestoringAStateReselectsItsObjectsAndFreesThoseDeletedMeanwhile) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP first = NewDibSection(2, 2, 32), second = NewDibSection(3, 3, 32);
    const HGDIOBJ original = SelectObject(dc, ToGdiObject(first));
    const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(dc, ToGdiObject(brush));
    SaveDC(dc);
    SelectObject(dc, ToGdiObject(second));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    DeleteObject(ToGdiObject(brush)); // still held by the saved state
    EXPECT_EQ(GetObjectType(ToGdiObject(brush)), OBJ_BRUSH);
    ASSERT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), ToGdiObject(first));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ToGdiObject(brush));
    RECT box{};
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 2, 2}));
    // The second bitmap is free again for another DC.
    const HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(other, ToGdiObject(second)), nullptr);
    DeleteDC(other);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetObjectType(ToGdiObject(brush)), 0u);
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(ToGdiObject(first));
    DeleteObject(ToGdiObject(second));
}

TEST_F(DrawingTest, ANewMemoryDcHoldsAOnePixelMonochromeBitmap) {
    const HDC dc = CreateCompatibleDC(nullptr);
    BITMAP bm{};
    GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    const HBITMAP mono = CreateCompatibleBitmap(dc, 4, 4);
    GetObjectW(ToGdiObject(mono), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    TCanvas colour(1, 1);
    const HBITMAP deep = CreateCompatibleBitmap(colour.dc, 4, 4);
    GetObjectW(ToGdiObject(deep), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    DeleteObject(ToGdiObject(mono));
    DeleteObject(ToGdiObject(deep));
    DeleteDC(dc);
}

} // namespace
