#include "platform/win/nc/Frame.h"

#include <algorithm>

#include "platform/win/core/Tree.h"
#include "platform/win/nc/ScrollGeometry.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

bool Contains(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }
bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Classic widths: a sizing frame, else a dialog frame, else a border line.
int OuterFrame(const TWindow* w) {
    if (IsDecorated(w)) return 0;
    const DWORD style = w->style;
    if ((style & WS_THICKFRAME) && (style & (WS_DLGFRAME | WS_BORDER)) != WS_DLGFRAME)
        return GetSystemMetrics(SM_CXFRAME);
    if ((w->exStyle & WS_EX_DLGMODALFRAME) || (style & WS_DLGFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
    return style & WS_BORDER ? GetSystemMetrics(SM_CXBORDER) : 0;
}

int InnerEdges(const TWindow* w) {
    return (w->exStyle & WS_EX_STATICEDGE ? GetSystemMetrics(SM_CXBORDER) : 0) +
           (w->exStyle & WS_EX_CLIENTEDGE ? GetSystemMetrics(SM_CXEDGE) : 0);
}

// One row until the menu code measures its items.
int MenuBarHeight(const TWindow* w) {
    return w->menu && !w->IsChild() ? GetSystemMetrics(SM_CYMENU) : 0;
}

void Deflate(RECT& r, int by) {
    r.left += by;
    r.top += by;
    r.right -= by;
    r.bottom -= by;
}

} // namespace

bool IsDecorated(const TWindow* w) noexcept {
    return IsTopLevel(w) && (!(w->style & WS_POPUP) || (w->style & WS_CAPTION) == WS_CAPTION);
}

RECT DefaultClientRect(const TWindow* w, const RECT& window) {
    RECT r = window;
    if (!(w->style & WS_MINIMIZE)) {
        Deflate(r, OuterFrame(w));
        r.top += MenuBarHeight(w);
        Deflate(r, InnerEdges(w));
        const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
        if ((w->style & WS_VSCROLL) && r.right - r.left >= cx) r.right -= cx;
        if ((w->style & WS_HSCROLL) && r.bottom - r.top >= cy) r.bottom -= cy;
    }
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

void SetClientArea(TWindow* w, const RECT& inParent) {
    RECT& c = w->client;
    c = RECT{inParent.left - w->rect.left, inParent.top - w->rect.top, inParent.right - w->rect.left,
             inParent.bottom - w->rect.top};
    c.right = std::max(c.right, c.left);
    c.bottom = std::max(c.bottom, c.top);
}

TFrameLayout FrameLayoutOf(const TWindow* w) {
    TFrameLayout l;
    l.window = RECT{0, 0, w->Width(), w->Height()};
    l.client = w->client;
    if (w->style & WS_MINIMIZE) return l;
    if (const int height = MenuBarHeight(w)) {
        const int frame = OuterFrame(w);
        l.menu = RECT{frame, frame, l.window.right - frame, frame + height};
    }
    const RECT& c = w->client;
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    const auto inside = [&](RECT r) {
        r.right = std::min(r.right, l.window.right);
        r.bottom = std::min(r.bottom, l.window.bottom);
        return IsEmptyRect(r) ? RECT{} : r;
    };
    if (w->style & WS_VSCROLL) l.vertical = inside(RECT{c.right, c.top, c.right + cx, c.bottom});
    if (w->style & WS_HSCROLL) l.horizontal = inside(RECT{c.left, c.bottom, c.right, c.bottom + cy});
    if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL))
        l.sizeBox = inside(RECT{c.right, c.bottom, c.right + cx, c.bottom + cy});
    return l;
}

TRegion FrameArea(const TWindow* w) { return TRegion(RECT{0, 0, w->Width(), w->Height()}) - TRegion(w->client); }

int DefaultHitTest(const TWindow* w, POINT pt) {
    const RECT screen = ScreenRect(w);
    const POINT at{pt.x - screen.left, pt.y - screen.top};
    const TFrameLayout l = FrameLayoutOf(w);
    if (!Contains(l.window, at) || (w->shape && !w->shape->Contains(at.x, at.y))) return HTNOWHERE;
    if (Contains(l.client, at)) return HTCLIENT;
    if (Contains(l.vertical, at)) return HTVSCROLL;
    if (Contains(l.horizontal, at)) return HTHSCROLL;
    if (Contains(l.sizeBox, at)) return HTGROWBOX;
    if (Contains(l.menu, at)) return HTMENU;
    return HTBORDER;
}

TScrollBarLook ScrollBarLookOf(const TWindow* w, int bar) {
    const TFrameLayout l = FrameLayoutOf(w);
    const TScrollBarData& data = w->scroll[bar];
    TScrollBarLook look;
    look.vertical = bar == SB_VERT;
    look.bar = look.vertical ? l.vertical : l.horizontal;
    look.enabled = (data.disabled & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH && !(w->style & WS_DISABLED);
    look.lineUpEnabled = look.enabled && !(data.disabled & ESB_DISABLE_LTUP);
    look.lineDownEnabled = look.enabled && !(data.disabled & ESB_DISABLE_RTDN);
    look.pressed = data.pressed;
    const RECT& r = look.bar;
    const TScrollMetrics m = MeasureScrollBar(look.vertical ? r.bottom - r.top : r.right - r.left, data,
                                              data.tracking ? data.trackPos : data.pos, look.enabled);
    if (m.thumb) {
        const int start = m.arrow + m.thumbOffset;
        look.thumb = look.vertical ? RECT{r.left, r.top + start, r.right, r.top + start + m.thumb}
                                   : RECT{r.left + start, r.top, r.left + start + m.thumb, r.bottom};
    }
    return look;
}

TFrameLook FrameLookOf(const TWindow* w) {
    TFrameLook look;
    const TFrameLayout l = FrameLayoutOf(w);
    look.window = l.window;
    look.client = l.client;
    if (!IsDecorated(w)) {
        const int frame = OuterFrame(w);
        look.thickFrame = frame == GetSystemMetrics(SM_CXFRAME) && (w->style & WS_THICKFRAME);
        look.dialogFrame = !look.thickFrame && frame == GetSystemMetrics(SM_CXDLGFRAME);
        look.border = frame == GetSystemMetrics(SM_CXBORDER);
    }
    look.staticEdge = (w->exStyle & WS_EX_STATICEDGE) != 0;
    look.clientEdge = (w->exStyle & WS_EX_CLIENTEDGE) != 0;
    look.hasVertical = !IsEmptyRect(l.vertical);
    look.hasHorizontal = !IsEmptyRect(l.horizontal);
    if (look.hasVertical) look.vertical = ScrollBarLookOf(w, SB_VERT);
    if (look.hasHorizontal) look.horizontal = ScrollBarLookOf(w, SB_HORZ);
    look.sizeBox = l.sizeBox;
    return look;
}
