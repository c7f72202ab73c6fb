#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <mutex>
#include <thread>

#include "ResourceLimit.h"
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

    void Clear() {
        std::lock_guard lock(mutex);
        errors.clear();
        logs.clear();
        completions = stopped = progress = 0;
    }
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
                                         TTarget{"out.mp3", "", "libmp3lame", "mp3", "", "mp3", 0.04},
                                         TTarget{"out.mkv", "mjpeg", "pcm_s16le", "matroska,webm", "mjpeg", "pcm_s16le", 0.04}),
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

// A transport stream starts at its first picture's presentation time, and its
// demuxer seeks by decoding time: a seek to that start would pass the picture.
TEST_F(Conversion, ATransportStreamConvertsFromItsFirstPicture) {
    const String source = folder_ + "source.ts";
    WriteTestMedia(source, {VideoTrack(160, 120, "mpeg2video", 25)}, 10);
    const String output = folder_ + "out.mkv";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->SetVideoCodecName("mpeg4");
    converter->ConvertOptions()->VideoOptions()->SetVideoQscale(2);
    Complete(*converter);
    EXPECT_FALSE(converter->Failed()) << converter->ErrorMessage();

    const auto pictures = DecodePictures(output);
    ASSERT_EQ(pictures.size(), 25u);
    for (size_t i = 0; i < pictures.size(); ++i)
        EXPECT_NEAR(pictures[i].luma, TestPictureLuma(static_cast<int>(i)), 3) << i;
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

namespace {

// Makes Folder the current folder for the scope.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const String& folder) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.ToUtf8());
    }
    ~TCurrentFolder() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

class TwoPasses : public Conversion {
protected:
    void SetUp() override {
        Conversion::SetUp();
        source_ = folder_ + "source.nut";
        WriteTestMedia(source_, {VideoTrack(96, 64, "mpeg4", 25)}, 10);
    }
    String source_;
};

TEST_F(TwoPasses, FirstPassWritesTheStatisticsTheSecondReads) {
    for (const char* encoder : {"mpeg4", "libx264"}) {
        SCOPED_TRACE(encoder);
        const String folder = folder_ + encoder + "/";
        ASSERT_TRUE(ForceDirectories(folder));
        const TCurrentFolder current(folder);
        auto converter = MakeConverter(source_, folder + "out.mp4");
        TVideoOptions& video = *converter->ConvertOptions()->VideoOptions();
        video.SetVideoCodecName(encoder);
        video.SetBitrate(200000);
        video.SetPass(1);
        Complete(*converter);
        ASSERT_TRUE(FileExists(folder + "ffmpeg2pass-0.log"));
        EXPECT_GT(ReadFileBytes(folder + "ffmpeg2pass-0.log").size(), 100u);

        video.SetPass(2);
        Complete(*converter);
        EXPECT_TRUE(events_.errors.empty()) << events_.errors[0];
        EXPECT_FALSE(converter->Failed());
        EXPECT_EQ(ReadTestMedia(folder + "out.mp4").Find(AVMEDIA_TYPE_VIDEO)->packets, 25);
    }
}

// A failed transcode completes, as it always did, and says that it failed.
TEST_F(TwoPasses, SecondPassWithoutStatisticsFailsAndStillCompletes) {
    const TCurrentFolder current(folder_);
    auto converter = MakeConverter(source_, folder_ + "out.avi");
    converter->ConvertOptions()->VideoOptions()->SetPass(2);
    std::thread::id errorThread;
    converter->OnError = [&](TObject*, const String& message, const String&, bool& handled) {
        errorThread = std::this_thread::get_id();
        events_.errors.push_back(message);
        handled = true;
    };
    Complete(*converter);
    ASSERT_EQ(events_.errors.size(), 1u);
    EXPECT_TRUE(events_.errors[0].starts_with(u"Cannot open file")) << events_.errors[0];
    EXPECT_EQ(errorThread, std::this_thread::get_id());
    EXPECT_TRUE(converter->Failed());
    EXPECT_EQ(converter->ErrorMessage(), events_.errors[0]);
    ASSERT_FALSE(events_.logs.empty());
    EXPECT_EQ(events_.logs.back(), "Conversion failed: " + events_.errors[0]);

    // The next run starts without the failure.
    converter->ConvertOptions()->VideoOptions()->SetPass(0);
    Complete(*converter);
    EXPECT_FALSE(converter->Failed());
    EXPECT_EQ(converter->ErrorMessage(), "");
}

TEST_F(Conversion, FailedWriteEndsTheRunAsFailed) {
    const String source = folder_ + "source.nut";
    WriteTestMedia(source, {VideoTrack(96, 64, "mpeg4", 25)}, 20);
    auto converter = MakeConverter(source, folder_ + "out.nut");
    {
        const TScopedResourceLimit limit(RLIMIT_FSIZE, 4096);
        Complete(*converter);
    }
    // Whichever write finds the file full fails the run.
    EXPECT_EQ(events_.errors.size(), 1u);
    EXPECT_TRUE(converter->Failed());
}

TEST_F(Conversion, VideoBufferShowsEveryPictureAsBGRA) {
    const String source = folder_ + "source.nut";
    WriteTestMedia(source, {VideoTrack(64, 48, "mpeg4", 25)}, 10);
    auto converter = MakeConverter(source, folder_ + "out.mp4");
    std::vector<double> times;
    bool mainThread = true, grey = true;
    converter->OnVideoBuffer = [&](TObject*, TAVBitmap* bitmap, double time, bool& modified) {
        mainThread &= IsMainThread();
        EXPECT_EQ(bitmap->Width(), 64);
        EXPECT_EQ(bitmap->Height(), 48);
        // Studio-range grey Y becomes full-range grey (Y - 16) * 255 / 219.
        const double expected = (TestPictureLuma(static_cast<int>(times.size())) - 16) * 255.0 / 219;
        const uint8_t* pixel = bitmap->Bits() + (20 * 64 + 30) * 4;
        for (int c = 0; c < 3; ++c) grey &= std::abs(pixel[c] - expected) <= 4;
        EXPECT_EQ(pixel[3], 255);
        times.push_back(time);
        EXPECT_FALSE(modified);
    };
    Complete(*converter);
    EXPECT_TRUE(mainThread);
    EXPECT_TRUE(grey);
    ASSERT_EQ(times.size(), 25u);
    for (size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i], 0.04 * static_cast<double>(i), 1e-9);
}

TEST_F(Conversion, WhatVideoBufferPaintsAppearsInTheOutputWhenItSaysSo) {
    const String source = folder_ + "source.nut";
    WriteTestMedia(source, {VideoTrack(64, 48, "mpeg4", 25)}, 5);
    for (const bool say : {true, false}) {
        SCOPED_TRACE(say);
        const String output = folder_ + (say ? "painted.mp4" : "unchanged.mp4");
        auto converter = MakeConverter(source, output);
        converter->OnVideoBuffer = [&](TObject*, TAVBitmap* bitmap, double, bool& modified) {
            for (int y = 0; y < 16; ++y) std::memset(bitmap->Bits() + y * bitmap->Width() * 4, 255, 16 * 4);
            modified = say;
        };
        Complete(*converter);
        const double corner = TestPictureLuma(output, 2, 0, 0, 16, 16);
        EXPECT_NEAR(TestPictureLuma(output, 2, 32, 24, 16, 16), TestPictureLuma(2), 2);
        if (say)
            EXPECT_NEAR(corner, 235, 3);
        else
            EXPECT_NEAR(corner, TestPictureLuma(2), 2);
    }
}

TEST_F(Conversion, DeinterlacingFailureIsShownOncePerRun) {
    const String source = folder_ + "odd.nut";
    WriteTestMedia(source, {VideoTrack(66, 50, "mpeg4", 25)}, 10);
    auto converter = MakeConverter(source, folder_ + "out.mp4");
    converter->ConvertOptions()->VideoOptions()->SetDeinterlace(true);
    for (int run = 1; run <= 2; ++run) {
        Complete(*converter);
        EXPECT_EQ(boxes_, std::vector<String>(static_cast<size_t>(run), "Deinterlacing failed"));
        EXPECT_FALSE(converter->Failed());
    }
    EXPECT_EQ(ReadTestMedia(folder_ + "out.mp4").Find(AVMEDIA_TYPE_VIDEO)->packets, 25);
}

TEST_F(Conversion, DeinterlacedPicturesAreEncoded) {
    const String source = folder_ + "even.nut";
    WriteTestMedia(source, {VideoTrack(64, 48, "mpeg4", 25)}, 10);
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->SetDeinterlace(true);
    Complete(*converter);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(ReadTestMedia(output).Find(AVMEDIA_TYPE_VIDEO)->packets, 25);
    EXPECT_NEAR(TestPictureLuma(output, 3, 8, 8, 16, 16), TestPictureLuma(3), 2);
}

} // namespace

namespace {

// A file whose first Fraction of Source survives.
String Truncated(const String& source, double fraction, const String& target) {
    std::vector<uint8_t> bytes = ReadFileBytes(source);
    bytes.resize(static_cast<size_t>(static_cast<double>(bytes.size()) * fraction));
    std::ofstream(target.ToUtf8(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                             static_cast<std::streamsize>(bytes.size()));
    return target;
}

String Noise(const String& target, size_t size) {
    std::mt19937 random(20240611);
    std::vector<char> bytes(size);
    for (char& byte : bytes) byte = static_cast<char>(random());
    std::ofstream(target.ToUtf8(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    return target;
}

// Damaged in the middle: a stretch of Source overwritten with noise.
String Damaged(const String& source, const String& target) {
    std::vector<uint8_t> bytes = ReadFileBytes(source);
    std::mt19937 random(7);
    for (size_t i = bytes.size() * 2 / 5; i < bytes.size() * 3 / 5; ++i) bytes[i] = static_cast<uint8_t>(random());
    std::ofstream(target.ToUtf8(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                             static_cast<std::streamsize>(bytes.size()));
    return target;
}

struct TCorruptCase {
    const char* name;
    String (*make)(const String& folder);
    bool opens; // the damage shows only while converting: the run completes, failed
    const char* fault; // the message after "Input file <name> "
};

TEST_F(Conversion, CorruptInputsFailWithTheKindOfDamageNamed) {
    const TCorruptCase cases[] = {
        {"mp4 cut in half",
         [](const String& folder) {
             WriteTestMedia(folder + "whole.mp4", {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1, "aac", 8000)}, 20);
             return Truncated(folder + "whole.mp4", 0.5, folder + "half.mp4");
         },
         false, "is cut short or damaged"},
        {"matroska cut in half",
         [](const String& folder) {
             WriteTestMedia(folder + "whole.mkv", {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1)}, 20);
             return Truncated(folder + "whole.mkv", 0.5, folder + "half.mkv");
         },
         true, "is cut short or damaged"},
        {"noise named avi", [](const String& folder) { return Noise(folder + "noise.avi", 200000); }, false,
         "is not a media file"},
        {"noise named mp4", [](const String& folder) { return Noise(folder + "noise.mp4", 200000); }, false,
         "is not a media file"},
    };
    for (const TCorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        events_.Clear();
        const String input = c.make(folder_);
        const String output = folder_ + "out.mp4";
        auto converter = MakeConverter(input, output);
        converter->StartConversion(nullptr);
        if (c.opens) {
            ASSERT_TRUE(PumpUntil([&] { return events_.completions > 0; }));
            EXPECT_GT(ReadTestMedia(output).Find(AVMEDIA_TYPE_VIDEO)->packets, 0); // what there was
        } else {
            ASSERT_TRUE(PumpUntil([&] { return !events_.errors.empty() && converter->State() == cvIdle; }));
            EXPECT_EQ(events_.errors[0], converter->ErrorMessage());
        }
        EXPECT_TRUE(converter->Failed());
        // The converter's words; FFmpeg's come before them in the log.
        EXPECT_EQ(converter->ErrorMessage(), "Input file " + input + " " + c.fault);
        ASSERT_GE(events_.logs.size(), 2u);
        EXPECT_EQ(events_.logs.back(), "Conversion failed: " + converter->ErrorMessage());
    }
}

// Noise in the middle of a file is reported and skipped: the demuxer finds
// its way again and the run converts what it can.
TEST_F(Conversion, DamagedMiddleIsLoggedAndSkipped) {
    WriteTestMedia(folder_ + "whole.mkv", {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1)}, 20);
    auto converter = MakeConverter(Damaged(folder_ + "whole.mkv", folder_ + "damaged.mkv"), folder_ + "out.mp4");
    Complete(*converter);
    EXPECT_FALSE(events_.logs.empty());
    EXPECT_GT(ReadTestMedia(folder_ + "out.mp4").Find(AVMEDIA_TYPE_VIDEO)->packets, 25);
}

} // namespace

namespace {

struct TAwkwardInput {
    const char* name;
    std::vector<TTestTrack> tracks;
    const char* container;
    int width = 0; // of the output; 0: no video
    int height = 0;
};

std::ostream& operator<<(std::ostream& os, const TAwkwardInput& input) { return os << input.name; }

TTestTrack LateVideo() {
    TTestTrack video = VideoTrack(96, 64, "mpeg4", 25);
    video.start = 0.5;
    return video;
}

TTestTrack VariableRateVideo() {
    TTestTrack video = VideoTrack(96, 64, "mpeg4", 25);
    // Pictures 40 ms apart, some later by up to 35 ms, some missing.
    for (int i = 0; i < 50; ++i)
        if (i % 11 != 5) video.pictureTimes.push_back(i * 40 + (i % 3 == 1 ? 15 : 0) + (i % 5 == 2 ? 20 : 0));
    return video;
}

class AwkwardInputs : public Conversion, public testing::WithParamInterface<TAwkwardInput> {};

TEST_P(AwkwardInputs, ConvertToMP4WithTheirDuration) {
    const TAwkwardInput& input = GetParam();
    const String source = folder_ + "source." + input.container;
    WriteTestMedia(source, input.tracks, 20);
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->SetVideoCodecName("libx264");
    converter->ConvertOptions()->AudioOptions()->SetAudioCodecName("aac");
    Complete(*converter);
    EXPECT_TRUE(events_.errors.empty()) << events_.errors[0];
    EXPECT_FALSE(converter->Failed()) << converter->ErrorMessage();

    const TTestMediaInfo in = ReadTestMedia(source), out = ReadTestMedia(output);
    EXPECT_NEAR(out.duration, in.duration, 0.1);
    const TTestStreamInfo* video = out.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video != nullptr, input.width != 0);
    if (video) {
        EXPECT_EQ(video->codec, "h264");
        EXPECT_EQ(video->width, input.width);
        EXPECT_EQ(video->height, input.height);
    }
    EXPECT_EQ(out.Find(AVMEDIA_TYPE_AUDIO) != nullptr, in.Find(AVMEDIA_TYPE_AUDIO) != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, AwkwardInputs,
    testing::Values(
        TAwkwardInput{"OddSize", {VideoTrack(641, 359, "ffv1", 25), AudioTrack(2)}, "nut", 640, 358},
        TAwkwardInput{"Portrait", {VideoTrack(72, 128, "mpeg4", 25), AudioTrack(2)}, "nut", 72, 128},
        TAwkwardInput{"FivePointOne", {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(6, "pcm_s16le", 48000)}, "nut", 96, 64},
        TAwkwardInput{"EightKilohertzMono", {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(1, "pcm_s16le", 8000)}, "nut", 96, 64},
        TAwkwardInput{"SixtyPerSecond", {VideoTrack(96, 64, "mpeg4", 60), AudioTrack(2)}, "nut", 96, 64},
        TAwkwardInput{"TwoAudioTracks", {VideoTrack(96, 64, "mpeg4", 25), AudioTrack(2), AudioTrack(1, "pcm_s16le", 22050)}, "mkv", 96, 64},
        TAwkwardInput{"NoAudio", {VideoTrack(96, 64, "mpeg4", 25)}, "nut", 96, 64},
        TAwkwardInput{"AudioOnly", {AudioTrack(2, "pcm_s16le", 44100)}, "wav"},
        TAwkwardInput{"VideoStartsLater", {LateVideo(), AudioTrack(2)}, "mkv", 96, 64},
        TAwkwardInput{"VariableFrameRate", {VariableRateVideo(), AudioTrack(2)}, "mkv", 96, 64}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

struct TCompleteAudio {
    const char* container;
    const char* codec;
};

std::ostream& operator<<(std::ostream& os, const TCompleteAudio& audio) { return os << audio.container; }

class CompleteAudioFiles : public Conversion, public testing::WithParamInterface<TCompleteAudio> {};

// A whole file is never taken for a cut one, however many pictures or
// samples its decoder holds back until the end (frame-threaded FLAC holds
// several frames), and whatever its length.
TEST_P(CompleteAudioFiles, ConvertWithoutBeingReportedCutShort) {
    for (const int tenths : {3, 25, 60, 61}) {
        SCOPED_TRACE(tenths);
        events_.Clear();
        const String source = folder_ + "source." + GetParam().container;
        WriteTestMedia(source, {AudioTrack(2, GetParam().codec, 44100)}, tenths);
        const String output = folder_ + "out.m4a";
        auto converter = MakeConverter(source, output);
        converter->ConvertOptions()->AudioOptions()->SetAudioCodecName("aac");
        Complete(*converter);
        EXPECT_TRUE(events_.errors.empty()) << events_.errors[0];
        EXPECT_FALSE(converter->Failed()) << converter->ErrorMessage();
        EXPECT_NEAR(ReadTestMedia(output).Find(AVMEDIA_TYPE_AUDIO)->decoded,
                    ReadTestMedia(source).Find(AVMEDIA_TYPE_AUDIO)->decoded, 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(Conversion, CompleteAudioFiles,
                         testing::Values(TCompleteAudio{"flac", "flac"}, TCompleteAudio{"wav", "pcm_s16le"},
                                         TCompleteAudio{"mp3", "libmp3lame"}),
                         [](const auto& info) { return std::string(info.param.container); });

} // namespace

namespace {

struct TSetUpFailure {
    const char* what;
    void (*set)(TAVConvertOptions&);
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const TSetUpFailure& failure) { return os << failure.what; }

class SetUpFailures : public Conversion, public testing::WithParamInterface<TSetUpFailure> {};

// Failures of the transcode's set-up are reported on the main thread and the
// run completes, failed.
TEST_P(SetUpFailures, AreReportedAndTheRunCompletesFailed) {
    const String source = folder_ + "source.nut";
    WriteTestMedia(source, {VideoTrack(64, 48), AudioTrack(1)});
    auto converter = MakeConverter(source, folder_ + "out.nut");
    GetParam().set(*converter->ConvertOptions());
    Complete(*converter);
    EXPECT_EQ(events_.errors, std::vector<String>{GetParam().message});
    EXPECT_TRUE(converter->Failed());
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, SetUpFailures,
    testing::Values(TSetUpFailure{"audio copy with a volume",
                                  [](TAVConvertOptions& o) {
                                      o.AudioOptions()->SetAudioStreamCopy(true);
                                      o.AudioOptions()->SetAudioVolume(255);
                                  },
                                  "-acodec copy and -vol are incompatible (frames are not decoded)"},
                    TSetUpFailure{"fewer streams than maps",
                                  [](TAVConvertOptions& o) {
                                      o.StreamMaps()->SetText("0:v\n0:a");
                                      o.AudioOptions()->SetAudioDisable(true);
                                  },
                                  "Number of stream maps must match number of output streams"},
                    TSetUpFailure{"encoder refusing its settings",
                                  [](TAVConvertOptions& o) { o.VideoOptions()->SetVideoCodecName("h263"); },
                                  "Error while opening codec for output stream - maybe incorrect parameters such as "
                                  "bit_rate, rate, width or height"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST_F(Conversion, FrameAspectRatioSetsTheSampleAspectRatio) {
    const String source = folder_ + "source.nut";
    WriteTestMedia(source, {VideoTrack(720, 576, "mpeg4", 25)}, 1);
    const String output = folder_ + "out.mp4";
    auto converter = MakeConverter(source, output);
    converter->ConvertOptions()->VideoOptions()->SetFrameAspectRatio(1.7777778f);
    Complete(*converter);
    const AVRational aspect = ReadTestMedia(output).Find(AVMEDIA_TYPE_VIDEO)->aspect;
    EXPECT_EQ(aspect.num, 64);
    EXPECT_EQ(aspect.den, 45);
}

} // namespace
