#include <functional>

#include "WindowFixture.h"

namespace {

using Input = WindowTest;

constexpr UINT kMouseButtons[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};

TEST_F(Input, DoubleClicksNeedTheClassStyleTheSameWindowAndTheTimeAndBox) {
    struct TCase {
        const char* name;
        const char16_t* cls;
        uint64_t gap;
        int dx;
        bool clickElsewhere;
        std::vector<UINT> expected;
    };
    const std::vector<UINT> twice{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
    const std::vector<UINT> doubled{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    for (const TCase& c : {TCase{"double", kDoubleClickClass, 300, 2, false, doubled},
                           TCase{"without the style", kClass, 300, 2, false, twice},
                           TCase{"too slow", kDoubleClickClass, 600, 2, false, twice},
                           TCase{"too far", kDoubleClickClass, 300, 3, false, twice},
                           TCase{"another window between", kDoubleClickClass, 300, 0, true, twice}}) {
        SCOPED_TRACE(c.name);
        const HWND w = Create(kPopup, {100, 100, 200, 200}, nullptr, 0, c.cls);
        const HWND other = Create(kPopup, {300, 100, 400, 200}, nullptr, 0, kDoubleClickClass);
        Click(w, 10, 10);
        if (c.clickElsewhere) Click(other, 10, 10);
        Advance(c.gap);
        Click(w, 10 + c.dx, 10);
        ClearRecord();
        RunUntilIdle();
        EXPECT_EQ(MessagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}), c.expected);
        DestroyWindow(w);
        DestroyWindow(other);
        Advance(1000);
    }
}

TEST_F(Input, FocusingAChildOfAnotherTopLevelActivatesItFirstInTheDocumentedOrder) {
    const HWND oldTop = Create(kPopup, {0, 0, 100, 100});
    const HWND oldFocus = Create(kChild, {0, 0, 10, 10}, oldTop);
    const HWND newTop = Create(kPopup, {200, 0, 300, 100});
    const HWND child = Create(kChild, {0, 0, 10, 10}, newTop);
    for (HWND top : {oldTop, newTop}) Answer(top, WM_ACTIVATE, [](WPARAM, LPARAM) { return std::optional<LRESULT>(0); });
    ASSERT_TRUE(SetFocus(oldFocus));
    ASSERT_EQ(GetActiveWindow(), oldTop);
    ClearRecord();

    EXPECT_EQ(SetFocus(child), oldFocus);
    struct TStep {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool operator==(const TStep&) const = default;
    };
    std::vector<TStep> steps;
    for (const TRecord& r : Recorded({WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}))
        steps.push_back({r.hwnd, r.message, r.wParam, r.lParam});
    const std::vector<TStep> expected{
        {oldTop, WM_NCACTIVATE, FALSE, LPARAM(newTop)},     {oldTop, WM_ACTIVATE, WA_INACTIVE, LPARAM(newTop)},
        {newTop, WM_NCACTIVATE, TRUE, LPARAM(oldTop)},      {newTop, WM_ACTIVATE, WA_ACTIVE, LPARAM(oldTop)},
        {oldFocus, WM_KILLFOCUS, WPARAM(child), 0},         {child, WM_SETFOCUS, WPARAM(oldFocus), 0}};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), newTop);
    EXPECT_EQ(GetForegroundWindow(), newTop);
}

TEST_F(Input, TheDefaultActivationFocusesTheWindowAndTheAppIsToldWhenItGainsOrLosesIt) {
    const HWND a = Create(kPopup, {0, 0, 100, 100});
    const HWND b = Create(kPopup, {0, 0, 100, 100});
    DesktopActivate(nullptr);
    ClearRecord();
    DesktopActivate(a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(MessagesOf(b, {WM_ACTIVATEAPP}), (std::vector<UINT>{WM_ACTIVATEAPP}));
    EXPECT_EQ(Recorded({WM_ACTIVATEAPP}).front().wParam, WPARAM(TRUE));
    ClearRecord();
    DesktopActivate(nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(MessagesOf(a, {WM_KILLFOCUS, WM_ACTIVATEAPP}), (std::vector<UINT>{WM_KILLFOCUS, WM_ACTIVATEAPP}));
    EXPECT_EQ(Recorded({WM_ACTIVATEAPP}).front().wParam, WPARAM(FALSE));
}

TEST_F(Input, HiddenOrDisabledWindowsRefuseTheFocus) {
    const HWND top = Create(kPopup, {0, 0, 100, 100});
    const HWND hidden = Create(WS_CHILD, {0, 0, 10, 10}, top);
    const HWND disabled = Create(kChild | WS_DISABLED, {0, 0, 10, 10}, top);
    SetFocus(top);
    EXPECT_EQ(SetFocus(hidden), nullptr);
    EXPECT_EQ(SetFocus(disabled), nullptr);
    EXPECT_EQ(GetFocus(), top);
}

TEST_F(Input, MouseActivationAnswersDecideActivationAndWhetherTheClickArrives) {
    struct TCase {
        LRESULT answer;
        bool activates, clicks;
    };
    for (const TCase c : {TCase{MA_ACTIVATE, true, true}, TCase{MA_ACTIVATEANDEAT, true, false},
                          TCase{MA_NOACTIVATE, false, true}, TCase{MA_NOACTIVATEANDEAT, false, false}}) {
        SCOPED_TRACE(c.answer);
        const HWND active = Create(kPopup, {0, 0, 100, 100});
        const HWND popup = Create(kPopup, {200, 0, 300, 100});
        const HWND button = Create(kChild, {10, 10, 50, 50}, popup);
        SetActiveWindow(active);
        // The child's default asks its parent, which answers.
        Answer(popup, WM_MOUSEACTIVATE, [c](WPARAM, LPARAM) { return std::optional<LRESULT>(c.answer); });
        ClearRecord();
        Click(button, 5, 5);
        RunUntilIdle();
        EXPECT_EQ(GetActiveWindow(), c.activates ? popup : active);
        if (c.activates) {
            EXPECT_EQ(LOWORD(Recorded({WM_ACTIVATE}).back().wParam), WA_CLICKACTIVE);
        }
        EXPECT_EQ(!MessagesOf(button, {WM_LBUTTONDOWN}).empty(), c.clicks);
        const auto asked = Recorded({WM_MOUSEACTIVATE});
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].hwnd, button);
        EXPECT_EQ(HWND(asked[0].wParam), popup);
        EXPECT_EQ(asked[0].lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        DestroyWindow(active);
        DestroyWindow(popup);
    }
}

TEST_F(Input, DisablingTheFocusWindowsParentMovesTheFocusAwayAndDropsItsClicks) {
    const HWND top = Create(kPopup, {0, 0, 200, 200});
    const HWND panel = Create(kChild, {10, 10, 110, 110}, top);
    const HWND edit = Create(kChild, {10, 10, 50, 50}, panel);
    SetFocus(edit);
    ClearRecord();
    EXPECT_FALSE(EnableWindow(panel, FALSE));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(MessagesOf(edit, {WM_KILLFOCUS}).size(), 1u);
    EXPECT_EQ(MessagesOf(panel, {WM_CANCELMODE, WM_ENABLE}), (std::vector<UINT>{WM_CANCELMODE, WM_ENABLE}));
    Click(edit, 5, 5);
    RunUntilIdle();
    EXPECT_TRUE(MessagesOf(edit, {WM_LBUTTONDOWN}).empty());
    EXPECT_TRUE(MessagesOf(panel, {WM_LBUTTONDOWN}).empty());
    EXPECT_EQ(SetFocus(edit), nullptr);
    EXPECT_TRUE(EnableWindow(panel, TRUE));
}

TEST_F(Input, AClickOnADisabledTopLevelWindowBeepsAndArrivesNowhere) {
    const HWND w = Create(kPopup | WS_DISABLED, {0, 0, 100, 100});
    TakeMessageBeeps();
    ClearRecord();
    Click(w, 5, 5);
    RunUntilIdle();
    EXPECT_EQ(TakeMessageBeeps().size(), 1u);
    EXPECT_TRUE(MessagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEACTIVATE}).empty());
    EXPECT_NE(GetActiveWindow(), w);
}

TEST_F(Input, TheCaptureGetsEveryMouseMessageInItsClientCoordinates) {
    const HWND top = Create(kPopup, {100, 100, 300, 300});
    const HWND w = Create(kChild, {50, 50, 100, 100}, top);
    const HWND other = Create(kPopup, {500, 500, 600, 600});
    EXPECT_EQ(SetCapture(w), nullptr);
    ClearRecord();
    DesktopMouseMove(POINT{20, 30});
    DesktopMouseButton(TDesktopButton::Left, true, POINT{550, 550});
    RunUntilIdle();
    const auto moves = Recorded({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, w);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 20 - 150);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 30 - 150);
    EXPECT_EQ(MessagesOf(w, {WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_TRUE(MessagesOf(other, {WM_LBUTTONDOWN, WM_MOUSEACTIVATE, WM_SETCURSOR}).empty());
    DesktopMouseButton(TDesktopButton::Left, false, POINT{550, 550});
    RunUntilIdle();

    ClearRecord();
    EXPECT_TRUE(ReleaseCapture());
    const auto changed = Recorded({WM_CAPTURECHANGED});
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].hwnd, w);
    EXPECT_EQ(changed[0].lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, ActivationMovingToAnotherTopLevelReleasesTheCapture) {
    const HWND a = Create(kPopup, {0, 0, 100, 100});
    const HWND b = Create(kPopup, {200, 0, 300, 100});
    SetActiveWindow(a);
    SetCapture(a);
    ClearRecord();
    SetActiveWindow(b);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(MessagesOf(a, {WM_CAPTURECHANGED}).size(), 1u);
}

TEST_F(Input, PurgingTheMouseRangeLeavesKeysAndPostedMessagesInOrder) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    SetFocus(w);
    DesktopKey('A', true, u"a");
    DesktopMouseMove(ScreenPoint(w, 5, 5));
    PostMessageW(w, WM_USER, 0, 0);
    Click(w, 5, 5);
    DesktopKey('A', false);
    MSG msg;
    int purged = 0;
    while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) ++purged;
    EXPECT_EQ(purged, 3);
    std::vector<UINT> left;
    for (const MSG& m : Drain()) left.push_back(m.message);
    EXPECT_EQ(left, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_KEYUP}));
}

TEST_F(Input, MouseMovesNobodyTookYetMergeIntoTheLastOne) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    for (int x = 1; x <= 5; ++x) DesktopMouseMove(ScreenPoint(w, x, 1));
    const std::vector<MSG> taken = Drain(nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(taken[0].lParam), 5);
}

// TrackMouseEvent(TME_LEAVE): one WM_MOUSELEAVE, before the message that finds the pointer elsewhere.
TEST_F(Input, ATrackedWindowHearsOnceWhenThePointerLeavesItsClientArea) {
    const HWND top = Create(kPopup, {0, 0, 300, 100});
    const HWND tracked = Create(kChild, {10, 10, 110, 90}, top);
    Answer(tracked, WM_NCHITTEST, [](WPARAM, LPARAM lParam) {
        return std::optional<LRESULT>(GET_X_LPARAM(lParam) < 20 ? HTBORDER : HTCLIENT);
    });
    auto track = [&](DWORD flags) {
        TRACKMOUSEEVENT request{sizeof(TRACKMOUSEEVENT), flags, tracked, 0};
        return TrackMouseEvent(&request);
    };
    auto leaves = [&] { return int(MessagesOf(tracked, {WM_MOUSELEAVE}).size()); };
    const struct {
        const char* step;
        std::function<void()> act;
        int leaves;
    } steps[] = {
        {"moving inside", [&] { DesktopMouseMove(POINT{50, 50}); RunUntilIdle(); track(TME_LEAVE); DesktopMouseMove(POINT{60, 50}); }, 0},
        {"moving to the parent", [&] { DesktopMouseMove(POINT{200, 50}); }, 1},
        {"moving on without tracking", [&] { DesktopMouseMove(POINT{50, 50}); DesktopMouseMove(POINT{200, 50}); }, 1},
        {"onto the window's border", [&] { DesktopMouseMove(POINT{50, 50}); RunUntilIdle(); track(TME_LEAVE); DesktopMouseMove(POINT{15, 50}); }, 2},
        {"cancelled", [&] { DesktopMouseMove(POINT{50, 50}); RunUntilIdle(); track(TME_LEAVE); track(TME_LEAVE | TME_CANCEL); DesktopMouseMove(POINT{200, 50}); }, 2},
        {"asked while the pointer is elsewhere", [&] { track(TME_LEAVE); }, 3},
        {"leaving our windows", [&] { DesktopMouseMove(POINT{50, 50}); RunUntilIdle(); track(TME_LEAVE); DesktopMouseLeave(POINT{900, 900}); }, 4},
    };
    for (const auto& s : steps) {
        s.act();
        RunUntilIdle();
        EXPECT_EQ(leaves(), s.leaves) << s.step;
    }
    DesktopMouseMove(POINT{50, 50});
    RunUntilIdle();
    track(TME_LEAVE);
    ClearRecord();
    DesktopMouseMove(POINT{200, 50});
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(top, {WM_MOUSEMOVE}).size(), 1u);
    const auto order = Recorded({WM_MOUSELEAVE, WM_MOUSEMOVE});
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0].message, UINT(WM_MOUSELEAVE)) << "the leave comes before the move elsewhere";
    EXPECT_FALSE(TrackMouseEvent(nullptr));
}

TEST_F(Input, TheWheelGoesToTheWindowUnderThePointerElseToTheFocus) {
    const HWND a = Create(kPopup, {0, 0, 100, 100});
    const HWND b = Create(kPopup, {200, 0, 300, 100});
    SetFocus(b);
    ClearRecord();
    DesktopMouseWheel(-WHEEL_DELTA, false, POINT{50, 50});
    DesktopMouseWheel(WHEEL_DELTA * 2, true, POINT{1000, 1000});
    RunUntilIdle();
    const auto wheels = Recorded({WM_MOUSEWHEEL, WM_MOUSEHWHEEL});
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].hwnd, a);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -120);
    EXPECT_EQ(wheels[0].lParam, MAKELPARAM(50, 50)); // screen coordinates
    EXPECT_EQ(wheels[1].hwnd, b);
    EXPECT_EQ(wheels[1].message, WM_MOUSEHWHEEL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), 240);
}

TEST_F(Input, TheCursorIsAskedOfTheParentFirstThenTakenFromTheClass) {
    const HWND top = Create(kPopup, {0, 0, 100, 100});
    const HWND child = Create(kChild, {10, 10, 50, 50}, top);
    const HCURSOR beam = LoadCursorW(nullptr, IDC_IBEAM);
    SetClassLongPtrW(child, GCLP_HCURSOR, LONG_PTR(beam));
    SetCursor(nullptr);
    bool parentDecides = true;
    Answer(top, WM_SETCURSOR, [&](WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (!parentDecides) return std::nullopt;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    });
    DesktopMouseMove(ScreenPoint(child, 5, 5));
    RunUntilIdle();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    parentDecides = false;
    DesktopMouseMove(ScreenPoint(child, 6, 5));
    RunUntilIdle();
    EXPECT_EQ(GetCursor(), beam);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
}

TEST_F(Input, KeyMessagesCarryTheirFlagsAndTheKeyStateAsOfTheMessage) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    SetFocus(w);
    std::vector<std::pair<LPARAM, bool>> downs; // lParam, Shift seen down
    Answer(w, WM_KEYDOWN, [&](WPARAM vk, LPARAM lParam) {
        if (vk == VK_DOWN) downs.emplace_back(lParam, GetKeyState(VK_SHIFT) < 0);
        return std::nullopt;
    });
    DesktopKey(VK_SHIFT, true);
    DesktopKey(VK_DOWN, true);
    DesktopKey(VK_DOWN, true); // held: a repeat
    DesktopKey(VK_DOWN, false);
    DesktopKey(VK_SHIFT, false);
    DesktopKey(VK_DOWN, true, String(), true); // from the number pad
    DesktopKey(VK_DOWN, false, String(), true);
    EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
    RunUntilIdle();
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_TRUE(downs[0].first & (1 << 24));
    EXPECT_TRUE(downs[0].second);
    EXPECT_FALSE(downs[0].first & (1 << 30));
    EXPECT_TRUE(downs[1].first & (1 << 30)); // it was down before
    EXPECT_FALSE(downs[2].first & (1 << 24));
    EXPECT_FALSE(downs[2].second);
    const auto ups = Recorded({WM_KEYUP});
    ASSERT_FALSE(ups.empty());
    EXPECT_EQ(DWORD(ups[0].lParam) >> 30, 3u); // previous state and transition
    EXPECT_EQ((ups[0].lParam >> 16) & 0xFF, LPARAM(MapVirtualKeyW(VK_DOWN, MAPVK_VK_TO_VSC)));
}

TEST_F(Input, AltKeysAreSystemKeysAndTranslateToSystemCharacters) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    SetFocus(w);
    ClearRecord();
    DesktopKey(VK_MENU, true);
    DesktopKey('A', true, u"a");
    DesktopKey('A', false);
    DesktopKey(VK_MENU, false);
    RunUntilIdle();
    const auto sys = Recorded({WM_SYSKEYDOWN, WM_SYSCHAR, WM_KEYDOWN, WM_CHAR});
    ASSERT_EQ(sys.size(), 3u);
    EXPECT_EQ(sys[0].wParam, WPARAM(VK_MENU));
    EXPECT_EQ(sys[1].message, WM_SYSKEYDOWN);
    EXPECT_EQ(sys[1].wParam, WPARAM('A'));
    EXPECT_TRUE(sys[1].lParam & (1 << 29));
    EXPECT_EQ(sys[2].message, WM_SYSCHAR);
    EXPECT_EQ(sys[2].wParam, WPARAM('a'));
    EXPECT_TRUE(sys[2].lParam & (1 << 29));
}

TEST_F(Input, CharactersComeFromTheDesktopsTextAndTheInputMethodsCommit) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    SetFocus(w);
    ClearRecord();
    DesktopKey('Z', true, u"中");
    DesktopKey('Z', false);
    RunUntilIdle();
    auto chars = Recorded({WM_CHAR});
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, 0x4E2Du);

    ClearRecord();
    DesktopImeCommit(u"视频");
    DesktopImeCommit(u"\U0001F600");
    RunUntilIdle();
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const TRecord& r : Recorded({WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_CHAR,
                                      WM_CHAR}))
        got.emplace_back(r.message, r.message == WM_IME_CHAR || r.message == WM_CHAR ? r.wParam : 0);
    // The characters (a surrogate pair kept together) come before the end of the composition.
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_IME_STARTCOMPOSITION, 0}, {WM_IME_COMPOSITION, 0}, {WM_IME_CHAR, 0x89C6}, {WM_IME_CHAR, 0x9891},
        {WM_CHAR, 0x89C6},            {WM_CHAR, 0x9891},       {WM_IME_ENDCOMPOSITION, 0},
        {WM_IME_STARTCOMPOSITION, 0}, {WM_IME_COMPOSITION, 0}, {WM_IME_CHAR, 0xD83D}, {WM_IME_CHAR, 0xDE00},
        {WM_CHAR, 0xD83D},            {WM_CHAR, 0xDE00},       {WM_IME_ENDCOMPOSITION, 0}};
    EXPECT_EQ(got, expected);
}

TEST_F(Input, TheCompositionIsReadInItsMessageAndAWindowCanTurnInputMethodsOff) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    SetFocus(w);
    String seen;
    LONG cursor = -1;
    Answer(w, WM_IME_COMPOSITION, [&](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const HIMC context = ImmGetContext(w);
        if (lParam & GCS_COMPSTR) {
            const LONG bytes = ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0);
            seen.resize(size_t(bytes) / sizeof(WCHAR));
            ImmGetCompositionStringW(context, GCS_COMPSTR, seen.data(), DWORD(bytes));
            cursor = ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0);
        }
        ImmReleaseContext(w, context);
        return 0; // left unhandled, a commit would become characters
    });
    DesktopImePreedit(u"shi", 2);
    RunUntilIdle();
    EXPECT_EQ(seen, u"shi");
    EXPECT_EQ(cursor, 2);
    DesktopImePreedit(u"", 0);
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(w, {WM_IME_ENDCOMPOSITION}).size(), 1u);

    EXPECT_NE(ImmAssociateContext(w, nullptr), nullptr);
    EXPECT_EQ(ImmGetContext(w), nullptr);
    ClearRecord();
    DesktopImeCommit(u"视频");
    RunUntilIdle();
    EXPECT_TRUE(Recorded({WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_CHAR}).empty());
}

TEST_F(Input, TheInputMethodIsToldTheCompositionWindowElseTheCaret) {
    const HWND w = Create(kPopup, {100, 100, 300, 300});
    SetFocus(w);
    // The thread's input context keeps the composition window an earlier window (an edit) set.
    const COMPOSITIONFORM byCaret{CFS_DEFAULT, POINT{}, RECT{}};
    ImmSetCompositionWindow(ImmGetContext(w), &byCaret);
    CreateCaret(w, nullptr, 1, 16);
    SetCaretPos(10, 20);
    EXPECT_EQ(ImeCursorRect(), (RECT{110, 120, 111, 136}));
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = {30, 40};
    ASSERT_TRUE(ImmSetCompositionWindow(ImmGetContext(w), &form));
    EXPECT_EQ(ImeCursorRect(), (RECT{130, 140, 130, 156}));
}

TEST_F(Input, TheDefaultProcedureTurnsKeysAndRightClicksIntoCommands) {
    const HWND top = Create(kPopup, {100, 100, 300, 300});
    const HWND child = Create(kChild, {10, 10, 100, 100}, top);
    SetFocus(child);
    ClearRecord();
    Click(child, 5, 6, TDesktopButton::Right);
    DesktopKey(VK_APPS, true);
    DesktopKey(VK_APPS, false);
    DesktopKey(VK_SHIFT, true);
    DesktopKey(VK_F10, true);
    DesktopKey(VK_F10, false);
    DesktopKey(VK_SHIFT, false);
    RunUntilIdle();
    std::vector<LPARAM> menus;
    for (const TRecord& r : Recorded({WM_CONTEXTMENU}))
        if (r.hwnd == child) menus.push_back(r.lParam);
    EXPECT_EQ(menus, (std::vector<LPARAM>{MAKELPARAM(115, 116), -1, -1}));
    EXPECT_EQ(MessagesOf(top, {WM_CONTEXTMENU}).size(), 3u); // passed on by the child's default

    ClearRecord();
    DesktopKey(VK_MENU, true);
    DesktopKey(VK_MENU, false);
    DesktopKey(VK_F10, true);
    DesktopKey(VK_F10, false);
    RunUntilIdle();
    std::vector<WPARAM> commands;
    for (const TRecord& r : Recorded({WM_SYSCOMMAND})) commands.push_back(r.wParam);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU, SC_KEYMENU}));

    DesktopKey(VK_MENU, true);
    DesktopKey(VK_F4, true);
    RunUntilIdle();
    DesktopKey(VK_F4, false);
    DesktopKey(VK_MENU, false);
    EXPECT_FALSE(IsWindow(top)); // SC_CLOSE, WM_CLOSE, destroyed
}

TEST_F(Input, KeypadOperatorsTranslateWithCtrlReleased) {
    BYTE keys[256] = {}; // Ctrl released, as the tree translates them
    for (const auto& [vk, ch] : {std::pair<UINT, WORD>{VK_MULTIPLY, '*'}, {VK_ADD, '+'}, {VK_SUBTRACT, '-'},
                                 {VK_DIVIDE, '/'}}) {
        WORD out = 0;
        EXPECT_EQ(ToAscii(vk, MapVirtualKeyW(vk, MAPVK_VK_TO_VSC), keys, &out, 0), 1);
        EXPECT_EQ(out, ch);
    }
    EXPECT_EQ(MapVirtualKeyW(VK_DECIMAL, MAPVK_VK_TO_CHAR), UINT('.'));
}

TEST_F(Input, TheCaretIsCountedBlinksOnTheClockAndStaysOutOfPainting) {
    const HWND w = Create(kPopup, {0, 0, 50, 50});
    RunUntilIdle();
    TSurface& surface = *WindowSurface(w);
    const uint32_t background = surface.Pixel(5, 5);
    ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
    SetCaretPos(5, 5);
    EXPECT_EQ(surface.Pixel(5, 5), background); // created hidden
    ShowCaret(w);
    EXPECT_EQ(surface.Pixel(5, 5), background ^ 0x00FFFFFFu);
    EXPECT_EQ(surface.Pixel(6, 14), background ^ 0x00FFFFFFu);
    EXPECT_EQ(surface.Pixel(7, 5), background);
    Advance(GetCaretBlinkTime());
    RunUntilIdle();
    EXPECT_EQ(surface.Pixel(5, 5), background);
    Advance(GetCaretBlinkTime());
    RunUntilIdle();
    EXPECT_EQ(surface.Pixel(5, 5), background ^ 0x00FFFFFFu);

    std::vector<uint32_t> duringPaint;
    Answer(w, WM_PAINT, [&](WPARAM, LPARAM) {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        duringPaint.push_back(surface.Pixel(5, 5));
        EndPaint(w, &ps);
        return std::optional<LRESULT>(0);
    });
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(duringPaint, std::vector<uint32_t>{background});
    EXPECT_EQ(surface.Pixel(5, 5), background ^ 0x00FFFFFFu);

    HideCaret(w);
    HideCaret(w);
    ShowCaret(w);
    EXPECT_EQ(surface.Pixel(5, 5), background); // still hidden once
    ShowCaret(w);
    EXPECT_EQ(surface.Pixel(5, 5), background ^ 0x00FFFFFFu);
    DestroyCaret();
    EXPECT_EQ(surface.Pixel(5, 5), background);
    EXPECT_FALSE(ShowCaret(w));
}

TEST_F(Input, MouseMessagesCarryTheButtonsAndModifiersDown) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    ClearRecord();
    DesktopKey(VK_CONTROL, true);
    const POINT pt = ScreenPoint(w, 5, 5);
    DesktopMouseButton(TDesktopButton::Left, true, pt);
    DesktopMouseButton(TDesktopButton::Right, true, pt);
    DesktopMouseMove(ScreenPoint(w, 6, 6));
    DesktopMouseButton(TDesktopButton::Left, false, pt);
    DesktopMouseButton(TDesktopButton::Right, false, pt);
    DesktopKey(VK_CONTROL, false);
    RunUntilIdle();
    std::vector<WPARAM> keys;
    for (const TRecord& r : Recorded({WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP}))
        if (r.hwnd == w) keys.push_back(r.wParam);
    EXPECT_EQ(keys, (std::vector<WPARAM>{MK_CONTROL | MK_LBUTTON, MK_CONTROL | MK_LBUTTON | MK_RBUTTON,
                                         MK_CONTROL | MK_LBUTTON | MK_RBUTTON, MK_CONTROL | MK_RBUTTON, MK_CONTROL}));
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now, pt);
}

TEST_F(Input, LockKeysToggleAndTheCursorShowsByItsCount) {
    const HWND w = Create(kPopup, {0, 0, 100, 100});
    SetFocus(w);
    for (int press = 1; press <= 3; ++press) {
        DesktopKey(VK_CAPITAL, true);
        DesktopKey(VK_CAPITAL, false);
        RunUntilIdle();
        EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, press % 2);
    }
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(DesktopCursor(), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(DesktopCursor(), nullptr);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(DesktopCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(Input, APointOutsideTheClientAreaGivesNonClientMessagesWithTheHitCode) {
    const HWND w = Create(kPopup, {100, 100, 200, 200});
    Answer(w, WM_NCHITTEST, [](WPARAM, LPARAM lParam) {
        return std::optional<LRESULT>(GET_Y_LPARAM(lParam) < 108 ? HTCAPTION : HTCLIENT);
    });
    ClearRecord();
    DesktopMouseButton(TDesktopButton::Left, true, POINT{150, 104});
    DesktopMouseButton(TDesktopButton::Left, false, POINT{150, 104});
    RunUntilIdle();
    const auto down = Recorded({WM_NCLBUTTONDOWN, WM_LBUTTONDOWN});
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].message, WM_NCLBUTTONDOWN);
    EXPECT_EQ(down[0].wParam, WPARAM(HTCAPTION));
    EXPECT_EQ(down[0].lParam, MAKELPARAM(150, 104)); // screen coordinates
    const auto cursor = Recorded({WM_SETCURSOR});
    ASSERT_FALSE(cursor.empty());
    EXPECT_EQ(LOWORD(cursor[0].lParam), HTCAPTION);
    EXPECT_EQ(GetMessagePos(), DWORD(MAKELONG(150, 104)));
}

// A window that goes away while it answers the hit test leaves the point to the windows below it.
TEST_F(Input, AWindowDestroyedDuringItsHitTestLeavesThePointToTheOnesBelow) {
    const HWND lower = Create(kPopup, {100, 100, 200, 200});
    const HWND upper = Create(kPopup, {120, 120, 180, 180});
    const HWND top = Create(kPopup, {140, 140, 160, 160});
    ASSERT_EQ(WindowFromPoint(POINT{150, 150}), top);
    Answer(top, WM_NCHITTEST, [top](WPARAM, LPARAM) {
        DestroyWindow(top);
        return std::optional<LRESULT>(HTCLIENT);
    });
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), upper);
    Answer(upper, WM_NCHITTEST, [upper](WPARAM, LPARAM) {
        DestroyWindow(upper);
        return std::optional<LRESULT>(HTTRANSPARENT);
    });
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), lower);
}

} // namespace
