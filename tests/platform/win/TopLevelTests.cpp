#include "WindowFixture.h"

namespace {

constexpr DWORD kForm = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

using TopLevel = WindowTest;

TTopLevelState Presented(HWND hwnd) {
    const auto presenter = std::dynamic_pointer_cast<TMemoryPresenter>(Presenter());
    return presenter && presenter->states.count(hwnd) ? presenter->states.at(hwnd) : TTopLevelState();
}

RECT WindowRectOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

TEST_F(TopLevel, ATopmostNoActivatePopupTakesClicksWithoutTakingTheFormsFocus) {
    const HWND form = Create(kForm, {0, 0, 400, 300});
    const HWND edit = Create(WS_CHILD | WS_VISIBLE, {10, 10, 100, 30}, form);
    SetFocus(edit);
    const HWND popup = Create(WS_POPUP, {50, 50, 150, 100}, nullptr, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    ShowWindow(popup, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(GetTopWindow(nullptr), popup);
    SetActiveWindow(form);
    EXPECT_EQ(GetTopWindow(nullptr), popup); // the form rises only to below it
    ClearRecord();
    Click(popup, 5, 6);
    RunUntilIdle();
    const auto clicks = Recorded({WM_LBUTTONDOWN});
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].hwnd, popup);
    EXPECT_EQ(clicks[0].lParam, MAKELPARAM(5, 6));
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Presented(popup).exStyle & (WS_EX_TOPMOST | WS_EX_NOACTIVATE), WS_EX_TOPMOST | WS_EX_NOACTIVATE);

    // A window answering MA_NOACTIVATE itself does the same.
    const HWND dropDown = Create(WS_POPUP | WS_BORDER, {200, 50, 300, 100}, nullptr, WS_EX_TOOLWINDOW);
    ShowWindow(dropDown, SW_SHOWNA);
    Answer(dropDown, WM_MOUSEACTIVATE, [](WPARAM, LPARAM) { return std::optional<LRESULT>(MA_NOACTIVATE); });
    ClearRecord();
    Click(dropDown, 1, 1);
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(dropDown, {WM_LBUTTONDOWN}), std::vector<UINT>{WM_LBUTTONDOWN});
    EXPECT_EQ(GetActiveWindow(), form);
}

TEST_F(TopLevel, OwnedWindowsStayAboveTheirOwnerAndMinimizeWithIt) {
    const HWND owner = Create(kForm, {0, 0, 400, 300});
    const HWND owned = Create(kPopup | WS_CAPTION, {50, 50, 150, 150}, owner);
    const HWND other = Create(kPopup, {0, 0, 10, 10});
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetTopWindow(nullptr), owned);
    EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
    EXPECT_EQ(Presented(owned).owner, owner);
    ClearRecord();
    ShowWindow(owner, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(owner));
    EXPECT_FALSE(IsWindowVisible(owned));
    EXPECT_FALSE(Presented(owned).visible);
    EXPECT_TRUE(IsWindowVisible(other));
    ShowWindow(owner, SW_RESTORE);
    EXPECT_FALSE(IsIconic(owner));
    EXPECT_TRUE(IsWindowVisible(owned));
    EXPECT_TRUE(Presented(owned).visible);
    const auto shows = Recorded({WM_SHOWWINDOW});
    std::vector<std::pair<WPARAM, LPARAM>> owns;
    for (const TRecord& r : shows)
        if (r.hwnd == owned) owns.emplace_back(r.wParam, r.lParam);
    EXPECT_EQ(owns, (std::vector<std::pair<WPARAM, LPARAM>>{{FALSE, SW_PARENTCLOSING}, {TRUE, SW_PARENTOPENING}}));
    // A window hidden by its own code stays hidden.
    ShowWindow(owned, SW_HIDE);
    ShowWindow(owner, SW_MINIMIZE);
    ShowWindow(owner, SW_SHOWMAXIMIZED);
    EXPECT_FALSE(IsWindowVisible(owned));
}

TEST_F(TopLevel, SizableWindowsKeepToTheTrackingSizesTheyAnswer) {
    const HWND sizable = Create(kPopup | WS_THICKFRAME, {0, 0, 200, 200});
    const HWND fixed = Create(kPopup, {0, 0, 200, 200});
    for (HWND h : {sizable, fixed})
        Answer(h, WM_GETMINMAXINFO, [](WPARAM, LPARAM lParam) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {150, 120};
            info->ptMaxTrackSize = {400, 300};
            return std::optional<LRESULT>(0);
        });
    struct TCase {
        SIZE asked, sizable;
    };
    for (const TCase& c : {TCase{{50, 50}, {150, 120}}, TCase{{1000, 1000}, {400, 300}}, TCase{{222, 111}, {222, 120}}}) {
        for (HWND h : {sizable, fixed}) SetWindowPos(h, nullptr, 0, 0, c.asked.cx, c.asked.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(WindowRectOf(sizable), (RECT{0, 0, c.sizable.cx, c.sizable.cy}));
        EXPECT_EQ(WindowRectOf(fixed), (RECT{0, 0, c.asked.cx, c.asked.cy}));
    }
    // The desktop resizing a window goes the same way.
    DesktopResizeWindow(sizable, SIZE{10, 10});
    EXPECT_EQ(WindowRectOf(sizable), (RECT{0, 0, 150, 120}));
}

TEST_F(TopLevel, IconsAreSetAndAnsweredPerKindAndReachThePresenter) {
    const HWND w = Create(kForm, {0, 0, 100, 100});
    const HICON big = reinterpret_cast<HICON>(uintptr_t{0x1001}), small = reinterpret_cast<HICON>(uintptr_t{0x1002});
    EXPECT_EQ(SendMessageW(w, WM_GETICON, ICON_SMALL2, 0), 0);
    EXPECT_EQ(SendMessageW(w, WM_SETICON, ICON_BIG, LPARAM(big)), 0);
    EXPECT_EQ(SendMessageW(w, WM_GETICON, ICON_SMALL2, 0), LPARAM(big)); // made from the big one
    EXPECT_EQ(SendMessageW(w, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(Presented(w).bigIcon, big);
    EXPECT_EQ(SendMessageW(w, WM_SETICON, ICON_SMALL, LPARAM(small)), 0);
    EXPECT_EQ(SendMessageW(w, WM_SETICON, ICON_SMALL, LPARAM(small)), LPARAM(small));
    EXPECT_EQ(SendMessageW(w, WM_GETICON, ICON_SMALL2, 0), LPARAM(small));
    EXPECT_EQ(Presented(w).smallIcon, small);
    EXPECT_EQ(Presented(w).bigIcon, big);
}

TEST_F(TopLevel, SystemCommandsCloseMinimizeMaximizeRestoreAndIgnoreContextHelp) {
    const HWND w = Create(kForm, {10, 10, 310, 210});
    SendMessageW(w, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
    EXPECT_FALSE(IsIconic(w) || IsZoomed(w));
    SendMessageW(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(w));
    SendMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(w));
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsZoomed(w)); // it was maximized before
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(WindowRectOf(w), (RECT{10, 10, 310, 210}));
    ClearRecord();
    SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(MessagesOf(w, {WM_CLOSE, WM_DESTROY}), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(w));
}

// A 32 x 32 popup shaped like a plus sign over a larger window.
class Shapes : public TopLevel {
protected:
    void SetUp() override {
        TopLevel::SetUp();
        below = Create(kPopup, {0, 0, 200, 200});
        popup = Create(kPopup, {100, 100, 132, 132}, nullptr, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        const RECT plus[] = {{12, 0, 20, 32}, {0, 12, 32, 20}};
        shape = TRegion::FromRects(plus);
        region = MakeRegionHandle(shape);
        ASSERT_EQ(SetWindowRgn(popup, region, TRUE), 1);
        RunUntilIdle();
        ClearRecord();
    }
    HWND below = nullptr, popup = nullptr;
    TRegion shape;
    HRGN region = nullptr;
};

TEST_F(Shapes, PointsOutsideAWindowRegionFallThroughToTheWindowBelow) {
    EXPECT_EQ(RegionOfHandle(region), nullptr); // the window took it
    EXPECT_EQ(WindowFromPoint(POINT{102, 102}), below);
    EXPECT_EQ(WindowFromPoint(POINT{115, 102}), popup);
    EXPECT_EQ(SendMessageW(popup, WM_NCHITTEST, 0, MAKELPARAM(102, 102)), HTNOWHERE);
    Click(popup, 2, 2);
    Click(popup, 15, 15);
    RunUntilIdle();
    const auto clicks = Recorded({WM_LBUTTONDOWN});
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].hwnd, below);
    EXPECT_EQ(clicks[0].lParam, MAKELPARAM(102, 102));
    EXPECT_EQ(clicks[1].hwnd, popup);
}

TEST_F(Shapes, TheRegionIsReadBackClipsPaintingAndShapesTheTopLevelState) {
    const HRGN copy = MakeRegionHandle();
    EXPECT_EQ(GetWindowRgn(popup, copy), COMPLEXREGION);
    EXPECT_EQ(*RegionOfHandle(copy), shape);
    FreeRegionHandle(copy);
    const TTopLevelState state = Presented(popup);
    EXPECT_TRUE(state.shaped);
    EXPECT_EQ(state.shape, shape);
    InvalidateRect(popup, nullptr, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(popup, &ps);
    TRegion clip = DeviceTargetOf(ps.hdc)->clip;
    EndPaint(popup, &ps);
    EXPECT_EQ(clip, shape);
    SetWindowRgn(popup, nullptr, FALSE);
    EXPECT_FALSE(Presented(popup).shaped);
    EXPECT_EQ(GetWindowRgn(popup, MakeRegionHandle()), RGN_ERROR);
    EXPECT_EQ(WindowFromPoint(POINT{102, 102}), popup);
}

TEST_F(TopLevel, LayeredWindowsCarryTheirOpacityAndLetClicksThroughWhenTransparent) {
    const HWND below = Create(kPopup, {0, 0, 200, 200});
    const HWND alert = Create(kPopup, {50, 50, 150, 150}, nullptr, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_FALSE(SetLayeredWindowAttributes(alert, 0, 128, LWA_ALPHA)); // not layered yet
    SetWindowLongPtrW(alert, GWL_EXSTYLE, GetWindowLongPtrW(alert, GWL_EXSTYLE) | WS_EX_LAYERED);
    BYTE alpha = 0;
    EXPECT_FALSE(GetLayeredWindowAttributes(alert, nullptr, &alpha, nullptr));
    // Looked up by name, as the fade does.
    const auto set = reinterpret_cast<BOOL (*)(HWND, COLORREF, BYTE, DWORD)>(
        GetProcAddress(LoadLibraryW(u"User32.dll"), "SetLayeredWindowAttributes"));
    ASSERT_TRUE(set);
    EXPECT_TRUE(set(alert, RGB(1, 2, 3), 128, LWA_ALPHA));
    COLORREF key = 1;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(alert, &key, &alpha, &flags));
    EXPECT_EQ(key, 0u); // ignored without LWA_COLORKEY
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, LWA_ALPHA);
    EXPECT_EQ(Presented(alert).alpha, 128);
    EXPECT_EQ(TopLevelStateOf(alert).alpha, 128);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), alert);

    SetWindowLongPtrW(alert, GWL_EXSTYLE, GetWindowLongPtrW(alert, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), below);
    ClearRecord();
    Click(below, 60, 60);
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(below, {WM_LBUTTONDOWN}), std::vector<UINT>{WM_LBUTTONDOWN});
    EXPECT_TRUE(MessagesOf(alert, {WM_LBUTTONDOWN}).empty());

    // No longer layered: opaque, attributes gone.
    SetWindowLongPtrW(alert, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(Presented(alert).alpha, 255);
    EXPECT_FALSE(GetLayeredWindowAttributes(alert, &key, &alpha, &flags));
    SetWindowPerPixelAlpha(alert, true);
    EXPECT_TRUE(Presented(alert).perPixelAlpha);
}

// An undecorated popup dragged by its top eight pixels, as the alert is.
class MoveLoop : public TopLevel {
protected:
    void SetUp() override {
        TopLevel::SetUp();
        w = Create(kPopup, {300, 200, 500, 300}, nullptr, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        Answer(w, WM_NCHITTEST, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(w, &pt);
            if (pt.y <= 8) return HTCAPTION;
            return std::nullopt;
        });
        RunUntilIdle();
        ClearRecord();
    }
    HWND w = nullptr;
};

TEST_F(MoveLoop, APressOnTheCaptionAreaMovesTheWindowWithThePointerUntilTheRelease) {
    const POINT grab{350, 203};
    DesktopMouseButton(TDesktopButton::Left, true, grab);
    DesktopMouseMove(POINT{grab.x + 30, grab.y + 10});
    DesktopMouseButton(TDesktopButton::Left, false, POINT{grab.x + 30, grab.y + 10});
    RunUntilIdle();
    EXPECT_EQ(WindowRectOf(w), (RECT{330, 210, 530, 310}));
    EXPECT_EQ(GetCapture(), nullptr);
    const auto commands = Recorded({WM_SYSCOMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, WPARAM(0xF012));
    const std::vector<UINT> order = MessagesOf(w, {WM_ENTERSIZEMOVE, WM_MOVING, WM_WINDOWPOSCHANGING,
                                                   WM_WINDOWPOSCHANGED, WM_MOVE, WM_EXITSIZEMOVE});
    ASSERT_GE(order.size(), 6u);
    EXPECT_EQ(order.front(), UINT(WM_ENTERSIZEMOVE));
    EXPECT_EQ(std::vector<UINT>(order.begin() + 1, order.begin() + 6),
              (std::vector<UINT>{WM_MOVING, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_MOVING}));
    EXPECT_EQ(order.back(), UINT(WM_EXITSIZEMOVE));
    EXPECT_EQ(Presented(w).rect, (RECT{330, 210, 530, 310}));
}

TEST_F(MoveLoop, EscapePutsTheWindowBack) {
    const POINT grab{350, 203};
    DesktopMouseButton(TDesktopButton::Left, true, grab);
    DesktopMouseMove(POINT{grab.x + 30, grab.y + 10});
    DesktopKey(VK_ESCAPE, true);
    DesktopKey(VK_ESCAPE, false);
    DesktopMouseButton(TDesktopButton::Left, false, POINT{grab.x + 30, grab.y + 10});
    RunUntilIdle();
    EXPECT_EQ(WindowRectOf(w), (RECT{300, 200, 500, 300}));
    EXPECT_EQ(MessagesOf(w, {WM_EXITSIZEMOVE}).size(), 1u);
}

TEST_F(MoveLoop, APresenterThatMovesWindowsItselfTakesTheDrag) {
    class TMovingPresenter : public TMemoryPresenter {
    public:
        bool StartSystemMove(HWND hwnd) override {
            moved.push_back(hwnd);
            return true;
        }
        std::vector<HWND> moved;
    };
    const auto presenter = std::make_shared<TMovingPresenter>();
    SetPresenter(presenter);
    DesktopMouseButton(TDesktopButton::Left, true, POINT{350, 203});
    DesktopMouseButton(TDesktopButton::Left, false, POINT{350, 203});
    RunUntilIdle();
    SetPresenter(nullptr);
    EXPECT_EQ(presenter->moved, std::vector<HWND>{w});
    EXPECT_TRUE(MessagesOf(w, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}).empty());
}

} // namespace
