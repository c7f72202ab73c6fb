#pragma once
// Application services that record the screen cursor and the exceptions handed to them.

#include <vector>

#include "platform/rtl/AppServices.h"

class TSQLiteServicesFake final : public IAppServices {
public:
    int MessageBox(const String&, const String&, uint32_t) override { return 1; }
    void HandleException(const std::exception& error) override { errors.push_back(String(error.what())); }
    TDisplaySize PrimaryScreenSize() override { return {}; }
    TDisplaySize DesktopSize() override { return {}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return cursor; }
    void SetScreenCursor(TCursor value) override {
        cursor = value;
        cursors.push_back(value);
    }
    void RepaintControl(TObject*) override {}

    TCursor cursor = crDefault;
    std::vector<TCursor> cursors;
    std::vector<String> errors;
};
