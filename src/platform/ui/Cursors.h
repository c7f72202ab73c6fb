#pragma once
// The framework's cursor numbers. Zero and below are built in; a program adds
// its own positive numbers through TScreen::SetCursors.

#include <span>

#include "platform/rtl/AppServices.h"
#include "platform/win/Types.h"

inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
// The old name of crSizeAll.
inline constexpr TCursor crSize = crSizeAll;

// A built-in number and the standard cursor it starts with (LoadCursorW(nullptr,
// Shape); crNone has none). The window system has no drag or split shapes:
// the drag cursors show the arrow, crNoDrop the "no" sign, the splitters the
// sizing arrows across their bar and crSQLWait the hourglass.
struct TBuiltInCursor {
    TCursor Cursor;
    LPCWSTR Shape;
};
std::span<const TBuiltInCursor> BuiltInCursors();
