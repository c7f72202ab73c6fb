#include "platform/win/shell/DesktopServices.h"

#include <atomic>

namespace {
std::atomic<IDesktopServices*> InstalledServices{nullptr};
}

IDesktopServices* DesktopServices() { return InstalledServices.load(); }

IDesktopServices* SetDesktopServices(IDesktopServices* services) { return InstalledServices.exchange(services); }

