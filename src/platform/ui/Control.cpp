#include "platform/ui/Control.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ControlActionLink.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Forms.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/WinControl.h"
#include "platform/win/User.h"

RTL_PUBLISHED(TSizeConstraints, c) {
    c.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    c.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    c.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    c.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TSizeConstraints*>(source);
    if (!other) return TPersistent::Assign(source);
    minHeight_ = other->minHeight_;
    maxHeight_ = other->maxHeight_;
    minWidth_ = other->minWidth_;
    maxWidth_ = other->maxWidth_;
    if (OnChange) OnChange(this);
}

void TSizeConstraints::Set(int& field, int value) {
    if (field == value) return;
    field = value;
    // A maximum below the minimum pulls the minimum down, and the reverse.
    if (&field == &maxHeight_ && maxHeight_ > 0 && maxHeight_ < minHeight_) minHeight_ = maxHeight_;
    if (&field == &maxWidth_ && maxWidth_ > 0 && maxWidth_ < minWidth_) minWidth_ = maxWidth_;
    if (&field == &minHeight_ && maxHeight_ > 0 && minHeight_ > maxHeight_) maxHeight_ = minHeight_;
    if (&field == &minWidth_ && maxWidth_ > 0 && minWidth_ > maxWidth_) maxWidth_ = minWidth_;
    if (OnChange) OnChange(this);
}

RTL_PUBLISHED(TControl, c) {
    c.Property("Left", &TControl::Left, &TControl::SetLeft);
    c.Property("Top", &TControl::Top, &TControl::SetTop);
    c.Property("Width", &TControl::Width, &TControl::SetWidth);
    c.Property("Height", &TControl::Height, &TControl::SetHeight);
    c.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    c.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
    c.Property("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    c.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    c.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    c.Property("Color", &TControl::Color, &TControl::SetColor)
        .OfType(TColorTypeInfo())
        .Stored(&TControl::IsColorStored);
    c.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    c.Property("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
    c.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    c.Property("Caption", &TControl::Caption, &TControl::SetCaption);
    c.Property("Hint", &TControl::Hint, &TControl::SetHint);
    c.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored);
    c.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    c.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
    c.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    c.Property("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Stored(&TControl::IsBiDiModeStored);
    c.Property("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);
    c.Property("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
    c.Property("Action", &TControl::Action, &TControl::SetAction);
    c.Property("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
    c.Property("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Default(crDrag);
    c.Property("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
    c.Property("OnClick", &TControl::OnClick, &TControl::OnClick);
    c.Property("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
    c.Property("OnResize", &TControl::OnResize, &TControl::OnResize);
    c.Property("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag);
    c.Property("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver);
    c.Property("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop);
    c.Property("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag);
}

namespace {

IControlObserver* controlObserver = nullptr;
TControl* captureControl = nullptr;

bool PointIn(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

} // namespace

IControlObserver* SetControlObserver(IControlObserver* observer) { return std::exchange(controlObserver, observer); }

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState result;
    if (keys & MK_SHIFT) result.Include(ssShift);
    if (keys & MK_CONTROL) result.Include(ssCtrl);
    if (keys & MK_LBUTTON) result.Include(ssLeft);
    if (keys & MK_RBUTTON) result.Include(ssRight);
    if (keys & MK_MBUTTON) result.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
    return result;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState result;
    if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
    return result;
}

TCustomForm* GetParentForm(TControl* control, bool topForm) {
    TCustomForm* found = nullptr;
    for (TControl* c = control; c; c = c->Parent()) {
        if (auto* form = dynamic_cast<TCustomForm*>(c)) {
            found = form;
            if (!topForm) break;
        }
    }
    return found;
}

// --- TControl --------------------------------------------------------------------

const TMessageTable& TControl::ClassMessages() {
    static const TMessageTable table(nullptr, +[](TMessageTable::TBuilder<TControl>& t) {
        t.On<&TControl::WMLButtonDown>(WM_LBUTTONDOWN);
        t.On<&TControl::WMLButtonUp>(WM_LBUTTONUP);
        t.On<&TControl::WMLButtonDblClk>(WM_LBUTTONDBLCLK);
        t.On<&TControl::WMRButtonDown>(WM_RBUTTONDOWN);
        t.On<&TControl::WMRButtonUp>(WM_RBUTTONUP);
        t.On<&TControl::WMRButtonDblClk>(WM_RBUTTONDBLCLK);
        t.On<&TControl::WMMButtonDown>(WM_MBUTTONDOWN);
        t.On<&TControl::WMMButtonUp>(WM_MBUTTONUP);
        t.On<&TControl::WMMButtonDblClk>(WM_MBUTTONDBLCLK);
        t.On<&TControl::WMMouseMove>(WM_MOUSEMOVE);
        t.On<&TControl::WMMouseWheel>(WM_MOUSEWHEEL);
        t.On<&TControl::WMContextMenu>(WM_CONTEXTMENU);
        t.On<&TControl::WMCancelMode>(WM_CANCELMODE);
        t.On<&TControl::CMVisibleChanged>(CM_VISIBLECHANGED);
        t.On<&TControl::CMEnabledChanged>(CM_ENABLEDCHANGED);
        t.On<&TControl::CMFontChanged>(CM_FONTCHANGED);
        t.On<&TControl::CMColorChanged>(CM_COLORCHANGED);
        t.On<&TControl::CMParentFontChanged>(CM_PARENTFONTCHANGED);
        t.On<&TControl::CMParentColorChanged>(CM_PARENTCOLORCHANGED);
        t.On<&TControl::CMParentShowHintChanged>(CM_PARENTSHOWHINTCHANGED);
        t.On<&TControl::CMParentBiDiModeChanged>(CM_PARENTBIDIMODECHANGED);
        t.On<&TControl::CMHitTest>(CM_HITTEST);
        t.On<&TControl::CMMouseEnter>(CM_MOUSEENTER);
        t.On<&TControl::CMMouseLeave>(CM_MOUSELEAVE);
        t.On<&TControl::CMMouseWheel>(CM_MOUSEWHEEL);
        t.On<&TControl::CMDrag>(CM_DRAG);
    });
    return table;
}

TControl::TControl(TComponent* owner)
    : TComponent(owner), constraints_(std::make_unique<TSizeConstraints>(this)), font_(std::make_unique<TFont>()) {
    windowProc_ = [this](TMessage& m) { WndProc(m); };
    font_->OnChange = [this](TObject*) { FontChanged(); };
    constraints_->OnChange = [this](TObject*) { SetBounds(left_, top_, width_, height_); };
}

TControl::~TControl() {
    Destroying();
    if (controlObserver) controlObserver->ControlDestroyed(this);
    if (captureControl == this) SetCaptureControl(nullptr);
    DragControlDestroyed(this);
    if (parent_) SetParent(nullptr);
    font_->OnChange = nullptr;
}

void TControl::SetWindowProc(TWindowProc value) {
    windowProc_ = value ? std::move(value) : TWindowProc([this](TMessage& m) { WndProc(m); });
}

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
    TMessage m{message, wParam, lParam, 0};
    windowProc_(m);
    return m.Result;
}

void TControl::Dispatch(TMessage& message) { DispatchFrom(Messages(), message); }

void TControl::DispatchFrom(const TMessageTable& table, TMessage& message) {
    if (TMessageHandler handler = table.Find(message.Msg))
        handler(this, message);
    else
        DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char16_t*>(message.LParam);
        const size_t capacity = message.WParam;
        if (!buffer || capacity == 0) {
            message.Result = 0;
            return;
        }
        const size_t n = std::min(text_.size(), capacity - 1);
        std::copy_n(text_.data(), n, buffer);
        buffer[n] = 0;
        message.Result = LRESULT(n);
        return;
    }
    case WM_GETTEXTLENGTH: message.Result = LRESULT(text_.size()); return;
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const char16_t*>(message.LParam);
        text_ = text ? String(text) : String();
        message.Result = 1;
        return;
    }
    default: return;
    }
}

void TControl::WndProc(TMessage& message) {
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) {
        if (!controlStyle_.Contains(csDoubleClicks)) {
            switch (message.Msg) {
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK: message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
            default: break;
            }
        }
        switch (message.Msg) {
        case WM_MOUSEMOVE:
            if (controlObserver) controlObserver->MouseMessage(this, message);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (dragMode_ == dmAutomatic && dragKind_ == dkDrag) {
                BeginAutoDrag();
                return;
            }
            controlState_.Include(csLButtonDown);
            break;
        case WM_LBUTTONUP: controlState_.Exclude(csLButtonDown); break;
        default: break;
        }
    }
    Dispatch(message);
}

// --- Parent and bounds -------------------------------------------------------------

void TControl::SetParent(TWinControl* value) {
    if (parent_ == value) return;
    if (value == this) throw EInvalidOperation(LoadResString(SControlParentSetToSelf));
    if (parent_) parent_->RemoveControl(this);
    if (value) value->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetBounds(int left, int top, int width, int height) {
    ApplyConstraints(width, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    InvalidateControl(visible_, false);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    UpdateAnchorRules();
    Invalidate();
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
    RequestAlign();
    if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
    left_ = r.Left;
    top_ = r.Top;
    width_ = r.Width();
    height_ = r.Height();
    UpdateAnchorRules();
}

TControl::TSizeLimits TControl::SizeLimits() {
    TSizeLimits l{constraints_->MinWidth(), constraints_->MinHeight(), constraints_->MaxWidth(),
                  constraints_->MaxHeight()};
    ConstrainedResize(l.minWidth, l.minHeight, l.maxWidth, l.maxHeight);
    return l;
}

void TControl::ApplyConstraints(int& width, int& height) {
    const TSizeLimits l = SizeLimits();
    if (l.maxWidth > 0 && width > l.maxWidth) width = l.maxWidth;
    if (l.minWidth > 0 && width < l.minWidth) width = l.minWidth;
    if (l.maxHeight > 0 && height > l.maxHeight) height = l.maxHeight;
    if (l.minHeight > 0 && height < l.minHeight) height = l.minHeight;
}

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    if (OnConstrainedResize) OnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

TRect TControl::ClientRect() { return {0, 0, width_, height_}; }

void TControl::SetClientWidth(int value) { SetWidth(width_ - ClientWidth() + value); }
void TControl::SetClientHeight(int value) { SetHeight(height_ - ClientHeight() + value); }

TPoint TControl::ClientOrigin() {
    if (!parent_) throw EInvalidOperation(Format(LoadResString(SParentRequired), {Name()}));
    const TPoint origin = parent_->ClientOrigin();
    return {origin.X + left_, origin.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint point) {
    const TPoint origin = ClientOrigin();
    return {point.X + origin.X, point.Y + origin.Y};
}

TPoint TControl::ScreenToClient(TPoint point) {
    const TPoint origin = ClientOrigin();
    return {point.X - origin.X, point.Y - origin.Y};
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

// --- Visibility --------------------------------------------------------------------

void TControl::SetVisible(bool value) {
    if (visible_ == value) return;
    VisibleChanging();
    visible_ = value;
    Perform(CM_VISIBLECHANGED, value);
    RequestAlign();
}

void TControl::Show() {
    if (parent_) parent_->ShowControl(this);
    SetVisible(true);
}

bool TControl::Showing() { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque)); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

// --- Alignment -------------------------------------------------------------------

void TControl::SetAlign(TAlign value) {
    if (align_ == value) return;
    const TAlign old = align_;
    align_ = value;
    anchors_ = value == alNone || value == alCustom ? anchors_ : TAnchors{akLeft, akTop};
    if (!ComponentState().Contains(csLoading) && old != alNone && value == alNone) {
        // Leaving alignment keeps the last bounds and makes them the anchors' base.
        UpdateAnchorRules();
    }
    RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
    if (anchors_ == value) return;
    anchors_ = value;
    if (!ComponentState().Contains(csLoading)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!parent_ || controlState_.Contains(csAligning)) return;
    if (anchors_ == TAnchors{akLeft, akTop}) {
        originalParentSize_ = {};
        return;
    }
    const TRect client = parent_->ClientRect();
    originalParentSize_ = {client.Width(), client.Height()};
    // Right anchor without left: the distance to the right edge; with both
    // the control stretches and keeps its width's surplus.
    anchorRules_.X = anchors_.Contains(akRight) && !anchors_.Contains(akLeft)
                         ? left_
                         : (anchors_.Contains(akLeft) || anchors_.Contains(akRight) ? width_ : left_ + width_ / 2);
    anchorRules_.Y = anchors_.Contains(akBottom) && !anchors_.Contains(akTop)
                         ? top_
                         : (anchors_.Contains(akTop) || anchors_.Contains(akBottom) ? height_ : top_ + height_ / 2);
}

void TControl::RequestAlign() {
    if (parent_) parent_->AlignControl(this);
}

void TControl::SetAutoSize(bool value) {
    if (autoSize_ == value) return;
    autoSize_ = value;
    if (value) AdjustSize();
}

void TControl::AdjustSize() {
    if (!ComponentState().Contains(csLoading)) DoAutoSize();
}

bool TControl::CanAutoSize(int&, int&) { return false; }

void TControl::DoAutoSize() {
    if (!autoSize_ || controlState_.Contains(csAligning)) return;
    int width = width_, height = height_;
    if (!CanAutoSize(width, height)) return;
    // An aligned control keeps the extent its alignment gives it.
    if (align_ == alTop || align_ == alBottom || align_ == alClient) width = width_;
    if (align_ == alLeft || align_ == alRight || align_ == alClient) height = height_;
    SetBounds(left_, top_, width, height);
}

// --- Appearance --------------------------------------------------------------------

void TControl::FontChanged() {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (parentFont_ == value) return;
    parentFont_ = value;
    if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& m) {
    if (!parentFont_) return;
    TFont* source = m.WParam ? reinterpret_cast<TFont*>(m.LParam) : (parent_ ? parent_->Font() : nullptr);
    if (source) SetFont(source);
    parentFont_ = true;
}

void TControl::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& m) {
    if (!parentColor_) return;
    if (m.WParam)
        SetColor(TColor(m.LParam));
    else if (parent_)
        SetColor(parent_->Color());
    parentColor_ = true;
}

String TControl::Text() { return GetText(); }

String TControl::GetText() {
    const auto length = size_t(Perform(WM_GETTEXTLENGTH));
    String result(length + 1, u'\0');
    const auto copied = size_t(Perform(WM_GETTEXT, result.size(), LPARAM(result.data())));
    result.resize(std::min(copied, length));
    return result;
}

void TControl::SetText(const String& value) {
    if (GetText() == value) return;
    SetTextValue(value);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetTextValue(const String& value) { Perform(WM_SETTEXT, 0, LPARAM(value.c_str())); }

void TControl::SetShowHint(bool value) {
    if (showHint_ == value) return;
    showHint_ = value;
    parentShowHint_ = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
    if (parentShowHint_ == value) return;
    parentShowHint_ = value;
    if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (!parentShowHint_ || !parent_) return;
    SetShowHint(parent_->ShowHint());
    parentShowHint_ = true;
}

void TControl::SetBiDiMode(TBiDiMode value) {
    if (biDiMode_ == value) return;
    biDiMode_ = value;
    parentBiDiMode_ = false;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
    if (parentBiDiMode_ == value) return;
    parentBiDiMode_ = value;
    if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
    if (!parentBiDiMode_ || !parent_) return;
    SetBiDiMode(parent_->BiDiMode());
    parentBiDiMode_ = true;
}

void TControl::SetCursor(TCursor value) {
    if (cursor_ == value) return;
    cursor_ = value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* value) {
    if (popupMenu_ == value) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = value;
    if (value) value->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (parent_) {
        if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
        if (parentFont_) Perform(CM_PARENTFONTCHANGED);
        if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
        if (parentBiDiMode_) Perform(CM_PARENTBIDIMODECHANGED);
    }
    UpdateAnchorRules();
    RequestAlign();
}

void TControl::ScaleBy(int multiplier, int divider) {
    if (multiplier != divider) ChangeScale(multiplier, divider);
}

void TControl::ChangeScale(int multiplier, int divider) {
    if (multiplier == divider) return;
    auto scale = [&](int v) { return v * multiplier / divider; };
    SetBounds(scale(left_), scale(top_), scale(left_ + width_) - scale(left_), scale(top_ + height_) - scale(top_));
    if (!parentFont_) font_->SetSize(scale(font_->Size()));
}

// --- Painting ----------------------------------------------------------------------

void TControl::SetZOrder(bool topMost) {
    if (!parent_) return;
    parent_->MoveGraphicControl(this, topMost);
    InvalidateControl(visible_, true);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
    if (parent_->redrawDeferred_) {
        parent_->redrawNeeded_ = true;
        return;
    }
    const RECT r{left_, top_, left_ + width_, top_ + height_};
    InvalidateRect(parent_->Handle(), &r, !(isOpaque || parent_->DoubleBuffered()));
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
    if (!controlStyle_.Contains(csOpaque)) {
        Invalidate();
        Update();
        return;
    }
    HDC dc = GetDC(parent_->Handle());
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    parent_->PaintControls(dc, this);
    RestoreDC(dc, saved);
    ReleaseDC(parent_->Handle(), dc);
}

// --- Mouse -------------------------------------------------------------------------

TControl* TControl::CaptureControl() {
    TControl* result = FindControl(GetCapture());
    if (result && captureControl && captureControl->parent_ == result) result = captureControl;
    return result;
}

void TControl::SetCaptureControl(TControl* control) {
    ReleaseCapture();
    captureControl = nullptr;
    if (!control) return;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) {
        if (!control->parent_) return;
        captureControl = control;
        windowed = control->parent_;
    }
    SetCapture(windowed->Handle());
}

bool TControl::MouseCapture() const { return CaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
    if (MouseCapture() == value) return;
    SetCaptureControl(value ? this : nullptr);
}

void TControl::SendCancelMode(TControl* sender) {
    for (TControl* c = this; c; c = c->parent_)
        if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SendCancelMode(sender);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
    else if (actionLink_)
        actionLink_->Execute(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState shift) {
    if (controlStyle_.Contains(csNoStdEvents)) return;
    const TWMMouse mouse(m);
    MouseDown(button, KeysToShiftState(mouse.Keys()) + shift, mouse.XPos(), mouse.YPos());
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
    if (controlStyle_.Contains(csNoStdEvents)) return;
    const TWMMouse mouse(m);
    MouseUp(button, KeysToShiftState(mouse.Keys()), mouse.XPos(), mouse.YPos());
}

void TControl::ClickIfInside(TMessage& m) {
    if (!controlState_.Contains(csClicked)) return;
    controlState_.Exclude(csClicked);
    if (PointIn(ClientRect(), TWMMouse(m).Pos())) Click();
}

void TControl::WMLButtonDown(TMessage& m) {
    SendCancelMode(this);
    InheritedMessage(m);
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
    DoMouseDown(m, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& m) {
    SendCancelMode(this);
    InheritedMessage(m);
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (controlStyle_.Contains(csClickEvents)) DblClick();
    DoMouseDown(m, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& m) {
    InheritedMessage(m);
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
    ClickIfInside(m);
    DoMouseUp(m, mbLeft);
}

void TControl::WMRButtonDown(TMessage& m) {
    InheritedMessage(m);
    DoMouseDown(m, mbRight, {});
}

void TControl::WMRButtonUp(TMessage& m) {
    InheritedMessage(m);
    DoMouseUp(m, mbRight);
}

void TControl::WMRButtonDblClk(TMessage& m) {
    InheritedMessage(m);
    DoMouseDown(m, mbRight, {ssDouble});
}

void TControl::WMMButtonDown(TMessage& m) {
    InheritedMessage(m);
    DoMouseDown(m, mbMiddle, {});
}

void TControl::WMMButtonUp(TMessage& m) {
    InheritedMessage(m);
    DoMouseUp(m, mbMiddle);
}

void TControl::WMMButtonDblClk(TMessage& m) {
    InheritedMessage(m);
    DoMouseDown(m, mbMiddle, {ssDouble});
}

void TControl::WMMouseMove(TMessage& m) {
    InheritedMessage(m);
    if (controlStyle_.Contains(csNoStdEvents)) return;
    const TWMMouse mouse(m);
    MouseMove(KeysToShiftState(mouse.Keys()), mouse.XPos(), mouse.YPos());
}

void TControl::WMMouseWheel(TMessage& m) { m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam); }

void TControl::CMMouseWheel(TMessage& m) {
    const TCMMouseWheel wheel(m);
    m.Result = 0;
    if (DoMouseWheel(KeysToShiftState(wheel.Keys()), wheel.WheelDelta(), wheel.Pos()))
        m.Result = 1;
    else if (parent_)
        m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled) return true;
    // Notches add up; each whole one is a step up or down.
    wheelAccumulator_ += wheelDelta;
    while (std::abs(wheelAccumulator_) >= WHEEL_DELTA) {
        const bool down = wheelAccumulator_ < 0;
        wheelAccumulator_ += down ? WHEEL_DELTA : -WHEEL_DELTA;
        handled = down ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
    if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::WMContextMenu(TMessage& m) {
    if (m.Result != 0) return;
    TPoint screen = TWMContextMenu(m).Pos();
    const bool fromKeyboard = screen.X == -1 && screen.Y == -1;
    bool handled = false;
    DoContextPopup(fromKeyboard ? TPoint{-1, -1} : ScreenToClient(screen), handled);
    m.Result = handled;
    if (handled) return;
    // The nearest menu up the parent chain.
    TPopupMenu* menu = nullptr;
    for (TControl* c = this; c && !menu; c = c->parent_) menu = c->popupMenu_;
    if (menu && menu->AutoPopup()) {
        SendCancelMode(nullptr);
        menu->SetPopupComponent(this);
        if (fromKeyboard) screen = ClientToScreen({0, 0});
        menu->Popup(screen.X, screen.Y);
        m.Result = 1;
    }
    if (m.Result == 0) InheritedMessage(m);
}

void TControl::WMCancelMode(TMessage& m) {
    InheritedMessage(m);
    if (MouseCapture()) SetMouseCapture(false);
}

void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }

void TControl::CMMouseEnter(TMessage& m) {
    if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : LPARAM(this));
}

void TControl::CMMouseLeave(TMessage& m) {
    if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : LPARAM(this));
}
