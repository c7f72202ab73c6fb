#include <cstring>

#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/message/Messages.h"

SHORT GetKeyState(int vk) {
    const TQueue& queue = CurrentQueue();
    const BYTE state = queue.keys[vk & 0xFF];
    return SHORT((state & 0x80 ? 0x8000 : 0) | (state & 1));
}

SHORT GetAsyncKeyState(int vk) {
    return WindowSystem().asyncKeys[vk & 0xFF].load(std::memory_order_relaxed) & 0x80 ? SHORT(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* state) {
    if (!state) return FALSE;
    std::memcpy(state, CurrentQueue().keys, 256);
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
    if (!state) return FALSE;
    std::memcpy(CurrentQueue().keys, state, 256);
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    TQueue& queue = CurrentQueue();
    const MSG& last = queue.lastKey;
    if (!queue.lastKeyValid || last.hwnd != msg->hwnd || last.message != msg->message || last.wParam != msg->wParam ||
        last.lParam != msg->lParam || last.time != msg->time)
        return FALSE;
    queue.lastKeyValid = false;
    const UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    for (char16_t unit : queue.lastKeyText) PostMessageW(msg->hwnd, charMessage, unit, msg->lParam);
    return TRUE;
}
