#pragma once
// Windows: classes, creation and destruction, procedures and object
// instances, window words, text, the window tree and geometry.
//
// A window belongs to the thread that creates it. Functions that read or
// change a window work only on the owning thread and fail (0, FALSE, with
// ERROR_WINDOW_OF_OTHER_THREAD) elsewhere; posting, sending and IsWindow work
// from any thread. A handle of a destroyed window fails like any stale one.

#include <functional>

#include "platform/win/Constants.h"

// --- Errors ------------------------------------------------------------------
DWORD GetLastError() noexcept;
void SetLastError(DWORD error) noexcept;
DWORD GetCurrentThreadId() noexcept;

// --- Classes -----------------------------------------------------------------
// Class names compare without case; a name registered twice fails with
// ERROR_CLASS_ALREADY_EXISTS. Classes are process-wide.
ATOM RegisterClassW(const WNDCLASSW* wc);
ATOM RegisterClassExW(const WNDCLASSEXW* wc);
// Fails while windows of the class exist.
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* wc);
BOOL GetClassInfoExW(HINSTANCE instance, LPCWSTR className, WNDCLASSEXW* wc);
int GetClassNameW(HWND hwnd, LPWSTR buffer, int maxCount);
ULONG_PTR GetClassLongPtrW(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value);

// --- Creation ----------------------------------------------------------------
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
// Any thread.
BOOL IsWindow(HWND hwnd) noexcept;
// The virtual screen; parent of every top-level window.
HWND GetDesktopWindow() noexcept;

// --- Procedures --------------------------------------------------------------
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A procedure bound to a C++ callable: a WNDPROC like any other (it compares,
// installs and calls as one). The instance is counted: it stays valid while
// installed in a window or a class, also after FreeObjectInstance; once freed,
// calling it forwards to DefWindowProcW. Made, installed and freed on one
// thread. Raises EOutOfMemory when every instance is in use.
using TWndMethod = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
WNDPROC MakeObjectInstance(TWndMethod method);
void FreeObjectInstance(WNDPROC instance);

// --- Window words --------------------------------------------------------------
// GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT (the owner of a top-level
// window), GWLP_ID, GWLP_USERDATA, GWL_STYLE, GWL_EXSTYLE (both with
// WM_STYLECHANGING and WM_STYLECHANGED), and offsets into the extra bytes.
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
// The 32-bit forms refuse GWLP_WNDPROC, GWLP_HINSTANCE and GWLP_HWNDPARENT.
LONG GetWindowLongW(HWND hwnd, int index);
LONG SetWindowLongW(HWND hwnd, int index, LONG value);

// --- Text ----------------------------------------------------------------------
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount);
int GetWindowTextLengthW(HWND hwnd);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);

// --- Tree ----------------------------------------------------------------------
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT command);
HWND GetTopWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
// The descendants in depth-first z-order, fixed when the walk starts; the
// desktop (or null) walks the calling thread's top-level windows too.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
// The deepest visible, enabled window of the calling thread at a screen point;
// a window answering HTTRANSPARENT passes the point to the one below.
HWND WindowFromPoint(POINT pt);
HWND ChildWindowFromPoint(HWND parent, POINT pt);
HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags);

// --- Geometry ------------------------------------------------------------------
// The client area is what WM_NCCALCSIZE leaves of the window's rectangle
// (recalculated when the size changes and with SWP_FRAMECHANGED); WM_MOVE and
// WM_SIZE report it, and WM_GETMINMAXINFO limits sizable top-level windows.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* pt);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
// Returns the horizontal offset in the low word and the vertical one in the high word.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// The record's length must be sizeof(WINDOWPLACEMENT) (44).
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
