// A drop target scrolls its target a line every 50 ms while the cursor rests
// near an edge, measured on the test clock.

#include "DragDropFixture.h"
#include "ScrollingPanel.h"
#include "controls/dragdrop/DropTarget.h"
#include "controls/dragdrop/MouseSpeedMeter.h"
#include "platform/ui/StartedUiUnits.h"

namespace {

constexpr DWORD kEveryEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class DropAutoScrollTest : public FormTest {
protected:
    void SetUp() override {
        StartDragDropUnits();
        form_ = ShownForm({0, 0, 400, 300});
        scrolling_ = new TScrollingTestPanel(form_);
        scrolling_->SetBounds(10, 10, 200, 150);
        scrolling_->SetParent(form_);
        plain_ = new TTestPanel(form_);
        plain_->SetBounds(220, 10, 150, 150);
        plain_->SetParent(form_);
        target_ = new TDropFileTarget(form_);
        target_->DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
        target_->MultiTarget = true;
        target_->Register(scrolling_);
        target_->Register(plain_);
        PumpMessages();
        scrolling_->SetPosition(3);
        data_ = MakeIntf<TStoredDataObject>();
        data_->SetFiles({u"/tmp/a.mkv"});
    }
    void TearDown() override {
        data_.Reset();
        FormTest::TearDown();
        StopDragDropUnits();
    }

    // The screen point of a client point, with the cursor put there.
    POINTL At(TWinControl* control, int x, int y) {
        const TPoint p = control->ClientToScreen({x, y});
        SetCursorPos(p.X, p.Y);
        return POINTL{p.X, p.Y};
    }
    void Enter(POINTL at) {
        DWORD effect = kEveryEffect;
        ASSERT_EQ(target_->DragEnter(data_.get(), MK_LBUTTON, at, effect), S_OK);
    }
    void Over(POINTL at) {
        DWORD effect = kEveryEffect;
        target_->DragOver(MK_LBUTTON, at, effect);
    }
    // A cursor resting in the top band of the scrolling panel.
    void RestInTopBand() {
        const POINTL at = At(scrolling_, 100, 2);
        Enter(at);
        Over(at);
    }

    TStartedUiUnits units_;
    TForm* form_ = nullptr;
    TScrollingTestPanel* scrolling_ = nullptr;
    TTestPanel* plain_ = nullptr;
    TDropFileTarget* target_ = nullptr;
    TIntfPtr<TStoredDataObject> data_;
};

} // namespace

TEST_F(DropAutoScrollTest, TheEffectHandlerSeesTheScrollBitOnlyNearTheEdgesOfAScrollableTarget) {
    const int band = 2 * GetSystemMetrics(SM_CYHSCROLL);
    struct Case {
        const char* what;
        bool scrolling;
        int x, y;
        bool scrollBit;
    } const cases[] = {
        {"top band", true, 100, band - 1, true},
        {"bottom band", true, 100, 150 - band, true},
        {"middle", true, 100, band, false},
        {"edge of a target without scroll bars", false, 5, 1, false},
    };
    DWORD offered = 0;
    target_->OnGetDropEffect = [&](TObject*, TShiftState, TPoint, DWORD& effect) { offered = effect; };
    for (const Case& c : cases) {
        DWORD effect = kEveryEffect;
        target_->DragEnter(data_.get(), MK_LBUTTON, At(c.scrolling ? scrolling_ : plain_, c.x, c.y), effect);
        EXPECT_EQ((offered & DROPEFFECT_SCROLL) != 0, c.scrollBit) << c.what;
        EXPECT_EQ(offered & ~DROPEFFECT_SCROLL, kEveryEffect) << c.what;
        target_->DragLeave();
    }
}

TEST_F(DropAutoScrollTest, ARestingCursorScrollsALineEvery50MsUntilTheTop) {
    RestInTopBand();
    Elapse(49);
    EXPECT_EQ(scrolling_->linesScrolled, 0);
    Elapse(1);
    EXPECT_EQ(scrolling_->Position(), 2);
    Elapse(50);
    EXPECT_EQ(scrolling_->Position(), 1);
    Elapse(50);
    Elapse(50);
    Elapse(200);
    EXPECT_EQ(scrolling_->Position(), 0);
    EXPECT_EQ(scrolling_->linesScrolled, 3);
    target_->DragLeave();
}

TEST_F(DropAutoScrollTest, ACursorMovingFasterThan20PixelsASecondNeverScrolls) {
    const POINTL start = At(scrolling_, 20, 2);
    Enter(start);
    for (int step = 1; step <= 30; ++step) {
        Elapse(10);
        Over(At(scrolling_, 20 + step, 2)); // 100 pixels per second
    }
    Elapse(100);
    EXPECT_EQ(scrolling_->linesScrolled, 0);
    target_->DragLeave();
}

TEST_F(DropAutoScrollTest, TheScrollHandlerDecidesWhatScrollsAndWhen) {
    target_->OnScroll = [](TObject*, TPoint, TScrollDirections& scroll, int&) { scroll = TScrollDirections{}; };
    RestInTopBand();
    Elapse(50);
    Elapse(500);
    EXPECT_EQ(scrolling_->linesScrolled, 0);
    target_->DragLeave();

    target_->OnScroll = [](TObject*, TPoint, TScrollDirections&, int& interval) { interval = 200; };
    RestInTopBand();
    Elapse(50);
    EXPECT_EQ(scrolling_->linesScrolled, 1);
    Elapse(199);
    EXPECT_EQ(scrolling_->linesScrolled, 1);
    Elapse(1);
    EXPECT_EQ(scrolling_->linesScrolled, 2);
    target_->DragLeave();
}

TEST_F(DropAutoScrollTest, ADragHandlerWithoutTheScrollBitStopsScrolling) {
    target_->OnDragOver = [](TObject*, TShiftState, TPoint, DWORD& effect) { effect &= ~DROPEFFECT_SCROLL; };
    RestInTopBand();
    Elapse(200);
    EXPECT_EQ(scrolling_->linesScrolled, 0);
    target_->DragLeave();
}

TEST(MouseSpeedMeterTest, ACursorRestsAtUpTo20PixelsPerSecondWhateverTheGapBetweenSamples) {
    struct Case {
        const char* what;
        uint32_t start, elapsed;
        int dx;
        bool slow;
    } const cases[] = {
        {"sooner than a sample interval", 1000, 9, 500, true},
        {"still", 1000, 50, 0, true},
        {"20 pixels per second", 1000, 1000, 20, true},
        {"21 pixels per second", 1000, 1000, 21, false},
        {"a minute and a bit at 23 pixels per second", 1000, 65536, 1500, false},
        {"across the wrap of the tick count", 0xFFFFFFF0u, 100, 50, false},
        {"resting across the wrap", 0xFFFFFFF0u, 100, 1, true},
    };
    for (const Case& c : cases) {
        TMouseSpeedMeter meter;
        meter.Restart(POINT{10, 10}, c.start);
        EXPECT_EQ(meter.Slow(POINT{10 + c.dx, 10}, c.start + c.elapsed), c.slow) << c.what;
    }
}
