#pragma once
// A pin: connection with type agreement, its connection type, the segment it
// was told of, and a count of its own on top of its filter's (a pin lives as
// long as its filter). Every state change runs under the filter's state lock.

#include "platform/media/BaseFilter.h"
#include "platform/media/MediaTypeRecords.h"

class TBCBasePin : public TImplements<TBCUnknown, IPin, IQualityControl> {
public:
    TBCBasePin(const String& objectName, TBCBaseFilter* filter, TCriticalSection* lock, const String& pinName,
               PIN_DIRECTION direction);
    ~TBCBasePin() override;

    int32_t _AddRef() override;
    int32_t _Release() override;

    // IPin
    HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(TIntfPtr<IPin>& pin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT QueryPinInfo(TIntfPtr<IBaseFilter>& filter, PIN_DIRECTION* direction, String& name) override;
    HRESULT QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT QueryId(String& id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT EnumMediaTypes(TIntfPtr<IEnumMediaTypes>& types) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    // IQualityControl
    HRESULT Notify(IBaseFilter* self, const Quality& q) override;
    HRESULT SetSink(IQualityControl* sink) override;

    // Called by the filter on its state changes (connected pins only).
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME start);
    // S_OK for a type the pin takes.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) = 0;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE& type);
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // The pin's own types by position: S_OK, or VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT GetMediaType(int position, TMediaType& type);

    int GetMediaTypeVersion() const noexcept { return typeVersion_; }
    // Type enumerators made before are out of sync.
    void IncrementTypeVersion() noexcept { ++typeVersion_; }
    bool IsConnected() const noexcept { return static_cast<bool>(connected_); }
    IPin* GetConnected() const noexcept { return connected_.get(); }
    const String& Name() const noexcept { return pinName_; }
    const TMediaType& CurrentMediaType() const noexcept { return mt_; }
    TBCBaseFilter* Filter() const noexcept { return filter_; }
    bool IsStopped() const noexcept { return filter_->IsStopped(); }
    REFERENCE_TIME CurrentStartTime() const noexcept { return segmentStart_; }
    REFERENCE_TIME CurrentStopTime() const noexcept { return segmentStop_; }
    double CurrentRate() const noexcept { return segmentRate_; }
    int32_t PinRefCount() const noexcept { return pinRefs_.load(); }

protected:
    TCriticalSection& Lock() const noexcept { return *lock_; }
    // Connection checks shared by Connect and ReceiveConnection.
    HRESULT CheckConnectable() const;
    // An agreed connection type is stored and completed; a failure undoes it.
    HRESULT AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE& type);

    TIntfPtr<IPin> connected_;
    TMediaType mt_;
    bool canReconnectWhenActive_ = false;
    bool tryMyTypesFirst_ = false;
    bool runTimeError_ = false;
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = kMaxReferenceTime;
    double segmentRate_ = 1.0;

private:
    HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* type);
    HRESULT TryMediaTypes(IPin* receivePin, const AM_MEDIA_TYPE* pattern, IEnumMediaTypes* types);

    String pinName_;
    PIN_DIRECTION direction_;
    TCriticalSection* lock_;
    TBCBaseFilter* filter_;
    IQualityControl* qualitySink_ = nullptr;
    std::atomic<int> typeVersion_{1};
    std::atomic<int32_t> pinRefs_{0};
};

// Whether a result refuses a type rather than failing otherwise.
constexpr bool IsTypeRefusal(HRESULT hr) noexcept {
    return hr == E_FAIL || hr == E_INVALIDARG || hr == VFW_E_TYPE_NOT_ACCEPTED;
}
