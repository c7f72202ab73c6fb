#include "platform/ui/stdctrls/Panel.h"

#include <algorithm>

#include "platform/ui/stdctrls/Frame3D.h"
#include "platform/win/User.h"

RTL_PUBLISHED_NONE(TCustomPanel);

RTL_PUBLISHED(TPanel, c) {
    c.Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
    c.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
    c.Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    c.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
    c.Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
    c.Property("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle).Default(kNoBorder);
    c.Property("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint).Default(true);
    c.Property("OnMouseDown", &TPanel::OnMouseDown, &TPanel::OnMouseDown);
    c.Property("OnMouseMove", &TPanel::OnMouseMove, &TPanel::OnMouseMove);
    c.Property("OnMouseUp", &TPanel::OnMouseUp, &TPanel::OnMouseUp);
}

UI_MESSAGE_MAP(TCustomPanel, t) {
    t.On<&TCustomPanel::CMTextChanged>(CM_TEXTCHANGED);
    t.On<&TCustomPanel::CMCtl3DChanged>(CM_CTL3DCHANGED);
    t.On<&TCustomPanel::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                     csReplicatable});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
    if (bevelInner_ == value) return;
    bevelInner_ = value;
    Redraw();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    if (bevelOuter_ == value) return;
    bevelOuter_ = value;
    Redraw();
}

void TCustomPanel::SetBevelWidth(int value) {
    value = std::max(1, value);
    if (bevelWidth_ == value) return;
    bevelWidth_ = value;
    Redraw();
}

void TCustomPanel::SetBorderWidth(int value) {
    value = std::max(0, value);
    if (borderWidth_ == value) return;
    borderWidth_ = value;
    Redraw();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomPanel::Redraw() {
    Realign();
    Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    AddBorderStyle(params, borderStyle_, Ctl3D());
    // Resizes repaint what they need themselves (WMWindowPosChanged).
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::FrameSize() const {
    int size = borderWidth_;
    if (bevelOuter_ != bvNone) size += bevelWidth_;
    if (bevelInner_ != bvNone) size += bevelWidth_;
    return size;
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
    TCustomControl::AdjustClientRect(rect);
    const int size = FrameSize();
    rect = {rect.Left + size, rect.Top + size, rect.Right - size, rect.Bottom - size};
}

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        const bool lowered = cut == bvLowered;
        Frame3D(canvas, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow,
                bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(canvas, r, Color(), Color(), borderWidth_);
    bevel(bevelInner_);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    const String caption = Caption();
    if (caption.empty()) return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    const UINT align = alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
    String text = caption;
    canvas->TextRect(r, text, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | align);
}

void TCustomPanel::CMTextChanged(TMessage&) { Invalidate(); }

void TCustomPanel::CMCtl3DChanged(TMessage& m) {
    InheritedMessage(m);
    if (borderStyle_ == kSingleBorder) RecreateWnd();
}

void TCustomPanel::WMWindowPosChanged(TMessage& m) {
    InheritedMessage(m);
    if (!HandleAllocated()) return;
    const TRect client = ClientRect();
    const TSize size{client.Width(), client.Height()};
    if (size == paintedSize_) return;
    if (fullRepaint_ || !Caption().empty()) {
        Invalidate();
    } else if (const int frame = FrameSize(); frame > 0) {
        // The bevels along the old and the new right and bottom edges.
        const int right = std::min(size.cx, paintedSize_.cx), bottom = std::min(size.cy, paintedSize_.cy);
        const RECT column{right - frame, 0, size.cx, size.cy};
        const RECT row{0, bottom - frame, size.cx, size.cy};
        InvalidateRect(Handle(), &column, TRUE);
        InvalidateRect(Handle(), &row, TRUE);
    }
    paintedSize_ = size;
}
