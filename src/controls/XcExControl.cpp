#include "controls/XcExControl.h"

#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/window/Windows.h"

namespace {

// The shift state in a dialog character's key data: one bit per key.
constexpr LPARAM kXcKeyDataAlt = 0x20000000;
constexpr LPARAM kXcKeyDataCtrl = 0x10000000;
constexpr LPARAM kXcKeyDataShift = 0x08000000;

LPARAM ShiftStateToXcKeyData(TShiftState shift) {
    LPARAM data = 0;
    if (shift.Contains(ssAlt)) data |= kXcKeyDataAlt;
    if (shift.Contains(ssCtrl)) data |= kXcKeyDataCtrl;
    if (shift.Contains(ssShift)) data |= kXcKeyDataShift;
    return data;
}

TShiftState XcKeyDataToShiftState(LPARAM data) {
    TShiftState shift;
    if (data & kXcKeyDataAlt) shift.Include(ssAlt);
    if (data & kXcKeyDataCtrl) shift.Include(ssCtrl);
    if (data & kXcKeyDataShift) shift.Include(ssShift);
    return shift;
}

// A canvas on a device context whose state is saved while it is attached.
class TXcAttachedCanvas {
public:
    explicit TXcAttachedCanvas(HDC dc) : dc_(dc), saved_(SaveDC(dc)) { canvas_.SetHandle(dc); }
    ~TXcAttachedCanvas() {
        canvas_.SetHandle(nullptr);
        RestoreDC(dc_, saved_);
    }
    TXcAttachedCanvas(const TXcAttachedCanvas&) = delete;
    TXcAttachedCanvas& operator=(const TXcAttachedCanvas&) = delete;
    TCanvas* get() noexcept { return &canvas_; }

private:
    HDC dc_;
    int saved_;
    TCanvas canvas_;
};

void FrameXcRect(HDC dc, const TRect& rect, TColor color) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    FrameRect(dc, &r, brush);
    DeleteObject(ToGdiObject(brush));
}

bool IsFocusFrameMessage(UINT message) {
    return message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_NCPAINT || message == CM_MOUSEENTER ||
           message == CM_MOUSELEAVE;
}

} // namespace

template <class TBase>
bool TXcExControl<TBase>::GetInterface(const TGUID& iid, void** obj) {
    if (iid == IXcExControl::IID) {
        *obj = static_cast<IXcExControl*>(this);
        return true;
    }
    return TBase::GetInterface(iid, obj);
}

template <class TBase>
LRESULT TXcExControl<TBase>::InheritedResult(UINT message, WPARAM wParam, LPARAM lParam) {
    TMessage m{message, wParam, lParam, 0};
    TBase::WndProc(m);
    return m.Result;
}

template <class TBase>
LRESULT TXcExControl<TBase>::ResendCurrent() {
    TBase::WndProc(*current_);
    return current_->Result;
}

template <class TBase>
void TXcExControl<TBase>::WndProc(TMessage& message) {
    TMessage* outer = std::exchange(current_, &message);
    struct TRestore {
        TMessage*& slot;
        TMessage* value;
        ~TRestore() { slot = value; }
    } restore{current_, outer};
    if (message.Msg == CM_XCEXQUERY) {
        void* query = nullptr;
        message.Result = this->GetInterface(IXcExControlQuery::IID, &query) ? 1 : 0;
    } else if (!DispatchToOperation(message)) {
        TBase::WndProc(message);
    }
    if constexpr (kWindowed) {
        if (IsFocusFrameMessage(message.Msg) && dotNetHighlighting_ && this->HandleAllocated()) {
            DrawFocusFrame();
            if (message.Msg == CM_MOUSELEAVE) InvalidateFocusRing();
        }
    }
}

template <class TBase>
bool TXcExControl<TBase>::DispatchToOperation(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED: HandleTextChanged(); return true;
    case CM_DIALOGCHAR:
        m.Result = HandleDialogChar(WORD(m.WParam), XcKeyDataToShiftState(m.LParam), String(1, char16_t(m.WParam)));
        return true;
    case CM_HITTEST: m.Result = HandleHitTest(int16_t(LOWORD(m.LParam)), int16_t(HIWORD(m.LParam))); return true;
    case CM_FOCUSCHANGED: HandleFocusChanged(reinterpret_cast<TWinControl*>(m.LParam)); return true;
    case CM_VISIBLECHANGED: HandleVisibleChanged(); return true;
    case CM_ENABLEDCHANGED: HandleEnabledChanged(); return true;
    case CM_COLORCHANGED: HandleColorChanged(); return true;
    case CM_FONTCHANGED: HandleFontChanged(); return true;
    case CM_PARENTFONTCHANGED: HandleParentFontChanged(); return true;
    case CM_PARENTCOLORCHANGED: HandleParentColorChanged(); return true;
    case CM_PARENTSHOWHINTCHANGED: HandleParentShowHintChanged(); return true;
    case CM_HINTSHOW: m.Result = HandleHintShow(*reinterpret_cast<THintInfo*>(m.LParam)); return true;
    case CM_MOUSEENTER: HandleMouseEnter(reinterpret_cast<TControl*>(m.LParam)); return true;
    case CM_MOUSELEAVE: HandleMouseLeave(reinterpret_cast<TControl*>(m.LParam)); return true;
    case CM_CURSORCHANGED: HandleCursorChanged(); return true;
    case CM_SHOWINGCHANGED: HandleShowingChanged(); return true;
    case CM_SHOWHINTCHANGED: HandleShowHintChanged(); return true;
    case CM_CONTROLLISTCHANGE:
    case CM_CONTROLCHANGE: {
        auto* control = reinterpret_cast<TControl*>(m.WParam);
        const bool inserting = m.LParam != 0;
        if ((m.Msg == CM_CONTROLLISTCHANGE) == inserting)
            HandleControlListChanging(control, inserting);
        else
            HandleControlListChanged(control, inserting);
        return true;
    }
    default: break;
    }
    if constexpr (kWindowed) {
        switch (m.Msg) {
        case WM_MOVE:
        case WM_SIZE:
            TBase::WndProc(m);
            HandleBoundsChanged();
            return true;
        case WM_GETDLGCODE: {
            TBase::WndProc(m);
            TDialogCodeFlags codes = DialogCodesToFlags(m.Result);
            codes.Include(dcNative);
            HandleGetDlgCode(codes);
            if (!codes.Contains(dcNative)) m.Result = FlagsToDialogCodes(codes);
            return true;
        }
        case WM_SETFOCUS: HandleSetFocus(HWND(m.WParam)); return true;
        case WM_KILLFOCUS: HandleKillFocus(HWND(m.WParam)); return true;
        case WM_ERASEBKGND:
            if (!m.WParam) return false;
            {
                TXcAttachedCanvas canvas(HDC(m.WParam));
                m.Result = HandleEraseBackground(canvas.get(), m.LParam);
            }
            return true;
        default: break;
        }
    }
    return false;
}

template <class TBase>
void TXcExControl<TBase>::HandleTextChanged() {
    ResendCurrent();
}

template <class TBase>
bool TXcExControl<TBase>::HandleDialogChar(WORD key, TShiftState shift, const String&) {
    return InheritedResult(CM_DIALOGCHAR, key, ShiftStateToXcKeyData(shift)) != 0;
}

template <class TBase>
bool TXcExControl<TBase>::HandleHitTest(int x, int y) {
    return InheritedResult(CM_HITTEST, 0, MAKELPARAM(WORD(x), WORD(y))) != 0;
}

template <class TBase>
void TXcExControl<TBase>::HandleSetFocus(HWND) {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleKillFocus(HWND) {
    ResendCurrent();
}

template <class TBase>
bool TXcExControl<TBase>::HandleEraseBackground(TCanvas*, LPARAM) {
    return ResendCurrent() != 0;
}

template <class TBase>
void TXcExControl<TBase>::HandleFocusChanged(TWinControl*) {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleVisibleChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleEnabledChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleColorChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleFontChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleParentFontChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleParentColorChanged() {
    ResendCurrent();
    if (OnParentColorChange) OnParentColorChange(this);
}

template <class TBase>
void TXcExControl<TBase>::HandleParentShowHintChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::ApplyHintColor(THintInfo& info) {
    if (hintColor_ == clNone) {
        info.HintColor = Application().HintColor();
    } else if (hintColor_ != clDefault) {
        info.HintColor = hintColor_;
    } else if (TWinControl* parent = this->Parent()) {
        THintInfo copy = info;
        parent->Perform(CM_HINTSHOW, 0, LPARAM(&copy));
        info.HintColor = copy.HintColor;
    }
}

template <class TBase>
bool TXcExControl<TBase>::HandleHintShow(THintInfo& info) {
    ApplyHintColor(info);
    if (hintWindowClass_) info.HintWindowClass = hintWindowClass_;
    TStructPtrMessage message(CM_HINTSHOW, &info);
    TBase::WndProc(message.Message);
    return message.Message.Result != 0;
}

template <class TBase>
void TXcExControl<TBase>::HandleMouseEnter(TControl*) {
    mouseOver_ = true;
    if (OnMouseEnter) OnMouseEnter(this);
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleMouseLeave(TControl*) {
    mouseOver_ = false;
    ResendCurrent();
    if (OnMouseLeave) OnMouseLeave(this);
}

template <class TBase>
void TXcExControl<TBase>::HandleCursorChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleShowingChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleShowHintChanged() {
    ResendCurrent();
}

template <class TBase>
void TXcExControl<TBase>::HandleControlListChanging(TControl* control, bool inserting) {
    InheritedResult(inserting ? CM_CONTROLLISTCHANGE : CM_CONTROLCHANGE, WPARAM(control), LPARAM(inserting));
}

template <class TBase>
void TXcExControl<TBase>::HandleControlListChanged(TControl* control, bool inserting) {
    InheritedResult(inserting ? CM_CONTROLCHANGE : CM_CONTROLLISTCHANGE, WPARAM(control), LPARAM(inserting));
}

template <class TBase>
void TXcExControl<TBase>::DrawFocusFrame() {
    if constexpr (kWindowed) {
        HWND window = this->Handle();
        RECT bounds;
        GetWindowRect(window, &bounds);
        const TRect outer{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
        const bool highlighted = this->Focused() || mouseOver_;
        HDC dc = GetWindowDC(window);
        FrameXcRect(dc, outer, highlighted ? kXcFocusFrameColor : kXcUnfocusedFrameColor);
        FrameXcRect(dc, {1, 1, outer.Right - 1, outer.Bottom - 1}, highlighted ? kXcFocusFrameColor : this->Color());
        ReleaseDC(window, dc);
    }
}

template <class TBase>
void TXcExControl<TBase>::InvalidateFocusRing() {
    if constexpr (kWindowed) {
        const int w = this->Width();
        const int h = this->Height();
        HRGN ring = CreateRectRgn(0, 0, w - 1, h - 1);
        HRGN inner = CreateRectRgn(2, 2, w - 3, h - 3);
        CombineRgn(ring, ring, inner, RGN_DIFF);
        InvalidateRgn(this->Handle(), ring, FALSE);
        DeleteObject(ToGdiObject(inner));
        DeleteObject(ToGdiObject(ring));
    }
}

template class TXcExControl<TCustomControl>;
template class TXcExControl<TGraphicControl>;
template class TXcExControl<TForm>;
template class TXcExControl<TCustomEdit>;
template class TXcExControl<TCustomListBox>;
