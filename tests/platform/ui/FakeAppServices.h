#pragma once
// Application services that record the exceptions handed to them and the
// message boxes asked of them (answering IDOK); registered while the object lives.

#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/AppServices.h"

struct TShownBox {
    String text, caption;
    uint32_t flags;
    std::thread::id thread;
};

class TFakeAppServices final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t flags) override {
        boxes.push_back({text, caption, flags, std::this_thread::get_id()});
        return 1; // IDOK
    }
    void HandleException(const std::exception& error) override { exceptions.push_back(error.what()); }
    TDisplaySize PrimaryScreenSize() override { return {}; }
    TDisplaySize DesktopSize() override { return {}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return crDefault; }
    void SetScreenCursor(TCursor) override {}
    void RepaintControl(TObject*) override {}

    std::vector<std::string> exceptions;
    std::vector<TShownBox> boxes;

private:
    TAppServicesScope scope_{*this};
};
