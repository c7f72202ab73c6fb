#pragma once
// An input pin taking samples through IMemInputPin: it offers a memory
// allocator, remembers the one agreed, and refuses samples while flushing
// (S_FALSE) or while its filter is stopped.

#include "platform/media/BasePin.h"

class TBCBaseInputPin : public TImplements<TBCBasePin, IMemInputPin> {
public:
    TBCBaseInputPin(const String& objectName, TBCBaseFilter* filter, TCriticalSection* lock, const String& pinName);

    // IMemInputPin
    HRESULT GetAllocator(TIntfPtr<IMemAllocator>& allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, bool readOnly) override;
    // No requirements: E_NOTIMPL, Props left as they are.
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES& props) override;
    // S_OK when the sample may be taken; derived pins call it first.
    HRESULT Receive(IMediaSample* sample) override;

    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT BreakConnect() override;

    bool IsFlushing() const noexcept { return flushing_.load(); }
    IMemAllocator* Allocator() const noexcept { return allocator_.get(); }

protected:
    TIntfPtr<IMemAllocator> allocator_;
    std::atomic<bool> flushing_{false};
};
