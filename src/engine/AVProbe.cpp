#include "engine/AVProbe.h"

#include <algorithm>
#include <memory>

#include "engine/AVPointers.h"
#include "engine/AVUtils.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace {

// The stream's decoder, opened; null when there is none or it does not open.
TCodecContextPtr OpenDecoder(const AVStream& stream, const AVCodec* decoder) {
    TCodecContextPtr context(avlib::avcodec_alloc_context3(decoder));
    if (!context || avlib::avcodec_parameters_to_context(context.get(), stream.codecpar) < 0) return nullptr;
    context->pkt_timebase = stream.time_base;
    if (avlib::avcodec_open2(context.get(), decoder, nullptr) < 0) return nullptr;
    return context;
}

// The largest size of Source's proportions that fits into the box; no side below 1.
void FitInto(int sourceWidth, int sourceHeight, int boxWidth, int boxHeight, int& width, int& height) {
    if (static_cast<int64_t>(sourceWidth) * boxHeight > static_cast<int64_t>(sourceHeight) * boxWidth) {
        width = boxWidth;
        height = static_cast<int>(static_cast<int64_t>(sourceHeight) * boxWidth / sourceWidth);
    } else {
        height = boxHeight;
        width = static_cast<int>(static_cast<int64_t>(sourceWidth) * boxHeight / sourceHeight);
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
}

constexpr uint32_t kBlack = 0xFF000000;

} // namespace

TAVProbe::TAVProbe() { LoadAVLib(); }

TAVProbe::~TAVProbe() { Close(); }

void TAVProbe::SetActive(bool value) {
    if (value == Active()) return;
    if (!value) return Close();
    try {
        Open();
    } catch (...) {
        Close();
        throw;
    }
}

void TAVProbe::Open() {
    thumbnail_.SetSize(0, 0);
    const AVInputFormat* format = nullptr;
    if (!Trim(inputFormat_).empty()) format = avlib::av_find_input_format(inputFormat_.ToUtf8().c_str());
    if (OpenInput(&context_, fileName_, format, nullptr) < 0) throw Exception("Error Opening File!");
    if (avlib::avformat_find_stream_info(context_, nullptr) < 0) throw Exception("Can not find stream information");

    hasVideo_ = hasAudio_ = false;
    int videoIndex = -1;
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        const AVMediaType type = context_->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && !hasVideo_) {
            hasVideo_ = true;
            videoIndex = static_cast<int>(i);
            Examine(videoIndex);
        } else if (type == AVMEDIA_TYPE_AUDIO && !hasAudio_) {
            hasAudio_ = true;
            Examine(static_cast<int>(i));
        }
    }
    if (context_->start_time != AV_NOPTS_VALUE) startTime_ = context_->start_time;
    if (context_->duration != AV_NOPTS_VALUE) {
        duration_ = static_cast<double>(context_->duration) / AV_TIME_BASE;
        endTime_ = startTime_ + context_->duration;
    } else {
        endTime_ = startTime_;
    }
    if (hasVideo_ && thumbnailWidth_ > 0 && thumbnailHeight_ > 0) MakeThumbnail(videoIndex);
}

void TAVProbe::Close() noexcept { CloseInput(&context_); }

void TAVProbe::Examine(int index) {
    const AVStream& stream = *context_->streams[index];
    const AVCodecParameters& par = *stream.codecpar;
    const AVCodec* decoder = avlib::avcodec_find_decoder(par.codec_id);
    if (!decoder)
        throw Exception(Fmt("Unsupported codec(id=%d) for input stream %d", static_cast<int>(par.codec_id), index));
    const TCodecContextPtr context = OpenDecoder(stream, decoder);
    if (!context) throw Exception(Fmt("Error while opening codec for input stream %d", index));
    if (par.codec_type == AVMEDIA_TYPE_VIDEO) {
        videoCodec_ = decoder->name;
        videoWidth_ = context->width;
        videoHeight_ = context->height;
        videoBitrate_ = static_cast<int>(context->bit_rate);
        frameRate_ = av_q2d(stream.r_frame_rate);
    } else {
        audioCodec_ = decoder->name;
        sampleRate_ = context->sample_rate;
        channels_ = context->ch_layout.nb_channels;
        const int bitsPerSample = avlib::av_get_bits_per_sample(par.codec_id);
        audioBitrate_ =
            bitsPerSample > 0 ? sampleRate_ * channels_ * bitsPerSample : static_cast<int>(context->bit_rate);
    }
}

void TAVProbe::MakeThumbnail(int videoIndex) {
    const AVStream& stream = *context_->streams[videoIndex];
    const TCodecContextPtr decoder = OpenDecoder(stream, avlib::avcodec_find_decoder(stream.codecpar->codec_id));
    const TFramePtr frame(avlib::av_frame_alloc());
    if (!decoder || !frame || !DecodePicture(decoder.get(), videoIndex, frame.get())) return;
    if (frame->width <= 0 || frame->height <= 0) return;

    int width, height;
    FitInto(frame->width, frame->height, thumbnailWidth_, thumbnailHeight_, width, height);
    const TScalerPtr scaler(
        avlib::sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), width, height,
                              AV_PIX_FMT_BGRA, SWS_GAUSS, nullptr, nullptr, nullptr));
    if (!scaler) return;
    TBGRAImage picture;
    picture.SetSize(width, height);
    uint8_t* planes[4] = {picture.Bits()};
    const int strides[4] = {picture.Stride()};
    avlib::sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);

    thumbnail_.SetSize(thumbnailWidth_, thumbnailHeight_);
    thumbnail_.Fill(kBlack);
    thumbnail_.Draw(picture, (thumbnailWidth_ - width) / 2, (thumbnailHeight_ - height) / 2);
}

bool TAVProbe::DecodePicture(AVCodecContext* decoder, int videoIndex, AVFrame* frame) {
    if (const int64_t target = startTime_ + thumbnailOffset_; target != 0)
        if (avlib::av_seek_frame(context_, -1, target, AVSEEK_FLAG_BACKWARD) < 0)
            ShowAVError(Fmt("could not seek file %s", fileName_));
    const TPacketPtr packet(avlib::av_packet_alloc());
    if (!packet) return false;
    while (avlib::av_read_frame(context_, packet.get()) >= 0) {
        const bool sent =
            packet->stream_index == videoIndex && avlib::avcodec_send_packet(decoder, packet.get()) >= 0;
        avlib::av_packet_unref(packet.get());
        if (sent && avlib::avcodec_receive_frame(decoder, frame) >= 0) return true;
    }
    // The end of the file: what the decoder still holds.
    avlib::avcodec_send_packet(decoder, nullptr);
    return avlib::avcodec_receive_frame(decoder, frame) >= 0;
}
