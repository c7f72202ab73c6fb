#pragma once
// The window system in one include: windows, messages, input, painting, the
// desktop entry, frames and scroll bars, menus, shapes, layered windows,
// monitors, system information and modules.

#include "platform/win/desktop/Desktop.h"
#include "platform/win/input/Input.h"
#include "platform/win/input/KeyTable.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/message/Messages.h"
#include "platform/win/nc/CurrentFramePainter.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/ErrorMode.h"
#include "platform/win/system/MessageBeep.h"
#include "platform/win/system/Modules.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/toplevel/Monitors.h"
#include "platform/win/toplevel/TopLevel.h"
#include "platform/win/window/Windows.h"
