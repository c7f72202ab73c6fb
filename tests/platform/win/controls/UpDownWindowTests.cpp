#include "../WindowFixture.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/paint/Surface.h"

namespace {

// An up-down (20x40: the up arrow on top, the down arrow below) on a plain
// top-level window that records its notifications and may refuse steps.
class UpDownTest : public WindowTest {
protected:
    struct TNote {
        int pos, delta;
    };

    void SetUp() override {
        WindowTest::SetUp();
        top_ = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
        Answer(top_, WM_NOTIFY, [this](WPARAM, LPARAM l) -> std::optional<LRESULT> {
            const auto* note = reinterpret_cast<const NMUPDOWN*>(l);
            if (note->hdr.code != UDN_DELTAPOS) return std::nullopt;
            notes_.push_back({note->iPos, note->iDelta});
            return refuse_ ? 1 : 0;
        });
    }

    HWND MakeUpDown(DWORD style, int low, int high, int pos, RECT r = RECT{150, 10, 170, 50}) {
        const HWND w = CreateWindowExW(0, u"msctls_updown32", u"", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, top_, HMENU(5), nullptr, nullptr);
        SendMessageW(w, UDM_SETRANGE32, WPARAM(low), LPARAM(high));
        SendMessageW(w, UDM_SETPOS32, 0, LPARAM(pos));
        return w;
    }
    HWND MakeEdit(const char16_t* text, RECT r = RECT{10, 10, 110, 34}) {
        return CreateWindowExW(0, u"EDIT", text, WS_CHILD | WS_VISIBLE | WS_BORDER, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, top_, HMENU(6), nullptr, nullptr);
    }
    static int Pos(HWND w) { return int(SendMessageW(w, UDM_GETPOS32, 0, 0)); }
    // The scroll codes (with the position for SB_THUMBPOSITION) the parent got.
    std::vector<std::pair<WORD, WORD>> Scrolls(UINT message = WM_VSCROLL) const {
        std::vector<std::pair<WORD, WORD>> result;
        for (const TRecord& r : Recorded({message})) result.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
        return result;
    }
    void Press(HWND w, int x, int y) {
        DesktopMouseButton(TDesktopButton::Left, true, ScreenPoint(w, x, y));
        RunUntilIdle();
    }
    void Release(HWND w, int x, int y) {
        DesktopMouseButton(TDesktopButton::Left, false, ScreenPoint(w, x, y));
        RunUntilIdle();
    }
    static String Text(HWND w) {
        String text(size_t(GetWindowTextLengthW(w)) + 1, u'\0');
        text.resize(size_t(GetWindowTextW(w, text.data(), int(text.size()))));
        return text;
    }

    HWND top_ = nullptr;
    std::vector<TNote> notes_;
    bool refuse_ = false;
};

TEST_F(UpDownTest, RangeAndPositionMessagesKeepThePositionInsideTheRange) {
    const HWND w = MakeUpDown(0, 1, 72, 16);
    int low = 0, high = 0;
    SendMessageW(w, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 72);
    EXPECT_EQ(SendMessageW(w, UDM_SETPOS32, 0, 80), 16) << "answers the previous position";
    EXPECT_EQ(Pos(w), 72);
    SendMessageW(w, UDM_SETPOS32, 0, -5);
    EXPECT_EQ(Pos(w), 1);
    SendMessageW(w, UDM_SETRANGE32, WPARAM(10), LPARAM(0)); // a reversed range
    EXPECT_EQ(Pos(w), 1);
    SendMessageW(w, UDM_SETRANGE32, WPARAM(20), LPARAM(30));
    EXPECT_EQ(Pos(w), 20) << "a new range takes the position in";
    EXPECT_TRUE(Scrolls().empty()) << "setting is no step";
}

TEST_F(UpDownTest, AClickAsksThenMovesAndReportsThePositionThenEnds) {
    const HWND w = MakeUpDown(0, 0, 10, 4);
    ClearRecord();
    Press(w, 10, 5);
    ASSERT_EQ(notes_.size(), 1u);
    EXPECT_EQ(notes_[0].pos, 4);
    EXPECT_EQ(notes_[0].delta, 1);
    EXPECT_EQ(Pos(w), 5);
    Release(w, 10, 5);
    const std::vector<std::pair<WORD, WORD>> expected{{SB_THUMBPOSITION, 5}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(Scrolls(), expected);
    // The notification comes before the scroll message, from the up-down.
    const std::vector<TRecord> order = Recorded({WM_NOTIFY, WM_VSCROLL});
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0].message, UINT(WM_NOTIFY));
    EXPECT_EQ(order[0].wParam, WPARAM(5));
    EXPECT_EQ(order[1].lParam, reinterpret_cast<LPARAM>(w));
}

TEST_F(UpDownTest, StepsFollowTheRangeTheStyleAndTheButton) {
    struct TCase {
        const char* name;
        DWORD style;
        int low, high, pos;
        POINT at; // in the 20x40 up-down
        int expected;
        UINT scroll;
    };
    const TCase cases[] = {
        {"up", 0, 0, 10, 4, {10, 5}, 5, WM_VSCROLL},
        {"down", 0, 0, 10, 4, {10, 35}, 3, WM_VSCROLL},
        {"stops at the top", 0, 0, 10, 10, {10, 5}, 10, WM_VSCROLL},
        {"stops at the bottom", 0, 0, 10, 0, {10, 35}, 0, WM_VSCROLL},
        {"wraps past the top", UDS_WRAP, 0, 10, 10, {10, 5}, 0, WM_VSCROLL},
        {"wraps past the bottom", UDS_WRAP, 0, 10, 0, {10, 35}, 10, WM_VSCROLL},
        {"up in a reversed range goes down", 0, 10, 0, 4, {10, 5}, 3, WM_VSCROLL},
        {"horizontal right is up", UDS_HORZ, 0, 10, 4, {15, 20}, 5, WM_HSCROLL},
        {"horizontal left is down", UDS_HORZ, 0, 10, 4, {5, 20}, 3, WM_HSCROLL},
        {"negative range", 0, -100, -50, -60, {10, 5}, -59, WM_VSCROLL},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND w = MakeUpDown(c.style, c.low, c.high, c.pos);
        ClearRecord();
        notes_.clear();
        Press(w, c.at.x, c.at.y);
        Release(w, c.at.x, c.at.y);
        EXPECT_EQ(Pos(w), c.expected);
        EXPECT_EQ(notes_.size(), 1u) << "asked also where nothing moves";
        const std::vector<std::pair<WORD, WORD>> scrolls = Scrolls(c.scroll);
        ASSERT_FALSE(scrolls.empty());
        EXPECT_EQ(scrolls.back().first, SB_ENDSCROLL);
        if (c.expected != c.pos) {
            ASSERT_EQ(scrolls.size(), 2u);
            EXPECT_EQ(scrolls[0], std::make_pair(WORD(SB_THUMBPOSITION), WORD(c.expected)));
        } else {
            EXPECT_EQ(scrolls.size(), 1u) << "no position report without a move";
        }
        Advance(1000); // never a double click
        DestroyWindow(w);
    }
}

TEST_F(UpDownTest, ARefusedStepKeepsThePosition) {
    const HWND w = MakeUpDown(0, 0, 10, 4);
    refuse_ = true;
    ClearRecord();
    Press(w, 10, 5);
    Release(w, 10, 5);
    EXPECT_EQ(notes_.size(), 1u);
    EXPECT_EQ(Pos(w), 4);
    const std::vector<std::pair<WORD, WORD>> expected{{SB_ENDSCROLL, 0}};
    EXPECT_EQ(Scrolls(), expected);
}

TEST_F(UpDownTest, AHeldButtonRepeatsOnTheClockWhileThePointerIsOnIt) {
    const HWND w = MakeUpDown(0, 0, 100, 0);
    Press(w, 10, 5);
    EXPECT_EQ(Pos(w), 1);
    Advance(kScrollFirstDelay - 1);
    RunUntilIdle();
    EXPECT_EQ(Pos(w), 1) << "waits before repeating";
    Advance(1);
    RunUntilIdle();
    EXPECT_EQ(Pos(w), 2);
    for (int i = 0; i < 3; ++i) {
        Advance(kScrollRepeatDelay);
        RunUntilIdle();
    }
    EXPECT_EQ(Pos(w), 5);
    DesktopMouseMove(ScreenPoint(w, 10, 35)); // onto the other button
    RunUntilIdle();
    Advance(kScrollRepeatDelay);
    RunUntilIdle();
    EXPECT_EQ(Pos(w), 5) << "off the pressed button nothing repeats";
    DesktopMouseMove(ScreenPoint(w, 10, 5));
    RunUntilIdle();
    Advance(kScrollRepeatDelay);
    RunUntilIdle();
    EXPECT_EQ(Pos(w), 6) << "back on it, it goes on";
    Release(w, 10, 5);
    EXPECT_EQ(GetCapture(), nullptr);
    Advance(10 * kScrollRepeatDelay);
    RunUntilIdle();
    EXPECT_EQ(Pos(w), 6) << "released, it stops";
}

TEST_F(UpDownTest, TheBuddyShowsThePositionAndItsTypedNumberIsTheStart) {
    const HWND edit = MakeEdit(u"");
    const HWND w = MakeUpDown(UDS_SETBUDDYINT, -5000, 5000, 1234);
    SendMessageW(w, UDM_SETBUDDY, WPARAM(edit), 0);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(w, UDM_GETBUDDY, 0, 0)), edit);
    EXPECT_EQ(Text(edit), String(u"1,234"));
    SetWindowTextW(edit, u"-1,500");
    Press(w, 10, 5);
    Release(w, 10, 5);
    EXPECT_EQ(Text(edit), String(u"-1,499"));
    SetWindowTextW(edit, u"abc");
    BOOL failed = FALSE;
    EXPECT_EQ(SendMessageW(w, UDM_GETPOS32, 0, LPARAM(&failed)), -1499);
    EXPECT_TRUE(failed);
    SetWindowTextW(edit, u"9999");
    EXPECT_EQ(SendMessageW(w, UDM_GETPOS32, 0, LPARAM(&failed)), 5000) << "read within the range";
    EXPECT_FALSE(failed);

    const HWND plain = MakeUpDown(UDS_SETBUDDYINT | UDS_NOTHOUSANDS, 0, 5000, 4321);
    SendMessageW(plain, UDM_SETBUDDY, WPARAM(edit), 0);
    EXPECT_EQ(Text(edit), String(u"4321"));
}

TEST_F(UpDownTest, AlignedArrowsSitBesideTheBuddyWhichGivesUpTheRoom) {
    struct TCase {
        const char* name;
        DWORD style;
        RECT edit, upDown;
    };
    const TCase cases[] = {
        {"right", UDS_ALIGNRIGHT, {10, 10, 90, 34}, {90, 10, 110, 34}},
        {"left", UDS_ALIGNLEFT, {30, 10, 110, 34}, {10, 10, 30, 34}},
        {"not aligned", 0, {10, 10, 110, 34}, {150, 10, 170, 50}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(u"");
        const HWND w = MakeUpDown(c.style, 0, 10, 0);
        SendMessageW(w, UDM_SETBUDDY, WPARAM(edit), 0);
        RECT r;
        GetWindowRect(edit, &r);
        MapWindowPoints(nullptr, top_, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r, c.edit);
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, top_, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r, c.upDown);
        DestroyWindow(w);
        DestroyWindow(edit);
    }
}

TEST_F(UpDownTest, ArrowKeysInTheBuddyStepAndAutoBuddyTakesThePreviousSibling) {
    const HWND edit = MakeEdit(u"3");
    const HWND w = MakeUpDown(UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS, 0, 10, 3);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(w, UDM_GETBUDDY, 0, 0)), edit);
    SetFocus(edit);
    DesktopPress(VK_UP);
    DesktopPress(VK_UP);
    RunUntilIdle();
    EXPECT_EQ(Pos(w), 5);
    DesktopPress(VK_DOWN);
    RunUntilIdle();
    EXPECT_EQ(Text(edit), String(u"4"));
    EXPECT_EQ(notes_.size(), 3u);
    // Without its up-down the buddy's keys are its own again.
    DestroyWindow(w);
    DesktopPress(VK_UP);
    RunUntilIdle();
    EXPECT_EQ(Text(edit), String(u"4"));
}

TEST_F(UpDownTest, TheLatestUpDownOnABuddyTakesItsKeys) {
    const HWND edit = MakeEdit(u"");
    const HWND first = MakeUpDown(UDS_ARROWKEYS, 0, 10, 3);
    const HWND second = MakeUpDown(UDS_ARROWKEYS, 0, 10, 3);
    SendMessageW(first, UDM_SETBUDDY, WPARAM(edit), 0);
    SendMessageW(second, UDM_SETBUDDY, WPARAM(edit), 0);
    SetFocus(edit);
    DesktopPress(VK_UP);
    RunUntilIdle();
    EXPECT_EQ(Pos(first), 3);
    EXPECT_EQ(Pos(second), 4);
    DestroyWindow(second);
    DesktopPress(VK_UP);
    RunUntilIdle();
    EXPECT_EQ(Pos(first), 3);
    EXPECT_EQ(notes_.size(), 1u);
}

TEST_F(UpDownTest, ThePressedArrowIsDrawnSunkenAndOnlyIt) {
    const HWND w = MakeUpDown(0, 0, 10, 4);
    const auto snapshot = [&](int top) {
        UpdateWindow(top_);
        std::vector<uint32_t> pixels;
        for (int y = top; y < top + 20; ++y)
            for (int x = 0; x < 20; ++x) {
                POINT pt{x, y};
                MapWindowPoints(w, top_, &pt, 1);
                pixels.push_back(WindowSurface(top_)->Pixel(pt.x, pt.y));
            }
        return pixels;
    };
    const std::vector<uint32_t> upBefore = snapshot(0), downBefore = snapshot(20);
    EXPECT_NE(upBefore, std::vector<uint32_t>(upBefore.size(), upBefore[0])) << "an arrow is drawn";
    Press(w, 10, 5);
    EXPECT_NE(snapshot(0), upBefore);
    EXPECT_EQ(snapshot(20), downBefore);
    Release(w, 10, 5);
    EXPECT_EQ(snapshot(0), upBefore);
    EnableWindow(w, FALSE);
    EXPECT_NE(snapshot(0), upBefore) << "disabled arrows look inactive";
}

} // namespace
