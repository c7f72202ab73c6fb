#pragma once
// What the shell asks of the user's desktop: open a folder, a document or a
// link with the desktop's own choice of program, and show a file selected in
// the file manager. The program's start-up installs the real services; until
// then (and in headless programs) nothing is opened. Targets pass as one
// UTF-8 argument each, never through a shell.

#include "platform/rtl/String.h"

class IDesktopServices {
public:
    virtual ~IDesktopServices() = default;
    // Each answers true when the request was handed to the desktop.
    virtual bool OpenFolder(const String& path) = 0;
    // A file, a URL or a mail link.
    virtual bool OpenDocument(const String& target) = 0;
    // Shows the file selected in its folder.
    virtual bool RevealFile(const String& path) = 0;
};

// The installed services, or null.
IDesktopServices* DesktopServices();
// Installs Services (null removes them) and returns the previous ones.
// Services must outlive their installation.
IDesktopServices* SetDesktopServices(IDesktopServices* services);

// Keeps Services installed while in scope.
class TDesktopServicesScope {
public:
    explicit TDesktopServicesScope(IDesktopServices& services) : previous_(SetDesktopServices(&services)) {}
    ~TDesktopServicesScope() { SetDesktopServices(previous_); }
    TDesktopServicesScope(const TDesktopServicesScope&) = delete;
    TDesktopServicesScope& operator=(const TDesktopServicesScope&) = delete;

private:
    IDesktopServices* previous_;
};
