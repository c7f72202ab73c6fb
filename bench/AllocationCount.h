#pragma once
// Counts the program's allocations through operator new (defined in
// AllocationCount.cpp, linked into the benchmarks that report them).

#include <functional>

long AllocationsSoFar();
// Allocations per call of Run, after one call that may set up caches.
long AllocationsPerCall(const std::function<void()>& run);
