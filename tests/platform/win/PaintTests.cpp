#include "WindowFixture.h"

#include "platform/win/paint/Composite.h"

namespace {

class Paint : public WindowTest {
protected:
    // A window whose WM_PAINT records what BeginPaint tells.
    void Watch(HWND hwnd) {
        Answer(hwnd, WM_PAINT, [this, hwnd](WPARAM, LPARAM) {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            painted.push_back({hwnd, ps.rcPaint, bool(ps.fErase), DeviceTargetOf(ps.hdc)->clip});
            EndPaint(hwnd, &ps);
            return std::optional<LRESULT>(0);
        });
    }
    HWND Settled(DWORD style, RECT r, HWND parent = nullptr) {
        const HWND hwnd = Create(style, r, parent);
        RunUntilIdle();
        return hwnd;
    }
    void Settle() {
        RunUntilIdle();
        painted.clear();
        ClearRecord();
    }
    std::vector<HWND> PaintedWindows() const {
        std::vector<HWND> result;
        for (const auto& p : painted) result.push_back(p.hwnd);
        return result;
    }

    struct TPainted {
        HWND hwnd;
        RECT rcPaint;
        bool fErase;
        TRegion clip;
    };
    std::vector<TPainted> painted;
};

TEST_F(Paint, InvalidationsMergeIntoOnePaintAndEraseOnlyWhenAsked) {
    const HWND w = Settled(kPopup, {0, 0, 200, 200});
    Watch(w);
    for (const BOOL erase : {FALSE, TRUE}) {
        SCOPED_TRACE(erase);
        Settle();
        const RECT a{10, 10, 20, 20}, b{50, 60, 70, 80};
        InvalidateRect(w, &a, erase);
        InvalidateRect(w, &b, FALSE);
        RECT update;
        EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
        EXPECT_EQ(update, (RECT{10, 10, 70, 80}));
        ASSERT_TRUE(UpdateWindow(w));
        ASSERT_EQ(painted.size(), 1u);
        EXPECT_EQ(painted[0].rcPaint, (RECT{10, 10, 70, 80}));
        EXPECT_EQ(painted[0].clip, TRegion::FromRects(std::vector<RECT>{a, b}));
        EXPECT_EQ(MessagesOf(w, {WM_ERASEBKGND}).size(), erase ? 1u : 0u);
        EXPECT_EQ(painted[0].fErase, bool(erase)); // the default erased nothing: no class brush
        EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
        RunUntilIdle();
        EXPECT_EQ(painted.size(), 1u);
    }
}

TEST_F(Paint, RedrawOffKeepsInvalidationsAndRedrawWindowPaintsEachWindowOnce) {
    const HWND parent = Settled(kPopup, {0, 0, 200, 200});
    const HWND a = Settled(kChild, {10, 10, 60, 60}, parent);
    const HWND b = Settled(kChild, {100, 10, 150, 60}, parent);
    for (HWND h : {parent, a, b}) Watch(h);
    Settle();
    SendMessageW(parent, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(parent, nullptr, TRUE);
    RunUntilIdle();
    EXPECT_TRUE(painted.empty());
    RECT update;
    EXPECT_TRUE(GetUpdateRect(a, &update, FALSE)); // kept: the parent has no WS_CLIPCHILDREN
    SendMessageW(parent, WM_SETREDRAW, TRUE, 0);
    EXPECT_TRUE(painted.empty()); // turning it on paints nothing by itself
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(PaintedWindows(), (std::vector<HWND>{parent, b, a}));
    RunUntilIdle();
    EXPECT_EQ(painted.size(), 3u);
}

TEST_F(Paint, ParentsPaintBeforeChildrenAndClipChildrenKeepsThemOut) {
    const HWND clipping = Settled(kPopup | WS_CLIPCHILDREN, {0, 0, 100, 100});
    const HWND child = Settled(kChild, {10, 10, 30, 30}, clipping);
    const HWND plain = Settled(kPopup, {200, 0, 300, 100});
    const HWND inner = Settled(kChild, {10, 10, 30, 30}, plain);
    for (HWND h : {clipping, child, plain, inner}) Watch(h);
    Settle();
    InvalidateRect(clipping, nullptr, FALSE);
    RunUntilIdle();
    ASSERT_EQ(PaintedWindows(), std::vector<HWND>{clipping}); // its children are left alone
    EXPECT_EQ(painted[0].clip, TRegion(RECT{0, 0, 100, 100}) - TRegion(RECT{10, 10, 30, 30}));
    Settle();
    InvalidateRect(plain, nullptr, FALSE);
    RunUntilIdle();
    EXPECT_EQ(PaintedWindows(), (std::vector<HWND>{plain, inner}));
    EXPECT_EQ(painted[0].clip, TRegion(RECT{0, 0, 100, 100}));
}

TEST_F(Paint, SiblingsAboveAreClippedOutOfAWindowWithClipSiblings) {
    const HWND top = Settled(kPopup, {0, 0, 100, 100});
    const HWND below = Settled(kChild | WS_CLIPSIBLINGS, {0, 0, 50, 50}, top);
    Settled(kChild, {20, 20, 80, 80}, top);
    Watch(below);
    Settle();
    InvalidateRect(below, nullptr, FALSE);
    UpdateWindow(below);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0].clip, TRegion(RECT{0, 0, 50, 50}) - TRegion(RECT{20, 20, 50, 50}));
}

TEST_F(Paint, TheDefaultEraseFillsWithTheClassSystemColourOnlyWhereAsked) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowTest::RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
    wc.lpszClassName = u"Brushed";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    const HWND w = Settled(kPopup, {0, 0, 40, 40});
    (void)w;
    const HWND brushed = CreateWindowExW(0, u"Brushed", u"", kPopup, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    RunUntilIdle(); // shown: invalidated with erase
    TSurface& surface = *WindowSurface(brushed);
    const uint32_t window = PixelOf(GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(surface.Pixel(39, 39), window);
    std::fill(surface.pixels.begin(), surface.pixels.end(), 0u);
    const RECT part{5, 5, 10, 10};
    InvalidateRect(brushed, &part, FALSE);
    UpdateWindow(brushed);
    EXPECT_EQ(surface.Pixel(6, 6), 0u); // nothing erased unasked
    InvalidateRect(brushed, &part, TRUE);
    UpdateWindow(brushed);
    EXPECT_EQ(surface.Pixel(6, 6), window);
    EXPECT_EQ(surface.Pixel(10, 10), 0u);
    DestroyWindow(brushed);
    UnregisterClassW(u"Brushed", nullptr);
}

TEST_F(Paint, AProcedureThatDoesNotPaintIsNotAskedForever) {
    const HWND w = Settled(kPopup, {0, 0, 40, 40});
    Answer(w, WM_PAINT, [](WPARAM, LPARAM) { return std::optional<LRESULT>(0); });
    Settle();
    InvalidateRect(w, nullptr, FALSE);
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(w, {WM_PAINT}).size(), 1u);
}

TEST_F(Paint, HiddenWindowsAreNotPaintedAndShowingOnePaintsItWithItsChildren) {
    const HWND w = Create(WS_POPUP, {0, 0, 40, 40});
    const HWND child = Create(kChild, {0, 0, 10, 10}, w);
    Watch(w);
    Watch(child);
    InvalidateRect(w, nullptr, TRUE);
    RunUntilIdle();
    EXPECT_TRUE(painted.empty());
    ShowWindow(w, SW_SHOWNA);
    RunUntilIdle();
    EXPECT_EQ(PaintedWindows(), (std::vector<HWND>{w, child}));
    EXPECT_EQ(MessagesOf(w, {WM_ERASEBKGND}).size(), 1u);
}

TEST_F(Paint, LockedWindowsWaitUntilUnlocked) {
    const HWND w = Settled(kPopup, {0, 0, 40, 40});
    Watch(w);
    Settle();
    ASSERT_TRUE(LockWindowUpdate(w));
    EXPECT_FALSE(LockWindowUpdate(w)); // one at a time
    InvalidateRect(w, nullptr, FALSE);
    RunUntilIdle();
    EXPECT_TRUE(painted.empty());
    ASSERT_TRUE(LockWindowUpdate(nullptr));
    RunUntilIdle();
    EXPECT_EQ(painted.size(), 1u);
}

TEST_F(Paint, ScrollingMovesThePixelsAndThePendingUpdateAndInvalidatesTheUncoveredStrip) {
    const HWND w = Settled(kPopup, {0, 0, 100, 100});
    TSurface& surface = *WindowSurface(w);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) surface.Row(y)[x] = uint32_t(y * 1000 + x);
    const RECT pending{0, 50, 10, 60};
    InvalidateRect(w, &pending, FALSE);
    const HRGN update = MakeRegionHandle();
    RECT updateRect{};
    EXPECT_EQ(ScrollWindowEx(w, 0, -20, nullptr, nullptr, update, &updateRect, SW_INVALIDATE), SIMPLEREGION);
    EXPECT_EQ(surface.Pixel(7, 0), 20'007u);
    EXPECT_EQ(surface.Pixel(99, 79), 99'099u);
    EXPECT_EQ(updateRect, (RECT{0, 80, 100, 100}));
    EXPECT_EQ(*RegionOfHandle(update), TRegion(RECT{0, 80, 100, 100}));
    const HRGN waiting = MakeRegionHandle();
    EXPECT_EQ(GetUpdateRgn(w, waiting, FALSE), COMPLEXREGION);
    EXPECT_EQ(*RegionOfHandle(waiting), TRegion(RECT{0, 30, 10, 40}) | TRegion(RECT{0, 80, 100, 100}));
    FreeRegionHandle(update);
    FreeRegionHandle(waiting);

    // Sideways inside a scroll rectangle, the rest untouched.
    ValidateRect(w, nullptr);
    const RECT inside{10, 10, 50, 20};
    EXPECT_EQ(ScrollWindowEx(w, 5, 0, &inside, nullptr, nullptr, &updateRect, 0), SIMPLEREGION);
    EXPECT_EQ(updateRect, (RECT{10, 10, 15, 20}));
    EXPECT_EQ(surface.Pixel(15, 10), 30'010u);
    EXPECT_EQ(surface.Pixel(9, 10), 30'009u);
    RECT none;
    EXPECT_FALSE(GetUpdateRect(w, &none, FALSE)); // without SW_INVALIDATE nothing is invalidated
}

TEST_F(Paint, ScrollingChildrenMovesThemAlong) {
    const HWND w = Settled(kPopup, {0, 0, 100, 100});
    const HWND child = Settled(kChild, {10, 10, 20, 20}, w);
    ScrollWindow(w, 0, -5, nullptr, nullptr);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r, (RECT{10, 5, 20, 15}));
    RECT update;
    ASSERT_TRUE(GetUpdateRect(w, &update, FALSE));
    EXPECT_EQ(update, (RECT{0, 95, 100, 100}));
}

TEST_F(Paint, ThePresenterGetsWhatWasPainted) {
    auto presenter = std::make_shared<TMemoryPresenter>();
    SetPresenter(presenter);
    const HWND w = Settled(kPopup, {0, 0, 40, 40});
    presenter->frames.clear();
    const RECT part{5, 5, 10, 10};
    InvalidateRect(w, &part, FALSE);
    RunUntilIdle();
    ASSERT_EQ(presenter->frames.size(), 1u);
    EXPECT_EQ(presenter->frames[0].window, w);
    EXPECT_EQ(presenter->frames[0].dirty, std::vector<RECT>{part});
    SetPresenter(nullptr);
}

TEST_F(Paint, ThePresenterFollowsATopLevelWindowsStateUntilItIsDestroyed) {
    auto presenter = std::make_shared<TMemoryPresenter>();
    SetPresenter(presenter);
    const HWND owner = Settled(kPopup, {0, 0, 40, 40});
    const HWND w = Create(WS_POPUP, {10, 20, 50, 60});
    SetWindowLongPtrW(w, GWLP_HWNDPARENT, LONG_PTR(owner));
    ShowWindow(w, SW_SHOWNA);
    SetWindowPos(w, nullptr, 30, 40, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(w, u"视频");
    SetWindowLongPtrW(w, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    ASSERT_TRUE(presenter->states.contains(w));
    const TTopLevelState& state = presenter->states[w];
    EXPECT_TRUE(state.visible);
    EXPECT_EQ(state.rect, (RECT{30, 40, 130, 90}));
    EXPECT_EQ(state.owner, owner);
    EXPECT_EQ(state.title, String(u"视频"));
    EXPECT_EQ(state.exStyle, DWORD(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    DestroyWindow(w);
    EXPECT_FALSE(presenter->states.contains(w));
    EXPECT_TRUE(presenter->states.contains(owner));
    SetPresenter(nullptr);
}

TEST_F(Paint, TheDesktopComposesVisibleTopLevelWindowsInZOrder) {
    const auto fill = [](HWND hwnd, uint32_t pixel) {
        TSurface* surface = WindowSurface(hwnd);
        std::fill(surface->pixels.begin(), surface->pixels.end(), pixel);
    };
    const HWND below = Settled(kPopup, {10, 10, 30, 30});
    const HWND above = Settled(kPopup, {20, 20, 40, 40});
    const HWND hidden = Settled(WS_POPUP, {0, 0, 50, 50});
    fill(below, 0x00FF0000); // alpha bytes of ordinary windows do not count
    fill(above, 0xFF0000FF);
    fill(hidden, 0xFF00FF00);
    const TDesktopImage image = ComposeDesktop({5, 5, 45, 45});
    EXPECT_EQ(image.Pixel(5, 5), 0u);
    EXPECT_EQ(image.Pixel(12, 12), 0xFFFF0000u);
    EXPECT_EQ(image.Pixel(25, 25), 0xFF0000FFu);
    EXPECT_EQ(image.Pixel(39, 39), 0xFF0000FFu);
    EXPECT_EQ(image.Pixel(44, 10), 0u);
}

TEST_F(Paint, AResizedTopLevelKeepsItsPixelsAndPaintsOnlyTheNewPart) {
    const HWND w = Settled(kPopup, {0, 0, 40, 40});
    TSurface& surface = *WindowSurface(w);
    surface.Row(39)[39] = 123;
    SetWindowPos(w, nullptr, 0, 0, 60, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(surface.width, 60);
    EXPECT_EQ(surface.Pixel(39, 39), 123u);
    const HRGN update = MakeRegionHandle();
    GetUpdateRgn(w, update, FALSE);
    EXPECT_EQ(*RegionOfHandle(update), TRegion(RECT{0, 0, 60, 50}) - TRegion(RECT{0, 0, 40, 40}));
    FreeRegionHandle(update);
}

} // namespace
