#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "SyntheticSource.h"
#include "TestPins.h"
#include "platform/media/BaseRenderer.h"
#include "platform/media/GraphManager.h"
#include "platform/media/MemAllocator.h"
#include "platform/media/Source.h"
#include "platform/rtl/Clock.h"

using namespace media_test;

namespace {

constexpr REFERENCE_TIME kFrameTime = 40 * kUnitsPerMs;

// Records each frame's number and the clock time it was presented at.
class TRecordingRenderer : public TBCBaseRenderer {
public:
    struct TPresented {
        int frame;
        REFERENCE_TIME at;
    };
    TRecordingRenderer() : TBCBaseRenderer(u"Recording renderer", GUID_NULL) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override {
        return type.majortype == MEDIATYPE_Video ? S_OK : E_FAIL;
    }
    HRESULT BeginFlush() override {
        ++flushes_;
        return TBCBaseRenderer::BeginFlush();
    }
    std::vector<TPresented> Presented() const {
        std::lock_guard lock(mutex_);
        return presented_;
    }
    int Flushes() const noexcept { return flushes_.load(); }

protected:
    void DoRenderSample(IMediaSample* sample) override {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const int width = VideoInfoOf(InputPin()->CurrentMediaType().get())->bmiHeader.biWidth;
        std::lock_guard lock(mutex_);
        presented_.push_back({ReadPictureIndex(data, width, width), ReferenceTimeNow()});
    }

private:
    mutable std::mutex mutex_;
    std::vector<TPresented> presented_;
    std::atomic<int> flushes_{0};
};

// Polls in real time: the manual clock does not move by itself.
bool WaitUntilTrue(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = TBCBaseObject::ObjectCount();
        graph_ = MakeIntf<TGraphManager>();
        renderer_ = MakeIntf<TRecordingRenderer>();
        source_ = MakeIntf<TSyntheticSource>(TSyntheticFormat{});
        ASSERT_EQ(graph_->AddFilter(renderer_.get(), u"Renderer"), S_OK);
        ASSERT_EQ(graph_->AddFilter(source_.get(), u"Source"), S_OK);
    }
    void TearDown() override {
        graph_->Stop();
        // Whatever the test did, every buffer is back once stopped.
        if (static_cast<TBCBaseOutputPin*>(SourcePin())->Allocator()) {
            EXPECT_EQ(Allocator()->OutstandingCount(), 0);
        }
        graph_.Reset();
        renderer_.Reset();
        source_.Reset();
        EXPECT_EQ(TBCBaseObject::ObjectCount(), objectsBefore_);
    }
    IPin* SourcePin() { return source_->GetPin(0); }
    TMemAllocator* Allocator() { return static_cast<TMemAllocator*>(static_cast<TBCBaseOutputPin*>(SourcePin())->Allocator()); }

    TManualClock clock_{1000};
    TIntfPtr<TGraphManager> graph_;
    TIntfPtr<TRecordingRenderer> renderer_;
    TIntfPtr<TSyntheticSource> source_;

private:
    int objectsBefore_ = 0;
};

TEST_F(GraphTest, RenderConnectsToAFilterAlreadyInTheGraph) {
    EXPECT_EQ(graph_->Render(SourcePin()), S_OK);
    EXPECT_TRUE(renderer_->InputPin()->IsConnected());
    ASSERT_EQ(graph_->RemoveFilter(renderer_.get()), S_OK);
    EXPECT_FALSE(static_cast<TBCBasePin*>(source_->GetPin(0))->IsConnected());
    EXPECT_EQ(graph_->Render(SourcePin()), VFW_E_CANNOT_RENDER);
}

TEST_F(GraphTest, PauseCompletesWhenTheRendererHoldsTheFirstFrame) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    const HRESULT paused = graph_->Pause();
    ASSERT_TRUE(paused == S_FALSE || paused == S_OK);
    ASSERT_TRUE(WaitUntilTrue([&] {
        FILTER_STATE state;
        return graph_->GetState(0, &state) == S_OK;
    }));
    const auto presented = renderer_->Presented();
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].frame, 0);
    REFERENCE_TIME position = -1;
    graph_->GetCurrentPosition(&position);
    EXPECT_EQ(position, 0);
}

TEST_F(GraphTest, FramesArePresentedAtTheirTimeAndCompletionIsReportedOnce) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->IsReady(); }));
    ASSERT_EQ(graph_->Run(), S_OK);
    const REFERENCE_TIME started = ReferenceTimeNow();
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    int completions = 0;
    auto takeEvents = [&] {
        while (graph_->GetEvent(&code, &p1, &p2, 0) == S_OK)
            if (code == EC_COMPLETE) ++completions;
        return completions > 0;
    };
    REFERENCE_TIME lastPosition = 0;
    // Up to the last step before the last frame ends.
    while (ReferenceTimeNow() - started < 5 * kFrameTime - 7 * kUnitsPerMs) {
        clock_.Advance(7);
        // Every frame due by now is presented before the clock moves on.
        const size_t due = std::min<size_t>(5, size_t((ReferenceTimeNow() - started) / kFrameTime + 1));
        ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->Presented().size() >= due; }));
        REFERENCE_TIME position = 0;
        graph_->GetCurrentPosition(&position);
        EXPECT_GE(position, lastPosition);
        lastPosition = position;
        EXPECT_FALSE(takeEvents()) << "completion before the last frame ended";
    }
    clock_.Advance(7);
    ASSERT_TRUE(WaitUntilTrue(takeEvents));
    const auto presented = renderer_->Presented();
    ASSERT_EQ(presented.size(), 5u);
    for (size_t i = 1; i < presented.size(); ++i) {
        const REFERENCE_TIME due = started + presented[i].frame * kFrameTime;
        EXPECT_GE(presented[i].at, due) << "frame " << i;
        EXPECT_LT(presented[i].at, due + 7 * kUnitsPerMs + kUnitsPerMs) << "frame " << i;
    }
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(graph_->GetEvent(&code, &p1, &p2, 0), E_ABORT);
    // Completed, the position stays where the stream ended.
    REFERENCE_TIME ended = 0, later = 0;
    graph_->GetCurrentPosition(&ended);
    EXPECT_GE(ended, 5 * kFrameTime);
    clock_.Advance(50);
    graph_->GetCurrentPosition(&later);
    EXPECT_EQ(later, ended);
}

TEST_F(GraphTest, PositionFreezesWhilePaused) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->IsReady(); }));
    ASSERT_EQ(graph_->Run(), S_OK);
    clock_.Advance(50);
    REFERENCE_TIME position = 0;
    graph_->GetCurrentPosition(&position);
    EXPECT_EQ(position, 50 * kUnitsPerMs);
    graph_->Pause();
    clock_.Advance(30);
    graph_->GetCurrentPosition(&position);
    EXPECT_EQ(position, 50 * kUnitsPerMs);
}

TEST_F(GraphTest, StopReleasesAPausedRendererAtOnceAndEveryBufferComesBack) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->IsReady(); }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(graph_->Stop(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(Allocator()->OutstandingCount(), 0);
}

TEST_F(GraphTest, StoppingTheSourceAloneDoesNotHang) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->IsReady(); }));
    // The renderer still waits in Receive; the source decommits first, and
    // the streaming thread is only released by the renderer leaving pause.
    auto stopped = std::async(std::launch::async, [&] { return source_->Stop(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    renderer_->Stop();
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

// Disabled: rarely, a completion the renderers report for the segment before
// the seek arrives after it, and the position reads as the completed stream's.
// To be mended in the graph (completions of a flushed segment must not count).
TEST_F(GraphTest, DISABLED_SeekingWhileRunningRestartsAtTheTarget) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->IsReady(); }));
    ASSERT_EQ(graph_->Run(), S_OK);
    clock_.Advance(50);
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->Presented().size() >= 2; }));
    const size_t before = renderer_->Presented().size();

    REFERENCE_TIME target = 3 * kFrameTime + 10 * kUnitsPerMs; // inside frame 3
    const HRESULT hr = graph_->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, 0);
    EXPECT_TRUE(Succeeded(hr));
    EXPECT_EQ(renderer_->Flushes(), 1);
    EXPECT_FALSE(renderer_->InputPin()->IsFlushing());
    EXPECT_EQ(renderer_->InputPin()->CurrentStartTime(), target);
    REFERENCE_TIME position = 0;
    graph_->GetCurrentPosition(&position);
    EXPECT_EQ(position, target);

    // The start waits for the renderer's first sample of the new segment.
    ASSERT_TRUE(WaitUntilTrue([&] {
        FILTER_STATE state;
        return graph_->GetState(0, &state) == S_OK && state == State_Running;
    }));
    clock_.Advance(40);
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->Presented().size() >= before + 2; }));
    const auto presented = renderer_->Presented();
    for (size_t i = before; i < presented.size(); ++i) EXPECT_GE(presented[i].frame, 3) << i;
    graph_->GetCurrentPosition(&position);
    EXPECT_EQ(position, target + 40 * kUnitsPerMs);
}

TEST_F(GraphTest, RunAfterStopWaitsForTheRendererWithoutBlocking) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    // The renderer cannot take a sample before the source streams, so the
    // start is left to the graph's next look.
    const HRESULT hr = graph_->Run();
    ASSERT_TRUE(hr == S_FALSE || hr == S_OK);
    ASSERT_TRUE(WaitUntilTrue([&] {
        FILTER_STATE state;
        return graph_->GetState(0, &state) == S_OK && state == State_Running;
    }));
    ASSERT_GE(renderer_->Presented().size(), 1u);
    EXPECT_EQ(renderer_->Presented()[0].frame, 0);
}

TEST_F(GraphTest, LogFileHasALinePerOperation) {
    // Per process: the test program runs twice at once under CTest (in order and shuffled).
    const std::string path = ::testing::TempDir() + "media_graph." + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    ASSERT_EQ(graph_->SetLogFile(String(path.c_str())), S_OK);
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    graph_->Stop();
    graph_->SetLogFile(String());
    std::ifstream log(path);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("connect to \"Renderer\""), std::string::npos) << text;
    EXPECT_NE(text.find("state paused"), std::string::npos) << text;
    EXPECT_NE(text.find("state stopped"), std::string::npos) << text;
}

TEST_F(GraphTest, FramesFarTooLateAreCountedAndNotPresented) {
    ASSERT_EQ(graph_->Render(SourcePin()), S_OK);
    graph_->Pause();
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->IsReady(); }));
    ASSERT_EQ(graph_->Run(), S_OK);
    // Frames 1 to 4 (40 to 160 ms) are all more than 100 ms late at 300 ms;
    // frame 0, the first after the start, is shown however late.
    clock_.Advance(300);
    ASSERT_TRUE(WaitUntilTrue([&] { return renderer_->FramesDrawn() + renderer_->FramesDropped() == 5; }));
    EXPECT_EQ(renderer_->FramesDrawn(), 1);
    EXPECT_EQ(renderer_->FramesDropped(), 4);
    EXPECT_EQ(renderer_->Presented().size(), 1u);
}

} // namespace
