#include "engine/FilterGraphs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/AVUtils.h"
#include "engine/ChannelLayouts.h"
#include "engine/CodecThreads.h"
#include "engine/ConversionRun.h"
#include "platform/rtl/Exceptions.h"

namespace {

template <class... Args>
std::string Printf(const char* format, Args... args) {
    const int size = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

// Joins the entries of a list that ends with End, each made a text by Name.
template <class T, class NameOf>
std::string Join(const T* list, T end, NameOf name) {
    std::string text;
    for (; list && *list != end; ++list) {
        if (!text.empty()) text += '|';
        text += name(*list);
    }
    return text;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

std::string LayoutText(const AVChannelLayout& layout) {
    if (layout.order == AV_CHANNEL_ORDER_NATIVE) return Printf("0x%llx", static_cast<unsigned long long>(layout.u.mask));
    char text[128];
    return avlib::av_channel_layout_describe(&layout, text, sizeof text) < 0 ? std::string() : std::string(text);
}

std::string PadName(const AVFilterContext& context, int pad, bool input) {
    std::string name = context.filter->name;
    if ((input ? context.nb_inputs : context.nb_outputs) > 1)
        name = name + ":" + avlib::avfilter_pad_get_name(input ? context.input_pads : context.output_pads, pad);
    return name;
}

AVMediaType PadType(const AVFilterInOut& pad, bool input) {
    return avlib::avfilter_pad_get_type(input ? pad.filter_ctx->input_pads : pad.filter_ctx->output_pads,
                                        pad.pad_idx);
}

// Adds a filter to Graph; 0 or a negative FFmpeg result.
int CreateFilter(AVFilterGraph* graph, const char* type, const std::string& name, const std::string& args,
                 AVFilterContext*& filter) {
    const AVFilter* kind = avlib::avfilter_get_by_name(type);
    if (!kind) return AVERROR_FILTER_NOT_FOUND;
    return avlib::avfilter_graph_create_filter(&filter, kind, name.c_str(), args.empty() ? nullptr : args.c_str(),
                                               nullptr, graph);
}

// A chain of filters that ends in a graph output's sink.
class TSinkChain {
public:
    TSinkChain(AVFilterGraph* graph, const AVFilterInOut& pad) : graph_(graph), last_(pad.filter_ctx), pad_(pad.pad_idx) {}

    int Append(const char* type, const std::string& name, const std::string& args) {
        AVFilterContext* filter = nullptr;
        int result = CreateFilter(graph_, type, name, args, filter);
        if (result >= 0) result = Link(filter);
        return result;
    }
    int Link(AVFilterContext* filter) {
        const int result = avlib::avfilter_link(last_, static_cast<unsigned>(pad_), filter, 0);
        last_ = filter;
        pad_ = 0;
        return result;
    }

private:
    AVFilterGraph* graph_;
    AVFilterContext* last_;
    int pad_;
};

AVRational SourceFrameRate(const TInputStream& ist) {
    AVRational rate = ist.stream->r_frame_rate;
    const AVCodecContext& decoder = *ist.decoderContext;
    const AVRational codecRate = decoder.framerate;
    if (decoder.ticks_per_frame > 1 && rate.num > 0 && rate.den > 0 && codecRate.num > 0 && codecRate.den > 0 &&
        av_q2d(codecRate) < 0.7 * av_q2d(rate) &&
        std::fabs(1.0 - av_q2d(ist.stream->avg_frame_rate) / av_q2d(rate)) > 0.1)
        rate = codecRate;
    return rate;
}

int ConfigureSource(const TFilterGraph& graph, TInputFilter& input, const AVFilterInOut& pad) {
    const TInputStream& ist = *input.stream;
    input.name = PadName(*pad.filter_ctx, pad.pad_idx, true);
    const std::string name = Printf("graph %d input from stream %d:%d", graph.index, ist.fileIndex, ist.stream->index);
    std::string args;
    const char* type;
    if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
        type = "buffer";
        const AVRational timeBase = ist.stream->time_base;
        AVRational aspect = ist.stream->sample_aspect_ratio.num ? ist.stream->sample_aspect_ratio
                                                                 : ist.decoderContext->sample_aspect_ratio;
        if (!aspect.den) aspect = {0, 1};
        args = Printf("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", ist.width, ist.height,
                      ist.pixelFormat, timeBase.num, timeBase.den, aspect.num, aspect.den);
        if (const AVRational rate = SourceFrameRate(ist); rate.num && rate.den)
            args += Printf(":frame_rate=%d/%d", rate.num, rate.den);
    } else {
        type = "abuffer";
        const char* format = avlib::av_get_sample_fmt_name(static_cast<AVSampleFormat>(ist.sampleFormat));
        args = Printf("time_base=1/%d:sample_rate=%d:sample_fmt=%s:", ist.sampleRate, ist.sampleRate,
                      format ? format : "none");
        args += ist.channelLayout.order == AV_CHANNEL_ORDER_NATIVE
                    ? "channel_layout=" + LayoutText(ist.channelLayout)
                    : Printf("channels=%d", ist.channelLayout.nb_channels);
    }
    int result = CreateFilter(graph.graph, type, name, args, input.filter);
    if (result >= 0) result = avlib::avfilter_link(input.filter, 0, pad.filter_ctx, static_cast<unsigned>(pad.pad_idx));
    return result;
}

const AVPixelFormat mjpegFormats[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUV420P,
                                      AV_PIX_FMT_YUV422P, AV_PIX_FMT_NONE};
// At normal strictness the JPEG encoder lists limited-range formats it then
// refuses to open with: only the full-range ones work.
const AVPixelFormat mjpegFullRangeFormats[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ444P,
                                               AV_PIX_FMT_NONE};
const AVPixelFormat ljpegFormats[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ444P,
                                      AV_PIX_FMT_YUV420P,  AV_PIX_FMT_YUV422P,  AV_PIX_FMT_YUV444P,
                                      AV_PIX_FMT_BGRA,     AV_PIX_FMT_NONE};

bool Listed(const AVPixelFormat* list, AVPixelFormat format) {
    for (; list && *list != AV_PIX_FMT_NONE; ++list)
        if (*list == format) return true;
    return false;
}

// The "format" filter's list for an encoder: its own format when set (or the
// closest it supports), else every format it supports; empty: no constraint.
std::string PixelFormats(const AVCodecContext& encoder, const AVCodec* codec) {
    const AVPixelFormat* list = codec ? codec->pix_fmts : nullptr;
    if (codec && encoder.strict_std_compliance < FF_COMPLIANCE_NORMAL) {
        if (codec->id == AV_CODEC_ID_MJPEG) list = mjpegFormats;
        if (codec->id == AV_CODEC_ID_LJPEG) list = ljpegFormats;
    } else if (codec && codec->id == AV_CODEC_ID_MJPEG) {
        list = mjpegFullRangeFormats;
    }
    const auto name = [](AVPixelFormat format) {
        const char* text = avlib::av_get_pix_fmt_name(format);
        return std::string(text ? text : "");
    };
    if (encoder.pix_fmt == AV_PIX_FMT_NONE) return Join(list, AV_PIX_FMT_NONE, name);
    AVPixelFormat chosen = encoder.pix_fmt;
    if (list && !Listed(list, chosen)) {
        const AVPixFmtDescriptor* desc = avlib::av_pix_fmt_desc_get(chosen);
        const int alpha = desc && (desc->flags & AV_PIX_FMT_FLAG_ALPHA);
        chosen = avlib::avcodec_find_best_pix_fmt_of_list(list, chosen, alpha, nullptr);
    }
    return name(chosen);
}

int ConfigureVideoSink(TFilterGraph& graph, TOutputFilter& output, const AVFilterInOut& pad) {
    const TOutputStream& ost = *output.stream;
    const AVCodecContext& encoder = *ost.encoderContext;
    const std::string stream = Printf("%d:%d", ost.fileIndex, ost.index);
    int result = CreateFilter(graph.graph, "buffersink", "output stream " + stream, std::string(), output.filter);
    if (result < 0) return result;
    TSinkChain chain(graph.graph, pad);
    if (output.alignedWidth && result >= 0)
        result = chain.Append("crop", "crop for output stream " + stream,
                              Printf("%d:%d:0:0", output.alignedWidth, output.alignedHeight));
    if ((encoder.width || encoder.height) && result >= 0)
        result = chain.Append("scale", "scaler for output stream " + stream,
                              Printf("%d:%d:flags=0x%X", encoder.width, encoder.height, ost.scalerFlags));
    if (const std::string formats = PixelFormats(encoder, ost.encoder); !formats.empty() && result >= 0)
        result = chain.Append("format", "format", formats);
    return result < 0 ? result : chain.Link(output.filter);
}

int ConfigureAudioSink(TFilterGraph& graph, TOutputFilter& output, const AVFilterInOut& pad) {
    const TOutputStream& ost = *output.stream;
    AVCodecContext& encoder = *ost.encoderContext;
    const AVCodec* codec = ost.encoder;
    const std::string stream = Printf("%d:%d", ost.fileIndex, ost.index);
    int result = CreateFilter(graph.graph, "abuffersink", "output stream " + stream, std::string(), output.filter);
    if (result < 0) return result;
    AVChannelLayout& layout = encoder.ch_layout;
    OrderByDefault(layout);
    const std::string formats =
        encoder.sample_fmt != AV_SAMPLE_FMT_NONE
            ? std::string(avlib::av_get_sample_fmt_name(encoder.sample_fmt))
            : Join(codec ? codec->sample_fmts : nullptr, AV_SAMPLE_FMT_NONE,
                   [](AVSampleFormat format) { return std::string(avlib::av_get_sample_fmt_name(format)); });
    const std::string rates = encoder.sample_rate ? std::to_string(encoder.sample_rate)
                                                  : Join(codec ? codec->supported_samplerates : nullptr, 0,
                                                         [](int rate) { return std::to_string(rate); });
    std::string layouts;
    if (layout.nb_channels)
        layouts = LayoutText(layout);
    else
        for (const AVChannelLayout* each = codec ? codec->ch_layouts : nullptr; each && each->nb_channels; ++each)
            layouts += (layouts.empty() ? "" : "|") + LayoutText(*each);
    std::string args;
    if (!formats.empty()) args += "sample_fmts=" + formats + ":";
    if (!rates.empty()) args += "sample_rates=" + rates + ":";
    if (!layouts.empty()) args += "channel_layouts=" + layouts + ":";
    TSinkChain chain(graph.graph, pad);
    if (!args.empty()) result = chain.Append("aformat", "audio format for output stream " + stream, args);
    return result < 0 ? result : chain.Link(output.filter);
}

int ConfigureSink(TFilterGraph& graph, TOutputFilter& output, const AVFilterInOut& pad) {
    return output.type == AVMEDIA_TYPE_VIDEO ? ConfigureVideoSink(graph, output, pad)
                                             : ConfigureAudioSink(graph, output, pad);
}

// Chooses the input stream of an unconnected input of a complex graph.
void BindComplexInput(TConversionRun& run, TFilterGraph& graph, const AVFilterInOut& pad) {
    const AVMediaType type = PadType(pad, true);
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO)
        throw Exception("Only video and audio filters supported currently.");
    TInputStream* chosen = nullptr;
    if (pad.name) {
        char* rest = nullptr;
        const long index = std::strtol(pad.name, &rest, 0);
        if (index < 0 || index >= static_cast<long>(run.inputFiles.size()))
            throw Exception("Invalid file index in filtergraph description");
        if (*rest == ':') ++rest;
        const TInputFile& file = *run.inputFiles[index];
        for (int i = 0; i < file.streamCount && !chosen; ++i) {
            TInputStream& ist = *run.inputStreams[file.firstStream + i];
            if (ist.stream->codecpar->codec_type == type &&
                MatchStreamSpecifier(file.context, ist.stream, String(rest)) > 0)
                chosen = &ist;
        }
        if (!chosen) throw Exception("Steram specifier in filtergraph description");
    } else {
        for (const auto& ist : run.inputStreams)
            if (ist->stream->codecpar->codec_type == type && ist->discard) {
                chosen = ist.get();
                break;
            }
        if (!chosen) throw Exception("cannot find a matching stream for unlabeled input pad on filter");
    }
    chosen->discard = false;
    ++chosen->decodingNeeded;
    chosen->stream->discard = AVDISCARD_DEFAULT;
    auto input = std::make_unique<TInputFilter>();
    input->stream = chosen;
    input->graph = &graph;
    graph.inputs.push_back(std::move(input));
    chosen->filters.push_back(graph.inputs.back().get());
}

// The outputs of a complex graph's first build wait for their streams.
void KeepOutputs(TFilterGraph& graph, TInOutPtr list) {
    while (list) {
        TInOutPtr pad(std::exchange(list, TInOutPtr(list->next)).release());
        pad->next = nullptr;
        auto output = std::make_unique<TOutputFilter>();
        output->graph = &graph;
        output->type = PadType(*pad, false);
        output->name = PadName(*pad->filter_ctx, pad->pad_idx, false);
        output->pad = pad.release();
        graph.outputs.push_back(std::move(output));
    }
}

int Build(TConversionRun& run, TFilterGraph& graph) {
    const bool simple = IsBlank(graph.description);
    const bool initialising = !graph.graph;
    avlib::avfilter_graph_free(&graph.graph);
    graph.graph = avlib::avfilter_graph_alloc();
    if (!graph.graph) throw Exception("Can not allocate memory for filter graph");
    graph.graph->nb_threads = SharedFilterGraphThreads();
    if (simple) {
        const std::string options = Printf("flags=0x%X", graph.outputs[0]->stream->scalerFlags);
        if (!(graph.graph->scale_sws_opts = avlib::av_strdup(options.c_str()))) throw EOutOfMemory("Out of memory");
    }
    const std::string& text = simple ? graph.outputs[0]->stream->filterText : graph.description;
    AVFilterInOut* parsedInputs = nullptr;
    AVFilterInOut* parsedOutputs = nullptr;
    int result = avlib::avfilter_graph_parse2(graph.graph, text.c_str(), &parsedInputs, &parsedOutputs);
    TInOutPtr inputs(parsedInputs), outputs(parsedOutputs);
    if (result < 0) return result;
    if (simple && (!inputs || inputs->next || !outputs || outputs->next))
        throw Exception("simple filtergraph does not have exactly one input and output");

    if (!simple && initialising)
        for (const AVFilterInOut* pad = inputs.get(); pad; pad = pad->next) BindComplexInput(run, graph, *pad);
    size_t i = 0;
    for (const AVFilterInOut* pad = inputs.get(); pad; pad = pad->next, ++i) {
        if (i >= graph.inputs.size()) return AVERROR(EINVAL);
        if ((result = ConfigureSource(graph, *graph.inputs[i], *pad)) < 0) return result;
    }
    if (!simple && initialising) {
        KeepOutputs(graph, std::move(outputs));
        return 0;
    }
    i = 0;
    for (const AVFilterInOut* pad = outputs.get(); pad; pad = pad->next, ++i) {
        if (i >= graph.outputs.size() || !graph.outputs[i]->stream) return AVERROR(EINVAL);
        if ((result = ConfigureSink(graph, *graph.outputs[i], *pad)) < 0) return result;
    }
    return FinishFilterGraph(run, graph);
}

} // namespace

TOutputFilter::~TOutputFilter() { avlib::avfilter_inout_free(&pad); }

TFilterGraph::~TFilterGraph() { avlib::avfilter_graph_free(&graph); }

void AddComplexGraph(TConversionRun& run, const std::string& description) {
    auto graph = std::make_unique<TFilterGraph>();
    graph->index = static_cast<int>(run.filterGraphs.size());
    graph->description = description;
    run.filterGraphs.push_back(std::move(graph));
}

int ConfigureComplexGraphs(TConversionRun& run) {
    for (const auto& graph : run.filterGraphs)
        if (!graph->graph)
            if (const int result = ConfigureFilterGraph(run, *graph); result < 0) return result;
    return 0;
}

void BindComplexOutput(TOutputFilter& output, TOutputStream& stream) {
    if (stream.streamCopy) throw Exception("Stream copy requested for output stream");
    output.stream = &stream;
    stream.filter = &output;
    if (ConfigureSink(*output.graph, output, *output.pad) < 0) throw Exception("Error configuring filter.");
    avlib::avfilter_inout_free(&output.pad);
}

void CreateSimpleGraph(TConversionRun& run, TInputStream& source, TOutputStream& stream) {
    auto graph = std::make_unique<TFilterGraph>();
    graph->index = static_cast<int>(run.filterGraphs.size());
    auto input = std::make_unique<TInputFilter>();
    input->stream = &source;
    input->graph = graph.get();
    auto output = std::make_unique<TOutputFilter>();
    output->stream = &stream;
    output->graph = graph.get();
    output->type = stream.encoderContext->codec_type;
    graph->inputs.push_back(std::move(input));
    graph->outputs.push_back(std::move(output));
    run.filterGraphs.push_back(std::move(graph));
    TFilterGraph& added = *run.filterGraphs.back();
    source.filters.push_back(added.inputs[0].get());
    stream.filter = added.outputs[0].get();
    if (ConfigureFilterGraph(run, added) < 0) throw Exception("Error opening filters");
}

int ConfigureFilterGraph(TConversionRun& run, TFilterGraph& graph) {
    for (const auto& output : graph.outputs) output->alignedWidth = output->alignedHeight = 0;
    return Build(run, graph);
}

int FinishFilterGraph(TConversionRun& run, TFilterGraph& graph) {
    if (const int result = avlib::avfilter_graph_config(graph.graph, nullptr); result < 0) return result;
    bool align = false;
    for (const auto& output : graph.outputs) {
        const AVCodecContext& encoder = *output->stream->encoderContext;
        if (output->type != AVMEDIA_TYPE_VIDEO || output->alignedWidth || encoder.width || encoder.height) continue;
        const AVPixFmtDescriptor* desc =
            avlib::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(avlib::av_buffersink_get_format(output->filter)));
        if (!desc) continue;
        const int width = avlib::av_buffersink_get_w(output->filter);
        const int height = avlib::av_buffersink_get_h(output->filter);
        const int widthMask = (1 << desc->log2_chroma_w) - 1, heightMask = (1 << desc->log2_chroma_h) - 1;
        if (!(width & widthMask) && !(height & heightMask)) continue;
        output->alignedWidth = width & ~widthMask;
        output->alignedHeight = height & ~heightMask;
        align = true;
    }
    return align ? Build(run, graph) : 0;
}
