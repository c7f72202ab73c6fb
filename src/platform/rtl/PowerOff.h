#pragma once
// Switching the computer off. Non-visual code asks through the executor that
// the program's start-up installs (the desktop's session manager); without
// one nothing is switched off, so tests and headless programs are safe.

#include <cstdint>

class IPowerOffExecutor {
public:
    virtual ~IPowerOffExecutor() = default;
    // Asks for the power-off with the window system's EWX_* flags and a
    // shutdown reason code; true when the request was accepted.
    virtual bool PowerOff(uint32_t flags, uint32_t reason) = 0;
};

// The installed executor, or null.
IPowerOffExecutor* PowerOffExecutor();
// Installs Executor (null removes it) and returns the previous one. Executor
// must outlive its installation.
IPowerOffExecutor* SetPowerOffExecutor(IPowerOffExecutor* executor);

// Keeps Executor installed while in scope.
class TPowerOffExecutorScope {
public:
    explicit TPowerOffExecutorScope(IPowerOffExecutor& executor) : previous_(SetPowerOffExecutor(&executor)) {}
    ~TPowerOffExecutorScope() { SetPowerOffExecutor(previous_); }
    TPowerOffExecutorScope(const TPowerOffExecutorScope&) = delete;
    TPowerOffExecutorScope& operator=(const TPowerOffExecutorScope&) = delete;

private:
    IPowerOffExecutor* previous_;
};
