#pragma once
// The roots of every filter, pin and runtime object of the graph: a named
// object counted process-wide (tests prove that everything made was freed),
// and its reference-counted form that may live inside an outer object.

#include <atomic>

#include "platform/media/MediaInterfaces.h"

class TBCBaseObject : public TObject {
public:
    explicit TBCBaseObject(const String& name);
    ~TBCBaseObject() override;
    TBCBaseObject(const TBCBaseObject&) = delete;
    TBCBaseObject& operator=(const TBCBaseObject&) = delete;

    const String& ObjectName() const noexcept { return name_; }
    // Objects of this family alive in the process.
    static int ObjectCount() noexcept;

private:
    String name_;
};

// Counts references from one, like TInterfacedObject, so MakeIntf takes the
// first over. With an outer object, lookups and counts are the outer's.
class TBCUnknown : public TBCBaseObject, public virtual IInterface {
public:
    TBCUnknown(const String& name, IInterface* outer);

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override;
    int32_t _Release() override;
    bool GetInterface(const TGUID& iid, void** obj) override;

    IInterface* Owner() const noexcept { return outer_; }

private:
    IInterface* outer_;
    std::atomic<int32_t> refCount_{1};
};
