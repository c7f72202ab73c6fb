#include "platform/ui/stdctrls/MaskEdit.h"

#include "platform/win/User.h"

RTL_PUBLISHED_NONE(TCustomMaskEdit);

RTL_PUBLISHED(TMaskEdit, c) {
    c.Property("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
    c.Property("AutoSelect", &TMaskEdit::AutoSelect, &TMaskEdit::SetAutoSelect).Default(true);
    c.Property("AutoSize", &TMaskEdit::AutoSize, &TMaskEdit::SetAutoSize).Default(true);
    c.Property("BorderStyle", &TMaskEdit::BorderStyle, &TMaskEdit::SetBorderStyle).Default(kSingleBorder);
    c.Property("CharCase", &TMaskEdit::CharCase, &TMaskEdit::SetCharCase).Default(ecNormal);
    c.Property("MaxLength", &TMaskEdit::MaxLength, &TMaskEdit::SetMaxLength).Default(0);
    c.Property("PasswordChar", &TMaskEdit::PasswordChar, &TMaskEdit::SetPasswordChar).Default(char16_t(0));
    c.Property("ReadOnly", &TMaskEdit::ReadOnly, &TMaskEdit::SetReadOnly).Default(false);
    c.Property("TabStop", &TMaskEdit::TabStop, &TMaskEdit::SetTabStop).Default(true);
    c.Property("Text", &TMaskEdit::Text, &TMaskEdit::SetText);
    c.Property("OnChange", &TMaskEdit::OnChange, &TMaskEdit::OnChange);
}

UI_MESSAGE_MAP(TCustomMaskEdit, t) {
    t.On<&TCustomMaskEdit::CMEnter>(CM_ENTER);
    t.On<&TCustomMaskEdit::CMExit>(CM_EXIT);
    t.On<&TCustomMaskEdit::CMWantSpecialKey>(CM_WANTSPECIALKEY);
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::Reset() {
    if (!Modified()) return;
    SetEditText(oldValue_);
    SetModified(false);
}

void TCustomMaskEdit::KeyDown(uint16_t& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (key == VK_ESCAPE && Modified()) {
        Reset();
        key = 0;
    }
}

void TCustomMaskEdit::CMEnter(TMessage& m) {
    oldValue_ = EditText();
    InheritedMessage(m);
}

void TCustomMaskEdit::CMExit(TMessage& m) {
    try {
        ValidateEdit();
    } catch (...) {
        SetFocus();
        throw;
    }
    InheritedMessage(m);
}

// Escape stays in a changed edit (to undo the change) instead of closing the dialog.
void TCustomMaskEdit::CMWantSpecialKey(TMessage& m) {
    InheritedMessage(m);
    if (TCMWantSpecialKey(m).CharCode() == VK_ESCAPE && Modified()) m.Result = 1;
}
