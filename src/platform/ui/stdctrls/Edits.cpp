#include "platform/ui/stdctrls/Edits.h"

#include <algorithm>
#include <vector>

#include "platform/win/User.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

RTL_PUBLISHED_NONE(TCustomEdit);

RTL_PUBLISHED(TEdit, c) {
    c.Property("Alignment", &TEdit::Alignment, &TEdit::SetAlignment).Default(taLeftJustify);
    c.Property("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(true);
    c.Property("AutoSize", &TEdit::AutoSize, &TEdit::SetAutoSize).Default(true);
    c.Property("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(kSingleBorder);
    c.Property("CharCase", &TEdit::CharCase, &TEdit::SetCharCase).Default(ecNormal);
    c.Property("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(true);
    c.Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
    c.Property("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).Default(char16_t(0));
    c.Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
    c.Property("TabStop", &TEdit::TabStop, &TEdit::SetTabStop).Default(true);
    c.Property("Text", &TEdit::Text, &TEdit::SetText);
    c.Property("OnChange", &TEdit::OnChange, &TEdit::OnChange);
}

RTL_PUBLISHED_NONE(TCustomMemo);

RTL_PUBLISHED(TMemo, c) {
    c.Property("Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify);
    c.Property("BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle).Default(kSingleBorder);
    c.Property("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(true);
    c.Property("Lines", &TMemo::Lines, &TMemo::SetLines);
    c.Property("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
    c.Property("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
    c.Property("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone);
    c.Property("TabStop", &TMemo::TabStop, &TMemo::SetTabStop).Default(true);
    c.Property("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
    c.Property("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
    c.Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
    c.Property("OnChange", &TMemo::OnChange, &TMemo::OnChange);
}

// --- TCustomEdit ---------------------------------------------------------------------

UI_MESSAGE_MAP(TCustomEdit, t) {
    t.On<&TCustomEdit::CNCommand>(CN_COMMAND);
    t.On<&TCustomEdit::CNCtlColor>(CN_CTLCOLOREDIT);
    t.On<&TCustomEdit::CNCtlColor>(CN_CTLCOLORSTATIC);
    t.On<&TCustomEdit::CMEnter>(CM_ENTER);
    t.On<&TCustomEdit::CMRecreateWnd>(CM_RECREATEWND);
    t.On<&TCustomEdit::CMTextChanged>(CM_TEXTCHANGED);
    t.On<&TCustomEdit::CMFontChanged>(CM_FONTCHANGED);
    t.On<&TCustomEdit::CMCtl3DChanged>(CM_CTL3DCHANGED);
    t.On<&TCustomEdit::WMContextMenu>(WM_CONTEXTMENU);
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetControlStyle({csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
    SetBounds(0, 0, 121, 25);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    autoSize_ = true;
    AdjustHeight();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"EDIT");
    params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (passwordChar_) params.Style |= ES_PASSWORD;
    if (readOnly_) params.Style |= ES_READONLY;
    if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (!hideSelection_) params.Style |= ES_NOHIDESEL;
    if (alignment_ == taCenter) params.Style |= ES_CENTER;
    if (alignment_ == taRightJustify) params.Style |= ES_RIGHT;
    AddBorderStyle(params, borderStyle_, Ctl3D());
}

void TCustomEdit::CreateWnd() {
    creating_ = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        creating_ = false;
        throw;
    }
    creating_ = false;
    const HWND h = Handle();
    SendMessageW(h, EM_LIMITTEXT, WPARAM(maxLength_), 0);
    if (passwordChar_) SendMessageW(h, EM_SETPASSWORDCHAR, WPARAM(passwordChar_), 0);
    if (!Multiline()) SendMessageW(h, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageW(h, EM_SETSEL, WPARAM(kept_.selStart), LPARAM(kept_.selEnd));
    SendMessageW(h, EM_SETMODIFY, kept_.modified, 0);
    kept_ = {};
}

void TCustomEdit::ReadWindowState() {
    DWORD start = 0, end = 0;
    SendMessageW(handle_, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    kept_ = {SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0, int(start), int(end)};
}

void TCustomEdit::DestroyWnd() {
    ReadWindowState();
    TWinControl::DestroyWnd();
}

bool TCustomEdit::Multiline() const {
    return handle_ && (GetWindowLongW(handle_, GWL_STYLE) & ES_MULTILINE) != 0;
}

void TCustomEdit::SetMaxLength(int value) {
    maxLength_ = std::max(0, value);
    if (HandleAllocated()) SendMessageW(handle_, EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
    if (readOnly_ == value) return;
    readOnly_ = value;
    if (HandleAllocated()) SendMessageW(handle_, EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetPasswordChar(char16_t value) {
    if (passwordChar_ == value) return;
    const bool styleChanges = (passwordChar_ == 0) != (value == 0);
    passwordChar_ = value;
    if (!HandleAllocated()) return;
    // Switching between a password and a plain edit changes the window's style (and its input method).
    if (styleChanges) return RecreateWnd();
    SendMessageW(handle_, EM_SETPASSWORDCHAR, WPARAM(value), 0);
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    if (charCase_ == value) return;
    charCase_ = value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
    if (hideSelection_ == value) return;
    hideSelection_ = value;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    AdjustHeight();
    RecreateWnd();
}

void TCustomEdit::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomEdit::SetAutoSize(bool value) {
    if (AutoSize() == value) return;
    TWinControl::SetAutoSize(value);
    AdjustHeight();
}

void TCustomEdit::AdjustHeight() {
    if (!AutoSize() || !ControlStyle().Contains(csFixedHeight)) return;
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(Font()->Handle()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // Room for the frame: a client edge and a pixel inside it, or a plain border.
    int frame = 0;
    if (borderStyle_ == kSingleBorder) frame = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
    SetHeight(metrics.tmHeight + frame);
}

bool TCustomEdit::Modified() {
    return HandleAllocated() ? SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0 : kept_.modified;
}

void TCustomEdit::SetModified(bool value) {
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETMODIFY, value, 0);
    else
        kept_.modified = value;
}

int TCustomEdit::SelStart() {
    if (!HandleAllocated()) return kept_.selStart;
    DWORD start = 0;
    SendMessageW(handle_, EM_GETSEL, WPARAM(&start), 0);
    return int(start);
}

void TCustomEdit::SetSelStart(int value) {
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETSEL, WPARAM(value), LPARAM(value));
    else
        kept_.selStart = kept_.selEnd = value;
}

int TCustomEdit::SelLength() {
    if (!HandleAllocated()) return kept_.selEnd - kept_.selStart;
    DWORD start = 0, end = 0;
    SendMessageW(handle_, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return int(end) - int(start);
}

void TCustomEdit::SetSelLength(int value) {
    const int start = SelStart();
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETSEL, WPARAM(start), LPARAM(start + value));
    else
        kept_.selEnd = start + value;
}

String TCustomEdit::SelText() {
    const String text = Text();
    const size_t start = std::min(size_t(std::max(0, SelStart())), text.size());
    return text.substr(start, size_t(std::max(0, SelLength())));
}

void TCustomEdit::SetSelText(const String& value) { SendMessageW(Handle(), EM_REPLACESEL, TRUE, LPARAM(value.c_str())); }

void TCustomEdit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::ClearSelection() { SendMessageW(Handle(), WM_CLEAR, 0, 0); }

void TCustomEdit::Clear() { SetText(String()); }

void TCustomEdit::CopyToClipboard() { SendMessageW(Handle(), WM_COPY, 0, 0); }

void TCustomEdit::CutToClipboard() { SendMessageW(Handle(), WM_CUT, 0, 0); }

void TCustomEdit::PasteFromClipboard() { SendMessageW(Handle(), WM_PASTE, 0, 0); }

void TCustomEdit::Undo() { SendMessageW(Handle(), WM_UNDO, 0, 0); }

bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessageW(handle_, EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::ClearUndo() {
    if (HandleAllocated()) SendMessageW(handle_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::Change() {
    Changed();
    if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TMessage& m) {
    if (TWMCommand(m).NotifyCode() == EN_CHANGE && !creating_) Change();
}

// The window's colours are the control's: its font colour on its brush.
void TCustomEdit::CNCtlColor(TMessage& m) {
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Brush()->Color()));
    m.Result = LRESULT(Brush()->Handle());
}

void TCustomEdit::CMEnter(TMessage& m) {
    if (autoSelect_ && !recreating_ && !ControlState().Contains(csLButtonDown) && !Multiline()) SelectAll();
    InheritedMessage(m);
}

// The focus coming back to the new window is no entering: the selection stays as it was.
void TCustomEdit::CMRecreateWnd(TMessage& m) {
    recreating_ = true;
    try {
        InheritedMessage(m);
    } catch (...) {
        recreating_ = false;
        throw;
    }
    recreating_ = false;
}

void TCustomEdit::CMTextChanged(TMessage& m) {
    InheritedMessage(m);
    // A window reports its own changes (EN_CHANGE).
    if (!HandleAllocated()) Change();
}

void TCustomEdit::CMFontChanged(TMessage& m) {
    InheritedMessage(m);
    AdjustHeight();
}

void TCustomEdit::CMCtl3DChanged(TMessage& m) {
    InheritedMessage(m);
    if (borderStyle_ != kSingleBorder) return;
    AdjustHeight();
    RecreateWnd();
}

void TCustomEdit::WMContextMenu(TMessage& m) {
    SetFocus();
    InheritedMessage(m);
}

// --- TCustomMemo ------------------------------------------------------------------------

namespace {

constexpr char16_t kLineBreak[] = u"\r\n";

// A memo's text as lines: the window's, through its line messages, while it
// has one; else the control's text, split at CR LF. A text ending in a line
// break has no empty last line, and lines are added with a break after them.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}

    void InsertObject(int index, const String& s, TObject*) override {
        if (index < 0) return;
        if (!memo_.HandleAllocated()) return EditParts([&](std::vector<String>& parts) {
            if (size_t(index) <= parts.size()) parts.insert(parts.begin() + index, s);
        });
        const HWND h = memo_.Handle();
        int start = LineIndex(h, index);
        String line = s + kLineBreak;
        if (start < 0) {
            // After the last line, which has no break yet.
            start = LineIndex(h, index - 1);
            if (start < 0) return;
            const int length = LineLength(h, start);
            if (length == 0) return;
            start += length;
            line = kLineBreak + s;
        }
        Replace(h, start, start, line);
    }

    void Delete(int index) override {
        if (!memo_.HandleAllocated()) return EditParts([&](std::vector<String>& parts) {
            if (index < 0 || size_t(index) >= parts.size()) return;
            if (size_t(index) + 1 < parts.size())
                parts.erase(parts.begin() + index);
            else
                parts.back().clear();
        });
        const HWND h = memo_.Handle();
        const int start = LineIndex(h, index);
        if (start < 0) return;
        int end = LineIndex(h, index + 1);
        if (end < 0) end = start + LineLength(h, start);
        Replace(h, start, end, String());
    }

    void Clear() override { memo_.Clear(); }

protected:
    String Get(int index) const override {
        if (!memo_.HandleAllocated()) {
            const std::vector<String> parts = Parts();
            return index >= 0 && size_t(index) < parts.size() ? parts[size_t(index)] : String();
        }
        const HWND h = memo_.Handle();
        const int start = LineIndex(h, index);
        if (start < 0) return String();
        // EM_GETLINE takes the buffer's size in its first unit.
        const int length = LineLength(h, start);
        String line(size_t(std::max(length, 1)), u'\0');
        line[0] = char16_t(length);
        line.resize(size_t(SendMessageW(h, EM_GETLINE, WPARAM(index), LPARAM(line.data()))));
        return line;
    }

    int GetCount() const override {
        if (!memo_.HandleAllocated()) {
            const std::vector<String> parts = Parts();
            return int(parts.size()) - (parts.back().empty() ? 1 : 0);
        }
        const HWND h = memo_.Handle();
        const int lines = int(SendMessageW(h, EM_GETLINECOUNT, 0, 0));
        return LineLength(h, LineIndex(h, lines - 1)) == 0 ? lines - 1 : lines;
    }

    void Put(int index, const String& s) override {
        if (!memo_.HandleAllocated()) return EditParts([&](std::vector<String>& parts) {
            if (index >= 0 && size_t(index) < parts.size()) parts[size_t(index)] = s;
        });
        const HWND h = memo_.Handle();
        const int start = LineIndex(h, index);
        if (start >= 0) Replace(h, start, start + LineLength(h, start), s);
    }

    String GetTextStr() const override { return memo_.Text(); }
    void SetTextStr(const String& text) override { memo_.SetText(text); }

    // Many edits repaint once, and tell of the change once, at the end.
    void SetUpdateState(bool updating) override {
        if (!memo_.HandleAllocated()) return;
        SendMessageW(memo_.Handle(), WM_SETREDRAW, !updating, 0);
        if (updating) return;
        memo_.Refresh();
        memo_.Perform(CM_TEXTCHANGED);
    }

private:
    static int LineIndex(HWND h, int line) { return int(SendMessageW(h, EM_LINEINDEX, WPARAM(line), 0)); }
    static int LineLength(HWND h, int pos) { return int(SendMessageW(h, EM_LINELENGTH, WPARAM(pos), 0)); }
    static void Replace(HWND h, int start, int end, const String& text) {
        SendMessageW(h, EM_SETSEL, WPARAM(start), LPARAM(end));
        SendMessageW(h, EM_REPLACESEL, 0, LPARAM(text.c_str()));
    }

    std::vector<String> Parts() const {
        const String text = memo_.Text();
        std::vector<String> parts;
        size_t p = 0;
        for (size_t next; (next = text.find(kLineBreak, p)) != String::npos; p = next + 2)
            parts.push_back(text.substr(p, next - p));
        parts.push_back(text.substr(p));
        return parts;
    }
    template <class Edit>
    void EditParts(Edit&& edit) {
        std::vector<String> parts = Parts();
        edit(parts);
        String text;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i) text += kLineBreak;
            text += parts[i];
        }
        memo_.SetText(text);
    }

    TCustomMemo& memo_;
};

} // namespace

UI_MESSAGE_MAP(TCustomMemo, t) { t.On<&TCustomMemo::WMGetDlgCode>(WM_GETDLGCODE); }

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(*this)) {
    SetControlStyle(ControlStyle() - TControlStyle{csFixedHeight});
    autoSize_ = false;
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE;
    if (wordWrap_) params.Style &= ~DWORD(ES_AUTOHSCROLL);
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
}

void TCustomMemo::SetWordWrap(bool value) {
    if (wordWrap_ == value) return;
    wordWrap_ = value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    if (scrollBars_ == value) return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomMemo::WMGetDlgCode(TMessage& m) {
    InheritedMessage(m);
    if (wantTabs_)
        m.Result |= DLGC_WANTTAB;
    else
        m.Result &= ~LRESULT(DLGC_WANTTAB);
    if (!wantReturns_) m.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

void TCustomMemo::KeyPress(char16_t& key) {
    TCustomEdit::KeyPress(key);
    if (key == u'\r' && !wantReturns_) key = 0;
}
