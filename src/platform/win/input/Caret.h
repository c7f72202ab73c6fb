#pragma once
// Keeping the caret out of painting and scrolling. Internal to the window system.

#include "platform/win/core/Window.h"

// Takes the caret off the screen when it is drawn in W or a descendant;
// true when it did (RestoreCaret puts it back).
bool LiftCaret(TWindow* w);
void RestoreCaret();
