// The output end of a transcode: encoding with the synchronisation rules and
// limits, stream copy, bitstream filters and the interleaved write.

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/AVUtils.h"
#include "engine/ConvertOptions.h"
#include "engine/Transcoder.h"
#include "engine/VideoSync.h"

namespace {

// Frames one input picture becomes at most; more is taken for a broken timestamp.
constexpr int64_t kMaxDuplicates = 108000 * 30;
constexpr size_t kSubtitleBufferSize = 1024 * 1024;

} // namespace

bool TTranscoder::RecordingTimeReached(const TOutputStream& ost) const {
    const int64_t limit = run_.outputFiles[ost.fileIndex]->recordingTime;
    return limit != INT64_MAX &&
           avlib::av_compare_ts(ost.syncOpts, ost.encoderContext->time_base, limit, kAVTimeBaseQ) >= 0;
}

void TTranscoder::EncodeAudio(TOutputStream& ost, AVFrame& frame) {
    if (RecordingTimeReached(ost)) {
        ost.finished = true;
        return;
    }
    if (frame.pts == AV_NOPTS_VALUE || options_.AudioOptions()->AudioSyncMethod() < 0) frame.pts = ost.syncOpts;
    ost.syncOpts = frame.pts + frame.nb_samples;
    if (avlib::avcodec_send_frame(ost.encoderContext, &frame) < 0) throw Exception("Audio encoding failed");
    DrainEncoder(ost, "Audio encoding failed");
}

void TTranscoder::EncodeVideo(TOutputStream& ost, AVFrame& frame) {
    AVCodecContext& encoder = *ost.encoderContext;
    const TVideoOptions& video = *options_.VideoOptions();
    const TInputStream* ist = SourceOf(ost);
    double duration = 0;
    if (ist && ist->stream->start_time != AV_NOPTS_VALUE && ost.forcedFrameRate.num)
        duration = 1 / (av_q2d(ost.forcedFrameRate) * av_q2d(encoder.time_base));
    const double pts = frame.pts == AV_NOPTS_VALUE ? static_cast<double>(ost.syncOpts) : static_cast<double>(frame.pts);
    const double delta = pts - static_cast<double>(ost.syncOpts) + duration;

    const int method = ResolveVideoSync(video.VideoSyncMethod(), run_.outputFiles[ost.fileIndex]->context->oformat->flags);
    int64_t count = PicturesToEncode(method, pts, delta, ost.syncOpts);
    count = std::min<int64_t>(count, video.MaxFrames() - ost.frameNumber);
    if (count <= 0 || count > kMaxDuplicates) return;

    int lastSize = 0;
    for (int64_t i = 0; i < count; ++i) {
        frame.pts = ost.syncOpts;
        if (RecordingTimeReached(ost)) {
            ost.finished = true;
            return;
        }
        if (encoder.flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME)) {
            const int topFirst = video.TopFieldFirst() == -1 ? frame.top_field_first : video.TopFieldFirst();
            frame.top_field_first = topFirst;
            if (encoder.codec_id == AV_CODEC_ID_MJPEG)
                encoder.field_order = topFirst ? AV_FIELD_TT : AV_FIELD_BB;
            else
                encoder.field_order = topFirst ? AV_FIELD_TB : AV_FIELD_BT;
        } else {
            encoder.field_order = AV_FIELD_PROGRESSIVE;
        }
        frame.quality = encoder.global_quality;
        if (video.MeThreshold() == 0) frame.pict_type = AV_PICTURE_TYPE_NONE;
        if (avlib::avcodec_send_frame(&encoder, &frame) < 0) throw Exception("Video encoding failed");
        if (const int size = DrainEncoder(ost, "Video encoding failed")) lastSize = size;
        ++ost.syncOpts;
        ++ost.frameNumber;
    }
    if (lastSize) RaiseVideoStats(ost, lastSize);
}

int TTranscoder::DrainEncoder(TOutputStream& ost, const char* failure) {
    AVCodecContext& encoder = *ost.encoderContext;
    const bool video = encoder.codec_type == AVMEDIA_TYPE_VIDEO;
    AVPacket& packet = *encoded_;
    int lastSize = 0;
    for (;;) {
        const int result = avlib::avcodec_receive_packet(&encoder, &packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
        if (result < 0) throw Exception(failure);
        if (ost.statsFile && encoder.stats_out) std::fputs(encoder.stats_out, ost.statsFile.get());
        if (video && packet.pts == AV_NOPTS_VALUE && !(encoder.codec->capabilities & AV_CODEC_CAP_DELAY))
            packet.pts = ost.syncOpts;
        avlib::av_packet_rescale_ts(&packet, encoder.time_base, ost.stream->time_base);
        lastSize = packet.size;
        if (video) encodedVideoBytes_ += packet.size;
        WritePacket(ost, packet);
    }
    return lastSize;
}

void TTranscoder::RaiseVideoStats(const TOutputStream& ost, int packetSize) {
    if (!host_.WantsVideoStats()) return;
    const AVCodecContext& encoder = *ost.encoderContext;
    TVideoStats stats;
    stats.width = encoder.width;
    stats.height = encoder.height;
    stats.elapse = std::max(static_cast<double>(ost.syncOpts) * av_q2d(encoder.time_base), 0.01);
    stats.bitrate = packetSize * 8 / av_q2d(encoder.time_base) / 1000;
    stats.avgBitrate = static_cast<double>(encodedVideoBytes_) * 8 / stats.elapse / 1000;
    stats.frameNumber = static_cast<int>(std::min<int64_t>(ost.frameNumber, INT_MAX));
    host_.VideoStats(stats);
}

void TTranscoder::EncodeSubtitle(TOutputStream& ost, AVSubtitle& subtitle) {
    if (subtitle.pts == AV_NOPTS_VALUE) throw Exception("Subtitle packets must have a pts");
    if (subtitleBuffer_.empty()) subtitleBuffer_.resize(kSubtitleBufferSize);
    AVCodecContext& encoder = *ost.encoderContext;
    const bool dvb = encoder.codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    const int64_t pts = subtitle.pts;
    const unsigned rects = subtitle.num_rects;
    for (int i = 0; i < (dvb ? 2 : 1); ++i) {
        ost.syncOpts = avlib::av_rescale_q(pts, kAVTimeBaseQ, encoder.time_base);
        if (RecordingTimeReached(ost)) return;
        subtitle.pts = pts + avlib::av_rescale_q(subtitle.start_display_time, {1, 1000}, kAVTimeBaseQ);
        subtitle.end_display_time -= subtitle.start_display_time;
        subtitle.start_display_time = 0;
        if (i == 1) subtitle.num_rects = 0;
        const int size = avlib::avcodec_encode_subtitle(&encoder, subtitleBuffer_.data(),
                                                        static_cast<int>(subtitleBuffer_.size()), &subtitle);
        subtitle.num_rects = rects;
        if (size < 0) throw Exception("Subtitle encoding failed");
        AVPacket& packet = *encoded_;
        if (avlib::av_new_packet(&packet, size) < 0) throw EOutOfMemory("Out of memory");
        std::memcpy(packet.data, subtitleBuffer_.data(), static_cast<size_t>(size));
        packet.pts = avlib::av_rescale_q(subtitle.pts, kAVTimeBaseQ, ost.stream->time_base);
        packet.duration =
            avlib::av_rescale_q(subtitle.end_display_time, {1, 1000}, ost.stream->time_base);
        if (dvb) packet.pts += 90 * (i == 0 ? subtitle.start_display_time : subtitle.end_display_time);
        WritePacket(ost, packet);
    }
}

void TTranscoder::StreamCopy(TOutputStream& ost, TInputStream& ist, const AVPacket& packet) {
    const TOutputFile& file = *run_.outputFiles[ost.fileIndex];
    if (!ost.frameNumber && !(packet.flags & AV_PKT_FLAG_KEY)) return;
    if (!ost.frameNumber && ist.pts < 0) return;
    if (file.recordingTime != INT64_MAX && ist.pts >= file.recordingTime) {
        ost.finished = true;
        return;
    }
    const AVMediaType type = ost.stream->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO) {
        encodedVideoBytes_ += packet.size;
        ++ost.syncOpts;
    }
    AVPacket& copy = *encoded_;
    if (avlib::av_packet_ref(&copy, &packet) < 0) throw EOutOfMemory("Out of memory");
    const AVRational from = ist.stream->time_base, to = ost.stream->time_base;
    copy.pts = packet.pts != AV_NOPTS_VALUE ? avlib::av_rescale_q(packet.pts, from, to) : AV_NOPTS_VALUE;
    copy.dts = packet.dts != AV_NOPTS_VALUE ? avlib::av_rescale_q(packet.dts, from, to)
                                            : avlib::av_rescale_q(ist.dts, kAVTimeBaseQ, to);
    if (type == AVMEDIA_TYPE_AUDIO && packet.dts != AV_NOPTS_VALUE && ist.stream->codecpar->sample_rate > 0) {
        int duration = avlib::av_get_audio_frame_duration(ist.decoderContext, packet.size);
        if (!duration) duration = ist.stream->codecpar->frame_size;
        const AVRational sampleBase{1, ist.stream->codecpar->sample_rate};
        copy.dts = copy.pts =
            avlib::av_rescale_delta(from, packet.dts, sampleBase, duration, &ist.rescaleDeltaLast, to);
    }
    copy.duration = avlib::av_rescale_q(packet.duration, from, to);
    WritePacket(ost, copy);
    if (type == AVMEDIA_TYPE_VIDEO) RaiseVideoStats(ost, packet.size);
}

void TTranscoder::WritePacket(TOutputStream& ost, AVPacket& packet) {
    AVFormatContext* context = run_.outputFiles[ost.fileIndex]->context;
    const AVMediaType type = ost.stream->codecpar->codec_type;
    const bool video = type == AVMEDIA_TYPE_VIDEO, audio = type == AVMEDIA_TYPE_AUDIO;
    if ((video && options_.VideoOptions()->VideoSyncMethod() == vsDropTimestamps) ||
        (audio && options_.AudioOptions()->AudioSyncMethod() < 0))
        packet.pts = packet.dts = AV_NOPTS_VALUE;
    if ((video || audio) && packet.dts != AV_NOPTS_VALUE && ost.lastMuxedDts != AV_NOPTS_VALUE) {
        const int64_t lowest = ost.lastMuxedDts + !(context->oformat->flags & AVFMT_TS_NONSTRICT);
        if (packet.dts < lowest) {
            if (packet.pts != AV_NOPTS_VALUE && packet.pts >= packet.dts) packet.pts = std::max(packet.pts, lowest);
            packet.dts = lowest;
        }
    }
    if (!video || !ost.encodingNeeded) {
        if (ost.frameNumber >= ost.maxFrames) {
            avlib::av_packet_unref(&packet);
            return;
        }
        ++ost.frameNumber;
    }
    if (packet.dts != AV_NOPTS_VALUE) ost.lastMuxedDts = packet.dts;

    if (AVBSFContext* filters = ost.bitstreamFilters) {
        if (avlib::av_bsf_send_packet(filters, &packet) < 0) {
            avlib::av_packet_unref(&packet);
            throw Exception("Error applying bitstream filters");
        }
        const TPacketPtr out = NewPacket();
        while (avlib::av_bsf_receive_packet(filters, out.get()) >= 0) {
            out->stream_index = ost.index;
            if (avlib::av_interleaved_write_frame(context, out.get()) < 0)
                throw Exception("av_interleaved_write_frame() ");
        }
        return;
    }
    packet.stream_index = ost.index;
    if (avlib::av_interleaved_write_frame(context, &packet) < 0) throw Exception("av_interleaved_write_frame() ");
}

void TTranscoder::FlushEncoders() {
    for (const auto& ostPtr : run_.outputStreams) {
        TOutputStream& ost = *ostPtr;
        if (!ost.encodingNeeded) continue;
        AVCodecContext& encoder = *ost.encoderContext;
        const AVMediaType type = encoder.codec_type;
        if (type == AVMEDIA_TYPE_AUDIO && encoder.frame_size <= 1) continue;
        if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO) continue;
        if (avlib::avcodec_send_frame(&encoder, nullptr) < 0) throw Exception("encoding failed");
        const int size = DrainEncoder(ost, "encoding failed");
        if (type == AVMEDIA_TYPE_VIDEO && size) RaiseVideoStats(ost, size);
    }
}
