#include "controls/XcExStdCtrls.h"

#include <optional>

#include "platform/win/controls/ControlConstants.h"

namespace {

std::optional<TXcClipboardCommand> ClipboardCommandOf(UINT message) {
    switch (message) {
    case WM_CUT: return caCut;
    case WM_COPY: return caCopy;
    case WM_PASTE: return caPaste;
    case WM_CLEAR: return caClear;
    case WM_UNDO:
    case EM_UNDO: return caUndo;
    default: return std::nullopt;
    }
}

} // namespace

void TXcExCustomEdit::WndProc(TMessage& message) {
    const std::optional<TXcClipboardCommand> command = ClipboardCommandOf(message.Msg);
    if (command && !clipboardCommands_.Contains(*command)) {
        message.Result = 1;
        return;
    }
    TXcExControl<TCustomEdit>::WndProc(message);
}
