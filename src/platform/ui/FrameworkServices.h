#pragma once
// What the framework answers to non-visual code (the application services
// of the run-time library): message boxes and the exception handler of the
// application, the screen's sizes and cursor, and the repaint of controls.
// The framework's start-up registers it; its shut-down takes it back.

#include "platform/rtl/AppServices.h"

class TFrameworkServices final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t flags) override;
    void HandleException(const std::exception& error) override;
    TDisplaySize PrimaryScreenSize() override;
    TDisplaySize DesktopSize() override;
    int PixelsPerInch() override;
    TCursor ScreenCursor() override;
    void SetScreenCursor(TCursor cursor) override;
    void RepaintControl(TObject* control) override;
};

// Registers the framework's services (once) and takes them back.
void InstallFrameworkServices();
void RemoveFrameworkServices();
