#pragma once
// The predefined control classes every thread can create windows of:
// "EDIT", "BUTTON", "STATIC", "LISTBOX", "COMBOBOX" and the common controls,
// registered when the window system starts (StandardClasses.cpp).

#include "platform/win/Types.h"

LRESULT EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TabControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ToolTipWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TrackBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT UpDownWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HeaderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StatusBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TreeViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
