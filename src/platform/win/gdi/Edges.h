#pragma once
// Small drawing helpers shared by edges, frame controls and the frame painter. Internal.

#include "platform/win/gdi/GdiTypes.h"

// Fills Rect (logical coordinates) with a system colour.
void FillSysColor(HDC dc, const RECT& rect, int colorIndex);
void FillColor(HDC dc, const RECT& rect, COLORREF color);
// Paints a picture given as rows of characters at (X, Y): each character maps
// to a colour through Colors (a character not in Keys is left alone).
void PaintGlyph(HDC dc, int x, int y, const char* const* rows, int rowCount, const char* keys, const COLORREF* colors);
