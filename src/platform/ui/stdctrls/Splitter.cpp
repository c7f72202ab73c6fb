#include "platform/ui/stdctrls/Splitter.h"

#include "platform/win/User.h"

RTL_PUBLISHED(TSplitter, c) {
    c.Property("Align", &TSplitter::Align, &TSplitter::SetAlign).Default(alLeft);
    c.Property("Cursor", &TSplitter::Cursor, &TSplitter::SetCursor).Default(crHSplit);
    c.Property("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
    c.Property("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap).Default(true);
    c.Property("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled).Default(false);
    c.Property("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
    c.Property("OnCanResize", &TSplitter::OnCanResize, &TSplitter::OnCanResize);
    c.Property("OnMoved", &TSplitter::OnMoved, &TSplitter::OnMoved);
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetAlign(alLeft);
    SetWidth(3);
}

void TSplitter::SetAlign(TAlign value) {
    TGraphicControl::SetAlign(value);
    if (Cursor() != crHSplit && Cursor() != crVSplit && Cursor() != crDefault) return;
    SetCursor(value == alTop || value == alBottom ? crVSplit : crHSplit);
}

void TSplitter::SetBeveled(bool value) {
    if (beveled_ == value) return;
    beveled_ = value;
    Invalidate();
}

void TSplitter::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
    if (!beveled_) return;
    TRect r = Horizontal() ? TRect{client.Left, client.Top + 2, client.Right - 2, client.Bottom - 2}
                           : TRect{client.Left + 2, client.Top, client.Right - 2, client.Bottom - 2};
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect({r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1});
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(r);
}

TControl* TSplitter::FindResizedControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    TPoint p{Left(), Top()};
    switch (Align()) {
    case alLeft: --p.X; break;
    case alRight: p.X += Width(); break;
    case alTop: --p.Y; break;
    case alBottom: p.Y += Height(); break;
    default: return nullptr;
    }
    const bool before = Align() == alLeft || Align() == alTop;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* control = parent->Controls(i);
        if (control == this || !control->Visible() || !control->Enabled()) continue;
        TRect r = control->BoundsRect();
        // A collapsed control still owns the line it sits on.
        if (r.Width() == 0) (before ? r.Left : r.Right) += before ? -1 : 1;
        if (r.Height() == 0) (before ? r.Top : r.Bottom) += before ? -1 : 1;
        if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return control;
    }
    return nullptr;
}

int TSplitter::SizeOf(const TControl* control) const { return Horizontal() ? control->Width() : control->Height(); }

int TSplitter::MaximumSize() const {
    TWinControl* parent = Parent();
    int size = (Horizontal() ? parent->ClientWidth() : parent->ClientHeight()) - minSize_;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const TControl* control = parent->Controls(i);
        if (!control->Visible()) continue;
        const TAlign align = control->Align();
        const bool sameAxis = Horizontal() ? align == alLeft || align == alRight : align == alTop || align == alBottom;
        if (sameAxis) size -= SizeOf(control);
    }
    return size + SizeOf(control_);
}

int TSplitter::RequestedSize(int x, int y) const {
    int delta = Horizontal() ? Left() + x - downPos_.X : Top() + y - downPos_.Y;
    if (Align() == alRight || Align() == alBottom) delta = -delta;
    const int size = startSize_ + delta;
    return size < minSize_ ? minSize_ : size > maxSize_ ? maxSize_ : size;
}

bool TSplitter::CanResize(int& newSize) {
    bool accept = true;
    if (OnCanResize) OnCanResize(this, newSize, accept);
    if (accept && autoSnap_ && newSize <= minSize_) newSize = 0;
    return accept;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    control_ = FindResizedControl();
    if (!control_) return;
    downPos_ = {Left() + x, Top() + y};
    startSize_ = SizeOf(control_);
    maxSize_ = MaximumSize();
    pendingSize_ = -1;
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!control_) return;
    int size = RequestedSize(x, y);
    if (!CanResize(size)) return;
    if (resizeStyle_ == rsNone)
        pendingSize_ = size;
    else
        Resize(size);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (control_ && button == mbLeft) {
        if (pendingSize_ >= 0) Resize(pendingSize_);
        control_ = nullptr;
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSplitter::Resize(int newSize) {
    if (newSize == SizeOf(control_)) return;
    TWinControl* parent = Parent();
    const TRect r = control_->BoundsRect();
    parent->DisableAlign();
    switch (Align()) {
    case alLeft: control_->SetBounds(r.Left, r.Top, newSize, r.Height()); break;
    case alTop: control_->SetBounds(r.Left, r.Top, r.Width(), newSize); break;
    case alRight: control_->SetBounds(r.Right - newSize, r.Top, newSize, r.Height()); break;
    case alBottom: control_->SetBounds(r.Left, r.Bottom - newSize, r.Width(), newSize); break;
    default: break;
    }
    parent->EnableAlign();
    parent->Update();
    if (OnMoved) OnMoved(this);
}
