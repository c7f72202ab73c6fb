#include "engine/ConversionRun.h"

#include "engine/ConvertOptions.h"
#include "engine/FilterGraphs.h"
#include "platform/rtl/Conversions.h"

void OpenConversion(TConversionRun& run, TAVConvertOptions& options, const TStrings& inputFiles,
                    const TStrings& outputFiles, TOutputParameters& remembered,
                    const std::function<void(double)>& durationFound) {
    for (int i = 0; i < inputFiles.Count(); ++i)
        if (const auto duration = OpenInputFile(run, options, inputFiles, i, remembered)) durationFound(*duration);
    BuildStreamMaps(run, *options.StreamMaps());

    if (const int bitrate = options.AudioOptions()->Bitrate()) options.SetCodecOption("ab", IntToStr(bitrate));
    if (const int bitrate = options.VideoOptions()->Bitrate()) options.SetCodecOption("b", IntToStr(bitrate));
    if (options.ThreadCount() != 1) options.SetCodecOption("threads", IntToStr(options.ThreadCount()));

    const TStrings& complexFilters = *options.FilterOptions()->ComplexFilters();
    for (int i = 0; i < complexFilters.Count(); ++i) AddComplexGraph(run, complexFilters.Strings(i).ToUtf8());
    run.options.Apply(*options.CodecOptions());
    if (ConfigureComplexGraphs(run) < 0) throw Exception("Error configuring filters.");
    for (int i = 0; i < outputFiles.Count(); ++i) OpenOutputFile(run, options, outputFiles.Strings(i), remembered);
}
