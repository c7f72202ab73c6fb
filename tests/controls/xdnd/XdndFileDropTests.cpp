// A file dragged by another program over the desktop's drag-and-drop protocol
// reaches a file drop target set up as the main window's, on a real X server:
// for each drag a drag source of our own (xdnd-drag-source) runs beside the
// test, and both sides report what they saw.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QGuiApplication>

#include "../dragdrop/ScrollingPanel.h"
#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DropTarget.h"
#include "platform/ui/StartedUiUnits.h"
#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/backend/qttest/OffscreenDesktop.h"

extern char** environ;

namespace {

// Qt on the X server named by DISPLAY, with the Qt desktop installed.
class TXcbDesktopEnvironment : public testing::Environment {
public:
    void SetUp() override {
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        InstallQtDesktop();
    }
    void TearDown() override {
        UninstallQtDesktop();
        app_.reset();
    }

private:
    char program_[20] = "controls_xdnd_tests";
    char* argv_[2] = {program_, nullptr};
    int argc_ = 1;
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] testing::Environment* const xcbEnvironment =
    testing::AddGlobalTestEnvironment(new TXcbDesktopEnvironment);

// Runs the drag source with Arguments while both event loops keep going;
// answers what it printed.
std::string RunDragSource(const std::vector<std::string>& arguments) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return "no pipe";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> all{XDND_DRAG_SOURCE};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string printed;
    if (spawned == 0) {
        fcntl(out[0], F_SETFL, O_NONBLOCK);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        char buffer[256];
        for (;;) {
            SettleDesktop();
            const ssize_t got = read(out[0], buffer, sizeof buffer);
            if (got > 0) printed.append(buffer, size_t(got));
            if (got == 0) break; // the source has ended
            if (std::chrono::steady_clock::now() > giveUp) {
                kill(pid, SIGKILL);
                printed += "killed\n";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        waitpid(pid, nullptr, 0);
    }
    close(out[0]);
    SettleDesktop(); // the drop the bridge posted
    return printed;
}

const std::string kChineseFileUri = "file:///tmp/%E8%A7%86%E9%A2%91%20a.mp4";

struct TXdndDropCase {
    const char* name;
    const char* preferred; // the source's action
    const char* offered;   // the actions it allows
    std::string uri;
    const char* answer; // the action the source is told, nullptr for a refusal
};

void PrintTo(const TXdndDropCase& drop, std::ostream* os) { *os << drop.name; }

const TXdndDropCase kXdndDropCases[] = {
    {"AFileManagerOfferingEveryActionGetsALink", "copy", "copy,move,link", kChineseFileUri, "link"},
    {"APreferredMoveBecomesACopy", "move", "move,copy", kChineseFileUri, "copy"},
    {"AMoveAloneIsRefused", "move", "move", kChineseFileUri, nullptr},
    {"ARemoteFileIsRefused", "copy", "copy,move,link", "smb://server/share/a.mp4", nullptr},
};

class XdndFileDropTest : public FormTest, public testing::WithParamInterface<TXdndDropCase> {
protected:
    void SetUp() override {
        StartDragDropUnits();
        form_ = ShownForm({100, 100, 500, 400});
        taskList_ = new TScrollingTestPanel(form_);
        taskList_->SetBounds(150, 10, 300, 250);
        taskList_->SetParent(form_);
        dropFile_ = new TDropFileTarget(form_);
        dropFile_->DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
        dropFile_->GetDataOnEnter = true;
        dropFile_->OptimizedMove = true;
        dropFile_->SetTarget(taskList_);
        // The main window's two handlers.
        dropFile_->OnDragOver = [this](TObject*, TShiftState, TPoint, DWORD& effect) {
            effect = dropFile_->Files().Count() < 2 ? DROPEFFECT_LINK : DROPEFFECT_NONE;
        };
        dropFile_->OnDrop = [this](TObject*, TShiftState, TPoint, DWORD&) {
            for (int i = 0; i < dropFile_->Files().Count(); ++i) dropped_.push_back(dropFile_->Files()[i]);
            ++drops_;
        };
        SettleDesktop();
    }
    void TearDown() override {
        SettleDesktop();
        FormTest::TearDown();
        StopDragDropUnits();
    }

    TStartedUiUnits units_;
    TForm* form_ = nullptr;
    TScrollingTestPanel* taskList_ = nullptr;
    TDropFileTarget* dropFile_ = nullptr;
    int drops_ = 0;
    std::vector<String> dropped_;
};

TEST_P(XdndFileDropTest, TheSourceHearsTheAnswerAndTheHandlerGetsTheFile) {
    const TXdndDropCase& drop = GetParam();
    const TPoint at = taskList_->ClientToScreen({150, 120});
    const std::string printed =
        RunDragSource({std::to_string(at.X), std::to_string(at.Y), drop.preferred, drop.offered, drop.uri});
    SCOPED_TRACE(printed);
    if (drop.answer) {
        const std::string accepted = std::string("status accepted=1 action=") + drop.answer + "\n";
        EXPECT_EQ(printed, accepted + accepted + "finished success=1 action=" + drop.answer + "\n");
        EXPECT_EQ(drops_, 1);
        EXPECT_EQ(dropped_, std::vector<String>{u"/tmp/视频 a.mp4"});
    } else {
        const std::string refused = "status accepted=0 action=none\n";
        EXPECT_EQ(printed, refused + refused + "finished success=0 action=none\n");
        EXPECT_EQ(drops_, 0);
    }
    EXPECT_EQ(dropFile_->Files().Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Drags, XdndFileDropTest, testing::ValuesIn(kXdndDropCases),
                         [](const testing::TestParamInfo<TXdndDropCase>& info) { return info.param.name; });

} // namespace
