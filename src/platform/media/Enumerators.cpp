#include "platform/media/Enumerators.h"

#include <algorithm>

#include "platform/media/BasePin.h"
#include "platform/rtl/TaskAllocator.h"

TBCEnumPins::TBCEnumPins(TBCBaseFilter* filter, const TBCEnumPins* copyFrom)
    : TImplements(u"Pin Enumerator", nullptr), filter_(filter), filterRef_(filter) {
    if (copyFrom) {
        position_ = copyFrom->position_;
        pinCount_ = copyFrom->pinCount_;
        version_ = copyFrom->version_;
        handedOut_ = copyFrom->handedOut_;
    } else {
        Resync();
    }
}

bool TBCEnumPins::OutOfSync() const { return version_ != filter_->GetPinVersion(); }

void TBCEnumPins::Resync() {
    version_ = filter_->GetPinVersion();
    pinCount_ = filter_->GetPinCount();
    position_ = 0;
}

HRESULT TBCEnumPins::Next(ULONG count, TIntfPtr<IPin>* pins, ULONG* fetched) {
    if (!pins) return E_POINTER;
    if (!fetched && count > 1) return E_INVALIDARG;
    if (OutOfSync()) Resync();
    ULONG given = 0;
    while (given < count && position_ < pinCount_) {
        TBCBasePin* pin = filter_->GetPin(position_++);
        if (!pin) {
            if (fetched) *fetched = given;
            return VFW_E_ENUM_OUT_OF_SYNC;
        }
        if (std::find(handedOut_.begin(), handedOut_.end(), pin) != handedOut_.end()) continue;
        handedOut_.push_back(pin);
        pins[given++] = pin;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT TBCEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    if (ULONG(pinCount_ - position_) < count) return S_FALSE;
    position_ += static_cast<int>(count);
    return S_OK;
}

HRESULT TBCEnumPins::Reset() {
    Resync();
    handedOut_.clear();
    return S_OK;
}

HRESULT TBCEnumPins::Clone(TIntfPtr<IEnumPins>& copy) {
    copy = MakeIntf<TBCEnumPins>(filter_, this);
    return S_OK;
}

TBCEnumMediaTypes::TBCEnumMediaTypes(TBCBasePin* pin, const TBCEnumMediaTypes* copyFrom)
    : TImplements(u"Media Type Enumerator", nullptr), pin_(pin), pinRef_(pin) {
    position_ = copyFrom ? copyFrom->position_ : 0;
    version_ = copyFrom ? copyFrom->version_ : pin->GetMediaTypeVersion();
}

bool TBCEnumMediaTypes::OutOfSync() const { return version_ != pin_->GetMediaTypeVersion(); }

HRESULT TBCEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (!types) return E_POINTER;
    if (!fetched && count > 1) return E_INVALIDARG;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG given = 0;
    while (given < count) {
        TMediaType type;
        if (pin_->GetMediaType(position_, type) != S_OK) break;
        auto* record = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
        if (!record) break;
        // The record takes the format block over.
        *record = type.get();
        InitMediaType(type.get());
        types[given++] = record;
        ++position_;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT TBCEnumMediaTypes::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    position_ += static_cast<int>(count);
    TMediaType type;
    return pin_->GetMediaType(position_ - 1, type) == S_OK ? S_OK : S_FALSE;
}

HRESULT TBCEnumMediaTypes::Reset() {
    position_ = 0;
    version_ = pin_->GetMediaTypeVersion();
    return S_OK;
}

HRESULT TBCEnumMediaTypes::Clone(TIntfPtr<IEnumMediaTypes>& copy) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    copy = MakeIntf<TBCEnumMediaTypes>(pin_, this);
    return S_OK;
}
