// SIGTERM, SIGINT and SIGHUP end a program's message loop in order, also
// inside a modal dialog; a second signal ends it at once. The program under
// test is ui-termination-program, started and signalled here.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FreshTestFolder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Generous: the program starts under the sanitizers.
constexpr int kWaitMilliseconds = 60000;

class TTerminationProgram {
public:
    TTerminationProgram(const fs::path& folder, const char* mode) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        const std::string folderText = folder.string();
        char* argv[] = {const_cast<char*>(TERMINATION_PROGRAM), const_cast<char*>(folderText.c_str()),
                        const_cast<char*>(mode), nullptr};
        if (posix_spawn(&pid_, TERMINATION_PROGRAM, &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~TTerminationProgram() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(input_);
        close(output_);
    }

    bool Started() const { return pid_ > 0; }
    void Signal(int signal) const { kill(pid_, signal); }

    // The program's output up to "ready" or its end, or up to the wait's limit.
    bool WaitForReady() {
        while (text_.find("ready\n") == std::string::npos)
            if (!ReadMore()) return false;
        return true;
    }
    // The wait status once the program has ended (it closes its output then); -1 after the wait's limit.
    int WaitForEnd() {
        while (ReadMore()) {}
        if (!eof_) return -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        return status;
    }

private:
    bool ReadMore() {
        pollfd p{output_, POLLIN, 0};
        if (eof_ || poll(&p, 1, kWaitMilliseconds) <= 0) return false;
        char buffer[256];
        const ssize_t got = read(output_, buffer, sizeof buffer);
        if (got <= 0) {
            eof_ = true;
            return false;
        }
        text_.append(buffer, size_t(got));
        return true;
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string text_;
    bool eof_ = false;
    bool ended_ = false;
};

std::string Contents(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(TerminationSignals, EachSignalEndsTheLoopInOrderWithoutAskingToClose) {
    struct TCase {
        const char* mode;
        int signal;
    } cases[] = {{"loop", SIGTERM}, {"loop", SIGINT}, {"loop", SIGHUP}, {"modal", SIGTERM}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + strsignal(c.signal));
        const fs::path folder = FreshTestFolder("termination") / (std::string(c.mode) + std::to_string(c.signal));
        fs::create_directories(folder);
        TTerminationProgram program(folder, c.mode);
        ASSERT_TRUE(program.Started());
        ASSERT_TRUE(program.WaitForReady());
        program.Signal(c.signal);
        const int status = program.WaitForEnd();
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(fs::exists(folder / "finalized"));
        EXPECT_FALSE(fs::exists(folder / "close-query"));
        if (std::string(c.mode) == "modal") { EXPECT_EQ(Contents(folder / "modal-result"), "2") << "cancelled"; }
    }
}

TEST(TerminationSignals, ASecondSignalEndsABusyProgramAtOnce) {
    const fs::path folder = FreshTestFolder("termination");
    TTerminationProgram program(folder, "busy");
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.WaitForReady());
    // Two different signals, so that the second is not merged into a first still pending.
    program.Signal(SIGTERM);
    program.Signal(SIGINT);
    const int status = program.WaitForEnd();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    // 128 and whichever signal came second.
    EXPECT_TRUE(WEXITSTATUS(status) == 128 + SIGINT || WEXITSTATUS(status) == 128 + SIGTERM) << WEXITSTATUS(status);
    EXPECT_FALSE(fs::exists(folder / "finalized"));
}
