#include "engine/ConversionRun.h"

#include "engine/ConvertOptions.h"
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

    // Complex filter graphs are created here and configured after the codec
    // options; until they are, a conversion that asks for them does not start.
    if (options.FilterOptions()->ComplexFilters()->Count() > 0)
        throw Exception("Complex filter graphs are not supported");

    run.options.Apply(*options.CodecOptions());
    for (int i = 0; i < outputFiles.Count(); ++i) OpenOutputFile(run, options, outputFiles.Strings(i), remembered);
}
