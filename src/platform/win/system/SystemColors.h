#pragma once
// System colours: the fixed classic scheme. A system colour brush is the
// marker handle (HBRUSH)(index + 1), the same value a window class gives as
// its background to mean "this system colour", so painting code recognises
// both the same way (SysColorBrushIndex).

#include <optional>

#include "platform/win/Types.h"

// 0 for an index without a colour.
COLORREF GetSysColor(int index);
// Null for an index without a colour.
HBRUSH GetSysColorBrush(int index);
// The system colour a brush stands for, when it is such a marker.
std::optional<int> SysColorBrushIndex(HBRUSH brush);
