#pragma once
// The base of fonts, pens and brushes: a persistent description that makes
// its drawing-layer object when first asked for its handle and tells its
// owner (a canvas, a control) of every change through OnChange.

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/Events.h"
#include "platform/win/gdi/Gdi.h"

class TGraphicsObject : public TPersistent {
    RTL_CLASS(TGraphicsObject, TPersistent);

public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

// A drawing-layer object owned by a graphics object: deleted when replaced
// and with its owner (a canvas that still has it selected keeps it alive
// until it selects another).
template <class Handle>
class TOwnedGdiHandle {
public:
    TOwnedGdiHandle() = default;
    ~TOwnedGdiHandle() { Reset(); }
    TOwnedGdiHandle(const TOwnedGdiHandle&) = delete;
    TOwnedGdiHandle& operator=(const TOwnedGdiHandle&) = delete;

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ && handle_ != handle) DeleteObject(ToGdiObject(handle_));
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};
