#include "engine/AVProbe.h"

#include <gtest/gtest.h>

#include "TestMedia.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr uint32_t kRgb = 0x00FFFFFF;

class AVProbeTest : public testing::Test {
protected:
    void SetUp() override { folder_ = TestFolder(); }

    // Whether the thumbnail's pixel is black; the picture itself is light grey.
    bool Black(int x, int y) const { return (probe_.Thumbnail().Pixel(x, y) & kRgb) == 0; }

    String folder_;
    TAVProbe probe_;
};

TEST_F(AVProbeTest, AudioOnlySourceHasNoVideoAndNoThumbnail) {
    const auto wav = std::make_shared<TBytesStream>(MakeWav(MakePcm(8000), 8000));
    const int id = RegisterStream(wav);
    probe_.SetFileName(StreamURL(id));
    probe_.SetThumbnailWidth(160);
    probe_.SetThumbnailHeight(120);
    probe_.SetActive(true);
    EXPECT_TRUE(probe_.Active());
    EXPECT_FALSE(probe_.HasVideo());
    EXPECT_TRUE(probe_.HasAudio());
    EXPECT_EQ(probe_.AudioCodec(), "pcm_s16le");
    EXPECT_EQ(probe_.SampleRate(), 8000);
    EXPECT_EQ(probe_.Channels(), 1);
    EXPECT_EQ(probe_.AudioBitrate(), 128000);
    EXPECT_DOUBLE_EQ(probe_.Duration(), 1.0);
    EXPECT_EQ(probe_.EndTime(), probe_.StartTime() + 1000000);
    EXPECT_TRUE(probe_.Thumbnail().Empty());
    probe_.SetActive(false);
    EXPECT_FALSE(probe_.Active());
}

TEST_F(AVProbeTest, ReportsTheFirstVideoAndAudioStreams) {
    const String source = folder_ + "two.mkv";
    WriteTestMedia(source, {AudioTrack(2, "mp2", 44100), VideoTrack(320, 240), VideoTrack(1280, 720),
                            AudioTrack(6)});
    probe_.SetFileName(source);
    probe_.SetActive(true);
    EXPECT_TRUE(probe_.HasVideo());
    EXPECT_EQ(probe_.VideoCodec(), "mpeg4");
    EXPECT_EQ(probe_.VideoWidth(), 320);
    EXPECT_EQ(probe_.VideoHeight(), 240);
    EXPECT_DOUBLE_EQ(probe_.FrameRate(), 10);
    EXPECT_EQ(probe_.AudioCodec(), "mp2");
    EXPECT_EQ(probe_.Channels(), 2);
    EXPECT_EQ(probe_.SampleRate(), 44100);
    EXPECT_EQ(probe_.AudioBitrate(), 128000);
    // A box of 0 x 0 asks for no thumbnail.
    EXPECT_TRUE(probe_.Thumbnail().Empty());
}

struct TThumbnailCase {
    int width;
    int height;
    // The picture inside the 160 x 120 box.
    int left;
    int top;
    int pictureWidth;
    int pictureHeight;
};

std::ostream& operator<<(std::ostream& os, const TThumbnailCase& c) { return os << c.width << "x" << c.height; }

class ThumbnailFit : public AVProbeTest, public testing::WithParamInterface<TThumbnailCase> {};

// The picture keeps its proportions and fits the box by the tighter side: a
// 640 x 600 source fitted by its width alone would be 150 rows high.
TEST_P(ThumbnailFit, PictureIsFittedAndCentredOnBlack) {
    const TThumbnailCase& c = GetParam();
    const String source = folder_ + "picture.nut";
    WriteTestMedia(source, {VideoTrack(c.width, c.height)});
    probe_.SetFileName(source);
    probe_.SetThumbnailWidth(160);
    probe_.SetThumbnailHeight(120);
    probe_.SetActive(true);
    const TBGRAImage& thumbnail = probe_.Thumbnail();
    ASSERT_EQ(thumbnail.Width(), 160);
    ASSERT_EQ(thumbnail.Height(), 120);
    const int right = c.left + c.pictureWidth, bottom = c.top + c.pictureHeight;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const bool inside = x >= c.left && x < right && y >= c.top && y < bottom;
            ASSERT_EQ(Black(x, y), !inside) << "at " << x << "," << y;
        }
    EXPECT_EQ(thumbnail.Pixel(0, 0) >> 24, 0xFFu);
}

INSTANTIATE_TEST_SUITE_P(AVProbe, ThumbnailFit,
                         testing::Values(TThumbnailCase{1280, 720, 0, 15, 160, 90},
                                         TThumbnailCase{640, 600, 16, 0, 128, 120},
                                         TThumbnailCase{160, 120, 0, 0, 160, 120}));

TEST_F(AVProbeTest, ThumbnailComesFromTheChosenTime) {
    const String source = folder_ + "later.mkv";
    WriteTestMedia(source, {VideoTrack(64, 48, "mjpeg")}, 20); // every picture a key frame
    probe_.SetFileName(source);
    probe_.SetThumbnailWidth(32);
    probe_.SetThumbnailHeight(24);
    probe_.SetThumbnailOffset(1000000);
    probe_.SetActive(true);
    ASSERT_FALSE(probe_.Thumbnail().Empty());
    const int red = (probe_.Thumbnail().Pixel(16, 12) >> 16) & 0xFF;
    EXPECT_NEAR(red, TestPictureLuma(10), 6); // full-range grey: red equals the brightness
}

TEST_F(AVProbeTest, ContainerWithoutDurationKeepsTheLastDurationAndEndsAtItsStart) {
    const String timed = folder_ + "timed.nut";
    WriteTestMedia(timed, {VideoTrack(64, 48)});
    probe_.SetFileName(timed);
    probe_.SetActive(true);
    const double duration = probe_.Duration();
    EXPECT_GT(duration, 0);
    probe_.SetActive(false);

    const String raw = folder_ + "raw.mjpeg";
    WriteTestMedia(raw, {VideoTrack(64, 48, "mjpeg")});
    probe_.SetFileName(raw);
    probe_.SetActive(true);
    EXPECT_TRUE(probe_.HasVideo());
    EXPECT_EQ(probe_.Duration(), duration);
    EXPECT_EQ(probe_.EndTime(), probe_.StartTime());
}

TEST_F(AVProbeTest, SourceThatDoesNotOpenLeavesTheProbeInactive) {
    probe_.SetFileName(folder_ + "missing.avi");
    try {
        probe_.SetActive(true);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error Opening File!");
    }
    EXPECT_FALSE(probe_.Active());
}

} // namespace
