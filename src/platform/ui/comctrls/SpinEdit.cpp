#include "platform/ui/comctrls/SpinEdit.h"

#include <algorithm>

#include "platform/rtl/Conversions.h"
#include "platform/ui/ControlMessages.h"
#include "platform/win/controls/Controls.h"

namespace {

constexpr int kUpDownWidth = 15;

} // namespace

RTL_PUBLISHED(TSpinEdit, c) {
    c.Property("AutoSelect", &TSpinEdit::AutoSelect, &TSpinEdit::SetAutoSelect).Default(true);
    c.Property("AutoSize", &TSpinEdit::AutoSize, &TSpinEdit::SetAutoSize).Default(true);
    c.Property("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled).Default(true);
    c.Property("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement).Default(1);
    c.Property("MaxLength", &TSpinEdit::MaxLength, &TSpinEdit::SetMaxLength).Default(0);
    c.Property("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue).Default(0);
    c.Property("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue).Default(0);
    c.Property("ReadOnly", &TSpinEdit::ReadOnly, &TSpinEdit::SetReadOnly).Default(false);
    c.Property("TabStop", &TSpinEdit::TabStop, &TSpinEdit::SetTabStop).Default(true);
    c.Property("Value", &TSpinEdit::Value, &TSpinEdit::SetValue);
    c.Property("OnChange", &TSpinEdit::OnChange, &TSpinEdit::OnChange);
}

UI_MESSAGE_MAP(TSpinEdit, t) {
    t.On<&TSpinEdit::WMNotify>(WM_NOTIFY);
    t.On<&TSpinEdit::WMSize>(WM_SIZE);
    t.On<&TSpinEdit::WMEditCommand>(WM_PASTE);
    t.On<&TSpinEdit::WMEditCommand>(WM_CUT);
    t.On<&TSpinEdit::WMEditCommand>(WM_CLEAR);
    t.On<&TSpinEdit::CMExit>(CM_EXIT);
    t.On<&TSpinEdit::CMEnabledChanged>(CM_ENABLEDCHANGED);
}

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
    SetText(u"0");
}

void TSpinEdit::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
}

void TSpinEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    upDown_ = CreateWindowExW(0, u"msctls_updown32", u"", WS_CHILD | WS_VISIBLE, 0, 0, kUpDownWidth, 0, Handle(),
                              nullptr, nullptr, nullptr);
    EnableWindow(upDown_, Enabled());
    PlaceUpDown();
}

void TSpinEdit::DestroyWnd() {
    upDown_ = nullptr; // goes with the edit's window
    TCustomEdit::DestroyWnd();
}

// At the right of the client area; the text stops short of it.
void TSpinEdit::PlaceUpDown() {
    if (!upDown_) return;
    RECT client;
    GetClientRect(Handle(), &client);
    SetWindowPos(upDown_, nullptr, std::max(0, int(client.right) - kUpDownWidth), 0, kUpDownWidth, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, kUpDownWidth + 2));
}

int TSpinEdit::CheckValue(int value) const {
    if (minValue_ == 0 && maxValue_ == 0) return value;
    return std::clamp(value, minValue_, std::max(minValue_, maxValue_));
}

int TSpinEdit::Value() {
    int value = 0;
    return TryStrToInt(Text(), value) ? value : minValue_;
}

void TSpinEdit::SetValue(int value) { SetText(IntToStr(CheckValue(value))); }

void TSpinEdit::UpClick() {
    if (ReadOnly())
        MessageBeep(0);
    else
        SetValue(int(std::clamp<int64_t>(int64_t(Value()) + increment_, INT32_MIN, INT32_MAX)));
}

void TSpinEdit::DownClick() {
    if (ReadOnly())
        MessageBeep(0);
    else
        SetValue(int(std::clamp<int64_t>(int64_t(Value()) - increment_, INT32_MIN, INT32_MAX)));
}

void TSpinEdit::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_UP) {
        UpClick();
        key = 0;
    } else if (key == VK_DOWN) {
        DownClick();
        key = 0;
    } else if (key == VK_DELETE && !editorEnabled_) {
        key = 0;
    }
    TCustomEdit::KeyDown(key, shift);
}

// Without the editor only the keys that leave the text as it is pass:
// selecting, copying, the dialog's keys.
bool TSpinEdit::IsValidChar(char16_t key) const {
    const bool control = key < u' ' && key != u'\r';
    if (!editorEnabled_) return control && key != u'\b' && key != 0x16 && key != 0x18 && key != 0x1A;
    return control || key == u'+' || key == u'-' || (key >= u'0' && key <= u'9');
}

void TSpinEdit::KeyPress(char16_t& key) {
    if (!IsValidChar(key)) {
        key = 0;
        MessageBeep(0);
    }
    if (key) TCustomEdit::KeyPress(key);
}

// The up-down asks before each step: the edit takes the focus, steps itself
// and keeps the up-down where it is.
void TSpinEdit::WMNotify(TMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
    if (header->hwndFrom != upDown_ || header->code != UDN_DELTAPOS) return InheritedMessage(m);
    if (!Focused() && CanFocus()) SetFocus();
    const auto* note = reinterpret_cast<const NMUPDOWN*>(m.LParam);
    if (note->iDelta > 0)
        UpClick();
    else
        DownClick();
    m.Result = 1;
}

void TSpinEdit::WMSize(TMessage& m) {
    InheritedMessage(m);
    PlaceUpDown();
}

void TSpinEdit::WMEditCommand(TMessage& m) {
    if (editorEnabled_ && !ReadOnly()) InheritedMessage(m);
}

void TSpinEdit::CMExit(TMessage& m) {
    const String text = IntToStr(CheckValue(Value()));
    if (Text() != text) SetText(text);
    InheritedMessage(m);
}

void TSpinEdit::CMEnabledChanged(TMessage& m) {
    InheritedMessage(m);
    if (upDown_) EnableWindow(upDown_, Enabled());
}
