#pragma once
// The framework's points and rectangles to the window system's and back.

#include "platform/rtl/Geometry.h"
#include "platform/win/Types.h"

inline RECT ToRECT(const TRect& r) noexcept { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect ToTRect(const RECT& r) noexcept { return TRect{r.left, r.top, r.right, r.bottom}; }
inline POINT ToPOINT(const TPoint& p) noexcept { return POINT{p.X, p.Y}; }
inline TPoint ToTPoint(const POINT& p) noexcept { return TPoint{p.x, p.y}; }
