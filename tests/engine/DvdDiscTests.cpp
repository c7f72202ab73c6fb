#include <gtest/gtest.h>

#include "TestDvd.h"
#include "TestMedia.h"
#include "engine/DvdInfo.h"
#include "engine/DvdStream.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr int kRate = kTestDvdRate;

class DvdDisc : public testing::Test {
protected:
    void SetUp() override { disc_ = TestDvdFolder(); }

    std::shared_ptr<TDvdStream> Stream(int title, int first, int last) {
        return std::make_shared<TDvdStream>(disc_, title, 1, first, last);
    }

    // The pictures FFmpeg decodes from Stream through the stream protocol.
    static std::vector<TDecodedPicture> Pictures(const std::shared_ptr<TDvdStream>& stream) {
        const int id = RegisterStream(stream);
        auto pictures = DecodePictures(StreamURL(id) + ".vob");
        UnregisterStream(id);
        return pictures;
    }

    static std::vector<uint8_t> ReadAll(TStream& stream) {
        std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
        EXPECT_EQ(stream.Seek(0, soBeginning), 0);
        int64_t total = 0;
        while (const int64_t n = stream.Read(bytes.data() + total, stream.Size() - total)) total += n;
        EXPECT_EQ(total, stream.Size());
        return bytes;
    }

    String disc_;
};

TEST_F(DvdDisc, ScansTitlesWithTheirChaptersDurationsAnglesAndAudioTracks) {
    const TDvdInfo info(disc_);
    struct Expected {
        int index, seconds, chapters, audio;
    };
    const Expected expected[] = {{1, 6, 3, 1}, {2, 3, 2, 1}, {3, 4, 1, 2}};
    ASSERT_EQ(info.TitleCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const TDvdTitle& title = *info.Titles(i);
        EXPECT_EQ(title.Index(), expected[i].index) << i;
        EXPECT_EQ(title.Hours(), 0) << i;
        EXPECT_EQ(title.Minutes(), 0) << i;
        EXPECT_EQ(title.Seconds(), expected[i].seconds) << i;
        EXPECT_EQ(title.ChapterCount(), expected[i].chapters) << i;
        EXPECT_EQ(title.AngleCount(), 1) << i;
        EXPECT_EQ(title.AudioCount(), expected[i].audio) << i;
        EXPECT_EQ(title.SubtitleCount(), 0) << i;
    }
}

// Every picture shows its number through its brightness, so the pictures of
// chapter 1 and of chapters 2-3 must together be the title's 150, in order.
TEST_F(DvdDisc, ChapterRangesDecodeThroughTheStreamProtocolAsTheirOwnPictures) {
    const auto first = Pictures(Stream(1, 1, 1));
    const auto rest = Pictures(Stream(1, 2, 3));
    const auto whole = Pictures(Stream(1, 1, 3));
    ASSERT_EQ(whole.size(), 6u * kRate);
    ASSERT_EQ(first.size() + rest.size(), whole.size());
    // The chapter was asked at 2 s; it starts at the group of pictures there.
    EXPECT_NEAR(static_cast<double>(first.size()), 2.0 * kRate, 12);
    for (size_t i = 0; i < whole.size(); ++i) {
        const auto& picture = i < first.size() ? first[i] : rest[i - first.size()];
        EXPECT_NEAR(picture.luma, TestPictureLuma(static_cast<int>(i)), 3) << i;
        EXPECT_NEAR(whole[i].luma, TestPictureLuma(static_cast<int>(i)), 3) << i;
    }
    EXPECT_NEAR(rest.back().time - rest.front().time, (rest.size() - 1.0) / kRate, 0.001);
}

TEST_F(DvdDisc, SeeksLandOnTheByteAskedForAlsoAfterTheEnd) {
    for (const auto& [first, last] : {std::pair{1, 3}, std::pair{2, 2}}) {
        SCOPED_TRACE(testing::Message() << first << ".." << last);
        const auto stream = Stream(1, first, last);
        const std::vector<uint8_t> bytes = ReadAll(*stream);
        const int64_t size = stream->Size();
        for (const int64_t offset : {size / 2 + 1234, int64_t{5000}, size - 3000, int64_t{70 * kDvdBlockSize},
                                     size / 3, int64_t{kDvdBlockSize + 1}}) {
            ASSERT_EQ(stream->Seek(offset, soBeginning), offset);
            std::vector<uint8_t> read(3000);
            ASSERT_EQ(stream->Read(read.data(), 3000), 3000) << offset;
            EXPECT_TRUE(std::equal(read.begin(), read.end(), bytes.begin() + offset)) << offset;
        }
    }
}

TEST_F(DvdDisc, AnIsoImageOfTheFolderReadsAsTheFolder) {
    const String image = TestDvdImage();
    const TDvdInfo folderInfo(disc_), imageInfo(image);
    ASSERT_EQ(imageInfo.TitleCount(), folderInfo.TitleCount());
    for (int i = 0; i < folderInfo.TitleCount(); ++i) {
        const TDvdTitle &inFolder = *folderInfo.Titles(i), &inImage = *imageInfo.Titles(i);
        EXPECT_EQ(inImage.Index(), inFolder.Index()) << i;
        EXPECT_EQ(inImage.Seconds(), inFolder.Seconds()) << i;
        EXPECT_EQ(inImage.ChapterCount(), inFolder.ChapterCount()) << i;
        EXPECT_EQ(inImage.AngleCount(), inFolder.AngleCount()) << i;
        EXPECT_EQ(inImage.AudioCount(), inFolder.AudioCount()) << i;
    }
    TDvdStream fromImage(image, 1, 1, 2, 3);
    EXPECT_EQ(ReadAll(fromImage), ReadAll(*Stream(1, 2, 3)));
}

TEST_F(DvdDisc, WhatTheDiscDoesNotHoldCannotBeOpened) {
    struct Case {
        String path;
        int title, first, last;
        const char* message;
    };
    for (const Case& c : {Case{disc_ + "-missing", 1, 1, 1, "Can not open DVD"},
                          Case{disc_, 4, 1, 1, "Can not open title"},
                          Case{disc_, 1, 2, 4, "Can not start chapter"}}) {
        try {
            TDvdStream stream(c.path, c.title, 1, c.first, c.last);
            ADD_FAILURE() << c.message << ": opened";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), String(c.message));
        }
    }
    EXPECT_THROW(TDvdInfo(disc_ + "-missing"), Exception);
}

} // namespace
