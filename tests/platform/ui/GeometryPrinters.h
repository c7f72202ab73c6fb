#pragma once
// Readable test failures for the component framework's points and rectangles.

#include <ostream>

#include "platform/rtl/Geometry.h"

inline void PrintTo(const TRect& r, std::ostream* os) {
    *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
