// The converter against a minimal decode-scale-encode loop written directly
// on the FFmpeg libraries: both turn the same generated 720p clip into an
// MP4 of 960x540 (libx264, preset veryfast); each figure is the median of a
// few rounds. Then 1, 2 and 4 conversions at once against the same number
// one after another, each conversion with single-threaded encoding, so that
// the parallelism comes from the conversions; the four-at-once case runs
// again with the codec lock bypassed, to measure what the lock costs.
//
//   converter_benchmark [seconds of clip (default 4)] [rounds (default 3)]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "engine/AVConverter.h"
#include "engine/AVPointers.h"
#include "engine/CodecLock.h"
#include "platform/rtl/Threads.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 25;
constexpr int kOutputWidth = 960;
constexpr int kOutputHeight = 540;

void Check(int result, const char* what) {
    if (result < 0) throw Exception(String(what) + " failed (" + String(std::to_string(result)) + ")");
}

struct TOutputCloser {
    void operator()(AVFormatContext* context) const {
        if (context->pb) avlib::avio_closep(&context->pb);
        avlib::avformat_free_context(context);
    }
};
using TOutputPtr = std::unique_ptr<AVFormatContext, TOutputCloser>;
struct TInputCloser {
    void operator()(AVFormatContext* context) const { avlib::avformat_close_input(&context); }
};
using TInputPtr = std::unique_ptr<AVFormatContext, TInputCloser>;

void WriteAll(AVFormatContext* context, AVCodecContext* encoder, AVStream* stream, AVPacket* packet) {
    while (avlib::avcodec_receive_packet(encoder, packet) >= 0) {
        avlib::av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        Check(avlib::av_interleaved_write_frame(context, packet), "writing");
    }
}

TOutputPtr NewOutput(const std::string& path) {
    AVFormatContext* context = nullptr;
    Check(avlib::avformat_alloc_output_context2(&context, nullptr, nullptr, path.c_str()), "choosing a muxer");
    return TOutputPtr(context);
}

// 1280x720 moving gradients with noise, MPEG-4 part 2 at a high quality.
void WriteClip(const std::string& path, int seconds) {
    const TOutputPtr context = NewOutput(path);
    const AVCodec* codec = avlib::avcodec_find_encoder_by_name("mpeg4");
    const TCodecContextPtr encoder(avlib::avcodec_alloc_context3(codec));
    encoder->width = 1280;
    encoder->height = 720;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = {1, kRate};
    encoder->framerate = {kRate, 1};
    encoder->bit_rate = 8000000;
    Check(avlib::avcodec_open2(encoder.get(), codec, nullptr), "opening mpeg4");
    AVStream* stream = avlib::avformat_new_stream(context.get(), nullptr);
    stream->time_base = encoder->time_base;
    Check(avlib::avcodec_parameters_from_context(stream->codecpar, encoder.get()), "parameters");
    Check(avlib::avio_open(&context->pb, path.c_str(), AVIO_FLAG_WRITE), "opening the clip");
    Check(avlib::avformat_write_header(context.get(), nullptr), "header");
    const TFramePtr frame = NewFrame();
    const TPacketPtr packet = NewPacket();
    uint32_t noise = 12345;
    for (int i = 0; i < seconds * kRate; ++i) {
        avlib::av_frame_unref(frame.get());
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = 1280;
        frame->height = 720;
        Check(avlib::av_frame_get_buffer(frame.get(), 0), "picture");
        for (int y = 0; y < 720; ++y)
            for (int x = 0; x < 1280; ++x) {
                noise = noise * 1664525 + 1013904223;
                frame->data[0][y * frame->linesize[0] + x] =
                    static_cast<uint8_t>((x + 3 * i) ^ (y - 2 * i)) / 2 + 64 + static_cast<int>(noise >> 29);
            }
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < 360; ++y)
                for (int x = 0; x < 640; ++x)
                    frame->data[plane][y * frame->linesize[plane] + x] =
                        static_cast<uint8_t>(128 + 40 * std::sin((x + y * plane + 5 * i) * 0.02));
        frame->pts = i;
        Check(avlib::avcodec_send_frame(encoder.get(), frame.get()), "encoding");
        WriteAll(context.get(), encoder.get(), stream, packet.get());
    }
    Check(avlib::avcodec_send_frame(encoder.get(), nullptr), "flushing");
    WriteAll(context.get(), encoder.get(), stream, packet.get());
    Check(avlib::av_write_trailer(context.get()), "trailer");
}

// The reference: decode, scale, encode and write, nothing else.
void DirectLoop(const std::string& input, const std::string& output) {
    AVFormatContext* opened = nullptr;
    Check(avlib::avformat_open_input(&opened, input.c_str(), nullptr, nullptr), "opening the clip");
    const TInputPtr source(opened);
    Check(avlib::avformat_find_stream_info(source.get(), nullptr), "stream info");
    const int index = avlib::av_find_best_stream(source.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVStream* inStream = source->streams[index];
    const TCodecContextPtr decoder(avlib::avcodec_alloc_context3(avlib::avcodec_find_decoder(inStream->codecpar->codec_id)));
    Check(avlib::avcodec_parameters_to_context(decoder.get(), inStream->codecpar), "decoder parameters");
    decoder->pkt_timebase = inStream->time_base;
    TAVDict decoderOptions;
    decoderOptions.Set("threads", "auto");
    Check(avlib::avcodec_open2(decoder.get(), decoder->codec, decoderOptions.Address()), "opening the decoder");

    const TOutputPtr target = NewOutput(output);
    const AVCodec* codec = avlib::avcodec_find_encoder_by_name("libx264");
    const TCodecContextPtr encoder(avlib::avcodec_alloc_context3(codec));
    encoder->width = kOutputWidth;
    encoder->height = kOutputHeight;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = {1, kRate};
    encoder->framerate = {kRate, 1};
    encoder->sample_aspect_ratio = {1, 1};
    if (target->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    TAVDict encoderOptions;
    encoderOptions.Set("preset", "veryfast");
    encoderOptions.Set("threads", "auto");
    Check(avlib::avcodec_open2(encoder.get(), codec, encoderOptions.Address()), "opening libx264");
    AVStream* outStream = avlib::avformat_new_stream(target.get(), nullptr);
    outStream->time_base = encoder->time_base;
    Check(avlib::avcodec_parameters_from_context(outStream->codecpar, encoder.get()), "parameters");
    Check(avlib::avio_open(&target->pb, output.c_str(), AVIO_FLAG_WRITE), "opening the output");
    Check(avlib::avformat_write_header(target.get(), nullptr), "header");

    const TScalerPtr scaler(avlib::sws_getContext(decoder->width, decoder->height, decoder->pix_fmt, kOutputWidth,
                                                  kOutputHeight, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr,
                                                  nullptr));
    const TPacketPtr packet = NewPacket();
    const TPacketPtr encoded = NewPacket();
    const TFramePtr decoded = NewFrame();
    const TFramePtr scaled = NewFrame();
    const auto encodeDecoded = [&] {
        while (avlib::avcodec_receive_frame(decoder.get(), decoded.get()) >= 0) {
            avlib::av_frame_unref(scaled.get());
            scaled->format = AV_PIX_FMT_YUV420P;
            scaled->width = kOutputWidth;
            scaled->height = kOutputHeight;
            Check(avlib::av_frame_get_buffer(scaled.get(), 0), "picture");
            avlib::sws_scale(scaler.get(), decoded->data, decoded->linesize, 0, decoded->height, scaled->data,
                             scaled->linesize);
            scaled->pts = avlib::av_rescale_q(decoded->best_effort_timestamp, inStream->time_base, encoder->time_base);
            avlib::av_frame_unref(decoded.get());
            Check(avlib::avcodec_send_frame(encoder.get(), scaled.get()), "encoding");
            WriteAll(target.get(), encoder.get(), outStream, encoded.get());
        }
    };
    while (avlib::av_read_frame(source.get(), packet.get()) >= 0) {
        if (packet->stream_index == index) Check(avlib::avcodec_send_packet(decoder.get(), packet.get()), "decoding");
        avlib::av_packet_unref(packet.get());
        encodeDecoded();
    }
    avlib::avcodec_send_packet(decoder.get(), nullptr);
    encodeDecoded();
    Check(avlib::avcodec_send_frame(encoder.get(), nullptr), "flushing");
    WriteAll(target.get(), encoder.get(), outStream, encoded.get());
    Check(avlib::av_write_trailer(target.get()), "trailer");
}

// Runs the conversions of Outputs at once on the main thread's dispatcher;
// each encodes single-threaded when SingleThreaded, and has an OnProgress
// handler, as the application's tasks have, when Progress.
void Convert(const std::string& input, const std::vector<std::string>& outputs, bool singleThreaded,
             bool progress = true) {
    std::vector<std::unique_ptr<TAVConverter>> converters;
    int completed = 0, failed = 0, steps = 0;
    for (const std::string& output : outputs) {
        auto converter = std::make_unique<TAVConverter>(nullptr);
        converter->InputFiles()->Add(String(input));
        converter->OutputFiles()->Add(String(output));
        TAVConvertOptions& options = *converter->ConvertOptions();
        options.VideoOptions()->SetVideoCodecName("libx264");
        options.VideoOptions()->SetFrameWidth(kOutputWidth);
        options.VideoOptions()->SetFrameHeight(kOutputHeight);
        options.CodecOptions()->Add("preset=veryfast");
        if (singleThreaded) options.CodecOptions()->Add("threads=1");
        if (progress) converter->OnProgress = [&](TObject*) { ++steps; };
        converter->OnComplete = [&](TObject* sender) {
            ++completed;
            failed += static_cast<TAVConverter*>(sender)->Failed();
        };
        converters.push_back(std::move(converter));
    }
    for (const auto& converter : converters) converter->StartConversion(nullptr);
    while (completed < static_cast<int>(outputs.size())) CheckSynchronize(5);
    if (failed) throw Exception("a conversion failed");
}

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(int rounds, const std::function<void()>& run) { return TTiming(rounds).NoWarmUp().MedianSeconds(run); }

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path folder = NewBenchFolder("converter-benchmark");
    if (folder.empty()) return 1;
    const std::string clip = (folder / "clip.nut").string();
    const auto out = [&](const std::string& name) { return (folder / name).string(); };
    try {
        LoadAVLib();
        WriteClip(clip, seconds);
        std::printf("clip: %d s of 1280x720 at %d/s; output 960x540 libx264 veryfast; median of %d rounds\n",
                    seconds, kRate, rounds);

        Convert(clip, {out("warm.mp4")}, false); // first use: libraries and caches
        // Alternated within each round, so that a change of the machine's load
        // weighs on both; the ratio is the median of the rounds' ratios.
        std::vector<double> direct, converter, ratios, quiet;
        for (int round = 0; round < rounds; ++round) {
            direct.push_back(Seconds([&] { DirectLoop(clip, out("direct.mp4")); }));
            converter.push_back(Seconds([&] { Convert(clip, {out("converter.mp4")}, false); }));
            ratios.push_back(converter.back() / direct.back());
            quiet.push_back(Seconds([&] { Convert(clip, {out("quiet.mp4")}, false, false); }) / direct.back());
        }
        const auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        std::printf("direct decode-scale-encode loop: %.3f s\n", median(direct));
        std::printf("converter:                       %.3f s\n", median(converter));
        std::printf("converter / direct loop: %.3f (without an OnProgress handler: %.3f)\n\n", median(ratios),
                    median(quiet));

        for (const bool singleThreaded : {true, false}) {
            std::printf("%s:\n", singleThreaded ? "single-threaded encoding per conversion" : "encoder's own threads");
            const double one = Median(rounds, [&] { Convert(clip, {out("one.mp4")}, singleThreaded); });
            std::printf("  1 conversion:               %.3f s\n", one);
            for (const int count : {2, 4}) {
                std::vector<std::string> outputs;
                for (int i = 0; i < count; ++i) outputs.push_back(out("parallel" + std::to_string(i) + ".mp4"));
                const double sequential = Median(rounds, [&] {
                    for (const std::string& output : outputs) Convert(clip, {output}, singleThreaded);
                });
                const double parallel = Median(rounds, [&] { Convert(clip, outputs, singleThreaded); });
                std::printf("  %d one after another:        %.3f s\n", count, sequential);
                std::printf("  %d at once:                  %.3f s   throughput %.2f x one, %.2f x sooner\n", count,
                            parallel, count * one / parallel, sequential / parallel);
                if (count != 4) continue;
                SetCodecLockBypassed(true);
                const double unlocked = Median(rounds, [&] { Convert(clip, outputs, singleThreaded); });
                SetCodecLockBypassed(false);
                std::printf("  %d at once, no codec lock:   %.3f s   throughput %.2f x one, %.2f x sooner\n", count,
                            unlocked, count * one / unlocked, sequential / unlocked);
                std::printf("  codec lock cost at 4 at once: %.3f\n", parallel / unlocked);
            }
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().ToUtf8().c_str());
        fs::remove_all(folder);
        return 1;
    }
    fs::remove_all(folder);
    return 0;
}
