#include "platform/win/nc/ScrollTracker.h"

#include <algorithm>

#include "platform/win/core/Tree.h"
#include "platform/win/message/Messages.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/nc/ScrollGeometry.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/window/Windows.h"

namespace {

bool Inside(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

class TScrollTrack {
public:
    TScrollTrack(TWindow* w, int bar, POINT pt)
        : w_(w), hwnd_(w->handle), bar_(bar), vertical_(IsVerticalBar(w, bar)), pointer_(pt) {
        if (bar == SB_CTL) {
            notify_ = w->IsChild() && !IsRoot(w->parent) ? w->parent->handle : nullptr;
            control_ = LPARAM(hwnd_);
        } else {
            notify_ = hwnd_;
        }
        message_ = vertical_ ? WM_VSCROLL : WM_HSCROLL;
    }

    void Run() {
        const TScrollMetrics m = Metrics();
        part_ = PartAt(pointer_, m);
        if (part_ == TScrollBarPart::None || !ArrowEnabled(part_)) return;
        Data().pressed = part_;
        if (part_ == TScrollBarPart::Thumb) {
            Data().tracking = true;
            Data().trackPos = Data().pos;
            grab_ = Along(pointer_) - (m.arrow + m.thumbOffset);
        } else {
            timer_ = SetTimer(nullptr, 0, kScrollFirstDelay, nullptr);
        }
        RedrawScrollBar(w_, bar_);
        if (part_ != TScrollBarPart::Thumb) Step();
        TModalLoopOptions options;
        options.capture = hwnd_;
        options.filter = [this](MSG& msg) { return Filter(msg); };
        if (LocalWindow(hwnd_)) RunModalLoop([this] { return released_ || !LocalWindow(hwnd_); }, options);
        if (timer_) KillTimer(nullptr, timer_);
        if (!LocalWindow(hwnd_)) return;
        Data().tracking = false;
        Data().pressed = TScrollBarPart::None;
        RedrawScrollBar(w_, bar_);
        Send(SB_ENDSCROLL);
    }

private:
    TScrollBarData& Data() { return w_->scroll[bar_]; }
    int Along(POINT pt) const {
        const RECT r = ScrollBarScreenRect(w_, bar_);
        return vertical_ ? pt.y - r.top : pt.x - r.left;
    }
    TScrollMetrics Metrics() {
        const RECT r = ScrollBarScreenRect(w_, bar_);
        const bool enabled = !(w_->style & WS_DISABLED) && (Data().disabled & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH;
        return MeasureScrollBar(vertical_ ? r.bottom - r.top : r.right - r.left, Data(),
                                Data().tracking ? Data().trackPos : Data().pos, enabled);
    }
    TScrollBarPart PartAt(POINT pt, const TScrollMetrics& m) const {
        return Inside(ScrollBarScreenRect(w_, bar_), pt) ? ScrollBarPartAt(m, Along(pt)) : TScrollBarPart::None;
    }
    bool ArrowEnabled(TScrollBarPart part) {
        if (part == TScrollBarPart::LineUp) return !(Data().disabled & ESB_DISABLE_LTUP);
        if (part == TScrollBarPart::LineDown) return !(Data().disabled & ESB_DISABLE_RTDN);
        return true;
    }

    void Send(WORD code, int pos = 0) {
        if (notify_) SendMessageW(notify_, message_, MAKEWPARAM(code, WORD(pos)), control_);
    }

    // One repeat of an arrow or page press, while the pointer is on the part.
    void Step() {
        if (PartAt(pointer_, Metrics()) != part_) return;
        switch (part_) {
        case TScrollBarPart::LineUp: Send(SB_LINEUP); break;
        case TScrollBarPart::LineDown: Send(SB_LINEDOWN); break;
        case TScrollBarPart::PageUp: Send(SB_PAGEUP); break;
        case TScrollBarPart::PageDown: Send(SB_PAGEDOWN); break;
        default: break;
        }
    }

    void Drag() {
        const TScrollMetrics m = Metrics();
        const int offset = std::clamp(Along(pointer_) - m.arrow - grab_, 0, std::max(m.track - m.thumb, 0));
        const int pos = ThumbPosition(m, Data(), offset);
        if (pos == Data().trackPos) return;
        Data().trackPos = pos;
        RedrawScrollBar(w_, bar_);
        Send(SB_THUMBTRACK, pos);
    }

    // The pointer's messages are the tracker's while it runs.
    bool Filter(MSG& msg) {
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer_) {
            if (!repeating_) {
                repeating_ = true;
                SetTimer(nullptr, timer_, kScrollRepeatDelay, nullptr);
            }
            Step();
            return true;
        }
        const bool mouse = (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                           (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
        if (!mouse) return false;
        pointer_ = msg.pt;
        if (msg.message == WM_LBUTTONUP) {
            released_ = true;
            if (part_ == TScrollBarPart::Thumb) Send(SB_THUMBPOSITION, Data().trackPos);
        } else if (msg.message == WM_MOUSEMOVE) {
            if (part_ == TScrollBarPart::Thumb) {
                Drag();
            } else {
                const TScrollBarPart shown = PartAt(pointer_, Metrics()) == part_ ? part_ : TScrollBarPart::None;
                if (shown != Data().pressed) {
                    Data().pressed = shown;
                    RedrawScrollBar(w_, bar_);
                }
            }
        }
        return true;
    }

    TWindow* w_;
    HWND hwnd_;
    int bar_;
    bool vertical_;
    POINT pointer_;
    HWND notify_ = nullptr;
    LPARAM control_ = 0;
    UINT message_ = 0;
    TScrollBarPart part_ = TScrollBarPart::None;
    int grab_ = 0;
    UINT_PTR timer_ = 0;
    bool repeating_ = false;
    bool released_ = false;
};

} // namespace

bool IsVerticalBar(const TWindow* w, int bar) noexcept {
    return bar == SB_CTL ? (w->style & SBS_VERT) != 0 : bar == SB_VERT;
}

RECT ScrollBarScreenRect(TWindow* w, int bar) {
    if (bar == SB_CTL) return ScreenClientRect(w);
    const TFrameLayout l = FrameLayoutOf(w);
    RECT r = bar == SB_VERT ? l.vertical : l.horizontal;
    const POINT origin = WindowOrigin(w);
    return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

void RedrawScrollBar(TWindow* w, int bar) {
    if (bar == SB_CTL) {
        Invalidate(w, TRegion(RECT{0, 0, w->ClientWidth(), w->ClientHeight()}), RDW_INVALIDATE);
        return;
    }
    const TFrameLayout l = FrameLayoutOf(w);
    TRegion area((bar == SB_VERT ? l.vertical : l.horizontal));
    area |= TRegion(l.sizeBox);
    area.Offset(-w->client.left, -w->client.top);
    Invalidate(w, area, RDW_INVALIDATE | RDW_FRAME);
}

void TrackScrollBar(TWindow* w, int bar, POINT pt) {
    if (w->style & WS_DISABLED) return;
    if (bar != SB_CTL && !(w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) return;
    TWindowHold hold(w);
    TScrollTrack(w, bar, pt).Run();
}
