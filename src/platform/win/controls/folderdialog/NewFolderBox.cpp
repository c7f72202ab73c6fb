#include "platform/win/controls/folderdialog/NewFolderBox.h"

#include "platform/win/controls/ControlTexts.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/folderdialog/ShellDialog.h"

namespace {

constexpr char16_t kNewFolderBoxClass[] = u"NewFolderNameBox";
constexpr int kBoxMargin = 10, kLine = 16, kBoxEditHeight = 22, kBoxButtonWidth = 75, kBoxButtonHeight = 24;
constexpr SIZE kClient{300, kBoxMargin + kLine + 4 + kBoxEditHeight + kBoxMargin + kBoxButtonHeight + kBoxMargin};

class TNewFolderBox final : public TShellDialog {
public:
    bool Ask(HWND owner, String& name) {
        if (!CreateDialogWindow(kNewFolderBoxClass, owner, LoadResString(SNewFolderCaption),
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, kClient))
            return false;
        int y = kBoxMargin;
        MoveWindow(Child(u"STATIC", LoadResString(SNewFolderPrompt), SS_LEFT, 0), kBoxMargin, y,
                   kClient.cx - 2 * kBoxMargin, kLine, FALSE);
        y += kLine + 4;
        edit_ = Child(u"EDIT", name, WS_TABSTOP | ES_AUTOHSCROLL, 0, WS_EX_CLIENTEDGE);
        MoveWindow(edit_, kBoxMargin, y, kClient.cx - 2 * kBoxMargin, kBoxEditHeight, FALSE);
        SendMessageW(edit_, EM_SETSEL, 0, -1);
        y += kBoxEditHeight + kBoxMargin;
        const int cancelLeft = kClient.cx - kBoxMargin - kBoxButtonWidth;
        MoveWindow(Child(u"BUTTON", LoadResString(SMsgDlgOK), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK),
                   cancelLeft - 8 - kBoxButtonWidth, y, kBoxButtonWidth, kBoxButtonHeight, FALSE);
        MoveWindow(Child(u"BUTTON", LoadResString(SMsgDlgCancel), WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL), cancelLeft,
                   y, kBoxButtonWidth, kBoxButtonHeight, FALSE);
        Centre();
        RunModal([this] { return answer_ != 0; }, edit_);
        if (answer_ != IDOK) return false;
        name.resize(size_t(GetWindowTextLengthW(edit_)));
        name.resize(size_t(GetWindowTextW(edit_, name.data(), int(name.size()) + 1)));
        return true;
    }

private:
    void Centre() {
        RECT around, box;
        GetWindowRect(owner_, &around);
        GetWindowRect(Window(), &box);
        const int width = box.right - box.left, height = box.bottom - box.top;
        SetWindowPos(Window(), nullptr, (around.left + around.right - width) / 2,
                     (around.top + around.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LRESULT DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
                answer_ = LOWORD(wParam);
            return 0;
        case WM_CLOSE: answer_ = IDCANCEL; return 0;
        }
        return TShellDialog::DialogMessage(message, wParam, lParam);
    }
    bool DialogKey(const MSG& msg) override {
        if (msg.message != WM_KEYDOWN) return false;
        switch (msg.wParam) {
        case VK_RETURN: {
            const int focused = GetDlgCtrlID(GetFocus());
            answer_ = focused == IDCANCEL ? IDCANCEL : IDOK;
            return true;
        }
        case VK_ESCAPE: answer_ = IDCANCEL; return true;
        case VK_TAB: Tab(GetKeyState(VK_SHIFT) < 0); return true;
        }
        return false;
    }

    HWND edit_ = nullptr;
    int answer_ = 0;
};

} // namespace

bool AskNewFolderName(HWND owner, String& name) {
    TNewFolderBox box;
    return box.Ask(owner, name);
}
