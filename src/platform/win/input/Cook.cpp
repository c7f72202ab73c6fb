// Turning raw desktop input into messages when the thread takes it: the
// window under the pointer (or the capture), mouse activation, the cursor,
// double clicks, key messages with their flags, and input-method messages.

#include <cstdlib>

#include "platform/win/core/Activation.h"
#include "platform/win/core/HitTest.h"
#include "platform/win/input/Input.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

constexpr UINT kButtonDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_XBUTTONDOWN, WM_XBUTTONDOWN};
constexpr UINT kButtonUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_XBUTTONUP, WM_XBUTTONUP};
constexpr UINT kButtonDouble[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_XBUTTONDBLCLK,
                                  WM_XBUTTONDBLCLK};
constexpr int kButtonKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};

// Non-client forms are WM_NC* = client form - (WM_MOUSEMOVE - WM_NCMOUSEMOVE).
constexpr UINT kNonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

void Emit(TRawInput& raw, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    raw.msgs[raw.count++] = MSG{hwnd, message, wParam, lParam, raw.time, raw.pt};
}

LPARAM PackPoint(POINT pt) { return MAKELPARAM(WORD(pt.x), WORD(pt.y)); }

bool IsDoubleClick(TQueue& queue, const TRawInput& raw, TWindow* w, int hit) {
    // Frames double-click whatever the class says.
    if (hit == HTCLIENT && !(w->cls && (w->cls->style & CS_DBLCLKS))) return false;
    if (queue.clickWasDouble || queue.clickWindow != w->handle || queue.clickButton != raw.button ||
        queue.clickHit != hit)
        return false;
    if (raw.time - queue.clickTime > GetDoubleClickTime()) return false;
    return std::abs(raw.pt.x - queue.clickPt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
           std::abs(raw.pt.y - queue.clickPt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

// The wheel goes to the window under the pointer, else to the focus window.
void CookWheel(TQueue& queue, TRawInput& raw) {
    TWindow* target = HitTestPoint(raw.pt, true).window;
    if (!target) target = LocalWindow(queue.focus);
    if (!target) return;
    Emit(raw, target->handle, raw.horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL,
         MAKEWPARAM(raw.mouseKeys, WORD(SHORT(raw.delta))), PackPoint(raw.pt));
}

// The window tracked for leaving hears first when the pointer is no longer over its client area.
void CookLeave(TQueue& queue, TRawInput& raw) {
    if (!queue.leaveTracked) return;
    if (raw.kind != TRawKind::MouseLeave) {
        const THit under = HitTestPoint(raw.pt, false);
        if (under.window && under.window->handle == queue.leaveTracked && under.code == HTCLIENT) return;
    }
    Emit(raw, queue.leaveTracked, WM_MOUSELEAVE, 0, 0);
    queue.leaveTracked = nullptr;
}

void CookMouse(TQueue& queue, TRawInput& raw) {
    if (raw.kind == TRawKind::MouseWheel) return CookWheel(queue, raw);
    CookLeave(queue, raw);
    if (raw.kind == TRawKind::MouseLeave) return;
    const bool down = raw.kind == TRawKind::MouseButton && raw.down;
    const bool up = raw.kind == TRawKind::MouseButton && !raw.down;
    UINT message = down ? kButtonDown[raw.button] : up ? kButtonUp[raw.button] : WM_MOUSEMOVE;
    WPARAM wParam = raw.mouseKeys;
    if (raw.button >= 3 && (down || up)) wParam |= WPARAM(MAKEWPARAM(0, raw.button == 3 ? XBUTTON1 : XBUTTON2));

    TWindow* target = LocalWindow(queue.capture);
    int hit = HTCLIENT;
    if (!target) {
        const THit found = HitTestPoint(raw.pt, false);
        target = found.window;
        hit = found.code;
        if (!target) return;
        const HWND hwnd = target->handle;
        if (down && hit != HTERROR) {
            TWindow* top = RootWindow(target);
            if (queue.active != top->handle) {
                const LRESULT answer = Deliver(target, WM_MOUSEACTIVATE, WPARAM(top->handle), MAKELPARAM(WORD(hit), WORD(message)));
                if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) ActivateTopLevel(top, WA_CLICKACTIVE);
                if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT || !LocalWindow(hwnd)) return;
            }
        }
        Deliver(target, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(WORD(SHORT(hit)), WORD(message)));
        if (hit == HTERROR || !LocalWindow(hwnd) || !EnabledDeep(target)) return;
    }

    if (down) {
        if (IsDoubleClick(queue, raw, target, hit)) {
            message = kButtonDouble[raw.button];
            queue.clickWasDouble = true;
        } else {
            queue.clickWasDouble = false;
        }
        queue.clickWindow = target->handle;
        queue.clickButton = raw.button;
        queue.clickHit = hit;
        queue.clickTime = raw.time;
        queue.clickPt = raw.pt;
    }
    if (hit == HTCLIENT) {
        const POINT origin = ClientOrigin(target);
        Emit(raw, target->handle, message, wParam, PackPoint(POINT{raw.pt.x - origin.x, raw.pt.y - origin.y}));
    } else {
        Emit(raw, target->handle, message - kNonClientOffset, WPARAM(hit), PackPoint(raw.pt));
    }
}

bool IsAltKey(UINT vk) { return vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU; }

void CookKey(TQueue& queue, TRawInput& raw) {
    TWindow* target = LocalWindow(queue.focus);
    const bool noFocus = !target;
    if (noFocus) target = LocalWindow(queue.active);
    if (!target) return;
    const bool sys = noFocus || raw.vk == VK_F10 || ((raw.altDown || IsAltKey(raw.vk)) && !raw.ctrlDown);
    const UINT message = raw.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    const bool context = raw.altDown || (IsAltKey(raw.vk) && !raw.down);
    const DWORD flags = 1 | (raw.scan & 0xFF) << 16 | (raw.extended ? 1u << 24 : 0) | (context ? 1u << 29 : 0) |
                        (raw.repeat || !raw.down ? 1u << 30 : 0) | (raw.down ? 0 : 1u << 31);
    Emit(raw, target->handle, message, raw.vk, LPARAM(flags));
}

void CookIme(TQueue& queue, TRawInput& raw) {
    TWindow* target = LocalWindow(queue.focus);
    if (!target || target->imeDisabled) return;
    const HWND hwnd = target->handle;
    const bool commit = raw.kind == TRawKind::ImeCommit;
    const bool composing = queue.ime.composing && queue.ime.target == hwnd;
    if (!commit && raw.text.IsEmpty()) {
        if (!composing) return;
        Emit(raw, hwnd, WM_IME_COMPOSITION, 0, 0);
        Emit(raw, hwnd, WM_IME_ENDCOMPOSITION, 0, 0);
        return;
    }
    if (!composing) Emit(raw, hwnd, WM_IME_STARTCOMPOSITION, 0, 0);
    const WPARAM last = raw.text.IsEmpty() ? 0 : raw.text.back();
    if (commit) {
        Emit(raw, hwnd, WM_IME_COMPOSITION, raw.text.IsEmpty() ? 0 : raw.text.front(), GCS_RESULTSTR);
        Emit(raw, hwnd, WM_IME_ENDCOMPOSITION, 0, 0);
    } else {
        Emit(raw, hwnd, WM_IME_COMPOSITION, last, GCS_COMPSTR | GCS_CURSORPOS);
    }
}

void Cook(TQueue& queue, TRawInput& raw) {
    switch (raw.kind) {
    case TRawKind::MouseMove:
    case TRawKind::MouseButton:
    case TRawKind::MouseLeave:
    case TRawKind::MouseWheel: CookMouse(queue, raw); break;
    case TRawKind::Key: CookKey(queue, raw); break;
    case TRawKind::ImePreedit:
    case TRawKind::ImeCommit: CookIme(queue, raw); break;
    }
}

void SetKey(TQueue& queue, int vk, bool down) {
    if (down) {
        if (!(queue.keys[vk] & 0x80)) queue.keys[vk] ^= 1;
        queue.keys[vk] |= 0x80;
    } else {
        queue.keys[vk] &= ~0x80;
    }
}

// The generic modifier follows its left and right keys.
void SetModifier(TQueue& queue, int generic, int left, int right, UINT vk, bool down) {
    if (UINT(left) == vk || UINT(right) == vk) SetKey(queue, int(vk), down);
    if (UINT(generic) == vk) SetKey(queue, left, down);
    SetKey(queue, generic, (queue.keys[left] | queue.keys[right]) & 0x80);
}

// What taking a message changes for the thread.
void Took(TQueue& queue, const TRawInput& raw, const MSG& msg) {
    switch (raw.kind) {
    case TRawKind::Key: {
        const UINT vk = raw.vk;
        if (vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT)
            SetModifier(queue, VK_SHIFT, VK_LSHIFT, VK_RSHIFT, vk, raw.down);
        else if (vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL)
            SetModifier(queue, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, vk, raw.down);
        else if (IsAltKey(vk))
            SetModifier(queue, VK_MENU, VK_LMENU, VK_RMENU, vk, raw.down);
        else
            SetKey(queue, int(vk & 0xFF), raw.down);
        // Alt pressed and released with nothing between asks for the menu.
        if (raw.down) queue.altAlone = IsAltKey(vk) && (queue.altAlone || !raw.repeat);
        queue.lastKey = msg;
        queue.lastKeyText = raw.down ? raw.text : String();
        queue.lastKeyValid = raw.down;
        break;
    }
    case TRawKind::MouseButton:
        SetKey(queue, kButtonKeys[raw.button], raw.down);
        queue.altAlone = false;
        break;
    case TRawKind::ImePreedit:
    case TRawKind::ImeCommit:
        if (msg.message == WM_IME_STARTCOMPOSITION) {
            queue.ime.composing = true;
            queue.ime.target = msg.hwnd;
        } else if (msg.message == WM_IME_COMPOSITION) {
            queue.ime.composition = raw.kind == TRawKind::ImeCommit ? String() : raw.text;
            queue.ime.result = raw.kind == TRawKind::ImeCommit ? raw.text : String();
            queue.ime.cursor = raw.kind == TRawKind::ImeCommit ? 0 : raw.cursor;
        } else if (msg.message == WM_IME_ENDCOMPOSITION) {
            queue.ime.composing = false;
            queue.ime.composition.clear();
        }
        break;
    default: break;
    }
}

// Index of the entry with Id, or the size when it is gone.
size_t Locate(TQueue& queue, uint64_t id) {
    for (size_t i = 0; i < queue.input.Size(); ++i)
        if (queue.input[i].id == id) return i;
    return queue.input.Size();
}

} // namespace

bool TakeInput(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg) {
    for (size_t i = 0;;) {
        TRawInput raw;
        {
            std::lock_guard lock(queue.mutex);
            if (i >= queue.input.Size()) return false;
            raw = queue.input[i];
        }
        if (!raw.cooked) {
            // Cooking may send messages whose handlers take input themselves.
            raw.cooked = true;
            Cook(queue, raw);
            std::lock_guard lock(queue.mutex);
            i = Locate(queue, raw.id);
            if (i == queue.input.Size()) {
                i = 0;
                continue;
            }
            queue.input[i] = raw;
        }
        if (raw.stage >= raw.count) {
            std::lock_guard lock(queue.mutex);
            if (const size_t j = Locate(queue, raw.id); j < queue.input.Size()) queue.input.EraseAt(j);
            continue;
        }
        const MSG& candidate = raw.msgs[raw.stage];
        if (!LocalWindow(candidate.hwnd)) {
            std::lock_guard lock(queue.mutex);
            if (const size_t j = Locate(queue, raw.id); j < queue.input.Size()) queue.input.EraseAt(j);
            continue;
        }
        if (!filter.Matches(candidate)) {
            ++i;
            continue;
        }
        msg = candidate;
        if (remove) {
            {
                std::lock_guard lock(queue.mutex);
                if (const size_t j = Locate(queue, raw.id); j < queue.input.Size())
                    if (++queue.input[j].stage >= raw.count) queue.input.EraseAt(j);
            }
            Took(queue, raw, msg);
        }
        return true;
    }
}
