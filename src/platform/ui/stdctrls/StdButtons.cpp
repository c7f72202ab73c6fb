#include "platform/ui/stdctrls/StdButtons.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

// A colour request of the control's window, answered with its Font and Brush.
void AnswerColor(TWinControl& control, TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(control.Font()->Color()));
    SetBkColor(dc, ColorToRGB(control.Brush()->Color()));
    m.Result = reinterpret_cast<LRESULT>(control.Brush()->Handle());
}

DWORD LeftTextStyle(TAlignment alignment) { return alignment == taLeftJustify ? BS_LEFTTEXT : 0; }

} // namespace

// --- TButtonControl ----------------------------------------------------------------------

RTL_PUBLISHED(TButtonControl, c) {
    c.Property("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap).Default(false);
}

UI_MESSAGE_MAP(TButtonControl, t) {
    t.On<&TButtonControl::CNCtlColor>(CN_CTLCOLORBTN);
    t.On<&TButtonControl::CNCtlColor>(CN_CTLCOLORSTATIC);
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}

void TButtonControl::SetWordWrap(bool value) {
    if (wordWrap_ == value) return;
    wordWrap_ = value;
    RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"BUTTON");
    if (wordWrap_) params.Style |= BS_MULTILINE;
}

void TButtonControl::CNCtlColor(TMessage& m) { AnswerColor(*this, m); }

// --- TButton -----------------------------------------------------------------------------

RTL_PUBLISHED(TButton, c) {
    c.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    c.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    c.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
    c.Property("TabStop", &TButton::TabStop, &TButton::SetTabStop).Default(true);
}

UI_MESSAGE_MAP(TButton, t) {
    t.On<&TButton::CMDialogKey>(CM_DIALOGKEY);
    t.On<&TButton::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TButton::CMFocusChanged>(CM_FOCUSCHANGED);
    t.On<&TButton::CNCommand>(CN_COMMAND);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::SetDefault(bool value) {
    if (default_ == value) return;
    default_ = value;
    if (!HandleAllocated()) return;
    // Tell the form's buttons, so that the right one shows the default frame.
    TCustomForm* form = GetParentForm(this);
    TControl* focused = form ? form->ActiveControl() : nullptr;
    if (form) form->Perform(CM_FOCUSCHANGED, 0, LPARAM(focused));
}

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    TButtonControl::CreateWnd();
    active_ = default_;
    SetButtonStyle(active_);
}

void TButton::SetButtonStyle(bool isDefault) {
    if (!HandleAllocated()) return;
    const DWORD style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrW(Handle(), GWL_STYLE) & BS_TYPEMASK) != LONG_PTR(style))
        Perform(BM_SETSTYLE, style, 1);
}

void TButton::CMDialogKey(TMessage& m) {
    const WORD key = TCMDialogKey(m).CharCode();
    if (((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) && KeyboardStateToShiftState().IsEmpty() &&
        CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TButton::CMDialogChar(TMessage& m) {
    if (IsAccel(char16_t(TCMDialogChar(m).CharCode()), Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TButton::CMFocusChanged(TMessage& m) {
    TControl* focused = MessageControl(m);
    active_ = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    SetButtonStyle(active_);
    InheritedMessage(m);
}

void TButton::CNCommand(TMessage& m) {
    if (TWMCommand(m).NotifyCode() == BN_CLICKED) Click();
}

// --- TCustomCheckBox ---------------------------------------------------------------------

RTL_PUBLISHED(TCustomCheckBox, c) {
    c.Property("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment).Default(taRightJustify);
    c.Property("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(false);
    c.Property("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Stored(false);
    c.Property("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
    c.Property("TabStop", &TCustomCheckBox::TabStop, &TCustomCheckBox::SetTabStop).Default(true);
}

RTL_PUBLISHED_NONE(TCheckBox);

UI_MESSAGE_MAP(TCustomCheckBox, t) {
    t.On<&TCustomCheckBox::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TCustomCheckBox::CNCommand>(CN_COMMAND);
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (state_ == value) return;
    state_ = value;
    if (HandleAllocated()) Perform(BM_SETCHECK, WPARAM(state_), 0);
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

void TCustomCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_3STATE | LeftTextStyle(alignment_);
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, WPARAM(state_), 0);
}

void TCustomCheckBox::CMDialogChar(TMessage& m) {
    if (IsAccel(char16_t(TCMDialogChar(m).CharCode()), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TCustomCheckBox::CNCommand(TMessage& m) {
    if (TWMCommand(m).NotifyCode() == BN_CLICKED) Toggle();
}

// --- TRadioButton ------------------------------------------------------------------------

RTL_PUBLISHED(TRadioButton, c) {
    c.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
    c.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    c.Property("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop).Default(false);
}

UI_MESSAGE_MAP(TRadioButton, t) {
    t.On<&TRadioButton::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TRadioButton::CNCommand>(CN_COMMAND);
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    SetTabStop(value);
    if (HandleAllocated()) Perform(BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) return;
    TurnSiblingsOff();
    if (!ClicksDisabled()) Click();
}

void TRadioButton::TurnSiblingsOff() {
    TWinControl* parent = Parent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
            sibling->SetChecked(false);
}

void TRadioButton::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    RecreateWnd();
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_RADIOBUTTON | LeftTextStyle(alignment_);
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::CMDialogChar(TMessage& m) {
    if (IsAccel(char16_t(TCMDialogChar(m).CharCode()), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TRadioButton::CNCommand(TMessage& m) {
    switch (TWMCommand(m).NotifyCode()) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    default: break;
    }
}

// --- TCustomGroupBox ---------------------------------------------------------------------

RTL_PUBLISHED_NONE(TCustomGroupBox);
RTL_PUBLISHED_NONE(TGroupBox);

UI_MESSAGE_MAP(TCustomGroupBox, t) {
    t.On<&TCustomGroupBox::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TCustomGroupBox::CNCtlColorStatic>(CN_CTLCOLORSTATIC);
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TWinControl(owner) {
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"BUTTON");
    params.Style |= BS_GROUPBOX;
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
    TWinControl::AdjustClientRect(rect);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ToGdiObject(Font()->Handle()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // Below the caption, inside the two-pixel etched frame.
    rect = TRect{rect.Left + 2, rect.Top + metrics.tmHeight, rect.Right - 2, rect.Bottom - 2};
}

void TCustomGroupBox::CMDialogChar(TMessage& m) {
    if (IsAccel(char16_t(TCMDialogChar(m).CharCode()), Caption()) && CanFocus()) {
        SelectFirst();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TCustomGroupBox::CNCtlColorStatic(TMessage& m) { AnswerColor(*this, m); }
