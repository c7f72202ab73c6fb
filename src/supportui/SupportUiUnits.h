#pragma once
// The units of the support code that needs forms. The program's start-up and
// the library's tests register them (after the framework's units) before
// InitializeUnits.

#include "platform/rtl/UnitRegistry.h"

void RegisterSupportUiUnits(TUnitRegistry& units = Units());
