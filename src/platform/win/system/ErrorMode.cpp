#include "platform/win/system/ErrorMode.h"

#include <atomic>

namespace {
std::atomic<uint32_t> errorMode{0};
}

uint32_t SetErrorMode(uint32_t mode) { return errorMode.exchange(mode); }

uint32_t GetErrorMode() { return errorMode.load(); }
