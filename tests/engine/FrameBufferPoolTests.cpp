#include "engine/FrameBufferPool.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/AVLogger.h"
#include "engine/AVPointers.h"

namespace {

constexpr AVPixelFormat kFormat = AV_PIX_FMT_YUV422P;

struct ContextDeleter {
    void operator()(AVCodecContext* context) const { avlib::avcodec_free_context(&context); }
};
using ContextPtr = std::unique_ptr<AVCodecContext, ContextDeleter>;
struct PacketDeleter {
    void operator()(AVPacket* packet) const { avlib::av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

// The luma of frame Index as EncodeFrames paints it.
uint8_t Luma(int index) { return static_cast<uint8_t>(40 + 30 * index); }

// Intra-coded frames of our own, each a different flat picture.
std::vector<PacketPtr> EncodeFrames(int count, int width, int height) {
    const AVCodec* codec = avlib::avcodec_find_encoder(AV_CODEC_ID_HUFFYUV);
    ContextPtr encoder(avlib::avcodec_alloc_context3(codec));
    encoder->width = width;
    encoder->height = height;
    encoder->pix_fmt = kFormat;
    encoder->time_base = {1, 25};
    EXPECT_EQ(avlib::avcodec_open2(encoder.get(), codec, nullptr), 0);
    std::vector<PacketPtr> packets;
    for (int i = 0; i < count; ++i) {
        TFramePtr frame = NewFrame();
        frame->width = width;
        frame->height = height;
        frame->format = kFormat;
        frame->pts = i;
        EXPECT_EQ(avlib::av_frame_get_buffer(frame.get(), 0), 0);
        for (int plane = 0; plane < 3; ++plane)
            for (int y = 0; y < height; ++y)
                std::fill_n(frame->data[plane] + y * frame->linesize[plane], plane ? width / 2 : width,
                            static_cast<uint8_t>(Luma(i) + plane));
        EXPECT_EQ(avlib::avcodec_send_frame(encoder.get(), frame.get()), 0);
        PacketPtr packet(avlib::av_packet_alloc());
        EXPECT_EQ(avlib::avcodec_receive_packet(encoder.get(), packet.get()), 0);
        packets.push_back(std::move(packet));
    }
    return packets;
}

ContextPtr OpenDecoder(TFrameBufferPool& pool, int width, int height, int frameThreads = 0) {
    const AVCodec* codec = avlib::avcodec_find_decoder(AV_CODEC_ID_HUFFYUV);
    ContextPtr decoder(avlib::avcodec_alloc_context3(codec));
    decoder->width = width;
    decoder->height = height;
    decoder->pix_fmt = kFormat;
    decoder->bits_per_coded_sample = 16;
    decoder->thread_count = frameThreads ? frameThreads : 1;
    decoder->thread_type = FF_THREAD_FRAME;
    pool.Install(decoder.get());
    EXPECT_EQ(avlib::avcodec_open2(decoder.get(), codec, nullptr), 0);
    return decoder;
}

// Sends Packets (null flushes) and collects every frame the decoder gives back.
std::vector<TFramePtr> Decode(AVCodecContext* decoder, const std::vector<AVPacket*>& packets) {
    std::vector<TFramePtr> frames;
    for (AVPacket* packet : packets) {
        EXPECT_EQ(avlib::avcodec_send_packet(decoder, packet), 0);
        for (TFramePtr frame = NewFrame(); avlib::avcodec_receive_frame(decoder, frame.get()) == 0; frame = NewFrame())
            frames.push_back(std::move(frame));
    }
    return frames;
}

// A frame as a decoder of that size would ask for it.
TFramePtr RequestFrame(AVCodecContext* decoder, int width, int height) {
    decoder->width = width;
    decoder->height = height;
    TFramePtr frame = NewFrame();
    frame->width = width;
    frame->height = height;
    frame->format = kFormat;
    EXPECT_EQ(CodecGetBuffer(decoder, frame.get(), 0), 0);
    return frame;
}

class FrameBufferPool : public testing::Test {
protected:
    void SetUp() override { LoadAVLib(); }
};

TEST_F(FrameBufferPool, DecodedFramesUseDistinctPoolBuffersThatComeBack) {
    TFrameBufferPool pool;
    const std::vector<PacketPtr> packets = EncodeFrames(2, 64, 48);
    ContextPtr decoder = OpenDecoder(pool, 64, 48);
    std::vector<TFramePtr> frames = Decode(decoder.get(), {packets[0].get(), packets[1].get()});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(pool.BufferCount(), 2);
    EXPECT_EQ(pool.FreeCount(), 0);
    EXPECT_NE(frames[0]->data[0], frames[1]->data[0]);
    EXPECT_EQ(frames[0]->data[0][0], Luma(0));
    EXPECT_EQ(frames[1]->data[0][0], Luma(1));

    frames.clear();
    EXPECT_EQ(pool.FreeCount(), 2);
    EXPECT_EQ(pool.BufferCount(), 2);
}

TEST_F(FrameBufferPool, FrameThreadedDecodersDrawFromThePoolWithoutComplaint) {
    class TLineCounter : public TImplements<TInterfacedObject, IAVLogger> {
    public:
        void Log(int, const String&) override { ++lines; }
        int GetLevel() override { return AV_LOG_WARNING; }
        int lines = 0;
    };
    const auto logger = MakeIntf<TLineCounter>();
    TAVLoggerRegistration registration(logger);
    TFrameBufferPool pool;
    const std::vector<PacketPtr> packets = EncodeFrames(6, 64, 48);
    ContextPtr decoder = OpenDecoder(pool, 64, 48, 3);
    std::vector<AVPacket*> sent;
    for (const PacketPtr& packet : packets) sent.push_back(packet.get());
    sent.push_back(nullptr);
    std::vector<TFramePtr> frames = Decode(decoder.get(), sent);
    ASSERT_EQ(frames.size(), packets.size());
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i]->data[0][0], Luma(static_cast<int>(i)));
    EXPECT_EQ(pool.BufferCount(), 6);
    EXPECT_EQ(logger->lines, 0);

    frames.clear();
    decoder.reset();
    EXPECT_EQ(pool.FreeCount(), pool.BufferCount());
}

TEST_F(FrameBufferPool, ADecoderThatOutlivesItsPoolGoesOnWithFFmpegsBuffers) {
    auto pool = std::make_unique<TFrameBufferPool>();
    const std::vector<PacketPtr> packets = EncodeFrames(3, 64, 48);
    ContextPtr decoder = OpenDecoder(*pool, 64, 48);
    std::vector<TFramePtr> frames = Decode(decoder.get(), {packets[0].get()});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(pool->BufferCount(), 1);

    pool.reset();
    for (TFramePtr& later : Decode(decoder.get(), {packets[1].get(), packets[2].get(), nullptr}))
        frames.push_back(std::move(later));
    ASSERT_EQ(frames.size(), 3u);
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i]->data[0][0], Luma(static_cast<int>(i)));
    frames.clear(); // the pool's own buffer frees itself
}

TEST_F(FrameBufferPool, ReusesReturnedBuffersAndReallocatesForANewSize) {
    TFrameBufferPool pool;
    ContextPtr decoder = OpenDecoder(pool, 64, 48);
    TFramePtr first = RequestFrame(decoder.get(), 64, 48);
    const uint8_t* firstData = first->data[0];
    TFramePtr second = RequestFrame(decoder.get(), 64, 48);
    EXPECT_NE(second->data[0], firstData);
    first.reset();
    second.reset();
    EXPECT_EQ(pool.FreeCount(), 2);

    TFramePtr again = RequestFrame(decoder.get(), 64, 48);
    EXPECT_EQ(pool.FreeCount(), 1);
    EXPECT_EQ(pool.BufferCount(), 2);
    again.reset();

    TFramePtr larger = RequestFrame(decoder.get(), 640, 480);
    EXPECT_EQ(pool.BufferCount(), 2);
    EXPECT_GE(larger->linesize[0], 640);
    EXPECT_GE(larger->buf[0]->size, 640 * 480 * 2);
    std::fill_n(larger->data[0], larger->linesize[0] * 480, 0xAB); // must fit
}

TEST_F(FrameBufferPool, RejectsImpossibleSizesAndOutlivedBuffersFreeThemselves) {
    auto pool = std::make_unique<TFrameBufferPool>();
    ContextPtr decoder = OpenDecoder(*pool, 64, 48);
    TFramePtr bad = NewFrame();
    bad->width = 0;
    bad->height = 48;
    bad->format = kFormat;
    EXPECT_LT(CodecGetBuffer(decoder.get(), bad.get(), 0), 0);
    EXPECT_EQ(pool->BufferCount(), 0);

    TFramePtr held = RequestFrame(decoder.get(), 64, 48);
    decoder.reset();
    pool.reset();
    held.reset(); // must neither crash nor leak
}

TEST_F(FrameBufferPool, FiltersTakePoolFramesWithoutCopying) {
    TFrameBufferPool pool;
    ContextPtr decoder = OpenDecoder(pool, 64, 48);
    AVFilterGraph* graph = avlib::avfilter_graph_alloc();
    AVFilterContext *source = nullptr, *sink = nullptr;
    ASSERT_GE(avlib::avfilter_graph_create_filter(&source, avlib::avfilter_get_by_name("buffer"), "in",
                                                  "video_size=64x48:pix_fmt=yuv422p:time_base=1/25", nullptr,
                                                  graph),
              0);
    ASSERT_GE(avlib::avfilter_graph_create_filter(&sink, avlib::avfilter_get_by_name("buffersink"), "out",
                                                  nullptr, nullptr, graph),
              0);
    ASSERT_EQ(avlib::avfilter_link(source, 0, sink, 0), 0);
    ASSERT_GE(avlib::avfilter_graph_config(graph, nullptr), 0);

    TFramePtr decoded = RequestFrame(decoder.get(), 64, 48);
    decoded->pts = 0;
    ASSERT_GE(avlib::av_buffersrc_add_frame_flags(source, decoded.get(), AV_BUFFERSRC_FLAG_KEEP_REF), 0);
    TFramePtr filtered = NewFrame();
    ASSERT_GE(avlib::av_buffersink_get_frame(sink, filtered.get()), 0);
    EXPECT_EQ(filtered->data[0], decoded->data[0]);

    decoded.reset();
    EXPECT_EQ(pool.FreeCount(), 0);
    filtered.reset();
    avlib::avfilter_graph_free(&graph);
    EXPECT_EQ(pool.FreeCount(), 1);
}

TEST_F(FrameBufferPool, AudioDecodersKeepFFmpegsBuffers) {
    TFrameBufferPool pool;
    const AVCodec* codec = avlib::avcodec_find_decoder(AV_CODEC_ID_PCM_S16LE);
    ContextPtr decoder(avlib::avcodec_alloc_context3(codec));
    decoder->sample_rate = 8000;
    avlib::av_channel_layout_default(&decoder->ch_layout, 1);
    pool.Install(decoder.get());
    ASSERT_EQ(avlib::avcodec_open2(decoder.get(), codec, nullptr), 0);
    AVPacket* packet = avlib::av_packet_alloc();
    ASSERT_EQ(avlib::av_new_packet(packet, 200), 0);
    std::fill_n(packet->data, 200, 0);
    ASSERT_EQ(avlib::avcodec_send_packet(decoder.get(), packet), 0);
    TFramePtr frame = NewFrame();
    ASSERT_EQ(avlib::avcodec_receive_frame(decoder.get(), frame.get()), 0);
    EXPECT_EQ(frame->nb_samples, 100);
    EXPECT_EQ(pool.BufferCount(), 0);
    avlib::av_packet_free(&packet);
}

} // namespace
