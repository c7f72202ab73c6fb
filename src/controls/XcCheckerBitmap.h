#pragma once
// The 8 x 8 checker pattern of dotted brushes, and palette-relative colours.

#include <memory>

#include "platform/ui/graphics/Bitmap.h"

// Colour1 everywhere but at the pixels whose coordinates are both even or
// both odd, which take Colour2.
std::unique_ptr<TBitmap> CreateCheckerBitmap(TColor colour1, TColor colour2);
// The colour's RGB marked palette-relative (bit 25).
COLORREF PaletteColor(TColor color);
