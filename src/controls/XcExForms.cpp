#include "controls/XcExForms.h"

void TXcExForm::HandleShowingChanged() {
    if (Showing()) Perform(WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0));
    TXcExControl<TForm>::HandleShowingChanged();
}

void TXcExForm::WndProc(TMessage& message) {
    if (message.Msg == CM_DIALOGKEY) {
        switch (message.WParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: Perform(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)); break;
        case VK_MENU: Perform(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL)); break;
        default: break;
        }
    }
    TXcExControl<TForm>::WndProc(message);
}
