#include "../ControlFixture.h"

#include <atomic>
#include <functional>
#include <thread>

#include "platform/rtl/Threads.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/stdctrls/MessageDialog.h"
#include "platform/win/User.h"

namespace {

// Long enough for a worker to post its call; a wait ends as soon as it arrives.
constexpr int kPatienceMs = 10'000;

// A form that runs the next step each time a box it owns waits for input; a
// box still up after the last step is a failure, and is closed.
class TMessageDialogTestForm : public TForm {
public:
    using TForm::TForm;
    std::vector<std::function<void(HWND box)>> steps;
    size_t stepsRun = 0;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_ENTERIDLE && m.WParam == MSGF_DIALOGBOX) {
            const HWND box = reinterpret_cast<HWND>(m.LParam);
            if (stepsRun < steps.size()) {
                steps[stepsRun++](box);
            } else {
                ADD_FAILURE() << "the box is still up after the last step";
                DestroyWindow(box);
            }
            return;
        }
        TForm::WndProc(m);
    }
};

class MessageDialogTest : public FormTest {
protected:
    TMessageDialogTestForm* ShownTestForm(TRect bounds) {
        auto* form = Application().CreateForm<TMessageDialogTestForm>();
        form->SetBoundsRect(bounds);
        form->Show();
        PumpMessages();
        return form;
    }

    TMessageDialogService dialog_;
    TMessageBoxServiceScope scope_{dialog_};
};

TEST(MessageDialogUnit, TheStandardControlsUnitRegistersTheDialogAndTakesItBack) {
    struct TOther final : IMessageBoxService {
        int Show(const String&, const String&, uint32_t) override { return IDOK; }
    } before, during;
    TMessageBoxServiceScope outer(before);
    TUnitRegistry units;
    RegisterUiUnits(units);
    units.Initialize();
    EXPECT_NE(dynamic_cast<TMessageDialogService*>(MessageBoxService()), nullptr);
    units.Finalize();
    EXPECT_EQ(MessageBoxService(), &before);

    // A service put in place meanwhile is not taken away.
    units.Initialize();
    SetMessageBoxService(&during);
    units.Finalize();
    EXPECT_EQ(MessageBoxService(), &during);
}

TEST_F(MessageDialogTest, TheBoxBelongsToTheActiveFormOrElseTheMainForm) {
    TMessageDialogTestForm* main = ShownTestForm(TRect(0, 0, 300, 200));
    TMessageDialogTestForm* second = ShownTestForm(TRect(400, 0, 700, 200));
    const HWND stranger = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 800, 0, 50, 50, nullptr, nullptr,
                                          nullptr, nullptr);
    struct TCase {
        const char* name;
        HWND active;
        TMessageDialogTestForm* owner;
    };
    const TCase cases[] = {
        {"the active form", second->Handle(), second},
        {"the main form while a window not ours is active", stranger, main},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetActiveWindow(c.active);
        HWND owner = nullptr;
        c.owner->stepsRun = 0;
        c.owner->steps = {[&](HWND box) {
            owner = reinterpret_cast<HWND>(GetWindowLongPtrW(box, GWLP_HWNDPARENT));
            EXPECT_FALSE(IsWindowEnabled(main->Handle()));
            EXPECT_FALSE(IsWindowEnabled(second->Handle()));
            DesktopPress('N', u"n");
        }};
        EXPECT_EQ(Application().MessageBox(u"删除任务吗？", u"Warning", MB_YESNO | MB_ICONQUESTION), IDNO);
        EXPECT_EQ(c.owner->stepsRun, 1u);
        EXPECT_EQ(owner, c.owner->Handle());
        EXPECT_TRUE(IsWindowEnabled(main->Handle()));
        EXPECT_TRUE(IsWindowEnabled(second->Handle()));
        EXPECT_EQ(GetActiveWindow(), c.active);
    }
    DestroyWindow(stranger);
}

// The worker asks; the box is made on the GUI thread while it serves the
// dispatcher, and the worker goes on only once the box is answered.
TEST_F(MessageDialogTest, AWorkerWaitsUntilTheBoxOnTheGuiThreadIsAnswered) {
    TMessageDialogTestForm* form = ShownTestForm(TRect(0, 0, 300, 200));
    std::atomic<bool> workerReturned = false;
    bool returnedWhileShown = true;
    HWND owner = nullptr;
    form->steps = {[&](HWND box) {
        returnedWhileShown = workerReturned.load();
        owner = reinterpret_cast<HWND>(GetWindowLongPtrW(box, GWLP_HWNDPARENT)); // only a window of this thread answers
        DesktopPress(VK_RETURN);
    }};
    int answer = 0;
    const DWORD guiThread = GetCurrentThreadId();
    std::thread worker([&] {
        answer = Application().MessageBox(u"不支持的文件格式", u"Error", MB_ICONERROR);
        workerReturned = true;
        PostThreadMessageW(guiThread, WM_APP, 0, 0);
    });
    EXPECT_TRUE(CheckSynchronize(kPatienceMs));
    worker.join();
    PumpMessages();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(form->stepsRun, 1u);
    EXPECT_FALSE(returnedWhileShown);
    EXPECT_EQ(owner, form->Handle());
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
}

} // namespace
