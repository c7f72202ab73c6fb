#include "engine/AVConverter.h"

#include <exception>
#include <utility>

#include "engine/AVUtils.h"
#include "engine/CodecLock.h"
#include "engine/CodecThreads.h"
#include "engine/ConversionProgress.h"
#include "engine/ConversionRun.h"
#include "engine/Transcoder.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Threads.h"
#include "platform/rtl/UnitRegistry.h"

// The worker of one run. Queuing the run's completion is its last use of the converter.
class TAVConvertThread final : public TThread {
public:
    explicit TAVConvertThread(TAVConverter& converter) : TThread(true), converter_(converter) {}

protected:
    void Execute() override { converter_.Work(); }

private:
    TAVConverter& converter_;
};

RTL_PUBLISHED(TAVConverter, c) {
    using T = TAVConverter;
    c.Property("ConvertOptions", &T::ConvertOptions, &T::SetConvertOptions);
    c.Property("InputFiles", &T::InputFiles, &T::SetInputFiles);
    c.Property("OutputFiles", &T::OutputFiles, &T::SetOutputFiles);
    c.Property("OnLog", &T::OnLog, &T::OnLog);
    c.Property("OnProgress", &T::OnProgress, &T::OnProgress);
    c.Property("OnComplete", &T::OnComplete, &T::OnComplete);
    c.Property("OnStopped", &T::OnStopped, &T::OnStopped);
    c.Property("LogLevel", &T::LogLevel, &T::SetLogLevel).Default(llInfo);
    c.Property("OnVideoBuffer", &T::OnVideoBuffer, &T::OnVideoBuffer);
    c.Property("OnError", &T::OnError, &T::OnError);
    c.Property("OnVideoStats", &T::OnVideoStats, &T::OnVideoStats);
}

namespace {

String CurrentExceptionMessage() {
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return String(e.what());
    } catch (...) {
        return "unexpected error";
    }
}

// Synchronizes Method with the main thread unless the converter is being freed.
template <class Method>
void OnMainThread(const std::atomic<bool>& destroying, Method method) {
    TThread::Synchronize(TThread::CurrentThread(), [&] {
        if (!destroying) method();
    });
}

const bool avConverterRegistered = (RegisterUnit(
                                 "AVConverter", [] { RegisterClass(TAVConverter::StaticClass()); },
                                 [] { UnRegisterClass(TAVConverter::StaticClass()); }, {"ConvertOptions"}),
                             true);

} // namespace

// The converter as its transcode sees it.
class TConverterHost final : public ITranscodeHost {
public:
    explicit TConverterHost(TAVConverter& converter) : converter_(converter) {}

    void TranscodeStarted(int64_t now) override { converter_.transcodeStart_ = now; }
    void PositionReached(double seconds) override {
        if (seconds > converter_.position_) converter_.position_ = seconds;
    }
    bool StepDone() override {
        if (converter_.OnProgress) OnMainThread(converter_.destroying_, [this] { converter_.DoProgress(); });
        if (converter_.HoldWhilePaused()) return true;
        OnMainThread(converter_.destroying_, [this] { converter_.DoStopped(); });
        return false;
    }
    void Reported(int64_t now, const TTranscodeFigures& figures) override {
        converter_.inputSize_ = figures.inputSize;
        converter_.outputSize_ = figures.outputSize;
        converter_.bitrate_ = figures.bitrate;
        converter_.lastReport_ = now;
    }
    bool WantsVideoBuffer() override { return bool(converter_.OnVideoBuffer); }
    bool VideoBuffer(TAVBitmap& bitmap, double timeStamp) override {
        bool modified = false;
        OnMainThread(converter_.destroying_,
                     [&] { modified = converter_.DoVideoBuffer(bitmap, timeStamp); });
        return modified;
    }
    bool WantsVideoStats() override { return bool(converter_.OnVideoStats); }
    void VideoStats(const TVideoStats& stats) override {
        if (converter_.destroying_) return;
        converter_.OnVideoStats(&converter_, stats.width, stats.height, stats.bitrate, stats.avgBitrate,
                                stats.frameNumber, stats.elapse);
    }
    void DeinterlaceFailed() override {
        if (std::exchange(converter_.deinterlaceReported_, true) || converter_.destroying_) return;
        ShowAVError("Deinterlacing failed");
    }
    void Faulted(const String& message) override { converter_.Fail(message, nullptr); }

private:
    TAVConverter& converter_;
};

TAVConverter::TAVConverter(TComponent* owner) : TImplements(owner) { LoadAVLib(); }

TAVConverter::~TAVConverter() {
    destroying_ = true;
    StopConversion();
    cancel_.SetEvent();
    stateChanged_.SetEvent();
    worker_.reset(); // waits; a completion not yet raised is dropped
}

int TAVConverter::ProgressPercent() const {
    return ::ProgressPercent(duration_, position_, convertOptions_->StartTime(), convertOptions_->RecordingTime());
}

int64_t TAVConverter::ElapsedSeconds() const noexcept { return (lastReport_ - transcodeStart_) / 1000000; }

int64_t TAVConverter::RemainingSeconds() const { return ::RemainingSeconds(ElapsedSeconds(), ProgressPercent()); }

void TAVConverter::StartConversion(TSemaphore* semaphore) {
    if (busy_) throw EInvalidOperation("The converter is already converting");
    worker_.reset();
    semaphore_ = semaphore;
    cancel_.ResetEvent();
    {
        std::lock_guard lock(errorMutex_);
        errorMsg_.clear();
        lastestErrorLog_.clear();
    }
    failed_ = false;
    deinterlaceReported_ = false;
    busy_ = true;
    try {
        worker_ = MakeThread<TAVConvertThread>(*this);
        worker_->Start();
    } catch (...) {
        worker_.reset();
        busy_ = false;
        throw;
    }
}

void TAVConverter::PauseConversion() {
    std::lock_guard lock(slotMutex_);
    int expected = cvRunning;
    if (!state_.compare_exchange_strong(expected, cvPaused)) return;
    if (slotHeld_) {
        SetSlotHeld(false);
        if (semaphore_) semaphore_->Release();
    }
}

void TAVConverter::ResumeConversion() {
    int expected = cvPaused;
    if (state_.compare_exchange_strong(expected, cvRunning)) stateChanged_.SetEvent();
}

void TAVConverter::StopConversion() {
    int expected = cvRunning;
    if (!state_.compare_exchange_strong(expected, cvStopRequested)) {
        expected = cvPaused;
        if (!state_.compare_exchange_strong(expected, cvStopRequested)) return;
    }
    stateChanged_.SetEvent();
}

String TAVConverter::ErrorMessage() const {
    std::lock_guard lock(errorMutex_);
    return errorMsg_;
}

void TAVConverter::Log(int level, const String& message) {
    if (level <= AV_LOG_ERROR) {
        std::lock_guard lock(errorMutex_);
        lastestErrorLog_ = message;
    }
    if (OnLog && !destroying_) OnLog(this, level, message);
}

int TAVConverter::GetLevel() { return LogLevelToAV(logLevel_); }

void TAVConverter::DoError() {
    String message, log;
    {
        std::lock_guard lock(errorMutex_);
        message = errorMsg_;
        log = lastestErrorLog_;
    }
    bool handled = false;
    if (OnError) OnError(this, message, log, handled);
    if (!handled) ShowAVError(Fmt("%s:%s", message, log));
}

void TAVConverter::DoProgress() {
    try {
        if (OnProgress) OnProgress(this);
    } catch (const Exception& e) {
        ShowAVError(e.Message());
    }
}

void TAVConverter::DoStopped() {
    if (OnStopped) OnStopped(this);
}

bool TAVConverter::DoVideoBuffer(TAVBitmap& bitmap, double timeStamp) {
    bool modified = false;
    if (OnVideoBuffer) OnVideoBuffer(this, &bitmap, timeStamp, modified);
    return modified;
}

void TAVConverter::DoComplete() {
    // A copy: the handler may free the converter, and with it OnComplete.
    const TAVNotifyEvent handler = OnComplete;
    try {
        if (handler) handler(this);
    } catch (...) {
    }
}

void TAVConverter::Work() {
    bool complete;
    {
        TAVLoggerRegistration registration(TIntfPtr<IAVLogger>(static_cast<IAVLogger*>(this)));
        complete = RunConversion();
    }
    if (!complete) return;
    TThread::Queue(TThread::CurrentThread(), [this] {
        if (destroying_) return;
        busy_ = false;
        DoComplete(); // may free the converter
    });
}

bool TAVConverter::RunConversion() {
    bool converted;
    try {
        const TAVLibUse use;
        converted = Convert();
    } catch (...) {
        Fail(CurrentExceptionMessage(), [this] { DoError(); });
        converted = false;
    }
    const bool complete = !FinishRun() && converted;
    if (!complete) busy_ = false;
    return complete;
}

bool TAVConverter::Convert() {
    if (inputFiles_->Count() == 0) throw Exception("At least one input file must be specified");
    ResolveOutputFormat(convertOptions_->OutputFormat());
    if (!AcquireSlot()) return false;
    TConversionRun run;
    {
        TCodecLocked locked;
        state_ = cvRunning;
        OpenConversion(run, *convertOptions_, *inputFiles_, *outputFiles_, remembered_,
                       [this](double duration) { duration_ = duration; });
    }
    Transcode(run);
    return true;
}

void TAVConverter::Transcode(TConversionRun& run) {
    TConverterHost host(*this);
    TTranscoder transcoder(run, *convertOptions_, host);
    try {
        transcoder.Run();
    } catch (...) {
        transcoder.StopReaders();
        Fail(CurrentExceptionMessage(), [this] { OnMainThread(destroying_, [this] { DoError(); }); });
    }
    transcoder.Release();
}

void TAVConverter::Fail(const String& message, const std::function<void()>& report) {
    {
        std::lock_guard lock(errorMutex_);
        errorMsg_ = message;
    }
    failed_ = true;
    if (destroying_) return;
    if (report) try {
            report();
        } catch (...) {
            ShowAVError(CurrentExceptionMessage());
        }
    if (AV_LOG_ERROR <= GetLevel()) Log(AV_LOG_ERROR, "Conversion failed: " + message);
}

bool TAVConverter::HoldWhilePaused() {
    for (;;) {
        stateChanged_.ResetEvent();
        const int state = state_;
        if (state == cvStopRequested || destroying_) return false;
        if (state == cvPaused) {
            stateChanged_.WaitFor();
            continue;
        }
        {
            std::lock_guard lock(slotMutex_);
            if (slotHeld_) return true;
            if (!semaphore_) {
                SetSlotHeld(true);
                return true;
            }
        }
        if (semaphore_->WaitFor(INFINITE, &stateChanged_) != wrSignaled) continue;
        std::lock_guard lock(slotMutex_);
        if (state_ == cvRunning) {
            SetSlotHeld(true);
            return true;
        }
        semaphore_->Release(); // paused or stopped while waiting
    }
}

bool TAVConverter::AcquireSlot() {
    if (semaphore_) {
        state_ = cvWaitingForSlot;
        if (semaphore_->WaitFor(INFINITE, &cancel_) != wrSignaled) return false;
    }
    std::lock_guard lock(slotMutex_);
    SetSlotHeld(true);
    return true;
}

void TAVConverter::ReleaseSlot() {
    std::lock_guard lock(slotMutex_);
    if (!slotHeld_) return;
    SetSlotHeld(false);
    if (semaphore_) semaphore_->Release();
}

void TAVConverter::SetSlotHeld(bool held) {
    slotHeld_ = held;
    CountRunningConversion(held);
}

bool TAVConverter::FinishRun() {
    transcodeStart_ = 0;
    lastReport_ = 0;
    position_ = 0;
    ReleaseSlot();
    return state_.exchange(cvIdle) == cvStopRequested;
}
