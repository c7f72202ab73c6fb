#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "DialogControls.h"
#include "IdleSteps.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

class TRecordingMessageBox final : public IMessageBoxService {
public:
    int Show(const String& text, const String& caption, uint32_t flags) override {
        boxes.push_back({text, caption, flags, std::this_thread::get_id(), workerWaiting.load()});
        return IDYES;
    }
    struct TBox {
        String text, caption;
        uint32_t flags;
        std::thread::id thread;
        bool workerWaiting;
    };
    std::vector<TBox> boxes;
    std::atomic<bool> workerWaiting = false;

private:
    TMessageBoxServiceScope scope_{*this};
};

class ApplicationTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form_ = ShownForm({0, 0, 300, 200});
        edit_ = new TTestEdit(form_);
        edit_->SetParent(form_);
        button_ = new TTestButton(form_);
        button_->SetBounds(10, 100, 75, 25);
        button_->isDefault = true;
        button_->SetParent(form_);
        edit_->SetFocus();
        PumpMessages();
    }
    void TearDown() override {
        delete form_; // its handlers write to the test's locals
        FormTest::TearDown();
    }

    TForm* form_ = nullptr;
    TTestEdit* edit_ = nullptr;
    TTestButton* button_ = nullptr;
    TRecordingMessageBox boxes_;
};

// An exception escaping an OnClick reaches the application's handler once,
// whether the click came from the mouse or from a dialog key, and the loop goes on.
TEST_F(ApplicationTest, AnExceptionOfAnOnClickReachesOnExceptionOnceAndTheLoopGoesOn) {
    const struct {
        const char* name;
        std::function<void()> click;
    } cases[] = {{"a mouse click", [this] { ClickOn(button_); }}, {"enter on the default button", [] { DesktopPress(VK_RETURN); }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int clicks = 0;
        button_->OnClick = [&](TObject*) {
            if (++clicks == 1) throw EConvertError(u"Not a number");
        };
        std::vector<std::string> handled;
        Application().OnException = [&](TObject* sender, const std::exception& error) {
            EXPECT_EQ(sender, &Application());
            handled.push_back(error.what());
        };

        c.click();
        Application().HandleMessage();
        Application().ProcessMessages();
        EXPECT_EQ(handled, std::vector<std::string>{"Not a number"});
        Elapse(1000); // not a double click
        c.click();
        Application().ProcessMessages();
        EXPECT_EQ(clicks, 2) << "the loop went on";
        EXPECT_EQ(handled.size(), 1u);
        EXPECT_TRUE(boxes_.boxes.empty());
        Application().OnException = nullptr;
    }
}

TEST_F(ApplicationTest, WithoutOnExceptionTheMessageBoxShowsTheTextAndAbortShowsNothing) {
    Application().SetTitle(u"Converter");
    const struct {
        const char* name;
        std::function<void()> raise;
        std::vector<String> texts;
    } cases[] = {
        {"an error", [] { throw EConvertError(u"Not a number"); }, {u"Not a number."}},
        {"an error ending in a full stop", [] { throw EConvertError(u"Done."); }, {u"Done."}},
        {"an abort", [] { throw EAbort(u"Operation aborted"); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes_.boxes.clear();
        button_->OnClick = [&](TObject*) { c.raise(); };
        ClickOn(button_);
        Application().ProcessMessages();
        std::vector<String> texts;
        for (const auto& box : boxes_.boxes) {
            texts.push_back(box.text);
            EXPECT_EQ(box.caption, u"Converter");
            EXPECT_EQ(box.flags, UINT(MB_OK | MB_ICONSTOP));
        }
        EXPECT_EQ(texts, c.texts);
        Elapse(1000);
    }
}

TEST_F(ApplicationTest, AMessageBoxFromAWorkerWaitsForTheGuiThreadsAnswer) {
    std::atomic<int> answer = 0;
    boxes_.workerWaiting = true;
    std::thread worker([&] {
        answer = Application().MessageBox(u"Disk full", u"Converter", MB_YESNO);
        boxes_.workerWaiting = false;
    });
    while (boxes_.boxes.empty()) Application().HandleMessage();
    worker.join();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, u"Disk full");
    EXPECT_EQ(boxes_.boxes[0].thread, std::this_thread::get_id()) << "shown on the GUI thread";
    EXPECT_TRUE(boxes_.boxes[0].workerWaiting) << "the worker waited for the answer";
    EXPECT_EQ(answer, IDYES);
}

using ApplicationRunTest = FormTest;

// The hidden application window minimizes the main form; closing the main form ends Run.
TEST_F(ApplicationRunTest, TheApplicationWindowMinimizesTheMainFormAndClosingTheMainFormEndsRun) {
    TForm* main = Application().CreateForm<TForm>();
    Application().CreateForm<TForm>();
    ASSERT_EQ(Application().MainForm(), main);
    int minimized = 0;
    Application().OnMinimize = [&](TObject*) { ++minimized; };
    bool closed = false;
    main->OnClose = [&](TObject*, TCloseAction& action) {
        closed = true;
        EXPECT_EQ(action, caFree) << "the main form frees itself by default";
    };
    {
        TIdleSteps steps({[&] {
                              ASSERT_TRUE(main->Visible()) << "Run shows the main form";
                              PostMessageW(Application().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
                          },
                          [&] {
                              EXPECT_TRUE(IsIconic(main->Handle()));
                              EXPECT_TRUE(IsIconic(Application().Handle())) << "the application window tells the same";
                              EXPECT_EQ(minimized, 1);
                              ShowWindow(main->Handle(), SW_RESTORE);
                          },
                          [&] {
                              EXPECT_FALSE(IsIconic(Application().Handle()));
                              PostMessageW(main->Handle(), WM_CLOSE, 0, 0);
                          }});
        Application().Run();
    }
    EXPECT_TRUE(closed);
    EXPECT_TRUE(Application().Terminated());
}

} // namespace
