#pragma once
// Switching the computer off through the login manager on the system bus.
// Its policy decides: an error, a refusal or no answer in time is a plain
// false, and nothing is forced or tried again.

#include "platform/rtl/PowerOff.h"
#include "platform/win/backend/qt/DbusBus.h"

class TLoginPowerOffExecutor : public IPowerOffExecutor {
public:
    static constexpr int kMilliseconds = 10000;

    explicit TLoginPowerOffExecutor(TDbusBus systemBus = {QDBusConnection::SystemBus, {}},
                                    int milliseconds = kMilliseconds)
        : bus_(std::move(systemBus)), milliseconds_(milliseconds) {}

    // The flags and the reason do not change the request.
    bool PowerOff(uint32_t flags, uint32_t reason) override;

private:
    TDbusBus bus_;
    int milliseconds_;
};
