#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <mutex>

#include "TestMedia.h"
#include "engine/AVConverter.h"
#include "engine/AVUtils.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace std::chrono_literals;

// Runs posted calls until Done holds; false when it does not within 120 s.
bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        CheckSynchronize(10);
    }
    return true;
}

// What a converter raised.
struct TEvents {
    std::mutex mutex;
    std::vector<String> errors;
    std::vector<String> logs;
    int completions = 0;
    int stopped = 0;
    int progress = 0;
};

class Conversion : public testing::Test {
protected:
    void SetUp() override {
        folder_ = TestFolder();
        SetAVErrorHandler([this](const String& text) { boxes_.push_back(text); });
    }
    void TearDown() override { SetAVErrorHandler(nullptr); }

    // A converter from Input to Output whose events go to events_.
    std::unique_ptr<TAVConverter> MakeConverter(const String& input, const String& output) {
        auto converter = std::make_unique<TAVConverter>(nullptr);
        converter->InputFiles()->Add(input);
        converter->OutputFiles()->Add(output);
        converter->OnError = [this](TObject*, const String& message, const String&, bool& handled) {
            std::lock_guard lock(events_.mutex);
            events_.errors.push_back(message);
            handled = true;
        };
        converter->OnLog = [this](TObject*, int level, const String& line) {
            if (level > AV_LOG_ERROR) return;
            std::lock_guard lock(events_.mutex);
            events_.logs.push_back(line);
        };
        converter->OnComplete = [this](TObject*) { ++events_.completions; };
        converter->OnStopped = [this](TObject*) { ++events_.stopped; };
        return converter;
    }

    // Starts Converter and runs the main thread until the run has completed.
    void Complete(TAVConverter& converter, TSemaphore* semaphore = nullptr) {
        const int before = events_.completions;
        converter.StartConversion(semaphore);
        ASSERT_TRUE(PumpUntil([&] { return events_.completions > before; }));
    }

    String folder_;
    TEvents events_;
    std::vector<String> boxes_;
};

struct TTarget {
    const char* file;
    const char* videoCodec; // empty: no video
    const char* audioCodec;
    const char* format;
    const char* videoName;
    const char* audioName;
    // Seconds of sound beyond the source's the output may hold: the encoder's
    // delay and last-frame padding, which AVI cannot mark for trimming.
    double audioExcess;
};

std::ostream& operator<<(std::ostream& os, const TTarget& target) { return os << target.file; }

class Targets : public Conversion, public testing::WithParamInterface<TTarget> {};

TEST_P(Targets, TwoSecondsConvertWithTheirCodecsSizeAndDuration) {
    const TTarget& target = GetParam();
    const String source = folder_ + "source.mkv";
    WriteTestMedia(source, {VideoTrack(160, 120, "mpeg4", 25), AudioTrack(2, "pcm_s16le", 44100)}, 20);
    const String output = folder_ + target.file;
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->SetVideoCodecName(target.videoCodec);
    converter->ConvertOptions()->VideoOptions()->SetVideoDisable(!*target.videoCodec);
    converter->ConvertOptions()->AudioOptions()->SetAudioCodecName(target.audioCodec);
    Complete(*converter);
    EXPECT_TRUE(events_.errors.empty()) << events_.errors[0];
    EXPECT_FALSE(converter->Failed()) << converter->ErrorMessage();

    // Durations: the video's by its frames at 25 per second, the sound's as decoded.
    const TTestMediaInfo info = ReadTestMedia(output);
    EXPECT_EQ(info.format, target.format);
    const TTestStreamInfo* video = info.Find(AVMEDIA_TYPE_VIDEO);
    if (*target.videoCodec) {
        ASSERT_NE(video, nullptr);
        EXPECT_EQ(video->codec, target.videoName);
        EXPECT_EQ(video->width, 160);
        EXPECT_EQ(video->height, 120);
        EXPECT_EQ(video->packets, 50);
    } else {
        EXPECT_EQ(video, nullptr);
    }
    const TTestStreamInfo* audio = info.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->codec, target.audioName);
    EXPECT_EQ(audio->channels, 2);
    EXPECT_EQ(audio->sampleRate, 44100);
    EXPECT_GE(audio->decoded, 2.0);
    EXPECT_LE(audio->decoded, 2.0 + target.audioExcess);
}

INSTANTIATE_TEST_SUITE_P(Conversion, Targets,
                         testing::Values(TTarget{"out.mp4", "libx264", "aac", "mov,mp4,m4a,3gp,3g2,mj2", "h264", "aac", 0.04},
                                         TTarget{"out.avi", "mpeg4", "libmp3lame", "avi", "mpeg4", "mp3", 0.07},
                                         TTarget{"out.mpg", "mpeg2video", "mp2", "mpeg", "mpeg2video", "mp2", 0.04},
                                         TTarget{"out.mp3", "", "libmp3lame", "mp3", "", "mp3", 0.04}),
                         [](const auto& info) { return std::string(ExtractFileExt(String(info.param.file)).substr(1).ToUtf8()); });

} // namespace
