#pragma once
// Replacing a whole file without ever leaving it half written.

#include <string_view>

#include "platform/rtl/String.h"

// Writes Bytes to a new file in the target's folder and renames it over the
// target, so the target holds either its old or its new contents. Raises
// EFCreateError or EWriteError; the target is then unchanged.
void ReplaceFileContents(const String& fileName, std::string_view bytes);
