#include "platform/win/paint/Surface.h"

#include <mutex>

#include "platform/win/core/Hooks.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/paint/PaintInternal.h"

void TMemoryPresenter::Present(HWND window, const TSurface&, std::span<const RECT> dirty) {
    frames.push_back(TFrame{window, std::vector<RECT>(dirty.begin(), dirty.end())});
}

void TMemoryPresenter::TopLevelChanged(HWND window, const TTopLevelState& state) { states[window] = state; }

void TMemoryPresenter::TopLevelDestroyed(HWND window) { states.erase(window); }

namespace {

std::mutex presenterMutex;
std::shared_ptr<IPresenter>& CurrentPresenter() {
    static auto* presenter = new std::shared_ptr<IPresenter>(std::make_shared<TMemoryPresenter>());
    return *presenter;
}

} // namespace

void SetPresenter(std::shared_ptr<IPresenter> presenter) {
    std::lock_guard lock(presenterMutex);
    CurrentPresenter() = presenter ? std::move(presenter) : std::make_shared<TMemoryPresenter>();
}

std::shared_ptr<IPresenter> Presenter() {
    std::lock_guard lock(presenterMutex);
    return CurrentPresenter();
}

TSurface& SurfaceFor(TWindow* w) {
    TWindow* top = RootWindow(w);
    if (!top->surface) {
        top->surface = std::make_unique<TSurface>();
        top->surface->Resize(top->Width(), top->Height());
    }
    return *top->surface;
}

POINT SurfaceOrigin(TWindow* w) noexcept {
    const POINT origin = ClientOrigin(w), top = WindowOrigin(RootWindow(w));
    return POINT{origin.x - top.x, origin.y - top.y};
}

void ResizeSurface(TWindow* w) { SurfaceFor(w).Resize(w->Width(), w->Height()); }

TTopLevelState TopLevelStateOf(HWND top) {
    TTopLevelState state;
    const TWindow* w = LocalWindow(top);
    if (!w || !IsTopLevel(w)) return state;
    state.visible = (w->style & WS_VISIBLE) != 0;
    state.rect = ScreenRect(w);
    state.style = w->style;
    state.exStyle = w->exStyle;
    state.owner = w->owner ? w->owner->handle : nullptr;
    state.title = w->text;
    state.alpha = w->exStyle & WS_EX_LAYERED ? w->alpha : 255;
    state.perPixelAlpha = w->perPixelAlpha;
    state.shaped = w->shape.has_value();
    if (w->shape) state.shape = *w->shape;
    state.bigIcon = w->bigIcon ? w->bigIcon : w->cls ? w->cls->icon : nullptr;
    state.smallIcon = w->smallIcon ? w->smallIcon : w->cls && w->cls->smallIcon ? w->cls->smallIcon : state.bigIcon;
    state.minTrackSize = SIZE{w->minTrackSize.x, w->minTrackSize.y};
    state.maxTrackSize = SIZE{w->maxTrackSize.x, w->maxTrackSize.y};
    return state;
}

void PresentTopLevelState(HWND top) {
    const TWindow* w = LocalWindow(top);
    if (w && IsTopLevel(w) && w->Alive()) Presenter()->TopLevelChanged(top, TopLevelStateOf(top));
}

TSurface* WindowSurface(HWND hwnd) {
    TWindow* w = LocalWindow(hwnd);
    return w && !IsRoot(w) ? &SurfaceFor(w) : nullptr;
}

void PresentPending() {
    TQueue* queue = CurrentQueueIfAny();
    if (!queue) return;
    std::shared_ptr<IPresenter> presenter;
    for (TWindow* top = queue->tops.first; top; top = top->below) {
        if (!top->surface || top->surface->dirty.IsEmpty() || !(top->style & WS_VISIBLE)) continue;
        if (!presenter) presenter = Presenter();
        const TRegion dirty = std::move(top->surface->dirty);
        top->surface->dirty = TRegion();
        presenter->Present(top->handle, *top->surface, dirty.Rects());
    }
}

void InvertCaret(TWindow* owner, const RECT& rect, bool gray) {
    TSurface& surface = SurfaceFor(owner);
    const POINT origin = SurfaceOrigin(owner);
    TRegion area = TRegion(rect) & VisibleRegion(owner);
    area.Offset(origin.x, origin.y);
    area &= TRegion(RECT{0, 0, surface.width, surface.height});
    for (const RECT& r : area.Rects())
        for (int y = r.top; y < r.bottom; ++y) {
            uint32_t* row = surface.Row(y);
            for (int x = r.left; x < r.right; ++x)
                if (!gray || ((x + y) & 1) == 0) row[x] ^= 0x00FFFFFF;
        }
    surface.dirty |= area;
}
