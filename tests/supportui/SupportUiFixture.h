#pragma once
// Tests of the form-level support code: the framework's units and ours
// started, a 1920x1080 primary screen, and the application with its forms
// freed after each test.

#include "platform/ui/ControlFixture.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/User.h"
#include "supportui/SupportUiUnits.h"

class SupportUiTest : public FormTest {
protected:
    void SetUp() override {
        TDesktopMetrics desktop = DesktopMetrics();
        desktop.Monitors = {{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, true, {}}};
        SetDesktopMetrics(desktop);
        RegisterUiUnits(units_);
        RegisterSupportUiUnits(units_);
        units_.Initialize();
    }
    void TearDown() override {
        FormTest::TearDown();
        units_.Finalize();
        PumpMessages();
    }

    TUnitRegistry units_;
    TDesktopMetricsScope desktopScope_;
};
