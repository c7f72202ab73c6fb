#pragma once
// The framework's units started for one test and finished when it ends, also
// when an assertion ends it early: what they install (the message dialog as
// the message-box service, registered classes and texts) does not outlive the
// test and meet the tests after it.

#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/UiUnits.h"

class TStartedUiUnits {
public:
    TStartedUiUnits() {
        RegisterUiUnits(units_);
        units_.Initialize();
    }
    ~TStartedUiUnits() {
        if (units_.Initialized()) units_.Finalize();
    }
    TStartedUiUnits(const TStartedUiUnits&) = delete;
    TStartedUiUnits& operator=(const TStartedUiUnits&) = delete;

    // Finishes them before the test ends, for a test of what finishing does.
    void Finalize() { units_.Finalize(); }

private:
    TUnitRegistry units_;
};
