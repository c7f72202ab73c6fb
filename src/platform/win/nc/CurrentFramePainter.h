#pragma once
// The painter of every window's non-client area and of scroll-bar controls:
// the classic painter unless another is set, nothing while none (null) is set.
// Process-wide.

#include <memory>

#include "platform/win/pixels/FramePainter.h"

void SetFramePainter(std::shared_ptr<IFramePainter> painter);
std::shared_ptr<IFramePainter> FramePainter();
