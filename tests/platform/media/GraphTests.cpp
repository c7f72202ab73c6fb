#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "TestPins.h"
#include "platform/media/BaseRenderer.h"
#include "platform/media/GraphManager.h"
#include "platform/media/MemAllocator.h"
#include "platform/media/Source.h"
#include "platform/rtl/Clock.h"

using namespace media_test;

namespace {

constexpr REFERENCE_TIME kFrameTime = 40 * kUnitsPerMs;

// Frames of kFrameTime each, numbered in their first byte.
class TCountingStream : public TBCSourceStream {
public:
    TCountingStream(TBCSource* filter, int frames)
        : TBCSourceStream(u"Counting stream", filter, u"Video"), frames_(frames) {}

    HRESULT GetMediaType(TMediaType& type) override {
        type = Yv12Type(16, 16);
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request) override {
        request.cBuffers = 2;
        request.cbBuffer = static_cast<long>(CurrentMediaType()->lSampleSize);
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(request, actual);
    }
    HRESULT OnThreadStartPlay() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT FillBuffer(IMediaSample* sample) override {
        if (next_ >= frames_) return S_FALSE;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        data[0] = static_cast<BYTE>(next_);
        const REFERENCE_TIME start = next_ * kFrameTime, stop = start + kFrameTime;
        sample->SetTime(&start, &stop);
        ++next_;
        return S_OK;
    }
    using TBCSourceStream::GetMediaType;

private:
    int frames_;
    int next_ = 0;
};

class TCountingSource : public TBCSource {
public:
    explicit TCountingSource(int frames) : TBCSource(u"Counting source", nullptr, GUID_NULL) {
        new TCountingStream(this, frames); // owned by the filter
    }
};

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
    std::vector<TPresented> Presented() const {
        std::lock_guard lock(mutex_);
        return presented_;
    }

protected:
    void DoRenderSample(IMediaSample* sample) override {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::lock_guard lock(mutex_);
        presented_.push_back({data[0], ReferenceTimeNow()});
    }

private:
    mutable std::mutex mutex_;
    std::vector<TPresented> presented_;
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
        source_ = MakeIntf<TCountingSource>(5);
        ASSERT_EQ(graph_->AddFilter(renderer_.get(), u"Renderer"), S_OK);
        ASSERT_EQ(graph_->AddFilter(source_.get(), u"Source"), S_OK);
    }
    void TearDown() override {
        graph_->Stop();
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
    TIntfPtr<TCountingSource> source_;

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

} // namespace
