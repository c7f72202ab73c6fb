#pragma once
// Starting another program from a command line, and switching the computer off.

#include <cstdint>

#include "platform/rtl/String.h"

// Starts the program of CommandLine (split by SplitCommandLine; a bare name is
// looked up beside this program, then on PATH) and returns without waiting
// for it: true once the program runs. Show is a window show command; values
// above 65535 raise ERangeError, others have no effect here.
bool RunCommandLine(const String& commandLine, uint32_t show);

constexpr uint32_t EWX_SHUTDOWN = 0x1;
constexpr uint32_t EWX_FORCE = 0x4;
constexpr uint32_t EWX_FORCEIFHUNG = 0x10;
constexpr uint32_t SHTDN_REASON_MAJOR_APPLICATION = 0x40000;

// Asks the installed power-off executor to switch the computer off; kill
// level 0 plain, 1 adds EWX_FORCE, 2 adds EWX_FORCEIFHUNG. False without an
// executor, when the shutdown privilege is refused or the request is refused.
bool ShutdownComputer(int killLevel);
