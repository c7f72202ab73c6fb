// One step of the expand/collapse animation: the first area moves by the
// step size, the second by the step size scaled, carrying the fraction of a
// pixel it still owes to the next step.

#include <cmath>

#include "platform/win/gdi/Gdi.h"
#include "treeview/BaseViewTree.h"

namespace {

// Scrolls Area of the animation's DC by Pixels; the first step also erases the strip it uncovers.
void ScrollToggleArea(const TToggleStepData& data, const TRect& area, TToggleAnimationMode mode, int pixels,
                      bool firstStep) {
    const RECT r{area.Left, area.Top, area.Right, area.Bottom};
    const bool up = mode == tamScrollUp;
    ScrollDC(data.DC, 0, up ? -pixels : pixels, &r, &r, nullptr, nullptr);
    if (!firstStep) return;
    const RECT strip = up ? RECT{area.Left, area.Bottom - pixels - 1, area.Right, area.Bottom}
                          : RECT{area.Left, area.Top, area.Right, area.Top + pixels + 1};
    FillRect(data.DC, &strip, data.Brush);
}

} // namespace

bool TBaseViewTree::ToggleStep(int step, int stepSize, TToggleStepData& data) {
    if (stepSize <= 0) return true;
    const bool firstStep = step == 0;
    if (data.Mode1 != tamNoScroll) ScrollToggleArea(data, data.R1, data.Mode1, stepSize, firstStep);
    int secondSteps = 0;
    if (data.Mode1 == tamNoScroll) {
        secondSteps = stepSize;
    } else if (data.Mode2 != tamNoScroll && data.ScaleFactor > 0) {
        // Rounded half to even, like the default rounding of the floating-point unit.
        secondSteps = int(std::nearbyint((stepSize + data.MissedSteps) * data.ScaleFactor));
        data.MissedSteps = stepSize * data.ScaleFactor + data.MissedSteps - secondSteps;
    }
    if (data.Mode2 != tamNoScroll) ScrollToggleArea(data, data.R2, data.Mode2, secondSteps, firstStep);
    return true;
}
