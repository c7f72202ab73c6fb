#include "platform/win/core/HitTest.h"
#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/message/Messages.h"
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

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT) || !(track->dwFlags & TME_LEAVE)) return FALSE;
    TQueue& queue = CurrentQueue();
    if (track->dwFlags & TME_CANCEL) {
        if (queue.leaveTracked == track->hwndTrack) queue.leaveTracked = nullptr;
        return TRUE;
    }
    TWindow* w = LocalWindow(track->hwndTrack);
    if (!w) return FALSE;
    const THit hit = HitTestPoint(CursorPosition(), false);
    if (hit.window != w || hit.code != HTCLIENT) {
        PostMessageW(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    queue.leaveTracked = track->hwndTrack;
    return TRUE;
}

HWND GetCapture() {
    TQueue* queue = CurrentQueueIfAny();
    return queue && LocalWindow(queue->capture) ? queue->capture : nullptr;
}
