#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

#include "TestMedia.h"
#include "engine/AVConverter.h"
#include "engine/AVUtils.h"
#include "engine/VideoSync.h"
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

namespace {

// Counts the free slots by taking them, and gives them back.
int FreeSlots(TSemaphore& semaphore) {
    int free = 0;
    while (semaphore.WaitFor(0) == wrSignaled) ++free;
    for (int i = 0; i < free; ++i) semaphore.Release();
    return free;
}

// Four seconds at 25 pictures a second with sound.
class LongerConversion : public Conversion {
protected:
    void SetUp() override {
        Conversion::SetUp();
        source_ = folder_ + "source.mkv";
        WriteTestMedia(source_, {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1, "pcm_s16le", 8000)}, 40);
    }
    String source_;
};

TEST_F(LongerConversion, ProgressComesOnTheMainThreadWithTheFigures) {
    auto converter = MakeConverter(source_, folder_ + "out.mp4");
    double lastPosition = 0;
    bool forward = true, mainThread = true;
    converter->OnProgress = [&](TObject* sender) {
        EXPECT_EQ(sender, converter.get());
        mainThread &= IsMainThread();
        forward &= converter->Position() >= lastPosition;
        lastPosition = converter->Position();
        ++events_.progress;
    };
    int stats = 0;
    converter->OnVideoStats = [&](TObject*, int width, int height, double, double avgBitrate, int frames, double) {
        ++stats;
        EXPECT_EQ(width, 96);
        EXPECT_EQ(height, 64);
        EXPECT_GT(avgBitrate, 0);
        EXPECT_GT(frames, 0);
    };
    Complete(*converter);
    EXPECT_TRUE(mainThread);
    EXPECT_TRUE(forward);
    EXPECT_GT(events_.progress, 50);
    EXPECT_GT(stats, 0);
    EXPECT_NEAR(lastPosition, 4.0, 0.2);
    // The final report: kept after the run.
    EXPECT_EQ(converter->InputSize(), static_cast<int64_t>(ReadFileBytes(source_).size()));
    EXPECT_EQ(converter->OutputSize(), static_cast<int64_t>(ReadFileBytes(folder_ + "out.mp4").size()));
    EXPECT_GT(converter->Bitrate(), 0);
    EXPECT_EQ(converter->Position(), 0);
}

TEST_F(LongerConversion, StopInTheMiddleLeavesAPlayableShorterFileAndNoCompletion) {
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source_, output);
    converter->OnProgress = [&](TObject*) {
        if (converter->Position() >= 1.0) converter->StopConversion();
    };
    converter->StartConversion(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return events_.stopped > 0 && converter->State() == cvIdle; }));
    converter.reset();
    CheckSynchronize();
    EXPECT_EQ(events_.stopped, 1);
    EXPECT_EQ(events_.completions, 0);
    EXPECT_TRUE(events_.errors.empty());
    const TTestMediaInfo info = ReadTestMedia(output);
    const TTestStreamInfo* video = info.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_GT(video->packets, 10);
    EXPECT_LT(video->packets, 75);
    EXPECT_NEAR(TestPictureLuma(output, 5, 0, 0, 16, 16), TestPictureLuma(5), 3);
}

// A paused run gives its slot to another conversion, and takes one again when it resumes.
TEST_F(LongerConversion, PauseGivesTheSlotAwayAndResumeTakesItBack) {
    TSemaphore semaphore(1, 1);
    const String pausedOutput = folder_ + "paused.mp4";
    auto paused = MakeConverter(source_, pausedOutput);
    paused->OnProgress = [&](TObject*) {
        if (paused->Position() >= 1.0 && paused->State() == cvRunning && events_.completions == 0)
            paused->PauseConversion();
    };
    paused->StartConversion(&semaphore);
    ASSERT_TRUE(PumpUntil([&] { return paused->State() == cvPaused; }));
    EXPECT_EQ(FreeSlots(semaphore), 1);

    auto other = MakeConverter(source_, folder_ + "other.mp4");
    Complete(*other, &semaphore);
    EXPECT_EQ(paused->State(), cvPaused);
    EXPECT_EQ(events_.completions, 1);

    paused->ResumeConversion();
    ASSERT_TRUE(PumpUntil([&] { return events_.completions == 2; }));
    EXPECT_EQ(FreeSlots(semaphore), 1);
    EXPECT_FALSE(paused->Failed());
    EXPECT_EQ(ReadTestMedia(pausedOutput).Find(AVMEDIA_TYPE_VIDEO)->packets, 100);
}

TEST_F(LongerConversion, PausedThenStoppedRunFinishesItsFileAndFreesNoExtraSlot) {
    TSemaphore semaphore(1, 1);
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source_, output);
    converter->OnProgress = [&](TObject*) {
        if (converter->Position() >= 1.0 && converter->State() == cvRunning) converter->PauseConversion();
    };
    converter->StartConversion(&semaphore);
    ASSERT_TRUE(PumpUntil([&] { return converter->State() == cvPaused; }));
    converter->StopConversion();
    ASSERT_TRUE(PumpUntil([&] { return events_.stopped > 0 && converter->State() == cvIdle; }));
    converter.reset();
    EXPECT_EQ(FreeSlots(semaphore), 1);
    EXPECT_EQ(events_.completions, 0);
    EXPECT_GT(ReadTestMedia(output).Find(AVMEDIA_TYPE_VIDEO)->packets, 10);
}

TEST_F(LongerConversion, SecondStartConvertsAgain) {
    auto converter = MakeConverter(source_, folder_ + "first.mp4");
    Complete(*converter);
    converter->OutputFiles()->SetText(folder_ + "second.mp4");
    Complete(*converter);
    EXPECT_TRUE(events_.errors.empty());
    EXPECT_EQ(ReadTestMedia(folder_ + "first.mp4").Find(AVMEDIA_TYPE_VIDEO)->packets, 100);
    EXPECT_EQ(ReadTestMedia(folder_ + "second.mp4").Find(AVMEDIA_TYPE_VIDEO)->packets, 100);
}

TEST_F(LongerConversion, FrameLimitStopsTheVideoAndTheSoundGoesOn) {
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source_, output);
    converter->ConvertOptions()->VideoOptions()->SetMaxFrames(10);
    Complete(*converter);
    const TTestMediaInfo info = ReadTestMedia(output);
    EXPECT_EQ(info.Find(AVMEDIA_TYPE_VIDEO)->packets, 10);
    EXPECT_NEAR(info.Find(AVMEDIA_TYPE_AUDIO)->decoded, 4.0, 0.15);
}

TEST_F(LongerConversion, RecordingTimeEndsEveryStream) {
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source_, output);
    converter->ConvertOptions()->SetRecordingTime(1000000);
    Complete(*converter);
    const TTestMediaInfo info = ReadTestMedia(output);
    EXPECT_EQ(info.Find(AVMEDIA_TYPE_VIDEO)->packets, 25);
    EXPECT_NEAR(info.Find(AVMEDIA_TYPE_AUDIO)->decoded, 1.0, 0.15);
    EXPECT_NEAR(info.duration, 1.0, 0.15);
}

TEST_F(LongerConversion, SizeLimitStopsTheOutputNearItsBound) {
    // An encoder without look-ahead, so little is still held when the limit is reached.
    const String whole = folder_ + "whole.avi";
    auto converter = MakeConverter(source_, whole);
    Complete(*converter);
    const auto wholeSize = static_cast<int64_t>(ReadFileBytes(whole).size());

    const String limited = folder_ + "limited.avi";
    converter->OutputFiles()->SetText(limited);
    converter->ConvertOptions()->SetLimitFileSize(wholeSize / 3);
    Complete(*converter);
    const auto size = static_cast<int64_t>(ReadFileBytes(limited).size());
    EXPECT_GE(size, wholeSize / 3);
    EXPECT_LT(size, wholeSize / 3 + wholeSize / 10);
}

TEST_F(Conversion, StreamCopyStartsAtAKeyFrame) {
    const String source = folder_ + "source.nut";
    TTestTrack video = VideoTrack(96, 64, "mpeg4", 25);
    video.keyFrameInterval = 10;
    WriteTestMedia(source, {video}, 20);
    const String output = folder_ + "copy.nut";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->SetVideoStreamCopy(true);
    converter->ConvertOptions()->SetStartTime(500000);
    Complete(*converter);

    // The copy begins with the first key frame at or after the start.
    const TTestMediaInfo sourceInfo = ReadTestMedia(source);
    const TTestStreamInfo& original = *sourceInfo.Find(AVMEDIA_TYPE_VIDEO);
    size_t first = 0;
    while (first < original.times.size() && (original.times[first] < 0.5 || !original.keys[first])) ++first;
    ASSERT_LT(first, original.times.size());
    ASSERT_FALSE(original.keys[first - 1]) << "no picture to skip";
    const TTestMediaInfo info = ReadTestMedia(output);
    const TTestStreamInfo& copied = *info.Find(AVMEDIA_TYPE_VIDEO);
    EXPECT_TRUE(copied.startsWithKeyFrame);
    EXPECT_EQ(copied.packets, static_cast<int>(original.times.size() - first));
    EXPECT_NEAR(copied.times[0], original.times[first] - 0.5, 0.001);
    EXPECT_EQ(copied.codec, "mpeg4");
}

// Pictures at 0, 0.1, 0.2, 0.5 (two missing), 0.6 and four more within 0.6 s, then 0.7, 0.8, 0.9 s.
TTestTrack IrregularVideo() {
    TTestTrack video = VideoTrack(96, 64, "mpeg4", 10);
    video.pictureTimes = {0, 100, 200, 500, 600, 610, 620, 630, 700, 800, 900};
    return video;
}

TEST_F(Conversion, ConstantRateOutputRepeatsAndDropsPicturesToKeepItsClock) {
    const String source = folder_ + "source.mkv";
    WriteTestMedia(source, {IrregularVideo()});
    const String output = folder_ + "out.avi";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->FrameRate()->SetNum(10);
    converter->ConvertOptions()->VideoOptions()->FrameRate()->SetDen(1);
    converter->ConvertOptions()->VideoOptions()->SetVideoSyncMethod(vsConstant);
    Complete(*converter);
    // The picture after the gap fills it, the surplus within 0.6 s is dropped;
    // a forced rate counts each picture to its end, so the gap takes one more.
    const TTestMediaInfo info = ReadTestMedia(output);
    const TTestStreamInfo& video = *info.Find(AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(video.packets, 12);
    for (int i : {3, 4, 5}) EXPECT_NEAR(TestPictureLuma(output, i, 0, 0, 16, 16), TestPictureLuma(3), 2) << i;
    EXPECT_NEAR(TestPictureLuma(output, 8, 0, 0, 16, 16), TestPictureLuma(6), 2);
    EXPECT_NEAR(TestPictureLuma(output, 9, 0, 0, 16, 16), TestPictureLuma(8), 2);
}

TEST_F(Conversion, VariableRateOutputDropsEarlyPicturesAndFollowsLateOnes) {
    const String source = folder_ + "source.mkv";
    WriteTestMedia(source, {IrregularVideo()});
    const String output = folder_ + "out.mkv";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->FrameRate()->SetNum(10);
    converter->ConvertOptions()->VideoOptions()->FrameRate()->SetDen(1);
    Complete(*converter);
    const TTestMediaInfo info = ReadTestMedia(output);
    // Two of the four pictures within 0.6 s are dropped; the one after the gap keeps its time.
    std::vector<double> times = info.Find(AVMEDIA_TYPE_VIDEO)->times;
    std::sort(times.begin(), times.end());
    ASSERT_EQ(times.size(), 9u);
    EXPECT_NEAR(times[2], 0.2, 0.001);
    EXPECT_NEAR(times[3], 0.5, 0.001);
    EXPECT_NEAR(TestPictureLuma(output, 6, 0, 0, 16, 16), TestPictureLuma(8), 2);
}

} // namespace

namespace {

TEST_F(Conversion, SeveralInputsAreReadByThreadsOfTheirOwn) {
    const String pictures = folder_ + "pictures.nut";
    const String sound = folder_ + "sound.nut";
    WriteTestMedia(pictures, {VideoTrack(96, 64, "mpeg4", 25)}, 20);
    WriteTestMedia(sound, {AudioTrack(2, "pcm_s16le", 44100)}, 20);
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(pictures, output);
    converter->InputFiles()->Add(sound);
    Complete(*converter);
    EXPECT_TRUE(events_.errors.empty());
    const TTestMediaInfo info = ReadTestMedia(output);
    EXPECT_EQ(info.Find(AVMEDIA_TYPE_VIDEO)->packets, 50);
    EXPECT_NEAR(info.Find(AVMEDIA_TYPE_AUDIO)->decoded, 2.0, 0.04);
}

TEST_F(Conversion, ComplexGraphJoinsTwoInputsIntoOneOutput) {
    const String left = folder_ + "left.nut";
    const String right = folder_ + "right.nut";
    WriteTestMedia(left, {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1, "pcm_s16le", 8000)}, 10);
    WriteTestMedia(right, {VideoTrack(64, 64, "mpeg4", 25)}, 10);
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(left, output);
    converter->InputFiles()->Add(right);
    converter->ConvertOptions()->FilterOptions()->ComplexFilters()->Add("[0:v][1:v]hstack");
    Complete(*converter);
    EXPECT_TRUE(events_.errors.empty()) << events_.errors[0];
    const TTestMediaInfo info = ReadTestMedia(output);
    ASSERT_EQ(info.streams.size(), 2u);
    const TTestStreamInfo& video = *info.Find(AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(video.width, 160);
    EXPECT_EQ(video.height, 64);
    EXPECT_EQ(video.packets, 25);
    EXPECT_NE(info.Find(AVMEDIA_TYPE_AUDIO), nullptr); // the audio is chosen as usual
}

} // namespace
