#include "engine/StreamProtocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "TestMedia.h"
#include "engine/AVUtils.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr int kRate = 8000;

class StreamInput : public testing::Test {
protected:
    void SetUp() override { LoadAVLib(); }
    void TearDown() override { CloseInput(&context_); }

    // Reads every packet to the end and returns the bytes in order.
    std::vector<uint8_t> ReadAll() {
        std::vector<uint8_t> bytes;
        AVPacket* packet = avlib::av_packet_alloc();
        int result;
        while ((result = avlib::av_read_frame(context_, packet)) >= 0) {
            bytes.insert(bytes.end(), packet->data, packet->data + packet->size);
            avlib::av_packet_unref(packet);
        }
        avlib::av_packet_free(&packet);
        EXPECT_EQ(result, AVERROR_EOF);
        return bytes;
    }

    const std::vector<uint8_t> pcm_ = MakePcm(kRate * 3 / 2);
    AVFormatContext* context_ = nullptr;
};

TEST_F(StreamInput, WavInMemoryOpensReadsToTheEndAndSeeks) {
    auto stream = std::make_shared<TBytesStream>(MakeWav(pcm_, kRate));
    const int id = RegisterStream(stream);
    ASSERT_EQ(OpenInput(&context_, StreamURL(id) + ".wav", nullptr, nullptr), 0);
    EXPECT_STREQ(context_->iformat->name, "wav");
    ASSERT_GE(avlib::avformat_find_stream_info(context_, nullptr), 0);
    ASSERT_EQ(context_->nb_streams, 1u);
    const AVCodecParameters* par = context_->streams[0]->codecpar;
    EXPECT_EQ(par->codec_id, AV_CODEC_ID_PCM_S16LE);
    EXPECT_EQ(par->sample_rate, kRate);

    EXPECT_GT(MatchStreamSpecifier(context_, context_->streams[0], "a:0"), 0);
    EXPECT_GT(MatchStreamSpecifier(context_, context_->streams[0], ""), 0);
    EXPECT_EQ(MatchStreamSpecifier(context_, context_->streams[0], "v"), 0);
    EXPECT_LT(MatchStreamSpecifier(context_, context_->streams[0], "q:z"), 0);

    EXPECT_TRUE(ReadAll() == pcm_);
    EXPECT_EQ(AVIOPosition(context_->pb), stream->Size());

    // Half a second in: 4000 samples of 2 bytes.
    ASSERT_GE(avlib::av_seek_frame(context_, 0, kRate / 2, 0), 0);
    const std::vector<uint8_t> rest = ReadAll();
    EXPECT_TRUE(rest == std::vector<uint8_t>(pcm_.begin() + kRate, pcm_.end()));
    UnregisterStream(id);
}

TEST_F(StreamInput, ReopeningRewindsAndClosingLeavesTheStreamToItsOwner) {
    auto stream = std::make_shared<TBytesStream>(MakeWav(pcm_, kRate));
    const String url = StreamURL(RegisterStream(stream));
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(OpenInput(&context_, url, nullptr, nullptr), 0);
        EXPECT_GT(stream.use_count(), 1);
        EXPECT_TRUE(ReadAll() == pcm_);
        CloseInput(&context_);
        EXPECT_EQ(context_, nullptr);
        EXPECT_EQ(stream.use_count(), 1);
    }
}

TEST_F(StreamInput, UrlsNamingNoLiveStreamFailCleanly) {
    auto dropped = std::make_shared<TBytesStream>(MakeWav(pcm_, kRate));
    const String droppedUrl = StreamURL(RegisterStream(dropped));
    dropped.reset();
    auto unregistered = std::make_shared<TBytesStream>(MakeWav(pcm_, kRate));
    const int unregisteredId = RegisterStream(unregistered);
    UnregisterStream(unregisteredId);

    const String urls[] = {droppedUrl, StreamURL(unregisteredId), "stream:999999", "stream:", "stream:x1",
                           "stream:-1", "stream:99999999999999"};
    for (const String& url : urls) {
        EXPECT_EQ(StreamFromURL(url), nullptr) << url;
        EXPECT_EQ(OpenInput(&context_, url, nullptr, nullptr), AVERROR(ENOENT)) << url;
        EXPECT_EQ(context_, nullptr);
    }
}

TEST_F(StreamInput, AnythingAfterTheNumberIsIgnored) {
    auto stream = std::make_shared<TBytesStream>(MakePcm(4));
    const String url = StreamURL(RegisterStream(stream));
    for (const char* tail : {"", ".wav", ".vob", "abc", "/x.y"})
        EXPECT_EQ(StreamFromURL(url + tail), stream) << tail;
    EXPECT_EQ(StreamFromURL("x" + url), nullptr);
}

TEST_F(StreamInput, DataThatIsNoMediaFailsWithoutLeaking) {
    auto stream = std::make_shared<TBytesStream>(std::vector<uint8_t>(100, 0));
    const String url = StreamURL(RegisterStream(stream));
    EXPECT_LT(OpenInput(&context_, url, nullptr, nullptr), 0);
    EXPECT_EQ(context_, nullptr);
    EXPECT_EQ(stream.use_count(), 1);
}

TEST_F(StreamInput, PlainFileNamesOpenInUtf8) {
    const std::string path = std::string(std::getenv("OSTREL_HOME")) + "/声音 test.wav";
    const auto wav = MakeWav(pcm_, kRate);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()),
                                                static_cast<std::streamsize>(wav.size()));
    ASSERT_EQ(OpenInput(&context_, String(path), nullptr, nullptr), 0);
    EXPECT_STREQ(context_->iformat->name, "wav");
    EXPECT_TRUE(ReadAll() == pcm_);
}

} // namespace
