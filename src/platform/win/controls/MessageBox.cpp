#include "platform/win/controls/MessageBox.h"

#include <algorithm>
#include <vector>

#include "platform/win/controls/ControlTexts.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/MessageBoxLayout.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/message/ModalWindows.h"
#include "platform/win/text/Text.h"

namespace {

constexpr char16_t kMessageBoxClass[] = u"MessageBoxDialog";
constexpr int kIconId = 0xFFF0, kTextId = 0xFFF1;

// The letter after a single '&', upper case for ASCII letters; 0 without one.
char16_t Mnemonic(const String& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        const char16_t c = caption[++i];
        if (c != u'&') return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
    }
    return 0;
}

// One message box from creation to answer.
class TMessageBox {
public:
    TMessageBox(HWND owner, String text, String caption, UINT type)
        : owner_(owner), text_(std::move(text)), caption_(std::move(caption)), type_(type),
          kinds_(MessageBoxButtons(type)), closeAnswer_(MessageBoxCloseAnswer(kinds_)) {}
    ~TMessageBox() {
        if (box_ && IsWindow(box_)) DestroyWindow(box_);
    }
    TMessageBox(const TMessageBox&) = delete;
    TMessageBox& operator=(const TMessageBox&) = delete;

    int Run();

    static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Create();
    void Build();
    void Place(SIZE client);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // What the dialog does with a key before the focused button sees it; true when taken.
    bool DialogKey(const MSG& msg);
    void MoveFocus(int step);
    void FocusButton(HWND button);
    int ButtonIndex(HWND button) const;
    void Answer(int id) { answer_ = id; }

    HWND owner_;
    String text_, caption_;
    UINT type_;
    std::span<const TMessageBoxButton> kinds_;
    int closeAnswer_;
    HWND box_ = nullptr;
    std::vector<HWND> buttons_;
    std::vector<char16_t> mnemonics_;
    HWND focus_ = nullptr;
    int answer_ = 0;
};

void RegisterMessageBoxClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(nullptr, kMessageBoxClass, &wc)) return;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = &TMessageBox::Procedure;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kMessageBoxClass;
    RegisterClassExW(&wc); // another thread may have been first: that class is the same
}

LRESULT TMessageBox::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<TMessageBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!box && message == WM_NCCREATE) {
        box = static_cast<TMessageBox*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        box->box_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    }
    if (!box) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return box->Handle(message, wParam, lParam);
}

int TMessageBox::Run() {
    const HWND previousActive = GetActiveWindow(), previousFocus = GetFocus();
    if (!Create()) return 0;
    TModalLoopOptions options;
    options.disable = WindowsToDisableForDialog(owner_, box_);
    options.filter = [this](MSG& msg) { return DialogKey(msg); };
    options.idle = [this] {
        if (owner_ && IsWindow(owner_)) SendMessageW(owner_, WM_ENTERIDLE, MSGF_DIALOGBOX, LPARAM(box_));
    };
    ShowWindow(box_, SW_SHOW);
    if (type_ & MB_SETFOREGROUND) SetForegroundWindow(box_);
    SetActiveWindow(box_);
    FocusButton(focus_);
    MessageBeep(type_ & MB_ICONMASK);
    const TModalEnd end = RunModalLoop([this] { return answer_ != 0 || !IsWindow(box_); }, options);
    if (end == TModalEnd::Quit && answer_ == 0) answer_ = closeAnswer_;
    // The windows are enabled again; the box goes and the window active before
    // comes back with the focus where it was.
    DestroyWindow(box_);
    box_ = nullptr;
    if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    if (previousFocus && IsWindow(previousFocus) && GetAncestor(previousFocus, GA_ROOT) == GetActiveWindow())
        SetFocus(previousFocus);
    return answer_;
}

bool TMessageBox::Create() {
    RegisterMessageBoxClass();
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    if (type_ & (MB_TOPMOST | MB_SYSTEMMODAL)) exStyle |= WS_EX_TOPMOST;
    if (!CreateWindowExW(exStyle, kMessageBoxClass, caption_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                         owner_, nullptr, nullptr, this))
        return false;
    Build();
    return true;
}

void TMessageBox::Build() {
    const HFONT font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HICON icon = nullptr;
    SIZE iconSize{};
    if (LPCWSTR name = MessageBoxIconName(type_)) {
        icon = LoadIconW(nullptr, name);
        iconSize = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    }
    std::vector<String> captions;
    for (const TMessageBoxButton& kind : kinds_) captions.push_back(LoadResString(*kind.caption));

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : box_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    HDC dc = GetDC(box_);
    const HGDIOBJ oldFont = SelectObject(dc, ToGdiObject(font));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int maxTextWidth = std::max(1, std::min(workWidth * 5 / 8, 64 * int(tm.tmAveCharWidth)));
    const TMessageBoxLayout layout = LayOutMessageBox(dc, text_, iconSize, captions, maxTextWidth);
    SelectObject(dc, oldFont);
    ReleaseDC(box_, dc);

    const auto child = [&](const char16_t* cls, const String& text, DWORD style, const RECT& r, int id) {
        const HWND h = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, box_, HMENU(uintptr_t(id)), nullptr,
                                       nullptr);
        SendMessageW(h, WM_SETFONT, WPARAM(font), FALSE);
        return h;
    };
    if (icon) SendMessageW(child(u"STATIC", String(), SS_ICON, layout.icon, kIconId), STM_SETICON, WPARAM(icon), 0);
    child(u"STATIC", text_, SS_LEFT | SS_NOPREFIX, layout.text, kTextId);
    size_t defaultIndex = (type_ & MB_DEFMASK) >> 8;
    if (defaultIndex >= kinds_.size()) defaultIndex = 0;
    for (size_t i = 0; i < kinds_.size(); ++i) {
        const DWORD style = WS_TABSTOP | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        buttons_.push_back(child(u"BUTTON", captions[i], style, layout.buttons[i], kinds_[i].id));
        mnemonics_.push_back(Mnemonic(captions[i]));
    }
    focus_ = buttons_[defaultIndex];
    if (!closeAnswer_) EnableMenuItem(GetSystemMenu(box_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Place(layout.client);
}

void TMessageBox::Place(SIZE client) {
    RECT window, inside;
    GetWindowRect(box_, &window);
    GetClientRect(box_, &inside);
    const int width = client.cx + (window.right - window.left) - inside.right;
    const int height = client.cy + (window.bottom - window.top) - inside.bottom;

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : box_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT around = monitor.rcWork;
    if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) GetWindowRect(owner_, &around);
    const RECT& work = monitor.rcWork;
    const int x = std::clamp(int(around.left + around.right - width) / 2, int(work.left),
                             std::max(int(work.left), int(work.right) - width));
    const int y = std::clamp(int(around.top + around.bottom - height) / 2, int(work.top),
                             std::max(int(work.top), int(work.bottom) - height));
    const HWND zOrder = (type_ & (MB_TOPMOST | MB_SYSTEMMODAL)) ? HWND_TOPMOST : nullptr;
    SetWindowPos(box_, zOrder, x, y, width, height, SWP_NOACTIVATE | (zOrder ? 0 : SWP_NOZORDER));
}

LRESULT TMessageBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && ButtonIndex(reinterpret_cast<HWND>(lParam)) >= 0)
            Answer(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        if (closeAnswer_) Answer(closeAnswer_);
        return 0;
    case WM_ACTIVATE:
        // Coming back, the focus returns to the button that had it.
        if (LOWORD(wParam) != WA_INACTIVE) FocusButton(focus_);
        return 0;
    case WM_SETFOCUS: FocusButton(focus_); return 0;
    }
    return DefWindowProcW(box_, message, wParam, lParam);
}

bool TMessageBox::DialogKey(const MSG& msg) {
    if (msg.hwnd != box_ && !IsChild(box_, msg.hwnd)) return false;
    switch (msg.message) {
    case WM_KEYDOWN:
        switch (msg.wParam) {
        case VK_RETURN: Answer(GetDlgCtrlID(focus_)); return true;
        case VK_ESCAPE:
            if (closeAnswer_) Answer(closeAnswer_);
            return true;
        case VK_TAB: MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1); return true;
        case VK_LEFT:
        case VK_UP: MoveFocus(-1); return true;
        case VK_RIGHT:
        case VK_DOWN: MoveFocus(1); return true;
        }
        return false;
    case WM_CHAR:
    case WM_SYSCHAR: {
        const char16_t c = char16_t(msg.wParam);
        const char16_t key = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        const auto found = std::find(mnemonics_.begin(), mnemonics_.end(), key);
        if (key == 0 || found == mnemonics_.end()) return false;
        Answer(kinds_[size_t(found - mnemonics_.begin())].id);
        return true;
    }
    }
    return false;
}

void TMessageBox::MoveFocus(int step) {
    const int count = int(buttons_.size());
    const int current = std::max(0, ButtonIndex(focus_));
    FocusButton(buttons_[size_t((current + step + count) % count)]);
}

// The focused push button is the default one, which Enter answers.
void TMessageBox::FocusButton(HWND button) {
    for (HWND b : buttons_) {
        const bool isDefault = b == button;
        const DWORD type = DWORD(GetWindowLongPtrW(b, GWL_STYLE)) & BS_TYPEMASK;
        if (isDefault != (type == BS_DEFPUSHBUTTON))
            SendMessageW(b, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
    focus_ = button;
    if (GetFocus() != button && GetActiveWindow() == box_) SetFocus(button);
}

int TMessageBox::ButtonIndex(HWND button) const {
    const auto found = std::find(buttons_.begin(), buttons_.end(), button);
    return found == buttons_.end() ? -1 : int(found - buttons_.begin());
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    if (MessageBoxButtons(type).empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (owner && !top) return 0; // not a window of this thread: the error is set
    TMessageBox box(top, text ? String(text) : String(), caption ? String(caption) : LoadResString(SMsgDlgError),
                    type);
    return box.Run();
}
