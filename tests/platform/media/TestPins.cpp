#include "TestPins.h"

#include <algorithm>

#include "platform/media/MediaFactory.h"

namespace media_test {

namespace {
HRESULT FakeCheck(const std::vector<TGUID>& accepted, HRESULT result, const AM_MEDIA_TYPE& type) {
    if (!accepted.empty() && std::find(accepted.begin(), accepted.end(), type.subtype) == accepted.end())
        return E_FAIL;
    return result;
}

HRESULT FakeType(const std::vector<TMediaType>& types, int position, TMediaType& type) {
    if (position < 0) return E_INVALIDARG;
    if (position >= static_cast<int>(types.size())) return VFW_S_NO_MORE_ITEMS;
    type = types[position];
    return S_OK;
}
} // namespace

TFakeInputPin::TFakeInputPin(THostFilter* filter, const String& name)
    : TBCBaseInputPin(u"Fake input", filter, &filter->StateLock(), name) {}

HRESULT TFakeInputPin::CheckMediaType(const AM_MEDIA_TYPE& type) { return FakeCheck(Accepted, CheckResult, type); }

HRESULT TFakeInputPin::GetMediaType(int position, TMediaType& type) { return FakeType(Types, position, type); }

HRESULT TFakeInputPin::GetAllocator(TIntfPtr<IMemAllocator>& allocator) {
    const HRESULT hr = TBCBaseInputPin::GetAllocator(allocator);
    offered_ = allocator;
    return hr;
}

HRESULT TFakeInputPin::NotifyAllocator(IMemAllocator* allocator, bool readOnly) {
    const HRESULT answer = allocator == offered_.get() ? OwnAllocatorResult : ForeignAllocatorResult;
    if (Failed(answer)) return answer;
    return TBCBaseInputPin::NotifyAllocator(allocator, readOnly);
}

HRESULT TFakeInputPin::Inactive() {
    ++InactiveCalls;
    TBCBaseInputPin::Inactive();
    return InactiveResult;
}

HRESULT TFakeInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = TBCBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return OnReceive ? OnReceive(sample) : S_OK;
}

TFakeOutputPin::TFakeOutputPin(THostFilter* filter, const String& name)
    : TBCBaseOutputPin(u"Fake output", filter, &filter->StateLock(), name) {}

HRESULT TFakeOutputPin::CheckMediaType(const AM_MEDIA_TYPE& type) { return FakeCheck(Accepted, CheckResult, type); }

HRESULT TFakeOutputPin::GetMediaType(int position, TMediaType& type) { return FakeType(Types, position, type); }

HRESULT TFakeOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request) {
    request.cBuffers = std::max(request.cBuffers, 2L);
    request.cbBuffer = std::max(request.cbBuffer, long(CurrentMediaType()->lSampleSize));
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(request, actual);
}

HRESULT TFakeOutputPin::Inactive() {
    ++InactiveCalls;
    TBCBaseOutputPin::Inactive();
    return InactiveResult;
}

} // namespace media_test
