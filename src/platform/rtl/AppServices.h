#pragma once
// What non-visual code needs from the GUI: message boxes, the application's
// exception handler, the screen's size and resolution, the screen cursor and
// the repaint of a control. The GUI registers its implementation at start-up;
// until then (and in headless programs) the defaults answer: message boxes go
// to stderr and answer IDOK (1), exceptions go to stderr (EAbort silently),
// screen and desktop are 0 x 0 at 96 pixels per inch, the cursor is a stored
// number, and repainting does nothing. Tests install fakes with
// TAppServicesScope.

#include <cstdint>
#include <exception>

#include "platform/rtl/String.h"

class TObject;

using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crSQLWait = -17;

struct TDisplaySize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TDisplaySize&, const TDisplaySize&) = default;
};

// MB_OK: a message box with the OK button alone.
inline constexpr uint32_t kMessageBoxOk = 0;

class IAppServices {
public:
    virtual ~IAppServices() = default;
    // Flags and answer as the window system's message box has them (MB_*, ID*).
    virtual int MessageBox(const String& text, const String& caption, uint32_t flags) = 0;
    virtual void HandleException(const std::exception& error) = 0;
    virtual TDisplaySize PrimaryScreenSize() = 0;
    // The virtual desktop spanning every monitor.
    virtual TDisplaySize DesktopSize() = 0;
    virtual int PixelsPerInch() = 0;
    virtual TCursor ScreenCursor() = 0;
    virtual void SetScreenCursor(TCursor cursor) = 0;
    // Repaints Control at once when it is a control; other objects are ignored.
    virtual void RepaintControl(TObject* control) = 0;
};

// The services in force: the registered ones, or the headless defaults.
IAppServices& AppServices();
// The headless defaults, for services that pass on what they cannot do.
IAppServices& HeadlessAppServices();
// Registers Services (null restores the defaults) and returns the previous
// registration (null for the defaults). Services must outlive their registration.
IAppServices* SetAppServices(IAppServices* services);

// Keeps Services registered while in scope.
class TAppServicesScope {
public:
    explicit TAppServicesScope(IAppServices& services) : previous_(SetAppServices(&services)) {}
    ~TAppServicesScope() { SetAppServices(previous_); }
    TAppServicesScope(const TAppServicesScope&) = delete;
    TAppServicesScope& operator=(const TAppServicesScope&) = delete;

private:
    IAppServices* previous_;
};
