#pragma once
// The extended form base. Keyboard use shows focus rectangles and
// accelerators: a form that becomes showing starts with the window's UI
// state initialised, and Tab, the arrows and Alt clear the hidden state.

#include "controls/XcExControl.h"
#include "platform/ui/Forms.h"

class TXcExForm : public TXcExControl<TForm> {
public:
    using TXcExControl<TForm>::TXcExControl;

protected:
    void WndProc(TMessage& message) override;
    void HandleShowingChanged() override;
};
