#pragma once
// Text helpers of XML output.

#include "platform/rtl/String.h"

// Replaces the five characters " & ' < > by their references.
String EscapeText(const String& s);
// Each LF becomes CR LF.
String ExpandLineEnds(const String& s);
