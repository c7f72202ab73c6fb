#include <mutex>

#include "platform/win/input/Caret.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/system/SystemColors.h"

namespace {

template <class T, class Handle>
class TObjectStore {
public:
    Handle Add(std::unique_ptr<T> object) {
        std::lock_guard lock(mutex_);
        const Handle handle = table_.Add(object.release());
        ++count_;
        return handle;
    }
    size_t Count() {
        std::lock_guard lock(mutex_);
        return count_;
    }
    T* Find(Handle handle) const noexcept { return table_.Find(handle); }
    void Remove(Handle handle) {
        T* object;
        {
            std::lock_guard lock(mutex_);
            object = table_.Find(handle);
            if (!object) return;
            table_.Remove(handle);
            --count_;
        }
        delete object;
    }

private:
    std::mutex mutex_;
    THandleTable<T, Handle> table_;
    size_t count_ = 0;
};

// Never destroyed: handles may be freed during static destruction.
TObjectStore<TRegion, HRGN>& Regions() {
    static auto* store = new TObjectStore<TRegion, HRGN>;
    return *store;
}

TObjectStore<TDeviceTarget, HDC>& Targets() {
    static auto* store = new TObjectStore<TDeviceTarget, HDC>;
    return *store;
}

HDC MakeTarget(TWindow* w, TRegion clip) {
    const POINT origin = SurfaceOrigin(w);
    clip.Offset(origin.x, origin.y);
    return MakeDeviceTarget(w->handle, SurfaceFor(w), origin, std::move(clip));
}

void FillTarget(const TDeviceTarget& target, uint32_t pixel) {
    TSurface& surface = *target.surface;
    const TRegion area = target.clip & TRegion(RECT{0, 0, surface.width, surface.height});
    for (const RECT& r : area.Rects())
        for (int y = r.top; y < r.bottom; ++y) std::fill(surface.Row(y) + r.left, surface.Row(y) + r.right, pixel);
    surface.dirty |= area;
}

} // namespace

HRGN MakeRegionHandle(TRegion region) { return Regions().Add(std::make_unique<TRegion>(std::move(region))); }
TRegion* RegionOfHandle(HRGN region) { return Regions().Find(region); }
void FreeRegionHandle(HRGN region) { Regions().Remove(region); }
size_t RegionHandleCount() { return Regions().Count(); }
TDeviceTarget* DeviceTargetOf(HDC dc) { return Targets().Find(dc); }

HDC MakeDeviceTarget(HWND window, TSurface& surface, POINT origin, TRegion clip) {
    auto target = std::make_unique<TDeviceTarget>();
    target->window = window;
    target->surface = &surface;
    target->origin = origin;
    target->clip = std::move(clip);
    return Targets().Add(std::move(target));
}

void FreeDeviceTarget(HDC dc) { Targets().Remove(dc); }

void PaintFrameNow(TWindow* w) {
    if (w->frameUpdate.IsEmpty()) return;
    TRegion area = std::move(w->frameUpdate);
    w->frameUpdate = TRegion();
    NotePaintState(w);
    // 1 stands for the whole frame; a part comes as a region in screen coordinates.
    HRGN part = nullptr;
    if (area != FrameArea(w)) {
        const POINT origin = WindowOrigin(w);
        area.Offset(origin.x, origin.y);
        part = MakeRegionHandle(std::move(area));
    }
    Deliver(w, WM_NCPAINT, part ? WPARAM(part) : 1, 0);
    if (part) FreeRegionHandle(part);
}

void EraseNow(TWindow* w) {
    if (!w->erasePending || w->update.IsEmpty()) return;
    w->erasePending = false;
    const HDC dc = MakeTarget(w, w->update & VisibleRegion(w));
    const bool lifted = LiftCaret(w);
    Deliver(w, WM_ERASEBKGND, WPARAM(dc), 0);
    if (lifted) RestoreCaret();
    Targets().Remove(dc);
}

LRESULT EraseWithClassBrush(TWindow* w, HDC dc) {
    const TDeviceTarget* target = DeviceTargetOf(dc);
    const auto index = w->cls ? SysColorBrushIndex(w->cls->background) : std::nullopt;
    if (!target || !index) return 0;
    FillTarget(*target, PixelOf(GetSysColor(*index)));
    return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || !paint) return nullptr;
    TWindowHold hold(w);
    PaintFrameNow(w);
    if (!LocalWindow(hwnd)) return nullptr;
    const TRegion area = w->update;
    w->update = TRegion();
    w->internalPaint = false;
    w->painted = true;
    NotePaintState(w);
    w->caretLifted = LiftCaret(w);
    const HDC dc = MakeTarget(w, area & VisibleRegion(w));
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = area.Bounds();
    if (w->erasePending) {
        w->erasePending = false;
        paint->fErase = Deliver(w, WM_ERASEBKGND, WPARAM(dc), 0) == 0;
    }
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    const TDeviceTarget* target = DeviceTargetOf(paint->hdc);
    if (!target || target->window != hwnd) return FALSE;
    if (TWindow* w = LocalWindow(hwnd)) {
        target->surface->dirty |= target->clip;
        if (w->caretLifted) {
            w->caretLifted = false;
            RestoreCaret();
        }
    }
    Targets().Remove(paint->hdc);
    return TRUE;
}
