#pragma once
// Bitmaps drawn with a transparent key colour: destination pixels stay
// where the source has the key.

#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"

// Source pixels of the key colour leave the destination as it was.
void MaskedStretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                      int sourceHeight, COLORREF key);
// A destination size below 1 means the bitmap's; a source size below 1 the
// whole bitmap. Key clNone copies plainly with the canvas's copy mode;
// clDefault keys on the bitmap's bottom-left pixel; a monochrome bitmap
// keys on white.
void StretchBitmapWithKey(TCanvas* canvas, int x, int y, int width, int height, int sx, int sy, int sourceWidth,
                          int sourceHeight, TBitmap* bitmap, TColor key);
void DrawBitmapWithKey(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor key);
