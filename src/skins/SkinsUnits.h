#pragma once
// The skin library's units: the PNG decoder registers itself for ".png"
// picture files at start-up (after the framework's graphic classes) and
// removes itself at shut-down.

#include "platform/rtl/UnitRegistry.h"

void RegisterSkinsUnits(TUnitRegistry& units = Units());
