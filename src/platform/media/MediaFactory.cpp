#include "platform/media/MediaFactory.h"

#include "platform/media/MemAllocator.h"

namespace {
template <class T>
HRESULT QueryNewObject(TIntfPtr<T> object, const TGUID& iid, void** obj) {
    return object->QueryInterface(iid, obj);
}
} // namespace

HRESULT CreateMediaObject(const TGUID& classId, const TGUID& iid, void** obj) {
    if (!obj) return E_POINTER;
    *obj = nullptr;
    if (classId == CLSID_MemoryAllocator) return QueryNewObject(MakeIntf<TMemAllocator>(), iid, obj);
    return E_FAIL;
}
