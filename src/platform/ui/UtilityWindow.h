#pragma once
// Utility windows: hidden message-only windows through which a non-visual
// object receives window messages (a timer's WM_TIMER, posted notifications).
//
// The method sees every message from the moment AllocateHWnd returns until
// DeallocateHWnd begins. It answers a message by returning its result, or
// declines it with std::nullopt, and then the default window procedure
// answers. An exception escaping the method goes to the application's
// exception handler (AppServices().HandleException) and the message answers 0.
//
// A utility window belongs to the thread that allocated it; allocate, use and
// deallocate it there.

#include <functional>
#include <optional>

#include "platform/rtl/ResourceStrings.h"
#include "platform/win/Constants.h"

inline constexpr TResStringRec SUtilityWindowFailed{0xE002, u"Cannot create a utility window"};

using TUtilityWndMethod = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

// Raises EOutOfResources (SUtilityWindowFailed) when the window cannot be made.
HWND AllocateHWnd(TUtilityWndMethod method);
// Destroys the window and releases its method; what the method captured goes
// once no call of it runs, so this is safe from within the method itself. A
// null window is ignored.
void DeallocateHWnd(HWND hwnd);
