#pragma once
// TApplication: the program's message loop and what belongs to the whole
// program: the main form, modal nesting, idle processing (the control under
// the pointer, hints, OnIdle), the exception handler and the message box.
//
// Its hidden window (Handle) only receives messages; the main form is the
// program's entry on the task bar. Everything here runs on the GUI thread,
// except MessageBox, which any thread may call: it waits for the GUI
// thread's answer.

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>

#include "platform/rtl/Component.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Events.h"
#include "platform/win/Types.h"

class TControl;
class TCustomForm;
class THintManager;
struct THintInfo;

using TShowHintEvent = std::function<void(String& hintText, bool& canShow, THintInfo& hintInfo)>;

class TApplication : public TComponent {
    RTL_CLASS(TApplication, TComponent);

public:
    explicit TApplication(TComponent* owner = nullptr);
    ~TApplication() override;

    // The hidden window; made on first use.
    HWND Handle();
    void Initialize() {}
    // Makes a form or a data module owned by the application; the first form becomes MainForm.
    template <class T>
    T* CreateForm() {
        auto* instance = new T(this);
        if constexpr (std::is_base_of_v<TCustomForm, T>) {
            if (!mainForm_) mainForm_ = instance;
        }
        return instance;
    }
    TCustomForm* MainForm() const noexcept { return mainForm_; }
    // Shows the main form and takes messages until Terminate. Meanwhile
    // SIGTERM, SIGINT and SIGHUP end it the same way, without a close query,
    // and a second one ends the process.
    void Run();
    // Takes and dispatches one message; idle work and a wait when there is none.
    void HandleMessage();
    // Takes and dispatches every message there is.
    void ProcessMessages();
    // What the loops do with a message before it is translated: hints,
    // the control under the pointer, keys to the focused control (CN_). True
    // when it is taken.
    bool PreprocessMessage(MSG& msg);
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }

    // EAbort ends quietly; otherwise OnException, or the message box.
    void HandleException(const std::exception& error);
    void ShowException(const std::exception& error);
    // From any thread; the caption is Title when empty.
    int MessageBox(const String& text, const String& caption = String(), uint32_t flags = 0);

    const String& Title() const noexcept { return title_; }
    void SetTitle(const String& value) { title_ = value; }
    bool MainFormOnTaskBar() const noexcept { return mainFormOnTaskBar_; }
    void SetMainFormOnTaskBar(bool value) { mainFormOnTaskBar_ = value; }
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }
    String ExeName() const;

    void ModalStarted();
    void ModalFinished();
    int ModalLevel() const noexcept { return modalLevel_; }
    void Minimize();
    void Restore();
    void BringToFront();
    // The window of the active form, else null.
    HWND ActiveFormHandle() const;

    // --- Hints ---
    // The hint of what the pointer or the menu selection is over; OnHint hears each change.
    const String& Hint() const noexcept { return hint_; }
    void SetHint(const String& value);
    TColor HintColor() const noexcept { return hintColor_; }
    void SetHintColor(TColor value) { hintColor_ = value; }
    int HintPause() const noexcept { return hintPause_; }
    void SetHintPause(int value) { hintPause_ = value; }
    int HintHidePause() const noexcept { return hintHidePause_; }
    void SetHintHidePause(int value) { hintHidePause_ = value; }
    int HintShortPause() const noexcept { return hintShortPause_; }
    void SetHintShortPause(int value) { hintShortPause_ = value; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool value);
    void CancelHint();
    THintManager& Hints() const noexcept { return *hints_; }

    // The control under the pointer, as the last idle or mouse message found it.
    TControl* MouseControl() const noexcept { return mouseControl_; }

    TNotifyEvent OnModalBegin;
    TNotifyEvent OnModalEnd;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnHint;

    // Called by the framework.
    // The hidden window reads as minimized (IsIconic) while the main form is.
    void MainFormMinimized(bool minimized);
    void FormDestroyed(TCustomForm* form);
    void ControlDestroyed(TControl* control);
    void HintMouseMessage(TControl* control, const TMessage& message);
    // Idle work: the control under the pointer, hint timing, OnIdle, then
    // (when OnIdle is done) the actions.
    void Idle(const MSG& msg);
    // Updates the actions of every visible form that takes input.
    void DoActionIdle();
    // A key the focused control's form left: the main form's shortcuts,
    // unless a modal form has disabled it.
    bool IsShortCut(TMessage& message);

private:
    bool ProcessMessage(MSG& msg);
    void UpdateMouseControl();
    std::optional<LRESULT> WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    TCustomForm* mainForm_ = nullptr;
    TControl* mouseControl_ = nullptr;
    bool terminated_ = false;
    String title_;
    String hint_;
    bool mainFormOnTaskBar_ = true;
    int helpContext_ = 0;
    int modalLevel_ = 0;
    TColor hintColor_ = clInfoBk;
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    int hintShortPause_ = 50;
    bool showHint_ = true;
    std::unique_ptr<THintManager> hints_;
};

// The program's application: made by the framework's start-up or on first use.
TApplication& Application();
// Frees the application with its forms; the next Application() makes a new one.
void FreeApplication();
