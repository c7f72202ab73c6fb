#pragma once
// The filter graphs of a conversion. Every encoded audio or video stream is
// fed by a graph: a simple one runs the stream's filter chain between one
// input stream and it; a complex one comes from a ComplexFilters line and may
// have several inputs and outputs. The converter adds the source of each
// graph input ("buffer", "abuffer") and the sink of each output
// ("buffersink", "abuffersink") with the size and format constraints of the
// output's encoder.

#include <memory>
#include <string>
#include <vector>

#include "engine/AVPointers.h"

struct TConversionRun;
struct TInputStream;
struct TOutputStream;
struct TFilterGraph;

struct TInputFilter {
    AVFilterContext* filter = nullptr;
    TInputStream* stream = nullptr;
    TFilterGraph* graph = nullptr;
    // The filter type whose pad it feeds, ":pad" when that filter has several inputs.
    std::string name;
};

struct TOutputFilter {
    TOutputFilter() = default;
    ~TOutputFilter();
    TOutputFilter(const TOutputFilter&) = delete;
    TOutputFilter& operator=(const TOutputFilter&) = delete;

    AVFilterContext* filter = nullptr;
    TOutputStream* stream = nullptr;
    TFilterGraph* graph = nullptr;
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    // An output pad of a complex graph waiting for its stream.
    AVFilterInOut* pad = nullptr;
    // The filter type whose pad feeds it, ":pad" when that filter has several outputs.
    std::string name;
    // Set when the picture is cropped to a size its pixel format's chroma
    // subsampling allows (an odd size for 4:2:0, say).
    int alignedWidth = 0;
    int alignedHeight = 0;
};

struct TFilterGraph {
    TFilterGraph() = default;
    ~TFilterGraph();
    TFilterGraph(const TFilterGraph&) = delete;
    TFilterGraph& operator=(const TFilterGraph&) = delete;

    int index = 0;
    // Empty for a simple graph.
    std::string description;
    // Null until configured.
    AVFilterGraph* graph = nullptr;
    std::vector<std::unique_ptr<TInputFilter>> inputs;
    std::vector<std::unique_ptr<TOutputFilter>> outputs;
};

// Appends a complex graph; nothing is parsed yet.
void AddComplexGraph(TConversionRun& run, const std::string& description);
// Parses every complex graph not yet parsed, binds its inputs to input
// streams and keeps its outputs for the output files to bind. The first
// negative FFmpeg result is returned. Raises the binding messages.
int ConfigureComplexGraphs(TConversionRun& run);
// Gives a kept output of a complex graph to Stream and adds its sink. Raises
// "Stream copy requested for output stream" and "Error configuring filter.".
void BindComplexOutput(TOutputFilter& output, TOutputStream& stream);
// Appends and configures the simple graph from Source to Stream; raises
// "Error opening filters" when it does not configure.
void CreateSimpleGraph(TConversionRun& run, TInputStream& source, TOutputStream& stream);
// Builds Graph anew with the current formats of its inputs and outputs
// (a complex graph's first build keeps its outputs unbound): 0 or a
// negative FFmpeg result.
int ConfigureFilterGraph(TConversionRun& run, TFilterGraph& graph);
// Ends the configuration of a graph whose sinks are all in place: 0 or a
// negative FFmpeg result.
int FinishFilterGraph(TConversionRun& run, TFilterGraph& graph);
