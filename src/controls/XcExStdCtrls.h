#pragma once
// The extended bases of the edit and the list box. An edit lets through only
// the clipboard commands its ClipboardCommands allow; the others are
// answered 1 and do nothing (a read-only use keeps just caCopy).

#include "controls/XcExControl.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/ListBox.h"

enum class TXcClipboardCommand { caCopy, caCut, caPaste, caClear, caUndo };
using enum TXcClipboardCommand;
RTL_ENUM(TXcClipboardCommand, caCopy, caCut, caPaste, caClear, caUndo);
using TXcClipboardCommands = TSet<TXcClipboardCommand>;

class TXcExCustomEdit : public TXcExControl<TCustomEdit> {
public:
    using TXcExControl<TCustomEdit>::TXcExControl;

    TXcClipboardCommands ClipboardCommands() const noexcept { return clipboardCommands_; }
    virtual void SetClipboardCommands(TXcClipboardCommands value) { clipboardCommands_ = value; }

protected:
    void WndProc(TMessage& message) override;

private:
    TXcClipboardCommands clipboardCommands_{caCopy, caCut, caPaste, caClear, caUndo};
};

class TXcExCustomListBox : public TXcExControl<TCustomListBox> {
public:
    using TXcExControl<TCustomListBox>::TXcExControl;
};
