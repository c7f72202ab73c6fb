#pragma once
// Icons made from ICO and CUR files and written back as ICO files: for the
// resource loader and the framework's icon class.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/win/gdi/GdiTypes.h"
#include "platform/win/icons/IcoFile.h"
#include "platform/win/icons/Icon.h"

// The icon (or cursor, as the directory says) of the entry nearest Width x
// Height, stretched to that size when its own differs; null when the entry
// does not decode. Internal.
std::unique_ptr<TIconObject> IconOfDirectory(const TIcoDirectory& directory, int width, int height);

// An icon from a whole ICO file: the entry nearest Width x Height (0 x 0: the
// size of the first entry). Null for anything but an ICO file whose entry decodes.
HICON ReadIconFile(std::span<const uint8_t> file, int width, int height);
// An ICO file of the icon as one 32-bit entry with its mask; empty for an
// unknown handle.
std::vector<uint8_t> WriteIconFile(HICON icon);
