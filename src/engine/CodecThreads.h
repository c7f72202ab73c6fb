#pragma once
// Threads of the codecs and filter graphs of the conversions that run at once
// in this process.
// A converter counts itself among the running conversions while it holds its
// slot. A codec whose thread count is left to the converter gets FFmpeg's
// "auto" while its conversion runs alone, and otherwise about an equal share
// of the cores, at least two: the machine is used fully without several
// conversions each starting as many threads as there are cores. Their filter
// graphs get the same count (a graph left to FFmpeg starts a thread per core
// and one more, and its scalers slice every picture among all of them).

#include <string>

// Counts a conversion in (true) or out (false) of the running ones.
void CountRunningConversion(bool running) noexcept;
int RunningConversions() noexcept;

// The threads of a codec or graph whose conversion runs with Running - 1
// others (itself included in Running) on a machine of Cores; 0 for FFmpeg's
// own choice.
int SharedThreads(int running, unsigned cores);
// Its "threads" codec option.
std::string SharedThreadCount(int running, unsigned cores);
// The same for the conversions now running on the cores this process may use.
std::string SharedThreadCount();
// The nb_threads of a filter graph built now.
int SharedFilterGraphThreads();
// The cores this process may run on.
unsigned AvailableCores() noexcept;
