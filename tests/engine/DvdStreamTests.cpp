#include "engine/DvdStream.h"

#include <gtest/gtest.h>

#include <numeric>

#include "FakeDvdNavigation.h"
#include "platform/rtl/Exceptions.h"

namespace {

// Title 1 has chapters of 10, 20 and 30 blocks: 0-9, 10-29 and 30-59.
class DvdStreamFake : public testing::Test {
protected:
    DvdStreamFake() {
        TFakeTitle title;
        title.chapterBlocks = {10, 20, 30};
        title.angles = 2;
        disc_.titles = {title};
        disc_.eventEvery = 3;
    }

    std::unique_ptr<TDvdStream> Open(int first, int last, int angle = 1) {
        return std::make_unique<TDvdStream>("disc", 1, angle, first, last, FakeDvdOpener(disc_));
    }

    static std::vector<uint8_t> Blocks(int64_t startBlock, int64_t offset, int64_t count) {
        std::vector<uint8_t> bytes(static_cast<size_t>(count));
        for (int64_t i = 0; i < count; ++i)
            bytes[static_cast<size_t>(i)] = FakeDvdByte(startBlock + (offset + i) / kDvdBlockSize,
                                                        static_cast<int>((offset + i) % kDvdBlockSize));
        return bytes;
    }

    static std::vector<uint8_t> ReadBytes(TStream& stream, int64_t count) {
        std::vector<uint8_t> bytes(static_cast<size_t>(count));
        bytes.resize(static_cast<size_t>(stream.Read(bytes.data(), count)));
        return bytes;
    }

    // Reads to the end in pieces of Piece bytes.
    static std::vector<uint8_t> ReadAll(TStream& stream, int64_t piece) {
        std::vector<uint8_t> all;
        for (;;) {
            const std::vector<uint8_t> bytes = ReadBytes(stream, piece);
            if (bytes.empty()) return all;
            all.insert(all.end(), bytes.begin(), bytes.end());
        }
    }

    TFakeDisc disc_;
};

TEST_F(DvdStreamFake, AChapterRangeReadsItsBlocksAndEndsAtTheNextChapterOrTheTitlesEnd) {
    struct Case {
        int first, last;
        int64_t startBlock, blocks;
    };
    for (const Case& c : {Case{1, 1, 0, 10}, Case{2, 2, 10, 20}, Case{2, 3, 10, 50}, Case{1, 3, 0, 60},
                          Case{3, 3, 30, 30}}) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
        auto stream = Open(c.first, c.last);
        EXPECT_EQ(stream->Size(), c.blocks * kDvdBlockSize);
        for (const int64_t piece : {int64_t{1000}, int64_t{kDvdBlockSize}, int64_t{5 * kDvdBlockSize + 7}}) {
            ASSERT_EQ(stream->Seek(0, soBeginning), 0);
            EXPECT_TRUE(ReadAll(*stream, piece) == Blocks(c.startBlock, 0, c.blocks * kDvdBlockSize)) << piece;
        }
    }
}

TEST_F(DvdStreamFake, ChapterRangesOutsideTheTitleCannotStart) {
    for (const auto& [first, last] : {std::pair{0, 1}, std::pair{2, 1}, std::pair{1, 4}, std::pair{-1, 2},
                                      std::pair{4, 4}, std::pair{0, 0}}) {
        try {
            Open(first, last);
            ADD_FAILURE() << first << ".." << last << " opened";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), String("Can not start chapter")) << first << ".." << last;
        }
        EXPECT_EQ(disc_.open, 0);
    }
}

TEST_F(DvdStreamFake, FailuresToOpenReleaseTheNavigation) {
    disc_.titles.push_back(disc_.titles[0]);
    disc_.titles[1].scans = false;
    disc_.titles.push_back(disc_.titles[0]);
    disc_.titles[2].starts = false;
    struct Case {
        bool opens;
        int title;
        const char* message;
    };
    for (const Case& c : {Case{false, 1, "Can not open DVD"}, Case{true, 2, "Can not open title"},
                          Case{true, 9, "Can not open title"}, Case{true, 3, "Can not start chapter"}}) {
        disc_.opens = c.opens;
        try {
            TDvdStream stream("disc", c.title, 1, 1, 1, FakeDvdOpener(disc_));
            ADD_FAILURE() << c.message << ": opened";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), String(c.message));
        }
        EXPECT_EQ(disc_.open, 0) << c.message;
    }
}

TEST_F(DvdStreamFake, OpeningFindsTheRangeThenSetsTheAngleAndRestartsTheFirstChapter) {
    auto stream = Open(2, 2, 2);
    EXPECT_EQ(disc_.calls, (std::vector<std::string>{"start 1 3", "start 1 2", "angle 2", "start 1 2"}));
    EXPECT_TRUE(ReadBytes(*stream, 10) == Blocks(10, 0, 10));
    stream.reset();
    EXPECT_EQ(disc_.open, 0);
}

TEST_F(DvdStreamFake, SeeksGoToWholeBlocksAndReadPastTheRest) {
    auto stream = Open(2, 3);
    disc_.calls.clear();
    ASSERT_EQ(stream->Seek(5000, soBeginning), 5000);
    EXPECT_EQ(disc_.calls, std::vector<std::string>{"seek 12"});
    EXPECT_TRUE(ReadBytes(*stream, 3000) == Blocks(10, 5000, 3000));

    disc_.calls.clear();
    ASSERT_EQ(stream->Seek(100, soBeginning), 100);
    EXPECT_EQ(disc_.calls, std::vector<std::string>{"start 1 2"});
    EXPECT_TRUE(ReadBytes(*stream, 50) == Blocks(10, 100, 50));

    const int64_t size = stream->Size();
    ASSERT_EQ(stream->Seek(size - 100, soBeginning), size - 100);
    EXPECT_TRUE(ReadAll(*stream, 4096) == Blocks(10, size - 100, 100));

    disc_.calls.clear();
    EXPECT_EQ(stream->Seek(size + 5000, soBeginning), size);
    EXPECT_TRUE(disc_.calls.empty());
    EXPECT_EQ(ReadBytes(*stream, 10).size(), 0u);
    ASSERT_EQ(stream->Seek(0, soBeginning), 0);
    EXPECT_TRUE(ReadBytes(*stream, 10) == Blocks(10, 0, 10));
}

TEST_F(DvdStreamFake, OtherOriginsAndNegativeOffsetsAreRefusedWithoutLosingBufferedBytes) {
    auto stream = Open(1, 3);
    ASSERT_EQ(ReadBytes(*stream, 1000).size(), 1000u);
    EXPECT_EQ(stream->Seek(0, soCurrent), -1);
    EXPECT_EQ(stream->Position(), -1);
    EXPECT_EQ(stream->Seek(0, soEnd), -1);
    EXPECT_EQ(stream->Seek(-1, soBeginning), -1);
    EXPECT_TRUE(ReadBytes(*stream, 2000) == Blocks(0, 1000, 2000));
}

TEST_F(DvdStreamFake, ASeekTheNavigationRefusesFails) {
    auto stream = Open(1, 3);
    disc_.seeks = false;
    EXPECT_EQ(stream->Seek(3 * kDvdBlockSize, soBeginning), -1);
}

TEST_F(DvdStreamFake, AReadLargerThanTheRingIsShortAndDropsNothing) {
    disc_.titles[0].chapterBlocks = {30000};
    disc_.eventEvery = 0;
    auto stream = Open(1, 1);
    const int64_t size = stream->Size();
    ASSERT_GT(size, TDvdStream::kRingSize);
    std::vector<uint8_t> all(static_cast<size_t>(size));
    const int64_t first = stream->Read(all.data(), size);
    EXPECT_GT(first, 0);
    EXPECT_LT(first, TDvdStream::kRingSize);
    int64_t total = first;
    while (const int64_t n = stream->Read(all.data() + total, size - total)) total += n;
    EXPECT_EQ(total, size);
    EXPECT_TRUE(all == Blocks(0, 0, size));
}

} // namespace
