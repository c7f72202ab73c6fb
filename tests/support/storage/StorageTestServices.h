#pragma once
// What the storage tests put in place of the GUI and the running program: a
// 1920 x 1080 screen on a 3840 x 1080 desktop, message boxes that are
// recorded, and (for the macros) another program file.

#include <vector>

#include "platform/rtl/AppServices.h"
#include "support/storage/XcTranslateString.h"

struct TRecordedMessageBox {
    String Text;
    String Caption;
    uint32_t Flags;
};

class TRecordingAppServices final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t flags) override {
        Boxes.push_back({text, caption, flags});
        return 1;
    }
    void HandleException(const std::exception&) override {}
    TDisplaySize PrimaryScreenSize() override { return {1920, 1080}; }
    TDisplaySize DesktopSize() override { return {3840, 1080}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return crDefault; }
    void SetScreenCursor(TCursor) override {}
    void RepaintControl(TObject*) override {}

    std::vector<TRecordedMessageBox> Boxes;
};

// Makes the macros describe another program file while in scope.
class TProgramFileScope {
public:
    explicit TProgramFileScope(const String& fileName) : previous_(SetXcProgramFileName(fileName)) {}
    ~TProgramFileScope() { SetXcProgramFileName(previous_); }
    TProgramFileScope(const TProgramFileScope&) = delete;
    TProgramFileScope& operator=(const TProgramFileScope&) = delete;

private:
    String previous_;
};
