// Conversions from the DVD title source and the capture inputs, driven as the
// application drives a converter.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <mutex>

#include "TestDvd.h"
#include "TestMedia.h"
#include "XvfbDisplay.h"
#include "engine/AVConverter.h"
#include "engine/BitmapCapture.h"
#include "engine/DvdStream.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace std::chrono_literals;

// Converts Input into Output with MPEG-4 video at a fine quantiser and AAC
// sound, after Set has changed the options; the failure the run reported,
// empty when it completed without one.
String Convert(const String& input, const String& output, const std::function<void(TAVConvertOptions&)>& set = {}) {
    TAVConverter converter(nullptr);
    converter.InputFiles()->Add(input);
    converter.OutputFiles()->Add(output);
    TAVConvertOptions& options = *converter.ConvertOptions();
    options.VideoOptions()->SetVideoCodecName("mpeg4");
    options.VideoOptions()->SetVideoQscale(2);
    options.AudioOptions()->SetAudioCodecName("aac");
    if (set) set(options);
    std::mutex mutex;
    String error;
    std::atomic<bool> done = false;
    // A failed opening ends the run without OnComplete.
    converter.OnError = [&](TObject*, const String& message, const String& log, bool& handled) {
        std::lock_guard lock(mutex);
        error = message + ":" + log;
        handled = true;
        done = true;
    };
    converter.OnComplete = [&](TObject*) { done = true; };
    converter.StartConversion(nullptr);
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!done && std::chrono::steady_clock::now() < deadline) CheckSynchronize(10);
    if (!done) return "no completion within 120 s";
    std::lock_guard lock(mutex);
    return error;
}

TEST(InputConversion, ChaptersOfADvdTitleConvertToMp4WithTheirDurationAndPictures) {
    const String disc = TestDvdFolder();
    // Chapter 1's pictures tell where chapter 2 starts.
    const auto first = std::make_shared<TDvdStream>(disc, 1, 1, 1, 1);
    const int firstId = RegisterStream(first);
    const int firstPictures = static_cast<int>(DecodePictures(StreamURL(firstId) + ".vob").size());
    UnregisterStream(firstId);
    const int expected = 6 * kTestDvdRate - firstPictures;
    ASSERT_GT(expected, 0);

    const auto chapters = std::make_shared<TDvdStream>(disc, 1, 1, 2, 3);
    const int id = RegisterStream(chapters);
    const String output = TestFolder() + "chapters.mp4";
    EXPECT_EQ(Convert(StreamURL(id) + ".vob", output), String());
    UnregisterStream(id);

    const TTestMediaInfo info = ReadTestMedia(output);
    EXPECT_NEAR(info.duration, static_cast<double>(expected) / kTestDvdRate, 0.1);
    ASSERT_NE(info.Find(AVMEDIA_TYPE_AUDIO), nullptr);
    EXPECT_NEAR(info.Find(AVMEDIA_TYPE_AUDIO)->decoded, static_cast<double>(expected) / kTestDvdRate, 0.1);
    const auto pictures = DecodePictures(output);
    ASSERT_EQ(static_cast<int>(pictures.size()), expected);
    for (int i = 0; i < expected; ++i) EXPECT_NEAR(pictures[i].luma, TestPictureLuma(firstPictures + i), 4) << i;
}

// Paints the number of each frame into the bitmap as the frame begins: one
// stripe per bit, white when set, black when clear, the lowest bit leftmost.
class TNumberedCapture : public TBitmapCapture {
public:
    static constexpr int kBits = 6, kStripe = 16, kWidth = kBits * kStripe, kHeight = 64;

    TNumberedCapture() : TBitmapCapture(kWidth, kHeight, AVRational{25, 1}) {}

    int64_t Read(void* buffer, int64_t count) override {
        if (taken_ == 0 && count > 0) Draw([number = painted_++](TAVBitmap& bitmap) { Paint(bitmap, number); });
        const int64_t n = TBitmapCapture::Read(buffer, count);
        taken_ = (taken_ + n) % (kWidth * kHeight * 4);
        return n;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        const int64_t result = TBitmapCapture::Seek(offset, origin);
        if (result == 0) taken_ = 0;
        return result;
    }

    // The stripes' areas, a margin inside each.
    static std::vector<TPictureArea> Stripes() {
        std::vector<TPictureArea> stripes;
        for (int bit = 0; bit < kBits; ++bit) stripes.push_back({bit * kStripe + 4, 8, kStripe - 8, kHeight - 16});
        return stripes;
    }
    static int NumberShown(const TDecodedPicture& picture) {
        int number = 0;
        for (int bit = 0; bit < kBits; ++bit)
            if (picture.areas[static_cast<size_t>(bit)] > 128) number |= 1 << bit;
        return number;
    }

private:
    static void Paint(TAVBitmap& bitmap, int number) {
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                const uint8_t level = number >> (x / kStripe) & 1 ? 255 : 0;
                uint8_t* pixel = bitmap.Bits() + (y * bitmap.Width() + x) * 4;
                pixel[0] = pixel[1] = pixel[2] = level;
                pixel[3] = 255;
            }
    }

    int painted_ = 0;
    int64_t taken_ = 0; // bytes of the frame being read
};

TEST(InputConversion, APaintedBitmapConvertsIntoAFileWhoseFramesShowThePictures) {
    const auto capture = std::make_shared<TNumberedCapture>();
    const int id = RegisterStream(capture);
    const String output = TestFolder() + "capture.mp4";
    const String error = Convert(StreamURL(id), output, [](TAVConvertOptions& options) {
        options.AudioOptions()->SetAudioDisable(true);
        options.SetRecordingTime(2000000);
    });
    UnregisterStream(id);
    ASSERT_EQ(error, String());

    const auto pictures = DecodePictures(output, TNumberedCapture::Stripes());
    ASSERT_EQ(pictures.size(), 50u);
    for (size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(TNumberedCapture::NumberShown(pictures[i]), static_cast<int>(i));
        EXPECT_NEAR(pictures[i].time, i / 25.0, 0.001) << i;
    }
}

// The rate asked of the grabber, 0/0 for its own (30000/1001).
struct TGrabRate {
    int num, den;
};

std::ostream& operator<<(std::ostream& os, const TGrabRate& rate) { return os << rate.num << "_" << rate.den; }

class DesktopRecording : public testing::TestWithParam<TGrabRate> {};

// The grabber stamps each frame with the time it took it, which varies with
// the machine's load; the recording keeps the rate the grabber was asked for.
TEST_P(DesktopRecording, TwoSecondsOfAnXvfbScreenAtTheRateAskedFor) {
    if (!TXvfbDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
    constexpr int kWidth = 320, kHeight = 240;
    const TXvfbDisplay display(kWidth, kHeight);
    // Red, green and blue quarters and a white one: channels that trade
    // places, or a picture that turns, change their brightness.
    display.PaintRootWindow({{0, 0, kWidth / 2, kHeight / 2, 0xFF0000},
                             {kWidth / 2, 0, kWidth / 2, kHeight / 2, 0x00FF00},
                             {0, kHeight / 2, kWidth / 2, kHeight / 2, 0x0000FF}});
    const TGrabRate asked = GetParam();
    const String output = TestFolder() + "screen.mp4";
    const String error = Convert(String(display.Name()), output, [&](TAVConvertOptions& options) {
        options.InputFormats()->Add("x11grab");
        options.VideoOptions()->InputFrameRate()->SetNum(asked.num);
        options.VideoOptions()->InputFrameRate()->SetDen(asked.den);
        options.AudioOptions()->SetAudioDisable(true);
        options.SetRecordingTime(2000000);
    });
    ASSERT_EQ(error, String());

    const AVRational rate = asked.num ? AVRational{asked.num, asked.den} : AVRational{30000, 1001};
    // The pictures that start within two seconds.
    const int count = static_cast<int>(std::ceil(2 * av_q2d(rate)));
    const TTestMediaInfo info = ReadTestMedia(output);
    EXPECT_NEAR(info.duration, count / av_q2d(rate), 0.01);
    // Inside each quarter, clear of the pointer the grabber draws at the screen's centre.
    const std::vector<TPictureArea> quarters = {
        {16, 16, 128, 88}, {176, 16, 128, 88}, {16, 136, 128, 88}, {176, 136, 128, 88}};
    // Their brightness in studio-range YUV.
    const double expected[] = {81, 145, 41, 235};
    const auto pictures = DecodePictures(output, quarters);
    ASSERT_EQ(static_cast<int>(pictures.size()), count);
    for (size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_NEAR(pictures[i].time, i / av_q2d(rate), 0.001) << i;
        for (size_t q = 0; q < quarters.size(); ++q) EXPECT_NEAR(pictures[i].areas[q], expected[q], 6) << i << " " << q;
    }
}

INSTANTIATE_TEST_SUITE_P(InputConversion, DesktopRecording, testing::Values(TGrabRate{0, 0}, TGrabRate{101, 5}),
                         [](const auto& info) { return testing::PrintToString(info.param); });

} // namespace
