#pragma once
// The framework's buttons over the "BUTTON" window class: push buttons that
// answer Enter, Escape and their accelerator and set the form's ModalResult,
// check boxes with two or three states, radio buttons that are exclusive
// among the radio buttons of one parent, and group boxes.

#include "platform/rtl/Alignment.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WinControl.h"

// What the button controls share: the window class, word wrap and the
// colours they answer for their window (the control's Color and Font).
class TButtonControl : public TWinControl {
    RTL_CLASS(TButtonControl, TWinControl);
    UI_MESSAGES(TButtonControl, TWinControl);

public:
    explicit TButtonControl(TComponent* owner);
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    // While set, a change of the check made by code fires no OnClick.
    bool ClicksDisabled() const noexcept { return clicksDisabled_; }
    void SetClicksDisabled(bool value) noexcept { clicksDisabled_ = value; }
    void CNCtlColor(TMessage& m);

private:
    bool clicksDisabled_ = false;
    bool wordWrap_ = false;
};

class TButton : public TButtonControl {
    RTL_CLASS(TButton, TButtonControl);
    UI_MESSAGES(TButton, TButtonControl);

public:
    explicit TButton(TComponent* owner);
    // Sets the parent form's ModalResult to the button's, then OnClick.
    void Click() override;
    // Enter clicks the default button while no other button has the focus.
    bool Default() const noexcept { return default_; }
    void SetDefault(bool value);
    // Escape clicks a cancel button.
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    // Shows the button as the one Enter clicks, or not.
    virtual void SetButtonStyle(bool isDefault);
    // Whether Enter clicks this button now.
    bool Active() const noexcept { return active_; }

    void CMDialogKey(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMFocusChanged(TMessage& m);
    void CNCommand(TMessage& m);

private:
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;
RTL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed);

// Alignment says where the caption sits beside the box: taRightJustify
// (the default) to its right, taLeftJustify to its left.
class TCustomCheckBox : public TButtonControl {
    RTL_CLASS(TCustomCheckBox, TButtonControl);
    UI_MESSAGES(TCustomCheckBox, TButtonControl);

public:
    explicit TCustomCheckBox(TComponent* owner);
    bool Checked() const noexcept { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    // A change fires OnClick.
    TCheckBoxState State() const noexcept { return state_; }
    void SetState(TCheckBoxState value);
    // A click steps unchecked, checked and, with AllowGrayed, grayed.
    bool AllowGrayed() const noexcept { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual void Toggle();

    void CMDialogChar(TMessage& m);
    void CNCommand(TMessage& m);

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    RTL_CLASS(TCheckBox, TCustomCheckBox);

public:
    using TCustomCheckBox::TCustomCheckBox;
};

// Checking one unchecks the other radio buttons of its parent; the checked
// one is the tab stop. Focus reached by the keyboard (arrows, Tab, the
// accelerator) checks the button.
class TRadioButton : public TButtonControl {
    RTL_CLASS(TRadioButton, TButtonControl);
    UI_MESSAGES(TRadioButton, TButtonControl);

public:
    explicit TRadioButton(TComponent* owner);
    // Checking fires OnClick.
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool value);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

    void CMDialogChar(TMessage& m);
    void CNCommand(TMessage& m);

private:
    void TurnSiblingsOff();

    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};

// A frame with a caption around other controls; the aligned children keep
// inside the frame, below the caption. Its accelerator focuses its first child.
class TCustomGroupBox : public TWinControl {
    RTL_CLASS(TCustomGroupBox, TWinControl);
    UI_MESSAGES(TCustomGroupBox, TWinControl);

public:
    explicit TCustomGroupBox(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(TRect& rect) override;

    void CMDialogChar(TMessage& m);
    void CNCtlColorStatic(TMessage& m);
};

class TGroupBox : public TCustomGroupBox {
    RTL_CLASS(TGroupBox, TCustomGroupBox);

public:
    using TCustomGroupBox::TCustomGroupBox;
};
