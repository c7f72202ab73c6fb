#include "engine/AVConverter.h"

#include <exception>

#include "engine/AVUtils.h"
#include "engine/CodecLock.h"
#include "engine/ConversionProgress.h"
#include "engine/ConversionRun.h"
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

const bool unitRegistered = (RegisterUnit(
                                 "AVConverter", [] { RegisterClass(TAVConverter::StaticClass()); },
                                 [] { UnRegisterClass(TAVConverter::StaticClass()); }, {"ConvertOptions"}),
                             true);

} // namespace

TAVConverter::TAVConverter(TComponent* owner) : TImplements(owner) { LoadAVLib(); }

TAVConverter::~TAVConverter() {
    destroying_ = true;
    StopConversion();
    cancel_.SetEvent();
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
        slotHeld_ = false;
        semaphore_->Release();
    }
}

void TAVConverter::ResumeConversion() {
    int expected = cvPaused;
    state_.compare_exchange_strong(expected, cvRunning);
}

void TAVConverter::StopConversion() {
    int expected = cvRunning;
    if (state_.compare_exchange_strong(expected, cvStopRequested)) return;
    expected = cvPaused;
    state_.compare_exchange_strong(expected, cvStopRequested);
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
        Fail(CurrentExceptionMessage());
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
        TLock lock(CodecLock());
        state_ = cvRunning;
        OpenConversion(run, *convertOptions_, *inputFiles_, *outputFiles_, remembered_,
                       [this](double duration) { duration_ = duration; });
    }
    Transcode(run);
    return true;
}

void TAVConverter::Transcode(TConversionRun&) {}

void TAVConverter::Fail(const String& message) {
    {
        std::lock_guard lock(errorMutex_);
        errorMsg_ = message;
    }
    if (destroying_) return;
    try {
        DoError();
    } catch (...) {
        ShowAVError(CurrentExceptionMessage());
    }
}

bool TAVConverter::AcquireSlot() {
    if (!semaphore_) return true;
    state_ = cvWaitingForSlot;
    if (semaphore_->WaitFor(INFINITE, &cancel_) != wrSignaled) return false;
    std::lock_guard lock(slotMutex_);
    slotHeld_ = true;
    return true;
}

void TAVConverter::ReleaseSlot() {
    std::lock_guard lock(slotMutex_);
    if (!slotHeld_) return;
    slotHeld_ = false;
    semaphore_->Release();
}

bool TAVConverter::FinishRun() {
    transcodeStart_ = 0;
    lastReport_ = 0;
    position_ = 0;
    ReleaseSlot();
    return state_.exchange(cvIdle) == cvStopRequested;
}
