#pragma once
// The units of the support library. The program's start-up and the test
// programs' main register them before InitializeUnits; each unit's start
// registers its resource strings, does its own start work and adds its version
// record, its finish undoes that in reverse.

#include <span>

#include "platform/rtl/UnitRegistry.h"

struct TSupportUnit;

// In start order; the unit-version registry comes first.
std::span<const TSupportUnit* const> SupportUnits();
void RegisterSupportUnits(TUnitRegistry& units = Units());
