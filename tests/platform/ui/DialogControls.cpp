#include "DialogControls.h"

TTestEdit::TTestEdit(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 80, 20);
    SetWindowProc([this](TMessage& m) {
        log.Note(m);
        WndProc(m);
    });
}

void TTestEdit::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_GETDLGCODE: message.Result = dialogCode; return;
    case CM_WANTSPECIALKEY: message.Result = wantSpecialKey; return;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR: windowKeys.emplace_back(message.Msg, message.WParam); break;
    default: break;
    }
    TCustomControl::DefaultHandler(message);
}

UI_MESSAGE_MAP(TTestButton, t) {
    t.On<&TTestButton::CMDialogKey>(CM_DIALOGKEY);
    t.On<&TTestButton::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TTestButton::CMFocusChanged>(CM_FOCUSCHANGED);
}

TTestButton::TTestButton(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
    SetWindowProc([this](TMessage& m) {
        log.Note(m);
        WndProc(m);
    });
}

void TTestButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult);
    TCustomControl::Click();
}

void TTestButton::CMDialogKey(TMessage& m) {
    const WPARAM key = TCMDialogKey(m).CharCode();
    if (((key == VK_RETURN && active_) || (key == VK_ESCAPE && isCancel)) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TTestButton::CMDialogChar(TMessage& m) {
    if (IsAccel(char16_t(TCMDialogChar(m).CharCode()), Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    InheritedMessage(m);
}

void TTestButton::CMFocusChanged(TMessage& m) {
    TControl* focused = MessageControl(m);
    active_ = focused == this || (isDefault && !dynamic_cast<TTestButton*>(focused));
    InheritedMessage(m);
}
