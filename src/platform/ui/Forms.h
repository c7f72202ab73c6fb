#pragma once
// Forms and frames. A form is a top-level window whose border style and
// icons become window-manager hints; it keeps its active control (the one
// that has or gets the focus when the form is active), runs modal loops and
// closes through OnCloseQuery and OnClose. Forms are built in code, between
// BeginLoading() and EndLoading(), and are never streamed or scaled.
//
// A frame is a windowed container placed on a form like any control.

#include <memory>

#include "platform/ui/CustomControl.h"
#include "platform/ui/graphics/Icon.h"

class TMainMenu;
class TMonitor;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
RTL_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin);

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
RTL_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp);
using TBorderIcons = TSet<TBorderIcon>;

// The MDI styles exist for stored values; they behave as fsNormal.
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
RTL_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop);

enum class TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
using enum TPosition;
RTL_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
         poMainFormCenter, poOwnerFormCenter);

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;
RTL_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized);

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

enum class TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using enum TFormStateFlag;
using TFormState = TSet<TFormStateFlag>;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
using TShortCutEvent = std::function<void(TMessage& message, bool& handled)>;

class TCustomForm : public TWinControl {
    RTL_CLASS(TCustomForm, TWinControl);
    UI_MESSAGES(TCustomForm, TWinControl);

public:
    // An empty form (nothing is loaded: forms are built in code).
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle FormStyle() const noexcept { return formStyle_; }
    void SetFormStyle(TFormStyle value);
    TPosition Position() const noexcept { return position_; }
    void SetPosition(TPosition value);
    TWindowState WindowState();
    void SetWindowState(TWindowState value);
    bool Scaled() const noexcept { return scaled_; }
    void SetScaled(bool value) { scaled_ = value; }
    int PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }
    bool KeyPreview() const noexcept { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TFormState FormState() const noexcept { return formState_; }
    TMonitor* Monitor();
    TCanvas* Canvas() const noexcept { return canvas_.get(); }
    // Whether the form is the one the user works in.
    bool Active() const noexcept { return active_; }

    // The control that has the focus while the form is active.
    TWinControl* ActiveControl() const noexcept { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Gives Control the focus (activating the form first when it is shown).
    void FocusControl(TWinControl* control);
    // Control is leaving (Removing: for good): the form forgets it as active
    // and focused control, the focus going to the form itself.
    void DefocusControl(TWinControl* control, bool removing);
    // The window of Control took the focus: exit and enter notifications,
    // the screen's active form and control. False when a handler moved the focus elsewhere.
    bool SetFocusedControl(TWinControl* control);
    void SendCancelMode(TControl* sender);
    // A key the form's shortcuts take: OnShortCut, the popup menus of the
    // focused control and its parents, the form's menu, then the action lists
    // of the form and of its showing frames.
    virtual bool IsShortCut(TMessage& message);
    // Updates the actions of the form's action clients (frames included) and
    // of its action lists and its frames'; nothing while the form is hidden.
    void UpdateActions();
    // The menu bar in the form's frame (kept across new windows; a freed menu is forgotten).
    TMainMenu* Menu() const noexcept { return menu_; }
    void SetMenu(TMainMenu* value);
    // The form's window icon (the desktop shows it in the task bar and title); none when empty.
    TIcon* Icon() const noexcept { return icon_.get(); }
    void SetIcon(TIcon* value);

    void Show();
    // Runs the form until ModalResult is set; answers it.
    virtual int ShowModal();
    TModalResult ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    // Asks OnCloseQuery, then OnClose decides: hide, free, minimize or nothing.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the message being handled is done.
    void Release();
    void SetFocus() override;
    bool CanFocus() override { return Visible() && Enabled(); }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool IsRootWindow() const override { return true; }
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void PaintWindow(HDC dc) override;
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Paint();
    // Where the form goes when first shown, from Position.
    void PlaceWindow();

    void WMActivate(TMessage& m);
    void WMClose(TMessage& m);
    void WMSetFocus(TMessage& m);
    void WMSysCommand(TMessage& m);
    void WMSize(TMessage& m);
    void CMActivate(TMessage& m);
    void CMDeactivate(TMessage& m);
    void CMShowingChanged(TMessage& m);
    void CMRelease(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMFocusChanged(TMessage& m);
    void CMVisibleChanged(TMessage& m);
    void WMCommand(TMessage& m);
    void WMInitMenuPopup(TMessage& m);
    void WMMenuSelect(TMessage& m);
    void CMMenuChanged(TMessage& m);

private:
    void SetWindowFocus();
    // Sends Message to the window; false when the focus moved on meanwhile.
    bool SendFocusMessage(HWND window, UINT message);

    void IconChanged();

    std::unique_ptr<TControlCanvas> canvas_;
    std::unique_ptr<TIcon> icon_;
    TMainMenu* menu_ = nullptr;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TFormState formState_;
    bool scaled_ = true;
    int pixelsPerInch_ = 96;
    bool keyPreview_ = false;
    bool active_ = false;
    bool placed_ = false;
    TModalResult modalResult_ = mrNone;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    int focusCount_ = 0;
};

class TForm : public TCustomForm {
    RTL_CLASS(TForm, TCustomForm);

public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// Whether Caption marks Key as its accelerator ("&Next" answers N and n; "&&" is a plain ampersand).
bool IsAccel(char16_t key, const String& caption);

class TFrame : public TWinControl {
    RTL_CLASS(TFrame, TWinControl);

public:
    explicit TFrame(TComponent* owner);
};
