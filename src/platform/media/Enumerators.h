#pragma once
// Enumerators of a filter's pins and of a pin's own media types. Both notice
// changes through the version their owner keeps.

#include <vector>

#include "platform/media/BaseObject.h"

class TBCBaseFilter;
class TBCBasePin;

// After the filter's pins changed it starts again from the first pin, without
// handing out a pin twice.
class TBCEnumPins : public TImplements<TBCUnknown, IEnumPins> {
public:
    TBCEnumPins(TBCBaseFilter* filter, const TBCEnumPins* copyFrom);

    HRESULT Next(ULONG count, TIntfPtr<IPin>* pins, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(TIntfPtr<IEnumPins>& copy) override;

private:
    bool OutOfSync() const;
    void Resync();

    TBCBaseFilter* filter_;
    TIntfPtr<IBaseFilter> filterRef_;
    int position_ = 0;
    int pinCount_ = 0;
    int version_ = 0;
    std::vector<IPin*> handedOut_;
};

// Out of sync (VFW_E_ENUM_OUT_OF_SYNC) once the pin's types changed, until Reset.
class TBCEnumMediaTypes : public TImplements<TBCUnknown, IEnumMediaTypes> {
public:
    TBCEnumMediaTypes(TBCBasePin* pin, const TBCEnumMediaTypes* copyFrom);

    HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(TIntfPtr<IEnumMediaTypes>& copy) override;

private:
    bool OutOfSync() const;

    TBCBasePin* pin_;
    TIntfPtr<IPin> pinRef_;
    int position_ = 0;
    int version_ = 0;
};
