// The "tooltips_class32" class: a topmost popup that never takes activation,
// showing the text of one of its tools. A tracking tool (TTF_TRACK) shows
// where its owner places it with TTM_TRACKPOSITION while TTM_TRACKACTIVATE
// holds it up; a tool whose text is LPSTR_TEXTCALLBACKW asks its window with
// TTN_GETDISPINFOW each time its text is needed. The other tools show below
// the pointer once it has rested over them for a moment, as the mouse
// messages relayed with TTM_RELAYEVENT tell, and hide after a while, at a
// click or when the pointer leaves them. Without TTS_ALWAYSTIP they show only
// while the tool's window belongs to the active window. A tool added with
// TTF_SUBCLASS needs no relaying: the tip subclasses the tool's window and
// sees its mouse messages itself.

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

// Between the border and the text.
constexpr int kTextMargin = 2;
// The pointer rests this long before a tip shows; it stays up this long.
constexpr UINT kInitialDelay = 500;
constexpr UINT kAutoPopDelay = 5000;
// A hover tip stands this far below the pointer.
constexpr int kBelowPointer = 20;
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;

// The windows whose mouse messages reach tips without relaying: their own
// procedure and the tips that listen.
struct TRelayingWindow {
    WNDPROC original = nullptr;
    std::vector<HWND> tips;
};

std::unordered_map<HWND, TRelayingWindow>& RelayingWindows() {
    static std::unordered_map<HWND, TRelayingWindow> windows;
    return windows;
}

LRESULT RelayingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& windows = RelayingWindows();
    const auto found = windows.find(hwnd);
    if (found == windows.end()) return DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC original = found->second.original;
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE) {
        MSG msg{hwnd, message, wParam, lParam, 0, {}};
        GetCursorPos(&msg.pt);
        // A tip may stop listening while it handles the message.
        const std::vector<HWND> tips = found->second.tips;
        for (HWND tip : tips) SendMessageW(tip, TTM_RELAYEVENT, 0, LPARAM(&msg));
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, LONG_PTR(original));
        windows.erase(hwnd);
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

void ListenTo(HWND window, HWND tip) {
    if (!IsWindow(window)) return;
    TRelayingWindow& relaying = RelayingWindows()[window];
    if (!relaying.original)
        relaying.original = WNDPROC(SetWindowLongPtrW(window, GWLP_WNDPROC, LONG_PTR(&RelayingWindowProc)));
    if (std::find(relaying.tips.begin(), relaying.tips.end(), tip) == relaying.tips.end())
        relaying.tips.push_back(tip);
}

void StopListening(HWND window, HWND tip) {
    auto& windows = RelayingWindows();
    const auto found = windows.find(window);
    if (found == windows.end()) return;
    std::erase(found->second.tips, tip);
    if (!found->second.tips.empty()) return;
    // Another subclass may sit on top of ours; then ours stays and passes everything on.
    if (WNDPROC(GetWindowLongPtrW(window, GWLP_WNDPROC)) != &RelayingWindowProc) return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, LONG_PTR(found->second.original));
    windows.erase(found);
}

struct TTool {
    UINT flags = 0;
    HWND owner = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    bool callback = false;
    String text;
    LPARAM data = 0;
};

class TToolTipWindow {
public:
    explicit TToolTipWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    TTool* Find(const TOOLINFOW* info);
    void AddTool(const TOOLINFOW& info);
    void DeleteTool(const TOOLINFOW* info);
    void UpdateText(const TOOLINFOW* info);
    void Track(const TOOLINFOW* info, bool active);
    void Pop();
    // A mouse message the tools' window got.
    void Relay(const MSG& msg);
    int ToolAt(HWND window, POINT client) const;
    void ShowHovered();
    // Asks the shown tool's text again and sizes the window to it, at the tracking position.
    void Refresh();
    String TextOf(const TTool& tool);
    SIZE TextSize(const String& text);
    UINT TextFormat() const;
    void Notify(UINT code, const TTool& tool);
    void Paint(HDC dc);
    // The window whose mouse messages a TTF_SUBCLASS tool needs.
    static HWND ToolWindow(const TTool& tool);
    bool OthersUseWindow(const TTool& tool) const;

    HWND hwnd_;
    HFONT font_ = nullptr;
    std::vector<TTool> tools_;
    // The tool shown (an index into tools_), -1: none.
    int shown_ = -1;
    String text_;
    // The top-left corner of the tip, on the screen.
    POINT corner_{};
    int maxWidth_ = -1;
    bool active_ = true;
    // The tool under the pointer (an index into tools_), -1: none.
    int hovered_ = -1;
};

TTool* TToolTipWindow::Find(const TOOLINFOW* info) {
    if (!info) return nullptr;
    for (TTool& tool : tools_)
        if (tool.owner == info->hwnd && tool.id == info->uId) return &tool;
    return nullptr;
}

void TToolTipWindow::AddTool(const TOOLINFOW& info) {
    TTool tool;
    tool.flags = info.uFlags;
    tool.owner = info.hwnd;
    tool.id = info.uId;
    tool.rect = info.rect;
    tool.callback = info.lpszText == LPSTR_TEXTCALLBACKW;
    if (!tool.callback && info.lpszText) tool.text = info.lpszText;
    tool.data = info.lParam;
    if (TTool* existing = Find(&info))
        *existing = tool;
    else
        tools_.push_back(tool);
    if (tool.flags & TTF_SUBCLASS) ListenTo(ToolWindow(tool), hwnd_);
}

HWND TToolTipWindow::ToolWindow(const TTool& tool) {
    return tool.flags & TTF_IDISHWND ? HWND(tool.id) : tool.owner;
}

bool TToolTipWindow::OthersUseWindow(const TTool& tool) const {
    return std::any_of(tools_.begin(), tools_.end(), [&](const TTool& other) {
        return &other != &tool && (other.flags & TTF_SUBCLASS) && ToolWindow(other) == ToolWindow(tool);
    });
}

void TToolTipWindow::DeleteTool(const TOOLINFOW* info) {
    TTool* tool = Find(info);
    if (!tool) return;
    const int index = int(tool - tools_.data());
    if (index == shown_) Pop();
    if (shown_ > index) --shown_;
    if (hovered_ == index) hovered_ = -1;
    if (hovered_ > index) --hovered_;
    if ((tool->flags & TTF_SUBCLASS) && !OthersUseWindow(*tool)) StopListening(ToolWindow(*tool), hwnd_);
    tools_.erase(tools_.begin() + index);
}

void TToolTipWindow::UpdateText(const TOOLINFOW* info) {
    TTool* tool = Find(info);
    if (!tool) return;
    tool->callback = info->lpszText == LPSTR_TEXTCALLBACKW;
    tool->text = tool->callback || !info->lpszText ? String() : String(info->lpszText);
    if (shown_ == tool - tools_.data()) Refresh();
}

String TToolTipWindow::TextOf(const TTool& tool) {
    if (!tool.callback) return tool.text;
    NMTTDISPINFOW info{};
    info.hdr = {hwnd_, tool.id, TTN_GETDISPINFOW};
    info.uFlags = tool.flags;
    info.lParam = tool.data;
    SendMessageW(tool.owner, WM_NOTIFY, WPARAM(tool.id), LPARAM(&info));
    if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW) return String(info.lpszText);
    const WCHAR* end = std::find(info.szText, info.szText + std::size(info.szText), u'\0');
    return String(info.szText, size_t(end - info.szText));
}

UINT TToolTipWindow::TextFormat() const {
    UINT format = DT_LEFT | DT_EXPANDTABS | (maxWidth_ >= 0 ? DT_WORDBREAK : DT_SINGLELINE);
    if (Style() & TTS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

SIZE TToolTipWindow::TextSize(const String& text) {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, ToGdiObject(font_ ? font_ : HFONT(GetStockObject(DEFAULT_GUI_FONT))));
    RECT r{0, 0, maxWidth_ >= 0 ? maxWidth_ : 0, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &r, TextFormat() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void TToolTipWindow::Refresh() {
    if (shown_ < 0) return;
    text_ = TextOf(tools_[size_t(shown_)]);
    const SIZE text = TextSize(text_);
    const int frame = 2 * (1 + kTextMargin);
    SetWindowPos(hwnd_, HWND_TOPMOST, corner_.x, corner_.y, text.cx + frame, text.cy + frame,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TToolTipWindow::Notify(UINT code, const TTool& tool) {
    NMHDR header{hwnd_, tool.id, code};
    SendMessageW(tool.owner, WM_NOTIFY, WPARAM(tool.id), LPARAM(&header));
}

void TToolTipWindow::Track(const TOOLINFOW* info, bool active) {
    TTool* tool = Find(info);
    if (!tool || !(tool->flags & TTF_TRACK)) return;
    const int index = int(tool - tools_.data());
    if (!active) {
        if (shown_ == index) Pop();
        return;
    }
    if (shown_ != index) Pop();
    shown_ = index;
    Refresh();
    Notify(TTN_SHOW, *tool);
}

void TToolTipWindow::Pop() {
    if (shown_ < 0) return;
    const TTool tool = tools_[size_t(shown_)];
    shown_ = -1;
    KillTimer(hwnd_, kPopTimer);
    ShowWindow(hwnd_, SW_HIDE);
    Notify(TTN_POP, tool);
}

int TToolTipWindow::ToolAt(HWND window, POINT client) const {
    for (size_t i = 0; i < tools_.size(); ++i) {
        const TTool& tool = tools_[i];
        if (tool.flags & TTF_TRACK) continue;
        if (tool.flags & TTF_IDISHWND) {
            if (HWND(tool.id) == window) return int(i);
        } else if (tool.owner == window && client.x >= tool.rect.left && client.x < tool.rect.right &&
                   client.y >= tool.rect.top && client.y < tool.rect.bottom) {
            return int(i);
        }
    }
    return -1;
}

void TToolTipWindow::Relay(const MSG& msg) {
    if (!active_) return;
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        const int tool = ToolAt(msg.hwnd, {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
        if (tool == hovered_) return;
        if (shown_ >= 0 && !(tools_[size_t(shown_)].flags & TTF_TRACK)) Pop();
        hovered_ = tool;
        if (tool >= 0)
            SetTimer(hwnd_, kShowTimer, kInitialDelay, nullptr);
        else
            KillTimer(hwnd_, kShowTimer);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        KillTimer(hwnd_, kShowTimer);
        if (shown_ >= 0 && !(tools_[size_t(shown_)].flags & TTF_TRACK)) Pop();
        return;
    }
}

void TToolTipWindow::ShowHovered() {
    KillTimer(hwnd_, kShowTimer);
    if (hovered_ < 0 || (shown_ >= 0 && (tools_[size_t(shown_)].flags & TTF_TRACK))) return;
    const TTool& tool = tools_[size_t(hovered_)];
    if (!(Style() & TTS_ALWAYSTIP) && GetAncestor(tool.owner, GA_ROOT) != GetActiveWindow()) return;
    POINT pointer;
    GetCursorPos(&pointer);
    corner_ = {pointer.x, pointer.y + kBelowPointer};
    shown_ = hovered_;
    Refresh();
    Notify(TTN_SHOW, tool);
    SetTimer(hwnd_, kPopTimer, kAutoPopDelay, nullptr);
}

void TToolTipWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_INFOTEXT));
    HGDIOBJ old = SelectObject(dc, ToGdiObject(font_ ? font_ : HFONT(GetStockObject(DEFAULT_GUI_FONT))));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT text{client.left + 1 + kTextMargin, client.top + 1 + kTextMargin, client.right - 1 - kTextMargin,
              client.bottom - 1 - kTextMargin};
    DrawTextW(dc, text_.c_str(), int(text_.size()), &text, TextFormat());
    SelectObject(dc, old);
}

LRESULT TToolTipWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        // Always an unowned-looking popup above everything that never takes activation.
        SetWindowLongPtrW(hwnd_, GWL_STYLE, LONG_PTR((Style() & ~WS_CHILD) | WS_POPUP));
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                          GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
        break;
    case WM_DESTROY:
        for (const TTool& tool : tools_)
            if (tool.flags & TTF_SUBCLASS) StopListening(ToolWindow(tool), hwnd_);
        break;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case TTM_ADDTOOLW:
        if (!lParam) return FALSE;
        AddTool(*reinterpret_cast<const TOOLINFOW*>(lParam));
        return TRUE;
    case TTM_DELTOOLW: DeleteTool(reinterpret_cast<const TOOLINFOW*>(lParam)); return 0;
    case TTM_GETTOOLCOUNT: return LRESULT(tools_.size());
    case TTM_UPDATETIPTEXTW: UpdateText(reinterpret_cast<const TOOLINFOW*>(lParam)); return 0;
    case TTM_TRACKACTIVATE: Track(reinterpret_cast<const TOOLINFOW*>(lParam), wParam != 0); return 0;
    case TTM_TRACKPOSITION:
        corner_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (shown_ >= 0) SetWindowPos(hwnd_, HWND_TOPMOST, corner_.x, corner_.y, 0, 0,
                                      SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    case TTM_SETMAXTIPWIDTH: {
        const int previous = maxWidth_;
        maxWidth_ = int(lParam);
        Refresh();
        return previous;
    }
    case TTM_GETTEXTW: {
        // wParam: the buffer's size in code units; the text is cut to fit.
        auto* info = reinterpret_cast<TOOLINFOW*>(lParam);
        const TTool* tool = Find(info);
        if (!tool || !info->lpszText || wParam == 0) return 0;
        const String text = TextOf(*tool);
        const size_t count = std::min(text.size(), size_t(wParam) - 1);
        std::copy_n(text.data(), count, info->lpszText);
        info->lpszText[count] = u'\0';
        return LRESULT(count);
    }
    case TTM_POP: Pop(); return 0;
    case TTM_ACTIVATE:
        active_ = wParam != 0;
        if (!active_) {
            KillTimer(hwnd_, kShowTimer);
            hovered_ = -1;
            Pop();
        }
        return 0;
    case TTM_RELAYEVENT:
        if (lParam) Relay(*reinterpret_cast<const MSG*>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kShowTimer) ShowHovered();
        if (wParam == kPopTimer) Pop();
        return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace

LRESULT ToolTipWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TToolTipWindow>(hwnd, message, wParam, lParam);
}
