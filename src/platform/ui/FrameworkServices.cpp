#include "platform/ui/FrameworkServices.h"

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/ui/Screen.h"

namespace {

TFrameworkServices services;
IAppServices* previous = nullptr;
bool installed = false;

} // namespace

int TFrameworkServices::MessageBox(const String& text, const String& caption, uint32_t flags) {
    // Without the framework's dialog the services in force before answer
    // (the message box service itself falls back to these services).
    if (!MessageBoxService()) return (previous ? *previous : HeadlessAppServices()).MessageBox(text, caption, flags);
    return Application().MessageBox(text, caption, flags);
}

void TFrameworkServices::HandleException(const std::exception& error) { Application().HandleException(error); }

TDisplaySize TFrameworkServices::PrimaryScreenSize() { return {Screen().Width(), Screen().Height()}; }

TDisplaySize TFrameworkServices::DesktopSize() { return {Screen().DesktopWidth(), Screen().DesktopHeight()}; }

int TFrameworkServices::PixelsPerInch() { return Screen().PixelsPerInch(); }

TCursor TFrameworkServices::ScreenCursor() { return Screen().Cursor(); }

void TFrameworkServices::SetScreenCursor(TCursor cursor) { Screen().SetCursor(cursor); }

void TFrameworkServices::RepaintControl(TObject* control) {
    if (auto* c = dynamic_cast<TControl*>(control)) c->Repaint();
}

void InstallFrameworkServices() {
    if (installed) return;
    previous = SetAppServices(&services);
    installed = true;
}

void RemoveFrameworkServices() {
    if (!installed) return;
    SetAppServices(previous);
    previous = nullptr;
    installed = false;
}
