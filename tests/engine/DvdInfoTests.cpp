#include "engine/DvdInfo.h"

#include <gtest/gtest.h>

#include "FakeDvdNavigation.h"
#include "platform/rtl/Exceptions.h"

namespace {

TFakeTitle FakeTitle(int seconds, std::vector<int64_t> chapters, int angles = 1, int audio = 1, int subtitles = 0) {
    TFakeTitle title;
    title.seconds = seconds;
    title.chapterBlocks = std::move(chapters);
    title.angles = angles;
    title.audio = audio;
    title.subtitles = subtitles;
    return title;
}

TEST(DvdInfo, TitlesThatFailToScanAreLeftOutAndTheRestKeepTheirNumbers) {
    TFakeDisc disc;
    disc.titles = {FakeTitle(3725, {5, 5, 5}, 1, 2, 3), FakeTitle(59, {5}, 3), FakeTitle(10, {5}),
                   FakeTitle(61, {4, 4}, 2, 1, 0), FakeTitle(7200, {1, 2, 3, 4}, 1, 0, 1)};
    disc.titles[2].scans = false;
    const TDvdInfo info("disc", FakeDvdOpener(disc));
    EXPECT_EQ(disc.open, 0);

    struct Expected {
        int index, hours, minutes, seconds, angles, chapters, audio, subtitles;
    };
    const Expected expected[] = {{1, 1, 2, 5, 1, 3, 2, 3}, {2, 0, 0, 59, 3, 1, 1, 0}, {4, 0, 1, 1, 2, 2, 1, 0},
                                 {5, 2, 0, 0, 1, 4, 0, 1}};
    ASSERT_EQ(info.TitleCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const TDvdTitle& title = *info.Titles(i);
        const Expected& e = expected[i];
        EXPECT_EQ(title.Index(), e.index) << i;
        EXPECT_EQ(title.Hours(), e.hours) << i;
        EXPECT_EQ(title.Minutes(), e.minutes) << i;
        EXPECT_EQ(title.Seconds(), e.seconds) << i;
        EXPECT_EQ(title.AngleCount(), e.angles) << i;
        EXPECT_EQ(title.ChapterCount(), e.chapters) << i;
        EXPECT_EQ(title.AudioCount(), e.audio) << i;
        EXPECT_EQ(title.SubtitleCount(), e.subtitles) << i;
    }
    EXPECT_THROW(info.Titles(4), EListError);
    EXPECT_THROW(info.Titles(-1), EListError);
}

TEST(DvdInfo, AnglesAreAskedOfTheStartedTitleAndATitleThatCannotStartIsLeftOut) {
    TFakeDisc disc;
    disc.titles = {FakeTitle(1, {5}, 2), FakeTitle(1, {5}, 4), FakeTitle(1, {5}, 9)};
    disc.titles[1].starts = false;
    const TDvdInfo info("disc", FakeDvdOpener(disc));
    ASSERT_EQ(info.TitleCount(), 2);
    EXPECT_EQ(info.Titles(1)->Index(), 3);
    EXPECT_EQ(info.Titles(1)->AngleCount(), 9);
    EXPECT_EQ(disc.calls, (std::vector<std::string>{"start 1 1", "stop", "start 2 1", "start 3 1", "stop"}));
}

TEST(DvdInfo, ADiscThatDoesNotOpenRaises) {
    TFakeDisc disc;
    disc.opens = false;
    try {
        TDvdInfo info("nothing", FakeDvdOpener(disc));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), String("Can not open DVD"));
    }
}

} // namespace
