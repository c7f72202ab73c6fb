#pragma once
// The filter side of the pin protocol: the stopped, paused and running states
// that drive the pins, the clock, and membership of a graph. A derived filter
// gives its state lock and its pins.

#include "platform/media/BaseObject.h"
#include "platform/rtl/SyncObjs.h"

class TBCBasePin;

class TBCBaseFilter : public TImplements<TBCUnknown, IBaseFilter> {
public:
    TBCBaseFilter(const String& name, IInterface* outer, TCriticalSection* lock, const TGUID& classId);
    ~TBCBaseFilter() override;

    HRESULT GetClassID(TGUID* classId) override;
    // Stops every connected pin (all are visited; the first failure is the result).
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(TIntfPtr<IReferenceClock>& clock) override;
    HRESULT EnumPins(TIntfPtr<IEnumPins>& pins) override;
    // The pin named Id.
    HRESULT FindPin(const String& id, TIntfPtr<IPin>& pin) override;
    // The name cut to 127 characters, and the graph.
    HRESULT QueryFilterInfo(String& name, TIntfPtr<IGraphBuilder>& graph) override;
    // The graph is not counted (it holds the filter); neither is its event sink.
    HRESULT JoinFilterGraph(IGraphBuilder* graph, const String& name) override;

    virtual int GetPinCount() = 0;
    // Null outside 0..GetPinCount() - 1.
    virtual TBCBasePin* GetPin(int index) = 0;

    // Clock time minus the start time of the last Run; VFW_E_NO_CLOCK without a clock.
    HRESULT StreamTime(REFERENCE_TIME& time);
    // To the graph's event sink (E_NOTIMPL without one); EC_COMPLETE carries
    // this filter as its second parameter.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

    TCriticalSection& StateLock() const noexcept { return *lock_; }
    FILTER_STATE State() const noexcept { return state_; }
    bool IsActive() const noexcept { return state_ != State_Stopped; }
    bool IsStopped() const noexcept { return state_ == State_Stopped; }
    REFERENCE_TIME StartTime() const noexcept { return start_; }
    IGraphBuilder* Graph() const noexcept { return graph_; }
    IMediaEventSink* EventSink() const noexcept { return sink_.load(); }
    const String& FilterName() const noexcept { return name_; }
    int GetPinVersion() const noexcept { return pinVersion_; }
    // Pin enumerators made before start again from the first pin.
    void IncrementPinVersion() noexcept { ++pinVersion_; }

protected:
    std::atomic<FILTER_STATE> state_{State_Stopped};
    TIntfPtr<IReferenceClock> clock_;
    REFERENCE_TIME start_ = 0;

private:
    TGUID classId_;
    TCriticalSection* lock_;
    String name_;
    IGraphBuilder* graph_ = nullptr;
    // Read by streaming threads, which must not wait for the state lock.
    std::atomic<IMediaEventSink*> sink_{nullptr};
    std::atomic<int> pinVersion_{1};
};
