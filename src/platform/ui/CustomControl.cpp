#include "platform/ui/CustomControl.h"

#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"

RTL_PUBLISHED_NONE(TControlCanvas);
RTL_PUBLISHED_NONE(TCustomControl);
RTL_PUBLISHED_NONE(TGraphicControl);

// --- TControlCanvas ----------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
    if (control_ == control) return;
    FreeHandle();
    control_ = control;
}

void TControlCanvas::FreeHandle() {
    if (!dc_) return;
    SetHandle(nullptr);
    ReleaseDC(window_, dc_);
    dc_ = nullptr;
    window_ = nullptr;
}

void TControlCanvas::CreateHandle() {
    if (!control_) return;
    if (auto* windowed = dynamic_cast<TWinControl*>(control_)) {
        window_ = windowed->Handle();
        dc_ = GetDC(window_);
    } else {
        TWinControl* parent = control_->Parent();
        if (!parent) return;
        window_ = parent->Handle();
        dc_ = GetDC(window_);
        const TRect r = control_->BoundsRect();
        SetWindowOrgEx(dc_, -r.Left, -r.Top, nullptr);
        IntersectClipRect(dc_, 0, 0, r.Width(), r.Height());
    }
    SetHandle(dc_);
    UpdateTextFlags();
}

void TControlCanvas::PaintOn(HDC dc, const std::function<void()>& paint) {
    Lock();
    try {
        FreeHandle();
        SetHandle(dc);
        UpdateTextFlags();
        paint();
    } catch (...) {
        SetHandle(nullptr);
        Unlock();
        throw;
    }
    SetHandle(nullptr);
    Unlock();
}

void TControlCanvas::UpdateTextFlags() {
    if (!control_) return;
    const bool rightToLeft = control_->BiDiMode() == bdRightToLeft || control_->BiDiMode() == bdRightToLeftReadingOnly;
    SetTextFlags(rightToLeft ? (TextFlags() | ETO_RTLREADING) : (TextFlags() & ~int(ETO_RTLREADING)));
}

// --- TCustomControl -------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
    canvas_->FreeHandle();
}

void TCustomControl::DestroyWnd() {
    canvas_->FreeHandle();
    TWinControl::DestroyWnd();
}

void TCustomControl::PaintWindow(HDC dc) { canvas_->PaintOn(dc, [this] { Paint(); }); }

// --- TGraphicControl ---------------------------------------------------------------------

UI_MESSAGE_MAP(TGraphicControl, t) { t.On<&TGraphicControl::WMPaint>(WM_PAINT); }

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() { canvas_->FreeHandle(); }

void TGraphicControl::WMPaint(TMessage& m) {
    if (m.WParam) canvas_->PaintOn(reinterpret_cast<HDC>(m.WParam), [this] { Paint(); });
}
