#include "platform/win/controls/folderdialog/ShellDialog.h"

#include <algorithm>
#include <vector>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/message/ModalWindows.h"
#include "platform/win/text/Text.h"

TShellDialog::~TShellDialog() {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
}

LRESULT TShellDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<TShellDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!dialog && message == WM_NCCREATE) {
        dialog = static_cast<TShellDialog*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        dialog->dialog_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
    }
    if (!dialog) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        dialog->dialog_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return dialog->DialogMessage(message, wParam, lParam);
}

LRESULT TShellDialog::DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(dialog_, message, wParam, lParam);
}

bool TShellDialog::CreateDialogWindow(const char16_t* cls, HWND owner, const String& caption, DWORD style,
                                      SIZE client) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, cls, &wc)) {
        wc.lpfnWndProc = &TShellDialog::Procedure;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = cls;
        RegisterClassExW(&wc); // another thread may have been first: that class is the same
    }
    owner_ = owner;
    if (!CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, cls, caption.c_str(), style, 0, 0, 400, 300, owner,
                         nullptr, nullptr, this))
        return false;
    RECT window, inside;
    GetWindowRect(dialog_, &window);
    GetClientRect(dialog_, &inside);
    SetWindowPos(dialog_, nullptr, 0, 0, client.cx + (window.right - window.left) - inside.right,
                 client.cy + (window.bottom - window.top) - inside.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

HFONT TShellDialog::Font() const { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HWND TShellDialog::Child(const char16_t* cls, const String& text, DWORD style, int id, DWORD exStyle) {
    const HWND child = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog_,
                                       HMENU(uintptr_t(id)), nullptr, nullptr);
    if (child) SendMessageW(child, WM_SETFONT, WPARAM(Font()), FALSE);
    return child;
}

bool TShellDialog::RunModal(const std::function<bool()>& finished, HWND focus) {
    const HWND previousActive = GetActiveWindow(), previousFocus = GetFocus();
    TModalLoopOptions options;
    options.disable = WindowsToDisableForDialog(owner_, dialog_);
    options.filter = [this](MSG& msg) {
        return dialog_ && (msg.hwnd == dialog_ || IsChild(dialog_, msg.hwnd)) && DialogKey(msg);
    };
    options.idle = [this] {
        if (owner_ && IsWindow(owner_)) SendMessageW(owner_, WM_ENTERIDLE, MSGF_DIALOGBOX, LPARAM(dialog_));
    };
    ShowWindow(dialog_, SW_SHOW);
    SetActiveWindow(dialog_);
    if (focus && IsWindow(focus)) SetFocus(focus);
    const TModalEnd end = RunModalLoop([&] { return !dialog_ || finished(); }, options);
    if (dialog_) ShowWindow(dialog_, SW_HIDE);
    if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    if (previousFocus && IsWindow(previousFocus) && GetAncestor(previousFocus, GA_ROOT) == GetActiveWindow())
        SetFocus(previousFocus);
    return end == TModalEnd::Done;
}

void TShellDialog::Tab(bool backwards) {
    // In the order the children were made: newer siblings lie on top, so from the bottom up.
    std::vector<HWND> stops;
    const HWND top = GetWindow(dialog_, GW_CHILD);
    for (HWND child = top ? GetWindow(top, GW_HWNDLAST) : nullptr; child; child = GetWindow(child, GW_HWNDPREV)) {
        const auto style = DWORD(GetWindowLongPtrW(child, GWL_STYLE));
        if ((style & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child)) stops.push_back(child);
    }
    if (stops.empty()) return;
    HWND focus = GetFocus();
    while (focus && GetParent(focus) != dialog_) focus = GetParent(focus);
    const auto at = std::find(stops.begin(), stops.end(), focus);
    const size_t count = stops.size();
    size_t next = 0;
    if (at != stops.end()) next = (size_t(at - stops.begin()) + (backwards ? count - 1 : 1)) % count;
    SetFocus(stops[next]);
}
