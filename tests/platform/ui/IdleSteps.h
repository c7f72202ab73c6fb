#pragma once
// Drives code that runs its own message loop (ShowModal, Application().Run):
// the steps run one at a time, each when the loop has nothing left to do and
// waits (the main-thread dispatcher's calls run there), so whatever a step
// caused is handled before the next one. A loop still running after the last
// step fails the test and is ended with WM_QUIT instead of waiting forever.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/rtl/Threads.h"
#include "platform/win/message/Messages.h"

class TIdleSteps {
public:
    explicit TIdleSteps(std::vector<std::function<void()>> steps)
        : state_(std::make_shared<TState>(TState{std::move(steps), 0})) {
        QueueNext(state_);
    }
    // Steps not run yet are dropped; the call waiting for the next one runs now, doing nothing.
    ~TIdleSteps() {
        state_->steps.clear();
        CheckSynchronize();
    }
    TIdleSteps(const TIdleSteps&) = delete;
    TIdleSteps& operator=(const TIdleSteps&) = delete;

private:
    struct TState {
        std::vector<std::function<void()>> steps;
        size_t next;
    };

    // Queued from another thread: on the main thread Queue would run the call at once.
    static void QueueNext(const std::shared_ptr<TState>& state) {
        std::weak_ptr<TState> weak = state;
        std::thread([weak] { TThread::Queue(nullptr, [weak] { RunNext(weak); }); }).join();
    }

    static void RunNext(const std::weak_ptr<TState>& weak) {
        const std::shared_ptr<TState> state = weak.lock();
        if (!state || state->steps.empty()) return;
        if (state->next == state->steps.size()) {
            ADD_FAILURE() << "the loop still runs after the last step";
            state->steps.clear();
            PostQuitMessage(0);
            return;
        }
        const std::function<void()> step = state->steps[state->next++];
        QueueNext(state);
        step();
    }

    std::shared_ptr<TState> state_;
};
