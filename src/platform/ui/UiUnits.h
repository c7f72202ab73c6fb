#pragma once
// The units of the component framework. The program's start-up and the
// framework's tests register them before InitializeUnits.
//
// Resource-string identifiers of the framework: 0xE000-0xEFFF.

#include "platform/rtl/UnitRegistry.h"

void RegisterUiUnits(TUnitRegistry& units = Units());
