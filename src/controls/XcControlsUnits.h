#pragma once
// The units of the extended controls, one row each: the version record every
// unit registers with the unit-version registry when it starts (and its
// module's records go when it finishes), and the few units' own start and
// finish work. Later controls attach their work to their rows here.

#include <span>
#include <vector>

#include "platform/rtl/UnitRegistry.h"
#include "support/utils/ScUnitVersioning.h"

struct TXcUnit {
    const char16_t* Name;
    TUnitVersionInfo Version;
    // Runs before the version record is added.
    void (*Start)() = nullptr;
    // Runs before the module's version records are removed.
    void (*Finish)() = nullptr;
};

inline constexpr char16_t kXcUnitLogPath[] = u"XCL\\run";

std::span<const TXcUnit> ControlsUnits();
// Registers every row in unit order, each needing the units named in NeedsUnits
// (by default the unit-version registry and the translator, which the
// XcComponent row adds its text domain "xcl" to).
void RegisterControlsUnits(TUnitRegistry& units = Units(),
                           const std::vector<String>& needsUnits = {u"ScUnitVersioning", u"ScTranslator"});
