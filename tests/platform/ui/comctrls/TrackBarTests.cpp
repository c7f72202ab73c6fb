#include "../ControlFixture.h"
#include "../StartedUiUnits.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Properties.h"
#include "platform/ui/comctrls/TrackBar.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/desktop/Desktop.h"

namespace {

// A track bar with a position tip whose text it answers itself, as the
// application's own track bars do: the upper positions read "较高".
class TTrackBarWithTip : public TTrackBar {
public:
    explicit TTrackBarWithTip(TComponent* owner) : TTrackBar(owner) {
        SetWindowProc([this](TMessage& m) {
            WndProc(m);
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(m.LParam);
            if (m.Msg == WM_NOTIFY && info->hdr.code == TTN_GETDISPINFOW && Position() >= 4)
                info->lpszText = const_cast<LPWSTR>(u"较高");
        });
    }
    ~TTrackBarWithTip() override { SetWindowProc({}); }

protected:
    void CreateParams(TCreateParams& params) override {
        TTrackBar::CreateParams(params);
        params.Style |= TBS_TOOLTIPS;
    }
    void CreateWnd() override {
        TTrackBar::CreateWnd();
        SendMessageW(Handle(), TBM_SETTIPSIDE, TBTS_LEFT, 0);
    }
};

class TrackBarFramework : public FormTest {
protected:
    void SetUp() override { form = ShownForm(TRect{100, 100, 500, 400}); }

    TTrackBar* Bar() {
        auto* bar = new TTrackBar(form);
        bar->SetBounds(10, 10, 200, 45);
        bar->SetParent(form);
        return bar;
    }
    static std::vector<int> InnerTicks(TTrackBar* bar) {
        std::vector<int> ticks;
        for (WPARAM i = 0; SendMessageW(bar->Handle(), TBM_GETTIC, i, 0) != -1; ++i)
            ticks.push_back(int(SendMessageW(bar->Handle(), TBM_GETTIC, i, 0)));
        return ticks;
    }
    static int NumTics(TTrackBar* bar) { return int(SendMessageW(bar->Handle(), TBM_GETNUMTICS, 0, 0)); }
    static POINT ThumbCentre(TTrackBar* bar) {
        RECT r{};
        SendMessageW(bar->Handle(), TBM_GETTHUMBRECT, 0, LPARAM(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar->Handle(), &p);
        return p;
    }

    TForm* form = nullptr;
};

TEST_F(TrackBarFramework, FrequencyGivesTicksCountedWithBothEnds) {
    struct TCase {
        const char* name;
        int min, max, frequency;
        std::vector<int> inner;
        int count;
    };
    const TCase cases[] = {
        {"every 60 of 600", 0, 600, 60, {60, 120, 180, 240, 300, 360, 420, 480, 540}, 11},
        {"empty range", 0, 0, 60, {}, 2},
        {"range of one", 0, 1, 60, {}, 2},
        {"offset range", 10, 20, 5, {15}, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTrackBar* bar = Bar();
        bar->SetMax(c.max);
        bar->SetMin(c.min);
        bar->SetFrequency(c.frequency);
        EXPECT_EQ(NumTics(bar), c.count);
        EXPECT_EQ(InnerTicks(bar), c.inner);
        delete bar;
    }
}

TEST_F(TrackBarFramework, SettingsAreKeptBeforeTheWindowAndAcrossANewOne) {
    auto* bar = new TTrackBar(form);
    bar->SetMax(600);
    bar->SetFrequency(60);
    bar->SetPosition(240);
    bar->SetSelStart(100);
    bar->SetSelEnd(300);
    bar->SetPageSize(50);
    bar->SetParent(form); // the window is made with what was set

    const HWND first = bar->Handle();
    EXPECT_EQ(SendMessageW(first, TBM_GETPOS, 0, 0), 240);
    SendMessageW(first, TBM_SETPOS, TRUE, 300); // as the user would move it
    bar->SetOrientation(trVertical);
    bar->SetTickStyle(tsManual);
    bar->SetTick(150);
    const HWND second = bar->Handle();
    ASSERT_NE(first, second);
    EXPECT_EQ(bar->Width(), 45) << "a vertical bar turns its bounds";
    EXPECT_TRUE(GetWindowLongPtrW(second, GWL_STYLE) & TBS_VERT);
    EXPECT_EQ(SendMessageW(second, TBM_GETPOS, 0, 0), 300);
    EXPECT_EQ(SendMessageW(second, TBM_GETRANGEMAX, 0, 0), 600);
    EXPECT_EQ(SendMessageW(second, TBM_GETSELSTART, 0, 0), 100);
    EXPECT_EQ(SendMessageW(second, TBM_GETSELEND, 0, 0), 300);
    EXPECT_EQ(SendMessageW(second, TBM_GETPAGESIZE, 0, 0), 50);
    EXPECT_EQ(InnerTicks(bar), std::vector<int>{150}) << "manual ticks replace the frequency's";
    bar->SetTickStyle(tsAuto); // a new window again
    EXPECT_EQ(NumTics(bar), 11);
    EXPECT_EQ(bar->Position(), 300);
}

TEST_F(TrackBarFramework, RangeClampsThePosition) {
    TTrackBar* bar = Bar();
    bar->SetPosition(8);
    bar->SetMax(5);
    EXPECT_EQ(bar->Position(), 5);
    bar->SetMin(7);
    EXPECT_EQ(bar->Min(), 7);
    EXPECT_EQ(bar->Max(), 7) << "a minimum above the maximum takes it along";
    EXPECT_EQ(bar->Position(), 7);
    bar->SetPosition(-3);
    EXPECT_EQ(bar->Position(), 7);
}

TEST_F(TrackBarFramework, DraggingFiresOnChangeAndTheMouseEvents) {
    TTrackBar* bar = Bar();
    bar->SetMax(5);
    std::vector<String> events;
    bar->OnChange = [&](TObject*) { events.push_back(u"change " + IntToStr(bar->Position())); };
    bar->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back(u"down"); };
    bar->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back(u"up"); };

    const POINT grab = ThumbCentre(bar);
    RECT channel{};
    SendMessageW(bar->Handle(), TBM_GETCHANNELRECT, 0, LPARAM(&channel));
    const int step = (channel.right - channel.left) / 5;
    DesktopMouseButton(TDesktopButton::Left, true, grab);
    DesktopMouseMove({grab.x + step, grab.y});
    PumpMessages();
    DesktopMouseMove({grab.x + 2 * step, grab.y});
    DesktopMouseButton(TDesktopButton::Left, false, {grab.x + 2 * step, grab.y});
    PumpMessages();

    // Track, track, the final position, the end of the gesture.
    const std::vector<String> expected = {u"down",     u"change 1", u"change 2", u"change 2",
                                          u"change 2", u"up"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(bar->Position(), 2);
}

TEST_F(TrackBarFramework, ADerivedBarAnswersItsTipTextAboveTheThumb) {
    auto* bar = new TTrackBarWithTip(form);
    bar->SetBounds(10, 10, 200, 45);
    bar->SetMax(5);
    bar->SetParent(form);
    const HWND tip = HWND(SendMessageW(bar->Handle(), TBM_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip, nullptr);
    const auto tipText = [&] {
        WCHAR buffer[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = bar->Handle();
        tool.uId = UINT_PTR(bar->Handle());
        tool.lpszText = buffer;
        SendMessageW(tip, TTM_GETTEXTW, std::size(buffer), LPARAM(&tool));
        return String(buffer);
    };
    RECT channel{};
    SendMessageW(bar->Handle(), TBM_GETCHANNELRECT, 0, LPARAM(&channel));
    const int step = (channel.right - channel.left) / 5;
    const POINT grab = ThumbCentre(bar);
    DesktopMouseButton(TDesktopButton::Left, true, grab);
    DesktopMouseMove({grab.x + 2 * step, grab.y});
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(tipText(), u"2") << "the position, unless the bar says otherwise";
    DesktopMouseMove({grab.x + 4 * step, grab.y});
    PumpMessages();
    EXPECT_EQ(tipText(), u"较高");
    RECT tipRect;
    GetWindowRect(tip, &tipRect);
    EXPECT_LE(tipRect.bottom, ThumbCentre(bar).y - 5) << "above the thumb";
    DesktopMouseButton(TDesktopButton::Left, false, {grab.x + 4 * step, grab.y});
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(tip));
    bar->RecreateWnd();
    EXPECT_NE(SendMessageW(bar->Handle(), TBM_GETTOOLTIPS, 0, 0), 0) << "a new window has its tip again";
}

TEST_F(TrackBarFramework, PositionSetInCodeFiresOnChangeOnlyWhenItMoves) {
    TTrackBar* bar = Bar();
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->SetPosition(3);
    bar->SetPosition(3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(SendMessageW(bar->Handle(), TBM_GETPOS, 0, 0), 3);
}

TEST(TrackBarUnit, TheComCtrlsUnitRegistersTheClassWithItsDefaults) {
    TStartedUiUnits units;
    TComponent owner(nullptr);
    TComponent* bar = FindClass("TTrackBar")->CreateComponent(&owner);
    ASSERT_TRUE(dynamic_cast<TTrackBar*>(bar));
    for (const char* name : {"Min", "Max", "Position", "Frequency", "TickStyle", "TickMarks", "Orientation", "PageSize",
                             "LineSize", "SelStart", "SelEnd", "SliderVisible", "ThumbLength"})
        EXPECT_TRUE(IsDefaultOrdValue(bar, name)) << name;
    EXPECT_NE(GetPropInfo(bar, "OnChange"), nullptr);
}

} // namespace
