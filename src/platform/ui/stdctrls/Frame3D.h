#pragma once
// The raised or lowered frame panels and splitters draw around their faces.

#include "platform/rtl/Geometry.h"
#include "platform/ui/Colors.h"

class TCanvas;

// Draws Width one-pixel rings inside Rect, TopColor on the top and left
// edges and BottomColor on the bottom and right ones, and leaves Rect as the
// area inside them.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
