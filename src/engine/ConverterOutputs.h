#pragma once
// The output side of a conversion: stream maps, one record per opened output
// file and one per stream created in it, in creation order.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/AVDict.h"
#include "engine/AVPointers.h"
#include "engine/VideoBufferChannel.h"

class TAVConvertOptions;
class TStrings;
struct TConversionRun;
struct TOutputFilter;

// An input stream chosen by a StreamMaps line, with its synchronisation reference.
struct TStreamMap {
    int file = 0;
    int stream = 0;
    int syncFile = 0;
    int syncStream = 0;
};

// Output parameters a converter keeps from one output opening to the next
// (and across runs): each is taken from the option set only when set there.
struct TOutputParameters {
    int channels = 0;
    int sampleRate = 0;
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE; // reset at every output opening
    int frameWidth = 0;
    int frameHeight = 0;
};

struct TOutputStream {
    TOutputStream() = default;
    ~TOutputStream();
    TOutputStream(const TOutputStream&) = delete;
    TOutputStream& operator=(const TOutputStream&) = delete;

    int fileIndex = 0;
    int index = 0; // within its file
    int sourceIndex = -1; // input stream; -1 when a filter graph feeds it
    AVStream* stream = nullptr; // the muxer's
    const AVCodec* encoder = nullptr; // none for stream copy or when no encoder was found
    bool streamCopy = false;
    // Holds the encoder parameters until the encoder is opened.
    AVCodecContext* encoderContext = nullptr;
    TAVDict encoderOptions;
    // Parsed, not yet initialised.
    AVBSFContext* bitstreamFilters = nullptr;
    // Video.
    AVRational forcedFrameRate{0, 0}; // 0/0: none
    float aspectRatio = 0; // display aspect ratio, 0: none
    // Filter chain of the stream's simple filter graph.
    std::string filterText;
    int scalerFlags = SWS_BICUBIC;
    // The filter graph output that feeds an encoded audio or video stream.
    TOutputFilter* filter = nullptr;

    bool encodingNeeded = false;
    // No more packets are written: a limit was reached or the source ended.
    bool finished = false;
    // The stream's filter graph waits for an input that has nothing ready.
    bool unavailable = false;
    // Frames encoded (video) or packets written (other streams and copied video).
    int64_t frameNumber = 0;
    int64_t maxFrames = INT64_MAX;
    // Next output timestamp in the encoder's time base.
    int64_t syncOpts = 0;
    // Dts of the last packet written, in the stream's time base (AV_NOPTS_VALUE: none yet).
    int64_t lastMuxedDts = AV_NOPTS_VALUE;
    // Frame rate the video encoder was set up with.
    AVRational frameRate{0, 1};
    TFramePtr filteredFrame;
    // First pass: receives the encoder's statistics.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> statsFile{nullptr, std::fclose};
    // Present while OnVideoBuffer is assigned.
    std::unique_ptr<TVideoBufferChannel> videoBuffer;
};

struct TOutputFile {
    TOutputFile() = default;
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    AVFormatContext* context = nullptr;
    // The format options when the file was opened, with "preload".
    TAVDict muxerOptions;
    // Position of the file's first stream among the run's output streams.
    int firstStream = 0;
    int64_t recordingTime = 0; // microseconds
    int64_t sizeLimit = 0;     // bytes
    bool headerWritten = false;
};

// The muxer named by Name; null for an empty name. Raises "Unknown Output format %s".
const AVOutputFormat* ResolveOutputFormat(const String& name);

// One map per input stream that a line "file index[:stream specifier]"
// selects (an empty specifier selects every stream of the file). Raises
// "Invalid input file index:%d".
void BuildStreamMaps(TConversionRun& run, const TStrings& lines);

// Opens output FileName: gives the unbound outputs of the complex filter graphs
// streams of their own, chooses its other streams from the stream maps (or
// picks the largest video, the audio with most channels and the first
// subtitle, of the types no complex filter graph output took),
// sets up their encoders or stream copy, creates the output's folder and opens
// the file for writing. Raises the messages of the output opening, among them
// "Could not write to file %s". Resets Run's option state.
void OpenOutputFile(TConversionRun& run, const TAVConvertOptions& options, const String& fileName,
                    TOutputParameters& remembered);
