#pragma once
// The encodings an XML declaration may name, and the entity names a reference may use.

#include "platform/rtl/String.h"

// Code page of an encoding name (case-insensitive), 0 when unknown.
int CodePageOfName(const String& name);
// Code page named by "encoding=" followed by a quoted name in the data of an
// xml declaration, 0 when there is none or it is unknown.
int DeclaredCodePage(const String& data);
// Character of a predefined or Latin-1 entity name (exact), 0 when unknown.
char16_t CharOfEntity(const String& name);
