#include <atomic>

#include "platform/win/core/Hooks.h"
#include "platform/win/message/Messages.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/PaintInternal.h"

namespace {

std::atomic<HWND> lockedWindow{nullptr};

TRegion ClientArea(const TWindow* w) { return TRegion(RECT{0, 0, w->ClientWidth(), w->ClientHeight()}); }

// The whole window in its client coordinates.
TRegion WholeWindow(const TWindow* w) {
    return TRegion(RECT{-w->client.left, -w->client.top, w->Width() - w->client.left, w->Height() - w->client.top});
}

// What a window covers in its parent's client area.
TRegion Footprint(const TWindow* w) {
    if (!w->shape) return TRegion(w->rect);
    TRegion shape = *w->shape & TRegion(RECT{0, 0, w->Width(), w->Height()});
    shape.Offset(w->rect.left, w->rect.top);
    return shape;
}

// Rect or Region (client coordinates) or, without both, the whole window.
TRegion AreaOf(const TWindow* w, const RECT* rect, HRGN region) {
    if (region) {
        const TRegion* r = RegionOfHandle(region);
        return r ? *r : TRegion();
    }
    return rect ? TRegion(*rect) : WholeWindow(w);
}

bool ChildrenTakePart(const TWindow* w, UINT flags) {
    return (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
}

// Sends WM_PAINT to W and then to its descendants that need it.
void PaintTree(TWindow* w, bool children) {
    const HWND hwnd = w->handle;
    if (PaintSuppressed(w) || !VisibleDeep(w)) return;
    if (NeedsPaint(w)) {
        w->painted = false;
        Deliver(w, WM_PAINT, 0, 0);
        if (!LocalWindow(hwnd)) return;
        if (!w->painted && NeedsPaint(w))
            RedrawWindow(hwnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    }
    if (!children) return;
    std::vector<HWND> kids;
    for (TWindow* c = w->children.first; c; c = c->below) kids.push_back(c->handle);
    for (HWND h : kids)
        if (TWindow* c = LocalWindow(h)) PaintTree(c, true);
}

void EraseTree(TWindow* w, bool children) {
    const HWND hwnd = w->handle;
    PaintFrameNow(w);
    if (!LocalWindow(hwnd)) return;
    EraseNow(w);
    if (!children) return;
    std::vector<HWND> kids;
    for (TWindow* c = w->children.first; c; c = c->below) kids.push_back(c->handle);
    for (HWND h : kids)
        if (TWindow* c = LocalWindow(h)) EraseTree(c, true);
}

TWindow* FindToPaint(TWindow* first) {
    for (TWindow* w = first; w; w = w->below) {
        if (!(w->style & WS_VISIBLE) || PaintSuppressed(w)) continue;
        if (NeedsPaint(w)) return w;
        if (TWindow* child = FindToPaint(w->children.first)) return child;
    }
    return nullptr;
}

} // namespace

bool NeedsPaint(const TWindow* w) noexcept {
    return !w->update.IsEmpty() || w->internalPaint || !w->frameUpdate.IsEmpty();
}

void NotePaintState(TWindow* w) noexcept {
    const bool needs = NeedsPaint(w) && w->Alive();
    if (needs == w->countedForPaint) return;
    w->countedForPaint = needs;
    w->queue->paintPending += needs ? 1 : -1;
}

bool PaintSuppressed(const TWindow* w) noexcept {
    const HWND locked = lockedWindow.load(std::memory_order_relaxed);
    for (; w && !IsRoot(w); w = w->parent)
        if (w->redrawOff || w->handle == locked) return true;
    return false;
}

TRegion VisibleWindowRegion(TWindow* w) {
    if (!VisibleDeep(w)) return TRegion();
    TRegion visible = Footprint(w);
    visible.Offset(-w->rect.left, -w->rect.top);
    const POINT origin = WindowOrigin(w);
    for (TWindow* c = w; !IsTopLevel(c); c = c->parent) {
        TWindow* parent = c->parent;
        const POINT at = ClientOrigin(parent);
        TRegion parentArea = ClientArea(parent);
        if (parent->shape) {
            TRegion shape = *parent->shape;
            shape.Offset(-parent->client.left, -parent->client.top);
            parentArea &= shape;
        }
        parentArea.Offset(at.x - origin.x, at.y - origin.y);
        visible &= parentArea;
        if (c->style & WS_CLIPSIBLINGS)
            for (TWindow* s = c->above; s; s = s->above)
                if (s->style & WS_VISIBLE) {
                    TRegion sibling = Footprint(s);
                    sibling.Offset(at.x - origin.x, at.y - origin.y);
                    visible -= sibling;
                }
    }
    return visible;
}

TRegion VisibleRegion(TWindow* w) {
    TRegion visible = VisibleWindowRegion(w);
    visible.Offset(-w->client.left, -w->client.top);
    visible &= ClientArea(w);
    if (w->style & WS_CLIPCHILDREN)
        for (TWindow* c = w->children.first; c; c = c->below)
            if (c->style & WS_VISIBLE) visible -= Footprint(c);
    return visible;
}

void Invalidate(TWindow* w, const TRegion& area, UINT flags) {
    if (!VisibleDeep(w) || !w->Alive()) return;
    const TRegion inside = area & ClientArea(w);
    if (flags & (RDW_FRAME | RDW_NOFRAME)) {
        TRegion frame = area;
        frame.Offset(w->client.left, w->client.top);
        frame &= FrameArea(w);
        if ((flags & RDW_INVALIDATE) && (flags & RDW_FRAME)) w->frameUpdate |= frame;
        if ((flags & RDW_VALIDATE) && (flags & RDW_NOFRAME)) w->frameUpdate -= frame;
    }
    if ((flags & RDW_INVALIDATE) && !inside.IsEmpty()) {
        w->update |= inside;
        if (flags & RDW_ERASE) w->erasePending = true;
    }
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
    if (flags & RDW_VALIDATE) {
        w->update -= inside;
        if (w->update.IsEmpty()) w->erasePending = false;
    }
    if (flags & RDW_NOERASE) w->erasePending = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    NotePaintState(w);
    if (!ChildrenTakePart(w, flags)) return;
    for (TWindow* c = w->children.first; c; c = c->below) {
        TRegion part = inside;
        part.Offset(-c->rect.left - c->client.left, -c->rect.top - c->client.top);
        // Children decide for their own children by their own style, unless all are asked for.
        Invalidate(c, part, flags & ~RDW_NOCHILDREN);
    }
}

bool FindPaintMessage(TQueue& queue, const TMessageFilter& filter, MSG& msg) {
    if (queue.paintPending == 0) return false;
    TWindow* w = nullptr;
    if (filter.window) {
        if (!PaintSuppressed(filter.window) && VisibleDeep(filter.window))
            w = NeedsPaint(filter.window) ? filter.window : FindToPaint(filter.window->children.first);
    } else if (!filter.hwnd) {
        w = FindToPaint(queue.tops.first);
    }
    if (!w) return false;
    msg = MSG{w->handle, WM_PAINT, 0, 0, GetTickCount(), CursorPosition()};
    return true;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    std::vector<HWND> targets;
    if (!hwnd) {
        CollectTopLevel(targets);
        flags |= RDW_ALLCHILDREN; // the desktop's children are the top-level windows
    } else {
        if (!WindowOrError(hwnd)) return FALSE;
        targets.push_back(hwnd);
    }
    for (HWND h : targets) {
        TWindow* w = LocalWindow(h);
        if (!w) continue;
        if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT | RDW_NOERASE))
            Invalidate(w, hwnd ? AreaOf(w, rect, region) : WholeWindow(w), flags);
        const bool children = ChildrenTakePart(w, flags);
        if (flags & RDW_UPDATENOW)
            PaintTree(w, children);
        else if (flags & RDW_ERASENOW)
            EraseTree(w, children);
    }
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!rect) return RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
    if (region && !RegionOfHandle(region)) return FALSE;
    return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) { return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN); }

BOOL ValidateRgn(HWND hwnd, HRGN region) {
    if (region && !RegionOfHandle(region)) return FALSE;
    return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    if (erase) EraseNow(w);
    if (rect) *rect = w->update.Bounds();
    return !w->update.IsEmpty();
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
    TWindow* w = WindowOrError(hwnd);
    TRegion* target = RegionOfHandle(region);
    if (!w || !target) return RGN_ERROR;
    if (erase) EraseNow(w);
    *target = w->update;
    return target->Complexity();
}

BOOL UpdateWindow(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    PaintTree(w, true);
    return TRUE;
}

BOOL LockWindowUpdate(HWND hwnd) {
    if (hwnd) {
        if (!WindowOrError(hwnd)) return FALSE;
        HWND expected = nullptr;
        return lockedWindow.compare_exchange_strong(expected, hwnd);
    }
    const HWND locked = lockedWindow.exchange(nullptr);
    if (TWindow* w = LocalWindow(locked))
        Invalidate(w, WholeWindow(w), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

void RepaintShown(TWindow* w) {
    if (IsTopLevel(w)) SurfaceFor(w);
    Invalidate(w, WholeWindow(w), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void RepaintUncovered(TWindow* parent, const RECT& rect) {
    if (IsRoot(parent)) return; // top-level windows do not share pixels
    Invalidate(parent, TRegion(rect), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void RepaintMoved(TWindow* w, const RECT& oldRect) {
    const bool sized = w->Width() != oldRect.right - oldRect.left || w->Height() != oldRect.bottom - oldRect.top;
    if (!IsTopLevel(w)) {
        RepaintUncovered(w->parent, oldRect);
        Invalidate(w, WholeWindow(w), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return;
    }
    if (!sized) return;
    Invalidate(w, WholeWindow(w) - ClientArea(w), RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    const int oldWidth = oldRect.right - oldRect.left, oldHeight = oldRect.bottom - oldRect.top;
    const int oldClientWidth = w->ClientWidth() - (w->Width() - oldWidth);
    const int oldClientHeight = w->ClientHeight() - (w->Height() - oldHeight);
    const UINT classStyle = w->cls ? w->cls->style : 0;
    const bool whole = ((classStyle & CS_HREDRAW) && oldWidth != w->Width()) ||
                       ((classStyle & CS_VREDRAW) && oldHeight != w->Height());
    TRegion fresh = ClientArea(w);
    if (!whole) fresh -= TRegion(RECT{0, 0, oldClientWidth, oldClientHeight});
    Invalidate(w, fresh, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void RepaintFrameChanged(TWindow* w, bool clientChanged) {
    const UINT flags = RDW_INVALIDATE | RDW_FRAME;
    if (clientChanged)
        Invalidate(w, WholeWindow(w), flags | RDW_ERASE | RDW_ALLCHILDREN);
    else
        Invalidate(w, WholeWindow(w) - ClientArea(w), flags | RDW_NOCHILDREN);
}

void ForgetPaint(TWindow* w) {
    w->update = TRegion();
    w->frameUpdate = TRegion();
    w->internalPaint = false;
    w->erasePending = false;
    NotePaintState(w);
    HWND expected = w->handle;
    lockedWindow.compare_exchange_strong(expected, nullptr);
}
