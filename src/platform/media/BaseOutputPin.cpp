#include "platform/media/BaseOutputPin.h"

#include "platform/media/MediaFactory.h"

TBCBaseOutputPin::TBCBaseOutputPin(const String& objectName, TBCBaseFilter* filter, TCriticalSection* lock,
                                   const String& pinName)
    : TBCBasePin(objectName, filter, lock, pinName, PINDIR_OUTPUT) {}

HRESULT TBCBaseOutputPin::CheckConnect(IPin* pin) {
    const HRESULT hr = TBCBasePin::CheckConnect(pin);
    if (Failed(hr)) return hr;
    return Supports(pin, inputPin_) ? S_OK : E_NOINTERFACE;
}

HRESULT TBCBaseOutputPin::CompleteConnect(IPin*) { return DecideAllocator(inputPin_.get(), allocator_); }

HRESULT TBCBaseOutputPin::DecideAllocator(IMemInputPin* pin, TIntfPtr<IMemAllocator>& allocator) {
    ALLOCATOR_PROPERTIES props{};
    pin->GetAllocatorRequirements(props);
    if (props.cbAlign == 0) props.cbAlign = 1;
    auto offer = [&]() {
        HRESULT hr = DecideBufferSize(allocator.get(), props);
        if (Succeeded(hr)) hr = pin->NotifyAllocator(allocator.get(), false);
        return hr;
    };
    HRESULT hr = pin->GetAllocator(allocator);
    if (Succeeded(hr) && allocator) {
        hr = offer();
        if (Succeeded(hr)) return hr;
    }
    allocator.Reset();
    hr = InitAllocator(allocator);
    if (Succeeded(hr)) {
        hr = offer();
        if (Succeeded(hr)) return hr;
    }
    allocator.Reset();
    return hr;
}

HRESULT TBCBaseOutputPin::DecideBufferSize(IMemAllocator*, ALLOCATOR_PROPERTIES&) { return S_OK; }

HRESULT TBCBaseOutputPin::InitAllocator(TIntfPtr<IMemAllocator>& allocator) {
    return CreateMediaObject(CLSID_MemoryAllocator, allocator);
}

HRESULT TBCBaseOutputPin::BreakConnect() {
    if (allocator_) {
        const HRESULT hr = allocator_->Decommit();
        if (Failed(hr)) return hr;
        allocator_.Reset();
    }
    inputPin_.Reset();
    return S_OK;
}

HRESULT TBCBaseOutputPin::Active() {
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Commit();
}

HRESULT TBCBaseOutputPin::Inactive() {
    runTimeError_ = false;
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Decommit();
}

HRESULT TBCBaseOutputPin::EndOfStream() { return E_UNEXPECTED; }
HRESULT TBCBaseOutputPin::BeginFlush() { return E_UNEXPECTED; }
HRESULT TBCBaseOutputPin::EndFlush() { return E_UNEXPECTED; }

HRESULT TBCBaseOutputPin::GetDeliveryBuffer(TIntfPtr<IMediaSample>& sample, const REFERENCE_TIME* start,
                                            const REFERENCE_TIME* stop, DWORD flags) {
    if (!allocator_) return E_NOINTERFACE;
    return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT TBCBaseOutputPin::Deliver(IMediaSample* sample) {
    if (!inputPin_) return VFW_E_NOT_CONNECTED;
    return inputPin_->Receive(sample);
}

HRESULT TBCBaseOutputPin::DeliverEndOfStream() {
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->EndOfStream();
}

HRESULT TBCBaseOutputPin::DeliverBeginFlush() {
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->BeginFlush();
}

HRESULT TBCBaseOutputPin::DeliverEndFlush() {
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->EndFlush();
}

HRESULT TBCBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->NewSegment(start, stop, rate);
}
