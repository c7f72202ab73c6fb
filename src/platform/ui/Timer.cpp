#include "platform/ui/Timer.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/ui/UiErrors.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/win/message/Messages.h"

RTL_PUBLISHED(TTimer, c) {
    c.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    c.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000u);
    c.Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

namespace {

constexpr UINT_PTR kTimerId = 1;

} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    window_ = AllocateHWnd([this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_TIMER) return std::nullopt;
        Timer(); // may free this timer: nothing of it is touched afterwards
        return 0;
    });
}

TTimer::~TTimer() { DeallocateHWnd(window_); } // its window timer goes with it

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t value) {
    if (value == interval_) return;
    interval_ = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
    onTimer_ = std::move(value);
    UpdateTimer();
}

void TTimer::Timer() {
    if (!onTimer_) return;
    const TNotifyEvent handler = onTimer_; // outlives this timer if the handler frees it
    handler(this);
}

void TTimer::UpdateTimer() {
    KillTimer(window_, kTimerId);
    if (enabled_ && interval_ != 0 && onTimer_ && SetTimer(window_, kTimerId, interval_, nullptr) == 0)
        throw EOutOfResources(LoadResString(SNoTimers));
}
