#include "platform/ui/Hints.h"

#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"

RTL_PUBLISHED_NONE(THintWindow);

namespace {

// Inside the one-pixel border, around the text.
constexpr int kTextMargin = 2;
constexpr int kBorder = 1;
constexpr UINT_PTR kHintTimer = 1;

TClass hintWindowClass = nullptr;

bool PointIn(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

TRect Offset(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

// The control whose hint shows for Control: itself or the nearest parent with ShowHint.
TControl* HintControlOf(TControl* control) {
    while (control && !control->ShowHint()) control = control->Parent();
    return control;
}

// The hint of the control or of its nearest parent that has one.
String HintOf(TControl* control) {
    for (; control; control = control->Parent())
        if (!control->Hint().empty()) return control->Hint();
    return String();
}

// How far below the pointer's hot spot the cursor reaches: the hint starts there.
int CursorHeightBelowHotSpot() {
    int height = GetSystemMetrics(SM_CYCURSOR);
    ICONINFO info{};
    if (HCURSOR cursor = GetCursor(); cursor && GetIconInfo(HICON(cursor), &info)) {
        height -= int(info.yHotspot);
        if (info.hbmMask) DeleteObject(ToGdiObject(info.hbmMask));
        if (info.hbmColor) DeleteObject(ToGdiObject(info.hbmColor));
    }
    return std::max(height, 0);
}

} // namespace

String GetShortHint(const String& hint) {
    const size_t bar = hint.find(u'|');
    return bar == String::npos ? hint : hint.substr(0, bar);
}

String GetLongHint(const String& hint) {
    const size_t bar = hint.find(u'|');
    return bar == String::npos ? hint : hint.substr(bar + 1);
}

TClass HintWindowClass() { return hintWindowClass ? hintWindowClass : THintWindow::StaticClass(); }

void SetHintWindowClass(TClass value) { hintWindowClass = value; }

// --- THintWindow -------------------------------------------------------------------

UI_MESSAGE_MAP(THintWindow, t) { t.On<&THintWindow::WMNCHitTest>(WM_NCHITTEST); }

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetColor(clInfoBk);
    SetFont(Screen().HintFont());
    Canvas()->SetFont(Screen().HintFont());
    Canvas()->Brush()->SetStyle(bsClear);
}

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    params.WndParent = nullptr;
    params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::WMNCHitTest(TMessage& m) { m.Result = HTTRANSPARENT; }

TRect THintWindow::CalcHintRect(int maxWidth, const String& hint, void*) {
    TRect r{0, 0, maxWidth, 0};
    String text = hint;
    Canvas()->TextRect(r, text, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    const int frame = 2 * (kBorder + kTextMargin);
    return {0, 0, r.Right + frame, r.Bottom + frame};
}

void THintWindow::ActivateHint(TRect rect, const String& hint) {
    SetCaption(hint);
    rect = KeepInWorkArea(rect);
    SetWindowPos(Handle(), HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ActivateHintData(TRect rect, const String& hint, void*) { ActivateHint(rect, hint); }

TRect THintWindow::KeepInWorkArea(TRect rect) {
    // The work area's origin need not be the desktop's (0, 0): each side is
    // compared with the work area's own edge, the far ones first so that a
    // hint larger than the work area keeps its top-left corner visible.
    POINT pointer;
    GetCursorPos(&pointer);
    const TRect area = Screen().MonitorFromPoint({pointer.x, pointer.y}, mdNearest)->WorkareaRect();
    const int dx = std::max(area.Left, std::min(rect.Left, area.Right - rect.Width())) - rect.Left;
    const int dy = std::max(area.Top, std::min(rect.Top, area.Bottom - rect.Height())) - rect.Top;
    return Offset(rect, dx, dy);
}

bool THintWindow::IsHintMsg(const MSG& msg) {
    const UINT m = msg.message;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) ||
           (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) || m == WM_COMMAND || m == CM_ACTIVATE ||
           m == CM_DEACTIVATE || m == CM_APPKEYDOWN || m == CM_APPSYSCOMMAND;
}

void THintWindow::Paint() {
    TRect r = ClientRect();
    r.Left += kTextMargin;
    r.Top += kTextMargin;
    r.Right -= kTextMargin;
    r.Bottom -= kTextMargin;
    String text = Caption();
    Canvas()->Font()->SetColor(Screen().HintFont()->Color());
    Canvas()->TextRect(r, text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// --- THintManager ------------------------------------------------------------------

THintManager::THintManager(TApplication& application) : application_(application) {}

THintManager::~THintManager() { DeallocateHWnd(timerWindow_); }

void THintManager::MouseMessage(TControl* control, const TMessage& message) {
    TMessage move = message;
    const TPoint pointer = control->ClientToScreen(TWMMouse(move).Pos());
    TControl* target = HintControlOf(FindDragTarget(pointer, true));
    if (!target) return CancelHint();
    if (target == hintControl_ && PointIn(cursorRect_, pointer)) return;
    HideHint();
    if (!window_) WindowOfClass(HintWindowClass()); // its IsHintMsg decides from now on
    int pause = hintActive_ ? application_.HintShortPause() : application_.HintPause();
    target->Perform(CM_HINTSHOWPAUSE, WPARAM(hintActive_), LPARAM(&pause));
    hintControl_ = target;
    cursorRect_ = {};
    if (pause >= 0)
        StartTimer(pause, TTimerMode::Show);
    else
        StopTimer();
}

bool THintManager::IsHintMsg(const MSG& msg) {
    if (!hintControl_ || !window_ || !window_->IsHintMsg(msg)) return false;
    CancelHint();
    return true;
}

void THintManager::CancelHint() {
    if (!hintControl_) return;
    HideHint();
    hintControl_ = nullptr;
    hintActive_ = false;
    StopTimer();
}

void THintManager::ControlDestroyed(TControl* control) {
    if (control == hintControl_) CancelHint();
}

void THintManager::ShowHint() {
    hintActive_ = false;
    POINT p;
    GetCursorPos(&p);
    const TPoint pointer{p.x, p.y};
    THintInfo info;
    const bool stillThere = application_.ShowHint() && hintControl_ &&
                            hintControl_ == HintControlOf(FindDragTarget(pointer, false));
    if (stillThere) {
        TControl* control = hintControl_;
        const TPoint origin = control->ClientOrigin();
        const TPoint parentOrigin = control->Parent() ? control->Parent()->ClientOrigin() : TPoint{};
        info.HintControl = control;
        info.HintWindowClass = HintWindowClass();
        info.HintPos = {pointer.X, pointer.Y + CursorHeightBelowHotSpot()};
        info.HintMaxWidth = Screen().Width();
        info.HintColor = application_.HintColor();
        info.CursorRect = Offset(control->BoundsRect(), parentOrigin.X - origin.X, parentOrigin.Y - origin.Y);
        info.CursorPos = control->ScreenToClient(pointer);
        info.HideTimeout = application_.HintHidePause();
        info.HintStr = GetShortHint(HintOf(control));
        bool canShow = control->Perform(CM_HINTSHOW, 0, LPARAM(&info)) == 0;
        if (canShow && application_.OnShowHint) application_.OnShowHint(info.HintStr, canShow, info);
        // The handlers may have cancelled the hint or freed its control.
        hintActive_ = canShow && hintControl_ == control;
        if (hintActive_ && !info.HintStr.empty()) {
            THintWindow& window = WindowOfClass(info.HintWindowClass);
            window.SetColor(info.HintColor);
            const TRect size = window.CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
            window.ActivateHintData(Offset(size, info.HintPos.X, info.HintPos.Y), info.HintStr, info.HintData);
            const TPoint shownOrigin = control->ClientOrigin();
            cursorRect_ = Offset(info.CursorRect, shownOrigin.X, shownOrigin.Y);
            if (info.ReshowTimeout > 0)
                StartTimer(info.ReshowTimeout, TTimerMode::Show);
            else
                StartTimer(info.HideTimeout, TTimerMode::Hide);
            return;
        }
    }
    if (info.ReshowTimeout > 0)
        StartTimer(info.ReshowTimeout, TTimerMode::Show);
    else
        CancelHint();
}

void THintManager::HideHint() {
    if (window_ && window_->HandleAllocated() && IsWindowVisible(window_->Handle()))
        ShowWindow(window_->Handle(), SW_HIDE);
}

THintWindow& THintManager::WindowOfClass(TClass cls) {
    if (!cls || !cls->InheritsFrom(THintWindow::StaticClass())) cls = THintWindow::StaticClass();
    if (!window_ || window_->ClassType() != cls) {
        window_.reset();
        window_.reset(static_cast<THintWindow*>(cls->CreateComponent(nullptr)));
    }
    return *window_;
}

void THintManager::StartTimer(int ms, TTimerMode mode) {
    if (!timerWindow_)
        timerWindow_ = AllocateHWnd([this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_TIMER) return std::nullopt;
            TimerExpired();
            return 0;
        });
    timerMode_ = mode;
    if (SetTimer(timerWindow_, kHintTimer, UINT(ms), nullptr) == 0) CancelHint();
}

void THintManager::StopTimer() {
    if (timerWindow_) KillTimer(timerWindow_, kHintTimer);
}

void THintManager::TimerExpired() {
    StopTimer();
    if (timerMode_ == TTimerMode::Hide)
        HideHint();
    else
        ShowHint();
}
