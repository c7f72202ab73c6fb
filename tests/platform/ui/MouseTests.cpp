#include "ControlFixture.h"

#include "platform/ui/Screen.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

using TLogged = std::vector<std::pair<UINT, LPARAM>>;

LPARAM L(TControl* control) { return LPARAM(control); }

// A form with a panel holding two window-less siblings side by side; the
// application's loop takes the input, as in the program.
class MouseTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({100, 100, 500, 400});
        panel = new TTestPanel(form);
        panel->SetBounds(0, 0, 300, 200);
        panel->SetParent(form);
        a = new TTestGraphic(form);
        a->SetBounds(10, 10, 40, 20);
        a->SetParent(panel);
        b = new TTestGraphic(form);
        b->SetBounds(60, 10, 40, 20);
        b->SetParent(panel);
        for (TMessageLog* log : {&panel->log, &a->log, &b->log}) log->watched = {CM_MOUSEENTER, CM_MOUSELEAVE};
        Application().OnIdle = [](TObject*, bool& done) { done = false; };
        PumpMessages();
    }

    void MoveTo(TControl* control, int x, int y) { MoveTo(control->ClientToScreen({x, y})); }
    void MoveTo(TPoint pt) {
        DesktopMouseMove({pt.X, pt.Y});
        Application().ProcessMessages();
    }
    void Button(TControl* control, int x, int y, bool down) {
        const TPoint pt = control->ClientToScreen({x, y});
        DesktopMouseButton(TDesktopButton::Left, down, {pt.X, pt.Y});
        Application().ProcessMessages();
    }
    void ClearLogs() {
        for (TMessageLog* log : {&panel->log, &a->log, &b->log}) log->seen.clear();
    }

    TForm* form = nullptr;
    TTestPanel* panel = nullptr;
    TTestGraphic* a = nullptr;
    TTestGraphic* b = nullptr;
};

TEST_F(MouseTest, MovingBetweenSiblingsLeavesOneAndEntersTheOther) {
    MoveTo(a, 5, 5);
    EXPECT_EQ(Application().MouseControl(), a);
    ClearLogs();

    MoveTo(b, 5, 5);
    EXPECT_EQ(Application().MouseControl(), b);
    EXPECT_EQ(a->log.seen, (TLogged{{CM_MOUSELEAVE, L(a)}}));
    EXPECT_EQ(b->log.seen, (TLogged{{CM_MOUSEENTER, L(b)}}));
    // The parent hears of both, in that order, with the child in lParam.
    EXPECT_EQ(panel->log.seen, (TLogged{{CM_MOUSELEAVE, L(a)}, {CM_MOUSEENTER, L(b)}}));

    // Moving within the control tells nobody.
    ClearLogs();
    MoveTo(b, 6, 7);
    EXPECT_TRUE(panel->log.seen.empty());

    // Onto the panel itself: the panel is the control under the pointer.
    MoveTo(panel, 200, 150);
    EXPECT_EQ(b->log.seen, (TLogged{{CM_MOUSELEAVE, L(b)}}));
    EXPECT_EQ(panel->log.seen, (TLogged{{CM_MOUSELEAVE, L(b)}, {CM_MOUSEENTER, L(panel)}}));
}

TEST_F(MouseTest, LeavingTheFormEndsWithMouseLeaveOnIdle) {
    MoveTo(b, 5, 5);
    ClearLogs();
    // The pointer went to another program: no mouse message comes, idle finds it out.
    DesktopMouseLeave({20, 20});
    Application().ProcessMessages();
    Application().HandleMessage();
    EXPECT_EQ(Application().MouseControl(), nullptr);
    EXPECT_EQ(b->log.seen, (TLogged{{CM_MOUSELEAVE, L(b)}}));
    EXPECT_EQ(panel->log.seen, (TLogged{{CM_MOUSELEAVE, L(b)}}));
}

TEST_F(MouseTest, AClickReachesTheGraphicControlThroughItsParent) {
    std::vector<std::string> events;
    a->OnClick = [&](TObject*) { events.push_back("a click"); };
    b->OnClick = [&](TObject*) { events.push_back("b click"); };
    panel->OnClick = [&](TObject*) { events.push_back("panel click"); };
    a->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int x, int y) {
        events.push_back("a down " + std::to_string(int(button)) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    a->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        events.push_back("a up " + std::to_string(x) + "," + std::to_string(y));
    };
    MoveTo(a, 7, 8);
    Button(a, 7, 8, true);
    Button(a, 7, 8, false);
    EXPECT_EQ(events, (std::vector<std::string>{"a down 0 7,8", "a click", "a up 7,8"}));

    // A press on one and a release elsewhere is no click.
    events.clear();
    Button(a, 7, 8, true);
    MoveTo(b, 5, 5);
    Button(b, 5, 5, false);
    EXPECT_EQ(events, (std::vector<std::string>{"a down 0 7,8", "a up 55,5"}));

    events.clear();
    MoveTo(panel, 200, 150);
    Button(panel, 200, 150, true);
    Button(panel, 200, 150, false);
    EXPECT_EQ(events, (std::vector<std::string>{"panel click"}));
}

TEST_F(MouseTest, ACapturingGraphicControlGetsEveryMoveUntilTheRelease) {
    std::vector<TPoint> aMoves, bMoves;
    a->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { aMoves.push_back({x, y}); };
    b->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { bMoves.push_back({x, y}); };
    MoveTo(a, 5, 5);
    Button(a, 5, 5, true);
    EXPECT_TRUE(a->MouseCapture());
    aMoves.clear();
    MoveTo(b, 5, 5);            // over the sibling
    MoveTo(form->ClientToScreen({450, 250})); // over the form, outside the panel
    MoveTo({20, 20});           // outside every window
    EXPECT_EQ(aMoves, (std::vector<TPoint>{{55, 5}, {440, 240}, {20 - 110, 20 - 110}}));
    EXPECT_TRUE(bMoves.empty());
    Button(a, -90, -90, false);
    EXPECT_FALSE(a->MouseCapture());
    EXPECT_EQ(GetCapture(), nullptr);

    aMoves.clear();
    MoveTo(b, 6, 6);
    EXPECT_TRUE(aMoves.empty());
    EXPECT_EQ(bMoves, (std::vector<TPoint>{{6, 6}}));

    // Without csCaptureMouse the moves go where the pointer is.
    a->SetControlStyle(a->ControlStyle() - TControlStyle{csCaptureMouse});
    MoveTo(a, 5, 5);
    Button(a, 5, 5, true);
    aMoves.clear();
    bMoves.clear();
    MoveTo(b, 7, 7);
    EXPECT_TRUE(aMoves.empty());
    EXPECT_EQ(bMoves, (std::vector<TPoint>{{7, 7}}));
    Button(b, 7, 7, false);
}

TEST_F(MouseTest, TheCursorIsTheControlsUnlessTheScreenSetsOne) {
    a->SetCursor(crHandPoint);
    panel->SetCursor(crIBeam);
    auto* inner = new TTestPanel(form);
    inner->SetBounds(150, 100, 100, 50);
    inner->SetParent(panel);
    inner->SetCursor(crSizeAll);
    auto* plain = new TTestPanel(form);
    plain->SetBounds(150, 20, 50, 50);
    plain->SetParent(panel);
    PumpMessages();

    struct TCase {
        TControl* control;
        TCursor expected, withScreenCursor;
    };
    const TCase cases[] = {
        {a, crHandPoint, crHourGlass},  // window-less child: through its parent
        {b, crIBeam, crHourGlass},      // window-less child with the default: the parent's
        {inner, crSizeAll, crHourGlass}, // windowed child
        {plain, crDefault, crHourGlass},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.control == a ? "a" : c.control == b ? "b" : c.control == inner ? "inner" : "plain");
        Screen().SetCursor(crDefault);
        MoveTo(c.control, 3, 3);
        if (c.expected != crDefault)
            EXPECT_EQ(DesktopCursor(), Screen().Cursors(c.expected));
        else
            EXPECT_EQ(DesktopCursor(), LoadCursorW(nullptr, IDC_ARROW));
        Screen().SetCursor(c.withScreenCursor);
        MoveTo(c.control, 4, 4);
        EXPECT_EQ(DesktopCursor(), Screen().Cursors(c.withScreenCursor));
    }
}

TEST_F(MouseTest, TheWheelGoesUpTheParentsUntilOneTakesIt) {
    auto* inner = new TTestPanel(form);
    inner->SetBounds(150, 100, 100, 50);
    inner->SetParent(panel);
    inner->SetTabStop(true);
    PumpMessages();
    inner->SetFocus();
    PumpMessages();
    ASSERT_TRUE(inner->Focused());

    std::vector<std::string> events;
    auto record = [&](const char* name, bool take) {
        return [&events, name, take](TObject*, TShiftState, int delta, TPoint pos, bool& handled) {
            events.push_back(std::string(name) + " " + std::to_string(delta) + " " + std::to_string(pos.X) + "," +
                             std::to_string(pos.Y));
            handled = take;
        };
    };
    inner->OnMouseWheel = record("inner", false);
    inner->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { events.push_back("inner down"); };
    panel->OnMouseWheel = record("panel", true);
    form->OnMouseWheel = record("form", true);

    const TPoint pt = inner->ClientToScreen({10, 10});
    MoveTo(pt);
    DesktopMouseWheel(-WHEEL_DELTA, false, {pt.X, pt.Y});
    Application().ProcessMessages();
    const std::string at = " " + std::to_string(pt.X) + "," + std::to_string(pt.Y);
    EXPECT_EQ(events, (std::vector<std::string>{"inner -120" + at, "inner down", "panel -120" + at}));

    events.clear();
    panel->OnMouseWheel = record("panel", false);
    DesktopMouseWheel(WHEEL_DELTA, false, {pt.X, pt.Y});
    Application().ProcessMessages();
    EXPECT_EQ(events, (std::vector<std::string>{"inner 120" + at, "panel 120" + at, "form 120" + at}));
}

} // namespace
