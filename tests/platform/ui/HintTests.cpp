#include <functional>
#include <optional>

#include "ControlFixture.h"
#include "DibFixture.h"
#include "platform/ui/Hints.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"

namespace {

// A hint window that sizes itself by its data, to show that the class and
// the data a control names are the ones used.
class TFixedHintWindow : public THintWindow {
    RTL_CLASS(TFixedHintWindow, THintWindow);

public:
    using THintWindow::THintWindow;
    TRect CalcHintRect(int, const String&, void* data) override {
        shownData = data;
        return {0, 0, 123, 45};
    }
    void* shownData = nullptr;
};

} // namespace

RTL_PUBLISHED_NONE(TFixedHintWindow);

namespace {

// A primary monitor whose work area starts at (40, 0) and ends above a
// 28-pixel panel, and a second monitor right of it. The program's loop runs
// as the application runs it: messages through its preprocessing, then idle.
class HintTest : public FormTest {
protected:
    static constexpr RECT kPrimary{40, 0, 1064, 768};
    static constexpr RECT kPrimaryWork{40, 0, 1064, 740};
    static constexpr RECT kSecond{1064, 0, 2088, 768};

    void SetUp() override {
        TDesktopMetrics desktop;
        desktop.Monitors = {TMonitorLayout{kPrimary, kPrimaryWork, true, u"\\\\.\\DISPLAY1"},
                            TMonitorLayout{kSecond, kSecond, false, u"\\\\.\\DISPLAY2"}};
        SetDesktopMetrics(desktop);
        Application().OnIdle = [](TObject*, bool& done) { done = false; };
        form = ShownForm({100, 100, 500, 400});
        save = Graphic({10, 10, 90, 40}, u"Save|Saves the task list");
        open = Graphic({100, 10, 180, 40}, u"Open|Opens a task list");
    }

    TTestGraphic* Graphic(TRect bounds, const String& hint) {
        auto* graphic = new TTestGraphic(form);
        graphic->SetBoundsRect(bounds);
        graphic->SetHint(hint);
        graphic->SetShowHint(true);
        graphic->SetParent(form);
        graphic->log.watched = {CM_HINTSHOWPAUSE, CM_HINTSHOW};
        return graphic;
    }
    // Answers Message on the control before its own handling does.
    static void Intercept(TControl* control, UINT message, std::function<void(TMessage&)> handler) {
        control->SetWindowProc([old = control->WindowProc(), message, handler](TMessage& m) {
            if (m.Msg == message)
                handler(m);
            else
                old(m);
        });
    }

    void Run() {
        Application().ProcessMessages();
        Application().Idle(MSG{});
    }
    void Wait(uint64_t ms) {
        clock_.Advance(ms);
        Run();
    }
    void MoveTo(TPoint screen) {
        DesktopMouseMove(POINT{screen.X, screen.Y});
        Run();
    }
    void MoveTo(TControl* control, TPoint client) { MoveTo(control->ClientToScreen(client)); }
    void ShowHintOf(TControl* control) {
        MoveTo(control, {5, 5});
        Wait(Application().HintPause());
        ASSERT_TRUE(Shown());
    }

    THintWindow* Window() { return Application().Hints().HintWindow(); }
    bool Shown() { return Window() && Window()->HandleAllocated() && IsWindowVisible(Window()->Handle()); }
    String Text() { return Shown() ? Window()->Caption() : String(); }
    TRect Bounds() {
        RECT r;
        GetWindowRect(Window()->Handle(), &r);
        return ToTRect(r);
    }

    TForm* form = nullptr;
    TTestGraphic* save = nullptr;
    TTestGraphic* open = nullptr;

private:
    TDesktopMetricsScope desktopScope_;
};

TEST_F(HintTest, RestingOverAControlShowsItsShortHintAfterThePauseAndLeavingHidesIt) {
    MoveTo(save, {20, 10});
    Wait(499);
    EXPECT_FALSE(Shown());
    Wait(1);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Text(), u"Save");
    EXPECT_TRUE(Window()->InheritsFrom(THintWindow::StaticClass()));
    EXPECT_EQ(GetWindowLongW(Window()->Handle(), GWL_STYLE) & (WS_POPUP | WS_CHILD), LONG(WS_POPUP));
    const DWORD exStyle = DWORD(GetWindowLongW(Window()->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW),
              WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetActiveWindow(), form->Handle()) << "the hint takes no activation";
    const TPoint pointer = save->ClientToScreen({20, 10});
    EXPECT_EQ(Bounds().Left, pointer.X);
    EXPECT_GT(Bounds().Top, pointer.Y) << "below the pointer";
    EXPECT_EQ(save->log.Messages(), (std::vector<UINT>{CM_HINTSHOWPAUSE, CM_HINTSHOW}));

    MoveTo(save, {30, 12});
    EXPECT_TRUE(Shown()) << "moving inside the control keeps the hint";
    MoveTo(form, {250, 150});
    EXPECT_FALSE(Shown());
    Wait(5000);
    EXPECT_FALSE(Shown());
}

TEST_F(HintTest, TheControlIsToldEveryFieldOfTheHintAndMayChangeThem) {
    THintInfo seen;
    Intercept(save, CM_HINTSHOW, [&](TMessage& m) {
        seen = *MessageHintInfo(m);
        MessageHintInfo(m)->HintStr = u"Changed";
        MessageHintInfo(m)->HintPos = {300, 320};
    });
    MoveTo(save, {20, 10});
    Wait(500);
    const TPoint pointer = save->ClientToScreen({20, 10});
    EXPECT_EQ(seen.HintControl, save);
    EXPECT_EQ(seen.HintWindowClass, THintWindow::StaticClass());
    EXPECT_EQ(seen.HintPos.X, pointer.X);
    EXPECT_GT(seen.HintPos.Y, pointer.Y);
    EXPECT_EQ(seen.HintMaxWidth, Screen().Width());
    EXPECT_EQ(seen.HintColor, Application().HintColor());
    EXPECT_EQ(seen.CursorRect, (TRect{0, 0, 80, 30}));
    EXPECT_EQ(seen.CursorPos, (TPoint{20, 10}));
    EXPECT_EQ(seen.ReshowTimeout, 0);
    EXPECT_EQ(seen.HideTimeout, 2500);
    EXPECT_EQ(seen.HintStr, u"Save");
    EXPECT_EQ(seen.HintData, nullptr);

    ASSERT_TRUE(Shown());
    EXPECT_EQ(Text(), u"Changed");
    EXPECT_EQ(Bounds().TopLeft(), (TPoint{300, 320}));
}

TEST_F(HintTest, TheControlOrOnShowHintMayRefuseOrRewriteTheHint) {
    struct TCase {
        const char* name;
        LRESULT answer;
        std::function<void(String&, bool&, THintInfo&)> onShowHint;
        String hint;
        std::optional<String> shown;
    } const cases[] = {
        {"shown", 0, nullptr, u"Save|Saves", u"Save"},
        {"a hint without a bar shows whole", 0, nullptr, u"Save", u"Save"},
        {"the control refuses", 1, nullptr, u"Save|Saves", std::nullopt},
        {"OnShowHint refuses", 0, [](String&, bool& canShow, THintInfo&) { canShow = false; }, u"Save", std::nullopt},
        {"OnShowHint rewrites", 0, [](String& text, bool&, THintInfo& info) { text = GetLongHint(info.HintControl->Hint()); },
         u"Save|Saves the task list", u"Saves the task list"},
        {"an empty short part shows nothing", 0, nullptr, u"|Saves", std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Intercept(save, CM_HINTSHOW, [old = save->WindowProc(), &c](TMessage& m) {
            old(m);
            m.Result = c.answer;
        });
        Application().OnShowHint = c.onShowHint;
        save->SetHint(c.hint);
        MoveTo(save, {20, 10});
        Wait(500);
        EXPECT_EQ(Shown(), c.shown.has_value());
        if (c.shown) { EXPECT_EQ(Text(), *c.shown); }
        Application().CancelHint();
        MoveTo(form, {250, 150});
        save->SetWindowProc(nullptr);
    }
}

TEST_F(HintTest, PausesToShowToHideAndBetweenControls) {
    std::vector<std::pair<WPARAM, int>> asked;
    Intercept(open, CM_HINTSHOWPAUSE, [&](TMessage& m) { asked.emplace_back(m.WParam, *reinterpret_cast<int*>(m.LParam)); });

    ShowHintOf(save);
    Wait(2499);
    EXPECT_TRUE(Shown());
    Wait(1);
    EXPECT_FALSE(Shown()) << "hidden after HintHidePause";
    MoveTo(save, {30, 12});
    Wait(5000);
    EXPECT_FALSE(Shown()) << "not again while the pointer stays";

    ShowHintOf(open);
    EXPECT_EQ(asked, (std::vector<std::pair<WPARAM, int>>{{1, 50}})) << "a hint was up: the short pause";
    MoveTo(save, {5, 5});
    EXPECT_FALSE(Shown()) << "the old hint goes at once";
    Wait(49);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_EQ(Text(), u"Save");

    // Through a place without a hint the next one waits the whole pause.
    MoveTo(form, {250, 150});
    asked.clear();
    MoveTo(open, {5, 5});
    EXPECT_EQ(asked, (std::vector<std::pair<WPARAM, int>>{{0, 500}}));
    Wait(499);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_EQ(Text(), u"Open");
}

TEST_F(HintTest, CMHintShowPauseChangesThePauseAndMinusOneShowsNothing) {
    int pause = 0;
    Intercept(save, CM_HINTSHOWPAUSE, [&](TMessage& m) { *reinterpret_cast<int*>(m.LParam) = pause; });
    pause = 100;
    MoveTo(save, {5, 5});
    Wait(99);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_TRUE(Shown());

    Application().CancelHint();
    MoveTo(form, {250, 150});
    pause = -1;
    MoveTo(save, {5, 5});
    Wait(10000);
    EXPECT_FALSE(Shown());
}

TEST_F(HintTest, LeavingTheCursorRectHidesTheHintAndAsksAgain) {
    Intercept(save, CM_HINTSHOW, [&, old = save->WindowProc()](TMessage& m) {
        old(m);
        MessageHintInfo(m)->CursorRect = {0, 0, 40, 30};
        MessageHintInfo(m)->HintStr = MessageHintInfo(m)->CursorPos.X < 40 ? u"Left" : u"Right";
    });
    MoveTo(save, {10, 10});
    Wait(500);
    EXPECT_EQ(Text(), u"Left");
    MoveTo(save, {35, 10});
    EXPECT_EQ(Text(), u"Left");
    MoveTo(save, {50, 10});
    EXPECT_FALSE(Shown());
    Wait(50);
    EXPECT_EQ(Text(), u"Right");
    EXPECT_EQ(save->log.Messages(),
              (std::vector<UINT>{CM_HINTSHOWPAUSE, CM_HINTSHOW, CM_HINTSHOWPAUSE, CM_HINTSHOW}));
}

TEST_F(HintTest, ClicksKeysLeavingTheProgramAndCancelHintEndAShownOrAWaitingHint) {
    struct TCase {
        const char* name;
        std::function<void(TPoint pointer)> act;
    } const cases[] = {
        {"click",
         [](TPoint p) {
             DesktopMouseButton(TDesktopButton::Left, true, POINT{p.X, p.Y});
             DesktopMouseButton(TDesktopButton::Left, false, POINT{p.X, p.Y});
         }},
        {"key",
         [](TPoint) {
             DesktopKey('A', true, u"a");
             DesktopKey('A', false);
         }},
        {"pointer leaves the program", [](TPoint) { DesktopMouseLeave(POINT{1500, 700}); }},
        {"CancelHint", [](TPoint) { Application().CancelHint(); }},
    };
    for (const TCase& c : cases) {
        for (const bool shownFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (shownFirst ? ", shown" : ", waiting"));
            const TPoint pointer = save->ClientToScreen({20, 10});
            MoveTo(pointer);
            Wait(shownFirst ? 500 : 200);
            EXPECT_EQ(Shown(), shownFirst);
            c.act(pointer);
            Run();
            EXPECT_FALSE(Shown());
            Wait(5000);
            EXPECT_FALSE(Shown()) << "nothing comes back until the pointer moves";
            MoveTo(form, {250, 150});
        }
    }
}

TEST_F(HintTest, AHintStaysInsideTheWorkAreaOfThePointersMonitor) {
    // The form fills the primary work area, without a frame, and has a hint of its own.
    form->SetBorderStyle(bsNone);
    form->SetBoundsRect(ToTRect(kPrimaryWork));
    form->SetHint(u"A hint wide enough to cross the edge of the screen");
    form->SetShowHint(true);
    auto* second = Application().CreateForm<TForm>();
    second->SetBorderStyle(bsNone);
    second->SetBoundsRect(ToTRect(kSecond));
    second->SetHint(u"Second");
    second->SetShowHint(true);
    second->Show();
    PumpMessages();

    std::optional<TPoint> hintPos;
    for (TForm* f : {form, second})
        Intercept(f, CM_HINTSHOW, [old = f->WindowProc(), &hintPos](TMessage& m) {
            old(m);
            if (hintPos) MessageHintInfo(m)->HintPos = *hintPos;
        });
    struct TCase {
        const char* name;
        TPoint pointer;
        std::optional<TPoint> hintPos;
        RECT area;
        // The edges the hint is pushed against.
        std::optional<int> left, top, right, bottom;
    } const cases[] = {
        {"near the right edge", {1050, 300}, std::nullopt, kPrimaryWork, {}, {}, 1064, {}},
        {"near the panel at the bottom", {300, 735}, std::nullopt, kPrimaryWork, {}, {}, {}, 740},
        {"in the bottom-right corner", {1060, 738}, std::nullopt, kPrimaryWork, {}, {}, 1064, 740},
        {"left of the work area's origin", {300, 300}, TPoint{0, 300}, kPrimaryWork, 40, {}, {}, {}},
        {"above the top", {300, 300}, TPoint{300, -50}, kPrimaryWork, {}, 0, {}, {}},
        {"on the second monitor, placed on the first", {1070, 300}, TPoint{1000, 300}, kSecond, 1064, {}, {}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        hintPos = c.hintPos;
        MoveTo(c.pointer);
        Wait(500);
        ASSERT_TRUE(Shown());
        const TRect r = Bounds();
        EXPECT_GE(r.Left, c.area.left);
        EXPECT_GE(r.Top, c.area.top);
        EXPECT_LE(r.Right, c.area.right);
        EXPECT_LE(r.Bottom, c.area.bottom);
        if (c.left) { EXPECT_EQ(r.Left, *c.left); }
        if (c.top) { EXPECT_EQ(r.Top, *c.top); }
        if (c.right) { EXPECT_EQ(r.Right, *c.right); }
        if (c.bottom) { EXPECT_EQ(r.Bottom, *c.bottom); }
        EXPECT_GT(r.Width(), 20);
        // The hint under the pointer lets it through: the form stays the control under it.
        Run();
        EXPECT_TRUE(Shown());
        Application().CancelHint();
    }
}

TEST_F(HintTest, AControlMayNameItsOwnHintWindowClassAndData) {
    int data = 0;
    Intercept(save, CM_HINTSHOW, [&, old = save->WindowProc()](TMessage& m) {
        old(m);
        MessageHintInfo(m)->HintWindowClass = TFixedHintWindow::StaticClass();
        MessageHintInfo(m)->HintData = &data;
    });
    ShowHintOf(save);
    auto* fixed = dynamic_cast<TFixedHintWindow*>(Window());
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->shownData, &data);
    EXPECT_EQ(Bounds().Width(), 123);
    EXPECT_EQ(Bounds().Height(), 45);

    ShowHintOf(open);
    EXPECT_EQ(Window()->ClassType(), THintWindow::StaticClass()) << "the next control gets the usual window";
}

// --- The hint window -------------------------------------------------------------------

TEST_F(HintTest, TheWindowWrapsAtTheMaximumWidthAndTakesAmpersandsLiterally) {
    THintWindow window(nullptr);
    TCanvas* canvas = window.Canvas();
    const TSize one = canvas->TextExtent(u"a&b");
    EXPECT_EQ(window.CalcHintRect(1000, u"a&b", nullptr), (TRect{0, 0, one.cx + 6, one.cy + 6}));

    const String words = u"several words that cannot share one line";
    const TRect wrapped = window.CalcHintRect(60, words, nullptr);
    EXPECT_LE(wrapped.Right, 60 + 6);
    EXPECT_GE(wrapped.Bottom, 3 * one.cy + 6);
}

TEST_F(HintTest, TheWindowPaintsItsTextOnTheHintColour) {
    ShowHintOf(save);
    const TRect r = Bounds();
    TDibDc dib(r.Width(), r.Height());
    Window()->PaintTo(dib.dc, 0, 0);
    const COLORREF back = ColorToRGB(clInfoBk), ink = ColorToRGB(clInfoText);
    EXPECT_EQ(dib.At(r.Width() - 3, r.Height() - 3), back);
    EXPECT_EQ(dib.At(2, 2), back) << "a margin before the text";
    bool inked = false;
    for (int y = 0; y < r.Height(); ++y)
        inked = inked || dib.Row(y, {{ink, 'x'}}).find('x') != std::string::npos;
    EXPECT_TRUE(inked);
}

} // namespace
