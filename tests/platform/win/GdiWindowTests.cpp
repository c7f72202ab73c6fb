#include "GdiFixture.h"
#include "WindowFixture.h"

#include "platform/win/gdi/ClassicFramePainter.h"
#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/system/SystemColors.h"

namespace {

class WindowDcTest : public WindowTest {};

uint32_t SurfacePixel(HWND top, int x, int y) { return WindowSurface(top)->Pixel(x, y) & 0xFFFFFF; }

void Fill(HDC dc, const RECT& r, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(ToGdiObject(brush));
}

TEST_F(WindowDcTest, ClientDcDrawsAtTheChildsPlaceClippedByItsParent) {
    const HWND top = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 40, 40});
    const HWND child = Create(WS_CHILD | WS_VISIBLE, RECT{30, 10, 50, 20}, top);
    const HDC dc = GetDC(child);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(WindowFromDC(dc), child);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10})); // the parent ends at 40
    Fill(dc, RECT{0, 0, 100, 100}, RGB(255, 0, 0));
    EXPECT_EQ(SurfacePixel(top, 30, 10), 0xFF0000u);
    EXPECT_EQ(SurfacePixel(top, 39, 19), 0xFF0000u);
    EXPECT_EQ(SurfacePixel(top, 29, 10), 0u);
    EXPECT_EQ(SurfacePixel(top, 30, 20), 0u);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    const size_t dcs = GdiLiveObjects(OBJ_DC);
    EXPECT_EQ(ReleaseDC(child, dc), 1);
    EXPECT_EQ(GdiLiveObjects(OBJ_DC), dcs - 1);
}

TEST_F(WindowDcTest, DcFlagsChooseWhatSiblingsAndChildrenHide) {
    // A child with a sibling above it at its right half and a grandchild at its left edge.
    const HWND top = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 40, 20});
    const HWND child = Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 10}, top);
    Create(WS_CHILD | WS_VISIBLE, RECT{10, 0, 30, 10}, top); // created later: above the child
    Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 5, 10}, child);
    struct {
        DWORD flags;
        bool siblingHidden, grandchildHidden;
    } const cases[] = {
        {0, false, false},
        {DCX_CLIPSIBLINGS, true, false},
        {DCX_CLIPCHILDREN, false, true},
        {DCX_CLIPSIBLINGS | DCX_CLIPCHILDREN, true, true},
    };
    for (const auto& c : cases) {
        const HDC dc = GetDCEx(child, nullptr, c.flags);
        EXPECT_EQ(PtVisible(dc, 15, 5), !c.siblingHidden) << c.flags;
        EXPECT_EQ(PtVisible(dc, 2, 5), !c.grandchildHidden) << c.flags;
        EXPECT_TRUE(PtVisible(dc, 7, 5)) << c.flags;
        EXPECT_FALSE(PtVisible(dc, 25, 5)) << c.flags; // outside the child
        ReleaseDC(child, dc);
    }
    // DCX_PARENTCLIP: the parent's client area, reaching past the child.
    const HDC parentClip = GetDCEx(child, nullptr, DCX_PARENTCLIP);
    EXPECT_TRUE(PtVisible(parentClip, 25, 5));
    ReleaseDC(child, parentClip);
}

TEST_F(WindowDcTest, WindowDcWithARegionFromTheFrameDrawsOnlyInsideIt) {
    const HWND top = Create(WS_POPUP | WS_VISIBLE, RECT{100, 100, 130, 130});
    const HRGN screenArea = CreateRectRgn(100, 100, 110, 105);
    const HDC dc = GetDCEx(top, screenArea, DCX_WINDOW | DCX_INTERSECTRGN);
    Fill(dc, RECT{0, 0, 30, 30}, RGB(0, 0, 255));
    EXPECT_EQ(SurfacePixel(top, 9, 4), 0x0000FFu);
    EXPECT_EQ(SurfacePixel(top, 10, 4), 0u);
    EXPECT_EQ(SurfacePixel(top, 9, 5), 0u);
    ReleaseDC(top, dc);
    DeleteObject(ToGdiObject(screenArea));
}

TEST_F(WindowDcTest, PaintDcDrawsOnlyInTheUpdateRegion) {
    const HWND top = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 20, 20});
    UpdateWindow(top);
    Answer(top, WM_PAINT, [top](WPARAM, LPARAM) -> std::optional<LRESULT> {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(top, &ps);
        Fill(dc, RECT{0, 0, 20, 20}, RGB(0, 255, 0));
        SaveDC(dc); // state kept with the DC and freed by EndPaint
        EndPaint(top, &ps);
        return 0;
    });
    const RECT invalid{5, 5, 8, 8};
    InvalidateRect(top, &invalid, FALSE);
    UpdateWindow(top);
    EXPECT_EQ(SurfacePixel(top, 5, 5), 0x00FF00u);
    EXPECT_EQ(SurfacePixel(top, 7, 7), 0x00FF00u);
    EXPECT_EQ(SurfacePixel(top, 8, 8), 0u);
    EXPECT_EQ(SurfacePixel(top, 4, 5), 0u);
}

TEST_F(WindowDcTest, DrawingOnTheScreenShowsAboveTheFormsUntilTheBackgroundComesBack) {
    const HWND form = Create(WS_POPUP | WS_VISIBLE, RECT{50, 50, 300, 300});
    const HDC formDc = GetDC(form);
    Fill(formDc, RECT{0, 0, 250, 250}, RGB(0, 0, 255));
    ReleaseDC(form, formDc);

    const HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetPixel(screen, 120, 120), RGB(0, 0, 255));
    TCanvas saved(10, 10);
    ASSERT_TRUE(BitBlt(saved.dc, 0, 0, 10, 10, screen, 100, 100, SRCCOPY));
    EXPECT_EQ(saved.At(0, 0) & 0xFFFFFF, 0x0000FFu);

    Fill(screen, RECT{100, 100, 110, 110}, RGB(255, 0, 0));
    const HWND overlay = ScreenOverlayWindow();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(IsWindowVisible(overlay));
    EXPECT_TRUE(TopLevelStateOf(overlay).perPixelAlpha);
    EXPECT_EQ(GetWindowLongPtrW(overlay, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_LAYERED),
              LONG_PTR(WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_LAYERED));
    const TDesktopImage shown = ComposeDesktop(RECT{99, 99, 111, 111});
    EXPECT_EQ(shown.Pixel(100, 100), 0xFFFF0000u);
    EXPECT_EQ(shown.Pixel(109, 109), 0xFFFF0000u);
    EXPECT_EQ(shown.Pixel(99, 99), 0xFF0000FFu);
    EXPECT_EQ(shown.Pixel(110, 110), 0xFF0000FFu);
    EXPECT_EQ(GetPixel(screen, 105, 105), RGB(255, 0, 0));

    ASSERT_TRUE(BitBlt(screen, 100, 100, 10, 10, saved.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(IsWindowVisible(overlay));
    EXPECT_EQ(ComposeDesktop(RECT{100, 100, 101, 101}).Pixel(100, 100), 0xFF0000FFu);
    ReleaseDC(nullptr, screen);
}

TEST_F(WindowDcTest, ClassicFramePainterDrawsEdgeScrollBarsAndSizeBox) {
    TCanvas canvas(80, 80);
    canvas.Fill(1);
    TFrameLook look;
    look.window = RECT{0, 0, 80, 80};
    look.client = RECT{2, 2, 62, 62};
    look.clientEdge = true;
    look.hasVertical = look.hasHorizontal = true;
    look.vertical.vertical = true;
    look.vertical.bar = RECT{62, 2, 78, 62};
    look.vertical.thumb = RECT{62, 26, 78, 34};
    look.vertical.pressed = TScrollBarPart::LineDown;
    look.horizontal.vertical = false;
    look.horizontal.bar = RECT{2, 62, 62, 78};
    look.horizontal.lineUpEnabled = false;
    look.sizeBox = RECT{62, 62, 78, 78};
    ClassicFramePainter()->PaintFrame(canvas.dc, look);
    struct {
        int x, y;
        uint32_t pixel;
    } const expected[] = {
        {0, 0, Sys(COLOR_BTNSHADOW)},     {1, 1, Sys(COLOR_3DDKSHADOW)},    {79, 79, Sys(COLOR_BTNHIGHLIGHT)},
        {78, 78, Sys(COLOR_3DLIGHT)},     {30, 30, 1},                      // client edge; client untouched
        {62, 2, Sys(COLOR_3DLIGHT)},      {69, 7, Sys(COLOR_BTNTEXT)},      {66, 10, Sys(COLOR_BTNTEXT)},
        {65, 10, Sys(COLOR_BTNFACE)},     // the up arrow
        {62, 46, Sys(COLOR_BTNSHADOW)},   {77, 61, Sys(COLOR_BTNSHADOW)},   // the pressed down arrow
        {66, 20, Sys(COLOR_BTNFACE)},     {67, 20, Sys(COLOR_BTNHIGHLIGHT)}, // the track's pattern
        {62, 26, Sys(COLOR_3DLIGHT)},     {64, 28, Sys(COLOR_BTNFACE)},     {77, 33, Sys(COLOR_3DDKSHADOW)}, // thumb
        {70, 70, Sys(COLOR_BTNFACE)},     // size box
        {2, 62, Sys(COLOR_3DLIGHT)},      {10, 70, Sys(COLOR_BTNSHADOW)},  // the inactive left arrow, grey
    };
    for (const auto& e : expected) EXPECT_EQ(canvas.At(e.x, e.y), e.pixel) << e.x << "," << e.y;
}

} // namespace
