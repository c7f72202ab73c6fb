#include "../WindowFixture.h"

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/system/SystemColors.h"

namespace {

// Track bars on a recording parent, which may answer the tool tip's text request.
class TrackBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent_ = Create(WS_POPUP | WS_VISIBLE, {100, 100, 400, 300});
    }

    HWND Bar(DWORD style, RECT r = {10, 20, 210, 60}) {
        const HWND bar =
            CreateWindowExW(0, u"msctls_trackbar32", u"", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, parent_, HMENU(5), nullptr, nullptr);
        UpdateWindow(parent_);
        return bar;
    }
    static RECT Thumb(HWND bar) {
        RECT r{};
        SendMessageW(bar, TBM_GETTHUMBRECT, 0, LPARAM(&r));
        return r;
    }
    static RECT Channel(HWND bar) {
        RECT r{};
        SendMessageW(bar, TBM_GETCHANNELRECT, 0, LPARAM(&r));
        return r;
    }
    // The left button or the pointer, as the desktop delivers them.
    static void Button(bool down, POINT screen) {
        DesktopMouseButton(TDesktopButton::Left, down, screen);
        RunUntilIdle();
    }
    static void MoveTo(POINT screen) {
        DesktopMouseMove(screen);
        RunUntilIdle();
    }
    static POINT Centre(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static RECT ScreenRect(HWND hwnd, RECT r) {
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // The (code, position) pairs of the scroll messages the parent got.
    std::vector<std::pair<WORD, int>> Scrolls(UINT message = WM_HSCROLL) const {
        std::vector<std::pair<WORD, int>> result;
        for (const TRecord& r : Recorded({message})) {
            const WORD code = LOWORD(r.wParam);
            const bool carriesPosition = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
            result.emplace_back(code, carriesPosition ? int(SHORT(HIWORD(r.wParam))) : -1);
        }
        return result;
    }
    static COLORREF ScreenPixel(HWND hwnd, POINT p) {
        const POINT pt = ScreenPoint(hwnd, p.x, p.y);
        const TDesktopImage image = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
        const uint32_t argb = image.Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    static String TipText(HWND tip, HWND bar) {
        WCHAR buffer[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = bar;
        tool.uId = UINT_PTR(bar);
        tool.lpszText = buffer;
        SendMessageW(tip, TTM_GETTEXTW, std::size(buffer), LPARAM(&tool));
        return buffer;
    }

    HWND parent_ = nullptr;
};

TEST_F(TrackBarTest, DraggingTheThumbTracksEachPositionWithATipAboveIt) {
    const HWND bar = Bar(TBS_AUTOTICKS | TBS_TOOLTIPS);
    SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 5));
    SendMessageW(bar, TBM_SETTIPSIDE, TBTS_LEFT, 0);
    Answer(parent_, WM_NOTIFY, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (info->hdr.code != TTN_GETDISPINFOW) return std::nullopt;
        info->lpszText = const_cast<LPWSTR>(u"较高");
        return 0;
    });
    const HWND tip = HWND(SendMessageW(bar, TBM_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip, nullptr);

    const POINT grab = Centre(Thumb(bar));
    Button(true, ScreenPoint(bar, grab.x, grab.y));
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(TipText(tip, bar), u"较高");
    const RECT channel = Channel(bar);
    const int step = (channel.right - channel.left - (Thumb(bar).right - Thumb(bar).left)) / 5;
    for (int target = 1; target <= 3; ++target) {
        MoveTo(ScreenPoint(bar, grab.x + target * step, grab.y));
        EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), target);
        RECT tipRect;
        GetWindowRect(tip, &tipRect);
        const RECT thumb = ScreenRect(bar, Thumb(bar));
        EXPECT_LE(tipRect.bottom, thumb.top) << "the tip stands above the thumb";
        EXPECT_NEAR((tipRect.left + tipRect.right) / 2, (thumb.left + thumb.right) / 2, 1);
    }
    Button(false, ScreenPoint(bar, grab.x + 3 * step, grab.y));

    const std::vector<std::pair<WORD, int>> expected = {
        {TB_THUMBTRACK, 1}, {TB_THUMBTRACK, 2}, {TB_THUMBTRACK, 3}, {TB_THUMBPOSITION, 3}, {TB_ENDTRACK, -1}};
    EXPECT_EQ(Scrolls(), expected);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackBarTest, TipWithoutAnAnswerShowsThePosition) {
    const HWND bar = Bar(TBS_TOOLTIPS);
    SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 5));
    SendMessageW(bar, TBM_SETPOS, TRUE, 4);
    const HWND tip = HWND(SendMessageW(bar, TBM_GETTOOLTIPS, 0, 0));
    const POINT grab = Centre(Thumb(bar));
    Button(true, ScreenPoint(bar, grab.x, grab.y));
    EXPECT_EQ(TipText(tip, bar), u"4");
    Button(false, ScreenPoint(bar, grab.x, grab.y));
}

TEST_F(TrackBarTest, TipSideDecidesWhereTheTipStands) {
    struct TCase {
        const char* name;
        DWORD style;
        WPARAM side;
        // Which side of the thumb the tip is on.
        enum { Above, Below, Left, Right } place;
    };
    const TCase cases[] = {
        {"horizontal top", TBS_HORZ, TBTS_TOP, TCase::Above},
        {"horizontal left", TBS_HORZ, TBTS_LEFT, TCase::Above},
        {"horizontal bottom", TBS_HORZ, TBTS_BOTTOM, TCase::Below},
        {"horizontal right", TBS_HORZ, TBTS_RIGHT, TCase::Below},
        {"vertical left", TBS_VERT, TBTS_LEFT, TCase::Left},
        {"vertical top", TBS_VERT, TBTS_TOP, TCase::Left},
        {"vertical right", TBS_VERT, TBTS_RIGHT, TCase::Right},
        {"vertical bottom", TBS_VERT, TBTS_BOTTOM, TCase::Right},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RECT bounds = c.style & TBS_VERT ? RECT{100, 20, 140, 180} : RECT{10, 80, 210, 120};
        const HWND bar = Bar(c.style | TBS_TOOLTIPS, bounds);
        SendMessageW(bar, TBM_SETTIPSIDE, c.side, 0);
        const POINT grab = Centre(Thumb(bar));
        Button(true, ScreenPoint(bar, grab.x, grab.y));
        RECT tip;
        GetWindowRect(HWND(SendMessageW(bar, TBM_GETTOOLTIPS, 0, 0)), &tip);
        const RECT thumb = ScreenRect(bar, Thumb(bar));
        switch (c.place) {
        case TCase::Above: EXPECT_LE(tip.bottom, thumb.top); break;
        case TCase::Below: EXPECT_GE(tip.top, thumb.bottom); break;
        case TCase::Left: EXPECT_LE(tip.right, thumb.left); break;
        case TCase::Right: EXPECT_GE(tip.left, thumb.right); break;
        }
        Button(false, ScreenPoint(bar, grab.x, grab.y));
        DestroyWindow(bar);
    }
}

TEST_F(TrackBarTest, TickCountIncludesBothEnds) {
    struct TCase {
        const char* name;
        DWORD style;
        int min, max, frequency;
        std::vector<int> inner;
        int count;
    };
    const TCase cases[] = {
        {"every 60 of 600", TBS_AUTOTICKS, 0, 600, 60, {60, 120, 180, 240, 300, 360, 420, 480, 540}, 11},
        {"empty range", TBS_AUTOTICKS, 0, 0, 60, {}, 2},
        {"range of one", TBS_AUTOTICKS, 0, 1, 1, {}, 2},
        {"step past the end", TBS_AUTOTICKS, 0, 5, 10, {}, 2},
        {"every unit", TBS_AUTOTICKS, 0, 5, 1, {1, 2, 3, 4}, 6},
        {"no ticks", TBS_AUTOTICKS | TBS_NOTICKS, 0, 600, 60, {60, 120, 180, 240, 300, 360, 420, 480, 540}, 0},
        {"manual ticks ignore the frequency", 0, 0, 600, 60, {}, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND bar = Bar(c.style);
        SendMessageW(bar, TBM_SETRANGEMIN, FALSE, c.min);
        SendMessageW(bar, TBM_SETRANGEMAX, FALSE, c.max);
        SendMessageW(bar, TBM_SETTICFREQ, WPARAM(c.frequency), 0);
        EXPECT_EQ(SendMessageW(bar, TBM_GETNUMTICS, 0, 0), c.count);
        std::vector<int> inner;
        for (WPARAM i = 0; SendMessageW(bar, TBM_GETTIC, i, 0) != -1; ++i)
            inner.push_back(int(SendMessageW(bar, TBM_GETTIC, i, 0)));
        EXPECT_EQ(inner, c.inner);
        DestroyWindow(bar);
    }
}

TEST_F(TrackBarTest, ManualTicksAreAddedWithinTheRangeAndCleared) {
    const HWND bar = Bar(0);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    EXPECT_TRUE(SendMessageW(bar, TBM_SETTIC, 0, 7));
    EXPECT_TRUE(SendMessageW(bar, TBM_SETTIC, 0, 3));
    EXPECT_FALSE(SendMessageW(bar, TBM_SETTIC, 0, 11));
    EXPECT_EQ(SendMessageW(bar, TBM_GETNUMTICS, 0, 0), 4);
    EXPECT_EQ(SendMessageW(bar, TBM_GETTIC, 0, 0), 3);
    EXPECT_LT(SendMessageW(bar, TBM_GETTICPOS, 0, 0), SendMessageW(bar, TBM_GETTICPOS, 1, 0));
    SendMessageW(bar, TBM_CLEARTICS, TRUE, 0);
    EXPECT_EQ(SendMessageW(bar, TBM_GETNUMTICS, 0, 0), 2);
}

TEST_F(TrackBarTest, TickPositionsAndThumbFollowTheChannel) {
    const HWND bar = Bar(TBS_AUTOTICKS);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 600));
    SendMessageW(bar, TBM_SETTICFREQ, 60, 0);
    const RECT channel = Channel(bar);
    int previous = channel.left;
    for (WPARAM i = 0; i < 9; ++i) {
        const int pixel = int(SendMessageW(bar, TBM_GETTICPOS, i, 0));
        EXPECT_GT(pixel, previous);
        EXPECT_LT(pixel, channel.right);
        previous = pixel;
    }
    // The thumb at a tick's position is centred on that tick.
    SendMessageW(bar, TBM_SETPOS, TRUE, 300);
    const RECT thumb = Thumb(bar);
    EXPECT_NEAR((thumb.left + thumb.right) / 2, SendMessageW(bar, TBM_GETTICPOS, 4, 0), 1);
}

TEST_F(TrackBarTest, SelectionChannelAndThumbAreDrawnWhereTheyAreReported) {
    const HWND bar = Bar(TBS_AUTOTICKS | TBS_ENABLESELRANGE);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessageW(bar, TBM_SETSELSTART, FALSE, 20);
    SendMessageW(bar, TBM_SETSELEND, TRUE, 60);
    SendMessageW(bar, TBM_SETPOS, TRUE, 90);
    UpdateWindow(parent_);
    EXPECT_EQ(SendMessageW(bar, TBM_GETSELSTART, 0, 0), 20);
    EXPECT_EQ(SendMessageW(bar, TBM_GETSELEND, 0, 0), 60);

    const RECT channel = Channel(bar);
    const RECT thumb = Thumb(bar);
    const int middle = (channel.top + channel.bottom) / 2;
    auto pixelAt = [&](int position) {
        return channel.left + 4 + (channel.right - channel.left - 8) * position / 100; // well inside the span
    };
    EXPECT_EQ(ScreenPixel(bar, {pixelAt(40), middle}), GetSysColor(COLOR_HIGHLIGHT)) << "inside the selection";
    EXPECT_EQ(ScreenPixel(bar, {pixelAt(10), middle}), GetSysColor(COLOR_BTNHIGHLIGHT)) << "before it";
    EXPECT_EQ(ScreenPixel(bar, {pixelAt(70), middle}), GetSysColor(COLOR_BTNHIGHLIGHT)) << "after it";
    EXPECT_EQ(ScreenPixel(bar, {channel.left - 1, middle}), GetSysColor(COLOR_BTNFACE)) << "left of the channel";
    EXPECT_EQ(ScreenPixel(bar, Centre(thumb)), GetSysColor(COLOR_BTNFACE)) << "thumb face";
    EXPECT_EQ(ScreenPixel(bar, {thumb.right - 1, thumb.bottom - 1}), GetSysColor(COLOR_3DDKSHADOW)) << "thumb edge";
    EXPECT_EQ(ScreenPixel(bar, {Centre(thumb).x, thumb.top - 1}), GetSysColor(COLOR_BTNFACE)) << "above the thumb";

    SendMessageW(bar, TBM_CLEARSEL, TRUE, 0);
    UpdateWindow(parent_);
    EXPECT_EQ(ScreenPixel(bar, {pixelAt(40), middle}), GetSysColor(COLOR_BTNHIGHLIGHT)) << "cleared";
}

TEST_F(TrackBarTest, KeysMoveByLineAndPageToTheEnds) {
    struct TCase {
        UINT key;
        int position;
        WORD code;
    };
    const TCase cases[] = {
        {VK_RIGHT, 51, TB_LINEDOWN}, {VK_DOWN, 51, TB_LINEDOWN}, {VK_LEFT, 49, TB_LINEUP},
        {VK_UP, 49, TB_LINEUP},      {VK_NEXT, 60, TB_PAGEDOWN}, {VK_PRIOR, 40, TB_PAGEUP},
        {VK_HOME, 0, TB_TOP},        {VK_END, 100, TB_BOTTOM},
    };
    const HWND bar = Bar(0);
    SendMessageW(bar, TBM_SETPAGESIZE, 0, 10);
    DesktopActivate(parent_);
    SetFocus(bar);
    RunUntilIdle();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        SendMessageW(bar, TBM_SETPOS, TRUE, 50);
        ClearRecord();
        DesktopPress(c.key);
        RunUntilIdle();
        EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), c.position);
        const std::vector<std::pair<WORD, int>> expected = {{c.code, -1}, {TB_ENDTRACK, -1}};
        EXPECT_EQ(Scrolls(), expected);
    }
}

TEST_F(TrackBarTest, PressOnTheChannelPagesTowardsThePointerAndRepeats) {
    const HWND bar = Bar(TBS_VERT, {10, 10, 50, 190});
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessageW(bar, TBM_SETPAGESIZE, 0, 20);
    const RECT channel = Channel(bar); // along the bar's length: left/right are its top/bottom
    const RECT thumb = Thumb(bar);
    const POINT press = ScreenPoint(bar, Centre(thumb).x, channel.right - 2);
    Button(true, press);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 20);
    const auto wait = [this](uint64_t ms) {
        Advance(ms);
        RunUntilIdle();
    };
    wait(399);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 20) << "not before the first delay";
    wait(1);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 40);
    wait(100);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 60);
    for (int i = 0; i < 5; ++i) wait(100);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 100) << "stops at the pointer";
    Button(false, press);
    const std::vector<std::pair<WORD, int>> scrolls = Scrolls(WM_VSCROLL);
    ASSERT_FALSE(scrolls.empty());
    EXPECT_EQ(scrolls.front().first, TB_PAGEDOWN);
    EXPECT_EQ(scrolls.back().first, TB_ENDTRACK);
    EXPECT_TRUE(Scrolls(WM_HSCROLL).empty());
}

TEST_F(TrackBarTest, RangeClampsPositionAndSetters) {
    const HWND bar = Bar(TBS_FIXEDLENGTH);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(10, 20));
    EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMIN, 0, 0), 10);
    EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMAX, 0, 0), 20);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 10);
    SendMessageW(bar, TBM_SETPOS, TRUE, 99);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 20);
    SendMessageW(bar, TBM_SETRANGEMAX, TRUE, 15);
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 15);
    EXPECT_EQ(SendMessageW(bar, TBM_SETLINESIZE, 0, 3), 1);
    EXPECT_EQ(SendMessageW(bar, TBM_GETLINESIZE, 0, 0), 3);
    SendMessageW(bar, TBM_SETTHUMBLENGTH, 14, 0);
    const RECT thumb = Thumb(bar);
    EXPECT_EQ(thumb.bottom - thumb.top, 14);
}

} // namespace
