#include <algorithm>

#include "platform/win/controls/ComboBoxWindow.h"
#include "platform/win/controls/Controls.h"

namespace {

bool IsSurrogate(char16_t ch) { return ch >= 0xD800 && ch <= 0xDFFF; }

} // namespace

int TComboBoxWindow::VisibleRows() const {
    const int itemHeight = std::max(1, int(List(LB_GETITEMHEIGHT, 0)));
    const RECT r = DroppedRect();
    return std::max(1, (r.bottom - r.top - 2) / itemHeight);
}

void TComboBoxWindow::Step(int index) {
    const int count = Count();
    if (count == 0) return;
    index = std::clamp(index, 0, count - 1);
    if (index != Current()) SelectByUser(index);
}

bool TComboBoxWindow::HandleKey(UINT vk, bool alt) {
    if (alt) {
        if (vk != VK_DOWN && vk != VK_UP) return false;
        dropped_ ? CloseUp(true) : DropDown();
        return true;
    }
    const int current = Current();
    switch (vk) {
    case VK_F4: dropped_ ? CloseUp(true) : DropDown(); return true;
    case VK_RETURN:
        if (!dropped_) return false;
        CloseUp(true);
        return true;
    case VK_ESCAPE:
        if (!dropped_) return false;
        CloseUp(false);
        return true;
    case VK_UP: Step(current < 0 ? 0 : current - 1); return true;
    case VK_DOWN: Step(current + 1); return true;
    case VK_PRIOR: Step(current - (VisibleRows() - 1)); return true;
    case VK_NEXT: Step(std::max(current, 0) + VisibleRows() - 1); return true;
    case VK_HOME:
        if (edit_ && !dropped_) return false;
        Step(0);
        return true;
    case VK_END:
        if (edit_ && !dropped_) return false;
        Step(Count() - 1);
        return true;
    default: return false;
    }
}

bool TComboBoxWindow::HandleWheel(WPARAM wParam, LPARAM lParam) {
    if (dropped_) {
        List(WM_MOUSEWHEEL, wParam, lParam);
        return true;
    }
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if (delta == 0) return true;
    const int notches = std::max(1, std::abs(delta) / WHEEL_DELTA);
    const int current = Current();
    Step(delta > 0 ? std::max(current, 0) - notches : current + notches);
    return true;
}

void TComboBoxWindow::TypeAhead(char16_t ch) {
    if (ch < u' ' || IsSurrogate(ch)) return;
    const char16_t prefix[2] = {ch, u'\0'};
    // Searching starts after the current item and comes round.
    const LRESULT index = List(LB_FINDSTRING, WPARAM(Current()), reinterpret_cast<LPARAM>(prefix));
    if (index >= 0 && index != Current()) SelectByUser(int(index));
}
