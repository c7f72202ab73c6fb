#include "AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

long AllocationsSoFar() { return allocations.load(); }

long AllocationsPerCall(const std::function<void()>& run) {
    run();
    const long before = allocations.load();
    for (int i = 0; i < 10; ++i) run();
    return (allocations.load() - before) / 10;
}

void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
