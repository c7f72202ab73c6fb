#pragma once
// The message box of the program. The framework's dialog registers itself as
// the service at start-up (tests register fakes); until then the message box
// of the application services answers (the headless default writes to
// standard error and answers IDOK).
//
// Message boxes are shown only on the main thread: ShowMessageBox called on a
// worker hands the box to the main thread through TThread::Synchronize and
// blocks until the main thread has answered.

#include <cstdint>

#include "platform/rtl/String.h"

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Flags and answer as the window system's message box has them (MB_*, ID*).
    // Called on the main thread only.
    virtual int Show(const String& text, const String& caption, uint32_t flags) = 0;
};

// Registers Service (null: none) and returns the previous registration. The
// service must outlive its registration.
IMessageBoxService* SetMessageBoxService(IMessageBoxService* service);
// The registered service; null when none is.
IMessageBoxService* MessageBoxService();

// Shows the box on the main thread from any thread and returns the answer. An
// exception of the service is raised in the caller.
int ShowMessageBox(const String& text, const String& caption, uint32_t flags);

// Keeps Service registered while in scope.
class TMessageBoxServiceScope {
public:
    explicit TMessageBoxServiceScope(IMessageBoxService& service) : previous_(SetMessageBoxService(&service)) {}
    ~TMessageBoxServiceScope() { SetMessageBoxService(previous_); }
    TMessageBoxServiceScope(const TMessageBoxServiceScope&) = delete;
    TMessageBoxServiceScope& operator=(const TMessageBoxServiceScope&) = delete;

private:
    IMessageBoxService* previous_;
};
