#include "WindowFixture.h"

#include "platform/win/gdi/ClassicFramePainter.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr int kBar = 17;

// Records what the frame model hands to the painter, and paints the frame
// part of the surface so tests see where the context reached.
class TRecordingPainter : public IFramePainter {
public:
    struct TCall {
        HWND window;
        TFrameLook look;
        POINT origin; // of the context on the surface
        TRegion clip; // surface coordinates
    };
    void PaintFrame(HDC dc, const TFrameLook& look) override {
        const TDeviceTarget* target = DeviceTargetOf(dc);
        ASSERT_TRUE(target);
        POINT viewport{};
        GetViewportOrgEx(dc, &viewport);
        calls.push_back(
            TCall{target->window, look, POINT{target->origin.x + viewport.x, target->origin.y + viewport.y}, target->clip});
        for (const RECT& r : target->clip.Rects())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) target->surface->Row(y)[x] = kFramePixel;
    }
    void PaintScrollBar(HDC, const TScrollBarLook&) override {}

    static constexpr uint32_t kFramePixel = 0xFF123456;
    std::vector<TCall> calls;
};

class Frames : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetFramePainter(painter);
    }
    void TearDown() override {
        SetFramePainter(ClassicFramePainter());
        WindowTest::TearDown();
    }
    // The client area on the screen.
    static RECT ClientOnScreen(HWND hwnd) {
        RECT r;
        GetClientRect(hwnd, &r);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        return RECT{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom};
    }
    std::shared_ptr<TRecordingPainter> painter = std::make_shared<TRecordingPainter>();
};

TEST_F(Frames, TheDefaultNonClientAreaTakesBordersEdgesMenuRowsAndScrollBars) {
    struct TCase {
        const char* name;
        DWORD style, exStyle;
        bool menu;
        RECT insets; // left, top, right, bottom
    };
    const int menu = GetSystemMetrics(SM_CYMENU);
    for (const TCase& c : {
             TCase{"plain popup", kPopup, 0, false, {0, 0, 0, 0}},
             TCase{"border", kPopup | WS_BORDER, 0, false, {1, 1, 1, 1}},
             TCase{"dialog frame", kPopup | WS_DLGFRAME, 0, false, {3, 3, 3, 3}},
             TCase{"sizing frame", kPopup | WS_THICKFRAME, 0, false, {4, 4, 4, 4}},
             TCase{"static edge", kPopup, WS_EX_STATICEDGE, false, {1, 1, 1, 1}},
             TCase{"client edge", kPopup, WS_EX_CLIENTEDGE, false, {2, 2, 2, 2}},
             TCase{"bars and client edge", kPopup | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, false,
                   {2, 2, 2 + kBar, 2 + kBar}},
             TCase{"border and client edge", kPopup | WS_BORDER, WS_EX_CLIENTEDGE, false, {3, 3, 3, 3}},
             TCase{"menu bar", kPopup | WS_BORDER, 0, true, {1, 1 + menu, 1, 1}},
             TCase{"a form's frame is the window manager's", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL,
                   WS_EX_CLIENTEDGE, true, {2, 2 + menu, 2 + kBar, 2}},
         }) {
        SCOPED_TRACE(c.name);
        const HWND w = CreateWindowExW(c.exStyle, kClass, u"", c.style, 100, 50, 200, 150, nullptr,
                                       c.menu ? reinterpret_cast<HMENU>(uintptr_t{7}) : nullptr, nullptr, nullptr);
        ASSERT_TRUE(w);
        EXPECT_EQ(ClientOnScreen(w),
                  (RECT{100 + c.insets.left, 50 + c.insets.top, 300 - c.insets.right, 200 - c.insets.bottom}));
        DestroyWindow(w);
    }
}

TEST_F(Frames, ABarTooWideForTheWindowTakesNoRoomAndAChildsFrameIsItsOwn) {
    const HWND narrow = Create(kPopup | WS_VSCROLL, {0, 0, 10, 40});
    RECT client;
    GetClientRect(narrow, &client);
    EXPECT_EQ(client, (RECT{0, 0, 10, 40}));
    const HWND parent = Create(kPopup | WS_BORDER, {100, 100, 300, 300});
    const HWND child = Create(kChild | WS_BORDER, {10, 20, 60, 70}, parent, WS_EX_CLIENTEDGE);
    EXPECT_EQ(ClientOnScreen(child), (RECT{101 + 10 + 3, 101 + 20 + 3, 101 + 60 - 3, 101 + 70 - 3}));
    RECT window;
    GetWindowRect(child, &window);
    EXPECT_EQ(window, (RECT{111, 121, 161, 171}));
}

TEST_F(Frames, FrameChangedRecalculatesTheClientAreaWhichReportsItsNewSize) {
    const HWND w = Create(kPopup, {0, 0, 100, 80});
    SetWindowLongPtrW(w, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client, (RECT{0, 0, 100, 80})); // not before the frame is recalculated
    ClearRecord();
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    GetClientRect(w, &client);
    EXPECT_EQ(client, (RECT{0, 0, 96, 76}));
    const auto sizes = Recorded({WM_NCCALCSIZE, WM_SIZE, WM_MOVE});
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].message, UINT(WM_NCCALCSIZE));
    EXPECT_EQ(sizes[0].wParam, WPARAM(TRUE));
    EXPECT_EQ(sizes[1].message, UINT(WM_MOVE));
    EXPECT_EQ(sizes[1].lParam, MAKELPARAM(2, 2));
    EXPECT_EQ(sizes[2].message, UINT(WM_SIZE));
    EXPECT_EQ(sizes[2].lParam, MAKELPARAM(96, 76));
    // Moving keeps the client size: no WM_SIZE.
    ClearRecord();
    SetWindowPos(w, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MessagesOf(w, {WM_SIZE, WM_MOVE}), std::vector<UINT>{WM_MOVE});
    EXPECT_EQ(Recorded({WM_MOVE})[0].lParam, MAKELPARAM(7, 7));
}

TEST_F(Frames, ScrollingAWindowMovesOnlyItsClientArea) {
    const HWND w = Create(kPopup | WS_VSCROLL, {0, 0, 100, 100}, nullptr, WS_EX_CLIENTEDGE);
    RunUntilIdle();
    RECT uncovered{};
    ScrollWindowEx(w, 0, -10, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE);
    EXPECT_EQ(uncovered, (RECT{0, 86, 96 - kBar, 96}));
    RECT update{};
    GetUpdateRect(w, &update, FALSE);
    EXPECT_EQ(update, uncovered);
}

TEST_F(Frames, TheDefaultHitTestNamesEveryPartOfTheFrame) {
    const HWND w = CreateWindowExW(WS_EX_CLIENTEDGE, kClass, u"", kPopup | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 100,
                                   100, 200, 150, nullptr, reinterpret_cast<HMENU>(uintptr_t{7}), nullptr, nullptr);
    const int menu = GetSystemMetrics(SM_CYMENU);
    const RECT client = ClientOnScreen(w);
    struct TCase {
        const char* name;
        POINT pt;
        int code;
    };
    for (const TCase& c : {TCase{"client", {client.left + 5, client.top + 5}, HTCLIENT},
                           TCase{"vertical bar", {client.right + 3, client.top + 5}, HTVSCROLL},
                           TCase{"horizontal bar", {client.left + 5, client.bottom + 3}, HTHSCROLL},
                           TCase{"where both bars meet", {client.right + 3, client.bottom + 3}, HTGROWBOX},
                           TCase{"menu bar", {150, 101 + menu / 2}, HTMENU},
                           TCase{"border", {100, 150}, HTBORDER},
                           TCase{"client edge", {client.left - 1, client.top + 5}, HTBORDER},
                           TCase{"outside", {99, 150}, HTNOWHERE}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(c.pt.x), WORD(c.pt.y))), c.code);
    }
}

// A header inset of 20 pixels at the top, answering HTBORDER so its mouse
// arrives as non-client messages.
class InsetFrames : public Frames {
protected:
    void SetUp() override {
        Frames::SetUp();
        w = Create(kPopup | WS_VSCROLL, {100, 100, 300, 250}, nullptr, WS_EX_CLIENTEDGE);
        Answer(w, WM_NCCALCSIZE, [this](WPARAM wParam, LPARAM lParam) {
            DefWindowProcW(w, WM_NCCALCSIZE, wParam, lParam);
            RECT& r = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
            r.top += 20;
            return std::optional<LRESULT>(0);
        });
        Answer(w, WM_NCHITTEST, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(w, &pt);
            const LRESULT hit = DefWindowProcW(w, WM_NCHITTEST, wParam, lParam);
            if (hit == HTBORDER && pt.y < 0 && pt.y >= -20) return HTBORDER;
            return hit;
        });
        SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        RunUntilIdle();
        ClearRecord();
        painter->calls.clear();
    }
    HWND w = nullptr;
};

TEST_F(InsetFrames, AnInsetAddedAroundTheDefaultGetsNonClientMouseWithScreenPoints) {
    EXPECT_EQ(ClientOnScreen(w), (RECT{102, 122, 298 - kBar, 248}));
    const POINT inset{150, 110};
    DesktopMouseMove(inset);
    DesktopMouseButton(TDesktopButton::Left, true, inset);
    DesktopMouseButton(TDesktopButton::Left, false, inset);
    RunUntilIdle();
    const auto mouse = Recorded({WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN});
    ASSERT_EQ(mouse.size(), 3u);
    for (const TRecord& r : mouse) {
        EXPECT_EQ(r.wParam, WPARAM(HTBORDER));
        EXPECT_EQ(r.lParam, MAKELPARAM(150, 110));
    }
    EXPECT_EQ(mouse[0].message, UINT(WM_NCMOUSEMOVE));
    EXPECT_EQ(mouse[1].message, UINT(WM_NCLBUTTONDOWN));

    // Under capture the same place is the client's, above its origin.
    SetCapture(w);
    ClearRecord();
    DesktopMouseMove(POINT{151, 111});
    RunUntilIdle();
    const auto captured = Recorded({WM_NCMOUSEMOVE, WM_MOUSEMOVE});
    ASSERT_EQ(captured.size(), 1u);
    EXPECT_EQ(captured[0].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(GET_Y_LPARAM(captured[0].lParam), 111 - 122);
    ReleaseCapture();
}

TEST_F(InsetFrames, FrameDoubleClicksComeWithoutTheClassStyle) {
    const POINT inset{150, 110};
    for (int i = 0; i < 2; ++i) {
        DesktopMouseButton(TDesktopButton::Left, true, inset);
        DesktopMouseButton(TDesktopButton::Left, false, inset);
    }
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(w, {WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK}),
              (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK}));
}

TEST_F(InsetFrames, FrameInvalidationShowingSizingAndFrameChangesPaintTheFrame) {
    struct TCase {
        const char* name;
        std::function<void()> act;
        WPARAM wParam; // 1: the whole frame
    };
    const RECT inset{0, -20, 10, -10};
    for (const TCase& c : {
             TCase{"redraw with the frame", [&] { RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }, 1},
             TCase{"a frame part", [&] { RedrawWindow(w, &inset, nullptr, RDW_FRAME | RDW_INVALIDATE); }, 0},
             TCase{"showing",
                   [&] {
                       ShowWindow(w, SW_HIDE);
                       ShowWindow(w, SW_SHOWNA);
                   },
                   1},
             TCase{"sizing", [&] { SetWindowPos(w, nullptr, 0, 0, 210, 160, SWP_NOMOVE | SWP_NOZORDER); }, 1},
             TCase{"frame changed",
                   [&] { SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER); },
                   1},
         }) {
        SCOPED_TRACE(c.name);
        RunUntilIdle();
        ClearRecord();
        painter->calls.clear();
        c.act();
        RunUntilIdle();
        const auto paints = Recorded({WM_NCPAINT});
        ASSERT_EQ(paints.size(), 1u);
        if (c.wParam == 1) EXPECT_EQ(paints[0].wParam, WPARAM(1));
        else EXPECT_NE(paints[0].wParam, WPARAM(1));
        ASSERT_EQ(painter->calls.size(), 1u);
    }
    // Invalidating the client alone leaves the frame.
    ClearRecord();
    InvalidateRect(w, nullptr, FALSE);
    RunUntilIdle();
    EXPECT_TRUE(Recorded({WM_NCPAINT}).empty());
}

TEST_F(InsetFrames, ThePainterGetsTheFramesLookOverAContextClippedToTheFrame) {
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(painter->calls.size(), 1u);
    const TRecordingPainter::TCall& call = painter->calls[0];
    EXPECT_EQ(call.window, w);
    EXPECT_EQ(call.origin, (POINT{0, 0}));
    EXPECT_EQ(call.look.window, (RECT{0, 0, 200, 150}));
    EXPECT_EQ(call.look.client, (RECT{2, 22, 198 - kBar, 148}));
    EXPECT_TRUE(call.look.clientEdge);
    EXPECT_FALSE(call.look.border);
    EXPECT_TRUE(call.look.hasVertical);
    EXPECT_FALSE(call.look.hasHorizontal);
    EXPECT_EQ(call.look.vertical.bar, (RECT{198 - kBar, 22, 198, 148}));
    EXPECT_EQ(call.clip, TRegion(RECT{0, 0, 200, 150}) - TRegion(RECT{2, 22, 198 - kBar, 148}));
    const TSurface& surface = *WindowSurface(w);
    EXPECT_EQ(surface.Pixel(100, 10), TRecordingPainter::kFramePixel);
    EXPECT_NE(surface.Pixel(100, 50), TRecordingPainter::kFramePixel);
}

TEST_F(Frames, PrintDrawsTheFrameTheClientAndTheChildrenAtTheirPlaces) {
    const HWND w = Create(kPopup | WS_BORDER, {0, 0, 100, 100});
    const HWND child = Create(kChild, {10, 20, 40, 50}, w, WS_EX_CLIENTEDGE);
    const HWND hidden = Create(WS_CHILD, {0, 0, 10, 10}, w);
    const HWND target = Create(kPopup, {200, 0, 400, 200});
    RunUntilIdle();
    painter->calls.clear();
    ClearRecord();
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(target, &ps);
    SendMessageW(w, WM_PRINT, WPARAM(dc), PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
    SendMessageW(hidden, WM_PRINT, WPARAM(dc), PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT);
    EndPaint(target, &ps);
    ASSERT_EQ(painter->calls.size(), 2u);
    EXPECT_EQ(painter->calls[0].origin, (POINT{0, 0}));
    EXPECT_EQ(painter->calls[1].origin, (POINT{1 + 10, 1 + 20})); // inside the parent's border
    EXPECT_TRUE(painter->calls[1].look.clientEdge);
    const auto printed = Recorded({WM_PRINT, WM_PRINTCLIENT});
    std::vector<std::pair<HWND, UINT>> order;
    for (const TRecord& r : printed) order.emplace_back(r.hwnd, r.message);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{w, WM_PRINT},
                                                         {w, WM_PRINTCLIENT},
                                                         {child, WM_PRINT},
                                                         {child, WM_PRINTCLIENT},
                                                         {hidden, WM_PRINT}}));
}

TEST_F(Frames, PrintOwnedWindowsFollowTheirOwnerAtTheirScreenOffset) {
    const HWND owner = Create(kPopup, {100, 100, 200, 200});
    const HWND owned = Create(kPopup | WS_BORDER, {150, 120, 180, 150}, owner);
    const HWND target = Create(kPopup, {300, 0, 500, 200});
    RunUntilIdle();
    painter->calls.clear();
    ClearRecord();
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(target, &ps);
    SendMessageW(owner, WM_PRINT, WPARAM(dc), PRF_NONCLIENT | PRF_OWNED);
    EndPaint(target, &ps);
    ASSERT_EQ(painter->calls.size(), 2u);
    EXPECT_EQ(painter->calls[1].window, target);
    EXPECT_EQ(painter->calls[1].origin, (POINT{50, 20}));
    EXPECT_EQ(MessagesOf(owned, {WM_PRINT}), std::vector<UINT>{WM_PRINT});
}

} // namespace
