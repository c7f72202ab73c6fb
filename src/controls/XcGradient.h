#pragma once
// A gradient in bands of solid colour, as the alert's caption and body use.

#include "platform/rtl/Geometry.h"
#include "platform/ui/Canvas.h"

enum class TXcGradientStyle { gsTopToBottom, gsBottomToTop, gsLeftToRight, gsRightToLeft };

// Fills Rect from Start to Finish in at most Bands bands (0 to 255) of equal
// size, each band's colour interpolated per channel so that the last band
// is Finish; what the division leaves over at the far edge takes Finish.
// Fewer than 2 bands, or equal colours, fill Start (for the reversed styles
// that is the caller's Finish). Nothing when both colours are clNone.
void FillGradient(TCanvas* canvas, const TRect& rect, TColor start, TColor finish, TXcGradientStyle style, int bands);
