// Auto-scroll of a drop target: while the cursor rests near an edge of a
// target with scroll bars, the target scrolls a line every 50 ms.

#include "controls/dragdrop/DropTarget.h"

#include "platform/rtl/Clock.h"
#include "platform/ui/Timer.h"
#include "platform/win/User.h"
#include "platform/win/input/Input.h"
#include "platform/win/nc/ScrollBars.h"

namespace {

bool PointInZone(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

} // namespace

void TCustomDropTarget::SetUpAutoScroll() {
    horizontalBar_ = verticalBar_ = false;
    if (!AutoScroll || !currentTarget_) return;
    const LONG style = GetWindowLongW(currentTarget_->Handle(), GWL_STYLE);
    horizontalBar_ = (style & WS_HSCROLL) != 0;
    verticalBar_ = (style & WS_VSCROLL) != 0;
    if (!horizontalBar_ && !verticalBar_) return;
    RECT client{};
    GetClientRect(currentTarget_->Handle(), &client);
    const int dy = verticalBar_ ? 2 * GetSystemMetrics(SM_CYHSCROLL) : 0;
    const int dx = horizontalBar_ ? 2 * GetSystemMetrics(SM_CXHSCROLL) : 0;
    noScrollZone_ = TRect{client.left + dx, client.top + dy, client.right - dx, client.bottom - dy};
}

bool TCustomDropTarget::MouseRests(POINT screen) { return mouseSpeed_.Slow(screen, GetTickCount()); }

void TCustomDropTarget::ControlScrollTimer(DWORD effect, POINTL screen) {
    const bool slow = MouseRests(POINT{screen.x, screen.y});
    if (!(effect & DROPEFFECT_SCROLL)) {
        StopScrollTimer();
        return;
    }
    if (!scrollTimer_->Enabled()) scrollTimer_->SetInterval(kScrollDelay);
    scrollTimer_->SetEnabled(slow);
}

void TCustomDropTarget::StopScrollTimer() { scrollTimer_->SetEnabled(false); }

void TCustomDropTarget::HandleScroll(TPoint point, TScrollDirections& scroll, int& interval) {
    if (OnScroll) OnScroll(this, point, scroll, interval);
}

TScrollDirections TCustomDropTarget::ScrollWanted() {
    TScrollDirections scroll;
    POINT cursor{};
    if (!currentTarget_ || PointInZone(noScrollZone_, lastPoint_) || !GetCursorPos(&cursor) || !MouseRests(cursor))
        return scroll;
    const HWND target = currentTarget_->Handle();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (verticalBar_ && GetScrollInfo(target, SB_VERT, &info)) {
        if (lastPoint_.Y < noScrollZone_.Top && info.nPos > info.nMin) scroll.Include(sdUp);
        if (lastPoint_.Y >= noScrollZone_.Bottom && info.nMax >= info.nPos + static_cast<int>(info.nPage))
            scroll.Include(sdDown);
    }
    if (horizontalBar_ && GetScrollInfo(target, SB_HORZ, &info)) {
        if (lastPoint_.X < noScrollZone_.Left && info.nPos > info.nMin) scroll.Include(sdLeft);
        if (lastPoint_.X >= noScrollZone_.Right && info.nMax >= info.nPos + static_cast<int>(info.nPage))
            scroll.Include(sdRight);
    }
    return scroll;
}

void TCustomDropTarget::ScrollStep() {
    StopScrollTimer();
    int interval = kScrollInterval;
    TScrollDirections scroll = ScrollWanted();
    if (!scroll.IsEmpty()) HandleScroll(lastPoint_, scroll, interval);
    if (scroll.IsEmpty() || !currentTarget_) return;
    const HWND target = currentTarget_->Handle();
    HideDragImage();
    try {
        if (scroll.Contains(sdUp))
            SendMessageW(target, WM_VSCROLL, SB_LINEUP, 0);
        else if (scroll.Contains(sdDown))
            SendMessageW(target, WM_VSCROLL, SB_LINEDOWN, 0);
        if (scroll.Contains(sdLeft))
            SendMessageW(target, WM_HSCROLL, SB_LINELEFT, 0);
        else if (scroll.Contains(sdRight))
            SendMessageW(target, WM_HSCROLL, SB_LINERIGHT, 0);
    } catch (...) {
        ShowDragImageAgain();
        throw;
    }
    ShowDragImageAgain();
    scrollTimer_->SetInterval(static_cast<uint32_t>(interval));
    scrollTimer_->SetEnabled(true);
}
