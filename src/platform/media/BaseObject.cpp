#include "platform/media/BaseObject.h"

namespace {
std::atomic<int> gBaseObjectCount{0};
} // namespace

TBCBaseObject::TBCBaseObject(const String& name) : name_(name) {
    gBaseObjectCount.fetch_add(1, std::memory_order_relaxed);
}

TBCBaseObject::~TBCBaseObject() { gBaseObjectCount.fetch_sub(1, std::memory_order_relaxed); }

int TBCBaseObject::ObjectCount() noexcept { return gBaseObjectCount.load(std::memory_order_relaxed); }

TBCUnknown::TBCUnknown(const String& name, IInterface* outer) : TBCBaseObject(name), outer_(outer) {}

HRESULT TBCUnknown::QueryInterface(const TGUID& iid, void** obj) {
    if (outer_) return outer_->QueryInterface(iid, obj);
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

int32_t TBCUnknown::_AddRef() {
    if (outer_) return outer_->_AddRef();
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

int32_t TBCUnknown::_Release() {
    if (outer_) return outer_->_Release();
    const int32_t count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) {
        // A destructor that takes and drops a reference to itself must not free it twice.
        refCount_.store(1, std::memory_order_relaxed);
        delete this;
    }
    return count;
}

bool TBCUnknown::GetInterface(const TGUID& iid, void** obj) {
    if (iid != IInterface::IID) return TBCBaseObject::GetInterface(iid, obj);
    IInterface* self = this;
    self->_AddRef();
    *obj = self;
    return true;
}
