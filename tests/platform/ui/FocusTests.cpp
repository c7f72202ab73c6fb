#include <string>

#include "DialogControls.h"
#include "platform/ui/Screen.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class FocusTest : public FormTest {
protected:
    template <class T>
    T* Add(TWinControl* parent, int top) {
        auto* control = new T(parent->Owner() ? parent->Owner() : parent);
        control->SetTop(top);
        control->SetParent(parent);
        return control;
    }
    // The control the form calls active, which also has the window system's focus.
    static TWinControl* Focused(TCustomForm* form) {
        TWinControl* active = form->ActiveControl();
        EXPECT_TRUE(active && GetFocus() == active->Handle()) << "the focus is not on the active control";
        return active;
    }
};

// --- Dialog keys ------------------------------------------------------------------------

TEST_F(FocusTest, TabCyclesTheTabOrderSkippingDisabledAndInvisibleControlsAndShiftTabGoesBack) {
    TForm* form = ShownForm({0, 0, 400, 300});
    auto* first = Add<TTestEdit>(form, 0);
    auto* group = Add<TTestPanel>(form, 30);
    auto* inner1 = Add<TTestEdit>(group, 0);
    auto* inner2 = Add<TTestEdit>(group, 25);
    auto* disabled = Add<TTestEdit>(form, 90);
    auto* hidden = Add<TTestEdit>(form, 120);
    auto* last = Add<TTestEdit>(form, 150);
    disabled->SetEnabled(false);
    hidden->SetVisible(false);
    last->SetTabOrder(0);
    ASSERT_EQ(first->TabOrder(), 1);
    last->SetFocus();
    PumpMessages();

    for (TWinControl* expected : std::vector<TWinControl*>{first, inner1, inner2, last, first}) {
        DesktopPress(VK_TAB);
        Application().ProcessMessages();
        EXPECT_EQ(Focused(form), expected);
    }
    for (TWinControl* expected : std::vector<TWinControl*>{last, inner2, inner1, first}) {
        DesktopPressWith(VK_SHIFT, VK_TAB);
        Application().ProcessMessages();
        EXPECT_EQ(Focused(form), expected);
    }
    for (TTestEdit* edit : {first, inner1, inner2, last})
        EXPECT_EQ(std::count(edit->windowKeys.begin(), edit->windowKeys.end(), std::pair<UINT, WPARAM>(WM_KEYDOWN, VK_TAB)), 0)
            << "the tab key went on to the control's window";
}

TEST_F(FocusTest, ArrowsMoveWithinTheGroupOfTheFocusedControl) {
    TForm* form = ShownForm({0, 0, 400, 300});
    auto* before = Add<TTestEdit>(form, 0);
    auto* group = Add<TTestPanel>(form, 30);
    group->SetHeight(120);
    auto* one = Add<TTestButton>(group, 0);
    auto* two = Add<TTestButton>(group, 30);
    auto* three = Add<TTestButton>(group, 60);
    auto* after = Add<TTestEdit>(form, 160);
    two->SetTabStop(false);
    three->SetTabStop(false);
    one->SetFocus();
    PumpMessages();

    const struct {
        UINT key;
        TWinControl* expected;
    } steps[] = {{VK_RIGHT, two}, {VK_DOWN, three}, {VK_RIGHT, one}, {VK_LEFT, three}, {VK_UP, two}};
    for (const auto& step : steps) {
        DesktopPress(step.key);
        Application().ProcessMessages();
        EXPECT_EQ(Focused(form), step.expected);
    }
    (void)before;
    (void)after;
}

// Enter and Escape click the default and the cancel button unless the focused
// control wants the key (CM_WANTSPECIALKEY asked first, then WM_GETDLGCODE).
TEST_F(FocusTest, EnterAndEscapeClickTheDefaultAndCancelButtonsUnlessTheFocusedControlWantsThem) {
    struct TCase {
        const char* name;
        UINT key;
        UINT dialogCode;
        LRESULT wantSpecialKey;
        std::string clicked;
    } const cases[] = {
        {"enter", VK_RETURN, 0, 0, "ok"},
        {"escape", VK_ESCAPE, 0, 0, "cancel"},
        {"enter wanted by the dialog code", VK_RETURN, DLGC_WANTALLKEYS, 0, ""},
        {"escape wanted by the dialog code", VK_ESCAPE, DLGC_WANTALLKEYS, 0, ""},
        {"enter wanted as a special key", VK_RETURN, 0, 1, ""},
        {"arrows wanted do not take enter", VK_RETURN, DLGC_WANTARROWS, 0, "ok"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = ShownForm({0, 0, 300, 200});
        auto* edit = Add<TTestEdit>(form, 0);
        auto* ok = Add<TTestButton>(form, 30);
        auto* cancel = Add<TTestButton>(form, 60);
        ok->isDefault = true;
        ok->modalResult = mrOk;
        cancel->isCancel = true;
        cancel->modalResult = mrCancel;
        std::string clicked;
        ok->OnClick = [&](TObject*) { clicked += "ok"; };
        cancel->OnClick = [&](TObject*) { clicked += "cancel"; };
        edit->dialogCode = c.dialogCode;
        edit->wantSpecialKey = c.wantSpecialKey;
        edit->SetFocus();
        PumpMessages();

        DesktopPress(c.key);
        Application().ProcessMessages();
        EXPECT_EQ(clicked, c.clicked);
        EXPECT_EQ(form->ModalResult(), c.clicked == "ok" ? mrOk : c.clicked == "cancel" ? mrCancel : mrNone);
        const bool reachedTheEdit = !edit->windowKeys.empty() && edit->windowKeys.front() == std::pair<UINT, WPARAM>(WM_KEYDOWN, c.key);
        EXPECT_EQ(reachedTheEdit, c.clicked.empty());
        delete form;
    }
}

// "&Next" answers Alt+N anywhere, and N alone where the focused control takes no characters.
TEST_F(FocusTest, AnAcceleratorClicksItsButton) {
    struct TCase {
        const char* name;
        UINT modifier;
        UINT key;
        UINT dialogCode;
        bool clicked;
    } const cases[] = {
        {"alt and the letter", VK_MENU, 'N', DLGC_WANTCHARS, true},
        {"the letter where no characters are taken", 0, 'N', 0, true},
        {"the letter where characters are taken", 0, 'N', DLGC_WANTCHARS, false},
        {"alt and another letter", VK_MENU, 'X', 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = ShownForm({0, 0, 300, 200});
        auto* edit = Add<TTestEdit>(form, 0);
        auto* next = Add<TTestButton>(form, 30);
        next->SetCaption(u"&Next");
        bool clicked = false;
        next->OnClick = [&](TObject*) { clicked = true; };
        edit->dialogCode = c.dialogCode;
        edit->SetFocus();
        PumpMessages();

        const String text(1, char16_t(c.key + 'a' - 'A'));
        if (c.modifier)
            DesktopPressWith(c.modifier, c.key, text);
        else
            DesktopPress(c.key, text);
        Application().ProcessMessages();
        EXPECT_EQ(clicked, c.clicked);
        const bool charReachedTheEdit =
            std::count(edit->windowKeys.begin(), edit->windowKeys.end(), std::pair<UINT, WPARAM>(WM_CHAR, text[0]));
        EXPECT_EQ(charReachedTheEdit, !c.clicked && !c.modifier);
        delete form;
    }
    EXPECT_TRUE(IsAccel(u'n', u"&Next"));
    EXPECT_FALSE(IsAccel(u'n', u"Next"));
    EXPECT_FALSE(IsAccel(u'&', u"Fish && Chips"));
    EXPECT_TRUE(IsAccel(u'c', u"Fish && &Chips"));
}

// --- Keys -------------------------------------------------------------------------------

// The focused control sees each key message as CN_ first; what it does not take
// is then translated and dispatched to its window.
TEST_F(FocusTest, AKeyReachesTheFocusedControlAsCNFirstThenAsItsWindowMessage) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* edit = Add<TTestEdit>(form, 0);
    edit->SetFocus();
    PumpMessages();
    edit->log.watched = {CN_KEYDOWN, WM_KEYDOWN, CN_CHAR, WM_CHAR, CN_KEYUP, WM_KEYUP};

    DesktopPress('A', u"a");
    Application().ProcessMessages();
    EXPECT_EQ(edit->log.Messages(),
              (std::vector<UINT>{CN_KEYDOWN, WM_KEYDOWN, CN_CHAR, WM_CHAR, CN_KEYUP, WM_KEYUP}));
}

// OnKeyDown may change or swallow the key (0); with KeyPreview the form's OnKeyDown sees it first.
TEST_F(FocusTest, OnKeyDownMayChangeOrSwallowTheKeyAndKeyPreviewShowsItToTheFormFirst) {
    struct TCase {
        const char* name;
        bool keyPreview;
        uint16_t formSets;    // what the form's OnKeyDown makes of the key (0xFFFF: leaves it)
        uint16_t controlSets; // the same for the control's
        std::string calls;
        std::vector<std::pair<UINT, WPARAM>> windowKeys;
    } const cases[] = {
        {"no preview", false, 0, 0xFFFF, "edit:65 ", {{WM_KEYDOWN, 'A'}}},
        {"the control swallows it", false, 0xFFFF, 0, "edit:65 ", {}},
        {"the control changes it", false, 0xFFFF, 'B', "edit:65 ", {{WM_KEYDOWN, 'B'}}},
        {"preview, passed on", true, 0xFFFF, 0xFFFF, "form:65 edit:65 ", {{WM_KEYDOWN, 'A'}}},
        {"preview, changed", true, 'C', 0xFFFF, "form:65 edit:67 ", {{WM_KEYDOWN, 'C'}}},
        {"preview, swallowed by the form", true, 0, 0xFFFF, "form:65 ", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = ShownForm({0, 0, 300, 200});
        auto* edit = Add<TTestEdit>(form, 0);
        form->SetKeyPreview(c.keyPreview);
        std::string calls;
        auto handler = [&](const char* who, uint16_t sets) {
            return [&calls, who, sets](TObject*, uint16_t& key, TShiftState) {
                calls += std::string(who) + ":" + std::to_string(key) + " ";
                if (sets != 0xFFFF) key = sets;
            };
        };
        form->OnKeyDown = handler("form", c.formSets);
        edit->OnKeyDown = handler("edit", c.controlSets);
        edit->SetFocus();
        PumpMessages();

        DesktopKey('A', true);
        Application().ProcessMessages();
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(edit->windowKeys, c.windowKeys);
        DesktopKey('A', false);
        Application().ProcessMessages();
        delete form;
    }
}

// --- Focus ----------------------------------------------------------------------------------

TEST_F(FocusTest, FocusingAControlOfAnInactiveFormActivatesTheFormAndTheScreenFollows) {
    TForm* first = ShownForm({0, 0, 300, 200});
    auto* firstEdit = Add<TTestEdit>(first, 0);
    auto* secondEdit = Add<TTestEdit>(first, 30);
    TForm* other = ShownForm({320, 0, 620, 200});
    auto* otherEdit = Add<TTestEdit>(other, 0);
    otherEdit->SetFocus();
    PumpMessages();
    ASSERT_TRUE(other->Active());
    ASSERT_FALSE(first->Active());

    secondEdit->SetFocus();
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), first->Handle());
    EXPECT_TRUE(first->Active());
    EXPECT_FALSE(other->Active());
    EXPECT_EQ(Focused(first), secondEdit);
    EXPECT_EQ(Screen().ActiveForm(), first);
    EXPECT_EQ(Screen().ActiveControl(), secondEdit);
    // The other form keeps its active control for when it is active again.
    EXPECT_EQ(other->ActiveControl(), otherEdit);

    otherEdit->SetFocus();
    PumpMessages();
    EXPECT_EQ(Screen().ActiveForm(), other);
    EXPECT_EQ(Screen().ActiveControl(), otherEdit);
    EXPECT_EQ(first->ActiveControl(), secondEdit);
    (void)firstEdit;
}

// Moving the focus exits the old control and the containers it leaves, then
// enters the containers and the new control; the form and every control hear of it.
TEST_F(FocusTest, TheOldControlExitsBeforeTheNewOneEntersAndEveryoneHearsOfTheChange) {
    TForm* form = ShownForm({0, 0, 400, 300});
    auto* left = Add<TTestPanel>(form, 0);
    auto* inLeft = Add<TTestEdit>(left, 0);
    auto* plain = Add<TTestEdit>(form, 60);
    auto* right = Add<TTestPanel>(form, 100);
    auto* inRight = Add<TTestEdit>(right, 0);
    std::string events;
    const std::pair<TWinControl*, const char*> named[] = {
        {left, "left"}, {inLeft, "inLeft"}, {plain, "plain"}, {right, "right"}, {inRight, "inRight"}};
    for (const auto& [control, name] : named) {
        control->OnEnter = [&events, name = std::string(name)](TObject*) { events += "enter " + name + ", "; };
        control->OnExit = [&events, name = std::string(name)](TObject*) { events += "exit " + name + ", "; };
    }
    TMessageLog formLog{{CM_FOCUSCHANGED}, {}};
    form->SetWindowProc([&formLog, formProc = form->WindowProc()](TMessage& m) {
        formLog.Note(m);
        formProc(m);
    });
    inLeft->SetFocus();
    PumpMessages();
    events.clear();
    formLog.seen.clear();
    inRight->log.watched = plain->log.watched = {CM_FOCUSCHANGED};

    plain->SetFocus();
    PumpMessages();
    EXPECT_EQ(events, "exit inLeft, exit left, enter plain, ");
    events.clear();
    inRight->SetFocus();
    PumpMessages();
    EXPECT_EQ(events, "exit plain, enter right, enter inRight, ");

    const std::vector<std::pair<UINT, LPARAM>> changes{{CM_FOCUSCHANGED, LPARAM(plain)},
                                                       {CM_FOCUSCHANGED, LPARAM(inRight)}};
    EXPECT_EQ(formLog.seen, changes);
    EXPECT_EQ(plain->log.seen, changes);
    EXPECT_EQ(inRight->log.seen, changes) << "a control inside a container hears of the change too";
    EXPECT_EQ(Screen().ActiveControl(), inRight);
    delete form; // before the log and the events its handlers write to
}

TEST_F(FocusTest, CancelModeOfTheFormGoesToTheFocusedControl) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* focused = Add<TTestEdit>(form, 0);
    auto* other = Add<TTestEdit>(form, 30);
    focused->SetFocus();
    PumpMessages();
    focused->log.watched = other->log.watched = {CM_CANCELMODE};

    SendMessageW(form->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(focused->log.Messages(), std::vector<UINT>{CM_CANCELMODE});
    EXPECT_TRUE(other->log.seen.empty());
}

} // namespace

// A form built in code names its active control while loading, before anything shows.
TEST_F(FocusTest, AnActiveControlNamedWhileLoadingHasTheFocusWhenTheFormShows) {
    auto* form = new TForm(nullptr);
    form->BeginLoading();
    form->SetBounds(0, 0, 300, 200);
    Add<TTestEdit>(form, 0);
    auto* second = Add<TTestEdit>(form, 30);
    form->SetActiveControl(second);
    form->EndLoading();
    EXPECT_THROW(form->SetActiveControl(form), EInvalidOperation);
    form->Show();
    PumpMessages();
    EXPECT_EQ(Focused(form), second);
    delete form;
}
