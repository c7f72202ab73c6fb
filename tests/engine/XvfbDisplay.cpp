#include "XvfbDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 30000;

[[noreturn]] void Fail(const std::string& what) { throw Exception(String("Xvfb: " + what)); }

} // namespace

TXvfbDisplay::TXvfbDisplay(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) Fail("no pipe");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    // Xvfb picks a free display number and writes it to this descriptor once it accepts connections.
    // -noreset: by default the server resets whenever its last client leaves, and a client connecting
    // during that reset is dropped; a desktop's server, kept busy by its session, never does.
    std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     std::to_string(width) + "x" + std::to_string(height) + "x24",
                                     "-wr", "-nolisten", "tcp", "-noreset"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv.data(), environ);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        pid_ = 0;
        Fail(std::string("cannot start it: ") + std::strerror(spawned));
    }
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    char c;
    while (poll(&ready, 1, kStartTimeoutMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        Stop();
        Fail("it reported no display");
    }
    name_ = ":" + number;
}

TXvfbDisplay::~TXvfbDisplay() { Stop(); }

void TXvfbDisplay::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
}
