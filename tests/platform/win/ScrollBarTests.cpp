#include "WindowFixture.h"

#include <thread>

#include "platform/win/gdi/ClassicFramePainter.h"

namespace {

constexpr int kBar = 17;

// Records the bars' looks as the frame painter gets them.
class TLookPainter : public IFramePainter {
public:
    void PaintFrame(HDC, const TFrameLook& look) override { last = look; }
    void PaintScrollBar(HDC, const TScrollBarLook&) override {}
    TFrameLook last;
};

struct TScroll {
    WORD code;
    int pos;      // high word of wParam
    int trackPos; // SIF_TRACKPOS while the message is handled
    DWORD time;
};

class ScrollBars : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetFramePainter(painter);
    }
    void TearDown() override {
        SetFramePainter(ClassicFramePainter());
        WindowTest::TearDown();
    }

    HWND Scrolled(DWORD style, RECT r, DWORD exStyle = 0) {
        const HWND w = Create(kPopup | style, r, nullptr, exStyle);
        Answer(w, WM_VSCROLL, [this, w](WPARAM wParam, LPARAM) {
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(w, SB_VERT, &info);
            scrolls.push_back(TScroll{LOWORD(wParam), SHORT(HIWORD(wParam)), info.nTrackPos, GetTickCount()});
            return std::optional<LRESULT>(0);
        });
        return w;
    }
    static void SetInfo(HWND w, int min, int max, UINT page, int pos, UINT extra = 0) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | extra, min, max, page, pos, 0};
        SetScrollInfo(w, SB_VERT, &info, TRUE);
    }
    static SCROLLINFO InfoOf(HWND w) {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(w, SB_VERT, &info);
        return info;
    }
    // The vertical bar's thumb on the screen, as painted.
    RECT Thumb(HWND w) {
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        RECT r = painter->last.vertical.thumb, window;
        GetWindowRect(w, &window);
        return RECT{r.left + window.left, r.top + window.top, r.right + window.left, r.bottom + window.top};
    }
    std::vector<WORD> Codes() const {
        std::vector<WORD> codes;
        for (const TScroll& s : scrolls) codes.push_back(s.code);
        return codes;
    }
    static void Press(POINT pt) { DesktopMouseButton(TDesktopButton::Left, true, pt); }
    static void Release(POINT pt) { DesktopMouseButton(TDesktopButton::Left, false, pt); }

    std::shared_ptr<TLookPainter> painter = std::make_shared<TLookPainter>();
    std::vector<TScroll> scrolls;
};

TEST_F(ScrollBars, InfoIsKeptAfterClampingPageAndPosition) {
    struct TCase {
        const char* name;
        int min, max;
        UINT page;
        int pos;
        UINT expectedPage;
        int expectedPos;
    };
    const HWND w = Scrolled(WS_VSCROLL, {0, 0, 100, 200});
    for (const TCase& c : {TCase{"inside", 0, 100, 10, 50, 10, 50},
                           TCase{"position past the last page", 0, 100, 10, 95, 10, 91},
                           TCase{"position below the minimum", 10, 20, 0, 5, 0, 10},
                           TCase{"page 0 reaches the maximum", 10, 20, 0, 30, 0, 20},
                           TCase{"negative range", -50, 50, 25, 100, 25, 26},
                           TCase{"page larger than the range", 0, 99, 500, 40, 100, 0},
                           TCase{"minimum above maximum", 30, 10, 0, 5, 0, 0},
                           TCase{"the widest range", 0, 0x7FFFFFFF, 0xFFFFFFFF, 5, 0x80000000u, 0}}) {
        SCOPED_TRACE(c.name);
        SetInfo(w, c.min, c.max, c.page, c.pos);
        const SCROLLINFO info = InfoOf(w);
        EXPECT_EQ(info.nPage, c.expectedPage);
        EXPECT_EQ(info.nPos, c.expectedPos);
        EXPECT_EQ(info.nTrackPos, c.expectedPos);
        EXPECT_EQ(GetScrollPos(w, SB_VERT), c.expectedPos);
    }
    int min = 1, max = 1;
    SetInfo(w, 0, 0, 0, 0);
    SetScrollRange(w, SB_VERT, 3, 9, FALSE);
    EXPECT_TRUE(GetScrollRange(w, SB_VERT, &min, &max));
    EXPECT_EQ(min, 3);
    EXPECT_EQ(max, 9);
    EXPECT_EQ(SetScrollPos(w, SB_VERT, 100, FALSE), 3);
    EXPECT_EQ(GetScrollPos(w, SB_VERT), 9);
}

TEST_F(ScrollBars, APageCoveringTheRangeHidesTheBarAndTheClientGrows) {
    const HWND w = Scrolled(WS_VSCROLL | WS_HSCROLL, {0, 0, 204, 104}, WS_EX_CLIENTEDGE);
    RECT client;
    GetClientRect(w, &client);
    ASSERT_EQ(client, (RECT{0, 0, 200 - kBar, 100 - kBar}));
    const int height = client.bottom;
    // Content of Max + 1 pixels with a page of the client height + 1.
    SetInfo(w, 0, height + 1, height + 1, 0); // one pixel more than fits
    EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_VSCROLL);
    ClearRecord();
    SetInfo(w, 0, height, height + 1, 0); // everything fits
    EXPECT_FALSE(GetWindowLongW(w, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(w, &client);
    EXPECT_EQ(client, (RECT{0, 0, 200, 100 - kBar}));
    const auto sizes = Recorded({WM_SIZE});
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(200, 100 - kBar));
    SetInfo(w, 0, 500, 50, 0);
    EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200 - kBar);
}

TEST_F(ScrollBars, DisableNoScrollKeepsTheBarShownDisabledAndDeafToClicks) {
    const HWND w = Scrolled(WS_VSCROLL, {100, 100, 300, 300});
    SetInfo(w, 0, 50, 100, 0, SIF_DISABLENOSCROLL);
    EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_VSCROLL);
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(painter->last.vertical.enabled);
    EXPECT_EQ(painter->last.vertical.thumb, RECT{});
    for (const POINT pt : {POINT{290, 105}, POINT{290, 200}, POINT{290, 295}}) {
        Press(pt);
        Release(pt);
    }
    RunUntilIdle();
    EXPECT_TRUE(scrolls.empty());
    EXPECT_EQ(GetCapture(), nullptr);
    // Scrollable again: shown and enabled.
    SetInfo(w, 0, 500, 100, 0);
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(painter->last.vertical.enabled);
}

TEST_F(ScrollBars, ADisabledArrowIgnoresTheMouseWhileTheOtherWorks) {
    const HWND w = Scrolled(WS_VSCROLL, {100, 100, 300, 300});
    SetInfo(w, 0, 500, 100, 0);
    EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_UP));
    EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_UP));
    for (const POINT pt : {POINT{290, 105}, POINT{290, 295}}) {
        Press(pt);
        Release(pt);
    }
    RunUntilIdle();
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));
}

TEST_F(ScrollBars, APressOnTheTrackPagesTowardsThePointer) {
    const HWND w = Scrolled(WS_VSCROLL, {100, 100, 300, 300});
    SetInfo(w, 0, 99, 10, 0);
    const RECT thumb = Thumb(w);
    for (const POINT pt : {POINT{290, thumb.bottom + 20}, POINT{290, thumb.top + 2}}) {
        Press(pt);
        Release(pt);
    }
    RunUntilIdle();
    // On the thumb itself nothing pages; the drag without a move changes nothing.
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_PAGEDOWN, SB_ENDSCROLL, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_EQ(scrolls[2].pos, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBars, DraggingTheThumbTracksPositionsWithinTheRange) {
    struct TCase {
        const char* name;
        int min, max;
        UINT page;
        int start, height, drag;
        std::vector<int> tracked;
        int position;
    };
    // A bar 200 high: arrows of 17, a track of 166; page 10 of 100 gives a
    // thumb of 17 and 149 pixels of room, page 0 a thumb of 17 too.
    for (const TCase& c : {
             TCase{"halfway", 0, 99, 10, 0, 200, 50, {30}, 30},
             TCase{"to the end", 0, 99, 10, 0, 200, 1000, {90}, 90},
             TCase{"back to the start", 0, 99, 10, 40, 200, -1000, {0}, 0},
             TCase{"minimum not 0", 100, 199, 10, 100, 200, 50, {130}, 130},
             TCase{"minimum not 0 to the end", 100, 199, 10, 100, 200, 1000, {190}, 190},
             TCase{"page 0", 0, 99, 0, 0, 200, 50, {33}, 33},
             TCase{"page 0 to the end", 0, 99, 0, 0, 200, 1000, {99}, 99},
             TCase{"no room: track equals thumb", 50, 149, 10, 60, 42, 3, {50}, 50},
             TCase{"not moved", 0, 99, 10, 20, 200, 0, {}, 20},
         }) {
        SCOPED_TRACE(c.name);
        scrolls.clear();
        const HWND w = Scrolled(WS_VSCROLL, {100, 100, 200, 100 + c.height});
        SetInfo(w, c.min, c.max, c.page, c.start);
        const RECT thumb = Thumb(w);
        ASSERT_LT(thumb.top, thumb.bottom);
        const POINT grab{thumb.left + 3, (thumb.top + thumb.bottom) / 2};
        Press(grab);
        DesktopMouseMove(POINT{grab.x, grab.y + c.drag});
        Release(POINT{grab.x, grab.y + c.drag});
        RunUntilIdle();
        std::vector<int> tracked;
        for (const TScroll& s : scrolls)
            if (s.code == SB_THUMBTRACK) {
                tracked.push_back(s.pos);
                EXPECT_EQ(s.trackPos, s.pos);
                EXPECT_EQ(GetScrollPos(w, SB_VERT), c.start); // the window moves the position itself
            }
        EXPECT_EQ(tracked, c.tracked);
        ASSERT_GE(scrolls.size(), 2u);
        EXPECT_EQ(scrolls[scrolls.size() - 2].code, SB_THUMBPOSITION);
        EXPECT_EQ(scrolls[scrolls.size() - 2].pos, c.position);
        EXPECT_EQ(scrolls.back().code, SB_ENDSCROLL);
        EXPECT_EQ(InfoOf(w).nTrackPos, c.start); // no longer tracking
        DestroyWindow(w);
    }
}

// Drives the desktop from a thread of its own while the test's thread runs the
// window system; Settle returns once that thread has handled every input,
// post, paint and timer due.
class TDriver {
public:
    TDriver(WindowTest& test, HWND probe, std::function<void(TDriver&)> script) : probe_(probe) {
        test_ = &test;
        thread_ = std::thread([this, script] { script(*this); });
    }
    ~TDriver() { thread_.join(); }
    void Settle() const {
        while (!SendMessageW(probe_, kProbe, 0, 0)) {}
    }
    static constexpr UINT kProbe = WM_APP + 0x1F0;
    // Answered by the probe window: nothing left to take.
    static std::optional<LRESULT> Idle(WPARAM, LPARAM) {
        return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_PAINT | QS_TIMER)) == 0;
    }

private:
    WindowTest* test_;
    HWND probe_;
    std::thread thread_;
};

TEST_F(ScrollBars, AnArrowRepeatsAfterTheFirstDelayAtTheRateAndPausesOffIt) {
    const HWND w = Scrolled(WS_VSCROLL, {100, 100, 300, 300});
    SetInfo(w, 0, 500, 100, 0);
    Answer(w, TDriver::kProbe, &TDriver::Idle);
    RunUntilIdle();
    ASSERT_EQ(GetForegroundWindow(), w);
    const POINT arrow{290, 295};
    const DWORD start = GetTickCount();
    std::vector<size_t> seen;
    Press(arrow);
    {
        TDriver driver(*this, w, [&](TDriver& d) {
            d.Settle();
            seen.push_back(scrolls.size()); // at once
            Advance(kScrollFirstDelay - 1);
            d.Settle();
            seen.push_back(scrolls.size());
            Advance(1);
            d.Settle();
            seen.push_back(scrolls.size()); // the first delay
            Advance(kScrollRepeatDelay);
            d.Settle();
            seen.push_back(scrolls.size()); // the rate
            DesktopMouseMove(POINT{200, 200});
            d.Settle();
            Advance(3 * kScrollRepeatDelay);
            d.Settle();
            seen.push_back(scrolls.size()); // paused off the arrow
            DesktopMouseMove(arrow);
            d.Settle();
            Advance(kScrollRepeatDelay);
            d.Settle();
            seen.push_back(scrolls.size()); // back on it
            Release(arrow);
        });
        RunUntilIdle();
    }
    EXPECT_EQ(seen, (std::vector<size_t>{1, 1, 2, 3, 3, 4}));
    EXPECT_EQ(Codes(), (std::vector<WORD>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
    std::vector<DWORD> times;
    for (const TScroll& s : scrolls) times.push_back(s.time - start);
    const DWORD first = kScrollFirstDelay, rate = kScrollRepeatDelay;
    EXPECT_EQ(times, (std::vector<DWORD>{0, first, first + rate, first + 5 * rate, first + 5 * rate}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBars, TrackPagingRepeatsUntilTheThumbReachesThePointer) {
    const HWND w = Scrolled(WS_VSCROLL, {100, 100, 300, 300});
    SetInfo(w, 0, 99, 10, 0);
    // The window scrolls by a page as asked.
    Answer(w, WM_VSCROLL, [this, w](WPARAM wParam, LPARAM) {
        scrolls.push_back(TScroll{LOWORD(wParam), 0, 0, GetTickCount()});
        if (LOWORD(wParam) == SB_PAGEDOWN) SetScrollPos(w, SB_VERT, GetScrollPos(w, SB_VERT) + 10, TRUE);
        return std::optional<LRESULT>(0);
    });
    Answer(w, TDriver::kProbe, &TDriver::Idle);
    RunUntilIdle();
    // 60 pixels down the track; a page moves the 17-pixel thumb by 149 / 9
    // pixels, so the third page brings it under the pointer.
    const POINT track{290, 100 + 17 + 60};
    Press(track);
    {
        TDriver driver(*this, w, [&](TDriver& d) {
            d.Settle();
            Advance(kScrollFirstDelay);
            for (int i = 0; i < 10; ++i) {
                d.Settle();
                Advance(kScrollRepeatDelay);
            }
            d.Settle();
            Release(track);
        });
        RunUntilIdle();
    }
    const std::vector<WORD> codes = Codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    const size_t pages = size_t(std::count(codes.begin(), codes.end(), SB_PAGEDOWN));
    EXPECT_EQ(pages + 1, codes.size());
    EXPECT_EQ(pages, 3u);
    const RECT thumb = Thumb(w);
    EXPECT_LE(thumb.top, track.y);
    EXPECT_GT(thumb.bottom, track.y);
}

} // namespace
