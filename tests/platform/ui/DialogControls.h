#pragma once
// Test doubles for dialog keys and focus: an edit that takes the focus and
// answers WM_GETDLGCODE as told, and a push button with Default, Cancel and
// ModalResult that answers the dialog keys and its caption's accelerator.
// Both record the messages asked for.

#include "ControlFixture.h"

class TTestEdit : public TCustomControl {
public:
    explicit TTestEdit(TComponent* owner);
    // The window goes after the log: messages then reach the control directly.
    ~TTestEdit() override { SetWindowProc({}); }
    // What the control answers to WM_GETDLGCODE.
    UINT dialogCode = 0;
    // What the control answers to CM_WANTSPECIALKEY.
    LRESULT wantSpecialKey = 0;
    // The key messages that reached the window's own procedure.
    std::vector<std::pair<UINT, WPARAM>> windowKeys;
    TMessageLog log;

    void DefaultHandler(TMessage& message) override;
};

class TTestButton : public TCustomControl {
    UI_MESSAGES(TTestButton, TCustomControl);

public:
    explicit TTestButton(TComponent* owner);
    ~TTestButton() override { SetWindowProc({}); }
    // Enter clicks a default button unless another button has the focus.
    bool isDefault = false;
    // Escape clicks a cancel button.
    bool isCancel = false;
    TModalResult modalResult = mrNone;
    TMessageLog log;

    // Sets the form's ModalResult to the button's, then OnClick.
    void Click() override;

private:
    void CMDialogKey(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMFocusChanged(TMessage& m);

    // Whether Enter is this button's now: it has the focus, or it is the
    // default and no other button has it.
    bool active_ = false;
};
