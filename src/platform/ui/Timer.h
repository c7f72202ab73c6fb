#pragma once
// TTimer: calls OnTimer every Interval milliseconds of the clock while it is
// enabled, through a window timer on a utility window of its own (the timer's
// thread must take its messages). The window timer runs only while the timer
// is enabled, has a non-zero interval and a handler. Enabling, changing the
// interval or setting the handler starts the period again.

#include <cstdint>

#include "platform/rtl/Component.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/ui/Events.h"
#include "platform/win/Constants.h"

inline constexpr TResStringRec SNoTimers{0xE001, u"Not enough timers available"};

class TTimer : public TComponent {
    RTL_CLASS(TTimer, TComponent);

public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const noexcept { return enabled_; }
    // Raises EOutOfResources (SNoTimers) when the window system has no timer to give.
    void SetEnabled(bool value);
    // Milliseconds; 0 never fires.
    uint32_t Interval() const noexcept { return interval_; }
    void SetInterval(uint32_t value);
    // Called with the timer as sender; it may free the timer. An exception
    // escaping it goes to the application's exception handler and the timer
    // carries on.
    const TNotifyEvent& OnTimer() const noexcept { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);

protected:
    // Calls OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();

    HWND window_ = nullptr;
    bool enabled_ = true;
    uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
};
