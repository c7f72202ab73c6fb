#include "platform/rtl/Interfaces.h"

HRESULT TInterfacedObject::QueryInterface(const TGUID& iid, void** obj) {
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

int32_t TInterfacedObject::_AddRef() { return refCount_.fetch_add(1, std::memory_order_relaxed) + 1; }

int32_t TInterfacedObject::_Release() {
    const int32_t count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) {
        // A destructor that takes and drops a reference to itself must not free it twice.
        refCount_.store(1, std::memory_order_relaxed);
        delete this;
    }
    return count;
}

bool TInterfacedObject::GetInterface(const TGUID& iid, void** obj) {
    if (iid != IInterface::IID) return TObject::GetInterface(iid, obj);
    IInterface* self = this;
    self->_AddRef();
    *obj = self;
    return true;
}

HRESULT TAggregatedObject::QueryInterface(const TGUID& iid, void** obj) {
    return controller_->QueryInterface(iid, obj);
}

HRESULT TContainedObject::QueryInterface(const TGUID& iid, void** obj) {
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

bool TContainedObject::GetInterface(const TGUID& iid, void** obj) {
    if (iid != IInterface::IID) return TAggregatedObject::GetInterface(iid, obj);
    IInterface* self = this;
    self->_AddRef();
    *obj = self;
    return true;
}
