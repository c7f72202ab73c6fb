#pragma once
// The classic look of window frames and scroll bars: borders, static and
// client edges, scroll bars with arrow buttons, a track of button face and
// highlight in a 50 % pattern and a raised thumb, and the size box.

#include <memory>

#include "platform/win/pixels/FramePainter.h"

std::shared_ptr<IFramePainter> ClassicFramePainter();
