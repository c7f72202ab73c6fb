// The "msctls_trackbar32" class: a thumb sliding along a channel over a range
// of positions, with tick marks, a selection drawn in the channel and, with
// TBS_TOOLTIPS, a tool tip that follows the dragged thumb. Every change the
// user makes reaches the parent as WM_HSCROLL (WM_VSCROLL for TBS_VERT) with a
// TB_ code; each gesture ends with TB_ENDTRACK.

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/rtl/Conversions.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"

namespace {

// Room at both ends of the channel and along the sides.
constexpr int kInset = 8;
constexpr int kTrackMargin = 4;
// A tick is a line this long, this far from the thumb.
constexpr int kTickLength = 3;
constexpr int kTickGap = 2;
constexpr int kDefaultThumbLength = 20;
// Between the thumb and its tool tip.
constexpr int kTipGap = 2;
constexpr UINT_PTR kPageTimer = 1;
constexpr UINT kPageFirstDelay = 400;
constexpr UINT kPageRepeat = 100;

class TTrackBarWindow {
public:
    explicit TTrackBarWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    bool Vertical() const { return Style() & TBS_VERT; }
    bool TicksShown() const { return !(Style() & TBS_NOTICKS); }
    bool TicksBefore() const { return TicksShown() && (Style() & (TBS_TOP | TBS_BOTH)); }
    bool TicksAfter() const { return TicksShown() && (!(Style() & TBS_TOP) || (Style() & TBS_BOTH)); }

    // Geometry, in client coordinates; "along" is the channel's direction.
    int Extent() const;
    RECT ChannelRect() const;
    RECT ThumbRect() const;
    int ThumbWidth() const { return thumbLength_ / 2; }
    int ThumbTop() const { return kTrackMargin + (TicksBefore() ? kTickGap + kTickLength : 0); }
    // The pixel along the channel where the thumb's centre stands at Position.
    int PixelOf(int position) const;
    int PositionAt(int pixel) const;
    RECT Oriented(RECT r) const { return Vertical() ? RECT{r.top, r.left, r.bottom, r.right} : r; }
    int Along(POINT p) const { return Vertical() ? p.y : p.x; }

    void SetRange(int min, int max, bool redraw);
    int Clamp(int position) const { return std::clamp(position, min_, std::max(min_, max_)); }
    void SetPosition(int position, bool redraw);
    void MakeAutoTicks();
    std::vector<int> InnerTicks() const;
    int NumTicks() const;
    void SetSelection(int start, int end, bool redraw);

    void Scroll(WORD code, int position = 0);
    // A key's or a page click's move: the position changes and the parent learns how.
    void Step(WORD code);
    void PressAt(POINT p);
    void DragTo(POINT p);
    void Release();
    void PageTowardsPointer();

    void CreateToolTip();
    void ShowTip();
    void MoveTip();
    void HideTip();
    LRESULT AnswerTipText(NMTTDISPINFOW* info);
    TOOLINFOW TipTool() const;

    void Paint(HDC dc);
    void PaintChannel(HDC dc);
    void PaintTicks(HDC dc);
    void PaintTick(HDC dc, int pixel, int length);

    HWND hwnd_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int lineSize_ = 1;
    int pageSize_ = 20;
    int frequency_ = 1;
    std::vector<int> ticks_;
    int selStart_ = 0;
    int selEnd_ = 0;
    int thumbLength_ = kDefaultThumbLength;
    HWND tip_ = nullptr;
    bool ownTip_ = false;
    WPARAM tipSide_ = TBTS_TOP;
    // A drag of the thumb, with the pointer's distance from the thumb's centre.
    bool dragging_ = false;
    int grabOffset_ = 0;
    // Paging by a press on the channel, towards where the pointer is.
    bool paging_ = false;
    bool keyMoved_ = false;
};

int TTrackBarWindow::Extent() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    return Vertical() ? client.bottom : client.right;
}

RECT TTrackBarWindow::ChannelRect() const {
    const int depth = Style() & TBS_ENABLESELRANGE ? 6 : 4;
    const int top = ThumbTop() + (thumbLength_ - depth) / 2;
    return Oriented({kInset, top, std::max(kInset, Extent() - kInset), top + depth});
}

int TTrackBarWindow::PixelOf(int position) const {
    const RECT channel = Oriented(ChannelRect());
    const int first = channel.left + ThumbWidth() / 2;
    const int last = channel.right - (ThumbWidth() + 1) / 2;
    if (max_ <= min_ || last <= first) return first;
    return first + int((int64_t(Clamp(position)) - min_) * (last - first) / (int64_t(max_) - min_));
}

int TTrackBarWindow::PositionAt(int pixel) const {
    const RECT channel = Oriented(ChannelRect());
    const int first = channel.left + ThumbWidth() / 2;
    const int last = channel.right - (ThumbWidth() + 1) / 2;
    if (max_ <= min_ || last <= first) return min_;
    const int64_t span = int64_t(max_) - min_;
    const int64_t offset = std::clamp(pixel - first, 0, last - first);
    return Clamp(int(min_ + (offset * span + (last - first) / 2) / (last - first)));
}

RECT TTrackBarWindow::ThumbRect() const {
    const int centre = PixelOf(position_);
    const int left = centre - ThumbWidth() / 2;
    return Oriented({left, ThumbTop(), left + ThumbWidth(), ThumbTop() + thumbLength_});
}

void TTrackBarWindow::SetRange(int min, int max, bool redraw) {
    min_ = min;
    max_ = max;
    position_ = Clamp(position_);
    MakeAutoTicks();
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTrackBarWindow::SetPosition(int position, bool redraw) {
    position = Clamp(position);
    if (position == position_) return;
    position_ = position;
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTrackBarWindow::MakeAutoTicks() {
    if (!(Style() & TBS_AUTOTICKS)) return;
    ticks_.clear();
    if (frequency_ <= 0) return;
    for (int64_t p = int64_t(min_) + frequency_; p < max_; p += frequency_) ticks_.push_back(int(p));
}

std::vector<int> TTrackBarWindow::InnerTicks() const {
    std::vector<int> inner;
    for (int tick : ticks_)
        if (tick > min_ && tick < max_) inner.push_back(tick);
    std::sort(inner.begin(), inner.end());
    return inner;
}

int TTrackBarWindow::NumTicks() const { return TicksShown() ? int(InnerTicks().size()) + 2 : 0; }

void TTrackBarWindow::SetSelection(int start, int end, bool redraw) {
    selStart_ = start;
    selEnd_ = end;
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTrackBarWindow::Scroll(WORD code, int position) {
    SendMessageW(NotifyTarget(hwnd_), Vertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, WORD(position)),
                 LPARAM(hwnd_));
}

void TTrackBarWindow::Step(WORD code) {
    int target = position_;
    switch (code) {
    case TB_LINEUP: target -= lineSize_; break;
    case TB_LINEDOWN: target += lineSize_; break;
    case TB_PAGEUP: target -= pageSize_; break;
    case TB_PAGEDOWN: target += pageSize_; break;
    case TB_TOP: target = min_; break;
    case TB_BOTTOM: target = max_; break;
    }
    SetPosition(target, true);
    Scroll(code);
}

void TTrackBarWindow::PressAt(POINT p) {
    SetFocus(hwnd_);
    if (GetFocus() != hwnd_ && GetFocus() != nullptr) return;
    const RECT thumb = ThumbRect();
    SetCapture(hwnd_);
    const bool onThumb = p.x >= thumb.left && p.x < thumb.right && p.y >= thumb.top && p.y < thumb.bottom;
    if (onThumb && !(Style() & TBS_NOTHUMB)) {
        dragging_ = true;
        grabOffset_ = Along(p) - PixelOf(position_);
        ShowTip();
        return;
    }
    paging_ = true;
    PageTowardsPointer();
    SetTimer(hwnd_, kPageTimer, kPageFirstDelay, nullptr);
}

void TTrackBarWindow::PageTowardsPointer() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    // A page that would pass the pointer stops at it.
    const int pointer = PositionAt(Along(p));
    if (pointer < position_) {
        SetPosition(std::max(position_ - pageSize_, pointer), true);
        Scroll(TB_PAGEUP);
    } else if (pointer > position_) {
        SetPosition(std::min(position_ + pageSize_, pointer), true);
        Scroll(TB_PAGEDOWN);
    }
}

void TTrackBarWindow::DragTo(POINT p) {
    const int position = PositionAt(Along(p) - grabOffset_);
    if (position == position_) return;
    SetPosition(position, true);
    Scroll(TB_THUMBTRACK, position_);
    MoveTip();
}

void TTrackBarWindow::Release() {
    if (!dragging_ && !paging_) return;
    const bool dragged = dragging_;
    dragging_ = paging_ = false;
    KillTimer(hwnd_, kPageTimer);
    HideTip();
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (dragged) Scroll(TB_THUMBPOSITION, position_);
    Scroll(TB_ENDTRACK);
}

TOOLINFOW TTrackBarWindow::TipTool() const {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = hwnd_;
    tool.uId = UINT_PTR(hwnd_);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

void TTrackBarWindow::CreateToolTip() {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, u"tooltips_class32", nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                           0, 0, 0, hwnd_, nullptr, nullptr, nullptr);
    if (!tip_) return;
    ownTip_ = true;
    const TOOLINFOW tool = TipTool();
    SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
}

void TTrackBarWindow::ShowTip() {
    if (!tip_) return;
    MoveTip();
    const TOOLINFOW tool = TipTool();
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, LPARAM(&tool));
    MoveTip(); // placed again at the size of its text
}

void TTrackBarWindow::MoveTip() {
    if (!tip_) return;
    const TOOLINFOW tool = TipTool();
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, LPARAM(&tool));
    RECT tip;
    GetWindowRect(tip_, &tip);
    const int width = tip.right - tip.left;
    const int height = tip.bottom - tip.top;
    RECT thumb = ThumbRect();
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&thumb), 2);
    // Top and left put the tip above a horizontal bar's thumb, left of a vertical one's.
    const bool before = tipSide_ == TBTS_TOP || tipSide_ == TBTS_LEFT;
    POINT corner;
    if (Vertical()) {
        corner.x = before ? thumb.left - kTipGap - width : thumb.right + kTipGap;
        corner.y = (thumb.top + thumb.bottom) / 2 - height / 2;
    } else {
        corner.x = (thumb.left + thumb.right) / 2 - width / 2;
        corner.y = before ? thumb.top - kTipGap - height : thumb.bottom + kTipGap;
    }
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(WORD(corner.x), WORD(corner.y)));
}

void TTrackBarWindow::HideTip() {
    if (!tip_) return;
    const TOOLINFOW tool = TipTool();
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, LPARAM(&tool));
}

LRESULT TTrackBarWindow::AnswerTipText(NMTTDISPINFOW* info) {
    // The position unless the parent answers otherwise.
    const String number = IntToStr(position_);
    std::copy_n(number.c_str(), std::min(number.size() + 1, std::size(info->szText)), info->szText);
    return SendMessageW(NotifyTarget(hwnd_), WM_NOTIFY, info->hdr.idFrom, LPARAM(info));
}

void TTrackBarWindow::PaintTick(HDC dc, int pixel, int length) {
    auto line = [&](int from) {
        RECT tick = Oriented({pixel, from, pixel + 1, from + length});
        FillRect(dc, &tick, GetSysColorBrush(COLOR_BTNTEXT));
    };
    if (TicksBefore()) line(ThumbTop() - kTickGap - length);
    if (TicksAfter()) line(ThumbTop() + thumbLength_ + kTickGap);
}

void TTrackBarWindow::PaintTicks(HDC dc) {
    if (!TicksShown()) return;
    PaintTick(dc, PixelOf(min_), kTickLength + 1);
    for (int tick : InnerTicks()) PaintTick(dc, PixelOf(tick), kTickLength);
    PaintTick(dc, PixelOf(max_), kTickLength + 1);
}

void TTrackBarWindow::PaintChannel(HDC dc) {
    RECT channel = ChannelRect();
    DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &channel, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    if (!(Style() & TBS_ENABLESELRANGE) || selEnd_ <= selStart_) return;
    RECT selection = Oriented(channel);
    selection.left = std::max(selection.left, LONG(PixelOf(selStart_)));
    selection.right = std::min(selection.right, LONG(PixelOf(selEnd_) + 1));
    selection = Oriented(selection);
    FillRect(dc, &selection, GetSysColorBrush(COLOR_HIGHLIGHT));
}

void TTrackBarWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, ControlColorBrush(hwnd_, dc, WM_CTLCOLORSTATIC));
    PaintChannel(dc);
    PaintTicks(dc);
    if (!(Style() & TBS_NOTHUMB)) {
        RECT thumb = ThumbRect();
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (GetFocus() == hwnd_) DrawFocusRect(dc, &client);
}

LRESULT TTrackBarWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (Style() & TBS_TOOLTIPS) CreateToolTip();
        return 0;
    case WM_DESTROY:
        if (ownTip_ && tip_) DestroyWindow(tip_);
        tip_ = nullptr;
        return 0;
    case TBM_GETPOS: return position_;
    case TBM_SETPOS: SetPosition(int(lParam), wParam != 0); return 0;
    case TBM_GETRANGEMIN: return min_;
    case TBM_GETRANGEMAX: return max_;
    case TBM_SETRANGE: SetRange(SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam)), wParam != 0); return 0;
    case TBM_SETRANGEMIN: SetRange(int(lParam), max_, wParam != 0); return 0;
    case TBM_SETRANGEMAX: SetRange(min_, int(lParam), wParam != 0); return 0;
    case TBM_SETTICFREQ:
        frequency_ = int(wParam);
        MakeAutoTicks();
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case TBM_SETTIC:
        if (int(lParam) < min_ || int(lParam) > max_) return FALSE;
        if (std::find(ticks_.begin(), ticks_.end(), int(lParam)) == ticks_.end()) ticks_.push_back(int(lParam));
        InvalidateRect(hwnd_, nullptr, TRUE);
        return TRUE;
    case TBM_CLEARTICS:
        ticks_.clear();
        if (wParam) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case TBM_GETNUMTICS: return NumTicks();
    case TBM_GETTIC: {
        const std::vector<int> inner = InnerTicks();
        return wParam < inner.size() ? inner[wParam] : -1;
    }
    case TBM_GETTICPOS: {
        const std::vector<int> inner = InnerTicks();
        return wParam < inner.size() ? PixelOf(inner[wParam]) : -1;
    }
    case TBM_SETPAGESIZE: return std::exchange(pageSize_, int(lParam));
    case TBM_GETPAGESIZE: return pageSize_;
    case TBM_SETLINESIZE: return std::exchange(lineSize_, int(lParam));
    case TBM_GETLINESIZE: return lineSize_;
    case TBM_SETSEL: SetSelection(SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam)), wParam != 0); return 0;
    case TBM_SETSELSTART: SetSelection(int(lParam), selEnd_, wParam != 0); return 0;
    case TBM_SETSELEND: SetSelection(selStart_, int(lParam), wParam != 0); return 0;
    case TBM_GETSELSTART: return selStart_;
    case TBM_GETSELEND: return selEnd_;
    case TBM_CLEARSEL: SetSelection(0, 0, wParam != 0); return 0;
    case TBM_SETTHUMBLENGTH:
        if (Style() & TBS_FIXEDLENGTH) thumbLength_ = std::max(4, int(wParam));
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case TBM_GETTHUMBLENGTH: return thumbLength_;
    case TBM_GETTHUMBRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = ThumbRect();
        return 0;
    case TBM_GETCHANNELRECT:
        // Always along the bar's length, as a horizontal bar has it.
        if (lParam) *reinterpret_cast<RECT*>(lParam) = Oriented(ChannelRect());
        return 0;
    case TBM_SETTOOLTIPS:
        if (ownTip_ && tip_ && tip_ != HWND(wParam)) DestroyWindow(tip_);
        tip_ = HWND(wParam);
        ownTip_ = false;
        return 0;
    case TBM_GETTOOLTIPS: return LRESULT(tip_);
    case TBM_SETTIPSIDE: return std::exchange(tipSide_, wParam);
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == tip_ && header->code == TTN_GETDISPINFOW)
            return AnswerTipText(reinterpret_cast<NMTTDISPINFOW*>(lParam));
        return SendMessageW(NotifyTarget(hwnd_), message, wParam, lParam);
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: PressAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_MOUSEMOVE:
        if (dragging_) DragTo({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP: Release(); return 0;
    case WM_CAPTURECHANGED:
        if (HWND(lParam) != hwnd_) Release();
        return 0;
    case WM_TIMER:
        if (wParam != kPageTimer) break;
        if (paging_) {
            SetTimer(hwnd_, kPageTimer, kPageRepeat, nullptr);
            PageTowardsPointer();
        }
        return 0;
    case WM_KEYDOWN: {
        WORD code;
        switch (wParam) {
        case VK_LEFT:
        case VK_UP: code = TB_LINEUP; break;
        case VK_RIGHT:
        case VK_DOWN: code = TB_LINEDOWN; break;
        case VK_PRIOR: code = TB_PAGEUP; break;
        case VK_NEXT: code = TB_PAGEDOWN; break;
        case VK_HOME: code = TB_TOP; break;
        case VK_END: code = TB_BOTTOM; break;
        default: return 0;
        }
        Step(code);
        keyMoved_ = true;
        return 0;
    }
    case WM_KEYUP:
        if (keyMoved_) {
            keyMoved_ = false;
            Scroll(TB_ENDTRACK);
        }
        return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace

LRESULT TrackBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TTrackBarWindow>(hwnd, message, wParam, lParam);
}
