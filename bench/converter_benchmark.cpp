// Conversions at once in one process against the same number of minimal
// decode-scale-encode loops written directly on the FFmpeg libraries, run at
// once on threads: all turn the same generated 720p clip with sound into an
// MP4 of 960x540 (libx264 veryfast crf 22, AAC), with the same encoder
// settings and thread counts. For 1, 2 and 4 at once, first with
// single-threaded encoders (the parallelism comes from the conversions),
// then with the thread counts left to the converter (shared out among the
// conversions running): the converter's wall time, the direct loops', their
// ratio, the throughput over as many one after another, and the process's
// peak memory. Each time is the median of a few rounds, converter and loops
// alternated within a round; each ratio the median of the rounds' ratios.
// The machine's cores and load are printed: figures from a busy machine read
// as such. The last line is the worst ratio to the direct loops.
//
//   converter_benchmark [seconds of clip (default 4)] [rounds (default 3)]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchFolder.h"
#include "engine/AVConverter.h"
#include "engine/AVPointers.h"
#include "engine/CodecThreads.h"
#include "platform/rtl/Threads.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 25;
constexpr int kOutputWidth = 960;
constexpr int kOutputHeight = 540;
constexpr int kSampleRate = 44100;
constexpr int kAudioBitrate = 128000;
constexpr const char* kCrf = "22";

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

// Seconds of stereo 16-bit sound, two slowly beating tones, into Stream.
void WriteSound(AVFormatContext* context, AVStream* stream, int seconds) {
    const TPacketPtr packet = NewPacket();
    constexpr int kBlock = 4410;
    for (int block = 0; block < seconds * kSampleRate / kBlock; ++block) {
        Check(avlib::av_new_packet(packet.get(), kBlock * 4), "sound packet");
        auto* samples = reinterpret_cast<int16_t*>(packet->data);
        for (int i = 0; i < kBlock; ++i) {
            const double t = static_cast<double>(block * kBlock + i) / kSampleRate;
            samples[2 * i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * t));
            samples[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 443 * t));
        }
        packet->pts = packet->dts = static_cast<int64_t>(block) * kBlock;
        packet->duration = kBlock;
        packet->stream_index = stream->index;
        Check(avlib::av_interleaved_write_frame(context, packet.get()), "writing sound");
    }
}

// 1280x720 moving gradients with noise, MPEG-4 part 2 at a high quality, and
// PCM sound.
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
    AVStream* sound = avlib::avformat_new_stream(context.get(), nullptr);
    sound->time_base = {1, kSampleRate};
    sound->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    sound->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    sound->codecpar->sample_rate = kSampleRate;
    sound->codecpar->format = AV_SAMPLE_FMT_S16;
    avlib::av_channel_layout_default(&sound->codecpar->ch_layout, 2);
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
    WriteSound(context.get(), sound, seconds);
    Check(avlib::av_write_trailer(context.get()), "trailer");
}

// The thread counts of one conversion among Count at once: its encoders
// single-threaded or left to the converter, its decoders left to it.
struct TThreads {
    std::string decoder;
    std::string encoder;
};
TThreads ThreadsAmong(int count, bool singleThreaded) {
    const std::string shared = SharedThreadCount(count, AvailableCores());
    return {shared, singleThreaded ? "1" : shared};
}

struct TResamplerFree {
    void operator()(SwrContext* context) const { avlib::swr_free(&context); }
};
using TResamplerPtr = std::unique_ptr<SwrContext, TResamplerFree>;

TCodecContextPtr OpenDecoder(AVStream* stream, const std::string& threads) {
    TCodecContextPtr decoder(avlib::avcodec_alloc_context3(avlib::avcodec_find_decoder(stream->codecpar->codec_id)));
    Check(avlib::avcodec_parameters_to_context(decoder.get(), stream->codecpar), "decoder parameters");
    decoder->pkt_timebase = stream->time_base;
    TAVDict options;
    options.Set("threads", threads);
    Check(avlib::avcodec_open2(decoder.get(), decoder->codec, options.Address()), "opening a decoder");
    return decoder;
}

// An encoder of Target's and its stream.
struct TEncoding {
    TCodecContextPtr encoder;
    AVStream* stream = nullptr;
};

TEncoding OpenEncoder(AVFormatContext* target, const char* name, const std::function<void(AVCodecContext&)>& set,
                      TAVDict options) {
    const AVCodec* codec = avlib::avcodec_find_encoder_by_name(name);
    TEncoding encoding{TCodecContextPtr(avlib::avcodec_alloc_context3(codec))};
    set(*encoding.encoder);
    if (target->oformat->flags & AVFMT_GLOBALHEADER) encoding.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avlib::avcodec_open2(encoding.encoder.get(), codec, options.Address()), "opening an encoder");
    encoding.stream = avlib::avformat_new_stream(target, nullptr);
    encoding.stream->time_base = encoding.encoder->time_base;
    Check(avlib::avcodec_parameters_from_context(encoding.stream->codecpar, encoding.encoder.get()), "parameters");
    return encoding;
}

// The reference: decode, scale and resample, encode and write, nothing else.
void DirectLoop(const std::string& input, const std::string& output, const TThreads& threads) {
    AVFormatContext* opened = nullptr;
    Check(avlib::avformat_open_input(&opened, input.c_str(), nullptr, nullptr), "opening the clip");
    const TInputPtr source(opened);
    Check(avlib::avformat_find_stream_info(source.get(), nullptr), "stream info");
    const int videoIndex = avlib::av_find_best_stream(source.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int audioIndex = avlib::av_find_best_stream(source.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    AVStream* videoIn = source->streams[videoIndex];
    AVStream* audioIn = source->streams[audioIndex];
    const TCodecContextPtr videoDecoder = OpenDecoder(videoIn, threads.decoder);
    const TCodecContextPtr audioDecoder = OpenDecoder(audioIn, threads.decoder);

    const TOutputPtr target = NewOutput(output);
    TAVDict videoOptions;
    videoOptions.Set("preset", "veryfast");
    videoOptions.Set("crf", kCrf);
    videoOptions.Set("threads", threads.encoder);
    const TEncoding video = OpenEncoder(target.get(), "libx264", [](AVCodecContext& encoder) {
        encoder.width = kOutputWidth;
        encoder.height = kOutputHeight;
        encoder.pix_fmt = AV_PIX_FMT_YUV420P;
        encoder.time_base = {1, kRate};
        encoder.framerate = {kRate, 1};
        encoder.sample_aspect_ratio = {1, 1};
    }, std::move(videoOptions));
    TAVDict audioOptions;
    audioOptions.Set("threads", threads.encoder);
    const TEncoding audio = OpenEncoder(target.get(), "aac", [](AVCodecContext& encoder) {
        encoder.sample_fmt = AV_SAMPLE_FMT_FLTP;
        encoder.sample_rate = kSampleRate;
        avlib::av_channel_layout_default(&encoder.ch_layout, 2);
        encoder.time_base = {1, kSampleRate};
        encoder.bit_rate = kAudioBitrate;
    }, std::move(audioOptions));
    Check(avlib::avio_open(&target->pb, output.c_str(), AVIO_FLAG_WRITE), "opening the output");
    Check(avlib::avformat_write_header(target.get(), nullptr), "header");

    const TScalerPtr scaler(avlib::sws_getContext(videoDecoder->width, videoDecoder->height, videoDecoder->pix_fmt,
                                                  kOutputWidth, kOutputHeight, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                                                  nullptr, nullptr, nullptr));
    SwrContext* made = nullptr;
    Check(avlib::swr_alloc_set_opts2(&made, &audio.encoder->ch_layout, AV_SAMPLE_FMT_FLTP, kSampleRate,
                                     &audioDecoder->ch_layout, audioDecoder->sample_fmt, audioDecoder->sample_rate,
                                     0, nullptr),
          "resampler");
    const TResamplerPtr resampler(made);
    Check(avlib::swr_init(resampler.get()), "resampler");

    const TPacketPtr packet = NewPacket();
    const TPacketPtr encoded = NewPacket();
    const TFramePtr decoded = NewFrame();
    const TFramePtr scaled = NewFrame();
    const TFramePtr sound = NewFrame();
    int64_t soundPts = 0;
    const auto newSound = [&] {
        avlib::av_frame_unref(sound.get());
        sound->format = AV_SAMPLE_FMT_FLTP;
        sound->sample_rate = kSampleRate;
        Check(avlib::av_channel_layout_copy(&sound->ch_layout, &audio.encoder->ch_layout), "layout");
        sound->nb_samples = audio.encoder->frame_size;
        Check(avlib::av_frame_get_buffer(sound.get(), 0), "sound");
        sound->nb_samples = 0;
    };
    const auto encodeSound = [&] {
        sound->pts = soundPts;
        soundPts += sound->nb_samples;
        Check(avlib::avcodec_send_frame(audio.encoder.get(), sound.get()), "encoding sound");
        WriteAll(target.get(), audio.encoder.get(), audio.stream, encoded.get());
        newSound();
    };
    // Fills encoder-sized frames from Samples (none: what the resampler still holds).
    const auto resample = [&](const uint8_t** samples, int count) {
        for (;;) {
            const int room = audio.encoder->frame_size - sound->nb_samples;
            uint8_t* out[2] = {sound->data[0] + sound->nb_samples * sizeof(float),
                               sound->data[1] + sound->nb_samples * sizeof(float)};
            const int got = avlib::swr_convert(resampler.get(), out, room, samples, count);
            Check(got, "resampling");
            samples = nullptr;
            count = 0;
            sound->nb_samples += got;
            if (sound->nb_samples < audio.encoder->frame_size) return;
            encodeSound();
        }
    };
    const auto decode = [&](AVCodecContext* decoder, bool pictures) {
        while (avlib::avcodec_receive_frame(decoder, decoded.get()) >= 0) {
            if (pictures) {
                avlib::av_frame_unref(scaled.get());
                scaled->format = AV_PIX_FMT_YUV420P;
                scaled->width = kOutputWidth;
                scaled->height = kOutputHeight;
                Check(avlib::av_frame_get_buffer(scaled.get(), 0), "picture");
                avlib::sws_scale(scaler.get(), decoded->data, decoded->linesize, 0, decoded->height, scaled->data,
                                 scaled->linesize);
                scaled->pts = avlib::av_rescale_q(decoded->best_effort_timestamp, videoIn->time_base,
                                                  video.encoder->time_base);
                Check(avlib::avcodec_send_frame(video.encoder.get(), scaled.get()), "encoding");
                WriteAll(target.get(), video.encoder.get(), video.stream, encoded.get());
            } else {
                resample(const_cast<const uint8_t**>(decoded->extended_data), decoded->nb_samples);
            }
            avlib::av_frame_unref(decoded.get());
        }
    };
    newSound();
    while (avlib::av_read_frame(source.get(), packet.get()) >= 0) {
        AVCodecContext* decoder = packet->stream_index == videoIndex   ? videoDecoder.get()
                                  : packet->stream_index == audioIndex ? audioDecoder.get()
                                                                       : nullptr;
        if (decoder) Check(avlib::avcodec_send_packet(decoder, packet.get()), "decoding");
        avlib::av_packet_unref(packet.get());
        if (decoder) decode(decoder, decoder == videoDecoder.get());
    }
    for (AVCodecContext* decoder : {videoDecoder.get(), audioDecoder.get()}) {
        avlib::avcodec_send_packet(decoder, nullptr);
        decode(decoder, decoder == videoDecoder.get());
    }
    resample(nullptr, 0);
    if (sound->nb_samples) encodeSound();
    for (const TEncoding* encoding : {&video, &audio}) {
        Check(avlib::avcodec_send_frame(encoding->encoder.get(), nullptr), "flushing");
        WriteAll(target.get(), encoding->encoder.get(), encoding->stream, encoded.get());
    }
    Check(avlib::av_write_trailer(target.get()), "trailer");
}

// Runs the direct loops of Outputs at once, one thread each.
void DirectLoops(const std::string& input, const std::vector<std::string>& outputs, bool singleThreaded) {
    const TThreads threads = ThreadsAmong(static_cast<int>(outputs.size()), singleThreaded);
    std::vector<std::thread> loops;
    std::vector<std::string> failures(outputs.size());
    for (size_t i = 0; i < outputs.size(); ++i)
        loops.emplace_back([&, i] {
            try {
                DirectLoop(input, outputs[i], threads);
            } catch (const Exception& e) {
                failures[i] = e.Message().ToUtf8();
            }
        });
    for (std::thread& loop : loops) loop.join();
    for (const std::string& failure : failures)
        if (!failure.empty()) throw Exception(String("a direct loop failed: ") + String(failure));
}

// Runs the conversions of Outputs at once on the main thread's dispatcher,
// each with an OnProgress handler, as the application's tasks have; their
// encoders single-threaded when SingleThreaded, else with the thread counts
// left to the converter.
void Convert(const std::string& input, const std::vector<std::string>& outputs, bool singleThreaded) {
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
        options.AudioOptions()->SetAudioCodecName("aac");
        options.AudioOptions()->SetBitrate(kAudioBitrate);
        options.CodecOptions()->Add("preset=veryfast");
        options.CodecOptions()->Add(String("crf=") + kCrf);
        if (singleThreaded) options.CodecOptions()->Add("threads=1");
        converter->OnProgress = [&](TObject*) { ++steps; };
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

// The process's peak resident memory since the last reset, megabytes.
double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::string Load() {
    std::ifstream loadavg("/proc/loadavg");
    double one = 0, five = 0, fifteen = 0;
    loadavg >> one >> five >> fifteen;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
    return text;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A count of conversions at once against as many direct loops.
struct TMeasure {
    double converter = 0; // seconds
    double direct = 0;
    double ratio = 0;
    double converterPeak = 0; // megabytes
    double directPeak = 0;
};

TMeasure MeasureAtOnce(const std::string& clip, const std::vector<std::string>& outputs, bool singleThreaded,
                       int rounds) {
    std::vector<double> converter, direct, ratios;
    TMeasure measure;
    for (int round = 0; round < rounds; ++round) {
        ResetPeakMemory();
        direct.push_back(Seconds([&] { DirectLoops(clip, outputs, singleThreaded); }));
        measure.directPeak = std::max(measure.directPeak, PeakMegabytes());
        ResetPeakMemory();
        converter.push_back(Seconds([&] { Convert(clip, outputs, singleThreaded); }));
        measure.converterPeak = std::max(measure.converterPeak, PeakMegabytes());
        ratios.push_back(converter.back() / direct.back());
    }
    measure.converter = Median(converter);
    measure.direct = Median(direct);
    measure.ratio = Median(ratios);
    return measure;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path folder = NewBenchFolder("converter-benchmark");
    if (folder.empty()) return 1;
    const std::string clip = (folder / "clip.nut").string();
    const auto outputs = [&](int count) {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.push_back((folder / ("out" + std::to_string(i) + ".mp4")).string());
        return names;
    };
    try {
        LoadAVLib();
        WriteClip(clip, seconds);
        std::printf("clip: %d s of 1280x720 at %d/s with stereo sound; output 960x540 libx264 veryfast crf %s + AAC; "
                    "median of %d rounds\n",
                    seconds, kRate, kCrf, rounds);
        std::printf("machine: %u cores for this process (%u on line), load %s\n\n", AvailableCores(),
                    std::thread::hardware_concurrency(), Load().c_str());
        Convert(clip, outputs(1), false); // first use: libraries and caches

        double worstRatio = 0;
        double singleGain = 0, sharedGain = 0, sharedPeak = 0;
        for (const bool singleThreaded : {true, false}) {
            std::printf("%s:\n", singleThreaded ? "single-threaded encoders" : "thread counts left to the converter");
            std::printf("  at once  converter   direct loops  ratio   throughput over one after another  "
                        "peak MB (converter / direct)\n");
            double one = 0;
            for (const int count : {1, 2, 4}) {
                const TMeasure m = MeasureAtOnce(clip, outputs(count), singleThreaded, rounds);
                if (count == 1) one = m.converter;
                const double throughput = count * one / m.converter;
                std::printf("  %d        %7.3f s   %7.3f s      %.3f   %.2f x                              "
                            "%.0f / %.0f\n",
                            count, m.converter, m.direct, m.ratio, throughput, m.converterPeak, m.directPeak);
                worstRatio = std::max(worstRatio, m.ratio);
                if (count != 4) continue;
                if (singleThreaded) {
                    singleGain = throughput;
                } else {
                    sharedGain = throughput;
                    sharedPeak = m.converterPeak;
                }
            }
        }
        std::printf("\nfour at once, single-threaded encoders: %.2f x the throughput of one after another "
                    "(target >= 2.2 with 4 free cores)\n",
                    singleGain);
        std::printf("four at once, shared-out threads: %.2f x the throughput of four one after another with "
                    "automatic threads (target >= 1.3)\n",
                    sharedGain);
        std::printf("peak memory of four at once, shared-out threads: %.0f MB (target <= 700)\n", sharedPeak);
        std::printf("load at the end: %s\n", Load().c_str());
        std::printf("converter / direct loops, worst of all counts: %.3f (target <= 1.05)\n", worstRatio);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().ToUtf8().c_str());
        fs::remove_all(folder);
        return 1;
    }
    fs::remove_all(folder);
    return 0;
}
