#pragma once
// A renderer: a filter with one input pin that presents each sample when the
// stream time reaches its start. Paused, it keeps (and presents) the first
// sample until run, stop or flush. Leaving paused or running, and a flush,
// release a waiting Receive, so a streaming thread never waits for ever here.
// Times on samples count from the segment start; a sample ending at or before
// it was decoded only to reach a seek target and is dropped.

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/media/BaseInputPin.h"
#include "platform/media/ReferenceClock.h"

class TBCBaseRenderer : public TBCBaseFilter {
public:
    TBCBaseRenderer(const String& name, const TGUID& classId, const String& pinName = u"In");
    ~TBCBaseRenderer() override;

    int GetPinCount() override { return 1; }
    TBCBasePin* GetPin(int index) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    // VFW_S_STATE_INTERMEDIATE while paused without a sample and not ended.
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;

    // What the input pin passes on.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) = 0;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE&) { return S_OK; }
    virtual HRESULT GetMediaType(int, TMediaType&) { return VFW_S_NO_MORE_ITEMS; }
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();

    int FramesDrawn() const noexcept { return drawn_.load(); }
    int FramesDropped() const noexcept { return dropped_.load(); }
    virtual bool IsReady() const;
    TBCBaseInputPin* InputPin() const noexcept;

protected:
    // Presents a sample, on the streaming thread.
    virtual void DoRenderSample(IMediaSample* sample) = 0;
    // Whether a sample later than this is dropped unpresented (the first
    // after a start or seek never is).
    virtual REFERENCE_TIME LateLimit() const { return 100 * kUnitsPerMs; }

private:
    class TInputPin;
    // Under mutex_: wakes every wait of this renderer.
    void ChangedLocked();
    void NotifyReadyOnce(std::unique_lock<std::mutex>& lock);
    // Waits until stream time reaches Time while running; false when released
    // by a stop or flush.
    bool WaitForStreamTime(std::unique_lock<std::mutex>& lock, REFERENCE_TIME time);

    TCriticalSection lock_;
    std::unique_ptr<TInputPin> pin_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;
    FILTER_STATE runState_ = State_Stopped;
    REFERENCE_TIME base_ = 0;
    bool flushing_ = false;
    bool ready_ = false;
    bool readyNotified_ = false;
    bool ended_ = false;
    bool presentInPause_ = true;
    bool firstAfterStart_ = true;
    REFERENCE_TIME lastStop_ = 0;
    std::atomic<int> drawn_{0};
    std::atomic<int> dropped_{0};
    TClockSubscription clockChanged_;
};
