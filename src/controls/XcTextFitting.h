#pragma once
// Fitting a text into a width on a canvas. All of them cut at whole
// characters: a surrogate pair goes or stays together.

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/rtl/Geometry.h"
#include "platform/rtl/String.h"
#include "platform/win/Types.h"

class TCanvas;

// Where each character of Text starts (UTF-16 positions), then Text's length.
std::vector<size_t> CharacterBoundaries(std::u16string_view text);

// Path shortened by the drawing layer's path ellipsis to fit Width pixels on
// one line (what follows the last "/" stays); Path itself when drawing fails.
String CompactPathToWidth(const String& path, TCanvas* canvas, int width);
// Text while it fits Width; else its first characters (two fewer than the
// text has, then one fewer at each step) followed by "...", until that fits
// or none are left.
String EllipsizeToWidth(const String& text, TCanvas* canvas, int width);
// DrawTextW on the canvas, never writing into Text.
int CanvasDrawText(TCanvas* canvas, const String& text, int count, TRect& rect, UINT flags);
