#pragma once
// The input side of a conversion: one record per opened input file and one
// per stream of it, in input order.

#include <cstdint>
#include <optional>

#include "engine/AVDict.h"

class TAVConvertOptions;
class TStrings;
struct TConversionRun;
struct TOutputParameters;

struct TInputStream {
    TInputStream() = default;
    ~TInputStream();
    TInputStream(const TInputStream&) = delete;
    TInputStream& operator=(const TInputStream&) = delete;

    int fileIndex = 0;
    AVStream* stream = nullptr; // the demuxer's
    // Until an output uses the stream, the demuxer drops its packets.
    bool discard = true;
    const AVCodec* decoder = nullptr;
    // Made from the stream's parameters; opened when the transcode starts.
    AVCodecContext* decoderContext = nullptr;
    TAVDict decoderOptions;
};

struct TInputFile {
    TInputFile() = default;
    ~TInputFile();
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    AVFormatContext* context = nullptr;
    // Position of the file's first stream among the run's input streams.
    int firstStream = 0;
    int streamCount = 0;
    // Added to every timestamp read, so that the seek point becomes 0 (microseconds).
    int64_t tsOffset = 0;
};

// Opens input Index of InputFiles (a file name or "stream:" URL) with the
// demuxer forced by the option set's InputFormats line Index (blank or
// missing: probed), seeks to StartTime and adds the file and its streams to
// Run. Returns the container's duration in seconds, when it has one. Raises
// "Unknow input format %s", "Could not open file:%s error(%d)!",
// "Could not alloc memory for stream options." and
// "Could not find codec parameters:%d!". Resets Run's option state.
std::optional<double> OpenInputFile(TConversionRun& run, const TAVConvertOptions& options, const TStrings& inputFiles,
                                    int index, const TOutputParameters& remembered);
