#pragma once
// How a unit of the support library describes itself to its registration
// (SupportUnits.cpp): its version record, its resource strings and its own
// start and finish work. A unit's .cpp file defines
//   extern const TSupportUnit ScFooUnit{u"ScFoo", SC_UNIT_VERSION("src/support/utils/ScFoo.cpp"), ResStrings};

#include <span>

#include "platform/rtl/ResourceStrings.h"
#include "support/utils/ScUnitVersioning.h"

struct TSupportUnit {
    const char16_t* Name;
    TUnitVersionInfo Version;
    std::span<const TResStringRec* const> ResStrings{};
    // Runs after the resource strings are registered, before the version record is added.
    void (*Start)() = nullptr;
    // Runs after the module's version records are removed.
    void (*Finish)() = nullptr;
};

#define SC_UNIT_VERSION(path) \
    TUnitVersionInfo { u"$URL: " path " $", u"$Revision: " OSTREL_VERSION " $", u"", u"support/utils", u"", nullptr }
