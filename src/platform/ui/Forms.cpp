#include "platform/ui/Forms.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/User.h"

RTL_PUBLISHED(TCustomForm, c) {
    c.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    c.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    c.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    c.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    c.Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
    c.Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
    c.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    c.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    c.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    c.Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    c.Property("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
    c.Property("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
    c.Property("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
    c.Property("OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide);
    c.Property("OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate);
    c.Property("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate);
    c.Property("OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint);
    c.Property("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy);
    c.Property("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
    c.Property("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery);
}

RTL_PUBLISHED_NONE(TForm);
RTL_PUBLISHED_NONE(TFrame);

UI_MESSAGE_MAP(TCustomForm, t) {
    t.On<&TCustomForm::WMActivate>(WM_ACTIVATE);
    t.On<&TCustomForm::WMClose>(WM_CLOSE);
    t.On<&TCustomForm::WMSetFocus>(WM_SETFOCUS);
    t.On<&TCustomForm::WMSysCommand>(WM_SYSCOMMAND);
    t.On<&TCustomForm::WMSize>(WM_SIZE);
    t.On<&TCustomForm::CMActivate>(CM_ACTIVATE);
    t.On<&TCustomForm::CMDeactivate>(CM_DEACTIVATE);
    t.On<&TCustomForm::CMShowingChanged>(CM_SHOWINGCHANGED);
    t.On<&TCustomForm::CMRelease>(CM_RELEASE);
    t.On<&TCustomForm::CMDialogKey>(CM_DIALOGKEY);
    t.On<&TCustomForm::CMDialogChar>(CM_DIALOGCHAR);
    t.On<&TCustomForm::CMFocusChanged>(CM_FOCUSCHANGED);
    t.On<&TCustomForm::CMVisibleChanged>(CM_VISIBLECHANGED);
    t.On<&TCustomForm::WMCommand>(WM_COMMAND);
    t.On<&TCustomForm::WMInitMenuPopup>(WM_INITMENUPOPUP);
    t.On<&TCustomForm::WMMenuSelect>(WM_MENUSELECT);
    t.On<&TCustomForm::CMMenuChanged>(CM_MENUCHANGED);
}

TCustomForm::TCustomForm(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()), icon_(std::make_unique<TIcon>()) {
    icon_->OnChange = [this](TObject*) { IconChanged(); };
    canvas_->SetControl(this);
    formState_.Include(fsCreating);
    visible_ = false;
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 320, 240);
    SetColor(clBtnFace);
    Screen().AddForm(this);
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (OnDestroy) OnDestroy(this);
    canvas_->FreeHandle();
    if (Screen().ActiveForm() == this || ContainsControl(Screen().ActiveControl())) Screen().SetActiveControl(nullptr);
    Screen().RemoveForm(this);
    Application().FormDestroyed(this);
    DestroyHandle();
}

// --- Window ----------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style &= ~DWORD(WS_CHILD | WS_TABSTOP);
    params.Style |= WS_CLIPCHILDREN;
    params.WndParent = nullptr;
    // Every form but the main one stays above the main form.
    if (TCustomForm* main = Application().MainForm(); main && main != this && main->HandleAllocated())
        params.WndParent = main->Handle();
    switch (borderStyle_) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle: params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
        params.Style |= WS_SYSMENU;
        const bool fixed = borderStyle_ == bsDialog || borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
        if (!fixed && borderIcons_.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
        if (!fixed && borderStyle_ != bsSingle && borderIcons_.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    }
    if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    if (position_ == poDefault || position_ == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
    if (position_ == poDefault || position_ == poDefaultSizeOnly) params.Width = params.Height = CW_USEDEFAULT;
    params.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (!icon_->Empty()) IconChanged();
    if (menu_) {
        menu_->SetWindowHandle(handle_);
        ::SetMenu(handle_, menu_->Handle());
    }
    if (windowState_ == wsMaximized) ShowWindow(handle_, SW_MAXIMIZE);
}

void TCustomForm::DestroyWnd() {
    canvas_->FreeHandle();
    // The window would destroy the menu bar with it.
    if (menu_) {
        ::SetMenu(handle_, nullptr);
        menu_->SetWindowHandle(nullptr);
    }
    TWinControl::DestroyWnd();
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    // Built: the form's own code runs now.
    if (formState_.Contains(fsCreating)) {
        formState_.Exclude(fsCreating);
        if (OnCreate) OnCreate(this);
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
    if (borderIcons_ == value) return;
    borderIcons_ = value;
    if (!handle_) return;
    // The icons change at once, without a new window.
    TCreateParams params;
    CreateParams(params);
    SetWindowLongW(handle_, GWL_STYLE, LONG((params.Style & ~DWORD(WS_VISIBLE)) | (GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE)));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomForm::SetIcon(TIcon* value) { icon_->Assign(value); }

void TCustomForm::IconChanged() {
    if (!handle_) return;
    const HICON icon = icon_->Empty() ? nullptr : icon_->Handle();
    SendMessageW(handle_, WM_SETICON, ICON_BIG, LPARAM(icon));
    SendMessageW(handle_, WM_SETICON, ICON_SMALL, LPARAM(icon));
}

void TCustomForm::SetFormStyle(TFormStyle value) {
    if (formStyle_ == value) return;
    formStyle_ = value;
    if (handle_)
        SetWindowPos(handle_, value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetPosition(TPosition value) { position_ = value; }

TWindowState TCustomForm::WindowState() {
    if (handle_) {
        if (IsIconic(handle_)) return wsMinimized;
        if (IsZoomed(handle_)) return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState value) {
    windowState_ = value;
    if (!handle_ || !showing_) return;
    static constexpr int kCommands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(handle_, kCommands[int(value)]);
}

TMonitor* TCustomForm::Monitor() { return Screen().MonitorFromWindow(Handle(), mdNearest); }

void TCustomForm::PlaceWindow() {
    if (placed_) return;
    placed_ = true;
    TRect area;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: {
        TMonitor* monitor = position_ == poScreenCenter ? Screen().MonitorFromWindow(Handle(), mdPrimary) : nullptr;
        area = monitor ? monitor->WorkareaRect() : Screen().DesktopRect();
        break;
    }
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* center = position_ == poMainFormCenter ? Application().MainForm() : dynamic_cast<TCustomForm*>(Owner());
        if (!center || center == this) center = Application().MainForm();
        if (!center || center == this || !center->HandleAllocated()) {
            area = Screen().MonitorFromWindow(Handle(), mdPrimary)->WorkareaRect();
            break;
        }
        RECT r;
        GetWindowRect(center->Handle(), &r);
        area = ToTRect(r);
        break;
    }
    default: return;
    }
    int x = area.Left + (area.Width() - Width()) / 2;
    int y = area.Top + (area.Height() - Height()) / 2;
    // A centred form stays on its monitor's work area.
    const TRect work = Screen().MonitorFromPoint({x + Width() / 2, y + Height() / 2}, mdNearest)->WorkareaRect();
    x = std::max(work.Left, std::min(x, work.Right - Width()));
    y = std::max(work.Top, std::min(y, work.Bottom - Height()));
    SetBounds(x, y, Width(), Height());
}

// --- Showing --------------------------------------------------------------------

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::CMVisibleChanged(TMessage& m) {
    if (visible_) formState_.Include(fsVisible);
    else formState_.Exclude(fsVisible);
    InheritedMessage(m);
}

void TCustomForm::CMShowingChanged(TMessage&) {
    if (showing_) {
        formState_.Include(fsShowing);
        try {
            DoShow();
        } catch (...) {
            formState_.Exclude(fsShowing);
            throw;
        }
        formState_.Exclude(fsShowing);
        PlaceWindow();
        static constexpr int kCommands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ShowWindow(handle_, kCommands[int(windowState_)]);
        SetForegroundWindow(handle_);
        if (!activeControl_) SelectFirst();
        SetWindowFocus();
    } else {
        formState_.Include(fsShowing);
        try {
            DoHide();
        } catch (...) {
            formState_.Exclude(fsShowing);
            throw;
        }
        formState_.Exclude(fsShowing);
        if (Screen().ActiveForm() == this) Screen().SetActiveForm(nullptr);
        ShowWindow(handle_, SW_HIDE);
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

int TCustomForm::ShowModal() {
    if (visible_ || !enabled_ || formState_.Contains(fsModal) || formStyle_ == fsMDIChild)
        throw EInvalidOperation(LoadResString(SCannotShowModal));
    if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    Application().ModalStarted();
    HWND previousActive = GetActiveWindow();
    formState_.Include(fsModal);
    // The thread's other windows wait for the dialog; exactly those enabled now come back.
    TModalLoopOptions options;
    EnumThreadWindows(GetCurrentThreadId(),
                      [](HWND window, LPARAM list) {
                          if (IsWindowVisible(window) && IsWindowEnabled(window))
                              reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                          return TRUE;
                      },
                      LPARAM(&options.disable));
    std::erase(options.disable, Application().Handle());
    if (HWND owner = previousActive ? previousActive : (Application().MainForm() && Application().MainForm() != this
                                                            ? Application().MainForm()->Handle()
                                                            : nullptr);
        owner && owner != Handle())
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, LONG_PTR(owner));
    options.filter = [](MSG& msg) { return Application().PreprocessMessage(msg); };
    modalResult_ = mrNone;
    int result = mrNone;
    try {
        Show();
        const auto ended = RunModalLoop(
            [this] {
                if (Application().Terminated() && modalResult_ == mrNone) modalResult_ = mrCancel;
                if (modalResult_ != mrNone) {
                    // Closing may be refused (OnCloseQuery) or turned into a hide.
                    const TModalResult wanted = modalResult_;
                    Close();
                    if (modalResult_ == mrNone) return false;
                    modalResult_ = wanted;
                    return true;
                }
                return false;
            },
            options);
        if (ended == TModalEnd::Quit && modalResult_ == mrNone) modalResult_ = mrCancel;
        result = modalResult_;
        // Hidden before the owner comes back, so the owner takes the activation.
        if (handle_) SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                                  SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        visible_ = false;
        showing_ = false;
        formState_.Exclude(fsVisible);
    } catch (...) {
        formState_.Exclude(fsModal);
        Application().ModalFinished();
        throw;
    }
    formState_.Exclude(fsModal);
    if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    Application().ModalFinished();
    return result;
}

// --- Closing ----------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    if (formState_.Contains(fsModal)) {
        // A modal form ends its loop; the loop hides it.
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        if (!CloseQuery()) {
            modalResult_ = mrNone;
            return;
        }
        TCloseAction action = caHide;
        DoClose(action);
        if (action == caNone) modalResult_ = mrNone;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = this == Application().MainForm() ? caFree : caHide;
    DoClose(action);
    switch (action) {
    case caNone: return;
    case caHide: Hide(); return;
    case caMinimize: SetWindowState(wsMinimized); return;
    case caFree:
        if (this == Application().MainForm())
            Application().Terminate();
        else
            Release();
        return;
    }
}

void TCustomForm::Release() { PostMessageW(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CMRelease(TMessage&) { delete this; }

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMSize(TMessage& m) {
    InheritedMessage(m);
    if (this == Application().MainForm()) Application().MainFormMinimized(m.WParam == SIZE_MINIMIZED);
}

void TCustomForm::WMSysCommand(TMessage& m) {
    if ((m.WParam & 0xFFF0) == SC_MINIMIZE && this == Application().MainForm()) {
        Application().Minimize();
        return;
    }
    InheritedMessage(m);
}

// --- Activation and focus -----------------------------------------------------------

// The default procedure is left out: it would focus the form's own window,
// and the form gives the focus to its active control itself.
void TCustomForm::WMActivate(TMessage& m) {
    const bool activating = LOWORD(m.WParam) != WA_INACTIVE;
    if (activating == active_) return;
    active_ = activating;
    if (activating) {
        Screen().SetActiveForm(this);
        SetWindowFocus();
        Activate();
    } else {
        Deactivate();
    }
}

void TCustomForm::CMActivate(TMessage&) { Activate(); }

void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::Activate() {
    formState_.Include(fsActivated);
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::WMSetFocus(TMessage& m) {
    InheritedMessage(m);
    if (activeControl_ && activeControl_ != this) SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
    if (!handle_ || !showing_) return;
    TWinControl* target = activeControl_ && activeControl_->CanFocus() ? activeControl_ : this;
    if (GetFocus() != target->Handle()) ::SetFocus(target->Handle());
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (activeControl_ == control) return;
    // While loading the control may not show yet; the form focuses it when it does.
    const bool loading = ComponentState().Contains(csLoading);
    if (control && (control == this || GetParentForm(control) != this || (!loading && !control->CanFocus())))
        throw EInvalidOperation(LoadResString(SCannotFocus));
    activeControl_ = control;
    if (active_ && showing_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (!control->CanFocus()) throw EInvalidOperation(LoadResString(SCannotFocus));
    const bool wasActive = active_;
    activeControl_ = control;
    if (!wasActive && showing_) {
        // Focusing a control of an inactive form activates the form.
        SetActiveWindow(handle_);
        SetForegroundWindow(handle_);
    }
    if (showing_) SetWindowFocus();
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
    if (removing && control->ContainsControl(focusedControl_)) focusedControl_ = control->Parent();
    if (control->ContainsControl(activeControl_)) {
        activeControl_ = nullptr;
        if (Screen().ActiveControl() && control->ContainsControl(Screen().ActiveControl()))
            Screen().SetActiveControl(nullptr);
        if (handle_ && control->HandleAllocated() &&
            (GetFocus() == control->Handle() || IsChild(control->Handle(), GetFocus())))
            ::SetFocus(handle_);
    }
}

bool TCustomForm::SendFocusMessage(HWND window, UINT message) {
    const int count = focusCount_;
    SendMessageW(window, message, 0, 0);
    return focusCount_ == count;
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    ++focusCount_;
    activeControl_ = control != this ? control : nullptr;
    Screen().SetActiveForm(this);
    Screen().SetActiveControl(control);
    if (control->ControlState().Contains(csFocusing)) return false;
    control->SetControlState(control->ControlState() + TControlState{csFocusing});
    struct TClearFocusing {
        TWinControl* c;
        ~TClearFocusing() { c->SetControlState(c->ControlState() - TControlState{csFocusing}); }
    } clear{control};
    if (!focusedControl_) focusedControl_ = this;
    if (focusedControl_ == control) return true;
    // Exit from the old control up to the common parent, then enter down to the new one.
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
        HWND window = focusedControl_->Handle();
        focusedControl_ = focusedControl_->Parent();
        if (!SendFocusMessage(window, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
        TWinControl* step = control;
        while (step->Parent() != focusedControl_) step = step->Parent();
        focusedControl_ = step;
        if (!SendFocusMessage(step->Handle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(control));
    return true;
}

void TCustomForm::CMFocusChanged(TMessage& m) { Broadcast(m); }

void TCustomForm::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation(LoadResString(SCannotFocus));
    SetActiveWindow(Handle());
    SetForegroundWindow(handle_);
}

void TCustomForm::SendCancelMode(TControl* sender) {
    if (active_ && activeControl_) activeControl_->Perform(CM_CANCELMODE, 0, LPARAM(sender));
}

bool TCustomForm::IsShortCut(TMessage& message) {
    bool handled = false;
    if (OnShortCut) OnShortCut(message, handled);
    if (handled) return true;
    // The popup menus of the focused control and its parents, the menu bar, then the action lists.
    for (TControl* c = activeControl_; c; c = c->Parent())
        if (c->PopupMenu() && c->PopupMenu()->IsShortCut(message)) return true;
    if (menu_ && menu_->IsShortCut(message)) return true;
    return VisitFormActionLists(this, [&](TCustomActionList& list) { return list.IsShortCut(message); });
}

// --- Menu ---------------------------------------------------------------------------------

void TCustomForm::SetMenu(TMainMenu* value) {
    if (menu_ == value) return;
    if (menu_) {
        menu_->RemoveFreeNotification(this);
        menu_->SetWindowHandle(nullptr);
    }
    menu_ = value;
    if (value) value->FreeNotification(this);
    if (!handle_) return;
    if (value) value->SetWindowHandle(handle_);
    ::SetMenu(handle_, value ? value->Handle() : nullptr);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == menu_) {
        menu_ = nullptr;
        if (handle_) ::SetMenu(handle_, nullptr);
    }
}

// A menu's choice (no control window in lParam) goes to its item.
void TCustomForm::WMCommand(TMessage& m) {
    if (m.LParam == 0 && HIWORD(m.WParam) == 0 && menu_ && menu_->DispatchCommand(LOWORD(m.WParam))) return;
    InheritedMessage(m);
}

void TCustomForm::WMInitMenuPopup(TMessage& m) {
    MenuInitPopup(menu_, m);
    InheritedMessage(m);
}

void TCustomForm::WMMenuSelect(TMessage& m) {
    MenuSelect(menu_, m);
    InheritedMessage(m);
}

void TCustomForm::CMMenuChanged(TMessage&) {
    if (handle_ && menu_) DrawMenuBar(handle_);
}

// --- Dialog keys ---------------------------------------------------------------------

void TCustomForm::CMDialogKey(TMessage& m) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (m.WParam) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
                m.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            // Arrows move within the group the active control belongs to.
            if (activeControl_ && activeControl_->Parent()) {
                activeControl_->Parent()->SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN,
                                                     false);
                m.Result = 1;
            }
            return;
        default: break;
        }
    }
    InheritedMessage(m);
}

void TCustomForm::CMDialogChar(TMessage& m) { InheritedMessage(m); }

// --- Painting ---------------------------------------------------------------------------

void TCustomForm::PaintWindow(HDC dc) { canvas_->PaintOn(dc, [this] { Paint(); }); }

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

// --- Accelerators ------------------------------------------------------------------------

bool IsAccel(char16_t key, const String& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        ++i; // "&&" skips the second ampersand
        if (caption[i] != u'&') return CharUpper(caption[i]) == CharUpper(key);
    }
    return false;
}

// --- TFrame ----------------------------------------------------------------------------------

TFrame::TFrame(TComponent* owner) : TWinControl(owner) {
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 320, 240);
}
