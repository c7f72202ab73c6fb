#pragma once
// File-name checks for the file edits. Linux names may hold any character but
// NUL, "/" separates components, and there are no short (8.3) names: the long
// and short name of a file are its name, and paths keep their form.

#include "platform/rtl/String.h"

// Not empty and no NUL character.
bool IsValidFileName(const String& name);
// The name (after the last "/") of the file or folder at Path; empty when there is none.
String LongNameOfFile(const String& path);
String ShortNameOfFile(const String& path);
// Path unchanged.
String ExpandLongPath(const String& path);
String ContractShortPath(const String& path);
