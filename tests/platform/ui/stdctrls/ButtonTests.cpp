#include <functional>
#include <string>

#include "../ControlFixture.h"
#include "../IdleSteps.h"
#include "platform/ui/stdctrls/StdButtons.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class ButtonTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({0, 0, 320, 240});
    }

    template <class T>
    T* Add(TWinControl* parent, int left, int top, const String& caption = String()) {
        auto* control = new T(form);
        control->SetLeft(left);
        control->SetTop(top);
        control->SetCaption(caption);
        control->SetParent(parent);
        return control;
    }
    // Runs what the input caused, through the application's key handling.
    static void Settle() { Application().ProcessMessages(); }
    // The colour at a client point of a control, alpha left out.
    static uint32_t PixelAt(TWinControl* control, int x, int y) {
        Application().ProcessMessages();
        RunUntilIdle();
        HWND top = GetAncestor(control->Handle(), GA_ROOT);
        RECT window;
        GetWindowRect(top, &window);
        const TPoint p = control->ClientToScreen({x, y});
        return WindowSurface(top)->Pixel(p.X - window.left, p.Y - window.top) & 0xFFFFFF;
    }
    static uint32_t Rgb(TColor color) { return PixelOf(ColorToRGB(color)) & 0xFFFFFF; }

    TForm* form = nullptr;
};

TEST_F(ButtonTest, SpaceOnAFocusedButtonClicksItOnce) {
    auto* button = Add<TButton>(form, 10, 10, u"OK");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    button->SetFocus();
    Settle();
    DesktopPress(VK_SPACE, u" ");
    Settle();
    EXPECT_EQ(clicks, 1);
    ClickOn(button);
    Settle();
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, EnterClicksTheDefaultButtonOrTheFocusedOneAndEscapeTheCancelButton) {
    struct TCase {
        const char* name;
        UINT key;
        bool focusCancel;
        std::string clicked;
    };
    for (const TCase& c : {TCase{"enter", VK_RETURN, false, "ok"}, TCase{"escape", VK_ESCAPE, false, "cancel"},
                           TCase{"enter on another button", VK_RETURN, true, "cancel"}}) {
        SCOPED_TRACE(c.name);
        TForm* dialog = ShownForm({0, 0, 300, 200});
        form = dialog;
        auto* check = Add<TCheckBox>(dialog, 10, 10, u"check");
        auto* ok = Add<TButton>(dialog, 10, 40, u"OK");
        auto* cancel = Add<TButton>(dialog, 100, 40, u"Cancel");
        ok->SetDefault(true);
        cancel->SetCancel(true);
        std::string clicked;
        ok->OnClick = [&](TObject*) { clicked += "ok"; };
        cancel->OnClick = [&](TObject*) { clicked += "cancel"; };
        (c.focusCancel ? static_cast<TWinControl*>(cancel) : check)->SetFocus();
        Settle();
        DesktopPress(c.key);
        Settle();
        EXPECT_EQ(clicked, c.clicked);
        delete dialog;
    }
}

TEST_F(ButtonTest, AModalResultEndsShowModalWithIt) {
    TForm* dialog = Application().CreateForm<TForm>();
    dialog->SetBounds(50, 50, 300, 200);
    form = dialog;
    auto* ok = Add<TButton>(dialog, 10, 100, u"确定");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = Add<TButton>(dialog, 100, 100, u"取消");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    struct TCase {
        const char* name;
        std::function<void()> input;
        int result;
    };
    for (const TCase& c : {TCase{"enter", [] { DesktopPress(VK_RETURN); }, 1}, TCase{"escape", [] { DesktopPress(VK_ESCAPE); }, 2},
                           TCase{"a click", [&] { ClickOn(ok); }, 1}}) {
        SCOPED_TRACE(c.name);
        TIdleSteps steps({c.input});
        EXPECT_EQ(dialog->ShowModal(), c.result);
    }
}

TEST_F(ButtonTest, TheDefaultFrameFollowsTheFocusedButton) {
    auto* edit = Add<TCheckBox>(form, 10, 10, u"check");
    auto* ok = Add<TButton>(form, 10, 40, u"OK");
    auto* other = Add<TButton>(form, 100, 40, u"Other");
    ok->SetDefault(true);
    const uint32_t frame = Rgb(clWindowFrame);
    edit->SetFocus();
    EXPECT_EQ(PixelAt(ok, 0, 0), frame);
    EXPECT_NE(PixelAt(other, 0, 0), frame);
    other->SetFocus();
    EXPECT_NE(PixelAt(ok, 0, 0), frame);
    EXPECT_EQ(PixelAt(other, 0, 0), frame);
    edit->SetFocus();
    EXPECT_EQ(PixelAt(ok, 0, 0), frame);
    EXPECT_NE(PixelAt(other, 0, 0), frame);
}

TEST_F(ButtonTest, ACheckBoxStepsThroughItsStatesWithOneOnClickEach) {
    struct TCase {
        const char* name;
        bool allowGrayed;
        std::function<void(TCheckBox*)> input;
        std::vector<TCheckBoxState> states;
    };
    const auto click = [](TCheckBox* box) { ClickOn(box); };
    const auto space = [](TCheckBox* box) {
        box->SetFocus();
        DesktopPress(VK_SPACE, u" ");
    };
    for (const TCase& c : {TCase{"grayed allowed, clicked", true, click, {cbChecked, cbGrayed, cbUnchecked}},
                           TCase{"grayed allowed, space", true, space, {cbChecked, cbGrayed, cbUnchecked}},
                           TCase{"two states", false, click, {cbChecked, cbUnchecked, cbChecked}}}) {
        SCOPED_TRACE(c.name);
        auto* box = Add<TCheckBox>(form, 10, 10, u"check");
        box->SetAllowGrayed(c.allowGrayed);
        int clicks = 0;
        box->OnClick = [&](TObject*) { ++clicks; };
        std::vector<TCheckBoxState> states;
        for (size_t i = 0; i < c.states.size(); ++i) {
            c.input(box);
            Settle();
            clock_.Advance(1000); // no double click
            states.push_back(box->State());
            EXPECT_EQ(box->Perform(BM_GETCHECK), LRESULT(box->State()));
        }
        EXPECT_EQ(states, c.states);
        EXPECT_EQ(clicks, int(c.states.size()));
        delete box;
    }
}

TEST_F(ButtonTest, CheckStatesSurviveANewWindow) {
    auto* box = Add<TCheckBox>(form, 10, 10, u"check");
    auto* radio = Add<TRadioButton>(form, 10, 40, u"radio");
    box->SetState(cbGrayed);
    radio->SetChecked(true);
    box->SetAlignment(taLeftJustify);
    radio->SetAlignment(taLeftJustify);
    EXPECT_EQ(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & BS_LEFTTEXT, LONG_PTR(BS_LEFTTEXT));
    EXPECT_EQ(box->Perform(BM_GETCHECK), LRESULT(BST_INDETERMINATE));
    EXPECT_EQ(radio->Perform(BM_GETCHECK), LRESULT(BST_CHECKED));
}

TEST_F(ButtonTest, RadioButtonsOfOneParentAreExclusiveAndArrowsMoveWithinTheGroup) {
    auto* group = Add<TGroupBox>(form, 10, 10, u"Group");
    group->SetBounds(10, 10, 200, 110);
    auto* a = Add<TRadioButton>(group, 10, 20, u"a");
    auto* b = Add<TRadioButton>(group, 10, 45, u"b");
    auto* c = Add<TRadioButton>(group, 10, 70, u"c");
    auto* outside = Add<TRadioButton>(form, 10, 150, u"outside");
    outside->SetChecked(true);
    std::string clicks;
    for (auto [radio, name] : {std::pair{a, "a"}, std::pair{b, "b"}, std::pair{c, "c"}})
        radio->OnClick = [&clicks, name](TObject*) { clicks += name; };

    ClickOn(b);
    Settle();
    EXPECT_EQ(clicks, "b");
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(b->TabStop());
    EXPECT_EQ(form->ActiveControl(), b);

    DesktopPress(VK_DOWN);
    Settle();
    DesktopPress(VK_UP);
    Settle();
    DesktopPress(VK_UP);
    Settle();
    EXPECT_EQ(clicks, "bcba");
    EXPECT_EQ(form->ActiveControl(), a);
    EXPECT_TRUE(a->Checked());
    for (TRadioButton* other : {b, c}) {
        EXPECT_FALSE(other->Checked());
        EXPECT_FALSE(other->TabStop());
        EXPECT_EQ(other->Perform(BM_GETCHECK), LRESULT(BST_UNCHECKED));
    }
    EXPECT_TRUE(outside->Checked());
}

TEST_F(ButtonTest, AcceleratorsClickButtonsToggleCheckBoxesAndChooseRadioButtons) {
    auto* focus = Add<TCheckBox>(form, 10, 10, u"focus");
    auto* next = Add<TButton>(form, 10, 40, u"&Next >");
    auto* box = Add<TCheckBox>(form, 10, 70, u"&Box");
    auto* radio = Add<TRadioButton>(form, 10, 100, u"&Radio");
    auto* group = Add<TGroupBox>(form, 150, 10, u"&Group");
    auto* inside = Add<TCheckBox>(group, 10, 30, u"inside");
    int nextClicks = 0;
    next->OnClick = [&](TObject*) { ++nextClicks; };
    focus->SetFocus();
    Settle();
    DesktopPressWith(VK_MENU, 'N', u"n");
    Settle();
    EXPECT_EQ(nextClicks, 1);
    DesktopPressWith(VK_MENU, 'B', u"b");
    Settle();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(form->ActiveControl(), box);
    DesktopPressWith(VK_MENU, 'R', u"r");
    Settle();
    EXPECT_TRUE(radio->Checked());
    DesktopPressWith(VK_MENU, 'G', u"g");
    Settle();
    EXPECT_EQ(form->ActiveControl(), inside);
}

TEST_F(ButtonTest, ButtonsPaintInTheirOwnColours) {
    form->SetColor(clRed);
    auto* box = Add<TCheckBox>(form, 10, 10, u"");
    auto* group = Add<TGroupBox>(form, 10, 40, u"");
    group->SetBounds(10, 40, 150, 100);
    auto* button = Add<TButton>(form, 200, 10, u"");
    EXPECT_EQ(PixelAt(box, 60, 8), Rgb(clRed));
    EXPECT_EQ(PixelAt(group, 70, 50), Rgb(clRed));
    EXPECT_EQ(PixelAt(button, 30, 12), Rgb(clBtnFace));
}

} // namespace
