#pragma once
// The unit of the tree control. The program's start-up and the tree's tests
// register it (after the framework's units) before InitializeUnits; its
// finalisation tears down what the first tree set up.

#include "platform/rtl/UnitRegistry.h"

void RegisterTreeUnits(TUnitRegistry& units = Units());
