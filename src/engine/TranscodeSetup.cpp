// The initialisation of a transcode: stream copy or encoder set-up for every
// output stream, encoders and decoders opened, file headers written.

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/AVUtils.h"
#include "engine/ChannelLayouts.h"
#include "engine/CodecLock.h"
#include "engine/CodecThreads.h"
#include "engine/ConvertOptions.h"
#include "engine/Transcoder.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"

namespace {

bool IsMp4Family(const char* name) {
    for (const char* family : {"mov", "mp4", "3gp", "3g2", "psp", "ipod", "f4v"})
        if (std::strcmp(name, family) == 0) return true;
    return false;
}

// The time base of a copied stream: the source's, unless the muxer wants the
// codec's frame timing (a muxer of constant frame rates, AVI in particular).
AVRational CopyTimeBase(const AVOutputFormat& format, const AVStream& source, int ticksPerFrame) {
    AVRational timeBase = source.time_base;
    const AVRational codec = avlib::av_stream_get_codec_timebase(&source);
    const AVRational real = source.r_frame_rate;
    const double stream = av_q2d(source.time_base);
    if (std::strcmp(format.name, "avi") == 0) {
        if (real.num > 0 && real.den > 0 && av_q2d(real) >= av_q2d(source.avg_frame_rate) &&
            0.5 / av_q2d(real) > stream && 0.5 / av_q2d(real) > av_q2d(codec) && stream < 1.0 / 500 &&
            av_q2d(codec) < 1.0 / 500) {
            timeBase = {real.den, 2 * real.num};
        } else if (codec.den && av_q2d(codec) * ticksPerFrame > 2 * stream && stream < 1.0 / 500) {
            timeBase = {codec.num * ticksPerFrame, codec.den * 2};
        }
    } else if (!(format.flags & AVFMT_VARIABLE_FPS) && !IsMp4Family(format.name)) {
        if (codec.den && av_q2d(codec) * ticksPerFrame > stream && stream < 1.0 / 500)
            timeBase = {codec.num * ticksPerFrame, codec.den};
    }
    return timeBase;
}

// Codec opening shares library state among the conversions running at once:
// it takes the codec lock. Setting up filter graphs and bitstream filters
// does not.
int OpenCodec(AVCodecContext& context, const AVCodec& codec, TAVDict& options) {
    const TCodecLocked locked;
    return avlib::avcodec_open2(&context, &codec, options.Address());
}

} // namespace

void TTranscoder::Initialise() {
    for (const auto& file : run_.outputFiles)
        if (!file->context->nb_streams && !(file->context->oformat->flags & AVFMT_NOSTREAMS))
            throw Exception("Output file does not contain any stream");
    for (const auto& graph : run_.filterGraphs)
        if (FinishFilterGraph(run_, *graph) < 0) throw Exception("Error configuring filters.");

    for (size_t i = 0; i < run_.outputStreams.size(); ++i) {
        TOutputStream& ost = *run_.outputStreams[i];
        TInputStream* ist = SourceOf(ost);
        if (ist) {
            ost.stream->disposition = ist->stream->disposition;
            ost.encoderContext->bits_per_raw_sample = ist->decoderContext->bits_per_raw_sample;
            ost.encoderContext->chroma_sample_location = ist->decoderContext->chroma_sample_location;
        }
        if (ost.streamCopy)
            SetUpStreamCopy(ost, *ist);
        else
            SetUpEncoding(ost, ist, static_cast<int>(i));
    }
    for (const auto& ost : run_.outputStreams)
        if (ost->encodingNeeded) OpenEncoder(*ost);
    for (const auto& ost : run_.outputStreams) InitialiseBitstreamFilters(*ost);
    for (const auto& ist : run_.inputStreams) OpenDecoder(*ist);

    for (const auto& file : run_.inputFiles)
        for (unsigned p = 0; p < file->context->nb_programs; ++p) {
            AVProgram& program = *file->context->programs[p];
            bool used = false;
            for (unsigned s = 0; s < program.nb_stream_indexes; ++s)
                used |= !run_.inputStreams[file->firstStream + program.stream_index[s]]->discard;
            program.discard = used ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }

    for (const auto& file : run_.outputFiles) {
        TAVDict options = file->muxerOptions.Copy();
        const TCodecLocked locked;
        if (avlib::avformat_write_header(file->context, options.Address()) < 0)
            throw Exception("Could not write header for output file  (incorrect codec parameters ?)");
        file->headerWritten = true;
    }
}

void TTranscoder::SetUpStreamCopy(TOutputStream& ost, const TInputStream& ist) {
    const AVOutputFormat& format = *run_.outputFiles[ost.fileIndex]->context->oformat;
    AVCodecParameters& par = *ost.stream->codecpar;
    const AVCodecParameters& source = *ist.stream->codecpar;
    unsigned tag = ost.encoderContext->codec_tag;
    if (avlib::avcodec_parameters_copy(&par, &source) < 0) throw Exception("failed to allocate extradata");
    if (!tag && (!format.codec_tag || avlib::av_codec_get_id(format.codec_tag, source.codec_tag) == source.codec_id ||
                 !avlib::av_codec_get_tag(format.codec_tag, source.codec_id)))
        tag = source.codec_tag;
    par.codec_tag = tag;

    AVRational timeBase = CopyTimeBase(format, *ist.stream, std::max(ist.decoderContext->ticks_per_frame, 1));
    if (ost.forcedFrameRate.num) timeBase = av_inv_q(ost.forcedFrameRate);
    avlib::av_reduce(&timeBase.num, &timeBase.den, timeBase.num, timeBase.den, INT32_MAX);
    ost.stream->time_base = timeBase;

    switch (source.codec_type) {
    case AVMEDIA_TYPE_VIDEO: {
        AVRational aspect = ist.stream->sample_aspect_ratio.num ? ist.stream->sample_aspect_ratio
                                                                 : source.sample_aspect_ratio;
        if (!aspect.num || !aspect.den) aspect = {0, 1};
        par.sample_aspect_ratio = ost.stream->sample_aspect_ratio = aspect;
        ost.stream->avg_frame_rate = ist.stream->avg_frame_rate;
        ost.stream->r_frame_rate = ist.stream->r_frame_rate;
        break;
    }
    case AVMEDIA_TYPE_AUDIO:
        if (options_.AudioOptions()->AudioVolume() != 256)
            throw Exception("-acodec copy and -vol are incompatible (frames are not decoded)");
        if ((par.block_align == 1 || par.block_align == 1152) && par.codec_id == AV_CODEC_ID_MP3) par.block_align = 0;
        if (par.codec_id == AV_CODEC_ID_AC3) par.block_align = 0;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
    case AVMEDIA_TYPE_DATA:
    case AVMEDIA_TYPE_ATTACHMENT: break;
    default: throw Exception("unknown codec type");
    }
}

void TTranscoder::SetUpEncoding(TOutputStream& ost, TInputStream* ist, int index) {
    if (!ost.encoder) throw Exception("Encoder codec not found for output stream");
    if (ist) ++ist->decodingNeeded;
    ost.encodingNeeded = true;
    AVCodecContext& encoder = *ost.encoderContext;
    const AVMediaType type = encoder.codec_type;
    if ((type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) && !ost.filter) CreateSimpleGraph(run_, *ist, ost);
    AVFilterContext* sink = ost.filter ? ost.filter->filter : nullptr;

    switch (type) {
    case AVMEDIA_TYPE_AUDIO:
        encoder.sample_fmt = static_cast<AVSampleFormat>(avlib::av_buffersink_get_format(sink));
        encoder.sample_rate = avlib::av_buffersink_get_sample_rate(sink);
        avlib::av_channel_layout_uninit(&encoder.ch_layout);
        if (avlib::av_buffersink_get_ch_layout(sink, &encoder.ch_layout) < 0) throw EOutOfMemory("Out of memory");
        encoder.time_base = {1, encoder.sample_rate};
        break;
    case AVMEDIA_TYPE_VIDEO: {
        AVRational rate = ost.forcedFrameRate;
        if (!rate.num) rate = avlib::av_buffersink_get_frame_rate(sink);
        if (!rate.num && ist) rate = ist->stream->r_frame_rate;
        if (!rate.num) rate = {25, 1};
        if (const AVRational* supported = ost.encoder->supported_framerates)
            rate = supported[avlib::av_find_nearest_q_idx(rate, supported)];
        ost.frameRate = rate;
        encoder.framerate = rate;
        encoder.time_base = av_inv_q(rate);
        if (!encoder.time_base.num) encoder.time_base = avlib::av_buffersink_get_time_base(sink);
        encoder.width = avlib::av_buffersink_get_w(sink);
        encoder.height = avlib::av_buffersink_get_h(sink);
        if (ost.aspectRatio != 0)
            encoder.sample_aspect_ratio =
                avlib::av_d2q(static_cast<double>(ost.aspectRatio) * encoder.height / encoder.width, 255);
        else
            encoder.sample_aspect_ratio = avlib::av_buffersink_get_sample_aspect_ratio(sink);
        ost.stream->sample_aspect_ratio = encoder.sample_aspect_ratio;
        encoder.pix_fmt = static_cast<AVPixelFormat>(avlib::av_buffersink_get_format(sink));
        if (!ist || ist->width != encoder.width || ist->height != encoder.height ||
            ist->pixelFormat != encoder.pix_fmt)
            encoder.bits_per_raw_sample = 0;
        if (host_.WantsVideoBuffer())
            ost.videoBuffer = std::make_unique<TVideoBufferChannel>(encoder.width, encoder.height, encoder.pix_fmt);
        break;
    }
    case AVMEDIA_TYPE_SUBTITLE: encoder.time_base = {1, 1000}; break;
    default: throw Exception("Invalid Media Type");
    }
    if (encoder.flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)) SetUpTwoPass(ost, index);
}

void TTranscoder::SetUpTwoPass(TOutputStream& ost, int index) {
    const String name = Fmt("ffmpeg2pass-%d.log", index);
    AVCodecContext& encoder = *ost.encoderContext;
    if (std::strcmp(ost.encoder->name, "libx264") == 0) {
        if (!ost.encoderOptions.Find("stats")) ost.encoderOptions.Set("stats", name.ToUtf8());
        return;
    }
    if (encoder.flags & AV_CODEC_FLAG_PASS2) {
        TFileStream log(name, fmOpenRead);
        const int64_t size = log.Size();
        auto* text = static_cast<char*>(avlib::av_malloc(static_cast<size_t>(size) + 1));
        if (!text) throw Exception("Could not allocate log buffer");
        encoder.stats_in = text;
        log.ReadBuffer(text, size);
        text[size] = '\0';
    }
    if (encoder.flags & AV_CODEC_FLAG_PASS1) {
        ost.statsFile.reset(std::fopen(name.ToUtf8().c_str(), "wb"));
        if (!ost.statsFile) throw EFCreateError(Fmt("Cannot create file \"%s\". %s", name, String(std::strerror(errno))));
    }
}

void TTranscoder::OpenEncoder(TOutputStream& ost) {
    AVCodecContext& encoder = *ost.encoderContext;
    if (const TInputStream* ist = SourceOf(ost); ist && ist->decoderContext->subtitle_header) {
        const int size = ist->decoderContext->subtitle_header_size;
        encoder.subtitle_header = static_cast<uint8_t*>(avlib::av_mallocz(static_cast<size_t>(size) + 1));
        if (!encoder.subtitle_header) throw Exception("can not alloc subtitle header");
        std::memcpy(encoder.subtitle_header, ist->decoderContext->subtitle_header, static_cast<size_t>(size));
        encoder.subtitle_header_size = size;
    }
    if (!ost.encoderOptions.Find("threads")) ost.encoderOptions.Set("threads", SharedThreadCount());
    if (OpenCodec(encoder, *ost.encoder, ost.encoderOptions) < 0)
        throw Exception("Error while opening codec for output stream - maybe incorrect parameters such as bit_rate, "
                        "rate, width or height");
    if (encoder.codec_type == AVMEDIA_TYPE_AUDIO && !(ost.encoder->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
        avlib::av_buffersink_set_frame_size(ost.filter->filter, static_cast<unsigned>(encoder.frame_size));
    ost.encoderOptions.Clear();
    if (avlib::avcodec_parameters_from_context(ost.stream->codecpar, &encoder) < 0) throw EOutOfMemory("Out of memory");
    ost.stream->time_base = encoder.time_base;
    if (encoder.codec_type == AVMEDIA_TYPE_VIDEO) ost.stream->avg_frame_rate = ost.stream->r_frame_rate = ost.frameRate;
}

void TTranscoder::InitialiseBitstreamFilters(TOutputStream& ost) {
    AVBSFContext* filters = ost.bitstreamFilters;
    if (!filters) return;
    if (avlib::avcodec_parameters_copy(filters->par_in, ost.stream->codecpar) < 0) throw EOutOfMemory("Out of memory");
    filters->time_base_in = ost.stream->time_base;
    if (avlib::av_bsf_init(filters) < 0) throw Exception("Error initializing bitstream filter");
    if (avlib::avcodec_parameters_copy(ost.stream->codecpar, filters->par_out) < 0) throw EOutOfMemory("Out of memory");
    ost.stream->time_base = filters->time_base_out;
}

void TTranscoder::OpenDecoder(TInputStream& ist) {
    if (ist.decodingNeeded) {
        if (!ist.decoder) throw Exception("Decoder not found for input stream");
        AVCodecContext& decoder = *ist.decoderContext;
        if (options_.VideoOptions()->Deinterlace() && decoder.codec_type == AVMEDIA_TYPE_VIDEO &&
            (ist.decoder->capabilities & AV_CODEC_CAP_DR1)) {
            ist.pool = std::make_unique<TFrameBufferPool>();
            ist.pool->Install(&decoder);
        }
        if (!ist.decoderOptions.Find("threads")) ist.decoderOptions.Set("threads", SharedThreadCount());
        if (OpenCodec(decoder, *ist.decoder, ist.decoderOptions) < 0)
            throw Exception("Error while opening decoder for input stream");
        if (decoder.codec_type == AVMEDIA_TYPE_AUDIO) {
            const auto fed = std::ranges::find_if(run_.outputStreams, [&, index = IndexOf(ist)](const auto& ost) {
                return ost->sourceIndex == index && ost->encodingNeeded;
            });
            if (fed == run_.outputStreams.end()) CompleteInputChannelLayout(decoder.ch_layout);
            else CompleteChannelLayouts(decoder.ch_layout, (*fed)->encoderContext->ch_layout);
        }
    }
    ist.nextDts = ist.nextPts = AV_NOPTS_VALUE;
}
