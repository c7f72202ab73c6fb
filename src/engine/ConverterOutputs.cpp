#include "engine/ConverterOutputs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "engine/AVUtils.h"
#include "engine/CodecLock.h"
#include "engine/ConversionRun.h"
#include "engine/ConvertOptions.h"
#include "engine/FilterGraphs.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"

namespace {

constexpr int kMaxMuxingDelay = 700000; // microseconds

// FFmpeg's quality scale (FF_QP2LAMBDA).
int GlobalQuality(float qscale) { return static_cast<int>(std::trunc(qscale * FF_QP2LAMBDA)); }

void RememberOutputParameters(TOutputParameters& remembered, const TAVConvertOptions& options) {
    const TAudioOptions& audio = *options.AudioOptions();
    const TVideoOptions& video = *options.VideoOptions();
    remembered.sampleFormat = AV_SAMPLE_FMT_NONE;
    if (audio.AudioChannels() != 0) remembered.channels = audio.AudioChannels();
    if (audio.AudioSampleRate() != 0) remembered.sampleRate = audio.AudioSampleRate();
    if (audio.AudioSampleFmt() != sfAuto)
        remembered.sampleFormat = static_cast<AVSampleFormat>(static_cast<int>(audio.AudioSampleFmt()) - 1);
    if (video.FrameWidth() != 0) remembered.frameWidth = video.FrameWidth();
    if (video.FrameHeight() != 0) remembered.frameHeight = video.FrameHeight();
    if (remembered.frameWidth < 0 || remembered.frameHeight < 0)
        ShowAVError("crop dimensions are outside the range of the original image.");
}

struct TStreamSetup {
    std::string encoderName;
    String bitstreamFilters;
};

TStreamSetup SetupOf(const TAVConvertOptions& options, AVMediaType type) {
    switch (type) {
    case AVMEDIA_TYPE_VIDEO: {
        const TVideoOptions& video = *options.VideoOptions();
        return {video.VideoStreamCopy() ? "copy" : video.VideoCodecName(),
                options.FilterOptions()->VideoBitstreamFilters()};
    }
    case AVMEDIA_TYPE_AUDIO: {
        const TAudioOptions& audio = *options.AudioOptions();
        return {audio.AudioStreamCopy() ? "copy" : audio.AudioCodecName().ToUtf8(),
                options.FilterOptions()->AudioBitstreamFilters()};
    }
    default: return {options.SubtitleOptions()->SubtitleCodecName(), String()};
    }
}

void ChooseEncoder(TOutputStream& ost, AVFormatContext* context, AVMediaType type, const std::string& name) {
    if (name.empty()) {
        const AVCodecID id = avlib::av_guess_codec(context->oformat, nullptr, context->url, nullptr, type);
        ost.encoder = avlib::avcodec_find_encoder(id);
    } else if (SameText(String(name), "copy")) {
        ost.streamCopy = true;
    } else {
        ost.encoder = avlib::avcodec_find_encoder_by_name(name.c_str());
        if (!ost.encoder) {
            // The message does not say which: the error log line does.
            avlib::av_log(nullptr, AV_LOG_ERROR, "Encoder %s is not available\n", name.c_str());
            throw Exception("Unknown Codec Name");
        }
        if (ost.encoder->type != type) throw Exception("Invalid codec type");
    }
}

TOutputStream& NewOutputStream(TConversionRun& run, const TAVConvertOptions& options, int fileIndex,
                               AVMediaType type, int source) {
    AVFormatContext* context = run.outputFiles[fileIndex]->context;
    AVStream* stream = avlib::avformat_new_stream(context, nullptr);
    if (!stream) throw Exception("Could not alloc stream.");
    stream->codecpar->codec_type = type;
    run.outputStreams.push_back(std::make_unique<TOutputStream>());
    TOutputStream& ost = *run.outputStreams.back();
    ost.fileIndex = fileIndex;
    ost.index = stream->index;
    ost.stream = stream;

    const TStreamSetup setup = SetupOf(options, type);
    ChooseEncoder(ost, context, type, setup.encoderName);
    if (ost.encoder) ost.encoderOptions = StreamCodecOptions(run.options.CodecOptions(), type, ost.encoder, true);
    ost.encoderContext = avlib::avcodec_alloc_context3(ost.encoder);
    if (!ost.encoderContext) throw EOutOfMemory("Out of memory");
    ost.encoderContext->codec_type = type;

    if (!setup.bitstreamFilters.empty() &&
        avlib::av_bsf_list_parse_str(setup.bitstreamFilters.ToUtf8().c_str(), &ost.bitstreamFilters) < 0)
        throw Exception("Unknown bitstream filter");
    if (context->oformat->flags & AVFMT_GLOBALHEADER) ost.encoderContext->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    if (source >= 0) {
        ost.sourceIndex = source;
        TInputStream& ist = *run.inputStreams[source];
        ist.discard = false;
        ist.stream->discard = AVDISCARD_DEFAULT;
    }
    return ost;
}

void NewVideoStream(TConversionRun& run, const TAVConvertOptions& options, int fileIndex, int source,
                    const TOutputParameters& remembered) {
    TOutputStream& ost = NewOutputStream(run, options, fileIndex, AVMEDIA_TYPE_VIDEO, source);
    if (ost.streamCopy) return;
    const TVideoOptions& video = *options.VideoOptions();
    ost.aspectRatio = video.FrameAspectRatio();
    if (video.FrameRate()->num() != 0) ost.forcedFrameRate = {video.FrameRate()->num(), video.FrameRate()->den()};
    AVCodecContext& encoder = *ost.encoderContext;
    encoder.width = remembered.frameWidth;
    encoder.height = remembered.frameHeight;
    encoder.pix_fmt = static_cast<AVPixelFormat>(video.PixelFormat());
    encoder.bits_per_raw_sample = 0;
    ost.stream->sample_aspect_ratio = encoder.sample_aspect_ratio;
    if (video.IntraOnly()) encoder.gop_size = 0;
    if (video.VideoQscale() != 0) {
        encoder.flags |= AV_CODEC_FLAG_QSCALE;
        encoder.global_quality = GlobalQuality(video.VideoQscale());
    }
    encoder.intra_dc_precision = video.IntraDcPrecision() - 8;
    if (video.Pass() & 1) encoder.flags |= AV_CODEC_FLAG_PASS1;
    if (video.Pass() & 2) encoder.flags |= AV_CODEC_FLAG_PASS2;
    ost.filterText = options.FilterOptions()->VideoFilters().empty() ? "null"
                                                                     : options.FilterOptions()->VideoFilters().ToUtf8();
}

void NewAudioStream(TConversionRun& run, const TAVConvertOptions& options, int fileIndex, int source,
                    const TOutputParameters& remembered) {
    TOutputStream& ost = NewOutputStream(run, options, fileIndex, AVMEDIA_TYPE_AUDIO, source);
    const TAudioOptions& audio = *options.AudioOptions();
    AVCodecContext& encoder = *ost.encoderContext;
    if (audio.AudioCodecTag() != 0) encoder.codec_tag = static_cast<unsigned>(audio.AudioCodecTag());
    if (ost.streamCopy) return;
    if (audio.AudioQScale() > -99999) {
        encoder.flags |= AV_CODEC_FLAG_QSCALE;
        encoder.global_quality = GlobalQuality(audio.AudioQScale());
    }
    if (remembered.channels != 0) {
        avlib::av_channel_layout_uninit(&encoder.ch_layout);
        avlib::av_channel_layout_default(&encoder.ch_layout, remembered.channels);
    }
    if (remembered.sampleFormat != AV_SAMPLE_FMT_NONE) encoder.sample_fmt = remembered.sampleFormat;
    if (remembered.sampleRate != 0) encoder.sample_rate = remembered.sampleRate;
    ost.filterText = options.FilterOptions()->AudioFilters().empty() ? "anull"
                                                                     : options.FilterOptions()->AudioFilters().ToUtf8();
}

// The media types an output file takes no more streams of.
struct TDisabledTypes {
    bool video;
    bool audio;
    bool subtitle;
};

void NewStreamFrom(TConversionRun& run, const TAVConvertOptions& options, int fileIndex, int source,
                   const TOutputParameters& remembered, const TDisabledTypes& disabled) {
    switch (run.inputStreams[source]->stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        if (!disabled.video) NewVideoStream(run, options, fileIndex, source, remembered);
        break;
    case AVMEDIA_TYPE_AUDIO:
        if (!disabled.audio) NewAudioStream(run, options, fileIndex, source, remembered);
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        if (!disabled.subtitle) NewOutputStream(run, options, fileIndex, AVMEDIA_TYPE_SUBTITLE, source);
        break;
    default: break;
    }
}

// Streams for the outputs of the complex filter graphs that no file took yet.
void BindComplexOutputs(TConversionRun& run, const TAVConvertOptions& options, int fileIndex,
                        const TOutputParameters& remembered, TDisabledTypes& disabled) {
    for (const auto& graph : run.filterGraphs)
        for (const auto& output : graph->outputs) {
            if (!output->pad) continue;
            switch (output->type) {
            case AVMEDIA_TYPE_VIDEO:
                NewVideoStream(run, options, fileIndex, -1, remembered);
                disabled.video = true;
                break;
            case AVMEDIA_TYPE_AUDIO:
                NewAudioStream(run, options, fileIndex, -1, remembered);
                disabled.audio = true;
                break;
            default: throw Exception("Only video and audio filters are supported");
            }
            BindComplexOutput(*output, *run.outputStreams.back());
        }
}

// The input stream of Type with the largest Size; a tie keeps the first, a size of 0 never wins.
template <class SizeOf>
int LargestInput(const TConversionRun& run, AVMediaType type, SizeOf sizeOf) {
    int best = -1;
    int64_t bestSize = 0;
    for (size_t i = 0; i < run.inputStreams.size(); ++i) {
        const AVCodecParameters& par = *run.inputStreams[i]->stream->codecpar;
        if (par.codec_type != type) continue;
        const int64_t size = sizeOf(par);
        if (size > bestSize) {
            best = static_cast<int>(i);
            bestSize = size;
        }
    }
    return best;
}

void ChooseStreams(TConversionRun& run, const TAVConvertOptions& options, int fileIndex,
                   const TOutputParameters& remembered, const TDisabledTypes& disabled) {
    const AVOutputFormat& format = *run.outputFiles[fileIndex]->context->oformat;
    if (!disabled.video && format.video_codec != AV_CODEC_ID_NONE) {
        const int source = LargestInput(run, AVMEDIA_TYPE_VIDEO, [](const AVCodecParameters& par) {
            return static_cast<int64_t>(par.width) * par.height;
        });
        if (source >= 0) NewVideoStream(run, options, fileIndex, source, remembered);
    }
    if (!disabled.audio && format.audio_codec != AV_CODEC_ID_NONE) {
        const int source = LargestInput(run, AVMEDIA_TYPE_AUDIO, [](const AVCodecParameters& par) {
            return static_cast<int64_t>(par.ch_layout.nb_channels);
        });
        if (source >= 0) NewAudioStream(run, options, fileIndex, source, remembered);
    }
    if (!disabled.subtitle &&
        (format.subtitle_codec != AV_CODEC_ID_NONE || !options.SubtitleOptions()->SubtitleCodecName().empty())) {
        const int source = LargestInput(run, AVMEDIA_TYPE_SUBTITLE, [](const AVCodecParameters&) { return 1; });
        if (source >= 0) NewOutputStream(run, options, fileIndex, AVMEDIA_TYPE_SUBTITLE, source);
    }
}

// Image sequences need a frame number pattern in the name. FFmpeg's image2
// muxer no longer says so, but fails at the second picture without one, unless
// told to overwrite a single file.
bool NeedsNumber(const TOutputFile& file) {
    const AVOutputFormat& format = *file.context->oformat;
    if (format.flags & AVFMT_NEEDNUMBER) return true;
    if (std::string_view(format.name) != "image2") return false;
    const char* update = file.muxerOptions.Find("update");
    return !update || std::string_view(update) == "0" || std::string_view(update) == "false";
}

void SetMetadata(AVFormatContext* context, const TStrings& lines) {
    for (int i = 0; i < lines.Count(); ++i) {
        const String line = lines.Strings(i);
        const auto equals = line.find(u'=');
        if (equals == String::npos) continue;
        if (avlib::av_dict_set(&context->metadata, line.substr(0, equals).ToUtf8().c_str(),
                               line.substr(equals + 1).ToUtf8().c_str(), 0) < 0)
            throw EOutOfMemory("Out of memory");
    }
}

} // namespace

TOutputStream::~TOutputStream() {
    if (encoderContext) {
        TCodecLocked locked;
        avlib::av_freep(&encoderContext->stats_in);
        avlib::avcodec_free_context(&encoderContext);
    }
    avlib::av_bsf_free(&bitstreamFilters);
}

TOutputFile::~TOutputFile() {
    if (!context) return;
    if (!(context->oformat->flags & AVFMT_NOFILE)) avlib::avio_closep(&context->pb);
    avlib::avformat_free_context(context);
}

const AVOutputFormat* ResolveOutputFormat(const String& name) {
    if (name.empty()) return nullptr;
    const AVOutputFormat* format = avlib::av_guess_format(name.ToUtf8().c_str(), nullptr, nullptr);
    if (!format) throw Exception(Fmt("Unknown Output format %s", name));
    return format;
}

void BuildStreamMaps(TConversionRun& run, const TStrings& lines) {
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = LowerCase(lines.Strings(i)).ToUtf8();
        char* rest = nullptr;
        const long number = std::strtol(line.c_str(), &rest, 0);
        const int fileCount = static_cast<int>(run.inputFiles.size());
        if (number < 0 || number >= fileCount)
            throw Exception(Fmt("Invalid input file index:%d",
                                static_cast<int>(std::clamp<long>(number, INT32_MIN, INT32_MAX))));
        if (*rest == ':') ++rest;
        const String specifier(rest);
        const TInputFile& file = *run.inputFiles[number];
        for (int s = 0; s < file.streamCount; ++s)
            if (MatchStreamSpecifier(file.context, file.context->streams[s], specifier) > 0)
                run.streamMaps.push_back({static_cast<int>(number), s, static_cast<int>(number), s});
    }
}

void OpenOutputFile(TConversionRun& run, const TAVConvertOptions& options, const String& fileName,
                    TOutputParameters& remembered) {
    RememberOutputParameters(remembered, options);

    const String formatName = Trim(options.OutputFormat());
    AVFormatContext* context = nullptr;
    avlib::avformat_alloc_output_context2(&context, nullptr,
                                          formatName.empty() ? nullptr : formatName.ToUtf8().c_str(),
                                          fileName.ToUtf8().c_str());
    if (!context) throw Exception(Fmt("Unable to find a suitable output format for %s", fileName));
    const int fileIndex = static_cast<int>(run.outputFiles.size());
    run.outputFiles.push_back(std::make_unique<TOutputFile>());
    TOutputFile& file = *run.outputFiles.back();
    file.context = context;
    file.firstStream = static_cast<int>(run.outputStreams.size());
    file.recordingTime = options.RecordingTime();
    file.sizeLimit = options.LimitFileSize();

    TDisabledTypes disabled{options.VideoOptions()->VideoDisable(), options.AudioOptions()->AudioDisable(),
                            options.SubtitleOptions()->SubtitleDisable()};
    BindComplexOutputs(run, options, fileIndex, remembered, disabled);
    if (const int lineCount = options.StreamMaps()->Count(); lineCount > 0) {
        // As many maps as there are lines; a line may have made none or several.
        for (int i = 0; i < std::min(lineCount, static_cast<int>(run.streamMaps.size())); ++i) {
            const TStreamMap& map = run.streamMaps[i];
            NewStreamFrom(run, options, fileIndex, run.inputFiles[map.file]->firstStream + map.stream, remembered,
                          disabled);
        }
    } else {
        ChooseStreams(run, options, fileIndex, remembered, disabled);
    }
    SetMetadata(context, *options.MetaData());
    file.muxerOptions = run.options.FormatOptions().Copy();

    if (NeedsNumber(file) && !avlib::av_filename_number_test(context->url)) throw Exception("unexpected error");
    if (!(context->oformat->flags & AVFMT_NOFILE)) {
        const String folder = ExtractFileDir(fileName);
        if (!folder.empty()) ForceDirectories(folder);
        if (avlib::avio_open(&context->pb, context->url, AVIO_FLAG_WRITE) < 0)
            throw Exception(Fmt("Could not write to file %s", fileName));
    }
    if (const float preload = options.MuxerOptions()->MuxPreload(); preload != 0)
        file.muxerOptions.Set("preload", std::to_string(std::llround(static_cast<double>(preload) * 1000000)));
    context->max_delay = kMaxMuxingDelay;
    run.options.Reset();
}
