#include "platform/rtl/PowerOff.h"

#include <atomic>

namespace {
std::atomic<IPowerOffExecutor*> Installed{nullptr};
}

IPowerOffExecutor* PowerOffExecutor() { return Installed.load(); }

IPowerOffExecutor* SetPowerOffExecutor(IPowerOffExecutor* executor) { return Installed.exchange(executor); }
