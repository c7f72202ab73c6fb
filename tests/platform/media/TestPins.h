#pragma once
// Small filters and pins for the base-class tests: a host filter owning any
// pins, an input pin whose answers a test sets, and an output pin offering a
// list of types.

#include <functional>
#include <memory>
#include <vector>

#include "platform/media/BaseInputPin.h"
#include "platform/media/BaseOutputPin.h"
#include "platform/media/MediaFormats.h"

namespace media_test {

// A filter whose pins are added by the test and freed with it.
class THostFilter : public TBCBaseFilter {
public:
    THostFilter() : TBCBaseFilter(u"Host", nullptr, &lock_, GUID_NULL) {}

    template <class Pin, class... Args>
    Pin* Add(Args&&... args) {
        auto pin = std::make_unique<Pin>(this, std::forward<Args>(args)...);
        Pin* raw = pin.get();
        pins_.push_back(std::move(pin));
        IncrementPinVersion();
        return raw;
    }
    int GetPinCount() override { return static_cast<int>(pins_.size()); }
    TBCBasePin* GetPin(int index) override {
        return index >= 0 && index < GetPinCount() ? pins_[index].get() : nullptr;
    }

private:
    TCriticalSection lock_;
    std::vector<std::unique_ptr<TBCBasePin>> pins_;
};

// An input pin offering Types; CheckMediaType gives CheckResult for a type
// among Accepted (all when empty) and E_FAIL otherwise.
class TFakeInputPin : public TBCBaseInputPin {
public:
    explicit TFakeInputPin(THostFilter* filter, const String& name = u"In");

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT GetMediaType(int position, TMediaType& type) override;
    HRESULT GetAllocator(TIntfPtr<IMemAllocator>& allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, bool readOnly) override;
    HRESULT Inactive() override;
    HRESULT Receive(IMediaSample* sample) override;

    // The allocator this pin offered last.
    IMemAllocator* Offered() const noexcept { return offered_.get(); }

    std::vector<TMediaType> Types;
    std::vector<TGUID> Accepted;
    HRESULT CheckResult = S_OK;
    // NotifyAllocator's answer for an allocator not made by this pin.
    HRESULT ForeignAllocatorResult = S_OK;
    HRESULT OwnAllocatorResult = S_OK;
    HRESULT InactiveResult = S_OK;
    int InactiveCalls = 0;
    std::function<HRESULT(IMediaSample*)> OnReceive;

private:
    TIntfPtr<IMemAllocator> offered_;
};

// An output pin offering Types and accepting the subtypes in Accepted (all when empty).
class TFakeOutputPin : public TBCBaseOutputPin {
public:
    explicit TFakeOutputPin(THostFilter* filter, const String& name = u"Out");

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT GetMediaType(int position, TMediaType& type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request) override;
    HRESULT Inactive() override;

    void SetTryOwnTypesFirst(bool value) { tryMyTypesFirst_ = value; }

    std::vector<TMediaType> Types;
    std::vector<TGUID> Accepted;
    HRESULT CheckResult = S_OK;
    HRESULT InactiveResult = S_OK;
    int InactiveCalls = 0;
};

// Disconnects both ends (pins hold each other, and so each other's filter).
inline void DisconnectPair(IPin* a, IPin* b) {
    a->Disconnect();
    b->Disconnect();
}

inline TMediaType Yv12Type(int width = 64, int height = 32) {
    return VideoInfoType(MEDIASUBTYPE_YV12, width, height, 400000);
}
inline TMediaType Rgb32Type(int width = 64, int height = 32) {
    return VideoInfoType(MEDIASUBTYPE_RGB32, width, height, 400000);
}

} // namespace media_test
