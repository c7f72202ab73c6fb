#include "engine/CodecThreads.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include <sched.h>

namespace {
std::atomic<int> runningConversions = 0;
} // namespace

void CountRunningConversion(bool running) noexcept { runningConversions += running ? 1 : -1; }

int RunningConversions() noexcept { return runningConversions; }

int SharedThreads(int running, unsigned cores) {
    if (running <= 1 || cores == 0) return 0;
    return std::max(2, static_cast<int>(cores) / running + 1);
}

std::string SharedThreadCount(int running, unsigned cores) {
    const int threads = SharedThreads(running, cores);
    return threads ? std::to_string(threads) : "auto";
}

std::string SharedThreadCount() { return SharedThreadCount(RunningConversions(), AvailableCores()); }

int SharedFilterGraphThreads() { return SharedThreads(RunningConversions(), AvailableCores()); }

unsigned AvailableCores() noexcept {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return static_cast<unsigned>(CPU_COUNT(&set));
    return std::thread::hardware_concurrency();
}
