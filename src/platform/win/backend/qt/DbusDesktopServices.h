#pragma once
// The desktop services over the freedesktop conventions: folders, documents
// and links open through xdg-open (started as a program with the target as
// its one argument), and a file is shown selected by the file manager's
// ShowItems on the session bus, or by opening its folder when no file
// manager answers in time.

#include "platform/win/backend/qt/DbusBus.h"
#include "platform/win/shell/DesktopServices.h"

class TDbusDesktopServices : public IDesktopServices {
public:
    static constexpr int kRevealMilliseconds = 2000;

    explicit TDbusDesktopServices(TDbusBus sessionBus = {}, int revealMilliseconds = kRevealMilliseconds)
        : bus_(std::move(sessionBus)), revealMilliseconds_(revealMilliseconds) {}

    bool OpenFolder(const String& path) override;
    bool OpenDocument(const String& target) override;
    bool RevealFile(const String& path) override;

private:
    TDbusBus bus_;
    int revealMilliseconds_;
};
