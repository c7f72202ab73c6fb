#pragma once
// The glyphs of the bitmap buttons' kinds: 16 x 16 pictures drawn from our
// own patterns on the olive transparent colour. Internal.

#include "platform/ui/stdctrls/BitBtn.h"

// Makes Bitmap the glyph of Kind (empty for bkCustom).
void MakeKindGlyph(TBitBtnKind kind, TBitmap& bitmap);
