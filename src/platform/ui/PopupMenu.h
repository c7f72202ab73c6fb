#pragma once
// TPopupMenu lives with the other menu classes.

#include "platform/ui/Menus.h"
