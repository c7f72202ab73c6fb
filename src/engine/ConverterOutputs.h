#pragma once
// The output side of a conversion: stream maps, one record per opened output
// file and one per stream created in it, in creation order.

#include <cstdint>
#include <string>

#include "engine/AVDict.h"

class TAVConvertOptions;
class TStrings;
struct TConversionRun;

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
};

// The muxer named by Name; null for an empty name. Raises "Unknown Output format %s".
const AVOutputFormat* ResolveOutputFormat(const String& name);

// One map per input stream that a line "file index[:stream specifier]"
// selects (an empty specifier selects every stream of the file). Raises
// "Invalid input file index:%d".
void BuildStreamMaps(TConversionRun& run, const TStrings& lines);

// Opens output FileName: chooses its streams from the stream maps (or picks
// the largest video, the audio with most channels and the first subtitle),
// sets up their encoders or stream copy, creates the output's folder and opens
// the file for writing. Raises the messages of the output opening, among them
// "Could not write to file %s". Resets Run's option state.
void OpenOutputFile(TConversionRun& run, const TAVConvertOptions& options, const String& fileName,
                    TOutputParameters& remembered);
