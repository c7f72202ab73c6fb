#pragma once
// Everything one run of a converter opens, and the opening phase that fills
// it. Destroying a run closes and frees all of it: the filter graphs, the
// outputs, then the inputs (each decoder before its frame-buffer pool).

#include <functional>
#include <memory>
#include <vector>

#include "engine/AVOptions.h"
#include "engine/ConverterInputs.h"
#include "engine/ConverterOutputs.h"
#include "engine/FilterGraphs.h"

struct TConversionRun {
    TAVOptionState options;
    std::vector<std::unique_ptr<TInputFile>> inputFiles;
    std::vector<std::unique_ptr<TInputStream>> inputStreams;
    std::vector<TStreamMap> streamMaps;
    std::vector<std::unique_ptr<TOutputFile>> outputFiles;
    std::vector<std::unique_ptr<TOutputStream>> outputStreams;
    std::vector<std::unique_ptr<TFilterGraph>> filterGraphs;
};

// The opening phase, in order: every input, the stream maps, the converter's
// own codec options ("ab" and "b" from the bit rates, "threads" unless the
// thread count is 1; they stay in CodecOptions), one complex filter graph per
// ComplexFilters line, the CodecOptions lines, the complex graphs' inputs
// ("Error configuring filters." when they do not build), then every output.
// DurationFound receives the duration of each input that has one.
void OpenConversion(TConversionRun& run, TAVConvertOptions& options, const TStrings& inputFiles,
                    const TStrings& outputFiles, TOutputParameters& remembered,
                    const std::function<void(double)>& durationFound);
