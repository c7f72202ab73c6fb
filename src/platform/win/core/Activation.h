#pragma once
// Activation of a top-level window of the calling thread (null: none).
// Internal to the window system.

#include "platform/win/core/Tree.h"

void ActivateTopLevel(TWindow* top, UINT state);
