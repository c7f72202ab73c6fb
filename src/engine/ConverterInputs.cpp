#include "engine/ConverterInputs.h"

#include <climits>

#include "engine/ChannelLayouts.h"
#include "engine/CodecLock.h"
#include "engine/ConversionRun.h"
#include "engine/ConvertOptions.h"
#include "engine/InputFaults.h"
#include "engine/InputReader.h"
#include "engine/StreamProtocol.h"
#include "platform/rtl/Format.h"

namespace {

// Demuxer options that come from the option set.
void SetDemuxerOptions(TAVDict& formatOptions, const TAVConvertOptions& options, const AVInputFormat* forced,
                       const TOutputParameters& remembered) {
    const auto forcedHas = [forced](const char* name) {
        const AVClass* cls = forced ? forced->priv_class : nullptr;
        return cls && avlib::av_opt_find(&cls, name, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    };
    const TAudioOptions& audio = *options.AudioOptions();
    const TVideoOptions& video = *options.VideoOptions();
    if (audio.AudioSampleRate() != 0) formatOptions.Set("sample_rate", std::to_string(audio.AudioSampleRate()));
    if (audio.AudioChannels() != 0 && forcedHas("channels"))
        formatOptions.Set("channels", std::to_string(audio.AudioChannels()));
    const TRational& rate = *video.InputFrameRate();
    if (rate.num() != 0 && forcedHas("framerate"))
        formatOptions.Set("framerate", std::to_string(rate.num()) + "/" + std::to_string(rate.den()));
    if (remembered.frameWidth != 0 && remembered.frameHeight != 0)
        formatOptions.Set("video_size",
                          std::to_string(remembered.frameWidth) + "x" + std::to_string(remembered.frameHeight));
    if (video.PixelFormat() != -1)
        if (const char* name = avlib::av_get_pix_fmt_name(static_cast<AVPixelFormat>(video.PixelFormat())))
            formatOptions.Set("pixel_format", name);
}

void AddInputStreams(TConversionRun& run, const TAVConvertOptions& options, int fileIndex, AVFormatContext* context) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        auto input = std::make_unique<TInputStream>();
        TInputStream& ist = *input;
        run.inputStreams.push_back(std::move(input));
        ist.fileIndex = fileIndex;
        ist.stream = context->streams[i];
        ist.stream->discard = AVDISCARD_ALL;
        const AVCodecParameters& par = *ist.stream->codecpar;
        if (par.codec_type == AVMEDIA_TYPE_SUBTITLE || par.codec_type == AVMEDIA_TYPE_DATA) {
            const std::string& name = options.SubtitleOptions()->SubtitleCodecName();
            ist.decoder = name.empty() ? nullptr : avlib::avcodec_find_decoder_by_name(name.c_str());
        }
        if (!ist.decoder) ist.decoder = avlib::avcodec_find_decoder(par.codec_id);
        ist.decoderOptions = StreamCodecOptions(run.options.CodecOptions(), par.codec_type, ist.decoder, false);

        ist.decoderContext = avlib::avcodec_alloc_context3(ist.decoder);
        if (!ist.decoderContext || avlib::avcodec_parameters_to_context(ist.decoderContext, &par) < 0)
            throw EOutOfMemory("Out of memory");
        ist.decoderContext->pkt_timebase = ist.stream->time_base;
        AVChannelLayout& layout = ist.decoderContext->ch_layout;
        if (par.codec_type == AVMEDIA_TYPE_AUDIO) OrderByDefault(layout);
        ist.width = par.width;
        ist.height = par.height;
        ist.pixelFormat = par.codec_type == AVMEDIA_TYPE_VIDEO ? par.format : AV_PIX_FMT_NONE;
        ist.sampleFormat = par.codec_type == AVMEDIA_TYPE_AUDIO ? par.format : AV_SAMPLE_FMT_NONE;
        ist.sampleRate = par.sample_rate;
        if (avlib::av_channel_layout_copy(&ist.channelLayout, &layout) < 0) throw EOutOfMemory("Out of memory");
    }
}

} // namespace

TInputStream::~TInputStream() {
    if (decoderContext) {
        TCodecLocked locked;
        avlib::avcodec_free_context(&decoderContext);
    }
    avlib::av_channel_layout_uninit(&channelLayout);
}

TInputFile::~TInputFile() {
    StopReader();
    CloseInput(&context);
}

void TInputFile::StopReader() noexcept {
    if (!reader) return;
    reader->Stop();
    reader.reset();
}

std::optional<double> OpenInputFile(TConversionRun& run, const TAVConvertOptions& options, const TStrings& inputFiles,
                                    int index, const TOutputParameters& remembered) {
    const String url = inputFiles.Strings(index);
    const TStrings& formats = *options.InputFormats();
    const AVInputFormat* forced = nullptr;
    if (index < formats.Count() && !Trim(formats.Strings(index)).empty()) {
        const String name = formats.Strings(index);
        forced = avlib::av_find_input_format(name.ToUtf8().c_str());
        if (!forced) throw Exception(Fmt("Unknow input format %s", name));
    }
    TAVDict& formatOptions = run.options.FormatOptions();
    SetDemuxerOptions(formatOptions, options, forced, remembered);

    auto file = std::make_unique<TInputFile>();
    const int opened = OpenInput(&file->context, url, forced, formatOptions.Address());
    if (opened < 0) {
        LogInputError(opened, url);
        throw Exception(InputFaultMessage(OpenFault(opened, url), url));
    }
    formatOptions.Clear();
    AVFormatContext* context = file->context;
    if (context->ctx_flags & AVFMTCTX_NOHEADER) {
        context->probesize *= 10;
        context->max_analyze_duration *= 10;
    }

    // One decoder option set per stream, as FFmpeg wants them: an array it may rewrite.
    std::vector<AVDictionary*> streamOptions(context->nb_streams, nullptr);
    const auto freeStreamOptions = [&streamOptions] {
        for (AVDictionary*& dict : streamOptions) avlib::av_dict_free(&dict);
    };
    int found;
    try {
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            const AVCodecParameters& par = *context->streams[i]->codecpar;
            streamOptions[i] = StreamCodecOptions(run.options.CodecOptions(), par.codec_type,
                                                  avlib::avcodec_find_decoder(par.codec_id), false)
                                   .Release();
        }
        found = avlib::avformat_find_stream_info(context, streamOptions.data());
    } catch (const EOutOfMemory&) {
        freeStreamOptions();
        throw Exception("Could not alloc memory for stream options.");
    }
    freeStreamOptions();
    if (found < 0) {
        LogInputError(found, url);
        throw Exception(InputFaultMessage(TInputFault::Unsupported, url));
    }

    // A capture device stamps each frame with the time it grabbed it, so the real frame rate guessed from
    // those times follows the machine's load; its streams run at the rate it was asked for.
    if (const AVClass* device = context->iformat->priv_class; device && AV_IS_INPUT_DEVICE(device->category))
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            AVStream& stream = *context->streams[i];
            if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
                stream.r_frame_rate = stream.avg_frame_rate;
        }

    int64_t timestamp = options.StartTime();
    if (context->start_time != AV_NOPTS_VALUE) timestamp += context->start_time;
    // Without a start mark the input is read from where the probe left it: a demuxer that seeks by decoding
    // time (MPEG program and transport streams) lands past the first picture when sent to the container's
    // start time, which is a presentation time, and the pictures up to the next key frame are lost.
    if (options.StartTime() != 0) avlib::avformat_seek_file(context, -1, INT64_MIN, timestamp, timestamp, 0);

    const int fileIndex = static_cast<int>(run.inputFiles.size());
    file->firstStream = static_cast<int>(run.inputStreams.size());
    file->streamCount = static_cast<int>(context->nb_streams);
    file->tsOffset = -timestamp;
    AddInputStreams(run, options, fileIndex, context);
    run.inputFiles.push_back(std::move(file));
    run.options.Reset();

    if (context->duration == AV_NOPTS_VALUE) return std::nullopt;
    return static_cast<double>(context->duration) / AV_TIME_BASE;
}
