#include "platform/media/BaseInputPin.h"

#include "platform/media/MediaFactory.h"

TBCBaseInputPin::TBCBaseInputPin(const String& objectName, TBCBaseFilter* filter, TCriticalSection* lock,
                                 const String& pinName)
    : TImplements(objectName, filter, lock, pinName, PINDIR_INPUT) {}

HRESULT TBCBaseInputPin::GetAllocator(TIntfPtr<IMemAllocator>& allocator) {
    TLock lock(Lock());
    if (!allocator_) {
        const HRESULT hr = CreateMediaObject(CLSID_MemoryAllocator, allocator_);
        if (Failed(hr)) return hr;
    }
    allocator = allocator_;
    return S_OK;
}

HRESULT TBCBaseInputPin::NotifyAllocator(IMemAllocator* allocator, bool) {
    TLock lock(Lock());
    allocator_ = allocator;
    return S_OK;
}

HRESULT TBCBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES&) { return E_NOTIMPL; }

HRESULT TBCBaseInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (flushing_) return S_FALSE;
    if (Filter()->IsStopped()) return VFW_E_WRONG_STATE;
    return runTimeError_ ? E_FAIL : S_OK;
}

HRESULT TBCBaseInputPin::BeginFlush() {
    flushing_ = true;
    return S_OK;
}

HRESULT TBCBaseInputPin::EndFlush() {
    flushing_ = false;
    return S_OK;
}

HRESULT TBCBaseInputPin::BreakConnect() {
    allocator_.Reset();
    return S_OK;
}
