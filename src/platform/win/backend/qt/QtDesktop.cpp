#include "platform/win/backend/qt/QtDesktop.h"

#include "platform/win/backend/qt/QtFileIconTheme.h"
#include "platform/win/backend/qt/QtNameCollation.h"
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

// The desktop's icon theme and the user's collation of names while the desktop is installed.
struct TInstalledShellLook {
    TQtFileIconTheme icons;
    TFileIconThemeScope iconsScope{icons};
    TQtNameCollation names;
    TNameCollationScope namesScope{names};
};
std::unique_ptr<TInstalledShellLook>& InstalledShellLook() {
    static std::unique_ptr<TInstalledShellLook> look;
    return look;
}

} // namespace

void InstallQtDesktop() {
    if (Installed()) return;
    Installed() = std::make_shared<TQtPresenter>();
    SetPresenter(Installed());
    SetThreadWaitHost(std::make_shared<TQtWaitHost>());
    InstalledClipboard() = std::make_unique<TInstalledClipboard>();
    InstalledShellLook() = std::make_unique<TInstalledShellLook>();
}

void UninstallQtDesktop() {
    if (!Installed()) return;
    InstalledShellLook().reset();
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
