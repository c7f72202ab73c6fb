#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "TestPins.h"
#include "platform/media/MemAllocator.h"
#include "platform/media/Source.h"
#include "platform/rtl/Conversions.h"

using namespace media_test;

namespace {

class TScriptedStream : public TBCSourceStream {
public:
    TScriptedStream(TBCSource* filter, const String& name) : TBCSourceStream(u"Scripted stream", filter, name) {}

    HRESULT GetMediaType(TMediaType& type) override {
        type = Yv12Type();
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request) override {
        request.cBuffers = 2;
        request.cbBuffer = static_cast<long>(CurrentMediaType()->lSampleSize);
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(request, actual);
    }
    HRESULT OnThreadCreate() override { return ThreadCreateResult; }
    HRESULT FillBuffer(IMediaSample* sample) override {
        ++FillCalls;
        return Fill ? Fill(sample) : S_FALSE;
    }

    HRESULT ThreadCreateResult = S_OK;
    std::function<HRESULT(IMediaSample*)> Fill;
    std::atomic<int> FillCalls{0};
    using TBCSourceStream::GetMediaType;
};

class TScriptedSource : public TBCSource {
public:
    TScriptedSource() : TBCSource(u"Scripted source", nullptr, GUID_NULL) {}
};

class SourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = TBCBaseObject::ObjectCount();
        source_ = MakeIntf<TScriptedSource>();
        // The filter owns its pins.
        video_ = new TScriptedStream(source_.get(), u"Video");
        out_ = new TScriptedStream(source_.get(), u"Out");
        new TScriptedStream(source_.get(), u"Out");
        sink_ = MakeIntf<THostFilter>();
        in_ = sink_->Add<TFakeInputPin>();
    }
    void TearDown() override {
        source_->Stop();
        sink_->Stop();
        DisconnectPair(video_, in_);
        source_.Reset();
        sink_.Reset();
        EXPECT_EQ(TBCBaseObject::ObjectCount(), objectsBefore_);
    }

    TIntfPtr<TScriptedSource> source_;
    TIntfPtr<THostFilter> sink_;
    TScriptedStream* video_ = nullptr;
    TScriptedStream* out_ = nullptr;
    TFakeInputPin* in_ = nullptr;

private:
    int objectsBefore_ = 0;
};

TEST_F(SourceTest, PinsAreFoundByNumberOrName) {
    struct {
        const char16_t* id;
        int position;
    } const cases[] = {{u"1", 0}, {u"2", 1}, {u"3", 2}, {u"Out", 1}, {u"Video", 0}, {u"4", -1}, {u"0", -1},
                       {u"Audio", -1}};
    for (const auto& c : cases) {
        TIntfPtr<IPin> pin;
        const HRESULT hr = source_->FindPin(c.id, pin);
        if (c.position < 0) {
            EXPECT_EQ(hr, VFW_E_NOT_FOUND) << String(c.id).ToUtf8();
            EXPECT_FALSE(pin);
        } else {
            EXPECT_EQ(pin.get(), static_cast<IPin*>(source_->GetPin(c.position))) << String(c.id).ToUtf8();
        }
    }
    for (int i = 0; i < 3; ++i) {
        String id;
        ASSERT_EQ(source_->GetPin(i)->QueryId(id), S_OK);
        EXPECT_EQ(id, IntToStr(i + 1));
    }
}

TEST_F(SourceTest, RunWithoutConnectionMakesNoThread) {
    EXPECT_EQ(source_->Run(0), S_OK);
    EXPECT_FALSE(video_->ThreadExists());
    EXPECT_EQ(source_->State(), State_Running);
}

TEST_F(SourceTest, AFailingThreadStartIsThePausesResult) {
    constexpr HRESULT kRefused = static_cast<HRESULT>(0x80070005);
    video_->ThreadCreateResult = kRefused;
    ASSERT_EQ(video_->Connect(in_, nullptr), S_OK);
    EXPECT_EQ(source_->Pause(), kRefused);
    EXPECT_TRUE(source_->IsStopped());
    EXPECT_FALSE(video_->ThreadExists());
    EXPECT_EQ(video_->FillCalls, 0);
}

TEST_F(SourceTest, StreamsUntilTheEndAndGivesEveryBufferBack) {
    std::atomic<int> received{0};
    in_->OnReceive = [&](IMediaSample*) {
        ++received;
        return S_OK;
    };
    video_->Fill = [&](IMediaSample*) { return video_->FillCalls <= 5 ? S_OK : S_FALSE; };
    ASSERT_EQ(video_->Connect(in_, nullptr), S_OK);
    ASSERT_EQ(sink_->Pause(), S_OK);
    ASSERT_EQ(source_->Pause(), S_OK);
    ASSERT_TRUE(video_->ThreadExists());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (video_->FillCalls < 6 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(source_->Stop(), S_OK);
    EXPECT_FALSE(video_->ThreadExists());
    EXPECT_EQ(received, 5);
    EXPECT_EQ(static_cast<TMemAllocator*>(video_->Allocator())->OutstandingCount(), 0);
}

TEST_F(SourceTest, StopWaitsForTheCurrentFillBuffer) {
    TEvent release(true, false), filling(true, false);
    video_->Fill = [&](IMediaSample*) {
        filling.SetEvent();
        release.WaitFor(INFINITE);
        return HRESULT(99); // nothing ready
    };
    ASSERT_EQ(video_->Connect(in_, nullptr), S_OK);
    ASSERT_EQ(sink_->Pause(), S_OK);
    ASSERT_EQ(source_->Pause(), S_OK);
    ASSERT_EQ(filling.WaitFor(5000), wrSignaled);
    auto stopped = std::async(std::launch::async, [&] { return source_->Stop(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    release.SetEvent();
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(stopped.get(), S_OK);
    EXPECT_FALSE(video_->ThreadExists());
}

TEST_F(SourceTest, StopReleasesAThreadWaitingForABuffer) {
    // The input pin holds every sample, so the thread waits in GetBuffer.
    std::vector<TIntfPtr<IMediaSample>> held;
    std::mutex heldLock;
    in_->OnReceive = [&](IMediaSample* sample) {
        std::lock_guard lock(heldLock);
        held.emplace_back(sample);
        return S_OK;
    };
    video_->Fill = [](IMediaSample*) { return S_OK; };
    ASSERT_EQ(video_->Connect(in_, nullptr), S_OK);
    ASSERT_EQ(sink_->Pause(), S_OK);
    ASSERT_EQ(source_->Pause(), S_OK);
    while (video_->FillCalls < 2) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(source_->Stop(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    held.clear();
    EXPECT_EQ(static_cast<TMemAllocator*>(video_->Allocator())->OutstandingCount(), 0);
}

} // namespace
