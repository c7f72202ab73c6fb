#pragma once
// Telling windows that the desktop changed. Internal to the window system.

#include "platform/win/system/SystemMetrics.h"

void AnnounceDesktopChange(const TDesktopMetrics& before, const TDesktopMetrics& after);
