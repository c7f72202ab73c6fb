#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "SyntheticSource.h"
#include "platform/media/AudioRenderer.h"
#include "platform/media/GraphManager.h"
#include "platform/media/GraphUtil.h"
#include "platform/rtl/Clock.h"

using namespace media_test;

namespace {

constexpr int64_t kBytesPerSecond = 44100 * 4;
constexpr int64_t kChunkBytes = 441 * 4;
constexpr int64_t kTwoSeconds = 2 * kBytesPerSecond;

bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class AudioGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = TBCBaseObject::ObjectCount();
        graph_ = MakeIntf<TGraphManager>();
        TSyntheticFormat format;
        format.frames = 50; // two seconds
        format.audio = true;
        source_ = MakeIntf<TSyntheticSource>(format);
        ASSERT_EQ(graph_->AddFilter(source_.get(), u"Source"), S_OK);
    }
    void TearDown() override {
        graph_->Stop();
        audio_.Reset();
        graph_.Reset();
        source_.Reset();
        EXPECT_EQ(TBCBaseObject::ObjectCount(), objectsBefore_);
    }
    // Renders the audio pin and takes the renderer the graph made.
    void RenderAudio() {
        ASSERT_EQ(graph_->Render(source_->AudioPin()), S_OK);
        TIntfPtr<IPin> connected;
        ASSERT_EQ(source_->AudioPin()->ConnectedTo(connected), S_OK);
        TIntfPtr<IBaseFilter> filter;
        PIN_DIRECTION direction;
        String name;
        connected->QueryPinInfo(filter, &direction, name);
        audio_ = static_cast<TAudioRenderer*>(filter.get());
        audio_->SetTap([this](std::span<const BYTE> bytes) {
            std::lock_guard lock(tapMutex_);
            tapped_.insert(tapped_.end(), bytes.begin(), bytes.end());
        });
    }
    void Start() {
        graph_->Pause();
        ASSERT_TRUE(WaitFor([&] { return audio_->IsReady(); }));
        ASSERT_EQ(graph_->Run(), S_OK);
    }
    // Moves the clock by Ms in 10 ms steps, each consumed before the next; the
    // source keeps ahead of the device first (it streams in real time, the
    // clock only moves here).
    void Play(int ms) {
        for (int t = 0; t < ms; t += 10) {
            const int64_t ahead = std::min(4 * kChunkBytes, kTwoSeconds - audio_->BytesConsumed());
            ASSERT_TRUE(WaitFor([&] { return audio_->QueuedBytes() >= ahead; })) << played_;
            clock_.Advance(10);
            played_ += 10;
            const int64_t due = std::min(kTwoSeconds, (played_ / 10 + 1) * kChunkBytes);
            ASSERT_TRUE(WaitFor([&] { return audio_->BytesConsumed() >= due; })) << played_;
        }
    }
    std::vector<int16_t> Tapped() {
        std::lock_guard lock(tapMutex_);
        const auto* begin = reinterpret_cast<const int16_t*>(tapped_.data());
        return std::vector<int16_t>(begin, begin + tapped_.size() / 2);
    }
    bool TakeCompletion() {
        long code;
        LONG_PTR p1, p2;
        bool complete = false;
        while (graph_->GetEvent(&code, &p1, &p2, 0) == S_OK) complete = complete || code == EC_COMPLETE;
        return complete;
    }

    TManualClock clock_{1000};
    TIntfPtr<TGraphManager> graph_;
    TIntfPtr<TSyntheticSource> source_;
    TIntfPtr<TAudioRenderer> audio_;
    int64_t played_ = 0;
    std::mutex tapMutex_;
    std::vector<BYTE> tapped_;

private:
    int objectsBefore_ = 0;
};

TEST_F(AudioGraphTest, RenderMakesAnAudioRendererButNoVideoRenderer) {
    EXPECT_EQ(graph_->Render(source_->VideoPin()), VFW_E_CANNOT_RENDER);
    EXPECT_THROW(CheckDirectShowResult(graph_->Render(source_->VideoPin())), EDirectShowException);
    RenderAudio();
    ASSERT_TRUE(audio_);
    int filters = 0;
    TIntfPtr<IEnumFilters> all;
    graph_->EnumFilters(all);
    TIntfPtr<IBaseFilter> filter;
    ULONG fetched;
    while (all->Next(1, &filter, &fetched) == S_OK) ++filters;
    EXPECT_EQ(filters, 2);
}

TEST_F(AudioGraphTest, TheSilentDeviceConsumesAtTheByteRateAndCompletesAfterTheLastByte) {
    RenderAudio();
    Start();
    for (int second = 0; second < 2; ++second) {
        Play(500);
        const int64_t expected = played_ * kBytesPerSecond / 1000;
        EXPECT_LE(std::abs(audio_->BytesConsumed() - expected), kChunkBytes) << played_;
        // Pause holds.
        graph_->Pause();
        const int64_t held = audio_->BytesConsumed();
        clock_.Advance(200);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(audio_->BytesConsumed(), held);
        ASSERT_TRUE(Succeeded(graph_->Run()));
        Play(490);
    }
    EXPECT_FALSE(TakeCompletion());
    Play(30);
    EXPECT_EQ(audio_->BytesConsumed(), kTwoSeconds);
    ASSERT_TRUE(WaitFor([&] {
        clock_.Advance(10);
        return TakeCompletion();
    }));
}

TEST_F(AudioGraphTest, FlushDropsTheQueue) {
    RenderAudio();
    Start();
    Play(100);
    REFERENCE_TIME target = 0;
    ASSERT_TRUE(Succeeded(graph_->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, 0)));
    // The stream starts again from its first byte.
    ASSERT_TRUE(WaitFor([&] {
        FILTER_STATE state;
        return graph_->GetState(0, &state) == S_OK && state == State_Running;
    }));
    EXPECT_LE(audio_->BytesConsumed(), kChunkBytes);
}

TEST_F(AudioGraphTest, GainIsBitExactAtFullVolumeSilentAtTheBottomAndBalanceMutesTheRight) {
    struct {
        long volume, balance;
        bool leftSilent, rightSilent;
    } const cases[] = {{0, 0, false, false}, {-10000, 0, true, true}, {0, -10000, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        SCOPED_TRACE(c.balance);
        TearDown();
        SetUp();
        tapped_.clear();
        played_ = 0;
        RenderAudio();
        audio_->put_Volume(c.volume);
        audio_->put_Balance(c.balance);
        Start();
        Play(100);
        const std::vector<int16_t> samples = Tapped();
        ASSERT_GE(samples.size(), 2u * 4410);
        for (size_t frame = 0; frame < 4410; ++frame) {
            const int16_t source = SyntheticSineAt(int64_t(frame), 44100);
            ASSERT_EQ(samples[2 * frame], c.leftSilent ? 0 : source) << frame;
            ASSERT_EQ(samples[2 * frame + 1], c.rightSilent ? 0 : source) << frame;
        }
    }
}

} // namespace
