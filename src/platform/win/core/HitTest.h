#pragma once
// Which window of the calling thread lies under a screen point, asking
// WM_NCHITTEST as the system does. Internal to the window system.

#include "platform/win/core/Tree.h"

struct THit {
    TWindow* window = nullptr;
    int code = HTNOWHERE;
};

// Children are looked at before their parent; a window answering
// HTTRANSPARENT passes the point to the one below it; disabled child windows
// pass it to their parent. A disabled top-level window is hit with HTERROR,
// or skipped when SkipDisabled.
THit HitTestPoint(POINT pt, bool skipDisabled);
