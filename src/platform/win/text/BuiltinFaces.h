#pragma once
// The faces the text layer carries itself. Internal.

#include <memory>

#include "platform/win/text/FontEngine.h"

// One face for every size: its metrics are fixed.
std::shared_ptr<IFontFace> TestFace();
// The symbol face at an em height (pixels); characters it does not draw have
// the advance of the others and no ink.
std::shared_ptr<IFontFace> SymbolFace(int emHeight);
