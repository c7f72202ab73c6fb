#pragma once
// Activation, focus, capture, enabling, the mouse and cursors, the keyboard
// state, TranslateMessage, the input method and the caret. Focus, activation,
// capture, key state and caret are kept per thread, as of the last message the
// thread took.

#include "platform/win/Constants.h"

// --- Activation and focus ------------------------------------------------------
// The old active window gets WM_NCACTIVATE(FALSE) and WM_ACTIVATE(WA_INACTIVE,
// new); the new one WM_NCACTIVATE(TRUE) and WM_ACTIVATE(WA_ACTIVE, old), whose
// default handling focuses it. A thread going from no active window to one
// tells its top-level windows WM_ACTIVATEAPP(TRUE).
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
// Hidden or disabled windows refuse (null returned, nothing changes); focusing
// into an inactive top-level window activates it first. WM_KILLFOCUS and
// WM_SETFOCUS each name the other window.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// Disabling the focus window or one of its ancestors moves the focus away;
// disabled windows get no input.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

// --- Capture and mouse ---------------------------------------------------------
// The capture window gets every mouse message, in its client coordinates, also
// outside itself; the window losing it gets WM_CAPTURECHANGED.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(POINT* pt);
BOOL SetCursorPos(int x, int y);
// With no instance, IDC_x gives the standard cursors; any other name a shared
// cursor from the resources (icons/Icons.h).
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// TME_LEAVE: one WM_MOUSELEAVE once the pointer is no longer over the
// window's client area (at once if it is not there now); TME_CANCEL with it
// stops that. One window of the thread is tracked at a time.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Counted: the cursor shows while the count is 0 or more.
int ShowCursor(BOOL show);

// --- Keyboard ------------------------------------------------------------------
// Down (high bit, negative) and toggled (low bit) as of the last message taken.
SHORT GetKeyState(int vk);
// As of now.
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);
BOOL SetKeyboardState(const BYTE* state);
// Makes WM_CHAR (WM_SYSCHAR) from a WM_KEYDOWN (WM_SYSKEYDOWN): the text the
// desktop gave the key, one message per UTF-16 unit, taken before anything
// else posted afterwards.
BOOL TranslateMessage(const MSG* msg);

// --- Input method --------------------------------------------------------------
HIMC ImmGetContext(HWND hwnd);
BOOL ImmReleaseContext(HWND hwnd, HIMC context);
// GCS_COMPSTR, GCS_RESULTSTR (bytes copied, or needed with a zero length) and
// GCS_CURSORPOS (the cursor position).
LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD length);
BOOL ImmSetCompositionWindow(HIMC context, const COMPOSITIONFORM* form);
// A null context turns input methods off for the window; returns the previous one.
HIMC ImmAssociateContext(HWND hwnd, HIMC context);
// The screen rectangle the input method is told to place its window at.
RECT ImeCursorRect();
// Whether the focus window takes typed text: it has an input context and its
// WM_GETDLGCODE answer includes DLGC_WANTCHARS.
bool ImeAcceptsText();

// --- Caret ---------------------------------------------------------------------
// One per thread, created hidden; (HBITMAP)1 makes it grey.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* pt);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT milliseconds);
