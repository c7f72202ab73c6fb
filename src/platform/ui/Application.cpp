#include "platform/ui/Application.h"

#include <filesystem>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Hints.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/ui/WinControl.h"
#include "platform/win/User.h"
#include "platform/win/shell/TerminationSignals.h"

RTL_PUBLISHED_NONE(TApplication);

namespace {

TApplication* application = nullptr;

// Forwards what every control reports to the application.
class TApplicationObserver : public IControlObserver {
public:
    void MouseMessage(TControl* control, const TMessage& message) override {
        if (application) application->HintMouseMessage(control, message);
    }
    void ControlDestroyed(TControl* control) override {
        if (application) application->ControlDestroyed(control);
    }
};

TApplicationObserver observer;

bool IsMouseMessage(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

} // namespace

TApplication& Application() {
    if (!application) application = new TApplication(nullptr);
    return *application;
}

void FreeApplication() { delete application; }

TApplication::TApplication(TComponent* owner) : TComponent(owner), hints_(std::make_unique<THintManager>(*this)) {
    application = this;
    SetControlObserver(&observer);
}

TApplication::~TApplication() {
    Destroying();
    // The forms go first, while the application still answers them.
    DestroyComponents();
    mainForm_ = nullptr;
    if (handle_) DeallocateHWnd(std::exchange(handle_, nullptr));
    SetControlObserver(nullptr);
    if (application == this) application = nullptr;
}

HWND TApplication::Handle() {
    if (!handle_)
        handle_ = AllocateHWnd([this](UINT message, WPARAM wParam, LPARAM lParam) { return WndProc(message, wParam, lParam); });
    return handle_;
}

std::optional<LRESULT> TApplication::WndProc(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_SYSCOMMAND) {
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return 0;
        case SC_RESTORE: Restore(); return 0;
        default: break;
        }
    }
    return std::nullopt;
}

String TApplication::ExeName() const {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? String() : String(path.string());
}

// --- Message loop ------------------------------------------------------------------

void TApplication::Run() {
    const TTerminationSignals terminationSignals;
    if (mainForm_) mainForm_->Show();
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (const std::exception& error) {
            HandleException(error);
        }
    }
}

void TApplication::HandleMessage() {
    MSG msg{};
    if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
    MSG msg{};
    while (ProcessMessage(msg)) {}
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (!PreprocessMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool TApplication::PreprocessMessage(MSG& msg) {
    hints_->IsHintMsg(msg);
    if (IsMouseMessage(msg.message)) UpdateMouseControl();
    return IsKeyMessage(msg);
}

void TApplication::Idle(const MSG&) {
    UpdateMouseControl();
    // The pointer left the program's windows.
    if (showHint_ && !mouseControl_) CancelHint();
    bool done = true;
    try {
        if (OnIdle) OnIdle(this, done);
        if (done) DoActionIdle();
    } catch (const std::exception& error) {
        HandleException(error);
    }
    if (done) WaitMessage();
}

void TApplication::DoActionIdle() {
    const TActionIdlePass pass;
    // By index: an update may make or free forms.
    for (int i = 0; i < Screen().CustomFormCount(); ++i) {
        TCustomForm* form = Screen().CustomForms(i);
        if (form->HandleAllocated() && IsWindowVisible(form->Handle()) && IsWindowEnabled(form->Handle()))
            form->UpdateActions();
    }
}

bool TApplication::IsShortCut(TMessage& message) {
    return mainForm_ && mainForm_->HandleAllocated() && IsWindowEnabled(mainForm_->Handle()) &&
           mainForm_->IsShortCut(message);
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

// --- The control under the pointer ------------------------------------------------------

void TApplication::UpdateMouseControl() {
    POINT p;
    GetCursorPos(&p);
    TControl* control = GetCapture() ? mouseControl_ : FindDragTarget({p.x, p.y}, true);
    if (GetCapture() && !mouseControl_) control = FindControl(GetCapture());
    if (control == mouseControl_) return;
    TControl* old = std::exchange(mouseControl_, control);
    if (old) old->Perform(CM_MOUSELEAVE, 0, LPARAM(old));
    // The leave handler may have freed the new control (ControlDestroyed clears it).
    if (mouseControl_) mouseControl_->Perform(CM_MOUSEENTER, 0, LPARAM(mouseControl_));
}

void TApplication::ControlDestroyed(TControl* control) {
    if (mouseControl_ == control) mouseControl_ = nullptr;
    hints_->ControlDestroyed(control);
}

void TApplication::MainFormMinimized(bool minimized) {
    HWND window = Handle();
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, minimized ? (style | LONG(WS_MINIMIZE)) : (style & ~LONG(WS_MINIMIZE)));
}

void TApplication::FormDestroyed(TCustomForm* form) {
    if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::HintMouseMessage(TControl* control, const TMessage& message) {
    if (showHint_) hints_->MouseMessage(control, message);
}

void TApplication::SetHint(const String& value) {
    if (hint_ == value) return;
    hint_ = value;
    if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool value) {
    if (showHint_ == value) return;
    showHint_ = value;
    if (!value) CancelHint();
}

void TApplication::CancelHint() { hints_->CancelHint(); }

// --- Exceptions and message boxes -------------------------------------------------------

void TApplication::HandleException(const std::exception& error) {
    // A drag or a pressed button the failing code began ends here.
    if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
    if (dynamic_cast<const EAbort*>(&error)) return;
    if (OnException)
        OnException(this, error);
    else
        ShowException(error);
}

void TApplication::ShowException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    String text = own ? own->Message() : String(error.what());
    if (!text.empty() && text[text.size() - 1] > u'.') text += u'.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& text, const String& caption, uint32_t flags) {
    return ShowMessageBox(text, caption.empty() ? title_ : caption, flags);
}

// --- Modal nesting, minimizing -------------------------------------------------------------

void TApplication::ModalStarted() {
    if (modalLevel_++ == 0 && OnModalBegin) OnModalBegin(this);
}

void TApplication::ModalFinished() {
    if (--modalLevel_ == 0 && OnModalEnd) OnModalEnd(this);
}

void TApplication::Minimize() {
    if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
    if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
    if (mainForm_ && mainForm_->HandleAllocated() && IsIconic(mainForm_->Handle()))
        ShowWindow(mainForm_->Handle(), SW_RESTORE);
    if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
    if (HWND window = ActiveFormHandle()) SetForegroundWindow(window);
}

HWND TApplication::ActiveFormHandle() const {
    HWND active = GetActiveWindow();
    if (active && FindControl(active)) return active;
    return mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr;
}
