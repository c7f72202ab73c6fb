#include "platform/win/desktop/Desktop.h"

#include "platform/rtl/Threads.h"
#include "platform/win/core/Activation.h"
#include "platform/win/core/RawInput.h"
#include "platform/win/core/Ticks.h"
#include "platform/win/input/Input.h"
#include "platform/win/input/KeyTable.h"
#include "platform/win/message/Messages.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr int kButtonKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};
constexpr WORD kButtonFlags[] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON, MK_XBUTTON1, MK_XBUTTON2};

bool AsyncDown(int vk) { return WindowSystem().asyncKeys[vk].load(std::memory_order_relaxed) & 0x80; }

void SetAsync(int vk, bool down) {
    auto& key = WindowSystem().asyncKeys[vk];
    const uint8_t old = key.load(std::memory_order_relaxed);
    key.store(down ? uint8_t(0x80 | ((old & 0x80) ? old & 1 : (old & 1) ^ 1)) : uint8_t(old & 1),
              std::memory_order_relaxed);
}

// Left and right modifier keys also set the generic one, and the other way round.
void SetAsyncKey(UINT vk, bool down) {
    const auto pair = [&](int generic, int left, int right) {
        if (vk == UINT(generic)) SetAsync(left, down);
        else SetAsync(int(vk), down);
        SetAsync(generic, AsyncDown(left) || AsyncDown(right));
    };
    if (vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT)
        pair(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    else if (vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL)
        pair(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    else if (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU)
        pair(VK_MENU, VK_LMENU, VK_RMENU);
    else
        SetAsync(int(vk & 0xFF), down);
}

WORD MouseKeys() {
    WORD keys = 0;
    for (int i = 0; i < 5; ++i)
        if (AsyncDown(kButtonKeys[i])) keys |= kButtonFlags[i];
    if (AsyncDown(VK_SHIFT)) keys |= MK_SHIFT;
    if (AsyncDown(VK_CONTROL)) keys |= MK_CONTROL;
    return keys;
}

// The queue of the foreground window's thread, else the caller's.
std::shared_ptr<TQueue> InputQueue() {
    TWindowSystem& system = WindowSystem();
    {
        std::lock_guard lock(system.mutex);
        if (TWindow* w = system.windows.Find(system.foreground.load()); w && w->queue)
            return w->queue->shared_from_this();
    }
    return CurrentQueue().shared_from_this();
}

UINT QueueBits(TRawKind kind) {
    switch (kind) {
    case TRawKind::MouseMove:
    case TRawKind::MouseLeave: return QS_MOUSEMOVE;
    case TRawKind::MouseButton:
    case TRawKind::MouseWheel: return QS_MOUSEBUTTON;
    default: return QS_KEY;
    }
}

} // namespace

void QueueRawInput(TRawInput raw) {
    raw.time = TickNow();
    switch (raw.kind) {
    case TRawKind::MouseMove:
    case TRawKind::MouseLeave:
    case TRawKind::MouseWheel: SetCursorPosition(raw.pt); break;
    case TRawKind::MouseButton:
        SetCursorPosition(raw.pt);
        SetAsyncKey(UINT(kButtonKeys[raw.button]), raw.down);
        break;
    case TRawKind::Key:
        raw.repeat = raw.down && (raw.autoRepeat || AsyncDown(int(raw.vk & 0xFF)));
        SetAsyncKey(raw.vk, raw.down);
        break;
    default: break;
    }
    raw.pt = CursorPosition();
    raw.mouseKeys = MouseKeys();
    raw.altDown = AsyncDown(VK_MENU);
    raw.ctrlDown = AsyncDown(VK_CONTROL);
    const std::shared_ptr<TQueue> queue = InputQueue();
    std::lock_guard lock(queue->mutex);
    TRing<TRawInput>& input = queue->input;
    // Moves nobody has looked at yet merge into one.
    if (raw.kind == TRawKind::MouseMove && !input.Empty() && input.Back().kind == TRawKind::MouseMove &&
        !input.Back().cooked) {
        TRawInput& last = input.Back();
        last.pt = raw.pt;
        last.time = raw.time;
        last.mouseKeys = raw.mouseKeys;
    } else {
        raw.id = ++queue->inputIds;
        input.PushBack(std::move(raw));
    }
    queue->Notify(QueueBits(input.Back().kind));
}

void DesktopMouseMove(POINT pt) {
    TRawInput raw;
    raw.kind = TRawKind::MouseMove;
    raw.pt = pt;
    QueueRawInput(std::move(raw));
}

void DesktopMouseLeave(POINT pt) {
    TRawInput raw;
    raw.kind = TRawKind::MouseLeave;
    raw.pt = pt;
    QueueRawInput(std::move(raw));
}

void DesktopMouseButton(TDesktopButton button, bool down, POINT pt) {
    TRawInput raw;
    raw.kind = TRawKind::MouseButton;
    raw.button = int(button);
    raw.down = down;
    raw.pt = pt;
    QueueRawInput(std::move(raw));
}

void DesktopMouseWheel(int delta, bool horizontal, POINT pt) {
    TRawInput raw;
    raw.kind = TRawKind::MouseWheel;
    raw.delta = delta;
    raw.horizontal = horizontal;
    raw.pt = pt;
    QueueRawInput(std::move(raw));
}

void DesktopKey(UINT vk, bool down, const String& text, bool keypad) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
    DesktopKey(TDesktopKey{vk, down, text, keypad ? scan & 0xFF : scan, false});
}

void DesktopKey(const TDesktopKey& key) {
    TRawInput raw;
    raw.kind = TRawKind::Key;
    raw.vk = key.vk;
    raw.down = key.down;
    raw.text = key.text;
    raw.autoRepeat = key.autoRepeat;
    const UINT scan = key.scan ? key.scan : MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC_EX);
    raw.scan = scan & 0xFF;
    raw.extended = (scan & 0xFF00) == 0xE000;
    QueueRawInput(std::move(raw));
}

void DesktopImePreedit(const String& text, int cursor) {
    TRawInput raw;
    raw.kind = TRawKind::ImePreedit;
    raw.text = text;
    raw.cursor = cursor;
    QueueRawInput(std::move(raw));
}

void DesktopImeCommit(const String& text) {
    TRawInput raw;
    raw.kind = TRawKind::ImeCommit;
    raw.text = text;
    QueueRawInput(std::move(raw));
}

void DesktopActivate(HWND top) {
    if (!top) {
        ActivateTopLevel(nullptr, WA_INACTIVE);
        return;
    }
    if (TWindow* w = LocalWindow(top); w && IsTopLevel(w)) ActivateTopLevel(w, WA_ACTIVE);
}

void DesktopMoveWindow(HWND top, POINT pt) {
    SetWindowPos(top, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesktopResizeWindow(HWND top, SIZE size) {
    SetWindowPos(top, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesktopCloseRequest(HWND top) { PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0); }

void DesktopSysCommand(HWND top, UINT command) {
    SendMessageW(top, WM_SYSCOMMAND, command, 0);
    PresentTopLevelState(top);
}

HCURSOR DesktopCursor() { return VisibleCursor(); }

void SetThreadWaitHost(std::shared_ptr<IWaitHost> host) {
    TQueue& queue = CurrentQueue();
    std::lock_guard lock(queue.mutex);
    queue.waitHost = std::move(host);
}

void RunUntilIdle() {
    TQueue& queue = CurrentQueue();
    const TMessageFilter all;
    for (;;) {
        MSG msg;
        if (LookForMessage(queue, all, true, msg)) {
            queue.messageTime = msg.time;
            queue.messagePos = msg.pt;
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        if (IsMainThread() && CheckSynchronize(0)) continue;
        break;
    }
    PresentPending();
}

void DesktopPress(UINT vk, const String& text) {
    DesktopKey(vk, true, text);
    DesktopKey(vk, false);
}

void DesktopPressWith(UINT modifier, UINT vk, const String& text) {
    DesktopKey(modifier, true);
    DesktopPress(vk, text);
    DesktopKey(modifier, false);
}

void DesktopPressTyping(UINT vk, const std::vector<UINT>& modifiers) {
    BYTE state[256]{};
    for (const UINT m : modifiers) {
        state[m] = 0x80;
        DesktopKey(m, true);
    }
    WCHAR text[4]{};
    const int n = ToUnicode(vk, 0, state, text, 4, 0);
    DesktopPress(vk, String(text, size_t(n > 0 ? n : 0)));
    for (const UINT m : modifiers) DesktopKey(m, false);
}

void DesktopClick(POINT pt) {
    DesktopMouseMove(pt);
    DesktopMouseButton(TDesktopButton::Left, true, pt);
    DesktopMouseButton(TDesktopButton::Left, false, pt);
}
