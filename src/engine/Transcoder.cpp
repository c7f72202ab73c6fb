// The transcode loop: reading, decoding, filtering and the run's end.

#include "engine/Transcoder.h"

#include <algorithm>
#include <cmath>

#include "engine/AVUtils.h"
#include "engine/ChannelLayouts.h"
#include "engine/CodecLock.h"
#include "engine/ConvertOptions.h"
#include "engine/Deinterlace.h"
#include "engine/InputFaults.h"
#include "engine/InputReader.h"
#include "platform/rtl/Format.h"

namespace {

constexpr int64_t kReportInterval = 500000;     // microseconds
constexpr int64_t kDiscontinuityLimit = 10;     // seconds, containers that allow discontinuities
constexpr int64_t kTimestampErrorLimit = 108000; // seconds, other containers
// An input that ends this much before its streams' stated durations is damaged (microseconds).
constexpr int64_t kEarlyEndTolerance = 500000;

String ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    avlib::av_strerror(error, text, sizeof text);
    return String(text);
}

// Microseconds a frame of a video stream lasts by its codec or stream rate; 0 unknown.
int64_t FrameDuration(const TInputStream& ist) {
    AVRational rate = ist.decoderContext->framerate;
    if (rate.num <= 0 || rate.den <= 0) rate = ist.stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) return 0;
    return AV_TIME_BASE * static_cast<int64_t>(rate.den) / rate.num;
}

} // namespace

TTranscoder::TTranscoder(TConversionRun& run, const TAVConvertOptions& options, ITranscodeHost& host)
    : run_(run),
      options_(options),
      host_(host),
      packet_(NewPacket()),
      encoded_(NewPacket()),
      decoded_(NewFrame()),
      deinterlaced_(NewFrame()) {}

TTranscoder::~TTranscoder() { StopReaders(); }

TInputStream* TTranscoder::SourceOf(const TOutputStream& ost) const {
    return ost.sourceIndex >= 0 ? run_.inputStreams[ost.sourceIndex].get() : nullptr;
}

int TTranscoder::IndexOf(const TInputStream& ist) const {
    return run_.inputFiles[ist.fileIndex]->firstStream + ist.stream->index;
}

void TTranscoder::Run() {
    Initialise();
    if (const int maps = options_.StreamMaps()->Count(); maps && maps != static_cast<int>(run_.outputStreams.size()))
        throw Exception("Number of stream maps must match number of output streams");
    host_.TranscodeStarted(avlib::av_gettime());
    // Taken before any reader thread shares the input's I/O context.
    if (!run_.inputFiles.empty())
        if (AVIOContext* pb = run_.inputFiles[0]->context->pb) inputSize_ = std::max<int64_t>(0, avlib::avio_size(pb));
    if (run_.inputFiles.size() > 1)
        for (const auto& file : run_.inputFiles) file->reader = MakeThread<TInputReader>(file->context);

    while (NeedOutput()) {
        const int result = Step();
        if (result == AVERROR_EOF || result == AVERROR(EAGAIN)) continue;
        if (result < 0) {
            host_.Faulted(Fmt("Error while transcoding: %s", ErrorText(result)));
            break;
        }
        if (!host_.StepDone()) break;
        Report(false);
    }

    StopReaders();
    FlushDecoders();
    FlushEncoders();
    WriteTrailers();
    Report(true);
    CloseCodecs();
}

void TTranscoder::StopReaders() noexcept {
    for (const auto& file : run_.inputFiles) file->StopReader();
}

void TTranscoder::Release() noexcept {
    CloseCodecs();
    for (const auto& ost : run_.outputStreams) ost->statsFile.reset();
}

bool TTranscoder::NeedOutput() {
    for (const auto& ost : run_.outputStreams) {
        if (ost->finished) continue;
        const TOutputFile& file = *run_.outputFiles[ost->fileIndex];
        if (file.context->pb && AVIOPosition(file.context->pb) >= file.sizeLimit) continue;
        if (ost->frameNumber >= ost->maxFrames) {
            for (const auto& other : run_.outputStreams)
                if (other->fileIndex == ost->fileIndex) other->finished = true;
            continue;
        }
        return true;
    }
    return false;
}

TOutputStream* TTranscoder::ChooseOutput() {
    TOutputStream* chosen = nullptr;
    int64_t earliest = INT64_MAX;
    for (const auto& ost : run_.outputStreams) {
        if (ost->finished || ost->unavailable) continue;
        const int64_t time = ost->lastMuxedDts == AV_NOPTS_VALUE
                                 ? INT64_MIN
                                 : avlib::av_rescale_q(ost->lastMuxedDts, ost->stream->time_base, kAVTimeBaseQ);
        if (time < earliest) {
            earliest = time;
            chosen = ost.get();
        }
    }
    return chosen;
}

int TTranscoder::Step() {
    TOutputStream* ost = ChooseOutput();
    if (!ost) {
        bool waiting = false;
        for (const auto& each : run_.outputStreams) waiting |= each->unavailable;
        if (!waiting) return AVERROR_EOF;
        for (const auto& each : run_.outputStreams) each->unavailable = false;
        for (const auto& file : run_.inputFiles) file->wouldBlock = false;
        avlib::av_usleep(10000);
        return 0;
    }
    TInputStream* ist = SourceOf(*ost);
    if (ist)
        host_.PositionReached(static_cast<double>(ist->pts) / AV_TIME_BASE);
    else if (ost->lastMuxedDts != AV_NOPTS_VALUE)
        host_.PositionReached(static_cast<double>(ost->lastMuxedDts) * av_q2d(ost->stream->time_base));

    if (ost->filter) {
        const int result = TranscodeFromFilter(*ost->filter->graph, ist);
        if (!ist) return result;
    }
    const int result = ProcessInput(ist->fileIndex);
    if (result == AVERROR(EAGAIN)) {
        if (run_.inputFiles[ist->fileIndex]->wouldBlock) ost->unavailable = true;
        return 0;
    }
    if (result < 0) return result == AVERROR_EOF ? 0 : result;
    return ReapFilters();
}

int TTranscoder::TranscodeFromFilter(TFilterGraph& graph, TInputStream*& chosen) {
    chosen = nullptr;
    int result = avlib::avfilter_graph_request_oldest(graph.graph);
    if (result >= 0) return ReapFilters();
    if (result == AVERROR_EOF) {
        result = ReapFilters();
        for (const auto& output : graph.outputs) output->stream->finished = true;
        return result;
    }
    if (result != AVERROR(EAGAIN)) return result;
    unsigned most = 0;
    for (const auto& input : graph.inputs) {
        const TInputFile& file = *run_.inputFiles[input->stream->fileIndex];
        if (file.wouldBlock || file.ended) continue;
        const unsigned requests = avlib::av_buffersrc_get_nb_failed_requests(input->filter);
        if (requests > most) {
            most = requests;
            chosen = input->stream;
        }
    }
    if (!chosen)
        for (const auto& output : graph.outputs) output->stream->unavailable = true;
    return 0;
}

int TTranscoder::ReadPacket(TInputFile& file, AVPacket* packet) {
    return file.reader ? file.reader->Take(packet) : avlib::av_read_frame(file.context, packet);
}

int TTranscoder::ProcessInput(int fileIndex) {
    TInputFile& file = *run_.inputFiles[fileIndex];
    AVPacket* packet = packet_.get();
    const int read = ReadPacket(file, packet);
    if (read == AVERROR(EAGAIN)) {
        file.wouldBlock = true;
        return read;
    }
    if (read < 0) {
        const String url(file.context->url);
        if (read != AVERROR_EOF) {
            LogInputError(read, url);
            host_.Faulted(InputFaultMessage(TInputFault::CutShort, url));
        }
        EndOfInput(fileIndex);
        // Judged once the decoders gave up what they held back: frame threads delay their output.
        if (read == AVERROR_EOF && EndedEarly(file)) host_.Faulted(InputFaultMessage(TInputFault::CutShort, url));
        return AVERROR(EAGAIN);
    }
    for (const auto& ost : run_.outputStreams) ost->unavailable = false;
    for (const auto& each : run_.inputFiles) each->wouldBlock = false;

    if (packet->stream_index < file.streamCount) {
        TInputStream& ist = *run_.inputStreams[file.firstStream + packet->stream_index];
        if (!ist.discard) {
            CorrectTimestamps(file, ist, *packet);
            if (const int result = OutputPacket(ist, packet); result < 0)
                avlib::av_log(nullptr, AV_LOG_ERROR, "Error while decoding stream #%d:%d: %s\n", ist.fileIndex,
                              packet->stream_index, ErrorText(result).ToUtf8().c_str());
        }
    }
    avlib::av_packet_unref(packet);
    return 0;
}

void TTranscoder::CorrectTimestamps(TInputFile& file, TInputStream& ist, AVPacket& packet) {
    AVFormatContext& context = *file.context;
    const AVStream& stream = *ist.stream;
    const AVRational timeBase = stream.time_base;
    if (context.start_time != AV_NOPTS_VALUE && stream.pts_wrap_bits < 64 && !ist.wrapCorrectionDone) {
        if (ist.nextDts == AV_NOPTS_VALUE && file.tsOffset == -context.start_time &&
            (context.iformat->flags & AVFMT_TS_DISCONT)) {
            int64_t newStart = INT64_MAX;
            for (unsigned i = 0; i < context.nb_streams; ++i) {
                const AVStream& each = *context.streams[i];
                if (each.discard == AVDISCARD_ALL || each.start_time == AV_NOPTS_VALUE) continue;
                newStart = std::min(newStart, avlib::av_rescale_q(each.start_time, each.time_base, kAVTimeBaseQ));
            }
            if (newStart != INT64_MAX && newStart > context.start_time) file.tsOffset = -newStart;
        }
        const int64_t start = avlib::av_rescale_q(context.start_time, kAVTimeBaseQ, timeBase);
        ist.wrapCorrectionDone = true;
        // A period that does not fit (63 bits) never wraps in practice.
        if (stream.pts_wrap_bits < 63) {
            const int64_t period = int64_t{1} << stream.pts_wrap_bits;
            if (packet.dts != AV_NOPTS_VALUE && packet.dts > start + period / 2) {
                packet.dts -= period;
                ist.wrapCorrectionDone = false;
            }
            if (packet.pts != AV_NOPTS_VALUE && packet.pts > start + period / 2) {
                packet.pts -= period;
                ist.wrapCorrectionDone = false;
            }
        }
    }

    const int64_t offset = avlib::av_rescale_q(file.tsOffset, kAVTimeBaseQ, timeBase);
    if (packet.dts != AV_NOPTS_VALUE) packet.dts += offset;
    if (packet.pts != AV_NOPTS_VALUE) packet.pts += offset;

    if (packet.dts == AV_NOPTS_VALUE || ist.nextDts == AV_NOPTS_VALUE) return;
    const bool subtitle = stream.codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE;
    const int64_t dts = avlib::av_rescale_q(packet.dts, timeBase, kAVTimeBaseQ);
    int64_t delta = dts - ist.nextDts;
    if (context.iformat->flags & AVFMT_TS_DISCONT) {
        constexpr int64_t limit = kDiscontinuityLimit * AV_TIME_BASE;
        if (delta < -limit || (delta > limit && !subtitle)) {
            file.tsOffset -= delta;
            const int64_t shift = avlib::av_rescale_q(delta, kAVTimeBaseQ, timeBase);
            packet.dts -= shift;
            if (packet.pts != AV_NOPTS_VALUE) packet.pts -= shift;
        }
        return;
    }
    constexpr int64_t limit = kTimestampErrorLimit * AV_TIME_BASE;
    if (delta < -limit || (delta > limit && !subtitle)) packet.dts = AV_NOPTS_VALUE;
    if (packet.pts != AV_NOPTS_VALUE) {
        const int64_t pts = avlib::av_rescale_q(packet.pts, timeBase, kAVTimeBaseQ);
        delta = pts - ist.nextDts;
        if (delta < -limit || (delta > limit && !subtitle) || pts + 1 < ist.pts) packet.pts = AV_NOPTS_VALUE;
    }
}

bool TTranscoder::EndedEarly(const TInputFile& file) const {
    const AVFormatContext& context = *file.context;
    const bool stated = context.duration > 0 && context.duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
    int64_t reached = INT64_MIN, end = INT64_MIN;
    for (int i = 0; i < file.streamCount; ++i) {
        const TInputStream& ist = *run_.inputStreams[file.firstStream + i];
        const AVStream& stream = *ist.stream;
        if (ist.discard || !ist.sawFirstTimestamp || ist.nextDts == AV_NOPTS_VALUE) continue;
        // A subtitle's last cue may come long before the end: sparse streams tell nothing.
        const AVMediaType type = stream.codecpar->codec_type;
        if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO) continue;
        const int64_t streamReached = std::max(ist.nextDts, ist.nextPts);
        if (stream.duration != AV_NOPTS_VALUE) {
            const int64_t start = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
            const int64_t streamEnd = avlib::av_rescale_q(start + stream.duration, stream.time_base, kAVTimeBaseQ);
            if (streamReached < streamEnd + file.tsOffset - kEarlyEndTolerance) return true;
        } else if (stated) {
            reached = std::max(reached, streamReached);
            end = (context.start_time == AV_NOPTS_VALUE ? 0 : context.start_time) + context.duration;
        }
    }
    return end != INT64_MIN && reached < end + file.tsOffset - kEarlyEndTolerance;
}

void TTranscoder::EndOfInput(int fileIndex) {
    TInputFile& file = *run_.inputFiles[fileIndex];
    file.ended = true;
    for (int i = 0; i < file.streamCount; ++i) {
        const int index = file.firstStream + i;
        TInputStream& ist = *run_.inputStreams[index];
        if (ist.decodingNeeded) OutputPacket(ist, nullptr);
        for (const auto& ost : run_.outputStreams)
            if (ost->sourceIndex == index &&
                (ost->streamCopy || (ost->encodingNeeded && ost->stream->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE)))
                ost->finished = true;
    }
}

int TTranscoder::OutputPacket(TInputStream& ist, AVPacket* packet) {
    const AVRational timeBase = ist.stream->time_base;
    const AVMediaType type = ist.stream->codecpar->codec_type;
    if (!ist.sawFirstTimestamp) {
        const AVRational rate = ist.stream->avg_frame_rate;
        ist.dts = rate.num ? static_cast<int64_t>(-ist.decoderContext->has_b_frames * AV_TIME_BASE / av_q2d(rate)) : 0;
        ist.pts = 0;
        if (packet && packet->pts != AV_NOPTS_VALUE && !ist.decodingNeeded) {
            ist.dts += avlib::av_rescale_q(packet->pts, timeBase, kAVTimeBaseQ);
            ist.pts = ist.dts;
        }
        ist.sawFirstTimestamp = true;
    }
    if (ist.nextDts == AV_NOPTS_VALUE) ist.nextDts = ist.dts;
    if (ist.nextPts == AV_NOPTS_VALUE) ist.nextPts = ist.pts;
    if (packet && packet->dts != AV_NOPTS_VALUE) {
        ist.nextDts = ist.dts = avlib::av_rescale_q(packet->dts, timeBase, kAVTimeBaseQ);
        if (type != AVMEDIA_TYPE_VIDEO || !ist.decodingNeeded) ist.nextPts = ist.pts = ist.dts;
    }

    if (ist.decodingNeeded) {
        ist.pts = ist.nextPts;
        ist.dts = ist.nextDts;
        int result;
        switch (type) {
        case AVMEDIA_TYPE_AUDIO: result = DecodeAudio(ist, packet); break;
        case AVMEDIA_TYPE_VIDEO: result = DecodeVideo(ist, packet); break;
        case AVMEDIA_TYPE_SUBTITLE: result = DecodeSubtitle(ist, packet); break;
        default: result = -1;
        }
        // The graphs end with the decoder, however its flush went: else they wait for ever.
        if (!packet) SendToFilters(ist, nullptr);
        if (result < 0) return result;
    } else {
        ist.dts = ist.nextDts;
        const AVCodecParameters& par = *ist.stream->codecpar;
        if (type == AVMEDIA_TYPE_AUDIO && par.sample_rate > 0)
            ist.nextDts += static_cast<int64_t>(AV_TIME_BASE) * par.frame_size / par.sample_rate;
        else if (type == AVMEDIA_TYPE_VIDEO)
            ist.nextDts += packet && packet->duration ? avlib::av_rescale_q(packet->duration, timeBase, kAVTimeBaseQ)
                                                      : FrameDuration(ist);
        ist.pts = ist.dts;
        ist.nextPts = ist.nextDts;
    }

    if (packet) {
        const int index = IndexOf(ist);
        for (const auto& ost : run_.outputStreams)
            if (ost->sourceIndex == index && ost->streamCopy && !ost->finished) StreamCopy(*ost, ist, *packet);
    }
    return 0;
}

int TTranscoder::DecodeAudio(TInputStream& ist, AVPacket* packet) {
    AVCodecContext& decoder = *ist.decoderContext;
    int result = avlib::avcodec_send_packet(&decoder, packet);
    if (result < 0 && result != AVERROR_EOF) return result;
    AVFrame* frame = decoded_.get();
    while ((result = avlib::avcodec_receive_frame(&decoder, frame)) >= 0) {
        if (frame->sample_rate <= 0) {
            avlib::av_frame_unref(frame);
            return -1;
        }
        CompleteInputChannelLayout(frame->ch_layout);
        if (frame->format != ist.sampleFormat || frame->sample_rate != ist.sampleRate ||
            avlib::av_channel_layout_compare(&frame->ch_layout, &ist.channelLayout)) {
            ist.sampleFormat = frame->format;
            ist.sampleRate = frame->sample_rate;
            avlib::av_channel_layout_uninit(&ist.channelLayout);
            if (avlib::av_channel_layout_copy(&ist.channelLayout, &frame->ch_layout) < 0)
                throw EOutOfMemory("Out of memory");
            RebuildGraphs(ist);
        }
        AVRational timeBase = ist.stream->time_base;
        if (frame->pts != AV_NOPTS_VALUE) {
            ist.dts = ist.nextDts = ist.pts = ist.nextPts = avlib::av_rescale_q(frame->pts, timeBase, kAVTimeBaseQ);
        } else if (packet && packet->pts != AV_NOPTS_VALUE) {
            frame->pts = packet->pts;
            packet->pts = AV_NOPTS_VALUE;
        } else {
            frame->pts = ist.dts;
            timeBase = kAVTimeBaseQ;
        }
        const int64_t length = static_cast<int64_t>(AV_TIME_BASE) * frame->nb_samples / frame->sample_rate;
        ist.nextPts += length;
        ist.nextDts += length;
        const AVRational sampleBase{1, frame->sample_rate};
        frame->pts = avlib::av_rescale_delta(timeBase, frame->pts, sampleBase, frame->nb_samples,
                                             &ist.rescaleDeltaLast, sampleBase);
        SendToFilters(ist, frame);
        avlib::av_frame_unref(frame);
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF ? 0 : result;
}

int TTranscoder::DecodeVideo(TInputStream& ist, AVPacket* packet) {
    AVCodecContext& decoder = *ist.decoderContext;
    const AVRational timeBase = ist.stream->time_base;
    if (packet) packet->dts = avlib::av_rescale_q(ist.dts, kAVTimeBaseQ, timeBase);
    int result = avlib::avcodec_send_packet(&decoder, packet);
    if (result < 0 && result != AVERROR_EOF) return result;
    AVFrame* frame = decoded_.get();
    bool pictures = false;
    while ((result = avlib::avcodec_receive_frame(&decoder, frame)) >= 0) {
        pictures = true;
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE) {
            frame->pts = frame->best_effort_timestamp;
            ist.nextPts = ist.pts = avlib::av_rescale_q(frame->pts, timeBase, kAVTimeBaseQ);
        }
        AVFrame* picture = frame;
        if (options_.VideoOptions()->Deinterlace()) {
            if (Deinterlace(*frame, *deinterlaced_))
                picture = deinterlaced_.get();
            else
                host_.DeinterlaceFailed();
        }
        if (ist.stream->sample_aspect_ratio.num) picture->sample_aspect_ratio = ist.stream->sample_aspect_ratio;
        if (picture->width != ist.width || picture->height != ist.height || picture->format != ist.pixelFormat) {
            ist.width = picture->width;
            ist.height = picture->height;
            ist.pixelFormat = picture->format;
            RebuildGraphs(ist);
        }
        if (!picture->sample_aspect_ratio.num) picture->sample_aspect_ratio = ist.stream->sample_aspect_ratio;
        SendToFilters(ist, picture);
        avlib::av_frame_unref(deinterlaced_.get());
        avlib::av_frame_unref(frame);
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) return result;
    if (!packet) return 0;
    int64_t duration = 0;
    if (packet->duration)
        duration = avlib::av_rescale_q(packet->duration, timeBase, kAVTimeBaseQ);
    else if (decoder.framerate.num > 0 && decoder.framerate.den > 0)
        duration = static_cast<int64_t>(AV_TIME_BASE) * decoder.framerate.den / decoder.framerate.num;
    if (ist.dts != AV_NOPTS_VALUE && duration)
        ist.nextDts += duration;
    else
        ist.nextDts = AV_NOPTS_VALUE;
    if (pictures) ist.nextPts += duration;
    return 0;
}

int TTranscoder::DecodeSubtitle(TInputStream& ist, AVPacket* packet) {
    TPacketPtr empty;
    if (!packet) {
        empty = NewPacket();
        packet = empty.get();
    }
    AVSubtitle subtitle{};
    int got = 0;
    const int result = avlib::avcodec_decode_subtitle2(ist.decoderContext, &subtitle, &got, packet);
    if (result < 0 || !got) return result;
    const int index = IndexOf(ist);
    try {
        for (const auto& ost : run_.outputStreams)
            if (ost->sourceIndex == index && ost->encodingNeeded && !ost->finished) EncodeSubtitle(*ost, subtitle);
    } catch (...) {
        avlib::avsubtitle_free(&subtitle);
        throw;
    }
    avlib::avsubtitle_free(&subtitle);
    return result;
}

void TTranscoder::SendToFilters(TInputStream& ist, AVFrame* frame) {
    for (TInputFilter* input : ist.filters) {
        const int result = frame ? avlib::av_buffersrc_add_frame_flags(
                                       input->filter, frame, AV_BUFFERSRC_FLAG_KEEP_REF | AV_BUFFERSRC_FLAG_PUSH)
                                 : avlib::av_buffersrc_add_frame(input->filter, nullptr);
        if (result < 0 && frame) throw Exception("Failed to inject frame into filter network");
    }
}

void TTranscoder::RebuildGraphs(TInputStream& ist) {
    for (TInputFilter* input : ist.filters) {
        TFilterGraph& graph = *input->graph;
        if (ConfigureFilterGraph(run_, graph) < 0) throw Exception("Error reinitializing filters");
        for (const auto& output : graph.outputs) {
            AVCodecContext& encoder = *output->stream->encoderContext;
            if (output->type == AVMEDIA_TYPE_AUDIO && avlib::avcodec_is_open(&encoder) &&
                !(encoder.codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
                avlib::av_buffersink_set_frame_size(output->filter, static_cast<unsigned>(encoder.frame_size));
        }
    }
}

int TTranscoder::ReapFilters() {
    for (const auto& ostPtr : run_.outputStreams) {
        TOutputStream& ost = *ostPtr;
        if (!ost.filter || !ost.filter->filter) continue;
        if (!ost.filteredFrame && !(ost.filteredFrame = TFramePtr(avlib::av_frame_alloc())))
            throw Exception("cannot allocate frame for filtergraph");
        AVFrame& frame = *ost.filteredFrame;
        AVFilterContext* sink = ost.filter->filter;
        AVCodecContext& encoder = *ost.encoderContext;
        while (avlib::av_buffersink_get_frame_flags(sink, &frame, AV_BUFFERSINK_FLAG_NO_REQUEST) >= 0) {
            // A finished stream's graph is still drained, so that its frames do not pile up.
            if (!ost.finished) {
                if (frame.pts != AV_NOPTS_VALUE)
                    frame.pts = avlib::av_rescale_q(frame.pts, avlib::av_buffersink_get_time_base(sink),
                                                    encoder.time_base);
                if (encoder.codec_type == AVMEDIA_TYPE_VIDEO) {
                    OfferVideoBuffer(ost, frame);
                    if (ost.aspectRatio == 0) encoder.sample_aspect_ratio = frame.sample_aspect_ratio;
                    EncodeVideo(ost, frame);
                } else {
                    EncodeAudio(ost, frame);
                }
            }
            avlib::av_frame_unref(&frame);
        }
    }
    return 0;
}

void TTranscoder::OfferVideoBuffer(TOutputStream& ost, AVFrame& frame) {
    if (!ost.videoBuffer || !ost.videoBuffer->Fits(frame)) return;
    ost.videoBuffer->ToBitmap(frame);
    const double time =
        frame.pts == AV_NOPTS_VALUE ? 0 : static_cast<double>(frame.pts) * av_q2d(ost.encoderContext->time_base);
    if (host_.VideoBuffer(ost.videoBuffer->Bitmap(), time)) ost.videoBuffer->FromBitmap(frame);
}

void TTranscoder::Report(bool final) {
    const int64_t now = avlib::av_gettime();
    if (!final) {
        if (!lastReport_) {
            lastReport_ = now;
            return;
        }
        if (now - lastReport_ < kReportInterval) return;
    }
    lastReport_ = now;
    TTranscodeFigures figures;
    if (!run_.outputFiles.empty())
        if (AVIOContext* pb = run_.outputFiles[0]->context->pb) {
            figures.outputSize = avlib::avio_size(pb);
            if (figures.outputSize < 0) figures.outputSize = AVIOPosition(pb);
            if (figures.outputSize < 0) figures.outputSize = 0;
        }
    figures.inputSize = inputSize_;
    double time = 1e10;
    for (const auto& ost : run_.outputStreams)
        if (ost->lastMuxedDts != AV_NOPTS_VALUE)
            if (const double t = static_cast<double>(ost->lastMuxedDts) * av_q2d(ost->stream->time_base); t > 0)
                time = std::min(time, t);
    figures.bitrate = static_cast<double>(figures.outputSize) * 8 / std::max(time, 0.01) / 1000;
    host_.Reported(now, figures);
}

void TTranscoder::FlushDecoders() {
    for (const auto& ist : run_.inputStreams)
        if (ist->decodingNeeded && !run_.inputFiles[ist->fileIndex]->ended) OutputPacket(*ist, nullptr);
}

void TTranscoder::WriteTrailers() {
    for (const auto& file : run_.outputFiles)
        if (file->headerWritten && avlib::av_write_trailer(file->context) < 0)
            throw Exception(Fmt("Could not write the end of %s", String(file->context->url)));
}

void TTranscoder::CloseCodecs() noexcept {
    for (const auto& ost : run_.outputStreams) {
        if (!ost->encodingNeeded || !ost->encoderContext) continue;
        TCodecLocked locked;
        avlib::av_freep(&ost->encoderContext->stats_in);
        avlib::avcodec_free_context(&ost->encoderContext);
        ost->videoBuffer.reset();
    }
    for (const auto& ist : run_.inputStreams) {
        if (!ist->decodingNeeded || !ist->decoderContext) continue;
        TCodecLocked locked;
        avlib::avcodec_free_context(&ist->decoderContext);
    }
}
