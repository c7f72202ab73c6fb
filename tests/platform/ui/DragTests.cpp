#include "ControlFixture.h"

#include <functional>
#include <string>

#include "platform/ui/Drag.h"
#include "platform/ui/Mouse.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

using TSteps = std::vector<std::string>;

std::string At(const char* what, int x, int y) { return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y); }

const char* DragMessageName(TDragMessage message) {
    static const char* const names[] = {"enter", "leave", "move", "drop", "cancel", "find"};
    return names[int(message)];
}

// Shows nothing: notes what the drag asks of the image, in screen coordinates.
class TImageDouble final : public IDragImages {
public:
    bool BeginDrag(HWND window, int x, int y) override {
        EXPECT_EQ(window, GetDesktopWindow());
        dragging_ = true;
        steps.push_back(At("begin", x, y));
        return true;
    }
    bool DragMove(int x, int y) override {
        EXPECT_TRUE(dragging_);
        steps.push_back(At("move", x, y));
        return true;
    }
    bool EndDrag() override {
        dragging_ = false;
        steps.push_back("end");
        return true;
    }
    void HideDragImage() override { steps.push_back("hide"); }
    void ShowDragImage() override { steps.push_back("show"); }
    bool Dragging() const override { return dragging_; }

    TSteps steps;

private:
    bool dragging_ = false;
};

// A panel that drags the image double.
class TImagePanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;
    IDragImages* GetDragImages() override { return &images; }
    TImageDouble images;
};

// A panel noting the drag messages its window hears, the cancel too.
class TDropPanel : public TTestPanel {
public:
    explicit TDropPanel(TComponent* owner) : TTestPanel(owner) {
        SetWindowProc([this](TMessage& m) {
            if (m.Msg == CM_DRAG && TCMDrag(m).DragMessage() != dmFindTarget)
                messages.push_back(DragMessageName(TCMDrag(m).DragMessage()));
            WndProc(m);
        });
    }
    TSteps messages;
};

// A form with a source panel, a windowed target panel beside it and a
// window-less target below them. The targets accept unless told otherwise
// and note what they hear as steps at their client points.
class DragTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({100, 100, 500, 400});
        source = new TImagePanel(form);
        source->SetBounds(0, 0, 150, 100);
        source->SetParent(form);
        panel = new TDropPanel(form);
        panel->SetBounds(200, 0, 150, 100);
        panel->SetParent(form);
        graphic = new TTestGraphic(form);
        graphic->SetBounds(20, 150, 60, 30);
        graphic->SetParent(form);
        for (TControl* target : {static_cast<TControl*>(panel), static_cast<TControl*>(graphic)}) {
            target->OnDragOver = [this](TObject* sender, TObject* from, int x, int y, TDragState state, bool& accept) {
                static const char* const names[] = {"enter", "leave", "move"};
                steps.push_back(At(names[int(state)], x, y));
                EXPECT_EQ(from, dragged) << "the framework's drag object stands for the control";
                accept = accept && !(sender == refusing);
            };
            target->OnDragDrop = [this](TObject*, TObject* from, int x, int y) {
                steps.push_back(At("drop", x, y));
                EXPECT_EQ(from, dragged);
            };
        }
        dragged = source;
        source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false); };
        source->OnEndDrag = [this](TObject*, TObject* target, int x, int y) {
            steps.push_back(At(!target ? "end on none" : target == panel ? "end on panel" : "end on graphic", x, y));
        };
        PumpMessages();
    }

    void MoveTo(TControl* control, int x, int y) {
        const TPoint pt = control->ClientToScreen({x, y});
        DesktopMouseMove({pt.X, pt.Y});
        Application().ProcessMessages();
    }
    void Button(TControl* control, int x, int y, bool down) {
        const TPoint pt = control->ClientToScreen({x, y});
        DesktopMouseButton(TDesktopButton::Left, down, {pt.X, pt.Y});
        Application().ProcessMessages();
    }
    void Key(UINT vk) {
        DesktopKey(vk, true);
        DesktopKey(vk, false);
        Application().ProcessMessages();
    }
    // Presses on the source; its OnMouseDown begins the drag.
    void PressOnSource() {
        MoveTo(source, 20, 20);
        Button(source, 20, 20, true);
    }

    TForm* form = nullptr;
    TImagePanel* source = nullptr;
    TDropPanel* panel = nullptr;
    TTestGraphic* graphic = nullptr;
    TControl* refusing = nullptr;
    // The control the targets expect as the drag's source.
    TControl* dragged = nullptr;
    TSteps steps;
};

TEST_F(DragTest, ADropRunsEnterMoveAndDropAtTheTargetsPoint) {
    struct TCase {
        const char* name;
        TControl* target;
        const char* end;
    };
    const TCase cases[] = {{"windowed target", panel, "end on panel"}, {"window-less target", graphic, "end on graphic"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TControl* target = c.target;
        steps.clear();
        PressOnSource();
        ASSERT_TRUE(source->Dragging());
        EXPECT_NE(GetCapture(), nullptr);
        EXPECT_NE(GetCapture(), source->Handle()) << "the drag holds the pointer, not the control";
        MoveTo(target, 30, 12);
        MoveTo(target, 35, 14);
        Button(target, 35, 14, false);
        EXPECT_EQ(steps, (TSteps{"enter 30,12", "move 30,12", "move 35,14", "leave 35,14", "drop 35,14",
                                 At(c.end, 35, 14)}));
        EXPECT_FALSE(source->Dragging());
        EXPECT_EQ(GetCapture(), nullptr);
    }
    EXPECT_EQ(panel->messages, (TSteps{"enter", "move", "move", "leave", "drop"}));
}

TEST_F(DragTest, EscapeARefusingTargetOrALostCaptureCancelWithoutADrop) {
    struct TCase {
        const char* name;
        std::function<void()> end;
    };
    const TCase cases[] = {
        {"escape", [this] { Key(VK_ESCAPE); }},
        {"release over a refusing target",
         [this] {
             refusing = panel;
             Button(panel, 30, 12, false);
         }},
        {"capture taken away", [] { SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0); }},
        {"EndDrag(false)", [this] { source->EndDrag(false); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        steps.clear();
        panel->messages.clear();
        refusing = nullptr;
        PressOnSource();
        MoveTo(panel, 30, 12);
        c.end();
        EXPECT_EQ(steps, (TSteps{"enter 30,12", "move 30,12", "leave 30,12", "end on none 0,0"}));
        EXPECT_EQ(panel->messages, (TSteps{"enter", "move", "leave", "cancel"}));
        EXPECT_FALSE(source->Dragging());
        EXPECT_EQ(GetCapture(), nullptr);
        // Over after the cancel: the release reaches the windows again.
        Button(panel, 30, 12, false);
        EXPECT_EQ(steps.size(), 4u);
    }
}

TEST_F(DragTest, TheCursorShowsWhetherTheTargetAccepts) {
    const HCURSOR drag = LoadCursorW(nullptr, IDC_HAND), noDrop = LoadCursorW(nullptr, IDC_NO),
                  multi = LoadCursorW(nullptr, IDC_CROSS);
    Screen().SetCursors(crDrag, drag);
    Screen().SetCursors(crMultiDrag, multi);
    ASSERT_EQ(Screen().Cursors(crNoDrop), noDrop);
    PressOnSource();
    const HCURSOR before = DesktopCursor();

    MoveTo(panel, 30, 12);
    EXPECT_EQ(DesktopCursor(), drag) << "over an accepting target";
    refusing = panel;
    MoveTo(panel, 31, 12);
    EXPECT_EQ(DesktopCursor(), noDrop) << "over a refusing target";
    MoveTo(form, 300, 250);
    EXPECT_EQ(DesktopCursor(), noDrop) << "over a control without OnDragOver";
    MoveTo(graphic, 5, 5);
    EXPECT_EQ(DesktopCursor(), drag) << "over an accepting window-less target";
    DesktopMouseMove({5, 5});
    Application().ProcessMessages();
    EXPECT_EQ(DesktopCursor(), noDrop) << "outside the program's windows";
    source->SetDragCursor(crMultiDrag);
    MoveTo(graphic, 6, 6);
    EXPECT_EQ(DesktopCursor(), multi) << "the dragged control's DragCursor";

    Key(VK_ESCAPE);
    EXPECT_EQ(DesktopCursor(), before);
}

TEST_F(DragTest, TheImageFollowsThePointerWhereTargetsCanShowIt) {
    panel->SetControlStyle(panel->ControlStyle() + TControlStyle{csDisplayDragImage});
    PressOnSource();
    EXPECT_TRUE(source->images.steps.empty()) << "nothing shows before the threshold";
    const TPoint p1 = panel->ClientToScreen({30, 12}), p2 = panel->ClientToScreen({40, 20}),
                 outside{5, 5}, p3 = panel->ClientToScreen({41, 21});
    MoveTo(panel, 30, 12);
    MoveTo(panel, 40, 20);
    MoveTo(graphic, 5, 5); // a target without csDisplayDragImage
    DesktopMouseMove({outside.X, outside.Y});
    Application().ProcessMessages();
    MoveTo(panel, 41, 21);
    Button(panel, 41, 21, false);
    EXPECT_EQ(source->images.steps,
              (TSteps{At("begin", p1.X, p1.Y), At("move", p2.X, p2.Y), "end", At("begin", outside.X, outside.Y),
                      At("move", p3.X, p3.Y), "end"}));
    EXPECT_FALSE(source->images.Dragging());

    // Cancelled, the image goes as well.
    source->images.steps.clear();
    PressOnSource();
    MoveTo(panel, 30, 12);
    Key(VK_ESCAPE);
    EXPECT_EQ(source->images.steps, (TSteps{At("begin", p1.X, p1.Y), "end"}));
}

TEST_F(DragTest, ADragWaitsForItsThresholdUnlessImmediate) {
    source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false, 10); };
    PressOnSource();
    // The pointer stays on the source: no target is asked before the drag moves.
    source->OnDragOver = [this](TObject*, TObject*, int x, int y, TDragState, bool&) {
        steps.push_back(At("source", x, y));
    };
    MoveTo(source, 29, 29);
    EXPECT_TRUE(steps.empty());
    MoveTo(source, 30, 21);
    EXPECT_EQ(steps, (TSteps{"source 30,21", "source 30,21"}));
    Key(VK_ESCAPE);

    // DragMode dmAutomatic: the press starts the drag at once, and the
    // control's own press handling does not run.
    steps.clear();
    bool pressed = false;
    source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { pressed = true; };
    source->SetDragMode(dmAutomatic);
    PressOnSource();
    EXPECT_TRUE(source->Dragging());
    EXPECT_FALSE(pressed);
    EXPECT_EQ(steps, (TSteps{"source 20,20", "source 20,20"}));
    MoveTo(panel, 30, 12);
    Button(panel, 30, 12, false);
    // The source is left at the last point it saw.
    EXPECT_EQ(steps, (TSteps{"source 20,20", "source 20,20", "source 20,20", "enter 30,12", "move 30,12",
                             "leave 30,12", "drop 30,12", "end on panel 30,12"}));

    // Waiting for the threshold instead, and a form is not dragged.
    steps.clear();
    Mouse().SetDragImmediate(false);
    PressOnSource();
    Mouse().SetDragImmediate(true);
    EXPECT_TRUE(source->Dragging());
    EXPECT_TRUE(steps.empty());
    Key(VK_ESCAPE);
    EXPECT_THROW(form->BeginDrag(true), EInvalidOperation);
}

TEST_F(DragTest, AUserDragObjectIsTheSourceAndHearsTheEnd) {
    struct TUserObject : TDragControlObject {
        using TDragControlObject::TDragControlObject;
        void Finished(TObject* target, int x, int y, bool accepted) override {
            finished = At(accepted ? "accepted" : "refused", x, y);
            TDragControlObject::Finished(target, x, y, accepted);
        }
        std::string finished;
    };
    TUserObject object(source);
    source->OnStartDrag = [&](TObject*, TDragObject*& dragObject) { dragObject = &object; };
    TObject* seen = nullptr;
    panel->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool&) {};
    panel->OnDragDrop = [&](TObject*, TObject* from, int, int) { seen = from; };
    PressOnSource();
    MoveTo(panel, 30, 12);
    EXPECT_EQ(object.DragTarget(), panel);
    EXPECT_EQ(object.DragTargetPos(), (TPoint{30, 12}));
    Button(panel, 30, 12, false);
    EXPECT_EQ(seen, &object);
    EXPECT_EQ(object.finished, "accepted 30,12");
    EXPECT_EQ(steps.back(), "end on panel 30,12");
}

TEST_F(DragTest, ControlsFreedDuringTheDragAreForgotten) {
    // The target goes while the pointer is over it.
    PressOnSource();
    MoveTo(graphic, 5, 5);
    delete graphic;
    graphic = nullptr;
    MoveTo(form, 300, 250);
    Button(form, 300, 250, false);
    EXPECT_EQ(steps.back(), "end on none 0,0");
    EXPECT_EQ(GetCapture(), nullptr);

    // The dragged control goes: the drag ends and gives the pointer back.
    steps.clear();
    PressOnSource();
    MoveTo(panel, 30, 12);
    delete source;
    source = nullptr;
    EXPECT_EQ(GetCapture(), nullptr);
    MoveTo(panel, 31, 12);
    Button(panel, 31, 12, false);
    EXPECT_EQ(steps, (TSteps{"enter 30,12", "move 30,12"}));
}

TEST_F(DragTest, AnExceptionOfATargetCancelsTheDrag) {
    std::vector<std::string> errors;
    Application().OnException = [&](TObject*, const std::exception& error) { errors.push_back(error.what()); };
    graphic->OnDragOver = [](TObject*, TObject*, int, int, TDragState state, bool&) {
        if (state == dsDragMove) throw EInvalidOperation(u"over");
    };
    PressOnSource();
    MoveTo(graphic, 5, 5);
    EXPECT_EQ(errors, (std::vector<std::string>{"over"}));
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(steps, (TSteps{"end on none 0,0"}));
    Application().OnException = nullptr;
}

// A panel whose drag shows a red square from its image list.
class TPictureSource : public TTestPanel {
public:
    explicit TPictureSource(TComponent* owner) : TTestPanel(owner), images(nullptr) {
        images.SetWidth(16);
        images.SetHeight(16);
        TBitmap square;
        square.SetSize(16, 16);
        square.Canvas()->Brush()->SetColor(clRed);
        square.Canvas()->FillRect({0, 0, 16, 16});
        images.Add(&square, nullptr);
        images.SetDragImage(0, 0, 0);
    }
    IDragImages* GetDragImages() override { return &images; }
    TDragImageList images;
};

TEST_F(DragTest, AnImageListsPictureFollowsThePointerAndIsGoneAfterwards) {
    auto* pictured = new TPictureSource(form);
    pictured->SetBounds(0, 250, 100, 40);
    pictured->SetParent(form);
    dragged = pictured;
    pictured->OnMouseDown = [pictured](TObject*, TMouseButton, TShiftState, int, int) { pictured->BeginDrag(false); };
    // The desktop's pixel a little right of and below the pointer.
    auto shownNear = [](TControl* control, int x, int y) {
        const TPoint p = control->ClientToScreen({x + 4, y + 4});
        return ComposeDesktop(RECT{p.X, p.Y, p.X + 1, p.Y + 1}).Pixel(p.X, p.Y) & 0xFFFFFFu;
    };
    const uint32_t red = 0xFF0000u;
    panel->SetControlStyle(panel->ControlStyle() + TControlStyle{csDisplayDragImage});
    MoveTo(pictured, 10, 10);
    Button(pictured, 10, 10, true);
    MoveTo(panel, 30, 30);
    EXPECT_EQ(shownNear(panel, 30, 30), red);
    MoveTo(panel, 60, 50);
    EXPECT_EQ(shownNear(panel, 60, 50), red);
    EXPECT_NE(shownNear(panel, 30, 30), red) << "nothing is left where it was";
    Button(panel, 60, 50, false);
    EXPECT_NE(shownNear(panel, 60, 50), red);
    EXPECT_FALSE(pictured->images.Dragging());
}

} // namespace
