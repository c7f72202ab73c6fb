#pragma once
// What the standard controls share: each keeps a state object of its own in
// the window's first extra word, made at WM_NCCREATE and freed after
// WM_NCDESTROY; notifications and colour requests go to the parent.
//
//   class TEditWindow { public: explicit TEditWindow(HWND); LRESULT Handle(UINT, WPARAM, LPARAM); };
//   wc.lpfnWndProc = &ControlWindowProc<TEditWindow>;  wc.cbWndExtra = kControlExtraBytes;

#include <memory>

#include "platform/win/User.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/gdi/Gdi.h"

constexpr int kControlExtraBytes = int(sizeof(LONG_PTR));

// R shrunk by By on every side.
constexpr RECT Inset(RECT r, int by) noexcept { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }
// Whether A and B share a pixel.
constexpr bool Intersects(const RECT& a, const RECT& b) noexcept {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
// Whether the virtual key is down, by the thread's key state.
inline bool KeyHeld(int vk) { return GetKeyState(vk) < 0; }

template <class TState>
TState* ControlState(HWND hwnd) {
    return reinterpret_cast<TState*>(GetWindowLongPtrW(hwnd, 0));
}

// The procedure of a control whose state is a TState: messages before
// WM_NCCREATE go to DefWindowProcW, the rest to TState::Handle.
template <class TState>
LRESULT ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TState* state = ControlState<TState>(hwnd);
    if (!state) {
        if (message != WM_NCCREATE) return DefWindowProcW(hwnd, message, wParam, lParam);
        state = new TState(hwnd);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    }
    if (message != WM_NCDESTROY) return state->Handle(message, wParam, lParam);
    std::unique_ptr<TState> owned(state);
    SetWindowLongPtrW(hwnd, 0, 0);
    return owned->Handle(message, wParam, lParam);
}

// A control's WM_PAINT: Paint(dc, area) into the device context the message
// carries (a paint a wrapper began, or a print; Area its clip box), else
// between BeginPaint and EndPaint (Area the update rectangle).
template <class TPaint>
LRESULT PaintControl(HWND hwnd, WPARAM wParam, TPaint&& paint) {
    if (const HDC given = reinterpret_cast<HDC>(wParam)) {
        RECT area{};
        GetClipBox(given, &area);
        paint(given, area);
        return 0;
    }
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd, &ps);
    paint(dc, ps.rcPaint);
    EndPaint(hwnd, &ps);
    return 0;
}

// Where a control's notifications, owner-draw and colour requests go: its
// parent, for a popup its owner, or the window SetNotifyTarget named.
HWND NotifyTarget(HWND control);
// A popup a control keeps as part of itself (a combo box's drop-down list)
// reports to that control rather than to the top-level window owning it;
// a null Target ends it. Call before the popup goes.
void SetNotifyTarget(HWND popup, HWND target);

// Fills Header's sender and Code and sends it as WM_NOTIFY to the control's
// notify target; the answer, or 0 without a target.
LRESULT SendNotify(HWND control, UINT code, NMHDR& header);

// Sends WM_COMMAND with Code and the control's id to its notify target.
void NotifyParent(HWND control, WORD code);

// The brush the parent answers to WM_CTLCOLOR... (Message) for the control
// with text and background colours set in DC; without an answer, the
// window system's default for that message.
HBRUSH ControlColorBrush(HWND control, HDC dc, UINT message);
