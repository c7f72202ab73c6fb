#pragma once
// Small path, file and shell functions.

#include "platform/rtl/String.h"
#include "platform/rtl/TaskAllocator.h"
#include "platform/rtl/VersionInfo.h"

// Frees an item-id list of the shell allocator and clears List: true for that
// and for a null List; false (List kept) for a block the allocator did not give.
bool FreeItemIdList(PItemIDList& list);
// A Linux path has no drive and no short names: Path comes back unchanged.
String ExpandToLongPath(const String& path);
// Whether Path names an existing folder (links followed).
bool IsExistingDirectory(const String& path);
// Whether Path names an existing file that is not a folder (links followed);
// false for a null or empty path.
bool IsExistingFile(const char16_t* path);
// The whole file name of the module (ELF object) loaded at the base address
// Module; empty when nothing is loaded there.
String ModuleFileName(const void* module);
// Copies the fixed part of FileName's version information (its root block
// "\") into FixedInfo: true when the file has version information whose root
// value is exactly one VS_FIXEDFILEINFO, false (FixedInfo untouched) otherwise.
bool ReadFixedFileInfo(const String& fileName, VS_FIXEDFILEINFO& fixedInfo);
