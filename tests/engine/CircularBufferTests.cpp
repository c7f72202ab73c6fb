#include "engine/CircularBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(int count, int first = 0) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    std::iota(bytes.begin(), bytes.end(), static_cast<uint8_t>(first));
    return bytes;
}

TEST(CircularBuffer, HoldsAtMostSizeMinusOneByte) {
    TCircularBuffer ring(16);
    EXPECT_EQ(ring.FreeSpace(true), 16);
    EXPECT_EQ(ring.DataSize(true), 0);
    const auto data = Bytes(16);
    EXPECT_FALSE(ring.Write(data.data(), 16));
    EXPECT_EQ(ring.DataSize(true), 0);
    EXPECT_TRUE(ring.Write(data.data(), 15));
    EXPECT_EQ(ring.FreeSpace(true), 1);
    EXPECT_FALSE(ring.Write(data.data(), 1));
    EXPECT_EQ(ring.DataSize(false), 15);
}

TEST(CircularBuffer, ReadsAreAllOrNothing) {
    TCircularBuffer ring(16);
    uint8_t out[16] = {};
    EXPECT_TRUE(ring.Read(out, 0));
    EXPECT_FALSE(ring.Read(out, 1));
    EXPECT_FALSE(ring.Read(out, -1));
    EXPECT_FALSE(ring.Write(out, -1));
    EXPECT_EQ(ring.DataSize(true), 0);

    const auto data = Bytes(10, 1);
    ASSERT_TRUE(ring.Write(data.data(), 10));
    EXPECT_FALSE(ring.Read(out, 11));
    EXPECT_EQ(ring.DataSize(true), 10);
    ASSERT_TRUE(ring.Read(out, 10));
    EXPECT_EQ(std::vector<uint8_t>(out, out + 10), data);
    EXPECT_EQ(ring.DataSize(true), 0);
    EXPECT_EQ(ring.FreeSpace(true), 16);
}

TEST(CircularBuffer, TransfersAcrossTheEndKeepOrder) {
    struct Case {
        int skip;  // bytes written and read first, moving both positions
        int count; // bytes then written and read back
    };
    const Case cases[] = {{0, 15}, {10, 6}, {10, 15}, {15, 1}, {16 - 1, 15}, {8, 8}, {6, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "skip " << c.skip << " count " << c.count);
        TCircularBuffer ring(16);
        std::vector<uint8_t> sink(16);
        const auto filler = Bytes(c.skip, 200);
        ASSERT_TRUE(ring.Write(filler.data(), c.skip));
        ASSERT_TRUE(ring.Read(sink.data(), c.skip));
        const auto data = Bytes(c.count, 7);
        ASSERT_TRUE(ring.Write(data.data(), c.count));
        EXPECT_EQ(ring.DataSize(true), c.count);
        EXPECT_EQ(ring.FreeSpace(true), 16 - c.count);
        std::vector<uint8_t> out(static_cast<size_t>(c.count));
        ASSERT_TRUE(ring.Read(out.data(), c.count));
        EXPECT_EQ(out, data);
        EXPECT_EQ(ring.DataSize(true), 0);
    }
}

TEST(CircularBuffer, ClearEmptiesTheRing) {
    TCircularBuffer ring(16);
    const auto data = Bytes(12);
    ASSERT_TRUE(ring.Write(data.data(), 12));
    uint8_t out[5];
    ASSERT_TRUE(ring.Read(out, 5));
    ring.Clear();
    EXPECT_EQ(ring.DataSize(true), 0);
    EXPECT_EQ(ring.FreeSpace(true), 16);
    EXPECT_FALSE(ring.Read(out, 1));
}

TEST(CircularBuffer, ProducerAndConsumerMoveEveryByteInOrder) {
    constexpr int kTotal = 1 << 20;
    TCircularBuffer ring(1000);
    std::vector<uint8_t> source(kTotal);
    for (int i = 0; i < kTotal; ++i) source[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 31 + i / 251);

    std::thread producer([&] {
        for (int done = 0, chunk = 1; done < kTotal; chunk = chunk % 97 + 1) {
            const int n = std::min(chunk, kTotal - done);
            if (ring.Write(source.data() + done, n))
                done += n;
            else
                std::this_thread::yield();
        }
    });
    std::vector<uint8_t> received(kTotal);
    for (int done = 0, chunk = 1; done < kTotal; chunk = chunk % 89 + 1) {
        const int n = std::min(chunk, kTotal - done);
        if (ring.Read(received.data() + done, n))
            done += n;
        else
            std::this_thread::yield();
    }
    producer.join();
    EXPECT_TRUE(received == source);
    EXPECT_EQ(ring.DataSize(true), 0);
}

TEST(CircularBuffer, UnlockedSizesMayBePolledWhileTheOtherSideMoves) {
    constexpr int kTotal = 1 << 18;
    TCircularBuffer ring(256);
    std::thread producer([&] {
        uint8_t value = 0;
        for (int done = 0; done < kTotal;) {
            if (ring.FreeSpace(false) > 1 && ring.Write(&value, 1)) {
                ++value;
                ++done;
            }
        }
    });
    uint8_t expected = 0;
    for (int done = 0; done < kTotal;) {
        const int available = ring.DataSize(false);
        uint8_t chunk[64];
        const int n = std::min<int>(available, sizeof chunk);
        if (n <= 0 || !ring.Read(chunk, n)) continue;
        for (int i = 0; i < n; ++i) ASSERT_EQ(chunk[i], expected++);
        done += n;
    }
    producer.join();
}

} // namespace
