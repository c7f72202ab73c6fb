#pragma once
// The input side of a conversion: one record per opened input file and one
// per stream of it, in input order.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/AVDict.h"
#include "engine/FrameBufferPool.h"
#include "platform/rtl/Threads.h"

class TAVConvertOptions;
class TStrings;
class TInputReader;
struct TConversionRun;
struct TOutputParameters;
struct TInputFilter;

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
    // Freed before the pool it may draw its pictures from.
    AVCodecContext* decoderContext = nullptr;
    TAVDict decoderOptions;
    std::unique_ptr<TFrameBufferPool> pool;
    // Outputs that decode this stream (encoders and filter-graph inputs).
    int decodingNeeded = 0;
    // The filter-graph inputs this stream feeds.
    std::vector<TInputFilter*> filters;

    // Timestamps in microseconds: of the packet or frame being handled, and
    // expected for the next one (AV_NOPTS_VALUE: not known yet).
    int64_t dts = 0;
    int64_t nextDts = AV_NOPTS_VALUE;
    int64_t pts = 0;
    int64_t nextPts = AV_NOPTS_VALUE;
    bool sawFirstTimestamp = false;
    bool wrapCorrectionDone = false;
    // av_rescale_delta's state for audio timestamps.
    int64_t rescaleDeltaLast = AV_NOPTS_VALUE;

    // The decoded format last seen; a change rebuilds the stream's filter graphs.
    int width = 0;
    int height = 0;
    int pixelFormat = AV_PIX_FMT_NONE;
    int sampleFormat = AV_SAMPLE_FMT_NONE;
    int sampleRate = 0;
    AVChannelLayout channelLayout{};
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
    bool ended = false;
    // The last read found no packet ready (reader threads only).
    bool wouldBlock = false;
    // Reads ahead when the run has more than one input.
    TThreadPtr<TInputReader> reader;

    // Ends the reader, dropping what it read ahead.
    void StopReader() noexcept;
};

// Opens input Index of InputFiles (a file name or "stream:" URL) with the
// demuxer forced by the option set's InputFormats line Index (blank or
// missing: probed), seeks to a StartTime other than 0 and adds the file and its streams to
// Run. Returns the container's duration in seconds, when it has one. Raises
// "Unknow input format %s", "Could not alloc memory for stream options." and
// the input faults of InputFaults.h (FFmpeg's words go to the log). Resets
// Run's option state.
std::optional<double> OpenInputFile(TConversionRun& run, const TAVConvertOptions& options, const TStrings& inputFiles,
                                    int index, const TOutputParameters& remembered);
