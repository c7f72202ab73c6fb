#include "platform/win/shell/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/rtl/Exceptions.h"
#include "platform/win/core/Queue.h"
#include "platform/win/message/Messages.h"
#include "platform/win/window/Windows.h"

namespace {

// What the handler may touch: the pipe's writing end and how many signals came.
std::atomic<int> writeEnd{-1};
std::atomic<int> received{0};
static_assert(std::atomic<int>::is_always_lock_free);

// A byte that tells the watcher to stop; signal numbers are never 0.
constexpr unsigned char kStop = 0;

void OnSignal(int signal) {
    if (received.fetch_add(1) > 0) _exit(128 + signal);
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(writeEnd.load(), &byte, 1);
    errno = savedErrno;
}

} // namespace

TTerminationSignals::TTerminationSignals() : threadId_(GetCurrentThreadId()) {
    if (writeEnd.load() >= 0) throw EInvalidOperation("Termination signals are already watched");
    CurrentQueue(); // the watcher posts to it
    if (pipe2(pipe_, O_CLOEXEC) != 0) RaiseLastOSError();
    received = 0;
    writeEnd = pipe_[1];
    watcher_ = std::thread([readEnd = pipe_[0], threadId = threadId_] {
        unsigned char byte = kStop;
        while (true) {
            const ssize_t got = read(readEnd, &byte, 1);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0 || byte == kStop) return;
            PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        }
    });
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

TTerminationSignals::~TTerminationSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    const unsigned char stop = kStop;
    while (write(pipe_[1], &stop, 1) < 0 && errno == EINTR) {}
    watcher_.join();
    writeEnd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}
