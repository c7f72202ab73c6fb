#pragma once
// A forked child process for tests of objects shared between processes. The
// child runs Body, reporting lines to the test, and ends when the body returns;
// it never returns into the test program. A body that must keep what it holds
// waits for the test with WaitUntilLetGo.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>


class TChildProcess {
public:
    explicit TChildProcess(const std::function<void(TChildProcess& self)>& body) {
        int up[2], down[2];
        if (pipe(up) != 0 || pipe(down) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            close(up[0]);
            close(down[1]);
            up_ = up[1];
            down_ = down[0];
            int status = 0;
            try {
                body(*this);
            } catch (const std::exception& e) {
                Report(std::string("failed: ") + e.what());
                status = 1;
            }
            _exit(status);
        }
        close(up[1]);
        close(down[0]);
        up_ = up[0];
        down_ = down[1];
    }
    ~TChildProcess() {
        if (pid_ > 0) {
            LetGo();
            Wait();
        }
        close(up_);
    }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // In the child.
    void Report(const std::string& line) {
        const std::string text = line + "\n";
        if (write(up_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(2);
    }

    // In the child: returns when the test lets it go (or never: the test kills it).
    void WaitUntilLetGo() {
        char c;
        while (read(down_, &c, 1) > 0) {
        }
    }

    // In the test: the child's next line, empty when it ended or ten seconds passed.
    std::string ReadLine() {
        std::string line;
        pollfd fd{up_, POLLIN, 0};
        char c;
        while (poll(&fd, 1, 10000) == 1 && read(up_, &c, 1) == 1) {
            if (c == '\n') return line;
            line += c;
        }
        return line;
    }
    void Kill() {
        kill(pid_, SIGKILL);
        Wait();
    }
    // Lets the child end; returns its exit status.
    int Finish() {
        LetGo();
        return Wait();
    }

private:
    void LetGo() {
        if (down_ >= 0) close(std::exchange(down_, -1));
    }
    int Wait() {
        int status = 0;
        if (pid_ > 0) waitpid(std::exchange(pid_, -1), &status, 0);
        return status;
    }

    pid_t pid_ = -1;
    int up_ = -1;
    int down_ = -1;
};
