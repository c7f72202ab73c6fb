#include "platform/media/BaseRenderer.h"

class TBCBaseRenderer::TInputPin : public TBCBaseInputPin {
public:
    TInputPin(TBCBaseRenderer* renderer, const String& name)
        : TBCBaseInputPin(u"Renderer input", renderer, &renderer->lock_, name), renderer_(renderer) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override { return renderer_->CheckMediaType(type); }
    HRESULT SetMediaType(const AM_MEDIA_TYPE& type) override {
        const HRESULT hr = renderer_->SetMediaType(type);
        return Failed(hr) ? hr : TBCBaseInputPin::SetMediaType(type);
    }
    HRESULT GetMediaType(int position, TMediaType& type) override {
        return renderer_->GetMediaType(position, type);
    }
    // The connected pin may change the type in any state (a dynamic change).
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override {
        if (!connector || !type || GetConnected() != connector)
            return TBCBaseInputPin::ReceiveConnection(connector, type);
        TLock lock(Lock());
        if (CheckMediaType(*type) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
        return SetMediaType(*type);
    }
    HRESULT Receive(IMediaSample* sample) override {
        const HRESULT hr = TBCBaseInputPin::Receive(sample);
        return hr == S_OK ? renderer_->Receive(sample) : hr;
    }
    HRESULT EndOfStream() override { return renderer_->EndOfStream(); }
    HRESULT BeginFlush() override {
        TBCBaseInputPin::BeginFlush();
        return renderer_->BeginFlush();
    }
    HRESULT EndFlush() override {
        const HRESULT hr = renderer_->EndFlush();
        TBCBaseInputPin::EndFlush();
        return hr;
    }

private:
    TBCBaseRenderer* renderer_;
};

TBCBaseRenderer::TBCBaseRenderer(const String& name, const TGUID& classId, const String& pinName)
    : TBCBaseFilter(name, nullptr, &lock_, classId),
      pin_(std::make_unique<TInputPin>(this, pinName)),
      clockChanged_([this] {
          std::lock_guard lock(mutex_);
          changed_.notify_all();
      }) {}

TBCBaseRenderer::~TBCBaseRenderer() = default;

TBCBasePin* TBCBaseRenderer::GetPin(int index) { return index == 0 ? pin_.get() : nullptr; }

TBCBaseInputPin* TBCBaseRenderer::InputPin() const noexcept { return pin_.get(); }

void TBCBaseRenderer::ChangedLocked() {
    ++generation_;
    changed_.notify_all();
}

HRESULT TBCBaseRenderer::Stop() {
    {
        std::lock_guard lock(mutex_);
        runState_ = State_Stopped;
        ready_ = readyNotified_ = ended_ = false;
        ChangedLocked();
    }
    return TBCBaseFilter::Stop();
}

HRESULT TBCBaseRenderer::Pause() {
    const HRESULT hr = TBCBaseFilter::Pause();
    if (Failed(hr)) return hr;
    std::lock_guard lock(mutex_);
    if (runState_ == State_Stopped) {
        presentInPause_ = true;
        firstAfterStart_ = true;
    } else {
        // The picture on show stays; the next sample waits for Run.
        presentInPause_ = false;
    }
    runState_ = State_Paused;
    ChangedLocked();
    return hr;
}

HRESULT TBCBaseRenderer::Run(REFERENCE_TIME start) {
    const HRESULT hr = TBCBaseFilter::Run(start);
    if (Failed(hr)) return hr;
    std::lock_guard lock(mutex_);
    base_ = start;
    runState_ = State_Running;
    ChangedLocked();
    return hr;
}

HRESULT TBCBaseRenderer::GetState(DWORD timeoutMs, FILTER_STATE* state) {
    const HRESULT hr = TBCBaseFilter::GetState(timeoutMs, state);
    if (Failed(hr)) return hr;
    return *state == State_Paused && pin_->IsConnected() && !IsReady() ? VFW_S_STATE_INTERMEDIATE : hr;
}

bool TBCBaseRenderer::IsReady() const {
    std::lock_guard lock(mutex_);
    return ready_ || ended_;
}

void TBCBaseRenderer::NotifyReadyOnce(std::unique_lock<std::mutex>& lock) {
    if (readyNotified_) return;
    readyNotified_ = true;
    lock.unlock();
    NotifyEvent(EC_RENDERER_READY, 0, 0);
    lock.lock();
}

bool TBCBaseRenderer::WaitForStreamTime(std::unique_lock<std::mutex>& lock, REFERENCE_TIME time) {
    for (;;) {
        if (flushing_ || runState_ == State_Stopped) return false;
        const uint64_t seen = generation_;
        if (runState_ == State_Paused) {
            changed_.wait(lock, [&] { return generation_ != seen; });
            continue;
        }
        const REFERENCE_TIME due = base_ + time;
        const uint64_t dueMs = due <= 0 ? 0 : uint64_t((due + kUnitsPerMs - 1) / kUnitsPerMs);
        if (!WaitForClock(changed_, lock, dueMs, [&] { return generation_ != seen; })) return true;
    }
}

HRESULT TBCBaseRenderer::Receive(IMediaSample* sample) {
    REFERENCE_TIME start = 0, stop = 0;
    if (Failed(sample->GetTime(&start, &stop)))
        start = stop = 0;
    else if (stop <= 0)
        return S_OK; // decoded only to reach the segment start
    std::unique_lock lock(mutex_);
    if (flushing_ || runState_ == State_Stopped) return S_FALSE;
    lastStop_ = stop;
    bool presented = false;
    if (runState_ == State_Paused && presentInPause_) {
        presentInPause_ = false;
        presented = true;
        lock.unlock();
        DoRenderSample(sample);
        lock.lock();
    }
    // Ready once the first picture of a pause is on show.
    ready_ = true;
    NotifyReadyOnce(lock);
    if (runState_ == State_Running && !firstAfterStart_ && !presented &&
        ReferenceTimeNow() - (base_ + start) > LateLimit()) {
        ++dropped_;
        return S_OK;
    }
    if (!WaitForStreamTime(lock, start)) return S_FALSE;
    firstAfterStart_ = false;
    lock.unlock();
    if (!presented) DoRenderSample(sample);
    ++drawn_;
    return S_OK;
}

HRESULT TBCBaseRenderer::EndOfStream() {
    std::unique_lock lock(mutex_);
    if (flushing_ || runState_ == State_Stopped) return S_OK;
    ended_ = true;
    NotifyReadyOnce(lock);
    if (!WaitForStreamTime(lock, lastStop_)) return S_OK;
    lock.unlock();
    NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

HRESULT TBCBaseRenderer::BeginFlush() {
    std::lock_guard lock(mutex_);
    flushing_ = true;
    ChangedLocked();
    return S_OK;
}

HRESULT TBCBaseRenderer::EndFlush() {
    std::lock_guard lock(mutex_);
    flushing_ = false;
    ready_ = readyNotified_ = ended_ = false;
    presentInPause_ = runState_ == State_Paused;
    firstAfterStart_ = true;
    lastStop_ = 0;
    ChangedLocked();
    return S_OK;
}
