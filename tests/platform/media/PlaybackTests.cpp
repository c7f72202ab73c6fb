#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#include "SyntheticSource.h"
#include "platform/media/AudioRenderer.h"
#include "platform/media/GraphManager.h"
#include "platform/media/VideoRenderer.h"
#include "platform/rtl/Clock.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/window/Windows.h"

using namespace media_test;

namespace {

constexpr int kPlaybackLeft = 40, kPlaybackTop = 60;
constexpr UINT kGraphNotify = WM_APP + 1;
std::atomic<int> gGraphNotifications{0};

LRESULT PlaybackWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kGraphNotify) ++gGraphNotifications;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool WaitForTrue(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A 320 x 240 window showing the synthetic source through a video renderer
// added first, with its audio rendered by the renderer Render makes.
class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = TBCBaseObject::ObjectCount();
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlaybackWindowProc;
        wc.lpszClassName = u"MediaTestPlaybackWindow";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, u"MediaTestPlaybackWindow", u"", WS_POPUP | WS_VISIBLE, kPlaybackLeft,
                                  kPlaybackTop, 320, 240, nullptr, nullptr, nullptr, nullptr);
        graph_ = MakeIntf<TGraphManager>();
        video_ = MakeIntf<TVideoRenderer>();
        video_->SetWindow(window_);
        video_->SetDestination(RECT{0, 0, 320, 240});
        TSyntheticFormat format;
        format.audio = true;
        format.frames = frames_;
        source_ = MakeIntf<TSyntheticSource>(format);
        ASSERT_EQ(graph_->AddFilter(video_.get(), u"Video Renderer"), S_OK);
        ASSERT_EQ(graph_->AddFilter(source_.get(), u"Source"), S_OK);
        ASSERT_EQ(graph_->Render(source_->VideoPin()), S_OK);
        ASSERT_EQ(graph_->Render(source_->AudioPin()), S_OK);
        graph_->SetNotifyWindow(window_, kGraphNotify, 0);
        gGraphNotifications = 0;
    }
    void TearDown() override {
        graph_->Stop();
        graph_->SetNotifyWindow(nullptr, 0, 0);
        graph_.Reset();
        video_->SetWindow(nullptr);
        video_.Reset();
        source_.Reset();
        DestroyWindow(window_);
        EXPECT_EQ(TBCBaseObject::ObjectCount(), objectsBefore_);
    }
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        UpdateWindow(window_);
    }
    // The picture index shown: 64 x 32 letter-boxed to 320 x 160 from row 40,
    // its eight blocks 40 pixels wide across the upper half.
    int ShownIndex() {
        Pump();
        const TDesktopImage image = ComposeDesktop(RECT{kPlaybackLeft, kPlaybackTop, kPlaybackLeft + 320, kPlaybackTop + 240});
        int index = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const uint32_t pixel = image.Pixel(kPlaybackLeft + 20 + 40 * bit, kPlaybackTop + 70) & 0xFF;
            if (pixel > 200)
                index |= 1 << (7 - bit);
            else if (pixel > 40)
                return -1;
        }
        return index;
    }

    int frames_ = 5;
    HWND window_ = nullptr;
    TIntfPtr<TGraphManager> graph_;
    TIntfPtr<TVideoRenderer> video_;
    TIntfPtr<TSyntheticSource> source_;

private:
    int objectsBefore_ = 0;
};

TEST_F(PlaybackTest, RenderUsesTheVideoRendererAndMakesAnAudioRenderer) {
    EXPECT_TRUE(video_->InputPin()->IsConnected());
    TIntfPtr<IPin> audioInput;
    ASSERT_EQ(source_->AudioPin()->ConnectedTo(audioInput), S_OK);
    TIntfPtr<IBaseFilter> audioRenderer;
    PIN_DIRECTION direction;
    String name;
    audioInput->QueryPinInfo(audioRenderer, &direction, name);
    EXPECT_TRUE(Supports(audioRenderer, IBasicAudio::IID));
}

TEST_F(PlaybackTest, PlaysOnTheManualClockAndTellsTheWindowOfCompletion) {
    TManualClock clock(5000);
    const HRESULT paused = graph_->Pause();
    EXPECT_TRUE(paused == S_FALSE || paused == S_OK);
    ASSERT_TRUE(WaitForTrue([&] {
        FILTER_STATE state;
        return graph_->GetState(0, &state) == S_OK;
    }));
    EXPECT_EQ(ShownIndex(), 0);
    ASSERT_EQ(graph_->Run(), S_OK);
    int lastIndex = 0;
    bool complete = false;
    for (int step = 0; step < 60 && !complete; ++step) {
        clock.Advance(10);
        const int due = std::min(4, (step + 1) * 10 / 40);
        ASSERT_TRUE(WaitForTrue([&] { return video_->FramesDrawn() >= due; }));
        const int shown = ShownIndex();
        EXPECT_GE(shown, lastIndex);
        EXPECT_LE(shown, due) << "a frame shown before its time";
        lastIndex = shown;
        long code;
        LONG_PTR p1, p2;
        while (graph_->GetEvent(&code, &p1, &p2, 0) == S_OK) complete = complete || code == EC_COMPLETE;
    }
    EXPECT_TRUE(complete);
    EXPECT_EQ(lastIndex, 4);
    EXPECT_GE(gGraphNotifications.load(), 1);
    EXPECT_EQ(video_->FramesDropped(), 0);
}

// Two seconds: more audio than the audio renderer's queue holds.
class LongPlaybackTest : public PlaybackTest {
protected:
    void SetUp() override {
        frames_ = 50;
        PlaybackTest::SetUp();
    }
};

TEST_F(LongPlaybackTest, StopReturnsQuicklyWhateverTheThreadsWaitFor) {
    // Paused: the video thread waits in the video renderer's Receive, the
    // audio thread in the audio renderer's full queue.
    graph_->Pause();
    ASSERT_TRUE(WaitForTrue([&] {
        FILTER_STATE state;
        return graph_->GetState(0, &state) == S_OK;
    }));
    TIntfPtr<IPin> audioInput;
    ASSERT_EQ(source_->AudioPin()->ConnectedTo(audioInput), S_OK);
    TIntfPtr<IBaseFilter> audioFilter;
    PIN_DIRECTION direction;
    String name;
    audioInput->QueryPinInfo(audioFilter, &direction, name);
    auto* audio = static_cast<TAudioRenderer*>(audioFilter.get());
    ASSERT_TRUE(WaitForTrue([&] { return audio->QueuedBytes() >= 44100 * 4 * 45 / 100; }));
    audioFilter.Reset();
    audioInput.Reset();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(graph_->Stop(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_FALSE(source_->VideoPin()->ThreadExists());
    EXPECT_FALSE(source_->AudioPin()->ThreadExists());
}

TEST_F(PlaybackTest, SoakOfStateChangesSeeksAndRemovalsNeitherHangsNorLeaks) {
    std::mt19937 random(54);
    for (int cycle = 0; cycle < 200; ++cycle) {
        SCOPED_TRACE(cycle);
        // A watchdog: a cycle that hangs fails the program instead of the run.
        std::atomic<bool> done{false};
        std::thread watchdog([&done, cycle] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!done && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (!done) {
                fprintf(stderr, "soak cycle %d hangs\n", cycle);
                std::abort();
            }
        });
        graph_->Pause();
        graph_->Run();
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        REFERENCE_TIME target = REFERENCE_TIME(random() % 200) * kUnitsPerMs;
        graph_->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
        graph_->Stop();
        ASSERT_EQ(graph_->RemoveFilter(video_.get()), S_OK);
        ASSERT_EQ(graph_->AddFilter(video_.get(), u"Video Renderer"), S_OK);
        ASSERT_EQ(graph_->Render(source_->VideoPin()), S_OK);
        Pump();
        done = true;
        watchdog.join();
    }
}

} // namespace
