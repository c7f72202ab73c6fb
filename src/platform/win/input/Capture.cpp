#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/paint/Surface.h"

HWND SetCapture(HWND hwnd) {
    TQueue& queue = CurrentQueue();
    const HWND old = LocalWindow(queue.capture) ? queue.capture : nullptr;
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return nullptr;
    if (old == hwnd) return old;
    queue.capture = hwnd;
    Presenter()->CaptureChanged(hwnd);
    if (TWindow* previous = LocalWindow(old)) Deliver(previous, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    TQueue& queue = CurrentQueue();
    const HWND old = queue.capture;
    queue.capture = nullptr;
    if (old) Presenter()->CaptureChanged(nullptr);
    if (TWindow* previous = LocalWindow(old)) Deliver(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    TQueue* queue = CurrentQueueIfAny();
    return queue && LocalWindow(queue->capture) ? queue->capture : nullptr;
}
