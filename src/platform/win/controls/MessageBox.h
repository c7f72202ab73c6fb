#pragma once
// The message box: a modal dialog with an icon, a text and push buttons whose
// ids are the answers (IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES,
// IDNO).
//
// The box is owned by Owner's top-level window and placed centred on it, or
// on the work area of its monitor when it is hidden or minimized (the primary
// monitor without an owner). Until it is answered, the owner and every other
// visible window of the calling thread are disabled (whatever the modality
// flag says), and exactly those are enabled again afterwards. While it waits
// for input, the owner hears WM_ENTERIDLE (MSGF_DIALOGBOX, the box).
//
// Keys: Enter answers the focused button (at first the MB_DEFBUTTONn one),
// Tab and the arrows move between the buttons, a button's mnemonic (a plain
// letter or Alt with it) answers that button; Escape and the close box answer
// IDCANCEL where a Cancel button exists and IDOK where OK stands alone, and
// nothing otherwise. A null Caption is the window system's "Error" text.
//
// The owner must be a window of the calling thread; the framework's service
// brings boxes asked for on other threads to the GUI thread. Answers 0 for an
// unknown button set (ERROR_INVALID_PARAMETER), and when the box is destroyed
// or WM_QUIT ends it without an answer to give.

#include "platform/win/Types.h"

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
