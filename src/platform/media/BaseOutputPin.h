#pragma once
// An output pin: it agrees an allocator with the input pin it connects to
// (the input pin's own first, else a memory allocator of ours), commits it
// while active, and delivers samples and stream events downstream.

#include "platform/media/BasePin.h"

class TBCBaseOutputPin : public TBCBasePin {
public:
    TBCBaseOutputPin(const String& objectName, TBCBaseFilter* filter, TCriticalSection* lock, const String& pinName);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    virtual HRESULT DecideAllocator(IMemInputPin* pin, TIntfPtr<IMemAllocator>& allocator);
    // Sets the allocator's properties from the input pin's requirements.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request);
    virtual HRESULT GetDeliveryBuffer(TIntfPtr<IMediaSample>& sample, const REFERENCE_TIME* start,
                                      const REFERENCE_TIME* stop, DWORD flags);
    virtual HRESULT Deliver(IMediaSample* sample);
    virtual HRESULT InitAllocator(TIntfPtr<IMemAllocator>& allocator);
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemAllocator* Allocator() const noexcept { return allocator_.get(); }
    IMemInputPin* InputPin() const noexcept { return inputPin_.get(); }

protected:
    TIntfPtr<IMemAllocator> allocator_;
    TIntfPtr<IMemInputPin> inputPin_;
};
