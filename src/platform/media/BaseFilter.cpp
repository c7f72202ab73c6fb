#include "platform/media/BaseFilter.h"

#include "platform/media/BasePin.h"
#include "platform/media/Enumerators.h"

TBCBaseFilter::TBCBaseFilter(const String& name, IInterface* outer, TCriticalSection* lock, const TGUID& classId)
    : TImplements(name, outer), classId_(classId), lock_(lock) {
    RTL_ASSERT(lock != nullptr, "Lock = nil !");
}

TBCBaseFilter::~TBCBaseFilter() = default;

HRESULT TBCBaseFilter::GetClassID(TGUID* classId) {
    if (!classId) return E_POINTER;
    *classId = classId_;
    return S_OK;
}

HRESULT TBCBaseFilter::Stop() {
    TLock lock(*lock_);
    HRESULT result = S_OK;
    if (state_ != State_Stopped) {
        for (int i = 0, count = GetPinCount(); i < count; ++i) {
            TBCBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Inactive();
            if (Failed(hr) && Succeeded(result)) result = hr;
        }
    }
    state_ = State_Stopped;
    return result;
}

HRESULT TBCBaseFilter::Pause() {
    TLock lock(*lock_);
    if (state_ == State_Stopped) {
        for (int i = 0, count = GetPinCount(); i < count; ++i) {
            TBCBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Active();
            if (Failed(hr)) return hr;
        }
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT TBCBaseFilter::Run(REFERENCE_TIME start) {
    TLock lock(*lock_);
    start_ = start;
    if (state_ == State_Stopped) {
        const HRESULT hr = Pause();
        if (Failed(hr)) return hr;
    }
    if (state_ != State_Running) {
        for (int i = 0, count = GetPinCount(); i < count; ++i) {
            TBCBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Run(start);
            if (Failed(hr)) return hr;
        }
    }
    state_ = State_Running;
    return S_OK;
}

HRESULT TBCBaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT TBCBaseFilter::SetSyncSource(IReferenceClock* clock) {
    TLock lock(*lock_);
    clock_ = clock;
    return S_OK;
}

HRESULT TBCBaseFilter::GetSyncSource(TIntfPtr<IReferenceClock>& clock) {
    TLock lock(*lock_);
    clock = clock_;
    return S_OK;
}

HRESULT TBCBaseFilter::EnumPins(TIntfPtr<IEnumPins>& pins) {
    pins = MakeIntf<TBCEnumPins>(this, nullptr);
    return S_OK;
}

HRESULT TBCBaseFilter::FindPin(const String& id, TIntfPtr<IPin>& pin) {
    TLock lock(*lock_);
    for (int i = 0, count = GetPinCount(); i < count; ++i) {
        TBCBasePin* candidate = GetPin(i);
        if (candidate && candidate->Name() == id) {
            pin = candidate;
            return S_OK;
        }
    }
    pin.Reset();
    return VFW_E_NOT_FOUND;
}

HRESULT TBCBaseFilter::QueryFilterInfo(String& name, TIntfPtr<IGraphBuilder>& graph) {
    name = Copy(name_, 1, kMaxFilterName - 1);
    graph = graph_;
    return S_OK;
}

HRESULT TBCBaseFilter::JoinFilterGraph(IGraphBuilder* graph, const String& name) {
    TLock lock(*lock_);
    graph_ = graph;
    sink_ = nullptr;
    TIntfPtr<IMediaEventSink> sink;
    if (graph && Supports(graph, sink)) sink_ = sink.get(); // the graph keeps it alive
    name_ = name;
    return S_OK;
}

HRESULT TBCBaseFilter::StreamTime(REFERENCE_TIME& time) {
    TLock lock(*lock_);
    if (!clock_) return VFW_E_NO_CLOCK;
    const HRESULT hr = clock_->GetTime(&time);
    if (Failed(hr)) return hr;
    time -= start_;
    return S_OK;
}

HRESULT TBCBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = sink_.load();
    if (!sink) return E_NOTIMPL;
    if (code == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}
