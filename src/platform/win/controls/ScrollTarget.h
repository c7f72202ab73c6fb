#pragma once
// Where a scroll-bar request moves a control's position, for the controls
// that scroll by rows or pixels themselves (list box, tree view, list view).

#include <optional>

#include "platform/win/Types.h"

struct TScrollSteps {
    int line = 1;
    int page = 1;
    int end = 0; // where SB_BOTTOM goes
};

// The position Code (a WM_VSCROLL or WM_HSCROLL request) asks for from Pos:
// a line or a page either way, either end, or the thumb's tracking position
// on Hwnd's scroll bar Bar. Nothing for a code that moves nothing.
std::optional<int> ScrollTarget(HWND hwnd, int bar, WORD code, int pos, const TScrollSteps& steps);
