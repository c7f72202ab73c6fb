#include "engine/InputReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "TestMedia.h"
#include "engine/AVPointers.h"

namespace {

struct TInputClose {
    void operator()(AVFormatContext* context) const { avlib::avformat_close_input(&context); }
};

TEST(InputReader, ReadsAtMostEightPacketsAheadAndHandsThemOverInOrder) {
    const String path = TestFolder() + "in.nut";
    WriteTestMedia(path, {VideoTrack(32, 32, "mpeg4", 25)}, 10); // 25 packets
    AVFormatContext* opened = nullptr;
    ASSERT_GE(avlib::avformat_open_input(&opened, path.ToUtf8().c_str(), nullptr, nullptr), 0);
    const std::unique_ptr<AVFormatContext, TInputClose> context(opened);

    const TThreadPtr<TInputReader> reader = MakeThread<TInputReader>(context.get());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (reader->Queued() < TInputReader::QueueSize && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(reader->Queued(), TInputReader::QueueSize);

    const TPacketPtr packet = NewPacket();
    int64_t last = -1;
    int taken = 0;
    for (;;) {
        const int result = reader->Take(packet.get());
        if (result == AVERROR(EAGAIN)) {
            std::this_thread::yield();
            continue;
        }
        if (result < 0) {
            EXPECT_EQ(result, AVERROR_EOF);
            break;
        }
        EXPECT_LE(reader->Queued(), TInputReader::QueueSize);
        EXPECT_GT(packet->pts, last);
        last = packet->pts;
        ++taken;
        avlib::av_packet_unref(packet.get());
    }
    EXPECT_EQ(taken, 25);
}

TEST(InputReader, StoppingAFullReaderEndsIt) {
    const String path = TestFolder() + "in.nut";
    WriteTestMedia(path, {VideoTrack(32, 32, "mpeg4", 25)}, 10);
    AVFormatContext* opened = nullptr;
    ASSERT_GE(avlib::avformat_open_input(&opened, path.ToUtf8().c_str(), nullptr, nullptr), 0);
    const std::unique_ptr<AVFormatContext, TInputClose> context(opened);
    TThreadPtr<TInputReader> reader = MakeThread<TInputReader>(context.get());
    while (reader->Queued() < TInputReader::QueueSize) std::this_thread::yield();
    reader->Stop();
    EXPECT_EQ(reader->Queued(), 0u);
    reader.reset(); // returns: the reader does not wait for room any more
}

} // namespace
