#include <algorithm>
#include <cstring>

#include "platform/win/input/Caret.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/window/Windows.h"

namespace {

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Copies the source of every destination rectangle (surface coordinates),
// rows in the order that reads each row before it is overwritten.
void MovePixels(TSurface& surface, const TRegion& destination, int dx, int dy) {
    const std::vector<RECT>& rects = destination.Rects();
    const auto copy = [&](const RECT& r) {
        const size_t bytes = size_t(r.right - r.left) * sizeof(uint32_t);
        const bool fullRows = r.left == 0 && r.right == surface.width && dx == 0;
        if (fullRows) {
            std::memmove(surface.Row(r.top), surface.Row(r.top - dy), bytes * size_t(r.bottom - r.top));
            return;
        }
        if (dy > 0)
            for (int y = r.bottom - 1; y >= r.top; --y) std::memmove(surface.Row(y) + r.left, surface.Row(y - dy) + r.left - dx, bytes);
        else
            for (int y = r.top; y < r.bottom; ++y) std::memmove(surface.Row(y) + r.left, surface.Row(y - dy) + r.left - dx, bytes);
    };
    // Rectangles whose source lies in another destination rectangle are done
    // after it has been read: bottom up when moving down, right to left when moving right.
    if (dy > 0 || (dy == 0 && dx > 0))
        for (auto it = rects.rbegin(); it != rects.rend(); ++it) copy(*it);
    else
        for (const RECT& r : rects) copy(r);
}

} // namespace

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return RGN_ERROR;
    TRegion* updateRegion = update ? RegionOfHandle(update) : nullptr;
    if (update && !updateRegion) return RGN_ERROR;
    TWindowHold hold(w);
    const RECT client{0, 0, w->ClientWidth(), w->ClientHeight()};
    const RECT scrollRect = scroll ? Intersect(*scroll, client) : client;
    const RECT clipRect = clip ? Intersect(*clip, client) : client;
    const TRegion area = TRegion(scrollRect) & TRegion(clipRect);

    const bool lifted = LiftCaret(w);
    const TRegion shown = area & VisibleRegion(w);
    TRegion moved = shown;
    moved.Offset(dx, dy);
    moved &= shown;
    TRegion uncovered = shown - moved;

    if (!moved.IsEmpty()) {
        TSurface& surface = SurfaceFor(w);
        const POINT origin = SurfaceOrigin(w);
        TRegion target = moved;
        target.Offset(origin.x, origin.y);
        MovePixels(surface, target, dx, dy);
        surface.dirty |= target;
    }

    // What waited to be painted moves with the pixels.
    const TRegion pending = w->update & area;
    if (!pending.IsEmpty()) {
        TRegion shifted = pending;
        shifted.Offset(dx, dy);
        w->update = (w->update - pending) | (shifted & area);
    }
    if (flags & SW_INVALIDATE) Invalidate(w, uncovered, RDW_INVALIDATE | (flags & SW_ERASE ? RDW_ERASE : 0));
    NotePaintState(w);

    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> children;
        for (TWindow* c = w->children.first; c; c = c->below)
            if (!scroll || !(TRegion(c->rect) & TRegion(scrollRect)).IsEmpty()) children.push_back(c->handle);
        for (HWND h : children)
            if (TWindow* c = LocalWindow(h))
                SetWindowPos(h, nullptr, c->rect.left + dx, c->rect.top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (lifted) RestoreCaret();
    if (updateRegion) *updateRegion = uncovered;
    if (updateRect) *updateRect = uncovered.Bounds();
    return uncovered.Complexity();
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
    const UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != RGN_ERROR;
}
