#pragma once
// The transcoder component: converts its input files into its output files
// according to its option set, on a worker thread of its own, under a slot of
// the caller's semaphore.
//
// Events: OnProgress, OnStopped, OnVideoBuffer and the OnError of a failed
// transcode are raised on the main thread while the worker waits; OnLog,
// OnVideoStats and the OnError of a failed start or opening phase on the
// worker thread (the run then ends without OnComplete). OnComplete comes on
// the main thread as the worker's last act, after the slot was given back and
// the state became idle; its handler may free the converter or start it
// again, and reads from Failed whether the run failed (a failed transcode
// still completes). A stopped run ends with OnStopped and no OnComplete.
// Freeing a converter stops its worker and waits for it: once the destructor
// has begun no handler is called any more, and when it returns none is running.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/AVBitmap.h"
#include "engine/AVLogger.h"
#include "engine/ConvertOptions.h"
#include "engine/ConverterOutputs.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"

struct TConversionRun;
class TAVConvertThread;
class TConverterHost;

using TAVNotifyEvent = std::function<void(TObject* sender)>;
using TAVProgressEvent = std::function<void(TObject* sender)>;
using TAVOnVideoBufferEvent =
    std::function<void(TObject* sender, TAVBitmap* bitmap, double timeStamp, bool& bufferModified)>;
using TAVErrorEvent =
    std::function<void(TObject* sender, const String& errorMsg, const String& lastestErrorLog, bool& handled)>;
using TAVVideoStatsEvent = std::function<void(TObject* sender, int videoWidth, int videoHeight, double bitrate,
                                              double avgBitrate, int frameNumber, double elapse)>;

// Values of TAVConverter::State.
enum TAVConverterState : int {
    cvIdle = 0,
    cvRunning = 1,
    cvStopRequested = 2,
    cvPaused = 3,
    cvWaitingForSlot = 4,
};

class TAVConverter : public TImplements<TComponent, IAVLogger> {
    RTL_CLASS(TAVConverter, TComponent);

public:
    // Loads the FFmpeg libraries (raises when they cannot be loaded).
    explicit TAVConverter(TComponent* owner);
    ~TAVConverter() override;

    TAVConvertOptions* ConvertOptions() const { return convertOptions_.get(); }
    void SetConvertOptions(TAVConvertOptions* value) { convertOptions_->Assign(value); }
    // File names or "stream:" URLs, one per line.
    TStrings* InputFiles() const { return inputFiles_.get(); }
    void SetInputFiles(TStrings* value) { inputFiles_->Assign(value); }
    TStrings* OutputFiles() const { return outputFiles_.get(); }
    void SetOutputFiles(TStrings* value) { outputFiles_->Assign(value); }
    // Log lines finer than this are not delivered.
    TAVLogLevel LogLevel() const { return logLevel_; }
    void SetLogLevel(TAVLogLevel value) { logLevel_ = value; }

    // Level is FFmpeg's.
    TAVLogEvent OnLog;
    TAVProgressEvent OnProgress;
    TAVNotifyEvent OnComplete;
    TAVNotifyEvent OnStopped;
    TAVOnVideoBufferEvent OnVideoBuffer;
    // Without a handler, or when it leaves Handled false, the engine's error
    // box shows "message:last error log line".
    TAVErrorEvent OnError;
    TAVVideoStatsEvent OnVideoStats;

    // A TAVConverterState.
    int State() const noexcept { return state_; }
    // Container duration of the last opened input that has one, seconds; kept after the run.
    double Duration() const noexcept { return duration_; }
    // Largest output time reached, seconds.
    double Position() const noexcept { return position_; }
    // Refreshed by every progress report (about twice a second) and at the end of the run.
    // Bytes of input file 0.
    int64_t InputSize() const noexcept { return inputSize_; }
    // Bytes of output file 0; kept after the run.
    int64_t OutputSize() const noexcept { return outputSize_; }
    // Output bit rate, kbit/s.
    double Bitrate() const noexcept { return bitrate_; }
    // Whether the last run failed; ErrorMessage tells why. Cleared by StartConversion.
    bool Failed() const noexcept { return failed_; }
    String ErrorMessage() const;
    int ProgressPercent() const;
    int64_t ElapsedSeconds() const noexcept;
    int64_t RemainingSeconds() const;

    // Starts the worker, which waits for a slot of Semaphore (none: starts at
    // once), converts, gives the slot back and raises OnComplete. Raises
    // EInvalidOperation while a run is under way (until its OnComplete).
    void StartConversion(TSemaphore* semaphore);
    // Running: paused, and the slot is given back. Otherwise nothing.
    void PauseConversion();
    // Paused: running again; the worker takes a slot before it goes on.
    void ResumeConversion();
    // Running or paused: stop requested; the run ends without OnComplete.
    // Waiting for a slot: nothing.
    void StopConversion();

    // IAVLogger; called on the thread that produced the line.
    void Log(int level, const String& message) override;
    int GetLevel() override;

protected:
    // Raises OnProgress; an Exception of the handler is shown in the error box.
    void DoProgress();
    virtual void DoStopped();
    // Raises OnError with the failure of the run, on the calling thread.
    virtual void DoError();
    // Raises OnVideoBuffer with a picture about to be encoded and its output
    // time; whether the handler painted on it (set BufferModified).
    virtual bool DoVideoBuffer(TAVBitmap& bitmap, double timeStamp);
    // Raises OnComplete; exceptions of the handler are swallowed.
    virtual void DoComplete();

private:
    friend class TAVConvertThread;
    friend class TConverterHost;

    void Work();
    // Whether the run ended in a way that raises OnComplete.
    bool RunConversion();
    // Waits for the slot, opens, transcodes and frees what it opened; false
    // when the slot wait was abandoned.
    bool Convert();
    // The transcode of an opened run (initialisation, loop, flush and clean-up).
    void Transcode(TConversionRun& run);
    // Records a failure of the run and logs it; Report raises OnError.
    void Fail(const String& message, const std::function<void()>& report);
    // Holds the worker while the run is paused, then takes a slot again;
    // false when a stop was requested meanwhile.
    bool HoldWhilePaused();
    // Whether a slot was taken; false when the wait was abandoned.
    bool AcquireSlot();
    void ReleaseSlot();
    // Under SlotMutex: records whether the slot is held and counts the run
    // among the process's running conversions accordingly.
    void SetSlotHeld(bool held);
    // Resets the run's figures and gives the slot back, then idles; whether
    // a stop was requested.
    bool FinishRun();

    std::unique_ptr<TAVConvertOptions> convertOptions_ = std::make_unique<TAVConvertOptions>();
    std::unique_ptr<TStringList> inputFiles_ = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> outputFiles_ = std::make_unique<TStringList>();
    std::atomic<TAVLogLevel> logLevel_ = llInfo;

    std::atomic<int> state_ = cvIdle;
    std::atomic<double> duration_ = 0;
    std::atomic<double> position_ = 0;
    // FFmpeg microsecond clock: start of the transcode and time of the last report.
    std::atomic<int64_t> transcodeStart_ = 0;
    std::atomic<int64_t> lastReport_ = 0;
    std::atomic<int64_t> inputSize_ = 0;
    std::atomic<int64_t> outputSize_ = 0;
    std::atomic<double> bitrate_ = 0;
    std::atomic<bool> failed_ = false;
    // "Deinterlacing failed" is shown once per run.
    bool deinterlaceReported_ = false;

    mutable std::mutex errorMutex_;
    String errorMsg_;
    String lastestErrorLog_;

    // The slot: Semaphore is given by StartConversion; SlotHeld tells whether
    // this converter holds one of its counts, or runs when there is none.
    TSemaphore* semaphore_ = nullptr;
    std::mutex slotMutex_;
    bool slotHeld_ = false;
    // Set when the converter is destroyed: abandons a slot wait.
    TEvent cancel_;
    // Set by resume, stop and destruction: wakes a paused worker.
    TEvent stateChanged_;

    // Kept across runs, see TOutputParameters.
    TOutputParameters remembered_;

    TThreadPtr<TAVConvertThread> worker_;
    // From StartConversion until the run has ended, or its OnComplete begins.
    std::atomic<bool> busy_ = false;
    std::atomic<bool> destroying_ = false;
};
