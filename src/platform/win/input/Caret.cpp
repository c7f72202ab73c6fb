#include "platform/win/input/Caret.h"

#include <atomic>

#include "platform/win/core/Hooks.h"
#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/message/Timers.h"
#include "platform/win/paint/Surface.h"

namespace {

constexpr UINT_PTR kBlinkTimer = 1;
std::atomic<UINT> blinkTime{530};

void Flip(TQueue& queue) {
    TCaretState& caret = queue.caret;
    TWindow* owner = LocalWindow(caret.owner);
    if (!owner) return;
    caret.blinkOn = !caret.blinkOn;
    InvertCaret(owner, RECT{caret.pos.x, caret.pos.y, caret.pos.x + caret.width, caret.pos.y + caret.height},
                caret.gray);
}

void Blink(TQueue& queue) {
    if (queue.caret.owner && queue.caret.hideCount == 0) Flip(queue);
}

void RestartBlink(TQueue& queue) { SetSystemTimer(queue, kBlinkTimer, blinkTime.load(), &Blink); }

// Takes the caret off the screen (kept hidden by the count).
void Erase(TQueue& queue) {
    if (queue.caret.blinkOn) Flip(queue);
}

bool Owns(const TQueue& queue, HWND hwnd) { return queue.caret.owner && (!hwnd || hwnd == queue.caret.owner); }

} // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    TQueue& queue = CurrentQueue();
    if (queue.caret.owner) DestroyCaret();
    TCaretState& caret = queue.caret;
    caret = TCaretState();
    caret.owner = hwnd;
    caret.gray = bitmap == reinterpret_cast<HBITMAP>(uintptr_t{1});
    caret.width = width > 0 ? width : 1;
    caret.height = height > 0 ? height : 1;
    RestartBlink(queue);
    Presenter()->TextInputChanged();
    return TRUE;
}

BOOL DestroyCaret() {
    TQueue& queue = CurrentQueue();
    if (!queue.caret.owner) return FALSE;
    Erase(queue);
    queue.caret = TCaretState();
    KillSystemTimer(queue, kBlinkTimer);
    Presenter()->TextInputChanged();
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    TQueue& queue = CurrentQueue();
    if (!Owns(queue, hwnd)) return FALSE;
    TCaretState& caret = queue.caret;
    if (caret.hideCount > 0 && --caret.hideCount == 0) {
        Flip(queue);
        RestartBlink(queue);
    }
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    TQueue& queue = CurrentQueue();
    if (!Owns(queue, hwnd)) return FALSE;
    if (queue.caret.hideCount++ == 0) Erase(queue);
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    TQueue& queue = CurrentQueue();
    if (!queue.caret.owner) return FALSE;
    Erase(queue);
    queue.caret.pos = POINT{x, y};
    if (queue.caret.hideCount == 0) {
        Flip(queue);
        RestartBlink(queue);
    }
    Presenter()->TextInputChanged();
    return TRUE;
}

BOOL GetCaretPos(POINT* pt) {
    TQueue& queue = CurrentQueue();
    if (!pt) return FALSE;
    *pt = queue.caret.pos;
    return TRUE;
}

UINT GetCaretBlinkTime() { return blinkTime.load(); }

BOOL SetCaretBlinkTime(UINT milliseconds) {
    blinkTime = milliseconds;
    if (TQueue* queue = CurrentQueueIfAny(); queue && queue->caret.owner) RestartBlink(*queue);
    return TRUE;
}

bool LiftCaret(TWindow* w) {
    TQueue& queue = CurrentQueue();
    TWindow* owner = LocalWindow(queue.caret.owner);
    if (!owner || !queue.caret.blinkOn || !IsSelfOrDescendant(w, owner)) return false;
    Flip(queue);
    return true;
}

void RestoreCaret() {
    TQueue& queue = CurrentQueue();
    if (queue.caret.owner && !queue.caret.blinkOn && queue.caret.hideCount == 0) Flip(queue);
}
