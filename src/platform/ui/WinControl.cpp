#include "platform/ui/WinControl.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"

RTL_PUBLISHED(TWinControl, c) {
    c.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
    c.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    c.Property("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
    c.Property("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Default(true);
    c.Property("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
    c.Property("BevelEdges", &TWinControl::BevelEdges, &TWinControl::SetBevelEdges)
        .Default(TBevelEdges{beLeft, beTop, beRight, beBottom});
    c.Property("BevelInner", &TWinControl::BevelInner, &TWinControl::SetBevelInner).Default(bvRaised);
    c.Property("BevelOuter", &TWinControl::BevelOuter, &TWinControl::SetBevelOuter).Default(bvLowered);
    c.Property("BevelKind", &TWinControl::BevelKind, &TWinControl::SetBevelKind).Default(bkNone);
    c.Property("BevelWidth", &TWinControl::BevelWidth, &TWinControl::SetBevelWidth).Default(1);
    c.Property("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
    c.Property("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
    c.Property("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered).Default(false);
    c.Property("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
    c.Property("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

namespace {

// Controls by window, for FindControl and the reflection of child messages.
std::unordered_map<HWND, TWinControl*>& ControlsByWindow() {
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

// The control whose window CreateWindowExW is making on this thread.
thread_local TWinControl* creationControl = nullptr;
thread_local WNDPROC creationInstance = nullptr;

LRESULT InitWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC instance = std::exchange(creationInstance, nullptr);
    TWinControl* control = std::exchange(creationControl, nullptr);
    if (!instance) return DefWindowProcW(hwnd, message, wParam, lParam);
    ControlsByWindow()[hwnd] = control;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, LONG_PTR(instance));
    return CallWindowProcW(instance, hwnd, message, wParam, lParam);
}

UINT DialogCodeMaskFor(WORD key) {
    switch (key) {
    case VK_TAB: return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return DLGC_WANTARROWS;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: return DLGC_WANTALLKEYS;
    default: return 0;
    }
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState result;
    if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
    if (keyData & (LPARAM(1) << 29)) result.Include(ssAlt);
    return result;
}

HWND ChildWindowOf(const TMessage& m) {
    switch (m.Msg) {
    case WM_NOTIFY: return reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
    case WM_DRAWITEM: return reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
    case WM_DELETEITEM: return reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem;
    case WM_COMPAREITEM: return reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem;
    default: return reinterpret_cast<HWND>(m.LParam);
    }
}

} // namespace

TWinControl* FindControl(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& map = ControlsByWindow();
    auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    HWND window = WindowFromPoint(POINT{screenPos.X, screenPos.Y});
    TWinControl* control = nullptr;
    for (HWND h = window; h && !control; h = GetParent(h)) control = FindControl(h);
    if (!control) return nullptr;
    TControl* result = control;
    // Down through the window-less children at the point.
    const TPoint local = control->ScreenToClient(screenPos);
    if (TControl* child = control->ControlAtPos(local, allowDisabled)) result = child;
    return result;
}

bool IsKeyMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    // The window holding the pointer (a drag's) takes the keys first.
    HWND window = GetCapture();
    if (!window) {
        window = msg.hwnd;
        while (window && !FindControl(window)) window = GetParent(window);
    }
    // Sent through the window, so the control's exceptions go to the application.
    return window && SendMessageW(window, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

// --- Construction ---------------------------------------------------------------

UI_MESSAGE_MAP(TWinControl, t) {
    t.On<&TWinControl::WMPaint>(WM_PAINT);
    t.On<&TWinControl::WMEraseBkgnd>(WM_ERASEBKGND);
    t.On<&TWinControl::WMPrintClient>(WM_PRINTCLIENT);
    t.On<&TWinControl::WMNCCalcSize>(WM_NCCALCSIZE);
    t.On<&TWinControl::WMNCPaint>(WM_NCPAINT);
    t.On<&TWinControl::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
    t.On<&TWinControl::WMSize>(WM_SIZE);
    t.On<&TWinControl::WMMove>(WM_MOVE);
    t.On<&TWinControl::WMGetMinMaxInfo>(WM_GETMINMAXINFO);
    t.On<&TWinControl::WMSetCursor>(WM_SETCURSOR);
    t.On<&TWinControl::WMKeyDown>(WM_KEYDOWN);
    t.On<&TWinControl::WMSysKeyDown>(WM_SYSKEYDOWN);
    t.On<&TWinControl::WMKeyUp>(WM_KEYUP);
    t.On<&TWinControl::WMSysKeyUp>(WM_SYSKEYUP);
    t.On<&TWinControl::WMChar>(WM_CHAR);
    for (UINT reflected : {WM_COMMAND, WM_NOTIFY, WM_DELETEITEM, WM_COMPAREITEM, WM_HSCROLL, WM_VSCROLL,
                           WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORDLG,
                           WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC, WM_CHARTOITEM, WM_VKEYTOITEM})
        t.On<&TWinControl::WMReflect>(reflected);
    t.On<&TWinControl::WMDrawItem>(WM_DRAWITEM);
    t.On<&TWinControl::WMMeasureItem>(WM_MEASUREITEM);
    t.On<&TWinControl::WMContextMenu>(WM_CONTEXTMENU);
    t.On<&TWinControl::WMSysColorChange>(WM_SYSCOLORCHANGE);
    t.On<&TWinControl::WMCancelMode>(WM_CANCELMODE);
    t.On<&TWinControl::WMNCDestroy>(WM_NCDESTROY);
    t.On<&TWinControl::WMUIState>(WM_CHANGEUISTATE);
    t.On<&TWinControl::WMUIState>(WM_UPDATEUISTATE);
    t.On<&TWinControl::CNKeyDown>(CN_KEYDOWN);
    t.On<&TWinControl::CNKeyDown>(CN_SYSKEYDOWN);
    t.On<&TWinControl::CNKeyUp>(CN_KEYUP);
    t.On<&TWinControl::CNKeyUp>(CN_SYSKEYUP);
    t.On<&TWinControl::CNChar>(CN_CHAR);
    t.On<&TWinControl::CNChar>(CN_SYSCHAR);
    t.On<&TWinControl::CMEnter>(CM_ENTER);
    t.On<&TWinControl::CMExit>(CM_EXIT);
    t.On<&TWinControl::CMFocusChanged>(CM_FOCUSCHANGED);
    t.On<&TWinControl::CMShowingChanged>(CM_SHOWINGCHANGED);
    t.On<&TWinControl::CMVisibleChanged>(CM_VISIBLECHANGED);
    t.On<&TWinControl::CMEnabledChanged>(CM_ENABLEDCHANGED);
    t.On<&TWinControl::CMFontChanged>(CM_FONTCHANGED);
    t.On<&TWinControl::CMColorChanged>(CM_COLORCHANGED);
    t.On<&TWinControl::CMShowHintChanged>(CM_SHOWHINTCHANGED);
    t.On<&TWinControl::CMBiDiModeChanged>(CM_BIDIMODECHANGED);
    t.On<&TWinControl::CMCursorChanged>(CM_CURSORCHANGED);
    t.On<&TWinControl::CMCtl3DChanged>(CM_CTL3DCHANGED);
    t.On<&TWinControl::CMParentCtl3DChanged>(CM_PARENTCTL3DCHANGED);
    t.On<&TWinControl::CMSysColorChange>(CM_SYSCOLORCHANGE);
    t.On<&TWinControl::CMRecreateWnd>(CM_RECREATEWND);
    t.On<&TWinControl::CMDialogKey>(CM_DIALOGKEY);
    t.On<&TWinControl::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TWinControl::CMChildKey>(CM_CHILDKEY);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(std::make_unique<TBrush>()) {
    brush_->SetColor(Color());
    objectInstance_ = MakeObjectInstance(
        [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) { return MainWndProc(hwnd, message, wParam, lParam); });
}

TWinControl* TWinControl::CreateParented(HWND parentWindow) {
    auto* control = new TWinControl(nullptr);
    control->SetParentWindow(parentWindow);
    return control;
}

TWinControl::~TWinControl() {
    Destroying();
    // What a derived class put in WindowProc is gone by now; the window's last
    // messages and the children's removal come to this class's handlers.
    SetWindowProc(nullptr);
    if (parent_) SetParent(nullptr);
    if (handle_) DestroyWnd();
    // Children go with their parent; each removes itself from the lists.
    while (!winControls_.empty()) delete winControls_.back();
    while (!controls_.empty()) delete controls_.back();
    FreeObjectInstance(objectInstance_);
}

LRESULT TWinControl::MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!handle_) handle_ = hwnd;
    TMessage m{message, wParam, lParam, 0};
    try {
        WindowProc()(m);
    } catch (const std::exception& error) {
        Application().HandleException(error);
    }
    return m.Result;
}

// --- Window ---------------------------------------------------------------------

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (parent_) parent_->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND value) {
    if (parent_ || parentWindow_ == value) return;
    if (handle_ && parentWindow_ && value)
        ::SetParent(handle_, value);
    else
        DestroyHandle();
    parentWindow_ = value;
    UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params = {};
    params.Caption = text_;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (controlStyle_.Contains(csAcceptsControls)) params.Style |= WS_CLIPCHILDREN;
    if (!enabled_) params.Style |= WS_DISABLED;
    if (tabStop_) params.Style |= WS_TABSTOP;
    params.X = left_;
    params.Y = top_;
    params.Width = width_;
    params.Height = height_;
    params.WndParent = parent_ ? parent_->Handle() : parentWindow_;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    params.WindowClass.lpfnWndProc = &DefWindowProcW;
    params.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& params, const char16_t* controlClassName) {
    WNDCLASSW predefined{};
    if (!GetClassInfoW(nullptr, controlClassName, &predefined))
        throw EOSError(LoadResString(SWindowClass), ERROR_CLASS_DOES_NOT_EXIST);
    const UINT keep = params.WindowClass.style & (CS_DBLCLKS);
    params.WindowClass = predefined;
    params.WindowClass.style = (predefined.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | keep;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    CreateWnd();
    if (parent_) {
        // Keep the window's z-order with its siblings'.
        auto& siblings = parent_->winControls_;
        auto it = std::find(siblings.begin(), siblings.end(), this);
        for (auto above = it + 1; above != siblings.end(); ++above)
            if ((*above)->handle_) {
                SetWindowPos(handle_, (*above)->handle_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                break;
            }
    }
    for (TControl* control : controls_) control->UpdateAnchorRules();
    for (TWinControl* control : winControls_) control->UpdateAnchorRules();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation(Format(LoadResString(SParentRequired), {Name()}));
    defWndProc_ = params.WindowClass.lpfnWndProc;
    WNDCLASSW registered{};
    const bool known = GetClassInfoW(nullptr, params.WinClassName.c_str(), &registered);
    if (!known || registered.lpfnWndProc != &InitWndProc) {
        if (known) UnregisterClassW(params.WinClassName.c_str(), nullptr);
        params.WindowClass.lpfnWndProc = &InitWndProc;
        params.WindowClass.lpszClassName = params.WinClassName.c_str();
        if (!RegisterClassW(&params.WindowClass)) throw EOSError(LoadResString(SWindowClass), int(GetLastError()));
    }
    creationControl = this;
    creationInstance = objectInstance_;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        creationControl = nullptr;
        creationInstance = nullptr;
        throw;
    }
    creationControl = nullptr;
    creationInstance = nullptr;
    if (!handle_) throw EOSError(LoadResString(SWindowCreate), int(GetLastError()));
    text_.clear();
    UpdateBounds();
    Perform(WM_SETFONT, WPARAM(Font()->Handle()), 1);
    if (AutoSize()) DoAutoSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    // Child windows get identifiers of their own, so that an owner-draw request
    // naming only the identifier (WM_MEASUREITEM) finds its control.
    static std::atomic<UINT> lastChildId{0};
    const HMENU id = params.Style & WS_CHILD ? reinterpret_cast<HMENU>(uintptr_t{++lastChildId}) : nullptr;
    handle_ = CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                              params.X, params.Y, params.Width, params.Height, params.WndParent, id, nullptr,
                              params.Param);
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    for (TWinControl* child : winControls_) child->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    // The window's text lives on in the control until the next window.
    text_ = GetText();
    controlState_.Include(csDestroyingHandle);
    try {
        for (TWinControl* child : winControls_) child->DestroyHandle();
        DestroyWindowHandle();
    } catch (...) {
        controlState_.Exclude(csDestroyingHandle);
        throw;
    }
    controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWindowHandle() {
    HWND window = handle_;
    controlState_.Include(csDestroyingHandle);
    DestroyWindow(window);
    ControlsByWindow().erase(window);
    handle_ = nullptr;
    showing_ = false;
    controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
    if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
    const bool wasFocused = Focused();
    controlState_.Include(csRecreating);
    try {
        DestroyHandle();
        UpdateControlState();
    } catch (...) {
        controlState_.Exclude(csRecreating);
        throw;
    }
    controlState_.Exclude(csRecreating);
    if (wasFocused && handle_) ::SetFocus(handle_);
}

void TWinControl::WMNCDestroy(TMessage& m) {
    InheritedMessage(m);
    ControlsByWindow().erase(handle_);
    handle_ = nullptr;
    showing_ = false;
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!handle_) return TControl::DefaultHandler(message);
    message.Result = DefWndProc(message);
}

LRESULT TWinControl::DefWndProc(TMessage& message) {
    return CallWindowProcW(defWndProc_ ? defWndProc_ : &DefWindowProcW, handle_, message.Msg, message.WParam,
                           message.LParam);
}

String TWinControl::GetText() {
    if (!handle_) return TControl::GetText();
    const int length = GetWindowTextLengthW(handle_);
    String result(size_t(length) + 1, u'\0');
    result.resize(size_t(GetWindowTextW(handle_, result.data(), length + 1)));
    return result;
}

void TWinControl::SetTextValue(const String& value) {
    if (handle_)
        Perform(WM_SETTEXT, 0, LPARAM(value.c_str()));
    else
        text_ = value;
}

// --- Showing ------------------------------------------------------------------------

void TWinControl::UpdateShowing() {
    const bool show = visible_ && !controlState_.Contains(csReadingState);
    if (show) {
        if (!handle_) CreateHandle();
        for (TWinControl* child : std::vector<TWinControl*>(winControls_)) child->UpdateShowing();
    }
    SetShowing(show);
    if (!show) HideChildren();
}

void TWinControl::SetShowing(bool value) {
    if (!handle_ || showing_ == value) return;
    showing_ = value;
    try {
        Perform(CM_SHOWINGCHANGED);
    } catch (...) {
        showing_ = !value;
        throw;
    }
}

void TWinControl::HideChildren() {
    for (TWinControl* child : std::vector<TWinControl*>(winControls_)) {
        child->SetShowing(false);
        child->HideChildren();
    }
}

void TWinControl::UpdateControlState() {
    TWinControl* root = this;
    for (; root->parent_; root = root->parent_)
        if (!root->parent_->Showing()) return;
    if (root->IsRootWindow()) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& m) {
    if (!visible_ && parent_) RemoveFocus(false);
    if (!ComponentState().Contains(csDesigning)) UpdateControlState();
    InheritedMessage(m);
}

void TWinControl::ShowControl(TControl*) {
    if (parent_) parent_->ShowControl(this);
}

void TWinControl::CMEnabledChanged(TMessage&) {
    if (!enabled_ && parent_) RemoveFocus(false);
    if (handle_) EnableWindow(handle_, enabled_);
}

// --- Children ------------------------------------------------------------------------

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) throw EListError(Format(LoadResString(SListIndexError), {index}));
    const size_t i = size_t(index);
    return i < controls_.size() ? controls_[i] : winControls_[i - controls_.size()];
}

void TWinControl::InsertIntoList(TControl* control) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        winControls_.push_back(windowed);
        tabList_.push_back(windowed);
    } else {
        controls_.push_back(control);
    }
}

void TWinControl::InsertControl(TControl* control) {
    Perform(CM_CONTROLLISTCHANGE, WPARAM(control), LPARAM(true));
    InsertIntoList(control);
    control->parent_ = this;
    if (!ComponentState().Contains(csReading)) {
        control->Perform(CM_PARENTCOLORCHANGED);
        control->Perform(CM_PARENTFONTCHANGED);
        control->Perform(CM_PARENTSHOWHINTCHANGED);
        control->Perform(CM_PARENTBIDIMODECHANGED);
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            windowed->Perform(CM_PARENTCTL3DCHANGED);
            windowed->UpdateControlState();
        } else if (handle_) {
            control->Invalidate();
        }
        AlignControl(control);
    }
    Perform(CM_CONTROLCHANGE, WPARAM(control), LPARAM(true));
}

void TWinControl::RemoveControl(TControl* control) {
    Perform(CM_CONTROLCHANGE, WPARAM(control), LPARAM(false));
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        windowed->RemoveFocus(true);
        windowed->DestroyHandle();
        std::erase(winControls_, windowed);
        std::erase(tabList_, windowed);
    } else {
        if (handle_) control->InvalidateControl(control->Visible(), false);
        std::erase(controls_, control);
    }
    control->parent_ = nullptr;
    Perform(CM_CONTROLLISTCHANGE, WPARAM(control), LPARAM(false));
    Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
    for (TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
    auto hits = [&](TControl* c) {
        const TRect r = c->BoundsRect();
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) return false;
        if (pos.X < r.Left || pos.X >= r.Right || pos.Y < r.Top || pos.Y >= r.Bottom) return false;
        const TPoint local{pos.X - r.Left, pos.Y - r.Top};
        return c->Perform(CM_HITTEST, 0, MAKELPARAM(WORD(local.X), WORD(local.Y))) != 0;
    };
    if (allowWinControls)
        for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
            if (hits(*it)) return *it;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (hits(*it)) return *it;
    return nullptr;
}

TWinControl* TWinControl::FindChildControl(const String& name) const {
    for (TWinControl* child : winControls_)
        if (CompareText(child->Name(), name) == 0) return child;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WindowProc()(message);
        if (message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT message) {
    TMessage m{message, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::MoveGraphicControl(TControl* control, bool topMost) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    if (topMost)
        controls_.push_back(control);
    else
        controls_.insert(controls_.begin(), control);
}

void TWinControl::SetZOrder(bool topMost) {
    if (!parent_) {
        if (handle_) SetWindowPos(handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    auto& siblings = parent_->winControls_;
    std::erase(siblings, this);
    if (topMost)
        siblings.push_back(this);
    else
        siblings.insert(siblings.begin(), this);
    if (handle_)
        SetWindowPos(handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    parent_->Realign();
}

// --- Bounds -------------------------------------------------------------------------

void TWinControl::SetBounds(int left, int top, int width, int height) {
    ApplyConstraints(width, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (handle_ && !IsIconic(handle_)) {
        // The window reports the new bounds back through WM_WINDOWPOSCHANGED.
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (parent_ && parent_->redrawDeferred_) {
            flags |= SWP_NOREDRAW;
            parent_->redrawNeeded_ = true;
        }
        SetWindowPos(handle_, nullptr, left, top, width, height, flags);
        if (left_ == left && top_ == top && width_ == width && height_ == height) {
            UpdateAnchorRules();
            RequestAlign();
            return;
        }
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    UpdateAnchorRules();
    RequestAlign();
    if (!handle_ && !ComponentState().Contains(csLoading)) {
        Realign();
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    RECT r;
    GetWindowRect(handle_, &r);
    HWND parent = GetParent(handle_);
    if (parent && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    UpdateAnchorRules();
}

TRect TWinControl::ClientRect() {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return ToTRect(r);
    }
    const TRect margins = NonClientMargins();
    return {0, 0, std::max(0, width_ - margins.Left - margins.Right), std::max(0, height_ - margins.Top - margins.Bottom)};
}

TPoint TWinControl::ClientOrigin() {
    POINT p{0, 0};
    ::ClientToScreen(Handle(), &p);
    return {p.x, p.y};
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
    const bool framesChanged = pos && (pos->flags & SWP_FRAMECHANGED);
    if (framesChanged) {
        RedrawWindow(handle_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    }
    InheritedMessage(m);
}

void TWinControl::WMSize(TMessage& m) {
    UpdateBounds();
    InheritedMessage(m);
    Realign();
    if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& m) {
    InheritedMessage(m);
    UpdateBounds();
}

// A window resized by the user keeps to Constraints too.
void TWinControl::WMGetMinMaxInfo(TMessage& m) {
    InheritedMessage(m);
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    const TSizeLimits l = SizeLimits();
    if (l.minWidth > 0) info->ptMinTrackSize.x = l.minWidth;
    if (l.minHeight > 0) info->ptMinTrackSize.y = l.minHeight;
    if (l.maxWidth > 0) info->ptMaxTrackSize.x = l.maxWidth;
    if (l.maxHeight > 0) info->ptMaxTrackSize.y = l.maxHeight;
}

void TWinControl::ChangeScale(int multiplier, int divider) {
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(multiplier, divider);
    TControl::ChangeScale(multiplier, divider);
    EnableAlign();
}

void TWinControl::Loaded() {
    if (pendingTabOrder_ >= 0) UpdateTabOrder(std::exchange(pendingTabOrder_, -1));
    if (handle_) UpdateBounds();
    TControl::Loaded();
    Realign();
}

// --- Non-client area ---------------------------------------------------------------

void TWinControl::SetBorderWidth(int value) {
    if (borderWidth_ == value) return;
    borderWidth_ = value;
    if (handle_) SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Realign();
}

void TWinControl::SetCtl3D(bool value) {
    if (ctl3D_ == value) return;
    ctl3D_ = value;
    parentCtl3D_ = false;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
    if (parentCtl3D_ == value) return;
    parentCtl3D_ = value;
    if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMCtl3DChanged(TMessage&) { NotifyControls(CM_PARENTCTL3DCHANGED); }

void TWinControl::CMParentCtl3DChanged(TMessage&) {
    if (!parentCtl3D_ || !parent_) return;
    SetCtl3D(parent_->Ctl3D());
    parentCtl3D_ = true;
}

TRect TWinControl::NonClientMargins() const {
    TRect m{borderWidth_, borderWidth_, borderWidth_, borderWidth_};
    if (bevelKind_ == bkNone) return m;
    int edge = 0;
    if (bevelInner_ != bvNone) edge += bevelWidth_;
    if (bevelOuter_ != bvNone) edge += bevelWidth_;
    if (bevelKind_ == bkFlat || bevelKind_ == bkSoft) edge = std::max(edge, 1);
    if (bevelEdges_.Contains(beLeft)) m.Left += edge;
    if (bevelEdges_.Contains(beTop)) m.Top += edge;
    if (bevelEdges_.Contains(beRight)) m.Right += edge;
    if (bevelEdges_.Contains(beBottom)) m.Bottom += edge;
    return m;
}

void TWinControl::WMNCCalcSize(TMessage& m) {
    InheritedMessage(m);
    const TRect margins = NonClientMargins();
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    r->left += margins.Left;
    r->top += margins.Top;
    r->right -= margins.Right;
    r->bottom -= margins.Bottom;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void TWinControl::WMNCPaint(TMessage& m) {
    InheritedMessage(m);
    if (bevelKind_ == bkNone && borderWidth_ == 0) return;
    HDC dc = GetWindowDC(handle_);
    PaintNonClient(dc);
    ReleaseDC(handle_, dc);
}

void TWinControl::PaintNonClient(HDC dc) {
    RECT window;
    GetWindowRect(handle_, &window);
    // Whatever the default frame took stays; bevels and the border sit inside it.
    RECT client;
    GetClientRect(handle_, &client);
    POINT origin{0, 0};
    ::ClientToScreen(handle_, &origin);
    const TRect margins = NonClientMargins();
    RECT frame{origin.x - window.left - margins.Left, origin.y - window.top - margins.Top, 0, 0};
    frame.right = frame.left + client.right + margins.Left + margins.Right;
    frame.bottom = frame.top + client.bottom + margins.Top + margins.Bottom;
    if (bevelKind_ != bkNone) {
        UINT flags = 0;
        if (bevelEdges_.Contains(beLeft)) flags |= BF_LEFT;
        if (bevelEdges_.Contains(beTop)) flags |= BF_TOP;
        if (bevelEdges_.Contains(beRight)) flags |= BF_RIGHT;
        if (bevelEdges_.Contains(beBottom)) flags |= BF_BOTTOM;
        if (bevelKind_ == bkFlat) flags |= BF_FLAT;
        if (bevelKind_ == bkSoft) flags |= BF_SOFT;
        UINT edge = 0;
        if (bevelInner_ == bvLowered) edge |= BDR_SUNKENINNER;
        if (bevelInner_ == bvRaised) edge |= BDR_RAISEDINNER;
        if (bevelOuter_ == bvLowered) edge |= BDR_SUNKENOUTER;
        if (bevelOuter_ == bvRaised) edge |= BDR_RAISEDOUTER;
        DrawEdge(dc, &frame, edge, flags | BF_ADJUST);
    }
    if (borderWidth_ > 0) {
        // The border is the control's own colour between bevel and client.
        HBRUSH brush = brush_->Handle();
        RECT inner{frame.left + borderWidth_, frame.top + borderWidth_, frame.right - borderWidth_,
                   frame.bottom - borderWidth_};
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        FillRect(dc, &frame, brush);
        RestoreDC(dc, saved);
    }
}

// --- Painting -----------------------------------------------------------------------

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::WMPaint(TMessage& m) {
    if (m.WParam != 0 || !doubleBuffered_) {
        // A wrapped window class with nothing of ours to paint over it paints itself.
        if (m.WParam == 0 && defWndProc_ && defWndProc_ != &DefWindowProcW && controls_.empty())
            DefaultHandler(m);
        else
            PaintHandler(m);
        return;
    }
    // Double buffered: erase and paint into a bitmap, then one copy to the window.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    const TRect client = ClientRect();
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.Right, client.Bottom);
    HGDIOBJ old = SelectObject(memory, ToGdiObject(bitmap));
    try {
        Perform(WM_ERASEBKGND, WPARAM(memory), WPARAM(memory));
        TMessage paint{WM_PAINT, WPARAM(memory), 0, 0};
        WindowProc()(paint);
    } catch (...) {
        SelectObject(memory, old);
        DeleteObject(ToGdiObject(bitmap));
        DeleteDC(memory);
        EndPaint(handle_, &ps);
        throw;
    }
    BitBlt(dc, 0, 0, client.Right, client.Bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(ToGdiObject(bitmap));
    DeleteDC(memory);
    EndPaint(handle_, &ps);
}

void TWinControl::PaintHandler(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps{};
    if (!dc) dc = BeginPaint(handle_, &ps);
    try {
        // Opaque window-less children cover their part; the window leaves it alone.
        const int saved = SaveDC(dc);
        int clip = SIMPLEREGION;
        for (TControl* child : controls_) {
            if (!child->Visible() || !child->ControlStyle().Contains(csOpaque)) continue;
            const TRect r = child->BoundsRect();
            clip = ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
            if (clip == NULLREGION) break;
        }
        if (clip != NULLREGION) PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (!m.WParam) EndPaint(handle_, &ps);
        throw;
    }
    if (!m.WParam) EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage m{WM_PAINT, WPARAM(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto it = first ? std::find(controls_.begin(), controls_.end(), first) : controls_.begin();
    if (it == controls_.end()) it = controls_.begin();
    RECT box;
    GetClipBox(dc, &box);
    for (; it != controls_.end(); ++it) {
        TControl* child = *it;
        if (!child->Visible()) continue;
        const TRect r = child->BoundsRect();
        if (r.Right <= box.left || r.Left >= box.right || r.Bottom <= box.top || r.Top >= box.bottom) continue;
        const int saved = SaveDC(dc);
        OffsetWindowOrgEx(dc, -r.Left, -r.Top, nullptr);
        IntersectClipRect(dc, 0, 0, r.Width(), r.Height());
        try {
            child->Perform(WM_PAINT, WPARAM(dc), 0);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    RECT r;
    GetClientRect(handle_, &r);
    FillRect(dc, &r, brush_->Handle());
    m.Result = 1;
}

void TWinControl::WMPrintClient(TMessage& m) {
    if ((m.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(handle_)) return;
    if (m.LParam & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, m.WParam, m.WParam);
    TMessage paint{WM_PAINT, m.WParam, 0, 0};
    WindowProc()(paint);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    controlState_.Include(csPaintCopy);
    const int saved = SaveDC(dc);
    try {
        OffsetWindowOrgEx(dc, -x, -y, nullptr);
        IntersectClipRect(dc, 0, 0, width_, height_);
        // The frame and bevels, then the client area at its place in the window.
        SendMessageW(Handle(), WM_PRINT, WPARAM(dc), PRF_NONCLIENT);
        RECT window;
        GetWindowRect(handle_, &window);
        POINT origin{0, 0};
        ::ClientToScreen(handle_, &origin);
        const int cx = origin.x - window.left, cy = origin.y - window.top;
        const TRect client = ClientRect();
        OffsetWindowOrgEx(dc, -cx, -cy, nullptr);
        IntersectClipRect(dc, 0, 0, client.Right, client.Bottom);
        Perform(WM_ERASEBKGND, WPARAM(dc), WPARAM(dc));
        Perform(WM_PAINT, WPARAM(dc), 0);
        for (TWinControl* child : winControls_)
            if (child->Visible() && child->HandleAllocated()) child->PaintTo(dc, child->left_, child->top_);
    } catch (...) {
        RestoreDC(dc, saved);
        controlState_.Exclude(csPaintCopy);
        throw;
    }
    RestoreDC(dc, saved);
    controlState_.Exclude(csPaintCopy);
}

void TWinControl::CMColorChanged(TMessage& m) {
    InheritedMessage(m);
    brush_->SetColor(Color());
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& m) {
    InheritedMessage(m);
    if (handle_) Perform(WM_SETFONT, WPARAM(Font()->Handle()), 0);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage& m) {
    InheritedMessage(m);
    NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage& m) {
    InheritedMessage(m);
    NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::CMSysColorChange(TMessage& m) {
    InheritedMessage(m);
    Broadcast(m);
}

void TWinControl::WMSysColorChange(TMessage& m) {
    InheritedMessage(m);
    Perform(CM_SYSCOLORCHANGE);
}

void TWinControl::WMUIState(TMessage& m) {
    // Focus rectangles and accelerators are always shown.
    m.Result = 0;
}

// --- Mouse ----------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
        break;
    case WM_KILLFOCUS:
        if (controlState_.Contains(csFocusing)) return;
        break;
    case WM_NCHITTEST:
        InheritedMessage(message);
        return TControl::WndProc(message);
    default:
        if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && message.Msg != WM_MOUSEWHEEL &&
            IsControlMouseMsg(message)) {
            // What the window-less child left unanswered gets the window's defaults
            // (a right button's release becomes WM_CONTEXTMENU); the child may have taken the window away.
            if (message.Result == 0 && handle_)
                DefWindowProcW(handle_, message.Msg, message.WParam, message.LParam);
            return;
        }
        break;
    }
    TControl::WndProc(message);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* control = nullptr;
    if (GetCapture() == handle_) {
        TControl* captured = CaptureControl();
        if (captured && captured != this && captured->parent_ == this) control = captured;
    } else {
        control = ControlAtPos(TWMMouse(m).Pos(), false);
    }
    if (!control) return false;
    const TWMMouse mouse(m);
    const int x = mouse.XPos() - control->Left(), y = mouse.YPos() - control->Top();
    m.Result = control->Perform(m.Msg, m.WParam, MAKELPARAM(WORD(x), WORD(y)));
    return true;
}

void TWinControl::WMSetCursor(TMessage& m) {
    const TWMSetCursor msg(m);
    if (msg.CursorWnd() == handle_ && msg.HitTest() == HTCLIENT) {
        TCursor cursor = Screen().Cursor();
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(handle_, &p);
            if (TControl* control = ControlAtPos({p.x, p.y}, false)) cursor = control->Cursor();
            // A window-less child with the default shows this control's.
            if (cursor == crDefault) cursor = Cursor();
        }
        if (cursor != crDefault) {
            ::SetCursor(Screen().Cursors(cursor));
            m.Result = 1;
            return;
        }
    }
    InheritedMessage(m);
}

void TWinControl::CMCursorChanged(TMessage&) {
    if (!handle_ || GetCapture()) return;
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) == handle_) Perform(WM_SETCURSOR, WPARAM(handle_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TWinControl::WMContextMenu(TMessage& m) {
    if (m.Result != 0) return;
    const TPoint screen = TWMContextMenu(m).Pos();
    if (!(screen.X == -1 && screen.Y == -1) && handle_) {
        POINT p{screen.X, screen.Y};
        ::ScreenToClient(handle_, &p);
        if (TControl* child = ControlAtPos({p.x, p.y}, false)) {
            m.Result = child->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
            if (m.Result != 0) return;
        }
    }
    InheritedMessage(m);
}

void TWinControl::WMCancelMode(TMessage& m) {
    InheritedMessage(m);
    if (TCustomForm* form = dynamic_cast<TCustomForm*>(this)) form->SendCancelMode(nullptr);
}

// --- Reflection -----------------------------------------------------------------------

void TWinControl::WMReflect(TMessage& m) {
    if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
        if (m.LParam == 0) return InheritedMessage(m);
    }
    if (TWinControl* control = FindControl(ChildWindowOf(m)); control && control != this) {
        m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    InheritedMessage(m);
}

void TWinControl::WMDrawItem(TMessage& m) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    if (item->CtlType != ODT_MENU) {
        if (TWinControl* control = FindControl(item->hwndItem)) {
            m.Result = control->Perform(CN_DRAWITEM, m.WParam, m.LParam);
            return;
        }
    }
    InheritedMessage(m);
}

void TWinControl::WMMeasureItem(TMessage& m) {
    const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam);
    if (item->CtlType != ODT_MENU) {
        // The item has no window of its own in the message: find the child by its identifier.
        for (TWinControl* child : winControls_)
            if (child->handle_ && UINT(GetDlgCtrlID(child->handle_)) == item->CtlID) {
                m.Result = child->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
                return;
            }
    }
    InheritedMessage(m);
}

// --- Keys -------------------------------------------------------------------------------

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char16_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

bool TWinControl::DoKeyDown(TMessage& m) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(m)) return true;
    if (!controlStyle_.Contains(csNoStdEvents)) {
        uint16_t key = uint16_t(m.WParam);
        KeyDown(key, KeyDataToShiftState(m.LParam));
        m.WParam = key;
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& m) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(m)) return true;
    if (!controlStyle_.Contains(csNoStdEvents)) {
        char16_t ch = char16_t(m.WParam);
        KeyPress(ch);
        m.WParam = ch;
        if (ch == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& m) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(m)) return true;
    if (!controlStyle_.Contains(csNoStdEvents)) {
        uint16_t key = uint16_t(m.WParam);
        KeyUp(key, KeyDataToShiftState(m.LParam));
        m.WParam = key;
        if (key == 0) return true;
    }
    return false;
}

void TWinControl::WMKeyDown(TMessage& m) {
    if (!DoKeyDown(m)) InheritedMessage(m);
}

void TWinControl::WMSysKeyDown(TMessage& m) {
    if (!DoKeyDown(m)) InheritedMessage(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
    if (!DoKeyUp(m)) InheritedMessage(m);
}

void TWinControl::WMSysKeyUp(TMessage& m) {
    if (!DoKeyUp(m)) InheritedMessage(m);
}

void TWinControl::WMChar(TMessage& m) {
    if (!DoKeyPress(m)) InheritedMessage(m);
}

void TWinControl::CNKeyDown(TMessage& m) {
    m.Result = 1;
    TCustomForm* form = GetParentForm(this);
    if (form && form->IsShortCut(m)) return;
    if (form != Application().MainForm() && Application().IsShortCut(m)) return;
    if (Perform(CM_CHILDKEY, m.WParam, LPARAM(this)) != 0) return;
    const UINT mask = DialogCodeMaskFor(WORD(m.WParam));
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 &&
        (Perform(WM_GETDLGCODE) & mask) == 0 && form && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0)
        return;
    m.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& m) { m.Result = 0; }

void TWinControl::CNChar(TMessage& m) {
    m.Result = 1;
    if (m.Msg == CN_SYSCHAR || (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        // Accelerators: Alt+letter anywhere, the letter alone where the control takes no characters.
        if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
            return;
    }
    m.Result = 0;
}

void TWinControl::CMChildKey(TMessage& m) {
    if (parent_) m.Result = parent_->Perform(CM_CHILDKEY, m.WParam, m.LParam);
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }

void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

// --- Focus -------------------------------------------------------------------------------

void TWinControl::SetTabStop(bool value) {
    if (tabStop_ == value) return;
    tabStop_ = value;
    if (handle_) {
        LONG style = GetWindowLongW(handle_, GWL_STYLE);
        SetWindowLongW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~LONG(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    const auto& list = parent_->tabList_;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (ComponentState().Contains(csLoading)) {
        pendingTabOrder_ = value;
        return;
    }
    UpdateTabOrder(value);
}

void TWinControl::UpdateTabOrder(int value) {
    if (!parent_) return;
    auto& list = parent_->tabList_;
    const int current = TabOrder();
    if (current < 0) return;
    const int count = int(list.size());
    if (value < 0 || value >= count) value = count - 1;
    if (value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* control : tabList_) {
        list.push_back(control);
        control->GetTabOrderList(list);
    }
}

bool TWinControl::CanFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form || !form->Enabled() || !form->Visible()) return false;
    for (TWinControl* c = this; c != form; c = c->parent_)
        if (!c || !c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this))
        form->FocusControl(this);
    else if (parentWindow_)
        ::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int count = int(list.size());
    auto start = std::find(list.begin(), list.end(), current);
    int i = start == list.end() ? (goForward ? count - 1 : 0) : int(start - list.begin());
    const int first = i;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TWinControl* candidate = list[size_t(i)];
        if (candidate != current && candidate->CanFocus() && (!checkTabStop || candidate->TabStop()) &&
            (!checkParent || candidate->parent_ == this))
            return candidate;
    } while (i != first);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    TWinControl* control = FindNextControl(nullptr, true, true, false);
    if (!control) control = FindNextControl(nullptr, true, false, false);
    if (control) form->SetActiveControl(control);
}

void TWinControl::RemoveFocus(bool removing) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, removing);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::CMFocusChanged(TMessage& m) { Broadcast(m); }
