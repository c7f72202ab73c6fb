#pragma once
// The window system with the standard controls in one include: User.h, the
// constants of the controls and common controls, and the message box.

#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/controls/MessageBox.h"
