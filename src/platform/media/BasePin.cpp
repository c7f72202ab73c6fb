#include "platform/media/BasePin.h"

#include "platform/media/Enumerators.h"

TBCBasePin::TBCBasePin(const String& objectName, TBCBaseFilter* filter, TCriticalSection* lock,
                       const String& pinName, PIN_DIRECTION direction)
    : TImplements(objectName, nullptr), pinName_(pinName), direction_(direction), lock_(lock), filter_(filter) {
    RTL_ASSERT(filter != nullptr, "BaseClass: a pin without filter");
    RTL_ASSERT(lock != nullptr, "Lock = nil !");
}

TBCBasePin::~TBCBasePin() {
    RTL_ASSERT(!connected_, "BaseClass: a connected pin destroyed");
    RTL_ASSERT(pinRefs_.load() == 0, "BaseClass: a pin destroyed with references left");
}

int32_t TBCBasePin::_AddRef() {
    const int32_t count = pinRefs_.fetch_add(1, std::memory_order_relaxed) + 1;
    filter_->_AddRef();
    return count;
}

int32_t TBCBasePin::_Release() {
    const int32_t count = pinRefs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    RTL_ASSERT(count >= 0, "BaseClass: a pin's count went negative");
    filter_->_Release(); // may free the filter and with it this pin
    return count;
}

HRESULT TBCBasePin::CheckConnectable() const {
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !canReconnectWhenActive_) return VFW_E_NOT_STOPPED;
    return S_OK;
}

HRESULT TBCBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
    if (!receivePin) return E_POINTER;
    TLock lock(*lock_);
    HRESULT hr = CheckConnectable();
    if (Failed(hr)) return hr;
    hr = AgreeMediaType(receivePin, type);
    if (Failed(hr)) {
        RTL_ASSERT(Succeeded(BreakConnect()), "BaseClass: BreakConnect failed");
        return hr;
    }
    return S_OK;
}

HRESULT TBCBasePin::AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* type) {
    if (type && !MediaTypeIsPartiallySpecified(*type)) return AttemptConnection(receivePin, *type);
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int pass = 0; pass < 2; ++pass) {
        const bool ownTypes = (pass == 0) == tryMyTypesFirst_;
        TIntfPtr<IEnumMediaTypes> types;
        const HRESULT enumHr = ownTypes ? EnumMediaTypes(types) : receivePin->EnumMediaTypes(types);
        if (Failed(enumHr) || !types) continue;
        const HRESULT hr = TryMediaTypes(receivePin, type, types.get());
        if (Succeeded(hr)) return S_OK;
        if (!IsTypeRefusal(hr)) failure = hr;
    }
    return failure;
}

HRESULT TBCBasePin::TryMediaTypes(IPin* receivePin, const AM_MEDIA_TYPE* pattern, IEnumMediaTypes* types) {
    if (Failed(types->Reset())) return VFW_E_NO_ACCEPTABLE_TYPES;
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;) {
        AM_MEDIA_TYPE* candidate = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &candidate, &fetched) != S_OK || fetched != 1) break;
        HRESULT hr = VFW_E_NO_ACCEPTABLE_TYPES;
        if (!pattern || MediaTypeMatchesPartial(*pattern, *candidate)) hr = AttemptConnection(receivePin, *candidate);
        DeleteMediaType(candidate);
        if (Succeeded(hr)) return S_OK;
        if (!IsTypeRefusal(hr) && hr != VFW_E_NO_ACCEPTABLE_TYPES) failure = hr;
    }
    return failure;
}

HRESULT TBCBasePin::AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE& type) {
    HRESULT hr = CheckConnect(receivePin);
    if (Failed(hr)) {
        RTL_ASSERT(Succeeded(BreakConnect()), "BaseClass: BreakConnect failed");
        return hr;
    }
    hr = CheckMediaType(type);
    if (hr == S_OK) {
        connected_ = receivePin;
        hr = SetMediaType(type);
        if (Succeeded(hr)) {
            hr = receivePin->ReceiveConnection(this, &type);
            if (Succeeded(hr)) {
                hr = CompleteConnect(receivePin);
                if (Succeeded(hr)) return S_OK;
                receivePin->Disconnect();
            }
        }
    } else if (Succeeded(hr) || IsTypeRefusal(hr)) {
        hr = VFW_E_TYPE_NOT_ACCEPTED;
    }
    connected_.Reset();
    RTL_ASSERT(Succeeded(BreakConnect()), "BaseClass: BreakConnect failed");
    return hr;
}

HRESULT TBCBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
    if (!connector || !type) return E_POINTER;
    TLock lock(*lock_);
    HRESULT hr = CheckConnectable();
    if (Failed(hr)) return hr;
    hr = CheckConnect(connector);
    if (Failed(hr)) {
        BreakConnect();
        return hr;
    }
    hr = CheckMediaType(*type);
    if (hr != S_OK) {
        BreakConnect();
        return Succeeded(hr) || IsTypeRefusal(hr) ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    connected_ = connector;
    hr = SetMediaType(*type);
    if (Succeeded(hr)) hr = CompleteConnect(connector);
    if (Failed(hr)) {
        connected_.Reset();
        BreakConnect();
    }
    return hr;
}

HRESULT TBCBasePin::Disconnect() {
    TLock lock(*lock_);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (!connected_) return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (Failed(hr)) return hr;
    connected_.Reset();
    return S_OK;
}

HRESULT TBCBasePin::ConnectedTo(TIntfPtr<IPin>& pin) {
    TLock lock(*lock_);
    pin = connected_;
    return connected_ ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT TBCBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type) return E_POINTER;
    TLock lock(*lock_);
    if (!connected_) {
        InitMediaType(*type);
        return VFW_E_NOT_CONNECTED;
    }
    CopyMediaType(*type, mt_.get());
    return S_OK;
}

HRESULT TBCBasePin::QueryPinInfo(TIntfPtr<IBaseFilter>& filter, PIN_DIRECTION* direction, String& name) {
    filter = filter_;
    if (direction) *direction = direction_;
    name = pinName_;
    return S_OK;
}

HRESULT TBCBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT TBCBasePin::QueryId(String& id) {
    id = pinName_;
    return S_OK;
}

HRESULT TBCBasePin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (!type) return E_POINTER;
    const HRESULT hr = CheckMediaType(*type);
    return Failed(hr) ? S_FALSE : hr;
}

HRESULT TBCBasePin::EnumMediaTypes(TIntfPtr<IEnumMediaTypes>& types) {
    types = MakeIntf<TBCEnumMediaTypes>(this, nullptr);
    return S_OK;
}

HRESULT TBCBasePin::EndOfStream() { return S_OK; }

HRESULT TBCBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}

HRESULT TBCBasePin::Notify(IBaseFilter*, const Quality&) { return E_NOTIMPL; }

HRESULT TBCBasePin::SetSink(IQualityControl* sink) {
    TLock lock(*lock_);
    qualitySink_ = sink;
    return S_OK;
}

HRESULT TBCBasePin::Active() { return S_OK; }

HRESULT TBCBasePin::Inactive() {
    runTimeError_ = false;
    return S_OK;
}

HRESULT TBCBasePin::Run(REFERENCE_TIME) { return S_OK; }

HRESULT TBCBasePin::SetMediaType(const AM_MEDIA_TYPE& type) {
    mt_.Assign(type);
    return S_OK;
}

HRESULT TBCBasePin::CheckConnect(IPin* pin) {
    PIN_DIRECTION other;
    const HRESULT hr = pin->QueryDirection(&other);
    if (Failed(hr)) return hr;
    return other == direction_ ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT TBCBasePin::BreakConnect() { return S_OK; }

HRESULT TBCBasePin::CompleteConnect(IPin*) { return S_OK; }

HRESULT TBCBasePin::GetMediaType(int, TMediaType&) { return E_UNEXPECTED; }
