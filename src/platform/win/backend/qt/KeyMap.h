#pragma once
// Qt's key events as the window system's keys: Qt's key code with the keypad
// modifier picks the virtual key from one table; keys the table does not know
// take the virtual key of their place on the keyboard (the native scan code),
// and keys that only type text become VK_PACKET. AltGr is no key of ours, so
// what it types arrives as plain characters, never as Alt combinations.

#include <optional>

#include <QKeyEvent>

#include "platform/win/desktop/Desktop.h"

// Set-1 scan code (0xE0xx for extended keys) of an evdev key code; 0 when unknown.
UINT ScanCodeOfEvdev(UINT evdev);

// The key to hand to DesktopKey; nothing for keys the window system ignores
// (AltGr, the release of an automatic repeat, keys without a virtual key).
// NativeScanIsEvdev: the platform's native scan codes are evdev codes + 8 (X11, Wayland).
std::optional<TDesktopKey> DesktopKeyOf(const QKeyEvent& event, bool nativeScanIsEvdev);
