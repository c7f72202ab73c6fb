#pragma once
// Splitting a one-line command into its arguments by the Windows rules, so
// lines quoted for that platform keep their meaning.

#include <vector>

#include "platform/rtl/String.h"

// The program name ends at the first blank or tab, or is the text between a
// leading quote and the next one. In the arguments, blanks and tabs separate
// outside quotes; 2n backslashes before a quote give n backslashes and the
// quote opens or closes a quoted part; 2n+1 backslashes before a quote give n
// backslashes and a literal quote; other backslashes stand for themselves;
// "" inside a quoted part is a literal quote.
std::vector<String> SplitCommandLine(const String& line);
