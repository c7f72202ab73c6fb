#include "platform/media/MediaFactory.h"

#include "platform/media/AudioRenderer.h"
#include "platform/media/GraphManager.h"
#include "platform/media/MemAllocator.h"
#include "platform/media/ReferenceClock.h"
#include "platform/media/VideoRenderer.h"

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
    if (classId == CLSID_SystemClock) return QueryNewObject(MakeIntf<TSystemReferenceClock>(), iid, obj);
    if (classId == CLSID_FilterGraph) return QueryNewObject(MakeIntf<TGraphManager>(), iid, obj);
    if (classId == CLSID_VideoRenderer) return QueryNewObject(MakeIntf<TVideoRenderer>(), iid, obj);
    if (classId == CLSID_AudioRenderer) return QueryNewObject(MakeIntf<TAudioRenderer>(), iid, obj);
    return E_FAIL;
}
