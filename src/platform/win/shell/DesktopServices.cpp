#include "platform/win/shell/DesktopServices.h"

#include <atomic>

namespace {
std::atomic<IDesktopServices*> Installed{nullptr};
}

IDesktopServices* DesktopServices() { return Installed.load(); }

IDesktopServices* SetDesktopServices(IDesktopServices* services) { return Installed.exchange(services); }

