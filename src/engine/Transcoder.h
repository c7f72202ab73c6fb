#pragma once
// The transcode step of a converter's run, on its worker: initialises the
// pipeline of an opened run (encoders, decoders, filter graphs, headers),
// then repeatedly feeds the output stream that lags most, until no output
// needs data; then drains decoders and encoders, writes the trailers and
// closes the codecs. Failures raise exceptions; the run's record frees what
// is left.

#include <cstdint>
#include <vector>

#include "engine/AVPointers.h"
#include "engine/ConversionRun.h"
#include "platform/rtl/String.h"

class TAVBitmap;
class TAVConvertOptions;

// The throttled progress figures.
struct TTranscodeFigures {
    int64_t inputSize = 0;  // bytes of input file 0
    int64_t outputSize = 0; // bytes of output file 0
    double bitrate = 0;     // kbit/s
};

struct TVideoStats {
    int width = 0;
    int height = 0;
    double bitrate = 0;    // kbit/s of the last packet
    double avgBitrate = 0; // kbit/s of all video so far
    int frameNumber = 0;
    double elapse = 0; // seconds of output
};

// What the transcode tells the converter it runs for; every call comes on
// the worker.
class ITranscodeHost {
public:
    virtual void TranscodeStarted(int64_t now) = 0;
    // The output time reached, seconds.
    virtual void PositionReached(double seconds) = 0;
    // After each step that made progress: whether to go on (false: stop).
    virtual bool StepDone() = 0;
    virtual void Reported(int64_t now, const TTranscodeFigures& figures) = 0;
    virtual bool WantsVideoBuffer() = 0;
    // Offers an output picture; whether it was painted on.
    virtual bool VideoBuffer(TAVBitmap& bitmap, double timeStamp) = 0;
    virtual bool WantsVideoStats() = 0;
    virtual void VideoStats(const TVideoStats& stats) = 0;
    virtual void DeinterlaceFailed() = 0;
    // A failure that does not end the run at once (a read error, an FFmpeg
    // result that ends the loop): the run finishes its files but fails.
    virtual void Faulted(const String& message) = 0;

protected:
    ~ITranscodeHost() = default;
};

class TTranscoder {
public:
    TTranscoder(TConversionRun& run, const TAVConvertOptions& options, ITranscodeHost& host);
    ~TTranscoder();
    TTranscoder(const TTranscoder&) = delete;
    TTranscoder& operator=(const TTranscoder&) = delete;

    void Run();
    // After a failure: ends the reader threads.
    void StopReaders() noexcept;
    // In every case, last: closes the codecs still open (under the codec lock)
    // and the two-pass statistics files.
    void Release() noexcept;

private:
    // Set-up.
    void Initialise();
    void SetUpStreamCopy(TOutputStream& ost, const TInputStream& ist);
    void SetUpEncoding(TOutputStream& ost, TInputStream* ist, int index);
    void SetUpTwoPass(TOutputStream& ost, int index);
    void OpenEncoder(TOutputStream& ost);
    void OpenDecoder(TInputStream& ist);
    void InitialiseBitstreamFilters(TOutputStream& ost);

    // The loop.
    bool NeedOutput();
    TOutputStream* ChooseOutput();
    int Step();
    int TranscodeFromFilter(TFilterGraph& graph, TInputStream*& chosen);
    int ReadPacket(TInputFile& file, AVPacket* packet);
    int ProcessInput(int fileIndex);
    void CorrectTimestamps(TInputFile& file, TInputStream& ist, AVPacket& packet);
    // Whether a used audio or video stream of File ended well before its
    // stated duration; asked after the end of input has flushed its decoders.
    bool EndedEarly(const TInputFile& file) const;
    void EndOfInput(int fileIndex);
    int OutputPacket(TInputStream& ist, AVPacket* packet);
    int DecodeAudio(TInputStream& ist, AVPacket* packet);
    int DecodeVideo(TInputStream& ist, AVPacket* packet);
    int DecodeSubtitle(TInputStream& ist, AVPacket* packet);
    void SendToFilters(TInputStream& ist, AVFrame* frame);
    void RebuildGraphs(TInputStream& ist);
    int ReapFilters();
    void OfferVideoBuffer(TOutputStream& ost, AVFrame& frame);
    void Report(bool final);
    void FlushDecoders();
    void WriteTrailers();
    // Frees the encoders and decoders of the run, each under the codec lock.
    void CloseCodecs() noexcept;

    // Encoding, stream copy and writing.
    void EncodeAudio(TOutputStream& ost, AVFrame& frame);
    void EncodeVideo(TOutputStream& ost, AVFrame& frame);
    void EncodeSubtitle(TOutputStream& ost, AVSubtitle& subtitle);
    void StreamCopy(TOutputStream& ost, TInputStream& ist, const AVPacket& packet);
    // Writes the packets the encoder has ready. Returns the size of the last one (0: none).
    int DrainEncoder(TOutputStream& ost, const char* failure);
    void WritePacket(TOutputStream& ost, AVPacket& packet);
    void FlushEncoders();
    bool RecordingTimeReached(const TOutputStream& ost) const;
    void RaiseVideoStats(const TOutputStream& ost, int packetSize);

    TInputStream* SourceOf(const TOutputStream& ost) const;
    int IndexOf(const TInputStream& ist) const;

    TConversionRun& run_;
    const TAVConvertOptions& options_;
    ITranscodeHost& host_;
    // Bytes of video encoded or copied in this run, for the average bit rate.
    int64_t encodedVideoBytes_ = 0;
    int64_t lastReport_ = 0;
    int64_t inputSize_ = 0;
    TPacketPtr packet_;
    TPacketPtr encoded_;
    TFramePtr decoded_;
    TFramePtr deinterlaced_;
    std::vector<uint8_t> subtitleBuffer_;
};
