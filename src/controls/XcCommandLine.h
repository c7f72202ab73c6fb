#pragma once
// Splitting a command line into parameters the way the program's own start
// does: blanks (every character up to code 32) separate parameters, a double
// quote opens a run that may hold blanks and is itself removed, and empty
// quote pairs between parameters are skipped. A NUL ends the line.

#include <cstddef>
#include <string_view>

#include "platform/rtl/String.h"

// Reads the parameter starting at or after From (0-based) into Param and
// returns where the next one may start. Param is empty at the end of the line.
size_t NextCommandLineParam(std::u16string_view line, size_t from, String& param);
// The number of parameters after the program (index 0), so the last index.
int CommandLineParamCount(const String& line);
// The parameter at a 0-based index, the program being 0; empty past the last.
String CommandLineParam(const String& line, int index);
// Program := parameter 0; Params := the others joined with single blanks,
// those holding a blank wrapped in double quotes.
void SplitProgramAndParams(const String& line, String& program, String& params);
