#pragma once
// Whole-file reading and replacing for XML documents.

#include <string>
#include <string_view>

#include "platform/rtl/String.h"

// Raises EFOpenError when the file cannot be opened or read.
std::string ReadFileBytes(const String& fileName);
// Writes Bytes to a new file in the target's folder and renames it over the
// target, so the target holds either its old or its new contents. Raises
// EFCreateError or EWriteError; the target is then unchanged.
void ReplaceFileContents(const String& fileName, std::string_view bytes);
