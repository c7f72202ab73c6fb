#pragma once
// Walking and linking the window tree, and delivering a message to a window
// of the calling thread. Internal to the window system.

#include <vector>

#include "platform/win/core/System.h"

// Raises nothing; sets the thread's last error.
void SetError(DWORD error) noexcept;

// A window of the calling thread for HWND, setting ERROR_INVALID_WINDOW_HANDLE
// or ERROR_WINDOW_OF_OTHER_THREAD when there is none.
TWindow* WindowOrError(HWND hwnd) noexcept;

inline bool IsDesktop(const TWindow* w) noexcept { return w == &WindowSystem().desktop; }
inline bool IsMessageRoot(const TWindow* w) noexcept { return w == &WindowSystem().messageRoot; }
inline bool IsRoot(const TWindow* w) noexcept { return IsDesktop(w) || IsMessageRoot(w); }
inline bool IsTopLevel(const TWindow* w) noexcept { return w->parent && IsRoot(w->parent); }

// The children of Parent; for the desktop and the message-only root, the
// calling thread's windows under them.
TChildList& ChildList(TWindow* parent);

// Inserts W among Parent's children below After (null: on top, honouring
// topmost windows for top-level ones).
void LinkWindow(TWindow* w, TWindow* parent, TWindow* after);
void UnlinkWindow(TWindow* w) noexcept;
// Moves W in z-order as SetWindowPos's insert-after value says.
void ReorderWindow(TWindow* w, HWND insertAfter);

TWindow* RootWindow(TWindow* w) noexcept;       // top-level ancestor (or itself)
bool IsDescendant(const TWindow* ancestor, const TWindow* w) noexcept; // strict
bool IsSelfOrDescendant(const TWindow* ancestor, const TWindow* w) noexcept;
bool VisibleDeep(const TWindow* w) noexcept;    // it and all its ancestors visible
bool EnabledDeep(const TWindow* w) noexcept;    // it and all its ancestors enabled

// Screen position of the window's client origin, of its top-left corner.
POINT ClientOrigin(const TWindow* w) noexcept;
POINT WindowOrigin(const TWindow* w) noexcept;
// The window's rectangle and its client area on the screen.
RECT ScreenRect(const TWindow* w) noexcept;
RECT ScreenClientRect(const TWindow* w) noexcept;
RECT DesktopRect() noexcept;

// Descendants of W (not W itself) in depth-first z-order.
void CollectDescendants(TWindow* w, std::vector<HWND>& out);
// The calling thread's top-level windows in z-order.
void CollectTopLevel(std::vector<HWND>& out);

// Calls the window's procedure on the calling thread; nothing (0) for a
// window already destroyed.
LRESULT Deliver(TWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
