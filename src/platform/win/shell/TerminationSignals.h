#pragma once
// An orderly end at logout and shutdown: SIGTERM, SIGINT and SIGHUP end the
// message loop of one thread (the GUI thread) as the application's Terminate
// does, so the program leaves its loop, frees its forms and runs its unit
// finalisations. Nothing asks whether the program may close: a shutdown
// cannot be refused. A second signal ends the process at once.
//
// The signal handler only writes the signal's number to a pipe; a watcher
// thread reads it and posts WM_QUIT to the thread's queue, which wakes
// whatever loop the thread waits in (its own or the presenter's).

#include <csignal>
#include <thread>

#include "platform/win/Types.h"

class TTerminationSignals {
public:
    // Watches the signals for the calling thread. One at a time per process:
    // raises EInvalidOperation while another is alive.
    TTerminationSignals();
    // Puts the previous handlers back.
    ~TTerminationSignals();
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    DWORD threadId_;
    int pipe_[2] = {-1, -1};
    struct sigaction previous_[std::size(kSignals)] = {};
    std::thread watcher_;
};
