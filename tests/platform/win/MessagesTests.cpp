#include <atomic>
#include <thread>

#include "WindowFixture.h"
#include "platform/rtl/Threads.h"

namespace {

using Messages = WindowTest;

constexpr UINT kWorkerReport = 0x8020;

// Waits (yielding) until a send from another thread is queued for the caller.
void AwaitIncomingSend() {
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) std::this_thread::yield();
}

TEST_F(Messages, PostedMessagesAreTakenInOrderThroughWindowAndRangeFilters) {
    const HWND a = Create(WS_POPUP, {0, 0, 10, 10});
    const HWND child = Create(WS_CHILD, {0, 0, 5, 5}, a);
    const HWND other = Create(WS_POPUP, {0, 0, 10, 10});
    PostMessageW(other, WM_USER + 1, 1, 0);
    PostMessageW(child, WM_USER + 2, 2, 0);
    PostMessageW(a, WM_USER + 3, 3, 0);
    PostMessageW(nullptr, WM_USER + 4, 4, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, a, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2); // the window's descendants count
    ASSERT_TRUE(PeekMessageW(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, child);
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(intptr_t{-1}), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 4);
    EXPECT_EQ(msg.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    const std::vector<MSG> rest = Drain();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].message, WM_USER + 1);
}

TEST_F(Messages, MessagesPostedToAWindowDieWithIt) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    const HWND keep = Create(WS_POPUP, {0, 0, 10, 10});
    PostMessageW(w, WM_USER, 0, 0);
    PostMessageW(keep, WM_USER, 1, 0);
    DestroyWindow(w);
    EXPECT_FALSE(PostMessageW(w, WM_USER, 2, 0));
    const std::vector<MSG> left = Drain();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].hwnd, keep);
}

TEST_F(Messages, SentPostedInputPaintAndTimerComeInThatOrder) {
    const HWND w = Create(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
    RunUntilIdle();
    ClearRecord();
    SetTimer(w, 1, 10, nullptr);
    Advance(10);
    InvalidateRect(w, nullptr, FALSE);
    DesktopMouseMove(POINT{5, 5});
    PostMessageW(w, WM_USER, 0, 0);
    std::thread worker([&] { SendMessageW(w, kWorkerReport, 0, 0); });
    AwaitIncomingSend();
    RunUntilIdle();
    worker.join();
    EXPECT_EQ(MessagesOf(w, {kWorkerReport, WM_USER, WM_MOUSEMOVE, WM_PAINT, WM_TIMER}),
              (std::vector<UINT>{kWorkerReport, WM_USER, WM_MOUSEMOVE, WM_PAINT, WM_TIMER}));
}

TEST_F(Messages, MessagesPostedFromAnotherThreadArriveInOrder) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    constexpr int kCount = 200;
    std::thread worker([w] {
        for (int i = 0; i < kCount; ++i) PostMessageW(w, WM_USER, WPARAM(i), 0);
        PostMessageW(w, WM_USER + 1, 0, 0);
    });
    std::vector<WPARAM> received;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) && msg.message == WM_USER) received.push_back(msg.wParam);
    worker.join();
    ASSERT_EQ(received.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(received[i], WPARAM(i));
}

TEST_F(Messages, RegisteredMessagesAreNumberedByNameInAnyCase) {
    const UINT a = RegisterWindowMessageW(u"View Tree Data");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageW(u"VIEW TREE DATA"), a);
    EXPECT_NE(RegisterWindowMessageW(u"View Tree Reference"), a);
    EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
}

TEST_F(Messages, QuitEndsGetMessageAndAFilteredRemovalPostsItAgain) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    PostQuitMessage(5);
    MSG msg;
    // Taking one message of a number for a window (as a "discard" helper does)
    // meets WM_QUIT whatever the filter; it is posted again.
    ASSERT_TRUE(PeekMessageW(&msg, w, WM_USER, WM_USER, PM_REMOVE));
    ASSERT_EQ(msg.message, WM_QUIT);
    PostQuitMessage(int(msg.wParam));
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, QuitEndsANestedLoopAndReachesTheOuterOne) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    TModalEnd inner = TModalEnd::Done;
    Answer(w, WM_USER, [&](WPARAM, LPARAM) {
        PostQuitMessage(7);
        inner = RunModalLoop([] { return false; });
        return std::optional<LRESULT>(0);
    });
    PostMessageW(w, WM_USER, 0, 0);
    MSG msg;
    int dispatched = 0;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        DispatchMessageW(&msg);
        ++dispatched;
    }
    EXPECT_EQ(inner, TModalEnd::Quit);
    EXPECT_EQ(dispatched, 1);
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(Messages, AModalLoopDisablesItsWindowsCancelsTheCaptureAndRestoresExactlyWhatItChanged) {
    const HWND owner = Create(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
    const HWND off = Create(WS_POPUP | WS_VISIBLE | WS_DISABLED, {0, 0, 10, 10});
    SetCapture(owner);
    std::vector<String> events;
    TModalLoopOptions options;
    options.disable = {owner, off};
    options.onStart = [&] { events.push_back(u"start"); };
    options.onEnd = [&] { events.push_back(u"end"); };
    ClearRecord();
    PostMessageW(owner, WM_USER, 0, 0);
    int asked = 0;
    // Asked before taking anything and again after the posted message.
    EXPECT_EQ(RunModalLoop(
                  [&] {
                      EXPECT_FALSE(IsWindowEnabled(owner));
                      EXPECT_EQ(ModalLoopDepth(), 1);
                      return ++asked == 2;
                  },
                  options),
              TModalEnd::Done);
    EXPECT_EQ(events, (std::vector<String>{u"start", u"end"}));
    // Cancelled before anything is disabled (disabling cancels again).
    EXPECT_EQ(MessagesOf(owner, {WM_CANCELMODE, WM_ENABLE}).front(), UINT(WM_CANCELMODE));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindowEnabled(off));
    EXPECT_EQ(ModalLoopDepth(), 0);
}

TEST_F(Messages, AModalLoopEndsWhenAServedSendFulfilsItsCondition) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    bool done = false;
    Answer(w, kWorkerReport, [&](WPARAM, LPARAM) {
        done = true;
        return std::optional<LRESULT>(1);
    });
    LRESULT answer = 0;
    std::thread worker([&] { answer = SendMessageW(w, kWorkerReport, 0, 0); });
    EXPECT_EQ(RunModalLoop([&] { return done; }), TModalEnd::Done);
    worker.join();
    EXPECT_EQ(answer, 1);
}

// --- Sends from other threads --------------------------------------------------

class CrossThread : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        tree = Create(WS_POPUP, {0, 0, 10, 10});
        Answer(tree, kWorkerReport, [this](WPARAM enter, LPARAM leave) {
            ++served;
            return std::optional<LRESULT>(LRESULT(enter * 16 + leave));
        });
    }
    void StartWorker() {
        worker = std::thread([this] { answer = SendMessageW(tree, kWorkerReport, 2, 3); });
    }
    void TearDown() override {
        if (worker.joinable()) worker.join();
        WindowTest::TearDown();
    }

    HWND tree = nullptr;
    int served = 0;
    std::thread worker;
    std::atomic<LRESULT> answer{-1};
};

TEST_F(CrossThread, AWorkersSendIsAnsweredWhileTheGuiThreadWaitsInGetMessage) {
    worker = std::thread([this] {
        answer = SendMessageW(tree, kWorkerReport, 2, 3);
        PostMessageW(tree, WM_USER, 0, 0);
    });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    worker.join();
    EXPECT_EQ(answer, 0x23);
    EXPECT_EQ(served, 1);
}

TEST_F(CrossThread, AWorkersSendIsAnsweredWhileTheGuiThreadWaitsForThatWorker) {
    class TWorker : public TThread {
    public:
        explicit TWorker(HWND target) : TThread(true), target_(target) {}
        ~TWorker() override { WaitFor(); }
        std::atomic<LRESULT> answer{-1};

    protected:
        void Execute() override { answer = SendMessageW(target_, kWorkerReport, 1, 1); }

    private:
        HWND target_;
    } thread(tree);
    thread.Start();
    thread.WaitFor();
    EXPECT_EQ(thread.answer, 0x11);
    EXPECT_EQ(served, 1);
}

TEST_F(CrossThread, ASendsOnlyWaitServesTheSendAndLeavesInputPostsAndQuitQueued) {
    ShowWindow(tree, SW_SHOWNA);
    RunUntilIdle();
    Click(tree, 2, 2);
    PostMessageW(tree, WM_USER, 0, 0);
    PostQuitMessage(9);
    StartWorker();
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_SENDMESSAGE, 0), WAIT_OBJECT_0);
    worker.join();
    EXPECT_EQ(answer, 0x23);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE));
    ClearRecord();
    const std::vector<MSG> left = Drain();
    std::vector<UINT> numbers;
    for (const MSG& m : left) numbers.push_back(m.message);
    EXPECT_EQ(numbers, (std::vector<UINT>{WM_USER, WM_QUIT}));
    const std::vector<MSG> input = Drain(); // the quit ended the first drain
    numbers.clear();
    for (const MSG& m : input) numbers.push_back(m.message);
    EXPECT_EQ(numbers, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(CrossThread, ASendsOnlyWaitWithATimeOutEndsWhenTheClockPassesIt) {
    PostMessageW(tree, WM_USER, 0, 0);
    std::atomic<bool> returned = false;
    std::thread ticker([&] {
        while (!returned) Clock().Advance(10);
    });
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_SENDMESSAGE, 0), DWORD(WAIT_TIMEOUT));
    returned = true;
    ticker.join();
    EXPECT_EQ(Drain().size(), 1u);
}

TEST_F(CrossThread, AWorkersSendIsAnsweredInsideAModalLoop) {
    StartWorker();
    EXPECT_EQ(RunModalLoop([&] { return served == 1; }), TModalEnd::Done);
    worker.join();
    EXPECT_EQ(answer, 0x23);
}

TEST_F(CrossThread, ASendToAWindowDestroyedBeforeOrDuringTheWaitAnswersZero) {
    DestroyWindow(tree);
    StartWorker();
    worker.join(); // nobody serves: it must not wait
    EXPECT_EQ(answer, 0);

    tree = Create(WS_POPUP, {0, 0, 10, 10});
    Answer(tree, kWorkerReport, [this](WPARAM, LPARAM) {
        ++served;
        return std::optional<LRESULT>(1);
    });
    StartWorker();
    AwaitIncomingSend();
    DestroyWindow(tree);
    worker.join();
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(served, 0);
}

TEST_F(CrossThread, ASendToAThreadThatEndsAnswersZero) {
    std::atomic<HWND> foreign = nullptr;
    std::thread owner([&] {
        foreign = CreateWindowExW(0, u"TestWindow", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        AwaitIncomingSend();
    });
    while (!foreign) std::this_thread::yield();
    EXPECT_EQ(SendMessageW(foreign, WM_USER, 0, 0), 0);
    owner.join();
}

TEST_F(CrossThread, SendsBetweenTwoThreadsSendingToEachOtherAreServedWhileWaiting) {
    std::atomic<HWND> foreign = nullptr;
    std::atomic<bool> stop = false;
    std::thread owner([&] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpszClassName = u"Echo";
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            // Sends back to the sender's window while the sender waits for this answer.
            if (m == WM_USER) return SendMessageW(reinterpret_cast<HWND>(l), kWorkerReport, w, 1) + 100;
            return DefWindowProcW(h, m, w, l);
        };
        RegisterClassExW(&wc);
        foreign = CreateWindowExW(0, u"Echo", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        MSG msg;
        while (!stop && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
        DestroyWindow(foreign);
        UnregisterClassW(u"Echo", nullptr);
    });
    while (!foreign) std::this_thread::yield();
    EXPECT_EQ(SendMessageW(foreign, WM_USER, 4, LPARAM(tree)), 0x41 + 100);
    EXPECT_EQ(served, 1);
    stop = true;
    PostMessageW(foreign, WM_NULL, 0, 0);
    owner.join();
}

TEST_F(CrossThread, ExceptionsPropagateOnTheSameThreadAndGoToTheHandlerAcrossThreads) {
    Answer(tree, WM_USER, [](WPARAM, LPARAM) -> std::optional<LRESULT> { throw EConvertError("bad value"); });
    EXPECT_THROW(SendMessageW(tree, WM_USER, 0, 0), EConvertError);
    PostMessageW(tree, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_THROW(DispatchMessageW(&msg), EConvertError);

    String reported;
    SetCrossThreadExceptionHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const Exception& e) {
            reported = e.Message();
        }
    });
    LRESULT crossAnswer = -1;
    worker = std::thread([&] { crossAnswer = SendMessageW(tree, WM_USER, 0, 0); });
    AwaitIncomingSend();
    RunUntilIdle();
    worker.join();
    SetCrossThreadExceptionHandler(nullptr);
    EXPECT_EQ(crossAnswer, 0);
    EXPECT_EQ(reported, u"bad value");
}

TEST_F(CrossThread, WorkersSynchronizeWakesTheGuiThreadWaitingForMessages) {
    bool ranOnMain = false;
    worker = std::thread([&] {
        TThread::Synchronize(nullptr, [&] {
            ranOnMain = IsMainThread();
            PostMessageW(tree, WM_USER, 0, 0);
        });
    });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_TRUE(ranOnMain);
}

// --- Timers ----------------------------------------------------------------------

class Timers : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        w = Create(WS_POPUP, {0, 0, 10, 10});
    }
    int Ticks() {
        int ticks = 0;
        for (const MSG& m : Drain())
            if (m.message == WM_TIMER && m.hwnd == w && m.wParam == 1) ++ticks;
        return ticks;
    }
    HWND w = nullptr;
};

TEST_F(Timers, ATimerComesWhenDueAndSettingItAgainRestartsItsPeriod) {
    ASSERT_EQ(SetTimer(w, 1, 50, nullptr), 1u);
    Advance(49);
    EXPECT_EQ(Ticks(), 0);
    Advance(1);
    EXPECT_EQ(Ticks(), 1);
    Advance(50);
    EXPECT_EQ(Ticks(), 1);
    Advance(30);
    SetTimer(w, 1, 50, nullptr);
    Advance(30);
    EXPECT_EQ(Ticks(), 0);
    Advance(20);
    EXPECT_EQ(Ticks(), 1);
}

TEST_F(Timers, AKilledTimerDeliversNothingEvenWhenDue) {
    SetTimer(w, 1, 50, nullptr);
    Advance(50);
    ASSERT_TRUE(KillTimer(w, 1));
    EXPECT_EQ(Ticks(), 0);
    EXPECT_FALSE(KillTimer(w, 1));
}

TEST_F(Timers, AStallGivesOneTimerMessageAndTheRhythmStartsAgain) {
    SetTimer(w, 1, 50, nullptr);
    Advance(1000);
    EXPECT_EQ(Ticks(), 1);
    Advance(49);
    EXPECT_EQ(Ticks(), 0);
    Advance(1);
    EXPECT_EQ(Ticks(), 1);
}

TEST_F(Timers, TimerMessagesComeAfterPendingInputAndPostedMessages) {
    ShowWindow(w, SW_SHOWNA);
    RunUntilIdle();
    SetTimer(w, 1, 50, nullptr);
    Advance(50);
    DesktopMouseMove(ScreenPoint(w, 3, 3));
    PostMessageW(w, WM_USER, 0, 0);
    std::vector<UINT> order;
    for (const MSG& m : Drain()) order.push_back(m.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_MOUSEMOVE, WM_TIMER}));
}

TEST_F(Timers, TimersFireInsideAModalLoopAndCallTheirProcedure) {
    static int calls = 0;
    calls = 0;
    SetTimer(w, 1, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
    const UINT_PTR threadTimer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
    EXPECT_NE(threadTimer, 0u);
    RunModalLoop([&] {
        if (calls >= 4) return true;
        Advance(50);
        return false;
    });
    EXPECT_EQ(calls, 4);
    EXPECT_TRUE(MessagesOf(w, {WM_TIMER}).empty()); // the procedure took them
    EXPECT_TRUE(KillTimer(nullptr, threadTimer));
}

TEST_F(Timers, ADestroyedWindowsTimersStop) {
    SetTimer(w, 1, 50, nullptr);
    DestroyWindow(w);
    Advance(100);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(SetTimer(w, 1, 50, nullptr), 0u);
}

TEST_F(Messages, QueueStatusTellsWhatIsThereAndWhatIsNew) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
    PostMessageW(w, WM_USER, 0, 0);
    DWORD status = GetQueueStatus(QS_POSTMESSAGE);
    EXPECT_EQ(HIWORD(status), QS_POSTMESSAGE);
    EXPECT_EQ(LOWORD(status), QS_POSTMESSAGE);
    status = GetQueueStatus(QS_POSTMESSAGE);
    EXPECT_EQ(HIWORD(status), QS_POSTMESSAGE);
    EXPECT_EQ(LOWORD(status), 0);
    Advance(5);
    Drain();
    EXPECT_EQ(GetMessageTime(), LONG(1'000'000));
}

TEST_F(Messages, AWaitWakesForAPostThatCameBeforeItButNotForOneAlreadySeen) {
    const HWND w = Create(WS_POPUP, {0, 0, 10, 10});
    PostMessageW(w, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_POSTMESSAGE, 0), WAIT_OBJECT_0) << "new since last looked at";
    GetQueueStatus(QS_POSTMESSAGE);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_POSTMESSAGE, 0), DWORD(WAIT_TIMEOUT)) << "seen, not new";
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_POSTMESSAGE, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);
    Drain();
}

} // namespace
