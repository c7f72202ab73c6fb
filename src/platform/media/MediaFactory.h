#pragma once
// The graph's objects made by class identifier, in this process only.

#include "platform/media/MediaInterfaces.h"

inline constexpr TGUID CLSID_MemoryAllocator = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4B01}");

// S_OK and the object's interface Iid in *Obj, E_NOINTERFACE when the object
// lacks it, or E_FAIL for an unknown class.
HRESULT CreateMediaObject(const TGUID& classId, const TGUID& iid, void** obj);

template <class I>
HRESULT CreateMediaObject(const TGUID& classId, TIntfPtr<I>& result) {
    void* obj = nullptr;
    const HRESULT hr = CreateMediaObject(classId, I::IID, &obj);
    result = TIntfPtr<I>::Adopt(Succeeded(hr) ? static_cast<I*>(obj) : nullptr);
    return hr;
}
