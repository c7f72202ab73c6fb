#pragma once
// The units that start with the window system. Its first use runs them, in
// dependency order, before any window exists, and they never finish. What the
// window system offers but does not make itself registers here at its
// unit's start (a static initializer): the standard controls their window
// classes and the edit menu.

#include "platform/rtl/UnitRegistry.h"

TUnitRegistry& WindowSystemUnits();
