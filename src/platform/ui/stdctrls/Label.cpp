#include "platform/ui/stdctrls/Label.h"

#include "platform/ui/Forms.h"
#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"

RTL_PUBLISHED_NONE(TCustomLabel);

RTL_PUBLISHED(TLabel, c) {
    c.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
    c.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
    c.Property("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
    c.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
    c.Property("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
    c.Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
    c.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
    c.Property("OnMouseDown", &TLabel::OnMouseDown, &TLabel::OnMouseDown);
    c.Property("OnMouseMove", &TLabel::OnMouseMove, &TLabel::OnMouseMove);
    c.Property("OnMouseUp", &TLabel::OnMouseUp, &TLabel::OnMouseUp);
}

UI_MESSAGE_MAP(TCustomLabel, t) {
    t.On<&TCustomLabel::CMTextChanged>(CM_TEXTCHANGED);
    t.On<&TCustomLabel::CMFontChanged>(CM_FONTCHANGED);
    t.On<&TCustomLabel::CMDialogChar>(CM_DIALOGCHAR);
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
    SetBounds(0, 0, 65, 17);
    autoSize_ = true;
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (layout_ == value) return;
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (wordWrap_ == value) return;
    wordWrap_ = value;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (showAccelChar_ == value) return;
    showAccelChar_ = value;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    if (Transparent() == value) return;
    SetControlStyle(value ? ControlStyle() - TControlStyle{csOpaque} : ControlStyle() + TControlStyle{csOpaque});
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
    if (focusControl_ == value) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = value;
    if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

UINT TCustomLabel::DrawFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    if (alignment_ == taCenter) flags |= DT_CENTER;
    return flags;
}

void TCustomLabel::DoDrawText(TCanvas* canvas, TRect& rect, UINT flags) {
    String text = LabelText();
    // An empty text (or a lone accelerator mark) still measures one line high.
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == u"&"))) text += u' ';
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    canvas->SetFont(Font());
    if (Enabled() || (flags & DT_CALCRECT)) {
        canvas->TextRect(rect, text, flags);
        return;
    }
    // Disabled: an embossed text, a light copy one pixel below and right of a shadowed one.
    TRect shifted{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
    String copy = text;
    canvas->Font()->SetColor(clBtnHighlight);
    canvas->TextRect(shifted, copy, flags);
    canvas->Font()->SetColor(clBtnShadow);
    canvas->TextRect(rect, text, flags);
}

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (!Transparent()) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(client);
    }
    canvas->Brush()->SetStyle(bsClear);
    TRect r = client;
    if (layout_ != tlTop) {
        TRect measured = client;
        DoDrawText(canvas, measured, DrawFlags() | DT_CALCRECT);
        const int offset = client.Height() - measured.Bottom;
        const int dy = layout_ == tlBottom ? offset : offset / 2;
        r.Top += dy;
        r.Bottom += dy;
    }
    DoDrawText(canvas, r, DrawFlags());
}

void TCustomLabel::AdjustSize() {
    if (!AutoSize() || ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) return;
    TRect r = ClientRect();
    const HDC dc = GetDC(nullptr);
    {
        TCanvas screen;
        screen.SetHandle(dc);
        DoDrawText(&screen, r, DrawFlags() | DT_CALCRECT);
    }
    ReleaseDC(nullptr, dc);
    int left = Left();
    if (alignment_ == taRightJustify) left += Width() - r.Right;
    SetBounds(left, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

void TCustomLabel::CMTextChanged(TMessage&) {
    Invalidate();
    AdjustSize();
}

void TCustomLabel::CMFontChanged(TMessage& m) {
    InheritedMessage(m);
    AdjustSize();
}

void TCustomLabel::CMDialogChar(TMessage& m) {
    if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(char16_t(TCMDialogChar(m).CharCode()), Caption()) &&
        focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}
