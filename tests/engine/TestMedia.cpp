#include "TestMedia.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

#include <gtest/gtest.h>

#include "engine/AVDict.h"
#include "engine/AVPointers.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

std::vector<uint8_t> MakePcm(int samples) {
    std::vector<uint8_t> pcm;
    pcm.reserve(static_cast<size_t>(samples) * 2);
    for (int i = 0; i < samples; ++i) {
        const auto sample = static_cast<uint16_t>(i * 7 + (i >> 8));
        pcm.push_back(static_cast<uint8_t>(sample));
        pcm.push_back(static_cast<uint8_t>(sample >> 8));
    }
    return pcm;
}

namespace {
void Put(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
} // namespace

std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& pcm, int sampleRate) {
    const auto dataSize = static_cast<uint32_t>(pcm.size());
    std::vector<uint8_t> wav;
    Put(wav, "RIFF");
    Put(wav, 36 + dataSize, 4);
    Put(wav, "WAVE");
    Put(wav, "fmt ");
    Put(wav, 16, 4);
    Put(wav, 1, 2); // PCM
    Put(wav, 1, 2); // channels
    Put(wav, static_cast<uint32_t>(sampleRate), 4);
    Put(wav, static_cast<uint32_t>(sampleRate) * 2, 4);
    Put(wav, 2, 2);  // block align
    Put(wav, 16, 2); // bits per sample
    Put(wav, "data");
    Put(wav, dataSize, 4);
    wav.insert(wav.end(), pcm.begin(), pcm.end());
    return wav;
}

int TestPictureLuma(int index) { return 100 + 5 * (index % 30); }

TTestTrack VideoTrack(int width, int height, const std::string& codec, int frameRate) {
    TTestTrack track;
    track.type = AVMEDIA_TYPE_VIDEO;
    track.codec = codec;
    track.width = width;
    track.height = height;
    track.frameRate = frameRate;
    return track;
}

TTestTrack AudioTrack(int channels, const std::string& codec, int sampleRate) {
    TTestTrack track;
    track.type = AVMEDIA_TYPE_AUDIO;
    track.codec = codec;
    track.channels = channels;
    track.sampleRate = sampleRate;
    return track;
}

namespace {

void Check(int result, const char* what) {
    if (result < 0)
        throw Exception(String("test media: ") + what + " failed (" + String(std::to_string(result)) + ")");
}

struct TEncodedTrack {
    const TTestTrack* track = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    int64_t first = 0; // pts of the first picture or sample
    int64_t count = 0; // pictures or samples
    int64_t done = 0;
    bool flushed = false;
    ~TEncodedTrack() { avlib::avcodec_free_context(&encoder); }

    // Of the next picture or sample; past the last one, where it ends.
    int64_t NextPts() const {
        const std::vector<int>& times = track->pictureTimes;
        if (track->type == AVMEDIA_TYPE_AUDIO || times.empty()) return first + done;
        if (done < count) return first + times[static_cast<size_t>(done)];
        return first + times.back() + 1000 / track->frameRate;
    }
};

void Drain(AVFormatContext* context, TEncodedTrack& track, AVPacket* packet) {
    int result;
    while ((result = avlib::avcodec_receive_packet(track.encoder, packet)) >= 0) {
        avlib::av_packet_rescale_ts(packet, track.encoder->time_base, track.stream->time_base);
        packet->stream_index = track.stream->index;
        Check(avlib::av_interleaved_write_frame(context, packet), "writing a packet");
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) Check(result, "encoding");
}

void FillPicture(AVFrame& frame, int index) {
    const int luma = TestPictureLuma(index);
    for (int y = 0; y < frame.height; ++y) std::memset(frame.data[0] + y * frame.linesize[0], luma, frame.width);
    int shiftX = 0, shiftY = 0;
    avlib::av_pix_fmt_get_chroma_sub_sample(static_cast<AVPixelFormat>(frame.format), &shiftX, &shiftY);
    const int chromaWidth = -((-frame.width) >> shiftX), chromaHeight = -((-frame.height) >> shiftY);
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < chromaHeight; ++y)
            std::memset(frame.data[plane] + y * frame.linesize[plane], 128, chromaWidth);
}

void FillSound(AVFrame& frame, int64_t first) {
    const int channels = frame.ch_layout.nb_channels;
    for (int i = 0; i < frame.nb_samples; ++i) {
        const double value = 0.1 * std::sin(static_cast<double>(first + i) * 0.05);
        for (int c = 0; c < channels; ++c) {
            switch (frame.format) {
            case AV_SAMPLE_FMT_S16:
                reinterpret_cast<int16_t*>(frame.data[0])[i * channels + c] = static_cast<int16_t>(value * 32767);
                break;
            case AV_SAMPLE_FMT_S16P:
                reinterpret_cast<int16_t*>(frame.data[c])[i] = static_cast<int16_t>(value * 32767);
                break;
            case AV_SAMPLE_FMT_S32P:
                reinterpret_cast<int32_t*>(frame.data[c])[i] = static_cast<int32_t>(value * 2147483647);
                break;
            case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame.data[c])[i] = static_cast<float>(value); break;
            default: throw Exception("test media: unexpected sample format");
            }
        }
    }
}

void OpenTrack(TEncodedTrack& out, AVFormatContext* context, int frames) {
    const TTestTrack& track = *out.track;
    const AVCodec* codec = avlib::avcodec_find_encoder_by_name(track.codec.c_str());
    if (!codec) throw Exception("test media: no encoder " + String(track.codec));
    out.encoder = avlib::avcodec_alloc_context3(codec);
    AVCodecContext& encoder = *out.encoder;
    if (track.type == AVMEDIA_TYPE_VIDEO) {
        encoder.width = track.width;
        encoder.height = track.height;
        encoder.pix_fmt = track.pixelFormat != AV_PIX_FMT_NONE ? track.pixelFormat
                          : codec->pix_fmts                    ? codec->pix_fmts[0]
                                                               : AV_PIX_FMT_YUV420P;
        encoder.framerate = {track.frameRate, 1};
        if (track.keyFrameInterval) encoder.gop_size = track.keyFrameInterval;
        if (track.pictureTimes.empty()) {
            encoder.time_base = {1, track.frameRate};
            out.count = static_cast<int64_t>(track.frameRate) * frames / 10;
        } else {
            encoder.time_base = {1, 1000};
            out.count = static_cast<int64_t>(track.pictureTimes.size());
        }
    } else {
        encoder.sample_rate = track.sampleRate;
        encoder.sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        avlib::av_channel_layout_default(&encoder.ch_layout, track.channels);
        encoder.time_base = {1, track.sampleRate};
        encoder.bit_rate = 64000 * track.channels;
        out.count = static_cast<int64_t>(track.sampleRate) * frames / 10;
    }
    out.first = std::llround(track.start / av_q2d(encoder.time_base));
    if (context->oformat->flags & AVFMT_GLOBALHEADER) encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    encoder.strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    // Key frames only where asked: no scene-change detection.
    TAVDict options;
    if (track.keyFrameInterval) options.Set("sc_threshold", "1000000000");
    Check(avlib::avcodec_open2(&encoder, codec, options.Address()), "opening an encoder");
    out.stream = avlib::avformat_new_stream(context, nullptr);
    if (!out.stream) throw Exception("test media: no stream");
    out.stream->time_base = encoder.time_base;
    Check(avlib::avcodec_parameters_from_context(out.stream->codecpar, &encoder), "copying parameters");
}

// Encodes the track's next picture or sound, or flushes it when it has no more.
void EncodeNext(TEncodedTrack& out, AVFormatContext* context, AVFrame* frame, AVPacket* packet) {
    AVCodecContext& encoder = *out.encoder;
    if (out.done >= out.count) {
        Check(avlib::avcodec_send_frame(&encoder, nullptr), "flushing");
        Drain(context, out, packet);
        out.flushed = true;
        return;
    }
    avlib::av_frame_unref(frame);
    frame->pts = out.NextPts();
    if (out.track->type == AVMEDIA_TYPE_VIDEO) {
        frame->format = encoder.pix_fmt;
        frame->width = encoder.width;
        frame->height = encoder.height;
        Check(avlib::av_frame_get_buffer(frame, 0), "allocating a picture");
        FillPicture(*frame, static_cast<int>(out.done));
        ++out.done;
    } else {
        const int chunk = encoder.frame_size > 0 ? encoder.frame_size : 1024;
        frame->format = encoder.sample_fmt;
        frame->sample_rate = encoder.sample_rate;
        Check(avlib::av_channel_layout_copy(&frame->ch_layout, &encoder.ch_layout), "copying a layout");
        frame->nb_samples = chunk;
        Check(avlib::av_frame_get_buffer(frame, 0), "allocating sound");
        FillSound(*frame, out.done);
        out.done += chunk;
    }
    Check(avlib::avcodec_send_frame(&encoder, frame), "encoding");
    Drain(context, out, packet);
}

} // namespace

void WriteTestMedia(const String& path, const std::vector<TTestTrack>& tracks, int frames) {
    LoadAVLib();
    const std::string name = path.ToUtf8();
    AVFormatContext* context = nullptr;
    Check(avlib::avformat_alloc_output_context2(&context, nullptr, nullptr, name.c_str()), "choosing a muxer");
    struct TContextFree {
        AVFormatContext* context;
        ~TContextFree() {
            if (context->pb) avlib::avio_closep(&context->pb);
            avlib::avformat_free_context(context);
        }
    } contextFree{context};

    std::vector<std::unique_ptr<TEncodedTrack>> encoded;
    for (const TTestTrack& track : tracks) {
        encoded.push_back(std::make_unique<TEncodedTrack>());
        encoded.back()->track = &track;
        OpenTrack(*encoded.back(), context, frames);
    }
    Check(avlib::avio_open(&context->pb, name.c_str(), AVIO_FLAG_WRITE), "opening the file");
    TAVDict muxerOptions;
    if (std::string_view(context->oformat->name) == "dvd") {
        // At a disc's nominal 10 Mbit/s the muxer's clock hardly moves for these small pictures and the
        // sound ends up seconds behind the pictures it goes with; near the real rate, with a short delay,
        // each picture's sound lies beside it, as on a disc.
        muxerOptions.Set("muxrate", "3000000");
        context->max_delay = 200000;
    }
    Check(avlib::avformat_write_header(context, muxerOptions.Address()), "writing the header");

    const TFramePtr frame = NewFrame();
    const TPacketPtr packet = NewPacket();
    for (;;) {
        TEncodedTrack* next = nullptr;
        for (const auto& track : encoded)
            if (!track->flushed &&
                (!next || avlib::av_compare_ts(track->NextPts(), track->encoder->time_base, next->NextPts(),
                                        next->encoder->time_base) < 0))
                next = track.get();
        if (!next) break;
        EncodeNext(*next, context, frame.get(), packet.get());
    }
    Check(avlib::av_write_trailer(context), "writing the trailer");
}

const TTestStreamInfo* TTestMediaInfo::Find(AVMediaType type) const {
    for (const TTestStreamInfo& stream : streams)
        if (stream.type == type) return &stream;
    return nullptr;
}

namespace {

struct TInputFree {
    void operator()(AVFormatContext* context) const { avlib::avformat_close_input(&context); }
};
using TInputPtr = std::unique_ptr<AVFormatContext, TInputFree>;

TInputPtr OpenTestMedia(const String& path) {
    LoadAVLib();
    AVFormatContext* context = nullptr;
    if (avlib::avformat_open_input(&context, path.ToUtf8().c_str(), nullptr, nullptr) < 0)
        throw Exception("test media: cannot open " + path);
    TInputPtr input(context);
    Check(avlib::avformat_find_stream_info(context, nullptr), "finding the streams");
    return input;
}

} // namespace

TTestMediaInfo ReadTestMedia(const String& path) {
    const TInputPtr context = OpenTestMedia(path);
    TTestMediaInfo info;
    info.format = context->iformat->name;
    if (const AVDictionaryEntry* brand = avlib::av_dict_get(context->metadata, "major_brand", nullptr, 0))
        info.brand = brand->value;
    info.duration = context->duration == AV_NOPTS_VALUE ? 0 : static_cast<double>(context->duration) / AV_TIME_BASE;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters& par = *context->streams[i]->codecpar;
        TTestStreamInfo stream;
        stream.type = par.codec_type;
        stream.codec = avlib::avcodec_get_name(par.codec_id);
        stream.width = par.width;
        stream.height = par.height;
        stream.channels = par.ch_layout.nb_channels;
        stream.sampleRate = par.sample_rate;
        if (par.codec_type == AVMEDIA_TYPE_VIDEO)
            if (const char* name = avlib::av_get_pix_fmt_name(static_cast<AVPixelFormat>(par.format)))
                stream.pixelFormat = name;
        stream.aspect = par.sample_aspect_ratio;
        stream.frameRate = av_q2d(context->streams[i]->r_frame_rate);
        info.streams.push_back(stream);
    }
    std::vector<TCodecContextPtr> decoders(context->nb_streams);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters& par = *context->streams[i]->codecpar;
        if (par.codec_type != AVMEDIA_TYPE_AUDIO) continue;
        decoders[i].reset(avlib::avcodec_alloc_context3(avlib::avcodec_find_decoder(par.codec_id)));
        Check(avlib::avcodec_parameters_to_context(decoders[i].get(), &par), "copying parameters");
        decoders[i]->pkt_timebase = context->streams[i]->time_base;
        Check(avlib::avcodec_open2(decoders[i].get(), decoders[i]->codec, nullptr), "opening a decoder");
    }
    const TPacketPtr packet = NewPacket();
    const TFramePtr frame = NewFrame();
    const auto decode = [&](unsigned index, AVPacket* sent) {
        AVCodecContext* decoder = decoders[index].get();
        if (!decoder || avlib::avcodec_send_packet(decoder, sent) < 0) return;
        while (avlib::avcodec_receive_frame(decoder, frame.get()) >= 0) {
            info.streams[index].decoded += static_cast<double>(frame->nb_samples) / frame->sample_rate;
            avlib::av_frame_unref(frame.get());
        }
    };
    std::vector<bool> timed(context->nb_streams);
    while (avlib::av_read_frame(context.get(), packet.get()) >= 0) {
        const auto index = static_cast<unsigned>(packet->stream_index);
        TTestStreamInfo& stream = info.streams[index];
        if (stream.packets++ == 0) stream.startsWithKeyFrame = packet->flags & AV_PKT_FLAG_KEY;
        if (packet->pts != AV_NOPTS_VALUE) {
            const double timeBase = av_q2d(context->streams[index]->time_base);
            const double start = static_cast<double>(packet->pts) * timeBase;
            const double end = start + static_cast<double>(packet->duration) * timeBase;
            stream.times.push_back(start);
            stream.keys.push_back(packet->flags & AV_PKT_FLAG_KEY);
            stream.start = timed[index] ? std::min(stream.start, start) : start;
            stream.end = timed[index] ? std::max(stream.end, end) : end;
            timed[index] = true;
        }
        decode(index, packet.get());
        avlib::av_packet_unref(packet.get());
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) decode(i, nullptr);
    return info;
}

double TestPictureLuma(const String& path, int index, int x, int y, int width, int height) {
    const TInputPtr context = OpenTestMedia(path);
    const int video = avlib::av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    Check(video, "finding the video");
    const AVCodecParameters& par = *context->streams[video]->codecpar;
    const TCodecContextPtr decoder(avlib::avcodec_alloc_context3(avlib::avcodec_find_decoder(par.codec_id)));
    Check(avlib::avcodec_parameters_to_context(decoder.get(), &par), "copying parameters");
    Check(avlib::avcodec_open2(decoder.get(), decoder->codec, nullptr), "opening the decoder");
    const TPacketPtr packet = NewPacket();
    const TFramePtr frame = NewFrame();
    int seen = 0;
    bool more = true;
    while (more) {
        more = avlib::av_read_frame(context.get(), packet.get()) >= 0;
        if (more && packet->stream_index != video) {
            avlib::av_packet_unref(packet.get());
            continue;
        }
        avlib::avcodec_send_packet(decoder.get(), more ? packet.get() : nullptr);
        avlib::av_packet_unref(packet.get());
        while (avlib::avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (seen++ == index) {
                double sum = 0;
                for (int row = y; row < y + height; ++row)
                    for (int column = x; column < x + width; ++column)
                        sum += frame->data[0][row * frame->linesize[0] + column];
                return sum / (width * height);
            }
            avlib::av_frame_unref(frame.get());
        }
    }
    throw Exception("test media: no picture " + String(std::to_string(index)));
}

String TestFolder() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const String folder = IncludeTrailingPathDelimiter(DataFolder()) + String(test->test_suite_name()) + "." +
                          String(test->name());
    if (!ForceDirectories(folder)) throw Exception("Cannot create " + folder);
    return IncludeTrailingPathDelimiter(folder);
}

std::vector<uint8_t> ReadFileBytes(const String& path) {
    std::ifstream file(path.ToUtf8(), std::ios::binary);
    if (!file) throw Exception("Cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<TDecodedPicture> DecodePictures(const String& url, const std::vector<TPictureArea>& areas) {
    const auto check = [](int result, const char* what) { Check(result, what); };
    LoadAVLib();
    AVFormatContext* context = nullptr;
    check(OpenInput(&context, url, nullptr, nullptr), "opening the input");
    struct TClose {
        AVFormatContext*& context;
        AVCodecContext* decoder = nullptr;
        AVPacket* packet = avlib::av_packet_alloc();
        AVFrame* frame = avlib::av_frame_alloc();
        ~TClose() {
            avlib::av_frame_free(&frame);
            avlib::av_packet_free(&packet);
            avlib::avcodec_free_context(&decoder);
            CloseInput(&context);
        }
    } close{context};
    check(avlib::avformat_find_stream_info(context, nullptr), "finding the streams");
    const AVCodec* codec = nullptr;
    const int index = avlib::av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    check(index, "finding a video stream");
    const AVStream* stream = context->streams[index];
    close.decoder = avlib::avcodec_alloc_context3(codec);
    check(avlib::avcodec_parameters_to_context(close.decoder, stream->codecpar), "copying parameters");
    close.decoder->pkt_timebase = stream->time_base;
    check(avlib::avcodec_open2(close.decoder, codec, nullptr), "opening the decoder");

    std::vector<TDecodedPicture> pictures;
    const auto receive = [&] {
        int result;
        while ((result = avlib::avcodec_receive_frame(close.decoder, close.frame)) >= 0) {
            const AVFrame& f = *close.frame;
            const int64_t pts = f.best_effort_timestamp == AV_NOPTS_VALUE ? 0 : f.best_effort_timestamp;
            const int centre = f.data[0][f.height / 2 * f.linesize[0] + f.width / 2];
            pictures.push_back({pts * av_q2d(stream->time_base), centre, {}});
            for (const TPictureArea& area : areas) {
                if (area.x < 0 || area.y < 0 || area.width <= 0 || area.height <= 0 ||
                    area.x + area.width > f.width || area.y + area.height > f.height)
                    throw Exception("test media: an area outside the picture");
                double sum = 0;
                for (int row = area.y; row < area.y + area.height; ++row)
                    for (int column = area.x; column < area.x + area.width; ++column)
                        sum += f.data[0][row * f.linesize[0] + column];
                pictures.back().areas.push_back(sum / (area.width * area.height));
            }
            avlib::av_frame_unref(close.frame);
        }
        if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) check(result, "decoding");
    };
    int result;
    while ((result = avlib::av_read_frame(context, close.packet)) >= 0) {
        if (close.packet->stream_index == index) {
            check(avlib::avcodec_send_packet(close.decoder, close.packet), "decoding");
            receive();
        }
        avlib::av_packet_unref(close.packet);
    }
    if (result != AVERROR_EOF) check(result, "reading");
    check(avlib::avcodec_send_packet(close.decoder, nullptr), "flushing");
    receive();
    return pictures;
}
