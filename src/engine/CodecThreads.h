#pragma once
// Threads of the codecs of the conversions that run at once in this process.
// A converter counts itself among the running conversions while it holds its
// slot. A codec whose thread count is left to the converter gets FFmpeg's
// "auto" while its conversion runs alone, and otherwise about an equal share
// of the cores, at least two: the machine is used fully without several
// conversions each starting as many threads as there are cores.

#include <string>

// Counts a conversion in (true) or out (false) of the running ones.
void CountRunningConversion(bool running) noexcept;
int RunningConversions() noexcept;

// The "threads" value of a codec whose conversion runs with Running - 1
// others (itself included in Running) on a machine of Cores.
std::string SharedThreadCount(int running, unsigned cores);
// The same for the conversions now running on the cores this process may use.
std::string SharedThreadCount();
// The cores this process may run on.
unsigned AvailableCores() noexcept;
