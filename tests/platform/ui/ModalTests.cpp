#include <functional>
#include <string>

#include "DialogControls.h"
#include "IdleSteps.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Timer.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class ModalTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        main_ = ShownForm({0, 0, 500, 400});
        dialog_ = Application().CreateForm<TForm>();
        dialog_->SetBounds(50, 50, 300, 200);
        edit_ = new TTestEdit(dialog_);
        edit_->SetParent(dialog_);
        ok_ = new TTestButton(dialog_);
        ok_->SetBounds(10, 100, 75, 25);
        ok_->SetCaption(u"OK");
        ok_->isDefault = true;
        ok_->modalResult = mrOk;
        ok_->SetParent(dialog_);
        cancel_ = new TTestButton(dialog_);
        cancel_->SetBounds(100, 100, 75, 25);
        cancel_->isCancel = true;
        cancel_->modalResult = mrCancel;
        cancel_->SetParent(dialog_);
    }

    TForm* main_ = nullptr;
    TForm* dialog_ = nullptr;
    TTestEdit* edit_ = nullptr;
    TTestButton* ok_ = nullptr;
    TTestButton* cancel_ = nullptr;
};

TEST_F(ModalTest, AButtonsModalResultEndsShowModal) {
    const struct {
        const char* name;
        std::function<void()> input;
        int result;
    } cases[] = {
        {"enter clicks the default button", [] { DesktopPress(VK_RETURN); }, mrOk},
        {"escape clicks the cancel button", [] { DesktopPress(VK_ESCAPE); }, mrCancel},
        {"a click on the button", [this] { ClickOn(ok_); }, mrOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TIdleSteps steps({c.input});
        EXPECT_EQ(dialog_->ShowModal(), c.result);
        EXPECT_FALSE(dialog_->Visible());
        EXPECT_FALSE(IsWindowVisible(dialog_->Handle()));
        EXPECT_EQ(dialog_->ModalResult(), c.result);
    }
}

TEST_F(ModalTest, KeysReachTheFocusedControlAsCNFirstInsideTheModalLoop) {
    edit_->log.watched = {CN_KEYDOWN, WM_KEYDOWN, CN_KEYUP, WM_KEYUP};
    TIdleSteps steps({[] { DesktopPress('A'); }, [this] { dialog_->SetModalResult(mrOk); }});
    EXPECT_EQ(dialog_->ShowModal(), mrOk);
    EXPECT_EQ(edit_->log.Messages(), (std::vector<UINT>{CN_KEYDOWN, WM_KEYDOWN, CN_KEYUP, WM_KEYUP}));
}

TEST_F(ModalTest, ShowModalDisablesExactlyTheOtherEnabledWindowsAndEnablesThemAgain) {
    TForm* other = ShownForm({520, 0, 800, 200});
    TForm* disabledBefore = ShownForm({520, 220, 800, 400});
    EnableWindow(disabledBefore->Handle(), FALSE);
    main_->SetFocus();
    PumpMessages();
    std::string events;
    Application().OnModalBegin = [&](TObject*) { events += "begin "; };
    Application().OnModalEnd = [&](TObject*) { events += "end "; };

    TIdleSteps steps({[&] {
        EXPECT_EQ(events, "begin ");
        EXPECT_EQ(Application().ModalLevel(), 1);
        EXPECT_TRUE(dialog_->FormState().Contains(fsModal));
        EXPECT_FALSE(IsWindowEnabled(main_->Handle()));
        EXPECT_FALSE(IsWindowEnabled(other->Handle()));
        EXPECT_FALSE(IsWindowEnabled(disabledBefore->Handle()));
        EXPECT_TRUE(IsWindowEnabled(dialog_->Handle()));
        EXPECT_EQ(GetWindow(dialog_->Handle(), GW_OWNER), main_->Handle()) << "the dialog stays above its owner";
        EXPECT_EQ(GetActiveWindow(), dialog_->Handle());
        EXPECT_EQ(Screen().ActiveForm(), dialog_);
        dialog_->SetModalResult(mrYes);
    }});
    EXPECT_EQ(dialog_->ShowModal(), mrYes);
    EXPECT_EQ(events, "begin end ");
    EXPECT_EQ(Application().ModalLevel(), 0);
    EXPECT_FALSE(dialog_->FormState().Contains(fsModal));
    EXPECT_TRUE(IsWindowEnabled(main_->Handle()));
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore->Handle()));
    EXPECT_EQ(GetActiveWindow(), main_->Handle()) << "the window active before comes back";
    Application().OnModalBegin = Application().OnModalEnd = nullptr;
}

TEST_F(ModalTest, OnCloseQueryRefusingKeepsTheForm) {
    int queries = 0;
    dialog_->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
    {
        TIdleSteps steps({[] { DesktopPress(VK_RETURN); },
                          [&] {
                              EXPECT_EQ(queries, 1);
                              EXPECT_TRUE(dialog_->Visible());
                              EXPECT_TRUE(IsWindowVisible(dialog_->Handle()));
                              EXPECT_EQ(dialog_->ModalResult(), mrNone);
                              DesktopPress(VK_RETURN);
                          }});
        EXPECT_EQ(dialog_->ShowModal(), mrOk);
        EXPECT_EQ(queries, 2);
    }

    // The same for a form shown modeless.
    queries = 0;
    dialog_->Show();
    PumpMessages();
    dialog_->Close();
    EXPECT_TRUE(dialog_->Visible());
    dialog_->Close();
    EXPECT_FALSE(dialog_->Visible());
    EXPECT_FALSE(IsWindowVisible(dialog_->Handle()));
    dialog_->OnCloseQuery = nullptr;
}

TEST_F(ModalTest, OnCloseDecidesWhatClosingDoes) {
    const struct {
        const char* name;
        TCloseAction action;
        bool visible;
        bool minimized;
        bool freed;
    } cases[] = {
        {"caNone", caNone, true, false, false},
        {"caHide", caHide, false, false, false},
        {"caMinimize", caMinimize, true, true, false},
        {"caFree", caFree, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = ShownForm({100, 100, 400, 300});
        bool freed = false;
        TCloseAction offered = caNone;
        form->OnClose = [&](TObject*, TCloseAction& action) {
            offered = action;
            action = c.action;
        };
        form->OnDestroy = [&](TObject*) { freed = true; };

        form->Close();
        EXPECT_EQ(offered, caHide) << "a form other than the main one hides by default";
        EXPECT_FALSE(freed) << "freed only after the message being handled";
        PumpMessages();
        EXPECT_EQ(freed, c.freed);
        if (freed) continue;
        EXPECT_EQ(form->Visible(), c.visible);
        EXPECT_EQ(bool(IsWindowVisible(form->Handle())), c.visible);
        EXPECT_EQ(bool(IsIconic(form->Handle())), c.minimized);
        EXPECT_EQ(form->WindowState(), c.minimized ? wsMinimized : wsNormal);
        delete form;
    }
}

// Release from the form's own button: the click's handling goes on with the
// form and the button alive, and the form goes with the next message.
TEST_F(ModalTest, AFormReleasedFromItsOwnClickIsFreedAfterTheMessage) {
    dialog_->Show();
    PumpMessages();
    const int forms = Screen().FormCount();
    bool freed = false;
    dialog_->OnDestroy = [&](TObject*) { freed = true; };
    String caption;
    ok_->OnClick = [&](TObject* sender) {
        TCustomForm* form = GetParentForm(static_cast<TControl*>(sender));
        form->Release();
        caption = form->Caption() + static_cast<TControl*>(sender)->Caption();
    };
    ok_->OnMouseUp = [&](TObject* sender, TMouseButton, TShiftState, int, int) {
        caption += static_cast<TControl*>(sender)->Caption();
    };
    ClickOn(ok_);
    Application().ProcessMessages();
    EXPECT_TRUE(freed);
    EXPECT_EQ(caption, u"OKOK");
    EXPECT_EQ(Screen().FormCount(), forms - 1);
}

// Timers run inside the modal loop on the test clock: one every 300 ms, one
// restarted at 200 ms by disabling and enabling it, one with interval 0.
TEST_F(ModalTest, TimersFireOnTheTestClockInsideShowModal) {
    const uint64_t start = clock_.Now();
    std::vector<std::pair<std::string, uint64_t>> fired;
    auto recorder = [&](const char* name) {
        return [&fired, &clock = clock_, start, name](TObject*) { fired.emplace_back(name, clock.Now() - start); };
    };
    TTimer periodic(nullptr), restarted(nullptr), zero(nullptr);
    periodic.SetInterval(300);
    periodic.SetOnTimer(recorder("periodic"));
    restarted.SetInterval(300);
    restarted.SetOnTimer(recorder("restarted"));
    zero.SetInterval(0);
    zero.SetOnTimer(recorder("zero"));
    using TFired = std::vector<std::pair<std::string, uint64_t>>;

    TIdleSteps steps({[&] {
                          clock_.Advance(200);
                          restarted.SetEnabled(false);
                          restarted.SetEnabled(true);
                      },
                      [&] { clock_.Advance(99); },
                      [&] {
                          EXPECT_EQ(fired, TFired{});
                          clock_.Advance(1);
                      },
                      [&] {
                          EXPECT_EQ(fired, (TFired{{"periodic", 300}}));
                          clock_.Advance(200);
                      },
                      [&] {
                          EXPECT_EQ(fired, (TFired{{"periodic", 300}, {"restarted", 500}}));
                          clock_.Advance(100);
                      },
                      [&] { dialog_->SetModalResult(mrOk); }});
    EXPECT_EQ(dialog_->ShowModal(), mrOk);
    EXPECT_EQ(fired, (TFired{{"periodic", 300}, {"restarted", 500}, {"periodic", 600}}));
}

} // namespace
