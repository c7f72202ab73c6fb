#include "platform/win/backend/qt/QtDesktop.h"

#include "platform/win/backend/qt/QtPresenter.h"
#include "platform/win/backend/qt/QtTextClipboard.h"
#include "platform/win/backend/qt/QtWaitHost.h"
#include "platform/win/desktop/Desktop.h"

namespace {

std::shared_ptr<TQtPresenter>& Installed() {
    static std::shared_ptr<TQtPresenter> presenter;
    return presenter;
}

// The desktop's clipboard while the desktop is installed.
struct TInstalledClipboard {
    TQtTextClipboard text;
    TTextClipboardScope scope{text};
};
std::unique_ptr<TInstalledClipboard>& InstalledClipboard() {
    static std::unique_ptr<TInstalledClipboard> clipboard;
    return clipboard;
}

} // namespace

void InstallQtDesktop() {
    if (Installed()) return;
    Installed() = std::make_shared<TQtPresenter>();
    SetPresenter(Installed());
    SetThreadWaitHost(std::make_shared<TQtWaitHost>());
    InstalledClipboard() = std::make_unique<TInstalledClipboard>();
}

void UninstallQtDesktop() {
    if (!Installed()) return;
    InstalledClipboard().reset();
    SetThreadWaitHost(nullptr);
    SetPresenter(nullptr);
    Installed().reset();
}

std::shared_ptr<TQtPresenter> InstalledQtPresenter() { return Installed(); }

void OverrideWorkArea(const String& screenName, const RECT& workArea) {
    if (Installed()) Installed()->Screens().OverrideWorkArea(screenName, workArea);
}

void ClearWorkAreaOverrides() {
    if (Installed()) Installed()->Screens().ClearWorkAreaOverrides();
}
