// The termination signals inside one process: a signal becomes WM_QUIT in
// the watching thread's queue, and the handlers that were there before come
// back afterwards. (Whole programs ending by a signal: the framework's
// termination tests.)

#include <gtest/gtest.h>

#include <csignal>

#include "platform/rtl/Exceptions.h"
#include "platform/win/User.h"
#include "platform/win/shell/TerminationSignals.h"

namespace {

volatile sig_atomic_t earlierHandlerCalls = 0;
void EarlierHandler(int) { earlierHandlerCalls = earlierHandlerCalls + 1; }

void (*HandlerOf(int signal))(int) {
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

} // namespace

TEST(TerminationSignals, ASignalPostsQuitToTheWatchingThreadAndTheEarlierHandlersComeBack) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, &EarlierHandler);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        {
            const TTerminationSignals watching;
            EXPECT_THROW(TTerminationSignals(), EInvalidOperation);
            raise(signal);
            ASSERT_NE(MsgWaitForMultipleObjectsEx(0, nullptr, 30000, QS_POSTMESSAGE, 0), WAIT_TIMEOUT);
            MSG msg{};
            ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
            EXPECT_EQ(msg.message, UINT(WM_QUIT));
            EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "one quit per signal";
        }
        EXPECT_EQ(HandlerOf(signal), &EarlierHandler);
    }
    EXPECT_EQ(earlierHandlerCalls, 0);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
}
